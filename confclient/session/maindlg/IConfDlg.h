// The conference session of the main dialog: login, lobby, connection loss and
// reconnect, quit and logout, the session's timers, texts by key, the log, and
// the registered outside windows. Room windows reach the session through it.
#pragma once
#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "winui/WideText.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/control/QNControl.h"
#include "confclient/network/log/WinLogFolder.h"
#include "confclient/network/transport/QNInterface.h"
#include "confclient/network/transport/QNServices.h"
#include "confclient/network/transport/QNWindowOwner.h"
#include "confclient/room/MediaShareHost.h"
#include "confclient/room/RoomHost.h"
#include "confclient/session/layout/RoomLayout.h"
#include "confclient/session/layout/RoomWindowTable.h"
#include "confclient/session/lobby/LobbyDispatcher.h"
#include "confclient/session/lobby/LobbyRules.h"
#include "confclient/session/lobby/LobbyLists.h"
#include "confclient/session/lobby/ReconnectCountdown.h"
#include "confclient/boardhost/BoardNoticeFeature.h"
#include "confclient/boardhost/RoomBoard.h"
#include "lmboard2/boardbase/BoardFolders.h"
#include "confclient/media/MediaShareFeature.h"
#include "confclient/media/RecordControl.h"
#include "confclient/media/RecordingFeature.h"
#include "confclient/media/VideoFeature.h"
#include "confclient/people/CallFeature.h"
#include "confclient/room/RoomViewFeature.h"
#include "confclient/room/RoomBarRules.h"
#include "confclient/room/RoomViewLayout.h"
#include "confclient/people/ChatFeature.h"
#include "confclient/people/MessengerFeature.h"
#include "confclient/people/MessengerTable.h"
#include "confclient/room/MessangeDlg.h"
#include "confclient/room/AgendaListHost.h"
#include "confclient/people/ParticipantRows.h"
#include "confclient/people/ParticipantsFeature.h"
#include "confclient/people/PresenterFeature.h"
#include "confclient/people/PushReceiveFeature.h"
#include "confclient/session/maindlg/RoomVoiceHost.h"
#include "confclient/session/roomdispatch/RoomDispatcher.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"
#include "confclient/session/startup/LaunchString.h"
#include "confclient/settings/PrivateDataFeature.h"
#include "confclient/session/texttable/TextTable.h"
#include "confclient/notices/InviteNotices.h"
#include "confclient/notices/NoticeBoxRules.h"
#include "confclient/notices/NoticeHost.h"

class CWnd;
class CSplashDlg;
class CRoomMainViewDlg;
class CRoomVideoViewDlg;
class CRoomMediaShareViewDlg;
class CQuestionDlg;
class CManageToolDlg;
class CRoomTxtChatDlg;
class CRoomAgendaListDlg;
class CEBookDlg;
class CRoomUserListDlg;
class CFloatingBoardToolDlg;
class CRoomCtrlDlg;
class CPlayerDlg;
class CMessangeDlg;
class CSidePanelDlg;

class IConfDlg : public IQNHost,
                 public IRoomHost,
                 public ILobbyHandler,
                 public IRoomCommands,
                 public IRoomNotices,
                 public IRoomView,
                 public IChatView,
                 public IMediaShareView,
                 public IMediaShareSender,
                 public IMediaShareHost,
                 public IMessengerView,
                 public IRecordingView,
                 public IRecordEngine,
                 public IRecordHost,
                 public IRecordBarView,
                 public IRecordFiles,
                 public IBarRecording,
                 public IPushReceiveView,
                 public IPresenterView,
                 public IParticipantsView,
                 public IRoomBoardSession,
                 public INoticeHost,
                 public ICallSender,
                 public IMessengerHost,
                 public IMessengerWindows,
                 public IAgendaListHost
{
public:
    IConfDlg();
    virtual ~IConfDlg();
    IConfDlg(const IConfDlg&) = delete;
    IConfDlg& operator=(const IConfDlg&) = delete;

    // What start-up hands over: the program folder, the command line and the program name.
    void SetStartInfo(const std::wstring& szFolder, const std::wstring& szCmdLine,
                      const std::wstring& szExeName);

    // Texts by key from the language library's table; a missing key gives an empty text (and a DEBUG line).
    std::wstring GetText(const char* pszKey) const;
    void AddLog(int nLevel, const wchar_t* pszFormat, ...);

    // Outside windows that registered through 0x551 / 424.
    void Broadcast(UINT nMsg, WPARAM wParam, LPARAM lParam);
    void SendTextToClients(DWORD dwCode, const std::u16string& text);

    void ShowSplash();
    void RemoveSplash();
    int LoginLobby();
    // The network object's connection notice: connected, connect failed or closed.
    void OnConnectionState(WPARAM wParam, LPARAM lParam);
    void Reconnect();
    void QuitRoom(int nReason);
    // Ends the whole session from any state; every caller ends it the same way.
    void Logout();
    // Whether a 0x550, 0x552 or 0x553 being handled comes from our network object; one from
    // another program is logged and dropped, its lParam unread.
    bool IsOwnPacketMessage(UINT nMsg, WPARAM wParam, LPARAM lParam);
    void OnLobbyPacket(WPARAM wCode, LPARAM lParam);
    void OnSessionTimer(UINT_PTR nIDEvent);
    // Client commands of the launcher ('\n'-separated fields).
    void OnClientCommand(uint32_t dwCode, const std::u16string& text);
    // A command of the control panel, on the GUI thread.
    void OnPanelCommand(const S_PANELFRAME& frame);

    // The room: its layout table, rectangle and windows (RoomWindows.cpp).
    bool PrepareRoom();
    bool LoadLayoutTable();
    const CRoomInfo* GetLayoutInfo(uint16_t nType) const;
    static uint16_t VideoCountOfType(uint16_t nType) { return ::VideoCountOfType(nType); }
    uint16_t GetVideoCount(uint16_t nType) const;
    void LoadRoomPosition(S_ROOMPOSITION& pos, bool bReadSaved);
    void SaveMainPlacement(bool bSave);
    void OnRoomClosed(bool bSave);
    bool CreateRoomWindows();
    bool InitPanels(bool bEntering);
    // Control bar on top of the room rectangle, the main view below it, the side panel at its right.
    void LayoutRoom() override;

    // Every inbound room command (RoomPacket.cpp).
    void OnRoomPacket(WPARAM wCode, LPARAM lParam);

    // The notice box, owned by the room window while there is one (the session's notices,
    // SessionNotices.cpp). A box that waits answers NoticeBoxAnswer; when the room closes under
    // it, it answers NOTICEBOX_THIRD, so a caller checks that its windows still exist.
    int ShowMessageBox(const std::wstring& szText, int nButtons = 1, uint16_t wTimeout = 0,
                       int nMode = NOTICEBOX_MODAL);
    // The same box without waiting (modes 1-3); it frees itself.
    void ShowMessageBoxModeless(const std::wstring& szText, int nButtons = 1, int nMode = NOTICEBOX_MODELESS,
                                uint16_t wValue = kNoIndex);
    // The room window's about item: the program's name and version in the one notice box.
    void ShowAbout();
    // Sends one option of the local user (546) unless a recording plays; option 1 is full screen.
    void SendUserOption(uint16_t wOption, uint32_t dwValue);
    // Joins the lobby's room of that index.
    void JoinRoomByIndex(uint16_t wRoomIndex) override;
    // The share notice bar at the top of the room's screen, made once.
    void ShowNoticeDlg(int nMode);

    // INoticeHost: what the notices ask of the session.
    std::wstring NoticeText(const char* pszKey) const override { return GetText(pszKey); }
    ILogSink* NoticeLog() override { return &m_log; }
    bool LoadSkinImage(const wchar_t* pszFile, CLMPictureEx& picture) override;
    HWND MainRoomWindow() const override;
    HWND MainDialog() const override { return MainWnd(); }
    uint16_t MyLevel() const override { return m_wMyLevel; }
    ChatInputMode ChatInput() const override;
    std::wstring RunChatCommand(const SChatCommand& cmd) override;
    void AnswerPresenterRequest(uint16_t wChannel, bool bPermit) override;
    SUserMenuInputs UserMenuInputs(uint16_t wChannel) const override;
    void UserAction(uint32_t nCommand, uint16_t wChannel) override;
    IUserRowRoom* UserRowRoom() override { return &m_userRowRoom; }
    CSeatDrag& SeatDrag() override { return m_seatDrag; }
    uint16_t SelectedListChannel() const override;
    uint32_t ChatColour() const override { return m_dwChatColour; }
    void SetChatColour(uint32_t dwColour) override;
    // The file push (RoomPacket.cpp).
    IRoomNotices& PushNotices() override { return *this; }
    bool SendPushFile(uint32_t dwSize, const std::u16string& szName) override;
    bool SendPushData(const uint8_t* p, size_t n) override;
    bool SendPushCancel() override;
    uint32_t TransferPace() const override;
    void ShowPushProgress(int nPercent, const std::wstring& szText) override;
    void EndPushProgress() override;
    void AddReceivedFile(const std::wstring& szPath) override;
    void CancelFilePush() override;
    // The list menu's rights for everyone: one of them inverted for the room (420).
    void ToggleRoomRight(uint32_t nCommand);
    std::pair<int, int> RoomUserCount() const override
    {
        return {static_cast<int>(m_room.users.Count()), m_room.info.wMaxUser};
    }
    uint16_t SharingUser() const override { return m_wSharingUser; }
    uint16_t RequestedSharer() const override { return m_wRequestedSharer; }
    uint16_t MyUserIndex() const override { return m_wMyIndex; }
    void SetSharingUser(uint16_t wUser) override { m_wSharingUser = wUser; }
    void SetDesktopShareState(uint16_t wUser, int nCode) override;
    void OnNoticeClosed() override { m_bNoticeOpen = false; }
    std::optional<std::wstring> FindLobbyUser(uint16_t wUserIndex) const override;
    void AcceptInvitation(uint16_t wRoomIndex) override;
    void DeclineInvitation(uint16_t wInviter) override;
    void RemoveInviteNotice(uint16_t wInviter, uint16_t wRoomIndex) override;
    std::wstring MyDisplayName() const override { return WideOf(m_szMyName); }
    bool IsLocalSharer() const override;
    void StopLocalShare() override;
    void EndRemoteShare(uint16_t wSharerSlot) override;
    // A notice line in the room chat.
    void AddChatNotice(const std::wstring& szText, int nKind);

    // IRoomNotices: what the room's features tell the user.
    std::u16string Text(const char* pszKey) const override { return U16Of(GetText(pszKey)); }
    void AddChatNotice(const std::u16string& szText, int nKind) override
    {
        AddChatNotice(WideOf(szText), nKind);
    }
    void ShowBox(const std::u16string& szText) override { ShowMessageBoxModeless(WideOf(szText)); }

    uint16_t RoomIndex() const { return m_room.RoomIndex(); }

    // IRoomHost: the session as the room windows see it.
    std::wstring RoomText(const char* pszKey) const override { return GetText(pszKey); }
    INoticeHost& Notices() override { return *this; }
    // The room chat's, the memo pad's and the messenger's text saver (SessionFiles.cpp).
    bool SaveChatToFile(HWND hRichEdit, HWND hParent) override;
    std::wstring SaveFolder() const override;
    bool GermanTexts() const override;
    void OpenBoardDocument() override;
    void ToggleBoardPreview() override;
    void SendRoomChat(const std::wstring& szText) override;
    void LeaveRoomRequested() override;
    void RequestPresenter() override;

    const CLobbyLists& Lobby() const { return m_lobby; }
    const S_CONFINFOEX* FindConfInfo(uint16_t wRoomIndex) const { return m_lobby.FindConfInfo(wRoomIndex); }

    // IQNHost: the session as the network object sees it.
    // A session started to play a recording: it takes no live room commands.
    bool IsPlayerMode() const override
    {
        return m_launch.kind == LaunchKind::Player || m_launch.kind == LaunchKind::RecordingPath;
    }
    void AddLog(int nLevel, const std::string& utf8) override { m_log.AddLog(nLevel, utf8); }
    // From the send thread: the control bar is reached through its window handle only.
    bool WantsBacklogNotice() override { return m_nRoomCtrlMode.load() == 2; }
    void PostBacklogNotice() override;
    void PostPushChunkSent(uint32_t nBytes) override;
    void PostFileBlockSent(uint16_t wReceiver, uint32_t nBytes) override;
    // From the send thread: queued for the GUI thread, which tells the board (race-free).
    void PostBoardDataSent(uint16_t wCommand, std::vector<uint8_t> plain) override;
    // Receive thread: voice is checked and queued for the engine.
    void OnSoundFrame(uint16_t wCommand, uint16_t wSub, const uint8_t* p, size_t n) override
    {
        if (wCommand == DAT_VOICE) m_voiceHost.Voice().PlayReceivedVoice(wSub, p, n);
    }
    // Dispatch thread: a shared movie's picture (2201) has the tool bar take over the sharer's
    // state, at most once a second (RoomMediaShare.cpp).
    void OnMediaFrame(uint16_t wCommand, uint16_t wSub, const uint8_t* p, size_t n) override;

    // IRecordOwner: what recordings need of the session. In the lobby no meeting
    // and no agenda are open, and no player window shows a play clock.
    uint32_t TickCount() override { return ::GetTickCount(); }
    uint32_t WallClock() override;
    std::filesystem::path TempFolder() override;
    std::u16string AgendaSubFolder() override { return kBoardAgendaSubFolder; }
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
    // The lobby commands, from the lobby dispatcher.
    void OnKeepAliveAnswer() override;
    void OnSeedKeyAnswer() override;
    void OnLobbyUserLogin(const QNLobbyUser& user) override;
    void OnLobbyUserLogout(const QNLobbyUser& user) override;
    void OnLobbyConfRecord(const QNLobbyConf& conf) override;
    void OnLobbyLoginAck(const QNLoginAck& ack) override;
    void OnLobbyLoginRefused() override;
    void OnLobbyBanishAnswer() override;
    void OnForcedLogout() override;
    void OnLobbyUserList(const std::vector<QNLobbyUser>& users) override;
    void OnLobbyUserListChanged() override;
    void OnLobbyConfList(const std::vector<QNLobbyConf>& confs) override;
    void OnInviteAccepted(const std::optional<uint16_t>& room) override;
    void OnSystemOption(const QNSystemOption& option) override;
    void OnAgendaLocked() override;
    void OnLobbyBroadcast(const uint32_t& value) override;
    void OnNetworkWarning() override;
    void OnDroppedPayload(uint16_t wCommand, size_t nLength) override;
    void SendKeepAlive();
    void StopNetwork();
    bool PanelConnected() const { return m_pControl && m_pControl->IsConnected(); }
    void PanelAnswer(const char* pszKeyword, long nValue) override;
    // The end of the program from the session: logout, then the window goes.
    virtual void QuitProgram() = 0;
    // The main dialog gets ready for a room (its lobby face steps back).
    virtual void OnPrepareRoom() = 0;

    // Room windows: made from the room windows table in its order, destroyed in the reverse.
    struct RoomWindowMaker;
    using RoomWindowMakers = std::array<RoomWindowMaker, ROOM_SLOT_COUNT>;
    static const RoomWindowMakers& Makers();
    CWnd* RoomWindow(RoomSlot slot);
    // What a window needs once made (view count, the control bar's main view, ...).
    void OnRoomWindowMade(RoomSlot slot);
    void DestroyRoomWindows();
    void SaveRoomPosition();
    // The participants shown again in the user list and the video views.
    void ShowRoomUsers() override;
    bool IsChief() const override;
    // Room-level commands.
    void OnRoomOpened(const QNPacketDesc* pDesc, bool bOpenAck);
    void OnRoomRefused(uint16_t wCommand, uint16_t wReason);
    void OnRoomGone(uint16_t wCommand, const uint8_t* p, size_t n);
    void OnConfRecord(uint16_t wCommand, const uint8_t* p, size_t n);
    // IChatView: the room chat window, when there is one.
    void OnChatReceived(const std::u16string& szSender, const std::u16string& szText,
                        uint32_t dwColour) override;
    // IMediaShareView, IMediaShareSender and IMediaShareHost: the media-share view and its tool
    // bar, the room's record, what the view asks of the session (RoomMediaShare.cpp).
    void OnShareNotice(int nNotice, uint32_t lParam) override;
    void SendMediaShareRecord(const QNMediaShareRecord& r) override;
    void SendMediaShareState(uint32_t dwFlags) override;
    QNMediaShareRecord& ShareRecord() override { return m_mediaShare.Record(); }
    uint16_t ShareMyUserIndex() const override { return m_wMyIndex; }
    bool HasMediaShareRight() const override;
    bool IsSharePlayback() const override { return IsPlayerMode(); }
    int ShareMediaMode() const override;
    const SShareExtensions& ShareExtensions() const override;
    bool ShareKeepsSending() const override;
    bool ShareFullScreen() const override { return m_bFullScreen; }
    HWND CreateShareSender(HWND hOwner) override;
    void SendShareState() override { m_mediaShare.SendState(); }
    void ResetShareVoice() override;
    void FocusRoom() override;
    void ShowShareBox(const std::wstring& szText, bool bModal) override;
    INoticeHost& ShareNotices() override { return *this; }
    // The question view's page for the view mode shown, and the tool bar's play mode.
    void ApplyShareAndQuestionViews();
    // IMessengerView: the messenger windows and the lobby's names (MessengerWindows.cpp).
    void DeliverToMessenger(int nKind, uint16_t wUserIndex, const std::u16string& szText,
                            uint32_t dwValue) override;
    void OnMessengerFileOffer(const QNFileOffer& offer) override;
    void OnMessengerFileReply(uint16_t wUserIndex, bool bAccepted) override;
    void OnMessengerFileData(const QNFileData& data) override;
    // A 640 to that user left the socket: its messenger window may send the next block.
    void OnFileBlockSent(uint16_t wReceiver, uint32_t nBytes);
    void ShowInviteNotice(uint16_t wInviter, uint16_t wRoomIndex, const std::u16string& szRoomTitle) override;
    std::u16string LobbyName(uint16_t wUserIndex) const override { return U16Of(LobbyUserName(wUserIndex)); }
    std::optional<std::u16string> ConfTitle(uint16_t wRoomIndex) const override;
    // IRoomView: the room window, its control bar and video view (RoomWindows.cpp).
    void OnRoomTypeChanged() override;
    void ShowViewMode(uint16_t wViewMode) override;
    void QueryRecorderState() override;
    void MaximizeRoom(bool bMaximize) override;
    void SetOwnVideoFloating(int nMode) override;
    // IRecordingView: the control bar, when there is one, and the room's layout.
    void StopRecordForServer() override;
    void EnableServerRecordMenu(bool bEnable) override;
    void EnableRecordButtons(bool bEnable) override;
    std::u16string RecordFolder() override;
    void StartServerMp4Record(const std::u16string& szTarget) override;
    // The bar's own recording (RoomRecording.cpp): the engine in the network object, the room's
    // values and notices, the bar's toggle, dialog and timers, the file system.
    bool StartRecording(const std::u16string& szPath, int nKind) override;
    bool StopRecording(int nReason) override;
    int RecordState() const override;
    S_RECORDROOM RecordRoom() const override;
    uint32_t ReadFilterIndex() override;
    void WriteFilterIndex(uint32_t nIndex) override;
    void SendRecordState(bool bOn) override;
    void SendListenerNotice() override;
    S_LOCALMINUTE LocalMinute() override;
    void SetRecordCheck(bool bChecked) override;
    bool AskRecordPath(const S_RECORDNAME& name, const std::u16string& szFilter, std::u16string& szPath,
                       uint32_t& nFilterIndex) override;
    void SetRecordTimer(int nId, bool bOn) override;
    void SaveRoomPlacement() override { SaveMainPlacement(true); }
    bool Exists(const std::u16string& szPath) override;
    bool MakeFolder(const std::u16string& szPath) override;
    void OnRecordCommand() override { m_recordControl.OnRecordCommand(); }
    void OnServerRecordCommand() override;
    void OnRecordTimer(int nId) override { m_recordControl.OnTimer(nId); }
    // 421: the rights for the presenter feature, and the record right of the properties after them.
    // A room that records itself: the chief starts its recording.
    void StartChiefAutoRecord() override;
    // The recorder engine's status (0x554) during a recording.
    void OnRecordEngineStatus(int nStatus) { m_recordControl.OnEngineStatus(nStatus); }
    // IPushReceiveView: the control bar's receive side, when there is a control bar.
    bool BeginPushReceive(uint16_t wSender, const std::u16string& szSender, const std::u16string& szFile,
                          uint32_t dwSize) override;
    void OnPushCancelled(uint16_t wSender, const std::u16string& szSender) override;
    void OnPushData(uint16_t wSender, const uint8_t* p, size_t n) override;
    // IPresenterView: the control bar's presenter button and the presider's question.
    void EnablePresenterButton(bool bEnable) override;
    void PostPresenterQuestion(uint16_t wRequesterChannel) override;
    // IParticipantsView: the user list, the video views, the network and the control panel.
    void RemoveUserRow(uint16_t wChannel) override;
    void UpdateUserRow(uint16_t wChannel, uint16_t wStatus, uint32_t dwFlags) override;
    void ShowSpeaking(uint16_t wChannel, bool bSpeaking) override;
    void SetVideoState(uint16_t wChannel, uint32_t dwValue) override;
    void SetViewName(uint16_t wChannel, const std::u16string& szName) override;
    void SetMyChannel(uint16_t wChannel) override;
    void SendAvState(uint32_t dwState) override;
    void ApplyMyRights(uint32_t dwRights) override;
    bool PanelListens() const override { return !IsPlayerMode() && PanelConnected(); }
    // The room command handlers the dispatcher calls (RoomPacket.cpp).
    void OnRoomAck(uint16_t wCommand, const QNPacketDesc& desc) override;
    void OnRoomNak(uint16_t wCommand, const QNPacketDesc& desc) override;
    void OnRoomRecord(uint16_t wCommand, const QNPacketDesc& desc) override;
    void OnRoomEnd(uint16_t wCommand, const QNPacketDesc& desc) override;
    void OnSessionValueCleared(uint16_t wCommand, const QNPacketDesc& desc) override;
    void OnBanished(uint16_t wCommand, const QNPacketDesc& desc) override;
    void OnSessionValue(uint16_t wCommand, const QNPacketDesc& desc, const uint16_t& wValue) override;
    // The open messenger window of a lobby user, or null.
    CMessangeDlg* FindMessenger(uint16_t wUserIndex) const;
    // IMessengerWindows and IMessengerHost: the messenger windows' making and what they ask of the
    // session (MessengerWindows.cpp).
    IMessengerWindow* CreateMessenger(const S_MESSAGEINFO& info) override;
    void DeleteMessenger(IMessengerWindow* pWindow) override;
    std::wstring ProgramKey() const override;
    std::wstring StateFields() const override;
    bool SendMessengerText(uint16_t wPeer, const std::u16string& szWire) override;
    bool SendInvite(uint16_t wRoomIndex, uint16_t wPeer) override;
    bool SendInviteReply(uint16_t wPeer, bool bAccept) override;
    bool SendFileOffer(uint16_t wPeer, const std::u16string& szName, uint32_t dwSize) override;
    bool SendFileReply(uint16_t wPeer, bool bAccept) override;
    bool SendFileData(uint16_t wPeer, const uint8_t* p, size_t n) override;
    bool InRoom() const override { return m_room.InRoom(); }
    bool IsRoomUser(uint16_t wPeerIndex, const std::wstring& szPeerId) const override;
    bool LobbyHasRoom(uint16_t wRoomIndex) const override { return FindConfInfo(wRoomIndex) != nullptr; }
    void LeaveRoomForInvitation() override;
    int StateValue() const override { return !m_room.InRoom() && !m_room.AwaitsEntry() && m_bLobbyLoggedIn; }
    uint32_t FeatureWord() const override;
    void TakeQueuedMessages(const std::wstring& szPeerId, uint16_t wPeerIndex) override;
    int AskBox(const std::wstring& szText, int nButtons) override { return ShowMessageBox(szText, nButtons); }
    // Opens the messenger of a lobby user (kind 3: the participant list's send-message action).
    void OpenMessenger(uint16_t wUserIndex) { DeliverToMessenger(MSGKIND_OPEN, wUserIndex, u"", 0); }
    // The presider's question about a presenter request, asked from a posted message.
    void AskPresenterQuestion(uint16_t wRequester);
    // Opens (wRoomIndex 0) or joins a room; bPanel: the control panel asked and hears the outcome.
    void EnterRoomRequest(uint16_t wRoomIndex, const std::u16string& szConfCode,
                          const std::u16string& szTitle, bool bPanel);
    std::wstring RoomUserName(uint16_t wChannel) const;
    std::wstring LobbyUserName(uint16_t wUserIndex) const;

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
    // Set while the room is being left: closing the voice devices waits on the sound system,
    // which delivers messages sent to this thread meanwhile, and a "room closed" among them
    // must not leave the room a second time inside the first.
    bool m_bLeavingRoom = false;
    bool m_bConnectFailed = false;
    bool m_bPendingLobbyNotice = false;
    bool m_bReconnected = false;
    bool m_bUserListChanged1 = false;
    bool m_bUserListChanged2 = false;
    int m_nReconnectCount = 0;
    int m_nLoginRetry = 0;
    uint16_t m_wLastRefusal = 0;
    uint16_t m_wMyIndex = kNoIndex;
    // The questionnaire page on the conference server, and the address the question view shows.
    std::u16string m_szQuestionPage = u"/question/question.asp";
    std::wstring m_szQuestionAddress;
    uint16_t m_wMyLevel = 0;
    uint16_t m_wGroupCode = 0;
    std::u16string m_szMyName;
    QNSystemOption m_sysOption;

    CRoomState m_room;

    // The notices (SessionNotices.cpp): open invitation notices, the room an accepted invitation
    // joins once the present room is left, the session's one notice, the desktop sharers.
    // After a room was left: joins the room to join next, when one is set.
    void JoinNextRoom();
    CInviteNoticeList m_inviteNotices;
    uint16_t m_wRoomToJoinNext = kNoIndex;
    bool m_bNoticeOpen = false;
    bool m_bReconnectBoxOpen = false;
    uint16_t m_wSharingUser = kNoIndex;
    uint16_t m_wRequestedSharer = kNoIndex;
    HWND m_hNoticeBar = nullptr;

    // Layout.
    CLayoutTable m_layout;
    S_ROOMPOSITION m_roomPos{{204, 154, 100, 74}, false};
    int m_nAgendaListState = 1;
    int m_nEbookState = 1;
    int m_nUserListState = 1;
    int m_nChatWndState = 1;
    // "TxtChat_COLOR": the colour of the own chat lines.
    uint32_t m_dwChatColour = 0;

    // Room windows, owned; null when not created.
    CRoomMainViewDlg* m_pMainView = nullptr;
    CRoomVideoViewDlg* m_pVideoView = nullptr;
    CRoomMediaShareViewDlg* m_pMediaShareView = nullptr;
    CQuestionDlg* m_pQuestion = nullptr;
    CManageToolDlg* m_pManageTool = nullptr;
    CRoomTxtChatDlg* m_pChat = nullptr;
    CRoomAgendaListDlg* m_pAgendaList = nullptr;
    CEBookDlg* m_pEBook = nullptr;
    CRoomUserListDlg* m_pUserList = nullptr;
    CFloatingBoardToolDlg* m_pBoardTool = nullptr;
    // The board preview, made when first asked for; it goes with the room's windows.
    std::unique_ptr<CPreviewDlg> m_pPreview;
    void DestroyBoardPreview();
    CRoomCtrlDlg* m_pRoomCtrl = nullptr;
    CPlayerDlg* m_pPlayer = nullptr;
    CMessengerTable m_messengers{*this};
    // The room as the participant list's rows read it: records, control right by the room's
    // right mode, the presenter, position words.
    class CUserRowRoom : public IUserRowRoom
    {
    public:
        explicit CUserRowRoom(IConfDlg& dlg) : m_dlg(dlg) {}
        S_ROOMUSERINFO* FindUser(uint16_t wChannel) override;
        bool HasControlRight(uint16_t wChannel) const override;
        uint16_t PresenterUserIndex() const override;
        std::u16string PositionText(const std::u16string& szName, uint16_t wLevel) const override;
        std::u16string Text(const char* pszKey) const override;

    private:
        IConfDlg& m_dlg;
    } m_userRowRoom{*this};
    // The room as the participant drag reads it, and the drag's state.
    class CSeatDragRoom : public ISeatDragRoom
    {
    public:
        explicit CSeatDragRoom(IConfDlg& dlg) : m_dlg(dlg) {}
        SSeatDragRoom DragRoom() const override;
        const CRoomUserInfo& Users() const override { return m_dlg.m_room.users; }
        void SendChannelMove(uint16_t wFrom, uint16_t wTo) override;

    private:
        IConfDlg& m_dlg;
    } m_seatDragRoom{*this};
    CSeatDrag m_seatDrag{m_seatDragRoom};

    // The room's features and whom the room dispatcher's rows call.
    CChatFeature m_chat{m_room, *this};
    CMediaShareFeature m_mediaShare{m_room, m_wMyIndex, *this, *this};
    CMessengerFeature m_messenger{m_room, *this, *this, &m_log};
    CCallFeature m_call{m_room, *this, *this, &m_log};
    CPrivateDataFeature m_privateData{m_room, *this, &m_log, &m_call};
    CRecordingFeature m_recording{m_room, *this, *this, &m_log};
    CRecordControl m_recordControl{*this, *this, *this, *this, *this, &m_log};
    // A minute of the automatic recordings on the tick clock: QUILLON_RECORD_MINUTE_MS shortens it
    // for program tests.
    uint32_t m_dwRecordMinuteMs = 60000;
    CPushReceiveFeature m_pushReceive{m_room, *this};
    CBoardNoticeFeature m_boardNotice{*this, &m_log};
    // The room's whiteboard: its host feature, and the board frames sent and not yet told.
    CBoardHostFeature m_boardHost{*this, &m_log};
    std::mutex m_boardSentLock;
    std::deque<std::vector<uint8_t>> m_boardSent;

public:
    // IRoomBoardSession, and the board's traffic on the GUI thread (RoomBoardLink.cpp).
    bool SendRoomBoardData(const uint8_t* pData, size_t nLen) override;
    CBoardHostFeature& BoardHost() override { return m_boardHost; }
    void BoardPaletteDocked(bool bDocked) override;
    AgendaRights BoardAgendaRights() const override;
    void BoardTransferStrip(CWnd* pStrip) override;
    void BoardZoomShown(unsigned nZoomItem) override;
    void StartRoomBoard();
    // A recording began: the board's start state goes in as one board message.
    void RecordBoardStartState();
    // Ties the board palette to the room's board once both exist.
    void AttachBoardPalette();
    void OnBoardData(LPARAM lParam);
    void OnBoardDataSent();
    // The board takes local drawing only from one who may draw: the presider, the presenter or a drawing
    // right.
    void UpdateBoardLock();

    // IAgendaListHost: the agenda list's rights and its calls on the board (RoomAgendaHost.cpp).
    SAgendaRights AgendaListRights() const override;
    int AgendaBoardMode() const override;
    void ShowBoardPage(int nIndex) override;
    Answer ConfirmPageDelete(int nCount) override;
    void DeletePageCheck() override;
    void SendDeletePage(bool bLastFile, const std::u16string& szName) override;
    void LoadDroppedFile(const std::wstring& szPath) override;
    std::wstring AgendaText(const char* pszKey) const override { return GetText(pszKey); }
    void AgendaNotice(const char* pszKey) override { ShowMessageBoxModeless(GetText(pszKey)); }

protected:
    CRoomViewFeature m_roomView{m_room, *this, *this, &m_log};
    CVideoFeature m_video{&m_log};
    CPresenterFeature m_presenter{m_room, m_wMyIndex, *this, *this, &m_log};
    CParticipantsFeature m_participants{m_room, m_wMyIndex, *this, *this, m_presenter, &m_log};
    CRoomVoiceHost m_voiceHost{m_room, *this, *this, &m_log, m_szExeName, m_pNet, m_pVideoView};
    const RoomHandlers m_roomHandlers{.pSession = this,
                                      .pChat = &m_chat,
                                      .pRoomView = &m_roomView,
                                      .pVideo = &m_video,
                                      .pMediaShare = &m_mediaShare,
                                      .pMessenger = &m_messenger,
                                      .pCall = &m_call,
                                      .pPrivateData = &m_privateData,
                                      .pVoice = &m_voiceHost.Voice(),
                                      .pRecording = &m_recording,
                                      .pPushReceive = &m_pushReceive,
                                      .pBoardNotice = &m_boardNotice,
                                      .pParticipants = &m_participants,
                                      .pPresenter = &m_presenter};
    // What the send thread may read of the control bar.
    std::atomic<HWND> m_hRoomCtrl{nullptr};
    // What the dispatch thread may read of the media-share tool bar, and its notice gate.
    std::atomic<HWND> m_hShareToolBar{nullptr};
    CShareSecondGate m_shareFrameGate;
    std::atomic<int> m_nRoomCtrlMode{0};

    // The room's view for the whole room: view mode, full screen, the side panels and the bar
    // (RoomViewServices.cpp).
    // Sends the mode and full screen to the room (430) when bSend, then shows them here.
    void ChangeViewMode(uint16_t wMode, bool bFullScreen, bool bSend);
    void ViewModeRequested(uint16_t wMode) override;
    void FullScreenRequested(bool bForEveryone) override;
    void TogglePanels(bool bResend) override;
    bool HasControlRight() const override { return IsChief(); }
    // The control bar's room commands (RoomBarHost.cpp).
    S_MENUCONDITIONS MenuConditions() const override;
    int LectureState() const override { return m_room.wLectureState; }
    void MaximizeForEveryone(bool bMaximize) override;
    void RoomTypeCommand(int nCommand) override;
    void LectureCommand(uint16_t wValue) override;
    S_PROPERTYROOM PropertyRoom() const override;
    void UpdateRoomTexts(const std::u16string& szTitle, const std::u16string& szPassword) override;
    void SendRoomProperty(const S_ROOMPROPERTY& property) override;
    S_CLOCKROOM ClockRoom() const override;
    std::vector<S_ROOMOPTION> RoomOptions() const override;
    void LoadCapturedPage() override;
    int BoardMode() const override { return AgendaBoardMode(); }
    void LoadBoardWeb(const std::wstring& szAddress) override;
    void DrawOnWebPage() override;
    void LeaveWebPage() override;
    void ApplyBoardActions(const S_BOARDACTIONS& actions) override;
    bool IsRoomFullScreen() const override { return m_bFullScreen; }
    void SetRoomFullScreen(bool bOn) override;
    void OnLectureChanged() override;
    // What the layout and the bar read of the session and the room's windows.
    S_ROOMVIEWSTATE RoomViewState() const;
    S_BARSTATE RoomBarState() const;
    // The room window and the bar take the session's view again.
    void ApplyRoomView();
    // The monitors, the primary first; the dual-monitor option moves full screen to the second.
    std::vector<S_RECT> MonitorTable() const;
    // The four side panels with their saved states, agenda, e-book, user list and chat; the states
    // are written back from the panels when the room closes.
    std::array<std::pair<CSidePanelDlg*, int>, 4> SidePanelStates() const;
    void SaveSidePanelStates();
    bool m_bFullScreen = false;
    bool m_bPanelShown = true;
    bool m_bLayoutDone = false;
    bool m_bDualMonitor = false;
    bool m_bWasZoomed = false;

    // ICallSender: the calls and the phone book through the network object (RoomCalls.cpp).
    void SendPhoneCall(const QNPhoneCall& call) override;
    void SendHangUp() override;
    void SendBanish(uint16_t wUserIndex, uint16_t wChannel) override;
    void SendPhoneBookQuery() override;
    void SendPhoneBook(const std::u16string& szText) override;
    // The room window gets what its dialer needs, and calls are allowed by the system's options.
    void StartCallDialer();

    // The control agent (registered message and command 261) and the restart it may ask for.
    void OnAgentMessage(WPARAM wParam, LPARAM lParam);
    void OnConfEntryText(const std::u16string& text) override;
    void RememberProgramFolder();
    void RestartIfRequested();
    bool m_bRestartRequested = false;
};
