// CRoomVideoViewDlg: view statics made in code, their grid, names by channel, speech level meters,
// floating and docking.
#include "confclient/room/RoomVideoViewDlg.h"
#include "confclient/room/RoomHost.h"
#include "winui/WideText.h"
#include "winui/WinApp.h"

#include <commctrl.h>
#include "confclient/network/registry/Registry.h"
#include "resources/ResourceIds.h"
#include <windowsx.h>

#include <algorithm>
#include <cwchar>

namespace
{
// Where the grid floats when no usable rectangle was saved.
const RECT kDefaultFloating{100, 100, 580, 460};
const DWORD kFloatingViewStyle = WS_POPUP | WS_CAPTION | WS_THICKFRAME;
} // namespace

CRoomVideoViewDlg::CRoomVideoViewDlg(IRoomHost* pHost)
    : CRoomDlg(IDD_ROOMVIDEOVIEW), m_pHost(pHost), m_rcFloating(kDefaultFloating)
{
}

BOOL CRoomVideoViewDlg::OnInitDialog()
{
    m_hDockParent = GetParent();
    return TRUE;
}

void CRoomVideoViewDlg::SetViewCount(int n)
{
    n = std::clamp(n, 0, kMaxViews);
    while (ViewCount() > n)
    {
        ::DestroyWindow(m_views.back().hWnd);
        m_views.pop_back();
    }
    auto hFont = static_cast<WPARAM>(SendMessage(WM_GETFONT));
    while (ViewCount() < n)
    {
        View view;
        view.hWnd = ::CreateWindowExW(
            WS_EX_CLIENTEDGE, L"STATIC", L"",
            WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX, 0, 0, 0, 0, m_hWnd,
            reinterpret_cast<HMENU>(IDC_VIDEOVIEW_FIRST + ViewCount()), ::GetModuleHandleW(nullptr), nullptr);
        if (!view.hWnd) break;
        ::SendMessageW(view.hWnd, WM_SETFONT, hFont, FALSE);
        view.hLevel = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE | PBS_SMOOTH, 0, 0, 0,
                                        0, view.hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        m_views.push_back(view);
    }
    LayoutViews();
}

HWND CRoomVideoViewDlg::ViewWindow(int nIndex) const
{
    return nIndex >= 0 && nIndex < ViewCount() ? m_views[nIndex].hWnd : nullptr;
}

uint16_t CRoomVideoViewDlg::ViewChannel(int nIndex) const
{
    return nIndex >= 0 && nIndex < ViewCount() ? m_views[nIndex].wChannel : kNoChannel;
}

void CRoomVideoViewDlg::LoadFloatingPosition(const std::wstring& szExeName)
{
    std::wstring szValue =
        RegReadString(HKEY_CURRENT_USER, RegProgramKey(szExeName).c_str(), L"Floating_Video", L"");
    int left = 0, top = 0, width = 0, height = 0;
    // A value with fewer than four numbers, or an empty size, keeps the default place.
    if (std::swscanf(szValue.c_str(), L"%d,%d,%d,%d", &left, &top, &width, &height) == 4 && width > 0 &&
        height > 0)
        m_rcFloating = RECT{left, top, left + width, top + height};
    else
        m_rcFloating = kDefaultFloating;
}

int CRoomVideoViewDlg::ViewAt(POINT ptScreen) const
{
    for (int i = 0; i < ViewCount(); ++i)
    {
        RECT rc;
        if (::GetWindowRect(m_views[i].hWnd, &rc) && ::PtInRect(&rc, ptScreen)) return i;
    }
    return -1;
}

BOOL CRoomVideoViewDlg::PreTranslateMessage(MSG* pMsg)
{
    // The views are static pictures: their mouse messages reach this dialog or the view itself.
    if (m_pHost && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd))) TrackSeatDrag(*pMsg);
    return CRoomDlg::PreTranslateMessage(pMsg);
}

void CRoomVideoViewDlg::TrackSeatDrag(const MSG& msg)
{
    CSeatDrag& drag = m_pHost->SeatDrag();
    POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    ::ClientToScreen(msg.hwnd, &pt);
    const int nView = ViewAt(pt);
    switch (msg.message)
    {
    case WM_LBUTTONDOWN:
        // A press ends a drag whose release went elsewhere; on a seat's user it starts one.
        drag.CancelDrag();
        if (nView >= 0) drag.PressOnSeat(ViewChannel(nView));
        break;
    case WM_MOUSEMOVE:
        if (drag.ShowsDragCursor())
            ::SetCursor(::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_CURSOR_DRAGUSER)));
        break;
    case WM_LBUTTONUP:
        if (nView >= 0) drag.ReleaseOnSeat(ViewChannel(nView), m_pHost->SelectedListChannel());
        break;
    default:
        break;
    }
}

int CRoomVideoViewDlg::FindView(uint16_t ch) const
{
    for (int i = 0; i < ViewCount(); ++i)
        if (m_views[i].wChannel == ch) return i;
    return -1;
}

HWND CRoomVideoViewDlg::LevelWindow(int nIndex) const
{
    return nIndex >= 0 && nIndex < ViewCount() ? m_views[nIndex].hLevel : nullptr;
}

void CRoomVideoViewDlg::SetPeakLevel(uint16_t ch, int nLevel)
{
    int nIndex = FindView(ch);
    if (nIndex >= 0 && m_views[nIndex].hLevel)
        ::SendMessageW(m_views[nIndex].hLevel, PBM_SETPOS, std::clamp(nLevel, 0, 100), 0);
}

void CRoomVideoViewDlg::ResetPeakLevels()
{
    for (const View& v : m_views)
        if (v.hLevel) ::SendMessageW(v.hLevel, PBM_SETPOS, 0, 0);
}

void CRoomVideoViewDlg::SetView(int nIndex, uint16_t ch, const std::wstring& szName)
{
    // Another member's view starts without the last one's level.
    if (m_views[nIndex].wChannel != ch && m_views[nIndex].hLevel)
        ::SendMessageW(m_views[nIndex].hLevel, PBM_SETPOS, 0, 0);
    m_views[nIndex].wChannel = ch;
    ::SetWindowTextW(m_views[nIndex].hWnd, szName.c_str());
    ::EnableWindow(m_views[nIndex].hWnd, TRUE);
}

void CRoomVideoViewDlg::SetViewName(uint16_t ch, const std::u16string& szName)
{
    if (ch == kNoChannel) return;
    int nIndex = FindView(ch);
    if (nIndex < 0) nIndex = FindView(kNoChannel);
    if (nIndex < 0) return;
    SetView(nIndex, ch, WideOf(szName));
}

void CRoomVideoViewDlg::ShowUsers(const std::vector<std::pair<uint16_t, std::wstring>>& chNames)
{
    auto sorted = chNames;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (int i = 0; i < ViewCount(); ++i)
    {
        if (i < static_cast<int>(sorted.size()))
            SetView(i, sorted[i].first, sorted[i].second);
        else
            SetView(i, kNoChannel, L"");
    }
}

void CRoomVideoViewDlg::SetVideoState(uint16_t ch, uint32_t value)
{
    int nIndex = FindView(ch);
    if (nIndex >= 0) ::EnableWindow(m_views[nIndex].hWnd, value != 0);
}

void CRoomVideoViewDlg::SetFloating(uint8_t nMode)
{
    bool bFloat = nMode != 0;
    if (bFloat == m_bFloating || !m_hWnd) return;
    if (bFloat)
    {
        // A top-level window owned by the main view: it stays above it and goes with it.
        ::SetParent(m_hWnd, nullptr);
        ModifyStyle(WS_CHILD, kFloatingViewStyle);
        ::SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(m_hDockParent));
        const RECT& rc = m_rcFloating;
        SetWindowPos(HWND_TOP, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_FRAMECHANGED | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    }
    else
    {
        ::SetWindowLongPtrW(m_hWnd, GWLP_HWNDPARENT, 0);
        ModifyStyle(kFloatingViewStyle, WS_CHILD);
        ::SetParent(m_hWnd, m_hDockParent);
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    }
    m_bFloating = bFloat;
    // The main view lays its children out again, with or without the grid.
    if (m_hDockParent)
    {
        RECT rc;
        ::GetClientRect(m_hDockParent, &rc);
        ::SendMessageW(m_hDockParent, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.right, rc.bottom));
    }
}

void CRoomVideoViewDlg::OnSize(UINT type, int cx, int cy)
{
    LayoutViews();
}

void CRoomVideoViewDlg::LayoutViews()
{
    int n = ViewCount();
    if (n == 0 || !m_hWnd) return;
    RECT rc;
    GetClientRect(&rc);
    // The squarest grid that holds every view.
    int nCols = 1;
    while (nCols * nCols < n)
        ++nCols;
    int nRows = (n + nCols - 1) / nCols;
    int cx = rc.right / nCols;
    int cy = rc.bottom / nRows;
    for (int i = 0; i < n; ++i)
    {
        ::MoveWindow(m_views[i].hWnd, (i % nCols) * cx, (i / nCols) * cy, cx, cy, TRUE);
        RECT rcView;
        ::GetClientRect(m_views[i].hWnd, &rcView);
        ::MoveWindow(m_views[i].hLevel, 0, std::max(0L, rcView.bottom - kLevelHeight), rcView.right,
                     std::min(rcView.bottom, kLevelHeight), TRUE);
    }
}
