// The session's lifecycle: start-up, lobby login, connection notices, reconnect,
// quitting a room, logout, timers, texts, log and the outside windows.
#include "confclient/session/maindlg/IConfDlg.h"

#include <cstdlib>
#include <ctime>

#include <cstdarg>

#include "confclient/network/QNCommands.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/session/startup/CopyData.h"
#include "confclient/session/maindlg/SessionMessages.h"
#include "confclient/room/MessangeDlg.h"
#include "confclient/session/maindlg/SplashDlg.h"
#include "confclient/session/texttable/TextTableResource.h"
#include "ResourceIds.h"
#include "winui/WinApp.h"

IConfDlg::IConfDlg() = default;

IConfDlg::~IConfDlg()
{
    // The window is gone by now and MainWnd may not be called from here: only what is owned is freed.
    if (m_pControl) m_pControl->Stop();
    StopNetwork();
    delete m_pSplash;
    if (m_pLogWriter) m_pLogWriter->Stop();
}

void IConfDlg::SetStartInfo(const std::wstring& szFolder, const std::wstring& szCmdLine,
                            const std::wstring& szExeName)
{
    m_szProgramFolder = szFolder;
    m_szCmdLine = szCmdLine;
    m_szExeName = szExeName;
}

std::wstring IConfDlg::GetText(const char* pszKey) const
{
    std::u16string key(pszKey, pszKey + std::char_traits<char>::length(pszKey));
    return WideOf(m_texts.GetText(key));
}

void IConfDlg::AddLog(int nLevel, const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    AddLogV(m_log, nLevel, pszFormat, args);
    va_end(args);
}

void IConfDlg::Broadcast(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    for (HWND h : m_outsideWindows)
        if (IsWindow(h)) PostMessageW(h, nMsg, wParam, lParam);
}

void IConfDlg::SendTextToClients(DWORD dwCode, const std::u16string& text)
{
    std::wstring w = WideOf(text);
    COPYDATASTRUCT cds{};
    cds.dwData = dwCode;
    cds.cbData = static_cast<DWORD>(w.size() * sizeof(wchar_t));
    cds.lpData = w.empty() ? nullptr : w.data();
    for (HWND h : m_outsideWindows)
    {
        DWORD_PTR result = 0;
        // A hung outside window must not stop the session.
        if (IsWindow(h))
            SendMessageTimeoutW(h, WM_COPYDATA, reinterpret_cast<WPARAM>(MainWnd()),
                                reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG | SMTO_BLOCK, 2000, &result);
    }
}

void IConfDlg::OnOutsideEvent(WPARAM wParam, LPARAM lParam)
{
    HWND h = reinterpret_cast<HWND>(lParam);
    if (wParam == OUTSIDE_REGISTER && IsWindow(h))
    {
        for (HWND known : m_outsideWindows)
            if (known == h) return;
        m_outsideWindows.push_back(h);
    }
    else if (wParam == OUTSIDE_UNREGISTER)
    {
        std::erase(m_outsideWindows, h);
    }
}

void IConfDlg::TellStartError(const wchar_t* pszKey)
{
    std::string key(pszKey, pszKey + wcslen(pszKey));
    std::wstring text = GetText(key.c_str());
    AddLog(LOG_ERROR, L"[START] %s", text.c_str());
    Broadcast(WM_QN_OUTSIDE_NOTICE, OUTSIDE_NOTICE_START_ERROR, 0);
    ShowMessageBox(text);
}

bool IConfDlg::StartSession()
{
    m_bSessionStarted = true;
    LoadTextTableResource(AfxGetResourceHandle(), IDR_INI_TEXT, m_texts);
    m_texts.SetLogSink(&m_log);

    m_pLogFolder = std::make_unique<CWinLogFolder>(m_szProgramFolder);
    m_pLogWriter = std::make_unique<CLogWriter>(*m_pLogFolder);
    CRegistrySettings settings(m_szExeName);
    m_pLogWriter->Start(U16Of(m_szExeName), LogLevelsFromSettings(settings));
    // Program tests shorten the automatic recordings' minute (docs/protocol.md).
    if (const char* pszMinute = std::getenv("QUILLON_RECORD_MINUTE_MS"))
        if (unsigned long nMs = std::strtoul(pszMinute, nullptr, 10); nMs > 0 && nMs <= 60000)
            m_dwRecordMinuteMs = static_cast<uint32_t>(nMs);

    std::optional<S_LAUNCH> launch = ParseCommandLine(U16Of(m_szCmdLine));
    if (!launch)
    {
        AddLog(LOG_ERROR, L"[START] command line not understood: %s", m_szCmdLine.c_str());
        return false;
    }
    m_launch = *launch;
    AddLog(LOG_INFO, L"[START] %s", m_szCmdLine.c_str());
    switch (m_launch.kind)
    {
    case LaunchKind::LaunchString:
        if (m_launch.fields.szServerAddress.empty()) return true;
        ShowSplash();
        LoginLobby(); // a failed first connect ends the program through its own notice
        return true;
    case LaunchKind::Player:
    case LaunchKind::RecordingPath:
        AddLog(LOG_ERROR, L"[START] the player is not available in this build");
        return true;
    case LaunchKind::AVSetting:
        AddLog(LOG_ERROR, L"[START] the audio and video settings are not available in this build");
        return true;
    case LaunchKind::PanelPort:
    {
        HWND hWnd = MainWnd();
        // Commands come on the panel's receive thread: each is posted to the window as a copy.
        m_pControl = std::make_unique<CQNControl>(
            [hWnd](const S_PANELFRAME& f)
            {
                auto* pCopy = new S_PANELFRAME(f);
                if (!PostMessageW(hWnd, WM_QN_PANEL_COMMAND, 0, reinterpret_cast<LPARAM>(pCopy)))
                    delete pCopy;
            });
        if (!m_pControl->Start(m_launch.nPanelPort))
        {
            AddLog(LOG_ERROR, L"[PANEL] cannot listen on port %u", m_launch.nPanelPort);
            m_pControl.reset();
            return false;
        }
        AddLog(LOG_INFO, L"[PANEL] listening on 127.0.0.1:%u", m_pControl->Port());
        return true;
    }
    default:
        return true;
    }
}

void IConfDlg::PanelAnswer(const char* pszKeyword, long nValue)
{
    if (PanelConnected()) m_pControl->SendAnswer(pszKeyword, nValue);
}

void IConfDlg::OnPanelCommand(const S_PANELFRAME& f)
{
    std::wstring szArgs(f.arguments.begin(), f.arguments.end());
    std::wstring szKeyword(f.keyword.begin(), f.keyword.end());
    AddLog(LOG_INFO, L"[PANEL] %s %s", szKeyword.c_str(), szArgs.c_str());
    if (f.keyword == "CONNECT")
    {
        std::optional<S_LAUNCH> launch = ParseCommandLine(U16Of(szArgs));
        if (!launch || launch->kind != LaunchKind::LaunchString || launch->fields.szServerAddress.empty())
        {
            PanelAnswer("CONNECT", 1601);
            return;
        }
        if (m_pNet) return; // a session runs: its CONNECT notice comes (or came) with its login
        m_launch = *launch;
        LoginLobby();
        OnLobbyChanged();
    }
    else if (f.keyword == "QUIT")
    {
        bool bInRoom = m_room.InRoom();
        QuitRoom(QUIT_CAUSE_LEFT);
        if (!bInRoom) PanelAnswer("QUIT", 0);
    }
    else if (f.keyword == "CREATE")
        EnterRoomRequest(0, u"", U16Of(szArgs), true);
    else if (f.keyword == "JOIN")
    {
        // A room the lobby does not list yet is asked for by its index alone.
        int nRoom = _wtoi(szArgs.c_str());
        const S_CONFINFOEX* pConf = FindConfInfo(static_cast<uint16_t>(nRoom));
        if (nRoom > 0 && nRoom < 65536)
            EnterRoomRequest(static_cast<uint16_t>(nRoom), pConf ? pConf->szConfCode : u"", u"", true);
        else
            PanelAnswer("JOIN", 0);
    }
    else if (f.keyword == "LOGOUT")
    {
        PanelAnswer("LOGOUT", 0);
        QuitProgram();
    }
    else
        AddLog(LOG_ERROR, L"[PANEL] %s is not available in this build", szKeyword.c_str());
}

void IConfDlg::ShowSplash()
{
    if (m_pSplash || IsPlayerMode()) return;
    m_pSplash = new CSplashDlg;
    if (!m_pSplash->Show(MainWnd(), AfxGetResourceHandle(), IDR_BACK_INTRO))
    {
        delete m_pSplash;
        m_pSplash = nullptr;
        return;
    }
    SetTimer(MainWnd(), TIMER_SPLASH, 30000, nullptr);
}

void IConfDlg::RemoveSplash()
{
    if (MainWnd()) KillTimer(MainWnd(), TIMER_SPLASH);
    if (!m_pSplash) return;
    m_pSplash->DestroyWindow();
    delete m_pSplash;
    m_pSplash = nullptr;
}

std::unique_ptr<CQNInterface> IConfDlg::CreateNetwork()
{
    if (!m_pOwner) m_pOwner = std::make_unique<CQNWindowOwner>(MainWnd());
    return std::make_unique<CQNInterface>(this, m_pOwner.get());
}

bool IConfDlg::IsOwnPacketMessage(UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (m_pOwner && m_pOwner->IsOwnPacketMessage(nMsg, wParam, lParam)) return true;
    AddLog(LOG_ERROR, L"[SESSION] message 0x%X (%u) from outside the network object dropped", nMsg,
           static_cast<unsigned>(wParam));
    return false;
}

void IConfDlg::StopNetwork()
{
    if (!m_pNet) return;
    m_pNet->StopThreads();
    m_pNet.reset();
}

int IConfDlg::LoginLobby()
{
    m_bLoggedIn = true;
    m_bLogoutUnderway = false;
    if (!m_pNet) m_pNet = CreateNetwork();

    const S_LAUNCHFIELDS& f = m_launch.fields;
    HWND hLauncher = reinterpret_cast<HWND>(static_cast<UINT_PTR>(f.hLauncherWnd));
    // Only a launcher that was named is watched: without one there is nothing whose end ends the session.
    if (f.hLauncherWnd != 0 && !f.bNoLauncherWatch)
        SetTimer(MainWnd(), TIMER_LAUNCHER, IsWindow(hLauncher) ? 10000 : 1000, nullptr);

    std::wstring szAddress = WideOf(f.szServerAddress);
    AddLog(LOG_INFO, L"[CMD_LOBY_LOGIN] IP:%s, Port:%d, ID:%s", szAddress.c_str(), f.nServerPort,
           WideOf(f.szUserId).c_str());
    std::string narrow;
    for (char16_t c : f.szServerAddress)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    if (m_pNet && m_pNet->Connect(narrow.c_str(), f.nServerPort)) return 1;

    Broadcast(WM_QN_OUTSIDE_NOTICE, kConnFailed, 0);
    m_bConnectFailed = true;
    bool bReconnecting = m_nReconnectCount > 0;
    Logout();
    PanelAnswer("CONNECT", 1601);
    // The first login tells the user and ends; a reconnect goes on through the 1366 notice.
    if (!bReconnecting) PostMessageW(MainWnd(), WM_QN_SESSION_END, 0, SESSIONEND_NOTCONNECTED);
    return 0;
}

void IConfDlg::OnConnectionState(WPARAM wParam, LPARAM lParam)
{
    switch (wParam)
    {
    case kConnConnected:
        if (m_nReconnectCount > 0) m_bReconnected = true;
        m_nReconnectCount = 0;
        m_countdown.Stop();
        OnCountdown(0);
        Broadcast(WM_QN_OUTSIDE_NOTICE, kConnConnected, 0);
        if (m_bPendingLobbyNotice) Broadcast(WM_QN_SESSION_EVENT, ACK_LOBY_LOGIN, 0);
        break;
    case kConnFailed:
        if (m_nReconnectCount > 0)
        {
            Reconnect();
            PostMessageW(MainWnd(), WM_QN_SESSION_END, 0, SESSIONEND_RECONNECT);
        }
        break;
    case kConnClosed:
        m_bPendingLobbyNotice = false;
        if (m_bLogoutUnderway || m_bQuitting || lParam != 0) break;
        if (m_wLastRefusal == 1001)
        {
            PostMessageW(MainWnd(), WM_QN_SESSION_END, 0, SESSIONEND_NOTCONNECTED);
            break;
        }
        AddLog(LOG_INFO, L"[SOCKET_MESSAGE_CLOSE] Socket Close");
        Reconnect();
        PostMessageW(MainWnd(), WM_QN_SESSION_END, 0, SESSIONEND_RECONNECT);
        break;
    default:
        break;
    }
    OnLobbyChanged();
}

void IConfDlg::Reconnect()
{
    KillTimer(MainWnd(), TIMER_KEEPALIVE);
    KillTimer(MainWnd(), TIMER_SECOND);
    KillTimer(MainWnd(), TIMER_PINGANSWER);
    m_bLobbyLoggedIn = false;
    m_keepAlive = CKeepAliveClock();
    if (m_room.InRoom()) QuitRoom(QUIT_CAUSE_LEFT);
    // Stopping first: commands still on their way in are handled while the threads end and
    // must not fill the lists again after they were emptied.
    bool bHadNetwork = m_pNet != nullptr;
    StopNetwork();
    for (const S_CONFINFOEX& c : m_lobby.Confs())
        SendTextToClients(INFO_CONF_CLOSE, DecimalText(c.wRoomIndex));
    m_lobby.Clear();
    if (bHadNetwork) m_pNet = CreateNetwork();
    ++m_nReconnectCount;
    OnLobbyChanged();
}

void IConfDlg::QuitRoom(int nReason)
{
    if (m_bLeavingRoom) return;
    m_bLeavingRoom = true;
    // A running recording ends complete, and the room hears of it while this user is still in it.
    m_recordControl.OnRoomLeaving();
    if (m_pNet) m_pNet->PurgeInboundMedia();
    KillTimer(MainWnd(), TIMER_FULLCURSOR);
    KillTimer(MainWnd(), TIMER_CAMERA);
    bool bWasInRoom = m_room.InRoom();
    if (bWasInRoom)
    {
        AddLog(LOG_INFO, L"[CMD_CONF_QUIT] RoomIndex:%d", m_room.RoomIndex());
        if (m_pNet) m_pNet->SendConfQuit();
    }
    if (m_pMainView) SaveRoomPosition();
    // A second start meanwhile must not hand its command line to windows that are going away.
    RegWriteDword(HKEY_CURRENT_USER, kRegCommonKey, L"Logout_State", 1);
    RemoveSplash();
    DestroyRoomWindows();
    RegWriteDword(HKEY_CURRENT_USER, kRegCommonKey, L"Logout_State", 0);
    if (bWasInRoom) Broadcast(WM_QN_SESSION_EVENT, nReason, 0);
    m_messengers.UpdateRoomState(false, kNoIndex);
    if (bWasInRoom) PanelAnswer("QUIT", 0);
    m_room.Leave();
    m_mediaShare.Reset();
    m_szQuestionAddress.clear();
    m_bLeavingRoom = false;
    OnLobbyChanged();
}

void IConfDlg::EnterRoomRequest(uint16_t wRoomIndex, const std::u16string& szConfCode,
                                const std::u16string& szTitle, bool bPanel)
{
    if (!m_pNet || !m_bLobbyLoggedIn || m_room.InRoom() || m_room.AwaitsEntry())
    {
        if (bPanel) PanelAnswer(wRoomIndex == 0 ? "CREATE" : "JOIN", 0);
        return;
    }
    m_room.bPanelAwaitsEntry = bPanel;
    if (wRoomIndex == 0)
    {
        QNConfOpen open;
        open.wRoomType = 1;
        open.wMaxUser = 49;
        open.szTitle = szTitle.substr(0, kTitleUnits - 1);
        // The conference code names the room for a later rejoin: the opener's ID and the time make it unique.
        open.szConfCode =
            (m_launch.fields.szUserId + u"-" + DecimalText(GetTickCount())).substr(0, kConfCodeUnits - 1);
        AddLog(LOG_INFO, L"[CMD_CONF_OPEN] %s", WideOf(open.szTitle).c_str());
        m_room.bPendingOpen = m_pNet->SendConfOpen(open);
        return;
    }
    AddLog(LOG_INFO, L"[CMD_CONF_JOIN] RoomIndex:%d", wRoomIndex);
    if (m_pNet->SendConfJoin(wRoomIndex, szConfCode, u"")) m_room.wPendingJoinRoom = wRoomIndex;
}

void IConfDlg::Logout()
{
    m_bLogoutUnderway = true;
    RemoveSplash();
    Broadcast(WM_QN_OUTSIDE_NOTICE, 3, m_wMyIndex);
    m_messengers.ForceCloseAll();
    QuitRoom(QUIT_CAUSE_LEFT);
    StopNetwork();
    m_countdown.Stop();
    OnCountdown(0);
    KillTimer(MainWnd(), TIMER_SHARER);
    KillTimer(MainWnd(), TIMER_KEEPALIVE);
    KillTimer(MainWnd(), TIMER_PINGANSWER);
    KillTimer(MainWnd(), TIMER_RELOGIN);
    KillTimer(MainWnd(), TIMER_LAUNCHER);
    m_bLoggedIn = false;
    m_bLobbyLoggedIn = false;
    m_bPendingLobbyNotice = false;
    m_lobby.Clear();
    OnLobbyChanged();
}

void IConfDlg::OnSessionEnd(LPARAM lReason)
{
    switch (lReason)
    {
    case SESSIONEND_RECONNECT:
    case SESSIONEND_PINGTIMEOUT:
        if (lReason == SESSIONEND_PINGTIMEOUT)
        {
            AddLog(LOG_ERROR, L"%s", GetText("IDS_TIMER_CLOSEPINGTIMEOUT").c_str());
            Reconnect();
        }
        AddLog(LOG_INFO, L"%s",
               Formatted(&m_log, GetText("IDS_SOCK_RECONNECTION"), CReconnectCountdown::kSeconds).c_str());
        m_countdown.Start();
        OnCountdown(m_countdown.SecondsLeft());
        SetTimer(MainWnd(), TIMER_RECONNECT, 1000, nullptr);
        // The countdown box closes by itself as the attempt starts; a second loss while it is up
        // restarts the countdown under the same box.
        if (m_bReconnectBoxOpen) return;
        m_bReconnectBoxOpen = true;
        ShowMessageBox(L"", 1, CReconnectCountdown::kSeconds, NOTICEBOX_RECONNECT);
        m_bReconnectBoxOpen = false;
        return;
    default:
        break;
    }
    const char* pszKey = lReason == SESSIONEND_FORCED         ? "IDS_SOCK_CONNECTION_CLOSE"
                         : lReason == SESSIONEND_NOTCONNECTED ? "IDS_NOTCONNECTSVR"
                                                              : "IDS_SOCK_NAK_LOBY_LOGIN";
    std::wstring text = GetText(pszKey);
    Logout();
    AddLog(lReason == SESSIONEND_FORCED ? LOG_INFO : LOG_ERROR,
           lReason == SESSIONEND_FORCED ? L"[LOGOUT] Success" : L"[LOGOUT] Error");
    // After a refusal its own box was shown already.
    if (lReason != SESSIONEND_REFUSED) ShowMessageBox(text);
    m_bQuitting = true;
    PostMessageW(MainWnd(), WM_QN_QUIT, 0, 0);
}

void IConfDlg::SendKeepAlive()
{
    if (!m_pNet || !m_bLobbyLoggedIn) return;
    if (m_pNet->SendKeepAlive())
    {
        m_keepAlive.OnSent(GetTickCount());
        SetTimer(MainWnd(), TIMER_PINGANSWER, kKeepAliveAnswerTimeoutMs, nullptr);
    }
}

void IConfDlg::OnSessionTimer(UINT_PTR nIDEvent)
{
    switch (nIDEvent)
    {
    case TIMER_SPLASH:
        RemoveSplash();
        break;
    case TIMER_KEEPALIVE:
        SendKeepAlive();
        break;
    case TIMER_PINGANSWER:
        KillTimer(MainWnd(), TIMER_PINGANSWER);
        if (m_keepAlive.Outstanding()) PostMessageW(MainWnd(), WM_QN_SESSION_END, 0, SESSIONEND_PINGTIMEOUT);
        break;
    case TIMER_RELOGIN:
        KillTimer(MainWnd(), TIMER_RELOGIN);
        ++m_nLoginRetry;
        SendLobbyLogin();
        break;
    case TIMER_LAUNCHER:
    {
        HWND hLauncher = reinterpret_cast<HWND>(static_cast<UINT_PTR>(m_launch.fields.hLauncherWnd));
        if (!IsWindow(hLauncher))
        {
            KillTimer(MainWnd(), TIMER_LAUNCHER);
            AddLog(LOG_INFO, L"[LAUNCHER] window gone, logging out");
            Logout();
            m_bQuitting = true;
            PostMessageW(MainWnd(), WM_QN_QUIT, 0, 0);
        }
        break;
    }
    case TIMER_RECONNECT:
        if (!m_countdown.Running())
        {
            KillTimer(MainWnd(), TIMER_RECONNECT);
            break;
        }
        if (m_countdown.Tick())
        {
            KillTimer(MainWnd(), TIMER_RECONNECT);
            OnCountdown(0);
            LoginLobby();
        }
        else
            OnCountdown(m_countdown.SecondsLeft());
        break;
    default:
        break;
    }
}

void IConfDlg::OnClientCommand(uint32_t dwCode, const std::u16string& text)
{
    if (dwCode != CLIENTCMD_JOIN || !m_pNet || !m_bLobbyLoggedIn) return;
    size_t nl = text.find(u'\n');
    std::u16string szIndex = text.substr(0, nl);
    std::u16string szCode = nl == std::u16string::npos ? std::u16string() : text.substr(nl + 1);
    unsigned n = 0;
    for (char16_t c : szIndex)
    {
        if (c < u'0' || c > u'9' || n > 65535) return;
        n = n * 10 + (c - u'0');
    }
    if (n == 0 || n > 65535) return;
    EnterRoomRequest(static_cast<uint16_t>(n), szCode, u"", false);
}

uint32_t IConfDlg::WallClock()
{
    return static_cast<uint32_t>(std::time(nullptr));
}

std::filesystem::path IConfDlg::TempFolder()
{
    wchar_t szTemp[MAX_PATH + 1];
    DWORD n = ::GetTempPathW(MAX_PATH + 1, szTemp);
    if (n > 0 && n <= MAX_PATH) return std::filesystem::path(std::wstring(szTemp, n));
    // No temporary folder: recordings keep their index below c:\temp.
    std::error_code ec;
    std::filesystem::create_directories(L"c:\\temp", ec);
    return std::filesystem::path(L"c:\\temp\\");
}
