// CRoomMainViewDlg: the layout engine's placements applied in one deferred batch under one update
// lock; border drags clamped by the same rules; full screen as one borderless window over the monitor.
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/boardhost/RoomBoard.h"
#include "confclient/room/MonitorWorkArea.h"
#include "confclient/room/QuestionDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "resources/ResourceIds.h"

static_assert(PLACE_NOSIZE == SWP_NOSIZE && PLACE_NOMOVE == SWP_NOMOVE && PLACE_NOZORDER == SWP_NOZORDER &&
                  PLACE_SHOW == SWP_SHOWWINDOW && PLACE_HIDE == SWP_HIDEWINDOW,
              "the engine's flags are the platform's");

namespace
{
constexpr COLORREF kRoomBackground = 0xFFF9F0;
// The frame a normal room window has and a full-screen one loses.
constexpr LONG_PTR kFrameStyles = WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZE;
// The system menu's about item.
constexpr UINT kAboutCommand = 16;
} // namespace

CRoomMainViewDlg::CRoomMainViewDlg() : CRoomDlg(IDD_ROOMMAINVIEW) {}

CRoomMainViewDlg::~CRoomMainViewDlg() = default;

void CRoomMainViewDlg::StartBoard(IRoomBoardSession& session, const RoomBoardSettings& settings)
{
    RECT rc{0, 0, 0, 0};
    m_pBoard = std::make_unique<CRoomBoard>(session, m_hWnd, rc, settings);
    if (m_pBoard->IsCreated())
    {
        // The control takes the labelled placeholder's place (and its item id) in the layout.
        if (m_panes[PANE_BOARD]) ::DestroyWindow(m_panes[PANE_BOARD]);
        m_panes[PANE_BOARD] = m_pBoard->Board().Window();
    }
    LayoutChildren();
}

void CRoomMainViewDlg::OnDestroy()
{
    // The board ends first (with its transfer strip), so no board event reaches a pop-up that is
    // already gone; then the pop-ups go.
    m_panes[PANE_BOARD] = nullptr;
    m_pBoard.reset();
    if (m_pDialer) m_pDialer->DestroyWindow();
    Default();
}

BOOL CRoomMainViewDlg::OnInitDialog()
{
    m_panes[PANE_BOARD] = GetDlgItem(IDC_ROOMMAIN_BOARD);
    // The program's windows group under one taskbar identity (from Windows 7; the entry is looked
    // up, as older systems lack it).
    if (HMODULE hShell = ::GetModuleHandleW(L"shell32.dll"))
        if (auto pSetId = reinterpret_cast<HRESULT(WINAPI*)(PCWSTR)>(
                reinterpret_cast<void*>(::GetProcAddress(hShell, "SetCurrentProcessExplicitAppUserModelID"))))
            pSetId(L"LumoraComms.Quillon");
    m_bPlayerIcon = !m_state.bPlayer;
    FollowPlayerMode();
    return TRUE;
}

void CRoomMainViewDlg::FollowPlayerMode()
{
    if (m_bPlayerIcon == m_state.bPlayer) return;
    m_bPlayerIcon = m_state.bPlayer;
    // Only a recording played back takes dropped files (another recording to play).
    ::DragAcceptFiles(m_hWnd, m_state.bPlayer);
    // Icons loaded from a resource are shared: the system keeps them, nothing to free.
    const UINT nIcon = m_state.bPlayer ? IDI_ROOM_PLAYER : IDI_ROOM;
    HINSTANCE hRes = AfxGetResourceHandle();
    auto hBig = static_cast<HICON>(::LoadImageW(hRes, MAKEINTRESOURCEW(nIcon), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON),
                                                LR_SHARED));
    auto hSmall = static_cast<HICON>(::LoadImageW(hRes, MAKEINTRESOURCEW(nIcon), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXSMICON),
                                                  ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(hBig));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(hSmall));
}

void CRoomMainViewDlg::SetAboutItem(const std::wstring& szText, std::function<void()> showAbout)
{
    HMENU hMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!hMenu || m_showAbout) return;
    ::AppendMenuW(hMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(hMenu, MF_STRING, kAboutCommand, szText.c_str());
    m_showAbout = std::move(showAbout);
}

bool CRoomMainViewDlg::OnSysCommand(WPARAM wParam)
{
    if ((wParam & 0xFFF0) == kAboutCommand)
    {
        if (m_showAbout) m_showAbout();
        return true;
    }
    if ((wParam & 0xFFF0) != SC_CLOSE) return false;
    // Closing the window is leaving the room: the bar asks and leaves as its Leave does.
    if (HWND hBar = m_panes[PANE_CTRLBAR])
        ::SendMessageW(hBar, WM_COMMAND, MAKEWPARAM(IDC_ROOMCTRL_LEAVE, BN_CLICKED), 0);
    return true;
}

void CRoomMainViewDlg::SetChildViews(CRoomVideoViewDlg* pVideo, CRoomMediaShareViewDlg* pMediaShare,
                                     CQuestionDlg* pQuestion)
{
    SetPane(PANE_VIDEO, pVideo);
    SetPane(PANE_MEDIASHARE, pMediaShare);
    SetPane(PANE_QUESTION, pQuestion);
    m_state.bHasVideo = pVideo != nullptr;
    m_state.bHasMediaShare = pMediaShare != nullptr;
    m_state.bHasQuestion = pQuestion != nullptr;
    LayoutChildren();
}

void CRoomMainViewDlg::SetPane(RoomPane pane, CWnd* pWnd)
{
    m_panes[pane] = pWnd ? pWnd->m_hWnd : nullptr;
}

void CRoomMainViewDlg::SetViewState(const S_ROOMVIEWSTATE& state)
{
    m_state = state;
    if (m_hWnd) FollowPlayerMode();
    LayoutChildren();
}

void CRoomMainViewDlg::Refresh()
{
    LayoutChildren();
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CRoomMainViewDlg::SetRoomTitle(const std::wstring& szTitle)
{
    SetWindowText(szTitle.c_str());
}

void CRoomMainViewDlg::EnterFullScreen(const S_RECT& monitor)
{
    if (!m_lNormalStyle) m_lNormalStyle = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, m_lNormalStyle & ~kFrameStyles);
    S_RECT r = FullScreenWindowRect(monitor);
    ::SetWindowPos(m_hWnd, nullptr, r.left, r.top, r.Width(), r.Height(),
                   SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void CRoomMainViewDlg::LeaveFullScreen(const S_RECT& rcNormal)
{
    if (m_lNormalStyle) ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, m_lNormalStyle & ~WS_MAXIMIZE);
    m_lNormalStyle = 0;
    ::SetWindowPos(m_hWnd, nullptr, rcNormal.left, rcNormal.top, rcNormal.Width(), rcNormal.Height(),
                   SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void CRoomMainViewDlg::OnSize(UINT type, int cx, int cy)
{
    LayoutChildren();
}

LRESULT CRoomMainViewDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_SIZING:
        ClampDrag(SizingEdge(wParam), reinterpret_cast<RECT*>(lParam));
        return TRUE;
    case WM_ERASEBKGND:
        return EraseBackground(reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
        if (PaintIconic()) return 0;
        return CRoomDlg::WindowProc(msg, wParam, lParam);
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case kMsgCallTerminal:
        OnCallTerminal(wParam);
        return 0;
    case WM_SYSCOMMAND:
        if (OnSysCommand(wParam)) return 0;
        return CRoomDlg::WindowProc(msg, wParam, lParam);
    default:
        return CRoomDlg::WindowProc(msg, wParam, lParam);
    }
}

void CRoomMainViewDlg::ClampDrag(int nEdge, RECT* pRect) const
{
    if (!pRect || nEdge == BORDER_NONE) return;
    // The edge is where the frame drag put it; the rule keeps the opposite side still.
    RECT now;
    ::GetWindowRect(m_hWnd, &now);
    S_RECT window{now.left, now.top, now.right, now.bottom};
    bool bLeft = nEdge == BORDER_LEFT || nEdge == BORDER_TOPLEFT || nEdge == BORDER_BOTTOMLEFT;
    bool bTop = nEdge == BORDER_TOP || nEdge == BORDER_TOPLEFT || nEdge == BORDER_TOPRIGHT;
    S_POINT cursor{bLeft ? pRect->left : pRect->right, bTop ? pRect->top : pRect->bottom};
    S_RECT r = DragBorder(window, nEdge, cursor, {kRoomMinWidth, kRoomMinHeight}, WorkAreaOf(m_hWnd));
    *pRect = {r.left, r.top, r.right, r.bottom};
}

bool CRoomMainViewDlg::EraseBackground(HDC hDC)
{
    RECT rc;
    GetClientRect(&rc);
    int nSaved = ::SaveDC(hDC);
    // Only the gaps between the shown children are painted, whatever clipping the DC came with.
    for (RoomPane pane : EraseExclusions(m_state))
    {
        HWND h = m_panes[pane];
        if (!h || !::IsWindowVisible(h) || ::GetParent(h) != m_hWnd) continue;
        RECT child;
        ::GetWindowRect(h, &child);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&child), 2);
        ::ExcludeClipRect(hDC, child.left, child.top, child.right, child.bottom);
    }
    HBRUSH hBrush = ::CreateSolidBrush(m_state.bFullScreen ? RGB(0, 0, 0) : kRoomBackground);
    ::FillRect(hDC, &rc, hBrush);
    ::DeleteObject(hBrush);
    ::RestoreDC(hDC, nSaved);
    return true;
}

bool CRoomMainViewDlg::IsEditControl(HWND hWnd) const
{
    wchar_t szClass[8] = L"";
    if (!hWnd || !::GetClassNameW(hWnd, szClass, 8) || ::lstrcmpiW(szClass, L"Edit") != 0) return false;
    // The board's own text field keeps the room's keys.
    return !(::GetParent(hWnd) == m_hWnd && ::GetDlgCtrlID(hWnd) == IDC_ROOMMAIN_FOCUS);
}

BOOL CRoomMainViewDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN)
    {
        S_MAINKEYSTATE s;
        s.bEditFocus = IsEditControl(::GetFocus());
        s.bFullScreen = m_state.bFullScreen;
        s.bBoardWebMode = m_pBoard && m_pBoard->Tools().BoardMode() == 1;
        s.bPlayer = m_state.bPlayer;
        if (MainViewKeyOf(static_cast<unsigned>(pMsg->wParam), s) == MAINKEY_DIALOG_ONLY)
            return CDialog::PreTranslateMessage(pMsg);
    }
    return CRoomDlg::PreTranslateMessage(pMsg);
}

void CRoomMainViewDlg::LayoutChildren()
{
    if (!m_hWnd) return;
    RECT rc;
    GetClientRect(&rc);
    std::vector<S_PANEPLACE> places = LayoutRoomWindow(m_state, rc.right, rc.bottom);
    // A pane the room lacks is skipped, so is a floating view that is no child of this window.
    std::vector<const S_PANEPLACE*> moves;
    for (const S_PANEPLACE& p : places)
    {
        HWND h = m_panes[p.pane];
        if (h && ::IsWindow(h) && ::GetParent(h) == m_hWnd) moves.push_back(&p);
    }
    m_nLastBatch = moves.size();
    if (moves.empty()) return;
    // One lock and one batch: the children move together and the room repaints once.
    bool bLocked = ::IsWindowVisible(m_hWnd) && ::LockWindowUpdate(m_hWnd);
    HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(moves.size()));
    for (const S_PANEPLACE* p : moves)
    {
        if (!hdwp) break;
        hdwp = ::DeferWindowPos(hdwp, m_panes[p->pane], p->bBottom ? HWND_BOTTOM : nullptr, p->rect.left,
                                p->rect.top, p->rect.Width(), p->rect.Height(), p->flags | SWP_NOACTIVATE);
    }
    if (hdwp) ::EndDeferWindowPos(hdwp);
    if (bLocked) ::LockWindowUpdate(nullptr);
}

void CRoomMainViewDlg::EnableCallTerminal(bool bEnable)
{
    m_bCallsEnabled = bEnable;
    if (bEnable || !m_pDialer) return;
    m_pDialer->HangUp();
    PostMessage(kMsgCallTerminal, 1);
}

void CRoomMainViewDlg::OnCallTerminal(WPARAM wParam)
{
    if (wParam)
    {
        // The dialer's last step clears the pointer (its setup's onGone).
        if (m_pDialer) m_pDialer->DestroyWindow();
        return;
    }
    if (m_pDialer)
    {
        m_pDialer->ShowWindow(SW_SHOWNORMAL);
        ::SetForegroundWindow(m_pDialer->m_hWnd);
        return;
    }
    if (!m_bCallsEnabled || !m_dialerSetup.pCall || !m_dialerSetup.pHost) return;
    CallDialerSetup setup = m_dialerSetup;
    setup.onGone = [this] { m_pDialer = nullptr; };
    m_pDialer = CCallToHTerminal::Open(std::move(setup), this);
}
