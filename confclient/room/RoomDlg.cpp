// CRoomDlg: creation from the window's own template, the room's hot keys, dialog-unit conversion
// and list-box lines.
#include "confclient/room/RoomDlg.h"
#include "confclient/room/RoomViewLayout.h"

BOOL CRoomDlg::Create(CWnd* pParent)
{
    return CDialog::Create(m_nIDTemplate, pParent);
}

BOOL CRoomDlg::PreTranslateMessage(MSG* pMsg)
{
    if ((pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN) && s_pHotKeySink)
    {
        const auto bDown = [](int nKey) { return (::GetKeyState(nKey) & 0x8000) != 0; };
        if (std::optional<S_HOTKEY> key = RoomHotKeyOf(static_cast<unsigned>(pMsg->wParam), bDown(VK_CONTROL),
                                                       bDown(VK_MENU), bDown(VK_SHIFT));
            key && s_pHotKeySink->OnRoomHotKey(*key))
            return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

int CRoomDlg::DluToPixelsY(int nDlu) const
{
    RECT rc{0, 0, 0, nDlu};
    ::MapDialogRect(m_hWnd, &rc);
    return rc.bottom;
}

int CRoomDlg::DluToPixelsX(int nDlu) const
{
    RECT rc{0, 0, nDlu, 0};
    ::MapDialogRect(m_hWnd, &rc);
    return rc.right;
}

int CRoomDlg::AppendListLine(HWND hList, const std::wstring& szText, LPARAM data)
{
    auto nIndex =
        static_cast<int>(::SendMessageW(hList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(szText.c_str())));
    if (nIndex < 0) return -1;
    ::SendMessageW(hList, LB_SETITEMDATA, nIndex, data);
    ::SendMessageW(hList, LB_SETTOPINDEX, nIndex, 0);
    return nIndex;
}

void CRoomDlg::ReplaceListLine(HWND hList, int nIndex, const std::wstring& szText)
{
    LRESULT data = ::SendMessageW(hList, LB_GETITEMDATA, nIndex, 0);
    ::SendMessageW(hList, LB_DELETESTRING, nIndex, 0);
    ::SendMessageW(hList, LB_INSERTSTRING, nIndex, reinterpret_cast<LPARAM>(szText.c_str()));
    ::SendMessageW(hList, LB_SETITEMDATA, nIndex, data);
}

std::wstring CRoomDlg::ListLineText(HWND hList, int nIndex)
{
    auto nLen = static_cast<int>(::SendMessageW(hList, LB_GETTEXTLEN, nIndex, 0));
    if (nLen < 0) return {};
    std::wstring szText(static_cast<size_t>(nLen) + 1, L'\0');
    nLen =
        static_cast<int>(::SendMessageW(hList, LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(szText.data())));
    szText.resize(nLen < 0 ? 0 : static_cast<size_t>(nLen));
    return szText;
}

int SizingEdge(WPARAM wSide)
{
    switch (wSide)
    {
    case WMSZ_LEFT:
        return BORDER_LEFT;
    case WMSZ_RIGHT:
        return BORDER_RIGHT;
    case WMSZ_TOP:
        return BORDER_TOP;
    case WMSZ_TOPLEFT:
        return BORDER_TOPLEFT;
    case WMSZ_TOPRIGHT:
        return BORDER_TOPRIGHT;
    case WMSZ_BOTTOM:
        return BORDER_BOTTOM;
    case WMSZ_BOTTOMLEFT:
        return BORDER_BOTTOMLEFT;
    case WMSZ_BOTTOMRIGHT:
        return BORDER_BOTTOMRIGHT;
    default:
        return BORDER_NONE;
    }
}
