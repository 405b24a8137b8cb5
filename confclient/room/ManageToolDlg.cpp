// CManageToolDlg: the button at its right edge, the docked panels beside it, stacked agenda,
// e-book, user list and chat from the top.
#include "confclient/room/ManageToolDlg.h"
#include "confclient/room/ForEveryoneMenu.h"
#include "confclient/room/RoomTxtChatDlg.h"
#include "confclient/room/SidePanelDlg.h"
#include "resources/ResourceIds.h"
#include <vector>

namespace
{
// The button sits this far above the middle of the host.
constexpr int kButtonAboveMiddle = 100;
// Narrower than this the host is the closed strip: the button alone fills it.
constexpr int kClosedWidth = 7;
} // namespace

CManageToolDlg::CManageToolDlg(IRoomHost* pHost) : CRoomDlg(IDD_MANAGETOOL), m_pHost(pHost) {}

void CManageToolDlg::OnSize(UINT type, int cx, int cy)
{
    LayoutPanels();
}

BOOL CManageToolDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) != IDC_MANAGETOOL_POPUP || HIWORD(wParam) != BN_CLICKED)
        return CRoomDlg::OnCommand(wParam, lParam);
    RefreshRoomLayout(m_pHost && m_pHost->HasControlRight());
    return TRUE;
}

BOOL CManageToolDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_RBUTTONUP && m_pHost && pMsg->hwnd == GetDlgItem(IDC_MANAGETOOL_POPUP))
    {
        POINT pt{};
        ::GetCursorPos(&pt);
        // Only the room's properties for everyone go to the room; no choice changes nothing.
        const int nChosen = TrackForEveryoneMenu(*m_pHost, m_hWnd, pt);
        if (nChosen > 0) RefreshRoomLayout(nChosen == MENU_ID_FOR_EVERYONE);
        if (nChosen >= 0) return TRUE;
    }
    return CRoomDlg::PreTranslateMessage(pMsg);
}

void CManageToolDlg::RefreshRoomLayout(bool bResend)
{
    if (m_pHost) m_pHost->TogglePanels(bResend);
}

void CManageToolDlg::UpdatePopupButton(bool bShown)
{
    HWND hButton = GetDlgItem(IDC_MANAGETOOL_POPUP);
    ::SetWindowTextW(
        hButton, m_pHost ? m_pHost->RoomText(bShown ? "IDMS_POPUP_HIDE" : "IDMS_POPUP_SHOW").c_str() : L"");
    ::InvalidateRect(hButton, nullptr, TRUE);
}

void CManageToolDlg::LayoutPanels()
{
    RECT rc;
    GetClientRect(&rc);
    HWND hButton = GetDlgItem(IDC_MANAGETOOL_POPUP);
    RECT button{};
    ::GetWindowRect(hButton, &button);
    int bw = button.right - button.left;
    int x = rc.right > kClosedWidth ? rc.right - bw - 1 : 0;
    ::SetWindowPos(hButton, nullptr, x, rc.bottom / 2 - kButtonAboveMiddle, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    // The chat goes last, whatever the order the panels were made in.
    std::vector<HWND> panels;
    HWND hChat = nullptr;
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if (hChild == hButton || !HasVisibleStyle(hChild)) continue;
        if (dynamic_cast<CRoomTxtChatDlg*>(CWnd::FromHandlePermanent(hChild)))
            hChat = hChild;
        else
            panels.push_back(hChild);
    }
    if (hChat) panels.push_back(hChat);
    int cx = x - 1;
    if (panels.empty() || cx <= 0) return;
    // Collapsed panels keep their title; the expanded ones share the rest.
    auto expanded = [](HWND h)
    {
        auto* pPanel = dynamic_cast<CSidePanelDlg*>(CWnd::FromHandlePermanent(h));
        return !pPanel || pPanel->IsExpanded();
    };
    int nExpanded = 0;
    for (HWND h : panels)
        nExpanded += expanded(h) ? 1 : 0;
    int nRest = rc.bottom - (static_cast<int>(panels.size()) - nExpanded) * kPanelTitleHeight;
    int cy = nExpanded ? nRest / nExpanded : 0;
    int y = 0, nLeft = nExpanded;
    for (HWND h : panels)
    {
        int height = kPanelTitleHeight;
        if (expanded(h))
            // The last expanded panel takes the rounding rest.
            height = --nLeft == 0 ? nRest - cy * (nExpanded - 1) : cy;
        ::MoveWindow(h, 0, y, cx, height, TRUE);
        y += height;
    }
}
