// CRoomCtrlDlg: button commands go to the session; state changes show in the buttons and the status line.
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/PropertyDlg.h"
#include "confclient/room/RoomCtrlCapture.h"
#include "resources/ResourceIds.h"

#include <algorithm>

CRoomCtrlDlg::CRoomCtrlDlg(IRoomHost* pHost) : CRoomDlg(IDD_ROOMCTRL), m_pHost(pHost) {}

BOOL CRoomCtrlDlg::OnInitDialog()
{
    SetHotKeySink(this);
    return CRoomDlg::OnInitDialog();
}

void CRoomCtrlDlg::OnDestroy()
{
    if (HotKeySink() == this) SetHotKeySink(nullptr);
    CRoomDlg::OnDestroy();
}

std::wstring CRoomCtrlDlg::Text(const char* pszKey) const
{
    return m_pHost ? m_pHost->RoomText(pszKey) : std::wstring();
}

void CRoomCtrlDlg::SetStatus(const std::wstring& szText)
{
    ::SetDlgItemTextW(m_hWnd, IDC_ROOMCTRL_STATUS, szText.c_str());
}

std::wstring CRoomCtrlDlg::Status() const
{
    return GetWindowTextString(GetDlgItem(IDC_ROOMCTRL_STATUS));
}

void CRoomCtrlDlg::UpdatePresenterButton(bool bEnable)
{
    ::EnableWindow(GetDlgItem(IDC_ROOMCTRL_PRESENTER), bEnable);
}

void CRoomCtrlDlg::StopRecord(int nReason)
{
    ::SendMessageW(GetDlgItem(IDC_ROOMCTRL_RECORD), BM_SETCHECK, BST_UNCHECKED, 0);
    SetStatus(
        Text(nReason == kStopForServerRecord ? "IDS_ROOMCTRL_RECORDSTOP_SERVER" : "IDS_ROOMCTRL_RECORDSTOP"));
}

void CRoomCtrlDlg::EnableServerRecordMenu(bool bEnable)
{
    ::EnableWindow(GetDlgItem(IDC_ROOMCTRL_SERVERRECORD), bEnable);
}

void CRoomCtrlDlg::EnableRecordButtons(bool bEnable)
{
    ::EnableWindow(GetDlgItem(IDC_ROOMCTRL_RECORD), bEnable);
}

void CRoomCtrlDlg::SetTalkCheck(bool bChecked)
{
    ::SendMessageW(GetDlgItem(IDC_ROOMCTRL_TALK), BM_SETCHECK, bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CRoomCtrlDlg::EnableTalk(bool bEnable)
{
    ::EnableWindow(GetDlgItem(IDC_ROOMCTRL_TALK), bEnable);
}

bool CRoomCtrlDlg::TalkEnabled() const
{
    return ::IsWindowEnabled(GetDlgItem(IDC_ROOMCTRL_TALK));
}

void CRoomCtrlDlg::SetMuteCheck(bool bChecked)
{
    ::SendMessageW(GetDlgItem(IDC_ROOMCTRL_MUTE), BM_SETCHECK, bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CRoomCtrlDlg::EnableMute(bool bEnable)
{
    ::EnableWindow(GetDlgItem(IDC_ROOMCTRL_MUTE), bEnable);
}

void CRoomCtrlDlg::ShowLevel(int nLevel)
{
    ::SetDlgItemTextW(m_hWnd, IDC_ROOMCTRL_LEVEL, std::to_wstring(nLevel).c_str());
}

void CRoomCtrlDlg::MaximizeRoomWindow()
{
    if (m_pMainView && m_pMainView->m_hWnd) m_pMainView->ShowWindow(SW_MAXIMIZE);
    m_barState.bMaximised = IsRoomMaximized();
    ApplyBarItems();
}

void CRoomCtrlDlg::RestoreRoomWindow()
{
    // Full screen is left through its own item, not by restoring.
    if (m_barState.bFullScreen) return;
    if (m_pMainView && m_pMainView->m_hWnd) m_pMainView->ShowWindow(SW_RESTORE);
    m_barState.bMaximised = IsRoomMaximized();
    ApplyBarItems();
}

bool CRoomCtrlDlg::IsRoomMaximized() const
{
    return m_pMainView && m_pMainView->m_hWnd && ::IsZoomed(m_pMainView->m_hWnd);
}

void CRoomCtrlDlg::LeaveRoom()
{
    if (m_pHost) m_pHost->LeaveRoomRequested();
}

void CRoomCtrlDlg::SetBarState(const S_BARSTATE& state)
{
    m_barState = state;
    ApplyBarItems();
}

void CRoomCtrlDlg::ApplyBarItems()
{
    if (!m_hWnd) return;
    for (const S_BARITEM& item : BarItems(m_barState))
    {
        HWND hItem = GetDlgItem(item.nId);
        if (!hItem) continue;
        ::EnableWindow(hItem, item.bEnabled);
        ::SendMessageW(hItem, BM_SETCHECK, item.bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
        ::ShowWindow(hItem, item.bShown ? SW_SHOWNA : SW_HIDE);
    }
}

LRESULT CRoomCtrlDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT result = 0; MenuMessage(msg, wParam, lParam, &result)) return result;
    if (msg == WM_NETWORK_STATE)
    {
        OnNetworkState(static_cast<int>(wParam));
        return 0;
    }
    if (PushMessage(msg, wParam, lParam)) return 0;
    return CRoomDlg::WindowProc(msg, wParam, lParam);
}

BOOL CRoomCtrlDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    // A menu command (no control, code 0) the bar runs itself.
    if (lParam == 0 && HIWORD(wParam) == 0 && OnBarMenuCommand(LOWORD(wParam))) return TRUE;
    if (HIWORD(wParam) != BN_CLICKED) return CRoomDlg::OnCommand(wParam, lParam);
    switch (LOWORD(wParam))
    {
    case IDC_ROOMCTRL_LEAVE:
        LeaveRoom();
        return TRUE;
    case IDC_ROOMCTRL_PRESENTER:
        if (m_pHost) m_pHost->RequestPresenter();
        return TRUE;
    case IDC_ROOMCTRL_FULLSCREEN:
        if (m_pHost) m_pHost->FullScreenRequested();
        return TRUE;
    case IDC_ROOMCTRL_RECORD:
        if (m_pRecording) m_pRecording->OnRecordCommand();
        return TRUE;
    case IDC_ROOMCTRL_SERVERRECORD:
        if (m_pRecording) m_pRecording->OnServerRecordCommand();
        return TRUE;
    case IDC_ROOMCTRL_MAXIMIZE:
    case IDC_ROOMCTRL_RESTORE:
    case IDC_ROOMCTRL_LAYOUT:
    case IDC_ROOMCTRL_MENU_FILE:
    case IDC_ROOMCTRL_MENU_VIEW:
    case IDC_ROOMCTRL_MENU_DRAW:
    case IDC_ROOMCTRL_MENU_TOOL:
    case IDC_ROOMCTRL_MENU_INVITE:
        OnBarMenuCommand(LOWORD(wParam));
        return TRUE;
    case IDC_ROOMCTRL_TALK:
    case IDC_ROOMCTRL_MUTE:
    {
        bool bChecked = ::SendMessageW(reinterpret_cast<HWND>(lParam), BM_GETCHECK, 0, 0) == BST_CHECKED;
        if (!m_pVoiceActions) return TRUE;
        if (LOWORD(wParam) == IDC_ROOMCTRL_TALK)
            m_pVoiceActions->OnTalkClicked(bChecked);
        else
            m_pVoiceActions->OnMuteClicked(bChecked);
        return TRUE;
    }
    default:
        break;
    }
    int nMode = ViewModeOfItem(LOWORD(wParam));
    if (nMode < 0) return CRoomDlg::OnCommand(wParam, lParam);
    // The check follows the room's answer, through SetBarState.
    if (m_pHost && nMode != m_barState.wViewMode) m_pHost->ViewModeRequested(static_cast<uint16_t>(nMode));
    return TRUE;
}

void CRoomCtrlDlg::OnSize(UINT type, int cx, int cy)
{
    // Buttons left to right at their own widths; the status line under them takes the full width.
    int nGap = DluToPixelsX(4);
    int nRow = DluToPixelsY(14);
    int x = nGap;
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        int nId = ::GetDlgCtrlID(hChild);
        if (nId == IDC_ROOMCTRL_STATUS || nId == IDC_ROOMCTRL_FULLSCREEN || nId == IDC_ROOMCTRL_MAXIMIZE ||
            nId == IDC_ROOMCTRL_RESTORE || nId == IDC_ROOMCTRL_TIME || nId == IDC_ROOMCTRL_NETWORK)
            continue;
        RECT rc;
        ::GetWindowRect(hChild, &rc);
        ::MoveWindow(hChild, x, nGap, rc.right - rc.left, nRow, TRUE);
        x += rc.right - rc.left + nGap;
    }
    // The second row: the status line, then the network state and the conference time at the right.
    int nLine = DluToPixelsY(10), nY = 2 * nGap + nRow;
    int nTimeWidth = DluToPixelsX(120), nNetWidth = DluToPixelsX(90);
    int nRight = cx - nGap - nTimeWidth;
    ::MoveWindow(GetDlgItem(IDC_ROOMCTRL_TIME), nRight, nY, nTimeWidth, nLine, TRUE);
    nRight -= nGap + nNetWidth;
    ::MoveWindow(GetDlgItem(IDC_ROOMCTRL_NETWORK), nRight, nY, nNetWidth, nLine, TRUE);
    ::MoveWindow(GetDlgItem(IDC_ROOMCTRL_STATUS), nGap, nY, std::max(0, nRight - 2 * nGap), nLine, TRUE);
    PlaceWindowButtons(cx);
}

void CRoomCtrlDlg::PlaceWindowButtons(int cx)
{
    // Maximise and restore share one place: only one of them is shown.
    int nGap = DluToPixelsX(4);
    int nRow = DluToPixelsY(14);
    int x = cx - nGap;
    for (int nId : {IDC_ROOMCTRL_MAXIMIZE, IDC_ROOMCTRL_FULLSCREEN})
    {
        RECT rc;
        ::GetWindowRect(GetDlgItem(nId), &rc);
        x -= rc.right - rc.left;
        ::MoveWindow(GetDlgItem(nId), x, nGap, rc.right - rc.left, nRow, TRUE);
        if (nId == IDC_ROOMCTRL_MAXIMIZE)
            ::MoveWindow(GetDlgItem(IDC_ROOMCTRL_RESTORE), x, nGap, rc.right - rc.left, nRow, TRUE);
        x -= nGap;
    }
}
