// CSidePanelDlg: docking and floating by re-parenting, the first floating place from the panels'
// rules, border and title-band hit tests, border drags clamped by the rules, close docks, and the
// layered transparency.
#include "confclient/room/SidePanelDlg.h"
#include "confclient/room/MonitorWorkArea.h"

#include <windowsx.h>

namespace
{
// No caption of the system's: the panel's own title band moves it, so that collapsed it is 19 pixels high.
constexpr LONG_PTR kFloatingPanelStyle = WS_POPUP | WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX;
// The bar's height above the panels' origin.
constexpr int32_t kBarHeight = 60;
} // namespace

static_assert(BORDER_LEFT == HTLEFT && BORDER_BOTTOMRIGHT == HTBOTTOMRIGHT,
              "the border codes are the system's");

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
            m_rcFloat = FirstFloatRect(m_kind, origin, ::GetSystemMetrics(SM_CXSCREEN), false, m_bExpanded);
            m_bFirstFloat = false;
        }
        // A window of its own, owned by the room window so it stays above it.
        ::SetParent(m_hWnd, nullptr);
        ModifyStyle(WS_CHILD, kFloatingPanelStyle);
        ::SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT,
                            reinterpret_cast<LONG_PTR>(::GetAncestor(m_hDockParent, GA_ROOT)));
        m_bFloating = true;
        ApplyAlpha();
        const S_RECT r = m_bExpanded ? m_rcFloat : CollapsedRect(m_rcFloat);
        SetWindowPos(HWND_TOP, r.left, r.top, r.Width(), r.Height(),
                     SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }
    else
    {
        RECT rc;
        GetWindowRect(&rc);
        m_rcFloat = {rc.left, rc.top, rc.right, rc.bottom};
        if (m_bExpanded)
            m_nExpandedHeight = m_rcFloat.Height();
        else
            m_rcFloat = ExpandedRect(m_rcFloat, m_nExpandedHeight);
        m_bFloating = false;
        ApplyAlpha();
        ::SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT, 0);
        ModifyStyle(kFloatingPanelStyle, WS_CHILD);
        ::SetParent(m_hWnd, m_hDockParent);
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    }
    RelayoutHost();
}

void CSidePanelDlg::SetExpanded(bool bExpanded)
{
    if (bExpanded == m_bExpanded || !m_hWnd) return;
    m_bExpanded = bExpanded;
    if (!m_bFloating)
    {
        if (HWND hHost = ::GetParent(m_hWnd)) m_hDockParent = hHost;
        RelayoutHost();
        return;
    }
    RECT rc;
    GetWindowRect(&rc);
    S_RECT r{rc.left, rc.top, rc.right, rc.bottom};
    if (!bExpanded) m_nExpandedHeight = r.Height();
    r = bExpanded ? ExpandedRect(r, m_nExpandedHeight) : CollapsedRect(r);
    SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
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
        if (LOWORD(wParam) == kFloatCommand)
        {
            SetFloating(!m_bFloating);
            return 0;
        }
        if (m_nCollapseCommand && LOWORD(wParam) == m_nCollapseCommand)
        {
            SetExpanded(!m_bExpanded);
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        // Closing a floating panel docks it.
        if ((wParam & 0xFFF0) != SC_CLOSE || !m_bFloating) break;
        SetFloating(false);
        return 0;
    case WM_NCHITTEST:
    {
        if (!m_bFloating) break;
        RECT rc;
        GetWindowRect(&rc);
        S_POINT pt{GET_X_LPARAM(lParam) - rc.left, GET_Y_LPARAM(lParam) - rc.top};
        int nCode = HitTestBorder(rc.right - rc.left, rc.bottom - rc.top, pt);
        // Collapsed, only the sides size it; its top and bottom move it like its title band.
        if (!m_bExpanded && nCode >= BORDER_TOP)
            nCode = nCode == BORDER_TOPLEFT || nCode == BORDER_BOTTOMLEFT     ? BORDER_LEFT
                    : nCode == BORDER_TOPRIGHT || nCode == BORDER_BOTTOMRIGHT ? BORDER_RIGHT
                                                                              : BORDER_CAPTION;
        if (nCode == BORDER_CAPTION) return HTCAPTION;
        if (nCode != BORDER_NONE) return nCode; // the border codes are the system's HTLEFT..HTBOTTOMRIGHT
        break;
    }
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
                                   WorkAreaOf(m_hWnd), m_bExpanded);
        *pRect = {r.left, r.top, r.right, r.bottom};
        return TRUE;
    }
    default:
        break;
    }
    return CRoomDlg::WindowProc(msg, wParam, lParam);
}
