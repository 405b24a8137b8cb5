// CSidePanelDlg: docking and floating by re-parenting, the first floating place from the panels'
// rules, border drags clamped by them, close docks, and the layered transparency.
#include "confclient/room/SidePanelDlg.h"

namespace
{
constexpr LONG_PTR kFloatingStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME;
// The bar's height above the panels' origin.
constexpr int32_t kBarHeight = 60;

S_RECT WorkAreaOf(HWND hWnd)
{
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    return {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
}
} // namespace

void CSidePanelDlg::SetFloating(bool bFloat)
{
    if (bFloat == m_bFloating || !m_hWnd) return;
    // Docked, its parent is the host it goes back to.
    if (!m_bFloating) m_hDockParent = ::GetParent(m_hWnd);
    if (!m_hDockParent) return;
    ShowWindow(SW_HIDE);
    if (bFloat)
    {
        if (m_bFirstFloat)
        {
            HWND hRoom = ::GetAncestor(m_hDockParent, GA_ROOT);
            RECT room{};
            ::GetWindowRect(hRoom, &room);
            S_POINT origin = PanelOrigin(WorkAreaOf(hRoom), room.top, kBarHeight);
            m_rcFloat = FirstFloatRect(m_kind, origin, ::GetSystemMetrics(SM_CXSCREEN), false, true);
            m_bFirstFloat = false;
        }
        // A window of its own, owned by the room window so it stays above it.
        ::SetParent(m_hWnd, nullptr);
        ModifyStyle(WS_CHILD, kFloatingStyle);
        ::SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT,
                            reinterpret_cast<LONG_PTR>(::GetAncestor(m_hDockParent, GA_ROOT)));
        m_bFloating = true;
        ApplyAlpha();
        const S_RECT& r = m_rcFloat;
        SetWindowPos(HWND_TOP, r.left, r.top, r.Width(), r.Height(),
                     SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }
    else
    {
        RECT rc;
        GetWindowRect(&rc);
        m_rcFloat = {rc.left, rc.top, rc.right, rc.bottom};
        m_bFloating = false;
        ApplyAlpha();
        ::SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT, 0);
        ModifyStyle(kFloatingStyle, WS_CHILD);
        ::SetParent(m_hWnd, m_hDockParent);
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    }
    RelayoutHost();
}

void CSidePanelDlg::SetAlpha(int nValue)
{
    m_nAlpha = PanelAlpha(nValue);
    ApplyAlpha();
}

void CSidePanelDlg::ApplyAlpha()
{
    LONG_PTR lEx = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    // Only a floating panel is translucent; a docked one is part of the room window.
    if (m_bFloating && m_nAlpha < kPanelMaxAlpha)
    {
        ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, lEx | WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(m_nAlpha), LWA_ALPHA);
    }
    else if (lEx & WS_EX_LAYERED)
        ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, lEx & ~WS_EX_LAYERED);
}

void CSidePanelDlg::RelayoutHost()
{
    RECT rc;
    ::GetClientRect(m_hDockParent, &rc);
    ::SendMessageW(m_hDockParent, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
}

LRESULT CSidePanelDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_COMMAND:
        if (LOWORD(wParam) != kFloatCommand) break;
        SetFloating(!m_bFloating);
        return 0;
    case WM_SYSCOMMAND:
        // Closing a floating panel docks it.
        if ((wParam & 0xFFF0) != SC_CLOSE || !m_bFloating) break;
        SetFloating(false);
        return 0;
    case WM_SIZING:
    {
        auto* pRect = reinterpret_cast<RECT*>(lParam);
        int nEdge = SizingEdge(wParam);
        if (!m_bFloating || !pRect || nEdge == BORDER_NONE) break;
        RECT now;
        GetWindowRect(&now);
        bool bLeft = nEdge == BORDER_LEFT || nEdge == BORDER_TOPLEFT || nEdge == BORDER_BOTTOMLEFT;
        bool bTop = nEdge == BORDER_TOP || nEdge == BORDER_TOPLEFT || nEdge == BORDER_TOPRIGHT;
        S_POINT cursor{bLeft ? pRect->left : pRect->right, bTop ? pRect->top : pRect->bottom};
        S_RECT r = DragPanelBorder({now.left, now.top, now.right, now.bottom}, nEdge, cursor,
                                   WorkAreaOf(m_hWnd), true);
        *pRect = {r.left, r.top, r.right, r.bottom};
        return TRUE;
    }
    default:
        break;
    }
    return CRoomDlg::WindowProc(msg, wParam, lParam);
}
