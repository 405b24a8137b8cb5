// The loopback conference server: many clients on 127.0.0.1, the real frames,
// cipher and payload codecs, a lobby with users and rooms, relays inside rooms,
// and a scenario of faults for tests. One event-loop thread serves every connection;
// each member's outbound queue is bounded (LoopConfig::nOutboundLimit).
#pragma once
#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <queue>
#include <unordered_map>
#include <vector>

#include "confclient/network/QNPayloads.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/SeedCipher.h"
#include "confclient/network/transport/NetPlatform.h"
#include "core/LogSink.h"
#include "loopserver/LoopConfig.h"
#include "loopserver/LoopPoller.h"

class CLoopServer
{
public:
    // pLog takes one line per frame in and out, and the connection events.
    CLoopServer(LoopConfig cfg, ILogSink* pLog);
    ~CLoopServer();

    // Listens on 127.0.0.1 (port 0: a free one, see Port()) and serves in the background.
    bool Start(uint16_t wPort);
    uint16_t Port() const { return m_wPort; }
    void Stop();

    // What the server saw, for tests: the first command of every connection so
    // far, and the commands received by the user with this ID, in order.
    std::vector<uint16_t> FirstCommands() const;
    std::vector<uint16_t> CommandsFrom(const std::u16string& szUserId) const;
    size_t LoggedInUsers() const;
    // The most bytes ever queued at once for one member.
    size_t PeakOutboundBytes() const;
    // For benchmarks: every later frame of these commands is stamped with the time it reached
    // the server's socket (system clock, microseconds) and its plain payload's bytes. While any
    // command is stamped, the loop reads frame by frame.
    void StampArrivals(std::vector<uint16_t> commands);
    std::vector<std::pair<int64_t, size_t>> TakeArrivals();

    // Pushes a command to the logged-in user with this ID, or to every member of a
    // room (returns how many got it), as the server would send it.
    bool SendToUser(const std::u16string& szUserId, uint16_t wCommand, uint16_t wSub, const Bytes& payload);
    size_t SendToRoom(uint16_t wRoomIndex, uint16_t wCommand, uint16_t wSub, const Bytes& payload);
    // The channels of a room's members, in rising order.
    std::vector<uint16_t> RoomMembers(uint16_t wRoomIndex) const;
    // Delivers an invitation into a room (652) to one logged-in user as from another; false when
    // either is not logged in. The invitee's reply (660) then reaches the inviter as 662.
    bool SendInvitation(const std::u16string& szInviterId, const std::u16string& szInviteeId,
                        uint16_t wRoomIndex);

private:
    using Clock = std::chrono::steady_clock;

    struct Outbound
    {
        Bytes bytes;
        Clock::time_point tNotBefore{};
        bool bCloseAfter = false;
    };

    struct Client
    {
        int nId = 0;
        NetSocket hSocket = kNoSocket; // closed by the loop thread under the state lock
        Bytes in;                      // the loop thread's: the start of a frame not yet whole

        // Guarded by the server's state lock.
        std::deque<Outbound> out;
        size_t nOutBytes = 0;  // queued in out
        size_t nFrontSent = 0; // of out.front(), already written
        bool bWatchWrite = false;
        bool bDroppingMedia = false;
        bool bClosing = false; // no more output: it is being closed
        Clock::time_point tKeyDeadline{};
        Clock::time_point tTimer{}; // the wake-up already asked for its delayed output
        SeedRoundKeys clientKeys{};
        SeedRoundKeys serverKeys{};
        bool bKeyed = false;
        uint16_t wUserIndex = kNoIndex;
        const LoopUser* pUser = nullptr;
        uint16_t wRoomIndex = 0;
        uint16_t wChannel = kNoIndex;
        std::vector<uint16_t> received;
        // In the room: the flags of the last own state word (its bits 16-31) and the
        // five rights (talk and draw on entry).
        uint32_t dwAvFlags = 0;
        uint32_t dwRights = 3;
    };

    struct Room
    {
        LoopRoom info;
        bool bConfigured = false;
        uint16_t wOwnerIndex = kNoIndex;
        std::map<uint16_t, std::shared_ptr<Client>> members; // by channel
        // The view and properties its members last set (LoopRoomView.cpp).
        uint16_t wViewMode = 1;
        bool bFullScreen = false;
        Bytes property;                 // the last 420 record; empty until one came
        uint16_t wPresider = kNoIndex;  // the channel a 390 named; none: the owner, else the lowest
        uint16_t wPresenter = kNoIndex; // the channel of the member a 553 named
        // The lecture its chief started or ended (LoopRoomBar.cpp).
        uint16_t wLectureState = 0;
        uint16_t wLectureMinutes = 0;
        // The member whose own recording the room heard of last (LoopRecord.cpp); none: kNoIndex.
        uint16_t wRecorder = kNoIndex;

        // Calls out of the room (LoopCalls.cpp): the one being placed, and the members that
        // joined by a call, by channel.
        struct PendingCall
        {
            int nCallerId = 0;
            QNPhoneCall call;
            bool bRinging = false; // until hung up; otherwise answered at tAnswer
            Clock::time_point tAnswer{};
        };
        struct PhoneMember
        {
            QNRoomUser user;
            int nCallerId = 0;
        };
        std::optional<PendingCall> pendingCall;
        std::map<uint16_t, PhoneMember> phones;

        // The media file a member shares (LoopMediaShare.cpp): its record as last sent (564), the
        // flags of its last 566 written in.
        struct MediaShare
        {
            uint16_t wChannel = kNoIndex;
            QNMediaShareRecord record;
        };
        std::optional<MediaShare> mediaShare;
    };

    // The event loop and its parts (LoopTransport.cpp); the loop thread only.
    void EventLoop();
    void AcceptAll();
    void ReadFrom(const std::shared_ptr<Client>& c, std::vector<uint8_t>& chunk);
    int NextTimeoutMs();
    // Also under the state lock: closes key-less connections and sends delayed output.
    void RunTimers();
    void CloseCut();
    // Closes c as a lost connection: its room and the lobby hear that it left.
    void Drop(const std::shared_ptr<Client>& c);
    // One whole frame in; takes the state lock.
    // nArrivalUs: when the frame reached the socket, while frames are stamped.
    void HandleFrame(const std::shared_ptr<Client>& c, uint8_t* pFrame, size_t nLen, int64_t nArrivalUs);

    // Under the state lock, from any thread.
    void Send(Client& c, uint16_t wCommand, uint16_t wSub, const Bytes& payload, unsigned nDelayMs = 0);
    void SendRaw(Client& c, Bytes bytes, unsigned nDelayMs, bool bCloseAfter);
    void Enqueue(Client& c, Outbound o, bool bMedia);
    // Writes what the socket takes; the rest waits for it to drain or for its time.
    void Flush(Client& c);
    // Ends c's output; the loop thread closes it.
    void Cut(Client& c);
    void OnLogin(const std::shared_ptr<Client>& c, uint16_t wCommand, const uint8_t* p, size_t n);
    void OnKeepAlive(const std::shared_ptr<Client>& c, const uint8_t* p, size_t n);
    void OnOpen(const std::shared_ptr<Client>& c, const uint8_t* p, size_t n);
    void OnJoin(const std::shared_ptr<Client>& c, const uint8_t* p, size_t n);
    void EnterRoom(const std::shared_ptr<Client>& c, Room& room, uint16_t wAck);
    // bTellLeaver: the leaver still listens and hears of the room's deletion.
    void LeaveRoom(Client& c, bool bTellLeaver = true);
    void DeleteRoom(std::map<uint16_t, Room>::iterator it, const Client* pExcept);
    Client* PresiderOf(Room& room) const;
    void OnAvState(Client& c, const uint8_t* p, size_t n);
    void OnPresenter(Client& c, const uint8_t* p, size_t n);
    void OnChat(Client& c, const uint8_t* p, size_t n);
    void Relay(Client& c, uint16_t wCommand, const uint8_t* p, size_t n);
    void OnAudioSettings(Client& c, const uint8_t* p, size_t n);
    // The room board (LoopBoard.cpp): relayed and kept; a joiner receives what was kept.
    void OnRoomBoard(Client& c, const uint8_t* p, size_t n);
    void SendBoardLog(Client& c, uint16_t wRoomIndex);
    struct BoardLog
    {
        std::vector<std::pair<uint16_t, Bytes>> messages; // sender's channel, message
        size_t nBytes = 0;
    };
    void OnBanish(Client& c, const uint8_t* p, size_t n);
    // The room's view mode and properties: 430 and 420 in, 431 and 421 out, and what a joiner hears.
    void OnViewModeRequest(Client& c, const uint8_t* p, size_t n);
    void OnRoomProperty(Client& c, const uint8_t* p, size_t n);
    // The control bar's commands (LoopRoomBar.cpp): room record, room type, lecture, everyone's
    // room window, presenter set by a member itself.
    void OnConfUpdate(Client& c, const uint8_t* p, size_t n);
    void OnRoomTypeRequest(Client& c, const uint8_t* p, size_t n);
    void OnLecture(Client& c, const uint8_t* p, size_t n);
    void OnMaximize(Client& c, const uint8_t* p, size_t n);
    void OnSetPresenter(Client& c, const uint8_t* p, size_t n);
    void SendRoomView(Client& c, const Room& room);
    // A member's own recording (LoopRecord.cpp): 490 and a listener's 544 go to the others as 491;
    // 544 with the room index asks who records (545).
    void OnRecordState(Client& c, const uint8_t* p, size_t n);
    void OnRecorderQuery(Client& c, const uint8_t* p, size_t n);
    // The media share (LoopMediaShare.cpp): 564 kept and relayed as 565, 566 kept and relayed as
    // 567 (sub: the sharer's channel); a joiner hears a running share; the sharer leaving ends it.
    void OnMediaShareRecord(Client& c, const uint8_t* p, size_t n);
    void OnMediaShareState(Client& c, const uint8_t* p, size_t n);
    void SendMediaShare(Client& c, const Room& room);
    // The chief's commands on others (LoopPeople.cpp): dropped and logged from anyone else.
    bool FromPresider(Client& c, Room*& pRoom, uint16_t wCommand);
    void OnPresiderChange(Client& c, const uint8_t* p, size_t n);
    void SendUserState(Room& room, const Client& member);
    void OnBanishUser(Client& c, const uint8_t* p, size_t n);
    void OnChannelMove(Client& c, const uint8_t* p, size_t n);
    void OnUserOption(Client& c, const uint8_t* p, size_t n);
    // One-to-one traffic (610, 620, 630, 640, 650, 660): the sender's payload goes to the user
    // whose index is at bytes 6-7 as the next command (612 ... 662) with the sender's own index
    // written at 4-5; an addressee not logged in gets the sender the command after it (611 ...
    // 661) with its index, sub 1000, one named unreachable in the configuration sub 1204.
    void RelayToAddressee(Client& c, uint16_t wCommand, const uint8_t* p, size_t n);
    // A file push (520, 524, 522) goes to the other members of the sender's room as the next
    // command (521, 525, 523) with the sender's index written at 0.
    void RelayPush(Client& c, uint16_t wCommand, const uint8_t* p, size_t n);
    // Calls out of a room and the phone books (LoopCalls.cpp): 800, 810, 400 for a phone member,
    // the calls whose answer is due, and 900 / 910.
    void OnPhoneCall(Client& c, const uint8_t* p, size_t n);
    void OnCallHangUp(Client& c);
    // True when the 400 named a phone member (sent out or refused here).
    bool OnPhoneBanish(Client& c, const uint8_t* p, size_t n);
    void AnswerDueCalls();
    void OnPhoneBookQuery(Client& c, const uint8_t* p, size_t n);
    void OnPhoneBookSave(Client& c, const uint8_t* p, size_t n);
    // The lowest channel of the room that neither a member nor a phone holds.
    static uint16_t FreeChannel(const Room& room);
    QNLobbyUser LobbyUserOf(const Client& c) const;
    QNLobbyConf LobbyConfOf(const Room& r) const;
    QNRoomUser RoomUserOf(const Client& c) const;
    void ToLobby(const Client* pExcept, uint16_t wCommand, const Bytes& payload);
    void LogFrame(const Client& c, bool bIn, uint16_t wCommand, uint16_t wSub, size_t nLen);

    LoopConfig m_cfg;
    ILogSink* m_pLog;
    uint16_t m_wPort = 0;
    NetSocket m_hListen = kNoSocket;
    CLoopPoller m_poller;
    CNetThread m_loopThread;
    std::atomic<bool> m_bStopping{false};
    bool m_bNetStarted = false;

    mutable std::mutex m_state;
    std::vector<std::shared_ptr<Client>> m_clients;
    std::unordered_map<int, std::shared_ptr<Client>> m_byId;
    std::vector<std::shared_ptr<Client>> m_cut; // to be closed by the loop thread
    // Wake-ups for delayed output and key deadlines: (when, client id), soonest first.
    std::priority_queue<std::pair<Clock::time_point, int>, std::vector<std::pair<Clock::time_point, int>>,
                        std::greater<>>
        m_timers;
    size_t m_nPeakOutBytes = 0;
    std::map<uint16_t, Room> m_rooms;
    std::map<uint16_t, BoardLog> m_boardLogs; // by room index
    std::vector<uint16_t> m_firstCommands;
    std::map<std::u16string, std::vector<uint16_t>> m_history;
    std::vector<uint16_t> m_stamped;
    std::atomic<bool> m_bStamping{false};
    std::vector<std::pair<int64_t, size_t>> m_arrivals;
    size_t m_nNextFault = 0;
    uint16_t m_wNextUserIndex = 1;
    uint16_t m_wNextRoomIndex = 100;
    int m_nNextClientId = 1;
    // Phone books by user ID, kept for the server's life.
    std::map<std::u16string, std::u16string> m_phoneBooks;
};
