// CRoomCtrlDlg's web page: the web button and the address field load a page into the board
// (Return, the field's list, the button), the field keeps the last thirty addresses, web draw
// turns the page shown into a board page, and the bar's keys and presses around them.
#include "confclient/boardhost/BoardToolRules.h"
#include "confclient/room/RoomBarInput.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "resources/ResourceIds.h"
#include "winui/WideText.h"

#include <windowsx.h>

namespace
{
// The one edit control of the bar that is no text field of its own.
constexpr int kNotAnEditItem = 1024;
} // namespace

std::wstring CRoomCtrlDlg::WebFieldText() const
{
    return GetWindowTextString(GetDlgItem(IDC_ROOMCTRL_WEBADDRESS));
}

void CRoomCtrlDlg::LoadWebAddress(const std::wstring& szField)
{
    if (!m_pHost) return;
    const std::u16string szAddress = WebAddressToLoad(U16Of(szField));
    m_pHost->LoadBoardWeb(WideOf(szAddress));
    // The field's list follows the history: a new address goes on top and the oldest beyond
    // thirty drops; the loaded one is selected.
    const std::vector<std::u16string> before = m_webHistory.Entries();
    const size_t nSelected = m_webHistory.Add(szAddress);
    HWND hField = GetDlgItem(IDC_ROOMCTRL_WEBADDRESS);
    if (m_webHistory.Entries() != before)
    {
        ::SendMessageW(hField, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(WideOf(szAddress).c_str()));
        while (::SendMessageW(hField, CB_GETCOUNT, 0, 0) > static_cast<LRESULT>(CWebHistory::kMaxEntries))
            ::SendMessageW(hField, CB_DELETESTRING, CWebHistory::kMaxEntries, 0);
    }
    ::SendMessageW(hField, CB_SETCURSEL, nSelected, 0);
    RelayoutBar();
}

void CRoomCtrlDlg::ToggleBoardWeb()
{
    if (!m_pHost) return;
    if (m_pHost->BoardMode() == kBoardModeWeb)
    {
        m_pHost->LeaveWebPage();
        RelayoutBar();
        return;
    }
    LoadWebAddress(WebFieldText());
    ::SetFocus(GetDlgItem(IDC_ROOMCTRL_WEBADDRESS));
}

void CRoomCtrlDlg::DrawOnWebPage()
{
    if (!m_pHost || !CanDrawOnWebAddress(U16Of(WebFieldText()))) return;
    m_pHost->DrawOnWebPage();
    // The board page replaces the web page: the field and web draw go, the web button is up.
    RelayoutBar();
}

bool CRoomCtrlDlg::BoardShowsWeb() const
{
    return m_pHost && m_barState.wViewMode == 1 && m_pHost->BoardMode() == kBoardModeWeb;
}

void CRoomCtrlDlg::RelayoutBar()
{
    RECT rc;
    GetClientRect(&rc);
    PlaceControls(rc.right);
}

bool CRoomCtrlDlg::EditHasFocus() const
{
    HWND hFocus = ::GetFocus();
    if (!hFocus || !::IsChild(m_hWnd, hFocus) || ::GetDlgCtrlID(hFocus) == kNotAnEditItem) return false;
    wchar_t szClass[8] = {};
    ::GetClassNameW(hFocus, szClass, 8);
    return _wcsicmp(szClass, L"Edit") == 0;
}

bool CRoomCtrlDlg::OnBarPress(const MSG& msg)
{
    RECT rc;
    GetClientRect(&rc);
    S_BARPRESS press;
    press.x = GET_X_LPARAM(msg.lParam);
    press.y = GET_Y_LPARAM(msg.lParam);
    press.nBarWidth = rc.right;
    press.bDoubleClick = msg.message == WM_LBUTTONDBLCLK;
    press.bMaximised = IsRoomMaximized();
    press.bFullScreen = m_barState.bFullScreen;
    switch (BarPressOf(press))
    {
    case BARPRESS_MOVE:
    {
        if (!m_pMainView || !m_pMainView->m_hWnd) return false;
        POINT pt{press.x, press.y};
        ::ClientToScreen(m_hWnd, &pt);
        // The room window's own move loop takes the pointer from here, as from its caption.
        ::ReleaseCapture();
        m_pMainView->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
        return true;
    }
    case BARPRESS_TOGGLE_MAXIMISED:
        if (IsRoomMaximized())
            RestoreRoomWindow();
        else
            MaximizeRoomWindow();
        return true;
    case BARPRESS_NONE:
        break;
    }
    return false;
}

BOOL CRoomCtrlDlg::PreTranslateMessage(MSG* pMsg)
{
    if (m_toolTip.m_hWnd && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
        m_toolTip.RelayEvent(pMsg);
    if ((pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_LBUTTONDBLCLK) && pMsg->hwnd == m_hWnd &&
        OnBarPress(*pMsg))
        return TRUE;
    if (pMsg->message == WM_RBUTTONUP && OnWindowButtonRightUp(pMsg->hwnd)) return TRUE;
    if (pMsg->message == WM_KEYDOWN && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
    {
        switch (BarKeyOf(static_cast<unsigned>(pMsg->wParam), EditHasFocus()))
        {
        case BARKEY_EAT:
            return TRUE;
        case BARKEY_LOAD_WEB:
            LoadWebAddress(WebFieldText());
            return TRUE;
        case BARKEY_DIALOG_ONLY:
            return CDialog::PreTranslateMessage(pMsg);
        case BARKEY_ROOM:
            break;
        }
    }
    return CRoomDlg::PreTranslateMessage(pMsg);
}
