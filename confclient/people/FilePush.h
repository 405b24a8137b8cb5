// A file pushed to everybody in the room, as the control bar runs it: the sender's announcement,
// its paced send thread and cancel, and the receive of another member's push into the download
// folder. One push at a time, sent or received.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/people/FileSendCal.h"
#include "confclient/people/PacedSender.h"
#include "confclient/people/ReceiveNames.h"
#include "confclient/session/roomstate/RoomNotices.h"

// The control bar and the network as the push sees them.
class IFilePushHost
{
public:
    virtual ~IFilePushHost() = default;
    // 520, 524 (from the send thread) and 522 with the own user number; false without a network.
    virtual bool SendPushFile(uint32_t dwSize, const std::u16string& szName) = 0;
    virtual bool SendPushData(const uint8_t* p, size_t n) = 0;
    virtual bool SendPushCancel() = 0;
    // Asks for EndPush after ms (timer 1250); called from the send thread too.
    virtual void SetPushEndTimer(uint32_t ms) = 0;
    // The push menu item follows the busy state.
    virtual void UpdatePushMenu() = 0;
    // The chat's push progress line ends as cancelled.
    virtual void EndPushProgressLine() = 0;
    // A received file's path as a link line in the chat.
    virtual void AddReceivedFile(const std::u16string& szPath) = 0;
};

class CFilePush : private IBlockLink
{
public:
    // Sizes the wire's u32 cannot carry.
    static constexpr uint64_t kMaxSize = 0xFFFFFFFFull;
    static constexpr uint16_t kNoSender = 0xFFFF;

    CFilePush(IFilePushHost& host, IRoomNotices& notices, IDownloadFolder& folder, IPaceClock& clock,
              IFileSendCalOwner& progressOwner, SRemainFormats formats, uint32_t dwBytesPerSecond);
    // Cancels without telling the room and waits for the send thread; a receive is abandoned.
    ~CFilePush();

    // Sends the opened file to the room: refused with a box while a push runs, or when the file
    // is missing or too large for the wire. True when the push started.
    bool StartPush(std::unique_ptr<ISendFile> file, const std::u16string& szName, uint64_t nSize);
    // A 524 of n file bytes left the socket.
    void OnPushChunkSent(uint32_t nBytes);
    // The sender stops its push (tell: 522 to the room); a receiver abandons its own receive only.
    void CancelFilePush(bool bTell);

    // Another member's push (521): refused while a push runs (kind-1 notice); false when not taken.
    bool BeginPushReceive(const std::u16string& szName, uint32_t dwSize, uint16_t wSender,
                          const std::u16string& szSenderName);
    // 525: only the push's sender's blocks are written, and only up to the announced size.
    void OnPushData(uint16_t wSender, const uint8_t* p, size_t n);
    // 523, or the sender left the room: only from the push's sender.
    void OnPushCancelled(uint16_t wSender, const std::u16string& szSenderName);
    // Timer 1250: the push is over; the send thread is joined.
    void EndPush();

    bool Busy() const { return m_bBusy; }
    bool Sending() const { return m_bSending; }
    bool Receiving() const { return m_pReceiveFile != nullptr; }
    uint16_t PushSender() const { return m_wPushSender; }
    uint64_t SentBytes() const { return m_pSender ? m_pSender->BytesSent() : 0; }
    uint32_t ReceivedBytes() const { return m_dwReceived; }
    // The file being or last received, in the download folder.
    const std::u16string& ReceiveName() const { return m_szReceiveName; }
    int ReceivedNotices() const { return m_nReceivedNotices; }
    // The file the progress is about: the one sent, else the one received.
    const std::u16string& ProgressName() const { return m_bSending ? m_szSendName : m_szReceiveName; }

private:
    bool SendBlock(const uint8_t* p, size_t n) override { return m_host.SendPushData(p, n); }
    void FinishPushReceive(bool bOk);
    void AbortPushReceive();
    void JoinSender();

    IFilePushHost& m_host;
    IRoomNotices& m_notices;
    IDownloadFolder& m_folder;
    IPaceClock& m_clock;
    uint32_t m_dwBytesPerSecond;
    CFileSendCal m_sendProgress;
    CFileSendCal m_receiveProgress;

    bool m_bBusy = false;
    bool m_bSending = false;
    std::unique_ptr<CPacedSender> m_pSender;
    std::unique_ptr<ISendFile> m_pSendFile;
    std::thread m_sendThread;
    std::atomic<bool> m_bSendEnded{false};
    std::u16string m_szSendName;

    std::unique_ptr<IReceiveFile> m_pReceiveFile;
    std::u16string m_szReceiveName;
    uint32_t m_dwExpected = 0;
    uint32_t m_dwReceived = 0;
    uint16_t m_wPushSender = kNoSender;
    int m_nReceivedNotices = 0;
};

// The size in kilobytes the offers and notices show: size / 1000, at least 1.
uint32_t TransferKilobytes(uint64_t nSize);

// A transfer's end timers, in ms: soon after a cancel or failure, and after its last block.
constexpr uint32_t kTransferEndSoon = 100;
constexpr uint32_t kTransferEndAfterLast = 1000;
