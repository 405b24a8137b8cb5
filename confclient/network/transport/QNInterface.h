// The network object: the protocol side over the transport. It connects and
// exchanges the key, builds and queues every outbound command, routes every
// inbound frame to the owner, and keeps its own record of the session. As a
// recorder it writes the frames it carries into a recording, and plays a
// recording back into its own inbound path.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "confclient/network/QNFrameCodec.h"
#include "confclient/network/QNPayloads.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/record/Record.h"
#include "confclient/network/transport/QNSessionRecord.h"
#include "confclient/network/transport/QNSocket.h"

// Inbound frames waiting for the dispatch thread may hold this many bytes;
// past it media frames are dropped first, control frames only past twice as much.
constexpr size_t kMaxInboundBytes = 16u << 20;

class CQNInterface : public CQNSocket, public CRecord
{
public:
    CQNInterface(IQNHost* pHost, IQNOwner* pOwner);
    ~CQNInterface() override;

    // Connects, starts the send, receive and dispatch threads and sends the key
    // (command 20, the first frame on the wire). 1 on success, 0 on failure.
    int Connect(const char* pszAddress, uint16_t wPort);
    // Closes and joins the threads, handling the owner's sent messages meanwhile.
    // Call it on the owner's thread; afterwards the object may be deleted.
    void StopThreads();

    // Playback: the dispatch thread alone, fed by InjectInbound.
    bool StartPlayer();
    // Plays a recording through the inbound path: the dispatch thread starts
    // without a socket, any playback stops, and the file plays from its start.
    // 1, or the recorder's status code.
    int OpenPlayback(const std::filesystem::path& path);
    // The open recording's start and end (seconds since 1970), for the player.
    uint32_t PlayFileStart() const { return m_dwPlayStart.load(); }
    uint32_t PlayFileEnd() const { return m_dwPlayEnd.load(); }
    // Puts a plain command on the inbound list: it takes the same 0x550, 0x552 or
    // 0x553 path (or the media receivers) as a received one, and is not recorded again.
    void InjectInbound(uint16_t wCommand, uint16_t wSub, const uint8_t* pPlain, size_t nLen);
    // Every sent and received frame of a recordable command, with its plain payload,
    // goes to the recorder. Called on the thread of the builder's caller, the
    // dispatch thread, or for 1000 and 2202 the receive thread.
    virtual void RecordFrame(uint16_t wCommand, const uint8_t* pPayload, size_t nLen, bool bKeyFrame);

    // Drops waiting inbound media frames (the room is being left).
    void PurgeInboundMedia();
    size_t InboundFrames() const;

    bool IsConnected() const { return m_bConnState.load(); }
    // The sub of the last command handed to the owner (a refusal reason for 202).
    uint16_t TakeLastSub() const { return m_wLastSub.load(); }
    void SetMyIndex(uint16_t wChannel) { m_record.SetMyChannel(wChannel); }
    // Forgets users, room and own record (a played recording starts over).
    void ResetSessionRecord() { m_record.Reset(); }
    const CQNSessionRecord& Record() const { return m_record; }
    CQNFrameCodec& Codec() { return m_codec; }

    void SendSeedKey();

    // Outbound command builders. Each returns true when its frame was queued;
    // nothing is sent before the key, nor, past the login, while the own user index is 65535.
    bool SendKeepAlive();
    bool SendLogin(const std::u16string& szUserId, const std::u16string& szSecond, uint16_t wValue,
                   bool bPanel);
    bool SendCmd220(const std::u16string& szUserId);
    bool SendConfOpen(const QNConfOpen& open);
    bool SendConfJoin(uint16_t wRoomIndex, const std::u16string& szConfCode,
                      const std::u16string& szPassword);
    bool SendConfQuit();
    // 460: a line to everyone else in the room, with the own user index.
    bool SendChatText(uint32_t dwColour, const std::u16string& szText);
    bool SendAvState(uint32_t dwState);
    bool SendRecorderStateQuery();
    // 490: the own recording started (true) or stopped, with the own user number.
    bool SendRecordState(bool bOn, uint16_t wUser);
    // 544 without payload: a listener records, for the room to hear.
    bool SendCmd544();
    // 550: a presenter request, or the presider's answer to one.
    bool SendPresenterRequest(const QNPresenterRequest& r);
    // 660 to the inviter, sub 65535.
    bool SendInviteReply(uint16_t wSender, uint16_t wInviter, bool bAccept);
    // 610: a messenger line (colour digits and text, at most 1000 characters) to one user.
    bool SendMessengerText(uint16_t wSender, uint16_t wReceiver, const std::u16string& szText);
    // 650: an invitation into the sender's room, to one user.
    bool SendInvite(uint32_t dwRoomIndex, uint16_t wSender, uint16_t wReceiver);
    // 546: one option of the local user.
    bool SendUserOption(const QNUserOption& option);
    // 564: the local sharer's whole media-share record.
    bool SendMediaShareRecord(const struct QNMediaShareRecord& r);
    // 566: the record's flags; a stopped state also drops the shared file's queued frames.
    bool SendMediaShareState(uint32_t dwFlags);
    // 1000: bFlag 1 live to the room (and into a running recording), 2 into the running
    // conference recording only; false for 2 while no recording runs. Any thread.
    bool SendVoice(const uint8_t* p, size_t n, uint8_t bFlag = 1);
    // 534: audio settings asked of, answered to or applied to another member.
    bool SendAudioSettings(const QNAudioSettings& r);
    // 2000, 2010, 2020 or 2030.
    bool SendVideo(uint16_t wCommand, const uint8_t* p, size_t n);
    bool SendMovieVideo(const uint8_t* p, size_t n);
    bool SendMovieAudio(const uint8_t* p, size_t n);
    // 3000 (the room's board) or 3100 (the lobby's board).
    bool SendBoardData(uint16_t wCommand, const uint8_t* p, size_t n);
    // 520: a file pushed to the room: size and name (526 bytes).
    bool SendPushFile(uint16_t wSender, uint32_t dwSize, const std::u16string& szName);
    // 524: a block of that file (at most 1372 bytes); its leaving the socket is reported. Any thread.
    bool SendPushData(uint16_t wSender, const uint8_t* p, size_t n);
    // 522: the push is cancelled for the room.
    bool SendCmd522(uint16_t wSender);
    bool SendRecordUpload(bool bLast, const uint8_t* p, size_t n);
    // 620: a messenger file offer to one user, sub 65535.
    bool SendFileOffer(uint16_t wSender, uint16_t wReceiver, const std::u16string& szName, uint32_t dwSize);
    // 630: the answer to an offer, or the end of its transfer (not accepted), sub 65535.
    bool SendFileReply(uint16_t wSender, uint16_t wReceiver, bool bAccept);
    // 640: a block of a messenger file (at most 1366 bytes), sub = receiver; its leaving the
    // socket is reported with the receiver. Any thread.
    bool SendFileData(uint16_t wSender, uint16_t wReceiver, const uint8_t* p, size_t n);
    // 430: the room's view mode (0..3) and full screen, for everyone in the room.
    bool SendViewMode(uint16_t wMode, bool bFullScreen);
    // 420: the room's properties, for everyone in the room.
    bool SendRoomProperty(const struct S_ROOMPROPERTY& property);
    // 370: the room record with a changed title or password.
    bool SendConfUpdate(const struct QNConfUpdate& record);
    // 380: a new room type with its user limit.
    bool SendRoomType(uint16_t wRoomType, uint16_t wUserLimit);
    // 532: start (1) or end (100) the lecture of the given length in minutes.
    bool SendCmd532(uint16_t wValue, uint16_t wMinutes);
    // 538: maximise (true) or restore everyone's room window.
    bool SendCmd538(uint16_t wIndex, bool bMaximize);
    // 553: set the user as presenter, or clear the presenter; nothing without a user index.
    bool SendSetPresenter(uint16_t wUserIndex, bool bSet);

    // 800: a call to a telephone or terminal, placed by the server for the room.
    bool SendPhoneCall(const QNPhoneCall& call);
    // 810: hangs up the call being placed.
    bool SendCmd810();
    // 400: sends a member out of the room; nothing while the channel is 65535.
    bool SendBanish(uint16_t wUserIndex, uint16_t wChannel);
    // 900 (kind 2): asks for the stored phone book; 910 stores it (an empty text clears it).
    bool SendTerminalQuery();
    bool SendTerminalCall(const std::u16string& szText);

    // 390: the chief's role to the user on the channel.
    bool SendCmd390(uint16_t wChannel);
    // 410 naming another user's channel: that user's five rights (bits 0-4 of dwRights).
    bool SendUserRights(uint16_t wChannel, uint32_t dwRights);
    // 440: two channels, the lower first; their users trade places or one moves to a free one.
    bool SendChannelMove(uint16_t wFrom, uint16_t wTo);

    void OnConnected() override;
    void OnConnectFailed() override;
    void OnDisconnected() override;
    void OnPacket(uint16_t wCommand, uint16_t wSub, const uint8_t* pFrame) override;

protected:
    void WakeThreads() override;
    void OnPlayFileInfo(uint32_t dwStart, uint32_t dwEnd) override;
    void OnRecordStatus(int nStatus) override;
    void PlayPacket(uint16_t wCommand, const uint8_t* pPayload, size_t nLen, bool bSeeking,
                    uint32_t dwPosition) override;
    void AddIndexEntry(uint16_t wSub, uint32_t dwPosition, uint16_t wCommand) override;
    uint32_t FindIndexEntry(uint16_t wCommand, uint16_t wSub) override;

    // Builds the header, hands a recordable frame to RecordFrame and queues it.
    bool SendCommand(uint16_t wCommand, uint16_t wSub, const uint8_t* pPayload, size_t nLen);

private:
    struct InboundFrame
    {
        std::vector<uint8_t> frame; // header and payload
        bool bPlain = false;        // injected by playback: no mask, no cipher
    };

    void DispatchThread();
    // Appends to the inbound list (dropping by the limits) and wakes the dispatch thread.
    void PushInbound(InboundFrame f);
    void DeliverPacket(InboundFrame& f);
    void SendToOwner(uint32_t nMsg, uint16_t wCommand, uint16_t wSub, const uint8_t* p, size_t n);

    CQNFrameCodec m_codec;
    CQNSessionRecord m_record;
    CNetThread m_dispatchThread;
    std::atomic<bool> m_bRun{false};
    std::atomic<bool> m_bConnState{false};
    std::atomic<bool> m_bClosedReported{false};
    std::atomic<bool> m_bKeySent{false};
    std::atomic<uint16_t> m_wLastSub{0};
    bool m_bStopped = false;

    // Key frames met while seeking, by (command, channel); the playback thread alone uses it.
    std::map<uint32_t, uint32_t> m_keyFrames;
    std::atomic<uint32_t> m_dwPlayStart{0};
    std::atomic<uint32_t> m_dwPlayEnd{0};
    bool m_bPlayerStarted = false;

    mutable std::mutex m_inboundLock;
    std::condition_variable m_inboundReady; // a frame was pushed, or the run flags fell
    std::deque<InboundFrame> m_inbound;
    size_t m_nInboundBytes = 0;
};
