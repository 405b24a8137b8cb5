// The main dialog: message map, keyboard filter, start-up and destruction, and the lobby's face.
#include "confclient/session/maindlg/ConfClientDlg.h"

#include "confclient/room/RoomCtrlDlg.h"

#include <cwchar>

#include "confclient/network/QNCommands.h"
#include "confclient/session/maindlg/SessionMessages.h"
#include "confclient/session/startup/CopyData.h"
#include "confclient/session/startup/StartupRules.h"
#include "ResourceIds.h"
#include "winui/WinApp.h"

namespace
{
// Private messages that other processes of this user may send to the main dialog.
const UINT kOutsideMessages[] = {WM_COPYDATA,         WM_QN_CONNSTATE, WM_QN_OUTSIDE_NOTICE, WM_QN_LOBBY,
                                 WM_QN_SESSION_EVENT, WM_QN_ROOM,      WM_QN_DATA,           WM_QN_RECORDER};
} // namespace

CConfClientDlg::CConfClientDlg() : CDialog(IDD_CONFCLIENT_DIALOG, nullptr) {}

UINT CConfClientDlg::AgentMessage()
{
    static UINT s_nMsg = RegisterWindowMessageW(L"Quillon_Control_Agent");
    return s_nMsg;
}

BOOL CConfClientDlg::OnInitDialog()
{
    SetWindowText(m_szExeName.c_str()); // a second start finds this window by the program's name
    RememberProgramFolder();
    using FilterFn = BOOL(WINAPI*)(UINT, DWORD);
    auto pFilter = reinterpret_cast<FilterFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilter")));
    if (pFilter)
    {
        bool bOk = pFilter(AgentMessage(), 1) != FALSE;
        for (UINT nMsg : kOutsideMessages)
            bOk = pFilter(nMsg, 1) && bOk; // MSGFLT_ADD
        if (!bOk && m_szStartErrorKey.empty()) m_szStartErrorKey = L"IDS_NOTSTART_VISTA";
    }
    ShowStatus();
    SetTimer(TIMER_STARTUP, 500);
    return TRUE;
}

LRESULT CConfClientDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_QN_QUIT:
        DestroyMainDialog();
        return 0;
    case WM_QN_SESSION_END:
        OnSessionEnd(lParam);
        return 0;
    case WM_QN_REFUSAL_BOX:
        ShowRefusalBox(static_cast<uint16_t>(wParam));
        return 0;
    case WM_QN_NOTICE_BOX:
        // The agenda lock is only a notice: its box does not wait for the user.
        if (wParam == NOTICE_ALREADY_CONFOPEN)
            ShowMessageBoxModeless(GetText("IDMS_ALREADY_CONFOPEN"));
        else
            ShowMessageBox(GetText("IDS_MSG_INVITE_ACCEPTFAILED"));
        return 0;
    case WM_QN_PANEL_COMMAND:
    {
        std::unique_ptr<S_PANELFRAME> pFrame(reinterpret_cast<S_PANELFRAME*>(lParam));
        if (pFrame) OnPanelCommand(*pFrame);
        return 0;
    }
    case WM_QN_HIDE_DRAWTOOL:
    case WM_QN_SHOW_DRAWTOOL:
        // The screen-drawing tool comes with desktop sharing: until then the request is logged.
        AddLog(LOG_INFO, L"[SHARE] drawing tool %s",
               msg == WM_QN_SHOW_DRAWTOOL && wParam ? L"shown" : L"hidden");
        return 0;
    case WM_QN_CONNSTATE:
        OnConnectionState(wParam, lParam);
        return 0;
    case WM_QN_LOBBY:
        if (IsOwnPacketMessage(msg, wParam, lParam)) OnLobbyPacket(wParam, lParam);
        return 0;
    case WM_QN_SESSION_EVENT:
        OnOutsideEvent(wParam, lParam);
        return 0;
    case WM_QN_ROOM:
        if (IsOwnPacketMessage(msg, wParam, lParam)) OnRoomPacket(wParam, lParam);
        return 0;
    case WM_QN_DATA:
        if (IsOwnPacketMessage(msg, wParam, lParam)) OnBoardData(lParam);
        return 0;
    case WM_QN_BOARD_SENT:
        OnBoardDataSent();
        return 0;
    case WM_QN_ROOM_CLOSED:
        QuitRoom(QUIT_CAUSE_LEFT);
        JoinNextRoom();
        return 0;
    case WM_QN_PUSH_CHUNK_SENT:
        if (m_pRoomCtrl) m_pRoomCtrl->OnPushChunkSent(static_cast<uint32_t>(wParam));
        return 0;
    case WM_QN_FILE_BLOCK_SENT:
        OnFileBlockSent(static_cast<uint16_t>(wParam), static_cast<uint32_t>(lParam));
        return 0;
    case WM_QN_VOICE_LEVELS:
        m_voiceHost.Voice().OnVoiceLevelsPosted();
        return 0;
    case WM_QN_PRESENTER_QUESTION:
        AskPresenterQuestion(static_cast<uint16_t>(wParam));
        return 0;
    case WM_QN_RECORDER:
        OnRecorderStatus(wParam);
        return 0;
    case WM_NCDESTROY:
        Broadcast(WM_QN_ROOM_WINDOWS, ROOMWINDOWS_MAIN_GONE, 0);
        break;
    default:
        if (msg == AgentMessage())
        {
            OnAgentMessage(wParam, lParam);
            return 0;
        }
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

void CConfClientDlg::OnRecorderStatus(WPARAM wCode)
{
    // The recorder's codes go to the bar's recording; only the ends of a playback say more.
    OnRecordEngineStatus(static_cast<int>(wCode));
    if (wCode != 4038 && wCode != 4039) return;
    std::wstring text = GetText(wCode == 4038 ? "IDS_PLAY_END_ERROR" : "IDS_PLAY_END");
    ShowMessageBox(text);
}

void CConfClientDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_STARTUP)
    {
        KillTimer(TIMER_STARTUP);
        if (m_bSessionStarted) return;
        bool bOk = StartSession();
        for (const std::wstring& note : m_startNotes)
            AddLog(LOG_ERROR, L"[START] %s", note.c_str());
        if (!m_szStartErrorKey.empty()) TellStartError(m_szStartErrorKey.c_str());
        if (!bOk) PostMessage(WM_QN_QUIT);
        ShowStatus();
        return;
    }
    if (nIDEvent == TIMER_RECORDWAIT)
    {
        KillTimer(TIMER_RECORDWAIT); // no server recording is waited for from the lobby
        return;
    }
    OnSessionTimer(nIDEvent);
}

BOOL CConfClientDlg::OnCopyData(HWND, COPYDATASTRUCT* pData)
{
    if (!pData) return FALSE;
    std::optional<S_COPYDATA_IN> in =
        AcceptCopyData(static_cast<uint32_t>(pData->dwData), pData->cbData, pData->lpData);
    if (!in)
    {
        AddLog(LOG_ERROR, L"[WM_COPYDATA] refused code %u, %u bytes", static_cast<unsigned>(pData->dwData),
               static_cast<unsigned>(pData->cbData));
        return FALSE;
    }
    switch (in->dwCode)
    {
    case COPYDATA_SECONDSTART:
        OnSecondStart(in->text);
        break;
    case COPYDATA_PLAY:
        AddLog(LOG_ERROR, L"[WM_COPYDATA] the player is not available in this build: %s",
               WideOf(in->text).c_str());
        SetForegroundWindow(m_hWnd);
        break;
    case COPYDATA_AVSETTING:
        AddLog(LOG_ERROR, L"[WM_COPYDATA] the audio and video settings are not available in this build");
        break;
    default:
        OnClientCommand(in->dwCode, in->text);
        break;
    }
    return TRUE;
}

void CConfClientDlg::OnSecondStart(const std::u16string& text)
{
    AddLog(LOG_INFO, L"[SECOND_START] %s", WideOf(text).c_str());
    std::optional<S_LAUNCH> launch = ParseCommandLine(text);
    // A launch string logs in when this instance has no session yet; otherwise the running session stays.
    if (launch && launch->kind == LaunchKind::LaunchString && !m_bLoggedIn && !m_pNet &&
        !launch->fields.szServerAddress.empty())
    {
        m_launch = *launch;
        ShowSplash();
        LoginLobby();
        ShowStatus();
    }
}

BOOL CConfClientDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case IDC_LOBBY_OPEN:
        OpenRoom();
        return TRUE;
    case IDC_LOBBY_JOIN:
        JoinSelectedRoom();
        return TRUE;
    case IDC_LOBBY_CONFLIST:
        if (HIWORD(wParam) == LBN_DBLCLK)
            JoinSelectedRoom();
        else if (HIWORD(wParam) == LBN_SELCHANGE)
            ShowStatus();
        return TRUE;
    case IDC_LOBBY_CANCEL:
        if (m_countdown.Running())
        {
            AddLog(LOG_INFO, L"[RECONNECT] cancelled");
            KillTimer(TIMER_RECONNECT);
            Logout();
            m_nReconnectCount = 0;
            ShowStatus();
        }
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

void CConfClientDlg::QuitProgram()
{
    PostMessage(WM_QN_QUIT);
}

void CConfClientDlg::OnCancel()
{
    DestroyMainDialog();
}

void CConfClientDlg::DestroyMainDialog()
{
    if (!m_hWnd) return;
    m_bQuitting = true;
    Logout();
    if (m_pControl) m_pControl->Stop(); // no thread may outlive the window
    KillTimer(TIMER_RECONNECT);
    KillTimer(TIMER_STARTUP);
    AddLog(LOG_INFO, L"[EXIT]");
    RestartIfRequested();
    if (m_pLogWriter) m_pLogWriter->Stop();
    DestroyWindow();
}

void CConfClientDlg::OpenRoom()
{
    EnterRoomRequest(0, u"", U16Of(Formatted(&m_log, GetText("IDS_LOBBY_ROOMTITLE"), WideOf(m_szMyName))),
                     false);
}

void CConfClientDlg::OnPrepareRoom()
{
    ShowStatus(); // the lobby's commands wait while a room is open
}

void CConfClientDlg::JoinSelectedRoom()
{
    int nSel = static_cast<int>(SendDlgItemMessageW(m_hWnd, IDC_LOBBY_CONFLIST, LB_GETCURSEL, 0, 0));
    if (nSel < 0 || static_cast<size_t>(nSel) >= m_lobby.Confs().size()) return;
    const S_CONFINFOEX& c = m_lobby.Confs()[static_cast<size_t>(nSel)];
    AddLog(LOG_INFO, L"[CMD_CONF_JOIN] RoomIndex:%d", c.wRoomIndex);
    OnClientCommand(CLIENTCMD_JOIN, DecimalText(c.wRoomIndex) + u'\n' + c.szConfCode);
}

void CConfClientDlg::OnLobbyChanged()
{
    if (!m_hWnd) return;
    HWND hConfs = GetDlgItem(IDC_LOBBY_CONFLIST);
    int nSel = static_cast<int>(::SendMessageW(hConfs, LB_GETCURSEL, 0, 0));
    ::SendMessageW(hConfs, LB_RESETCONTENT, 0, 0);
    for (const S_CONFINFOEX& c : m_lobby.Confs())
    {
        wchar_t line[256];
        _snwprintf(line, 255, L"%u  %ls  (%u/%u)", c.wRoomIndex, WideOf(c.szTitle).c_str(), c.wUserCount,
                   c.wMaxUser);
        line[255] = 0;
        ::SendMessageW(hConfs, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    if (nSel >= 0) ::SendMessageW(hConfs, LB_SETCURSEL, nSel, 0);
    HWND hUsers = GetDlgItem(IDC_LOBBY_USERLIST);
    ::SendMessageW(hUsers, LB_RESETCONTENT, 0, 0);
    for (const S_ENTIRE_USER& u : m_lobby.Users())
    {
        std::wstring line = WideOf(u.szName) + L" (" + WideOf(u.szUserId) + L")";
        ::SendMessageW(hUsers, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    ShowStatus();
}

void CConfClientDlg::OnCountdown(int nSecondsLeft)
{
    m_nCountdown = nSecondsLeft;
    ShowStatus();
}

void CConfClientDlg::ShowStatus()
{
    if (!m_hWnd) return;
    std::wstring text;
    if (m_countdown.Running())
    {
        text = Formatted(&m_log, GetText("IDS_LOBBY_COUNTDOWN"), m_nCountdown);
    }
    else if (m_bLobbyLoggedIn && m_room.InRoom())
        text = Formatted(&m_log, GetText("IDS_LOBBY_INROOM"), WideOf(m_room.info.szTitle));
    else if (m_bLobbyLoggedIn)
        text = Formatted(&m_log, GetText("IDS_LOBBY_LOGGEDIN"), WideOf(m_szMyName));
    else if (m_pNet)
        text = GetText("IDS_LOBBY_CONNECTING");
    else
        text = GetText("IDS_LOBBY_NOTCONNECTED");
    SetDlgItemTextW(m_hWnd, IDC_LOBBY_STATUS, text.c_str());
    ::EnableWindow(GetDlgItem(IDC_LOBBY_CANCEL), m_countdown.Running());
    bool bFree = m_bLobbyLoggedIn && !m_room.InRoom();
    ::EnableWindow(GetDlgItem(IDC_LOBBY_OPEN), bFree);
    bool bSelected = SendDlgItemMessageW(m_hWnd, IDC_LOBBY_CONFLIST, LB_GETCURSEL, 0, 0) >= 0;
    ::EnableWindow(GetDlgItem(IDC_LOBBY_JOIN), bFree && bSelected);
}

BOOL CConfClientDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam >= VK_F14 && pMsg->wParam <= VK_F24)
    {
        // Hardware keys of conference keyboards: session commands by WM_COMMAND.
        static const WORD kCommands[][2] = {{0x401, 0},      {0x402, 0},     {0x403, 0},    {0x407, 0},
                                            {0x406, 0},      {0x404, 0},     {0x405, 0},    {0x408, 0},
                                            {0x405, 0x5004}, {0x410, 0x405}, {0x411, 0x405}};
        const WORD* pCmd = kCommands[pMsg->wParam - VK_F14];
        for (int i = 0; i < 2 && pCmd[i]; ++i)
            PostMessage(WM_COMMAND, pCmd[i], 0);
        if (pMsg->wParam == VK_F23 || pMsg->wParam == VK_F24) return TRUE;
    }
    // No room text-entry window takes the keys here: Enter and Space never reach the
    // dialog's buttons, and Escape reaches the dialog only while a room is open.
    if (pMsg->message == WM_KEYDOWN)
    {
        switch (pMsg->wParam)
        {
        case VK_RETURN:
        case VK_SPACE:
            return TRUE;
        case VK_ESCAPE:
            if (!m_room.InRoom()) return FALSE;
            break;
        default:
            break;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}
