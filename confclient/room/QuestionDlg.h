// CQuestionDlg: view mode 3 of the room: the conference server's questionnaire page in a browser.
#pragma once
#include <memory>
#include <string>

#include "winui/Dialog.h"

class CWebBrowser2;

class CQuestionDlg : public CDialog
{
public:
    CQuestionDlg();
    ~CQuestionDlg() override;

    // A child of the main view.
    BOOL Create(CWnd* pParent);
    // Shows the page (the browser is made on first use); false when it cannot be made.
    bool Navigate(const std::wstring& szAddress);
    // The address last asked for.
    const std::wstring& Address() const { return m_szAddress; }
    // The browser's own idea of its page; empty when it cannot say.
    std::wstring BrowserAddress() const;

protected:
    void OnSize(UINT type, int cx, int cy) override;
    void OnDestroy() override;
    void OnOK() override {}
    void OnCancel() override {}

private:
    std::unique_ptr<CWebBrowser2> m_pWeb;
    std::wstring m_szAddress;
};
