// CDialog: dialogs from templates of the current resource module, modal (our own loop) or modeless.
#pragma once
#include "winui/Wnd.h"

class CDialog : public CWnd
{
public:
    CDialog() = default;
    CDialog(UINT nIDTemplate, CWnd* pParent) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParent) {}

    // Modeless: creates the dialog from a template id with an optional parent.
    BOOL Create(UINT nIDTemplate, CWnd* pParent = nullptr);
    // Modal: creates the dialog, disables its parent and runs the message loop until EndDialog;
    // returns the EndDialog result, or -1 when the template does not load.
    INT_PTR DoModal();
    // Ends a modal dialog with a result; hides a modeless one.
    void EndDialog(INT_PTR result);

    BOOL PreTranslateMessage(MSG* pMsg) override;

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // Returns TRUE to let the system put the focus on the first control.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

private:
    static INT_PTR CALLBACK StaticDlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool m_bInModalLoop = false;
    INT_PTR m_nModalResult = -1;
};
