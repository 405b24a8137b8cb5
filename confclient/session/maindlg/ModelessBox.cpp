// A message box that does not wait: our own small dialog that deletes itself when closed.
#include "confclient/session/maindlg/ModelessBox.h"

#include <map>

#include "ResourceIds.h"
#include "winui/Dialog.h"

namespace
{
class CModelessBox;

// Boxes whose window is gone, freed from the message loop: the window layer still
// touches the object after the handler that destroyed its window returns.
std::map<UINT_PTR, CModelessBox*>& Closed()
{
    static std::map<UINT_PTR, CModelessBox*> s_closed;
    return s_closed;
}

void CALLBACK FreeClosedBox(HWND, UINT, UINT_PTR nId, DWORD);

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
    void PostNcDestroy() override
    {
        UINT_PTR nId = ::SetTimer(nullptr, 0, 0, &FreeClosedBox);
        if (nId) Closed()[nId] = this;
    }

private:
    std::wstring m_szText;
    std::wstring m_szCaption;
};

void CALLBACK FreeClosedBox(HWND, UINT, UINT_PTR nId, DWORD)
{
    ::KillTimer(nullptr, nId);
    auto it = Closed().find(nId);
    if (it == Closed().end()) return;
    delete it->second;
    Closed().erase(it);
}
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
