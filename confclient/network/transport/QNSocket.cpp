// Connection, send and receive threads, stream parser and send lists of the transport.
#include "confclient/network/transport/QNSocket.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <thread>

#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"

namespace
{
constexpr uint8_t kServiceOrder[kSendListCount] = {0, 1, 5, 2, 3, 4};
constexpr size_t kAddressField = 126;

uint16_t CommandOf(const std::vector<uint8_t>& frame)
{
    return frame.size() >= kFrameHeaderSize ? PacketHeader::Read(frame.data()).wCommand : 0;
}
} // namespace

CQNSocket::CQNSocket(IQNHost* pHost, IQNOwner* pOwner)
    : m_pOwner(pOwner), m_pMainDlg(pHost), m_pLogHost(pHost),
      m_clock([] { return static_cast<uint32_t>(std::time(nullptr)); }), m_recvBuffer(kReceiveBufferSize)
{
}

CQNSocket::~CQNSocket()
{
    // The derived object has joined its threads; whatever is left ends here.
    CloseConnection();
    m_sendThread.WaitFor(~0u);
    m_recvThread.WaitFor(~0u);
    NetClose(m_hSocket.exchange(kNoSocket));
    ClearSendQueues(true);
    if (m_bNetStarted) NetCleanup();
}

void CQNSocket::LogError(const char* pszFormat, int nValue)
{
    LogF(m_pLogHost, LOG_ERROR, pszFormat, nValue);
}

int CQNSocket::Connect(const char* pszAddress, uint16_t wPort)
{
    if (!m_bNetStarted)
    {
        if (!NetStartup())
        {
            LogF(m_pLogHost, LOG_ERROR, "WSAStartup Error");
            return 0;
        }
        m_bNetStarted = true;
    }
    // The address field is 126 bytes with its terminator: a longer text cannot be meant.
    size_t nAddr = pszAddress ? std::strlen(pszAddress) : 0;
    if (nAddr == 0 || nAddr >= kAddressField)
    {
        LogF(m_pLogHost, LOG_ERROR, "connect Error: address of %u bytes", static_cast<unsigned>(nAddr));
        return 0;
    }
    char szAddress[kAddressField] = {};
    std::memcpy(szAddress, pszAddress, nAddr);

    int nErr = 0;
    NetSocket s = NetOpenTcp(&nErr);
    if (s == kNoSocket)
    {
        LogError("socket Error %d", nErr);
        return 0;
    }
    uint32_t dwAddr = 0;
    if (!NetResolve(szAddress, &dwAddr))
    {
        LogError("connect Error %d", NetLastError());
        NetShutdownClose(s);
        return 0;
    }
    NetSetSendBuffer(s, 65535);
    if (!NetConnect(s, dwAddr, wPort, &nErr))
    {
        LogError("connect Error %d", nErr);
        if (nErr != kNetWouldBlock)
        {
            NetShutdownClose(s);
            return 0;
        }
    }
    // The option comes before the socket counts as connected; without it frames
    // are only later, so a failure is logged and the connection kept.
    if (!NetSetNoDelay(s)) LogError("setsockopt TCP_NODELAY Error %d", NetLastError());
    m_hSocket = s;
    m_nHeld = 0;
    m_bConnected = 1;
    WakeThreads();
    return 1;
}

void CQNSocket::Close()
{
    m_bLocalClose = true;
    CloseConnection();
}

void CQNSocket::CloseConnection()
{
    m_pMainDlg = nullptr;
    m_bRunning = 0;
    m_bConnected = 0;
    WakeThreads();
    // Shut now so that blocked calls return. Natively the handle itself is closed
    // once the threads that may still use it have ended, so that its number is
    // not reused under them; Winsock needs the close to wake a blocked recv.
    NetShutdown(m_hSocket.load());
    if (kNetCloseToWake) NetClose(m_hSocket.exchange(kNoSocket));
}

void CQNSocket::WakeThreads()
{
    // Taking the lock orders the flags written before it with a waiter's test of them:
    // the waiter has either seen them or is waiting and gets the signal.
    {
        std::lock_guard<std::mutex> g(m_sendLock);
    }
    m_sendReady.notify_all();
}

bool CQNSocket::StartSocketThreads()
{
    return m_sendThread.Start([this] { SendThread(); }, true) &&
           m_recvThread.Start([this] { RecvThread(); }, true);
}

void CQNSocket::JoinSocketThreads(const std::function<void()>& pump)
{
    for (CNetThread* p : {&m_sendThread, &m_recvThread})
        while (!p->WaitFor(10))
            pump();
    NetClose(m_hSocket.exchange(kNoSocket));
}

void CQNSocket::QueueFrame(std::vector<uint8_t> frame)
{
    uint8_t nList = SendListOf(CommandOf(frame));
    {
        std::lock_guard<std::mutex> g(m_sendLock);
        m_lists[nList].push_back(std::move(frame));
        ++m_nCounts[nList];
    }
    m_sendReady.notify_one();

    uint32_t dwNow = m_clock();
    size_t nWaiting = 0;
    {
        std::lock_guard<std::mutex> g(m_sendLock);
        if (m_dwLastBacklogCheck != 0 && dwNow - m_dwLastBacklogCheck < 10) return;
        m_dwLastBacklogCheck = dwNow;
        for (const auto& n : m_nCounts)
            nWaiting += n;
    }
    IQNHost* pHost = Host();
    if (pHost && nWaiting <= 6 && pHost->WantsBacklogNotice()) pHost->PostBacklogNotice();
}

bool CQNSocket::AnyQueued() const
{
    for (const auto& n : m_nCounts)
        if (n.load() != 0) return true;
    return false;
}

bool CQNSocket::NextFrameToSend(std::vector<uint8_t>& frame)
{
    if (!AnyQueued()) return false;
    std::lock_guard<std::mutex> g(m_sendLock);
    for (uint8_t nList : kServiceOrder)
    {
        if (m_lists[nList].empty()) continue;
        frame = std::move(m_lists[nList].front());
        m_lists[nList].pop_front();
        --m_nCounts[nList];
        return true;
    }
    return false;
}

void CQNSocket::FreeList(size_t nList, const std::function<bool(uint16_t)>& drop)
{
    auto& list = m_lists[nList];
    for (auto it = list.begin(); it != list.end();)
    {
        if (drop(CommandOf(*it)))
            it = list.erase(it);
        else
            ++it;
    }
    m_nCounts[nList] = list.size();
    // A purge changes what comes next: the send thread looks again.
    m_sendReady.notify_one();
}

void CQNSocket::ClearSendQueues(bool bForce)
{
    std::lock_guard<std::mutex> g(m_sendLock);
    auto all = [](uint16_t) { return true; };
    for (size_t n : {0, 2, 3, 4, 5})
        FreeList(n, all);
    if (bForce)
        FreeList(1, all);
    else
        FreeList(1, [](uint16_t c)
                 { return c != DAT_CONF_UPLOAD && c != DAT_CONF_UPLOAD_END && c != DAT_MSG_FILE; });
}

void CQNSocket::PurgeVoiceQueue()
{
    std::lock_guard<std::mutex> g(m_sendLock);
    FreeList(0, [](uint16_t c) { return c == DAT_VOICE; });
}

void CQNSocket::ClearVideoQueue()
{
    std::lock_guard<std::mutex> g(m_sendLock);
    FreeList(2, [](uint16_t) { return true; });
}

void CQNSocket::ClearMediaShareQueue()
{
    std::lock_guard<std::mutex> g(m_sendLock);
    FreeList(3, [](uint16_t) { return true; });
}

void CQNSocket::ClearShareVoiceQueue()
{
    std::lock_guard<std::mutex> g(m_sendLock);
    FreeList(4, [](uint16_t) { return true; });
}

int CQNSocket::IsUploadIdle()
{
    std::lock_guard<std::mutex> g(m_sendLock);
    for (const auto& f : m_lists[1])
    {
        uint16_t c = CommandOf(f);
        if (c == DAT_CONF_UPLOAD || c == DAT_CONF_UPLOAD_END) return 0;
    }
    return 1;
}

void CQNSocket::SendThread()
{
    // Waits for the connection, but not past a close that comes first.
    {
        std::unique_lock<std::mutex> g(m_sendLock);
        while (!m_bConnected && m_bRunning)
            m_sendReady.wait_for(g, std::chrono::milliseconds(100));
    }
    while (m_bConnected)
    {
        if (!SendNextFrame()) break;
        std::this_thread::yield();
    }
}

int CQNSocket::SendNextFrame()
{
    std::vector<uint8_t> frame;
    if (!NextFrameToSend(frame))
    {
        // QueueFrame and the purges change the lists under the send lock before they
        // signal, a close takes the lock before it signals, and the lists are tested under
        // it here: a frame queued just before the wait is not missed.
        std::unique_lock<std::mutex> g(m_sendLock);
        WaitForWork(m_sendReady, g, [this] { return !m_bConnected || AnyQueued(); });
        return 1;
    }
    if (!m_bConnected) return 0;
    PacketHeader h = PacketHeader::Read(frame.data());
    size_t nTotal = std::min<size_t>(h.dwTotalLength, frame.size());
    size_t nSent = 0;
    while (nSent < nTotal)
    {
        int n = NetSend(m_hSocket.load(), frame.data() + nSent, nTotal - nSent);
        if (n <= 0)
        {
            if (!m_bConnected) return 0;
            CloseConnection();
            OnDisconnected();
            return 0;
        }
        nSent += static_cast<size_t>(n);
        if (!m_bConnected) return 0;
    }
    OnFrameSent(h.wCommand, frame);
    return 1;
}

void CQNSocket::OnFrameSent(uint16_t wCommand, std::vector<uint8_t>& frame)
{
    IQNHost* pHost = Host();
    if (!pHost || frame.size() < kFrameHeaderSize) return;
    PacketHeader h = PacketHeader::Read(frame.data());
    // The whole payload length: a block above 64 KB must not be counted short.
    size_t nPayload = std::min<size_t>(h.dwTotalLength, frame.size()) - kFrameHeaderSize;
    uint8_t* pPayload = frame.data() + kFrameHeaderSize;
    switch (wCommand)
    {
    case DAT_BOARD_ROOM:
    case DAT_BOARD_LOBBY:
        XorPayload(pPayload, nPayload, pPayload);
        pHost->PostBoardDataSent(wCommand, std::vector<uint8_t>(pPayload, pPayload + nPayload));
        break;
    case DAT_PUSH_CHUNK:
        // The 2-byte push identifier is not file data; a short block counts as 0.
        if (nPayload >= h.byPadding + 2u)
            pHost->PostPushChunkSent(static_cast<uint32_t>(nPayload - h.byPadding - 2u));
        break;
    case DAT_MSG_FILE:
        if (nPayload >= h.byPadding + 8u)
            pHost->PostFileBlockSent(h.wSub, static_cast<uint32_t>(nPayload - h.byPadding - 8u));
        break;
    default:
        break;
    }
}

void CQNSocket::RecvThread()
{
    while (m_bRunning)
    {
        if (!ReceiveOnce()) break;
        std::this_thread::yield();
    }
}

int CQNSocket::ReceiveOnce()
{
    int n = NetRecv(m_hSocket.load(), m_recvBuffer.data() + m_nHeld, kReceiveBufferSize - m_nHeld);
    if (n <= 0)
    {
        OnDisconnected();
        return 0;
    }
    m_nHeld += static_cast<size_t>(n);
    if (!ParseReceiveBuffer()) m_nHeld = 0;
    return 1;
}

size_t CQNSocket::TakeReceived(const uint8_t* p, size_t n)
{
    n = std::min(n, kReceiveBufferSize - m_nHeld);
    std::memcpy(m_recvBuffer.data() + m_nHeld, p, n);
    m_nHeld += n;
    if (!ParseReceiveBuffer()) m_nHeld = 0;
    return n;
}

int CQNSocket::ParseReceiveBuffer()
{
    size_t nCursor = 0;
    while (m_nHeld >= kFrameHeaderSize)
    {
        const uint8_t* pFrame = m_recvBuffer.data() + nCursor;
        PacketHeader h = PacketHeader::Read(pFrame);
        if (h.byMask != kFrameMask) return 0;
        // A length below a header would never advance; one above the buffer never completes.
        if (h.dwTotalLength < kFrameHeaderSize || h.dwTotalLength > kMaxFrameLength)
        {
            LogError("[RECV] frame length %d dropped with the held data", static_cast<int>(h.dwTotalLength));
            return 0;
        }
        if (m_nHeld < h.dwTotalLength) break;
        if (h.wCommand == INFO_LOBY_FORCED_LOGOUT)
        {
            m_bClosedByServer = 1;
            if (m_pOwner) m_pOwner->SendPacketMessage(kMsgLobbyPacket, INFO_LOBY_FORCED_LOGOUT, nullptr);
        }
        else
        {
            OnPacket(h.wCommand, h.wSub, pFrame);
        }
        m_nHeld -= h.dwTotalLength;
        if (m_nHeld == 0) return 1;
        nCursor += h.dwTotalLength;
    }
    if (m_nHeld == kReceiveBufferSize) return 0;
    if (nCursor) std::memmove(m_recvBuffer.data(), m_recvBuffer.data() + nCursor, m_nHeld);
    return 1;
}
