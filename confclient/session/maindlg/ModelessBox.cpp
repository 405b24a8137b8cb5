// A message box that does not wait: our own small dialog that deletes itself when closed.
#include "confclient/session/maindlg/ModelessBox.h"

#include "ResourceIds.h"
#include "winui/Dialog.h"

namespace
{
class CModelessBox : public CDialog
{
public:
    CModelessBox(std::wstring szText, std::wstring szCaption)
        : m_szText(std::move(szText)), m_szCaption(std::move(szCaption))
    {
    }

protected:
    BOOL OnInitDialog() override
    {
        SetWindowText(m_szCaption.c_str());
        ::SetDlgItemTextW(m_hWnd, IDC_MODELESSBOX_TEXT, m_szText.c_str());
        return TRUE;
    }
    // Confirmed or closed: a modeless dialog is destroyed, not ended.
    void OnOK() override { DestroyWindow(); }
    void OnCancel() override { DestroyWindow(); }
    void PostNcDestroy() override { delete this; }

private:
    std::wstring m_szText;
    std::wstring m_szCaption;
};
} // namespace

HWND ShowModelessBox(HWND hOwner, const std::wstring& szText, const std::wstring& szCaption)
{
    // The owner must be a window of this layer; any other gets a box of its own.
    CWnd* pOwner = CWnd::FromHandlePermanent(hOwner);
    auto* pBox = new CModelessBox(szText, szCaption);
    if (!pBox->Create(IDD_MODELESSBOX, pOwner))
    {
        delete pBox;
        return nullptr;
    }
    HWND hBox = pBox->m_hWnd;
    ::ShowWindow(hBox, SW_SHOW);
    ::SetForegroundWindow(hBox);
    return hBox;
}
