// The conference session of the main dialog: login, lobby, connection loss and
// reconnect, quit and logout, the session's timers, texts by key, the log, and
// the registered outside windows. Room windows reach the session through it.
#pragma once
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "confclient/network/control/QNControl.h"
#include "confclient/network/log/WinLogFolder.h"
#include "confclient/network/transport/QNInterface.h"
#include "confclient/network/transport/QNServices.h"
#include "confclient/network/transport/QNWindowOwner.h"
#include "confclient/session/lobby/LobbyRules.h"
#include "confclient/session/lobbydispatch/LobbyLists.h"
#include "confclient/session/lobbydispatch/ReconnectCountdown.h"
#include "confclient/session/startup/LaunchString.h"
#include "confclient/session/texttable/TextTable.h"

class CSplashDlg;

class IConfDlg : public IQNHost
{
public:
    IConfDlg();
    virtual ~IConfDlg();
    IConfDlg(const IConfDlg&) = delete;
    IConfDlg& operator=(const IConfDlg&) = delete;

    // What start-up hands over: the program folder, the command line and the program name.
    void SetStartInfo(const std::wstring& szFolder, const std::wstring& szCmdLine,
                      const std::wstring& szExeName);

    // Texts by key from the language library's table; a missing key gives the key itself.
    std::wstring GetText(const char* pszKey) const;
    std::wstring LoadText(const char* pszKey) const { return GetText(pszKey); }
    void AddLog(int nLevel, const wchar_t* pszFormat, ...);

    // Outside windows that registered through 0x551 / 424.
    void Broadcast(UINT nMsg, WPARAM wParam, LPARAM lParam);
    void SendTextToClients(DWORD dwCode, const std::u16string& text);

    void ShowSplash();
    void RemoveSplash();
    int LoginLobby();
    void OnSocketClose(WPARAM wParam, LPARAM lParam);
    void Reconnect();
    void QuitRoom(int nReason);
    void Logout(int nFlag);
    void OnLobbyPacket(WPARAM wCode, LPARAM lParam);
    void OnSessionTimer(UINT_PTR nIDEvent);
    // Client commands of the launcher ('\n'-separated fields).
    void OnClientCommand(uint32_t dwCode, const std::u16string& text);
    // A command of the control panel, on the GUI thread.
    void OnPanelCommand(const S_PANELFRAME& frame);

    const CLobbyLists& Lobby() const { return m_lobby; }
    const S_CONFINFOEX* FindConfInfo(uint16_t wRoomIndex) const { return m_lobby.FindConfInfo(wRoomIndex); }
    CQNInterface* Network() const { return m_pNet.get(); }
    bool IsLobbyLoggedIn() const { return m_bLobbyLoggedIn; }
    int ReconnectCount() const { return m_nReconnectCount; }

    // IQNHost: the session as the network object sees it.
    bool IsPlayerMode() const override { return false; }
    void AddLog(int nLevel, const std::string& utf8) override { m_log.AddLog(nLevel, utf8); }
    bool WantsBacklogNotice() override { return false; } // no room control window in the lobby
    void PostBacklogNotice() override {}
    void PostPushChunkSent(uint32_t) override {} // nothing is pushed from the lobby
    void PostFileBlockSent(uint16_t, uint32_t) override {}
    void PostBoardDataSent(uint16_t, std::vector<uint8_t>) override {}
    void OnSoundFrame(uint16_t, uint16_t, const uint8_t*, size_t) override {}
    void OnMediaFrame(uint16_t, uint16_t, const uint8_t*, size_t) override {}

    // IRecordOwner: what recordings need of the session. In the lobby no meeting
    // and no agenda are open, and no player window shows a play clock.
    uint32_t TickCount() override { return ::GetTickCount(); }
    uint32_t WallClock() override;
    std::filesystem::path TempFolder() override;
    std::u16string AgendaSubFolder() override { return u""; }
    std::filesystem::path SkinBaseFolder() override { return std::filesystem::path(m_szProgramFolder); }
    std::u16string MeetingName() override { return u""; }
    double PlaySpeed() override { return 1.0; }
    void OnPlayClock(uint32_t) override {}

protected:
    // The main dialog's window.
    virtual HWND MainWnd() const = 0;
    // The lobby's lists or the connection state changed: the window shows them again.
    virtual void OnLobbyChanged() {}
    // The reconnect countdown shows its seconds left (0: hidden).
    virtual void OnCountdown(int nSecondsLeft) {}

    // Start-up of the session (timer 1244): text table, log writer, launch fields, first login.
    bool StartSession();
    // The box of a refusal, shown from the posted message with what the handler copied.
    void ShowRefusalBox(uint16_t wCode);
    // 4026: shows its text and ends the session or starts the reconnect countdown.
    void OnSessionEnd(LPARAM lReason);
    void OnOutsideEvent(WPARAM wParam, LPARAM lParam);
    void TellStartError(const wchar_t* pszKey);

    // The one place the network object is made.
    std::unique_ptr<CQNInterface> CreateNetwork();
    void SendLobbyLogin();
    void OnLoginAck(const QNPacketDesc* pDesc);
    void OnLoginRefused();
    void SendKeepAlive();
    void StopNetwork();
    bool PanelConnected() const { return m_pControl && m_pControl->IsConnected(); }
    void PanelAnswer(const char* pszKeyword, long nValue);
    // The end of the program from the session: logout, then the window goes.
    virtual void QuitProgram() = 0;

    std::wstring m_szProgramFolder;
    std::wstring m_szCmdLine;
    std::wstring m_szExeName;
    S_LAUNCH m_launch;

    CTextTable m_texts;
    std::unique_ptr<CWinLogFolder> m_pLogFolder;
    std::unique_ptr<CLogWriter> m_pLogWriter;
    CSessionLog m_log;

    std::unique_ptr<CQNWindowOwner> m_pOwner;
    std::unique_ptr<CQNInterface> m_pNet;
    CSplashDlg* m_pSplash = nullptr;
    std::unique_ptr<CQNControl> m_pControl; // panel mode only
    CLobbyLists m_lobby;
    CKeepAliveClock m_keepAlive;
    CReconnectCountdown m_countdown;
    std::vector<HWND> m_outsideWindows;

    bool m_bSessionStarted = false;
    bool m_bLoggedIn = false;
    bool m_bLobbyLoggedIn = false;
    bool m_bLogoutUnderway = false;
    bool m_bQuitting = false;
    bool m_bConnectFailed = false;
    bool m_bPendingLobbyNotice = false;
    bool m_bReconnected = false;
    bool m_bUserListChanged1 = false;
    bool m_bUserListChanged2 = false;
    int m_nReconnectCount = 0;
    int m_nLoginRetry = 0;
    uint16_t m_wLastRefusal = 0;
    uint16_t m_wMyIndex = kNoIndex;
    uint16_t m_wMyLevel = 0;
    uint16_t m_wGroupCode = 0;
    std::u16string m_szMyName;
    uint16_t m_wRoomIndex = 0;
    DWORD m_dwVideoStop = 0;
    QNSystemOption m_sysOption;

    // The control agent (registered message and command 261) and the restart it may ask for.
    void OnAgentMessage(WPARAM wParam, LPARAM lParam);
    void OnConfEntryText(const std::u16string& text);
    void RememberProgramFolder();
    void RestartIfRequested();
    bool m_bRestartRequested = false;
};

std::wstring WideOf(const std::u16string& s);
std::u16string U16Of(const std::wstring& s);
