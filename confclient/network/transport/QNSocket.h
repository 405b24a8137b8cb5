// The TCP transport under the conference protocol: one connection, a send thread
// and a receive thread, the stream parser, and six send lists served by priority.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "confclient/network/QNFrameCodec.h"
#include "confclient/network/transport/NetPlatform.h"
#include "confclient/network/transport/QNOwner.h"
#include "confclient/network/transport/QNServices.h"

constexpr size_t kSendListCount = 6;
constexpr size_t kReceiveBufferSize = 0x80000;

class CQNSocket : public IFrameQueue
{
public:
    // pHost is the main dialog (log, player mode, the windows the send side tells);
    // pOwner the window that takes the connection notices and 223.
    CQNSocket(IQNHost* pHost, IQNOwner* pOwner);
    ~CQNSocket() override;
    CQNSocket(const CQNSocket&) = delete;
    CQNSocket& operator=(const CQNSocket&) = delete;

    virtual void OnConnected() = 0;
    virtual void OnConnectFailed() = 0;
    virtual void OnDisconnected() = 0;
    // One complete frame from the receive thread, valid only during the call.
    virtual void OnPacket(uint16_t wCommand, uint16_t wSub, const uint8_t* pFrame) = 0;

    // Opens the connection (dotted address or host name). 1 on success, 0 on failure.
    int Connect(const char* pszAddress, uint16_t wPort);
    // Drops the main dialog, stops the loops and shuts the connection (a local close).
    void Close();

    // Appends a whole frame to the list its command selects; runs the backlog check.
    void QueueFrame(std::vector<uint8_t> frame) override;
    // Removes the head of the first non-empty list (Q0, Q1, Q5, Q2, Q3, Q4); false when all are empty.
    bool NextFrameToSend(std::vector<uint8_t>& frame);

    void ClearSendQueues(bool bForce);
    void PurgeVoiceQueue();
    void ClearVideoQueue();
    void ClearMediaShareQueue();
    void ClearShareVoiceQueue();
    int IsUploadIdle();
    size_t QueuedFrames(size_t nList) const { return m_nCounts[nList].load(); }

    // Takes received bytes (at most the free room of the receive buffer) and
    // delivers every complete frame. Returns the bytes taken.
    size_t TakeReceived(const uint8_t* p, size_t n);
    size_t HeldBytes() const { return m_nHeld; }

    // The clock of the backlog check, in seconds (the C library's clock by default).
    void SetClock(std::function<uint32_t()> clock) { m_clock = std::move(clock); }

    bool IsClosedByServer() const { return m_bClosedByServer.load() != 0; }

    // An idle send or dispatch thread waits for a signal from whoever gives it work or
    // stops it, and looks again after this period even without one (1 ms by default).
    // Zero: only a signal wakes it, so a lost signal would stall the thread for good.
    // Set it before the threads start.
    void SetIdleFallback(std::chrono::milliseconds period) { m_idleFallback = period; }

protected:
    bool StartSocketThreads();
    // Waits for the send and receive threads, running pump between short waits.
    void JoinSocketThreads(const std::function<void()>& pump);

    int SendNextFrame();
    void OnFrameSent(uint16_t wCommand, std::vector<uint8_t>& frame);
    int ReceiveOnce();
    int ParseReceiveBuffer();

    // Wakes every thread that waits for work, so that it sees the flags fall.
    virtual void WakeThreads();
    // Waits on cv (with g held) until ready() holds, a signal comes, or the fallback period ends.
    template <class Ready>
    void WaitForWork(std::condition_variable& cv, std::unique_lock<std::mutex>& g, Ready ready)
    {
        if (m_idleFallback.count() == 0)
            cv.wait(g, ready);
        else
            cv.wait_for(g, m_idleFallback, ready);
    }

    IQNHost* Host() const { return m_pMainDlg.load(); }
    IQNOwner* Owner() const { return m_pOwner; }
    void LogError(const char* pszFormat, int nValue);

    std::atomic<uint32_t> m_bRunning{1};
    std::atomic<uint32_t> m_bConnected{0};
    std::atomic<uint32_t> m_bClosedByServer{0};
    std::atomic<bool> m_bLocalClose{false};

private:
    // Close without marking it local: the connection failed under us.
    void CloseConnection();
    void SendThread();
    void RecvThread();
    void FreeList(size_t nList, const std::function<bool(uint16_t)>& drop);
    bool AnyQueued() const;

    IQNOwner* m_pOwner;
    std::atomic<IQNHost*> m_pMainDlg;
    IQNHost* m_pLogHost; // keeps logging the close itself after the main dialog is dropped
    CNetThread m_sendThread;
    CNetThread m_recvThread;
    uint32_t m_dwLastBacklogCheck = 0;
    std::function<uint32_t()> m_clock;
    std::atomic<NetSocket> m_hSocket{kNoSocket};
    bool m_bNetStarted = false;

    std::chrono::milliseconds m_idleFallback{1};

    mutable std::mutex m_sendLock;
    std::condition_variable m_sendReady; // a frame was queued or the lists changed, or the connection fell
    std::deque<std::vector<uint8_t>> m_lists[kSendListCount];
    std::atomic<size_t> m_nCounts[kSendListCount] = {};

    std::vector<uint8_t> m_recvBuffer;
    size_t m_nHeld = 0;
};
