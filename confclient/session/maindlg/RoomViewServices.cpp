// The room's view for the whole room: view mode and full screen sent and shown, the side panels
// shown or hidden, and the state the room window's layout and the bar's items are made from.
#include <windows.h>

#include "confclient/network/QNRoomViewPayloads.h"
#include "confclient/boardhost/FloatingBoardToolDlg.h"
#include "confclient/room/ManageToolDlg.h"
#include "confclient/room/PlayerDlg.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"

namespace
{
// The right bits of the room state: 0 talk, 1 draw, 2 desktop share, 4 media share.
S_ROOMPROPERTY RoomPropertyOf(const CRoomState& room)
{
    S_ROOMPROPERTY p;
    p.bTalk = room.dwRights & 0x1;
    p.bDraw = room.dwRights & 0x2;
    p.bDesktopShare = room.dwRights & 0x4;
    p.bMediaShare = room.dwRights & 0x10;
    p.wMaxUsers = room.info.wMaxUser;
    return p;
}

S_RECT RectOf(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

S_RECT MonitorOf(HWND hWnd)
{
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    return RectOf(mi.rcMonitor);
}

BOOL CALLBACK AddMonitor(HMONITOR hMonitor, HDC, LPRECT, LPARAM l)
{
    auto* pTable = reinterpret_cast<std::vector<S_RECT>*>(l);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!::GetMonitorInfoW(hMonitor, &mi)) return TRUE;
    if (mi.dwFlags & MONITORINFOF_PRIMARY)
        pTable->insert(pTable->begin(), RectOf(mi.rcMonitor));
    else
        pTable->push_back(RectOf(mi.rcMonitor));
    return TRUE;
}
} // namespace

std::vector<S_RECT> IConfDlg::MonitorTable() const
{
    std::vector<S_RECT> table;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&table));
    return table;
}

S_ROOMVIEWSTATE IConfDlg::RoomViewState() const
{
    S_ROOMVIEWSTATE s;
    s.wViewMode = m_room.wViewMode;
    s.wRoomType = m_room.info.wRoomType;
    s.bFullScreen = m_bFullScreen;
    s.bPlayer = IsPlayerMode();
    s.bLayoutDone = m_bLayoutDone;
    s.bPanelShown = m_bPanelShown;
    s.bHasBar = m_pRoomCtrl != nullptr;
    s.bHasPanelHost = m_pManageTool != nullptr;
    s.bHasVideo = m_pVideoView != nullptr;
    s.bVideoFloating = m_pVideoView && m_pVideoView->IsFloating();
    s.bHasMediaShare = m_pMediaShareView != nullptr;
    s.bHasQuestion = m_pQuestion != nullptr;
    s.bHasBoardTool = m_pBoardTool != nullptr;
    s.bBoardToolDocked = !m_pBoardTool || !m_pBoardTool->IsFloating();
    s.bBoardToolHidden = m_pBoardTool && !m_pBoardTool->MayShow();
    s.bHasProgress = m_pMainView && m_pMainView->Board() && m_pMainView->Board()->TransferStrip();
    if (m_pBoardTool && m_pBoardTool->m_hWnd)
    {
        RECT rc;
        ::GetWindowRect(m_pBoardTool->m_hWnd, &rc);
        s.nBoardToolWidth = rc.right - rc.left;
    }
    s.bHasPlayer = m_pPlayer != nullptr;
    if (m_pPlayer && m_pPlayer->m_hWnd)
    {
        RECT rc;
        ::GetWindowRect(m_pPlayer->m_hWnd, &rc);
        s.nPlayerHeight = rc.bottom - rc.top;
    }
    return s;
}

S_BARSTATE IConfDlg::RoomBarState() const
{
    S_BARSTATE b;
    b.wViewMode = m_room.wViewMode;
    b.wRoomType = m_room.info.wRoomType;
    b.bPlayer = IsPlayerMode();
    b.bControlRight = IsChief();
    b.bPresenter = m_room.wPresenterChannel != kNoIndex && m_room.wPresenterChannel == m_room.wMyChannel;
    b.bHasVideo = m_pVideoView != nullptr;
    b.bVideoFloating = m_pVideoView && m_pVideoView->IsFloating();
    b.bFullScreen = m_bFullScreen;
    b.bMaximised = m_pMainView && m_pMainView->m_hWnd && ::IsZoomed(m_pMainView->m_hWnd);
    return b;
}

void IConfDlg::ApplyRoomView()
{
    if (m_pRoomCtrl) m_pRoomCtrl->SetBarState(RoomBarState());
    if (m_pManageTool) m_pManageTool->UpdatePopupButton(m_bPanelShown);
    if (m_pMainView) m_pMainView->SetViewState(RoomViewState());
    ApplyShareAndQuestionViews();
}

void IConfDlg::ChangeViewMode(uint16_t wMode, bool bFullScreen, bool bSend)
{
    // The room hears the mode as asked; each member shows what its room can.
    if (bSend && m_pNet && !IsPlayerMode()) m_pNet->SendViewMode(wMode, bFullScreen);
    uint16_t wShown = ResolveViewMode(wMode, m_room.info.wRoomType, m_room.info.dwFlags);
    AddLog(LOG_INFO, L"[ROOM] view mode %d (asked %d), full screen %d", wShown, wMode, bFullScreen ? 1 : 0);
    bool bChanged = wShown != m_room.wViewMode || !m_bLayoutDone;
    m_room.wViewMode = wShown;
    if (bFullScreen != m_bFullScreen)
        SetRoomFullScreen(bFullScreen);
    else if (bChanged)
        ApplyRoomView();
}

void IConfDlg::ViewModeRequested(uint16_t wMode)
{
    ChangeViewMode(wMode, m_bFullScreen, true);
}

void IConfDlg::FullScreenRequested(bool bForEveryone)
{
    // The holder of the control right may take the whole room along; anyone else only this window.
    if (bForEveryone && HasControlRight() && !IsPlayerMode())
        ChangeViewMode(m_room.wViewMode, !m_bFullScreen, true);
    else
        SetRoomFullScreen(!m_bFullScreen);
}

void IConfDlg::SetRoomFullScreen(bool bOn)
{
    if (bOn == m_bFullScreen || !m_pMainView || !m_pMainView->m_hWnd) return;
    HWND hMain = m_pMainView->m_hWnd;
    AddLog(LOG_INFO, L"[ROOM] full screen %d", bOn ? 1 : 0);
    if (bOn) SaveMainPlacement(true);
    m_bFullScreen = bOn;
    if (bOn)
    {
        m_bWasZoomed = ::IsZoomed(hMain) != FALSE;
        S_RECT monitor = MonitorOf(hMain);
        if (m_bDualMonitor)
        {
            RECT rc;
            ::GetWindowRect(hMain, &rc);
            std::vector<S_RECT> table = MonitorTable();
            S_MONITORMOVE move = MoveToSecondMonitor(table, ::GetSystemMetrics(SM_CMONITORS), RectOf(rc),
                                                     m_bWasZoomed, IsPlayerMode(), false);
            if (move.kind != S_MONITORMOVE::STAY) monitor = table[1];
        }
        ApplyRoomView();
        m_pMainView->EnterFullScreen(monitor);
    }
    else
    {
        ApplyRoomView();
        m_pMainView->LeaveFullScreen(m_roomPos.rect);
        if (m_bWasZoomed) ::ShowWindow(hMain, SW_MAXIMIZE);
        m_bWasZoomed = false;
    }
    if (m_pRoomCtrl) m_pRoomCtrl->SetBarState(RoomBarState());
}

void IConfDlg::TogglePanels(bool bResend)
{
    m_bPanelShown = !m_bPanelShown;
    if (bResend && m_pNet && !IsPlayerMode()) m_pNet->SendRoomProperty(RoomPropertyOf(m_room));
    ApplyRoomView();
}
