// The loopback server's transport: one event-loop thread accepts, reads whole frames
// and writes each member's bounded outbound queue without ever blocking on one member.
#include <algorithm>
#include <climits>

#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"
#include "loopserver/LoopArrival.h"
#include "loopserver/LoopServer.h"

namespace
{
constexpr uint64_t kListenToken = 0; // client ids start at 1
constexpr size_t kReadChunk = 0x10000;
// A fixed kernel send buffer per connection: it keeps what one slow member holds in
// the kernel bounded too, and is ample for loopback.
constexpr int kSocketSendBuffer = 256 * 1024;
} // namespace

bool CLoopServer::Start(uint16_t wPort)
{
    if (!NetStartup()) return false;
    m_bNetStarted = true;
    if (!m_poller.Open()) return false;
    m_hListen = NetListenLoopback(wPort, &m_wPort);
    if (m_hListen == kNoSocket || !CLoopPoller::SetNonBlocking(m_hListen) ||
        !m_poller.Add(m_hListen, kListenToken))
        return false;
    LogF(m_pLog, LOG_INFO, "[loop] listening on 127.0.0.1:%u", m_wPort);
    return m_loopThread.Start([this] { EventLoop(); }, false);
}

void CLoopServer::Stop()
{
    if (m_bStopping.exchange(true)) return;
    m_poller.Wake();
    m_loopThread.WaitFor(~0u);
    {
        std::lock_guard<std::mutex> g(m_state);
        // Every connection goes at once: nobody is told of the others leaving.
        for (auto& c : m_clients)
            c->bClosing = true;
        while (!m_clients.empty())
        {
            std::shared_ptr<Client> c = m_clients.back();
            Drop(c);
        }
    }
    if (m_hListen != kNoSocket) m_poller.Remove(m_hListen);
    NetShutdownClose(m_hListen);
    m_hListen = kNoSocket;
    if (m_bNetStarted) NetCleanup();
}

void CLoopServer::EventLoop()
{
    std::vector<CLoopPoller::Event> events;
    std::vector<uint8_t> chunk(kReadChunk);
    while (!m_bStopping)
    {
        m_poller.Wait(NextTimeoutMs(), events);
        for (const CLoopPoller::Event& e : events)
        {
            if (m_bStopping) return;
            if (e.nToken == kListenToken)
            {
                AcceptAll();
                continue;
            }
            std::shared_ptr<Client> c;
            {
                std::lock_guard<std::mutex> g(m_state);
                auto it = m_byId.find(static_cast<int>(e.nToken));
                if (it == m_byId.end()) continue;
                c = it->second;
                if (e.bWritable) Flush(*c);
            }
            if (e.bReadable) ReadFrom(c, chunk);
        }
        std::lock_guard<std::mutex> g(m_state);
        RunTimers();
        CloseCut();
    }
}

void CLoopServer::AcceptAll()
{
    for (;;)
    {
        NetSocket s = NetAccept(m_hListen);
        if (s == kNoSocket) return;
        std::lock_guard<std::mutex> g(m_state);
        if (m_clients.size() >= m_cfg.nMaxConnections)
        {
            LogF(m_pLog, LOG_ERROR, "[loop] connection refused: the limit of %u connections is reached",
                 static_cast<unsigned>(m_cfg.nMaxConnections));
            NetShutdownClose(s);
            continue;
        }
        auto c = std::make_shared<Client>();
        c->nId = m_nNextClientId++;
        c->hSocket = s;
        if (!CLoopPoller::SetNonBlocking(s) || !m_poller.Add(s, static_cast<uint64_t>(c->nId)))
        {
            NetShutdownClose(s);
            continue;
        }
        NetSetNoDelay(s);
        NetSetSendBuffer(s, kSocketSendBuffer);
        c->tKeyDeadline = Clock::now() + std::chrono::milliseconds(m_cfg.nKeyTimeoutMs);
        m_timers.push({c->tKeyDeadline, c->nId});
        m_clients.push_back(c);
        m_byId[c->nId] = c;
        LogF(m_pLog, LOG_INFO, "[loop] #%d connected", c->nId);
    }
}

void CLoopServer::ReadFrom(const std::shared_ptr<Client>& c, std::vector<uint8_t>& chunk)
{
    Bytes& in = c->in;
    // While frames are stamped, each read ends with the frame it completes, so that the stamp of
    // its last byte's arrival is that frame's.
    int64_t nArrivalUs = 0;
    int n;
    if (m_bStamping)
    {
        size_t nWant = kFrameHeaderSize - std::min(in.size(), kFrameHeaderSize);
        if (nWant == 0)
        {
            const PacketHeader h = PacketHeader::Read(in.data());
            nWant =
                h.dwTotalLength > in.size() ? std::min<size_t>(h.dwTotalLength - in.size(), chunk.size()) : 1;
        }
        n = RecvWithArrival(c->hSocket, chunk.data(), nWant, &nArrivalUs);
    }
    else
        n = NetRecv(c->hSocket, chunk.data(), chunk.size());
    if (n < 0 && CLoopPoller::WouldBlock()) return;
    if (n <= 0)
    {
        std::lock_guard<std::mutex> g(m_state);
        Drop(c);
        return;
    }
    in.insert(in.end(), chunk.begin(), chunk.begin() + n);
    size_t nCursor = 0;
    while (in.size() - nCursor >= kFrameHeaderSize)
    {
        PacketHeader h = PacketHeader::Read(in.data() + nCursor);
        if (h.byMask != kFrameMask || h.dwTotalLength < kFrameHeaderSize || h.dwTotalLength > kMaxFrameLength)
        {
            LogF(m_pLog, LOG_ERROR, "[loop] #%d bad stream, %u bytes dropped", c->nId,
                 static_cast<unsigned>(in.size() - nCursor));
            in.clear();
            return;
        }
        if (in.size() - nCursor < h.dwTotalLength) break;
        HandleFrame(c, in.data() + nCursor, h.dwTotalLength, nArrivalUs);
        nCursor += h.dwTotalLength;
    }
    in.erase(in.begin(), in.begin() + static_cast<ptrdiff_t>(nCursor));
}

int CLoopServer::NextTimeoutMs()
{
    std::lock_guard<std::mutex> g(m_state);
    if (m_timers.empty()) return -1;
    auto wait = m_timers.top().first - Clock::now();
    if (wait <= Clock::duration::zero()) return 0;
    // Rounded up: a wait that ends early only spins.
    auto nMs = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    return static_cast<int>(std::min<decltype(nMs)>(nMs, INT_MAX));
}

void CLoopServer::RunTimers()
{
    const Clock::time_point now = Clock::now();
    while (!m_timers.empty() && m_timers.top().first <= now)
    {
        int nId = m_timers.top().second;
        m_timers.pop();
        auto it = m_byId.find(nId);
        if (it == m_byId.end()) continue;
        Client& c = *it->second;
        if (!c.bKeyed && !c.bClosing && now >= c.tKeyDeadline)
        {
            LogF(m_pLog, LOG_ERROR, "[loop] #%d sent no key within %u ms: connection closed", c.nId,
                 m_cfg.nKeyTimeoutMs);
            Cut(c);
            continue;
        }
        Flush(c);
    }
    AnswerDueCalls();
}

void CLoopServer::CloseCut()
{
    while (!m_cut.empty())
    {
        std::shared_ptr<Client> c = m_cut.back();
        m_cut.pop_back();
        Drop(c);
    }
}

void CLoopServer::Drop(const std::shared_ptr<Client>& c)
{
    auto it = m_byId.find(c->nId);
    if (it == m_byId.end()) return;
    // Nothing more goes to it while the room and the lobby hear that it left.
    c->bClosing = true;
    LeaveRoom(*c, false);
    if (c->pUser)
    {
        Bytes p;
        EncodeLobbyUser(LobbyUserOf(*c), p);
        c->pUser = nullptr;
        ToLobby(c.get(), INFO_USER_LOGOUT, p);
    }
    m_poller.Remove(c->hSocket);
    NetShutdownClose(c->hSocket);
    c->hSocket = kNoSocket;
    c->out.clear();
    c->nOutBytes = 0;
    m_byId.erase(it);
    std::erase(m_clients, c);
    LogF(m_pLog, LOG_INFO, "[loop] #%d closed", c->nId);
}

void CLoopServer::SendRaw(Client& c, Bytes bytes, unsigned nDelayMs, bool bCloseAfter)
{
    Outbound o{std::move(bytes), {}, bCloseAfter};
    if (nDelayMs) o.tNotBefore = Clock::now() + std::chrono::milliseconds(nDelayMs);
    Enqueue(c, std::move(o), false);
}

void CLoopServer::Enqueue(Client& c, Outbound o, bool bMedia)
{
    if (c.bClosing) return;
    const size_t n = o.bytes.size();
    if (bMedia && c.nOutBytes + n > m_cfg.nOutboundLimit / 2)
    {
        // Behind: its voice and video go first, so that what it cannot miss still fits.
        if (!c.bDroppingMedia)
            LogF(m_pLog, LOG_ERROR, "[loop] #%d %u bytes behind: media for it dropped", c.nId,
                 static_cast<unsigned>(c.nOutBytes));
        c.bDroppingMedia = true;
        return;
    }
    if (c.nOutBytes + n > m_cfg.nOutboundLimit)
    {
        LogF(m_pLog, LOG_ERROR, "[loop] #%d %u bytes behind, over the bound of %u: cut off", c.nId,
             static_cast<unsigned>(c.nOutBytes), static_cast<unsigned>(m_cfg.nOutboundLimit));
        Cut(c);
        return;
    }
    if (c.out.empty() && o.tNotBefore == Clock::time_point{})
    {
        // Nothing waits ahead of it: straight to the socket; only what does not fit is queued.
        int nSent = NetSend(c.hSocket, o.bytes.data(), n);
        if (nSent == static_cast<int>(n))
        {
            if (o.bCloseAfter) Cut(c);
            return;
        }
        if (nSent < 0 && !CLoopPoller::WouldBlock())
        {
            Cut(c);
            return;
        }
        c.nFrontSent = nSent > 0 ? static_cast<size_t>(nSent) : 0;
    }
    c.nOutBytes += n;
    m_nPeakOutBytes = std::max(m_nPeakOutBytes, c.nOutBytes);
    c.out.push_back(std::move(o));
    Flush(c);
}

void CLoopServer::Flush(Client& c)
{
    bool bBlocked = false;
    while (!c.out.empty() && !c.bClosing && !bBlocked)
    {
        Outbound& o = c.out.front();
        if (o.tNotBefore != Clock::time_point{} && o.tNotBefore > Clock::now())
        {
            if (c.tTimer != o.tNotBefore)
            {
                c.tTimer = o.tNotBefore;
                m_timers.push({o.tNotBefore, c.nId});
                m_poller.Wake();
            }
            break;
        }
        while (c.nFrontSent < o.bytes.size())
        {
            int nSent = NetSend(c.hSocket, o.bytes.data() + c.nFrontSent, o.bytes.size() - c.nFrontSent);
            if (nSent > 0)
                c.nFrontSent += static_cast<size_t>(nSent);
            else if (nSent < 0 && CLoopPoller::WouldBlock())
            {
                bBlocked = true;
                break;
            }
            else
            {
                // The peer is gone; its read side will say so too.
                Cut(c);
                return;
            }
        }
        if (bBlocked) break;
        const bool bCloseAfter = o.bCloseAfter;
        c.nOutBytes -= o.bytes.size();
        c.nFrontSent = 0;
        c.out.pop_front();
        if (bCloseAfter)
        {
            Cut(c);
            return;
        }
    }
    if (c.out.empty()) c.bDroppingMedia = false;
    if (bBlocked != c.bWatchWrite && c.hSocket != kNoSocket)
    {
        c.bWatchWrite = bBlocked;
        m_poller.WatchWrite(c.hSocket, static_cast<uint64_t>(c.nId), bBlocked);
    }
}

void CLoopServer::Cut(Client& c)
{
    if (c.bClosing) return;
    c.bClosing = true;
    c.out.clear();
    c.nOutBytes = 0;
    c.nFrontSent = 0;
    auto it = m_byId.find(c.nId);
    if (it == m_byId.end()) return;
    m_cut.push_back(it->second);
    m_poller.Wake();
}

size_t CLoopServer::PeakOutboundBytes() const
{
    std::lock_guard<std::mutex> g(m_state);
    return m_nPeakOutBytes;
}
