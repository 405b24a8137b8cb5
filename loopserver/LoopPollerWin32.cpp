// The loopback server's readiness on Windows: WSAPoll over the watched sockets, rebuilt
// each wait, and a loopback socket pair whose byte wakes it.
#include <winsock2.h>

#include <map>
#include <mutex>

#include "loopserver/LoopPoller.h"

namespace
{
constexpr uint64_t kWakeToken = ~0ull;
} // namespace

struct CLoopPoller::Impl
{
    struct Watch
    {
        uint64_t nToken;
        bool bWrite;
    };
    std::mutex lock;
    std::map<NetSocket, Watch> watched;
    NetSocket hWakeRead = kNoSocket;
    NetSocket hWakeWrite = kNoSocket;
    std::vector<WSAPOLLFD> fds;
    std::vector<uint64_t> tokens;
};

CLoopPoller::CLoopPoller() : m_p(std::make_unique<Impl>()) {}

CLoopPoller::~CLoopPoller()
{
    NetClose(m_p->hWakeRead);
    NetClose(m_p->hWakeWrite);
}

bool CLoopPoller::Open()
{
    // Winsock has no pipe to poll: a connected pair of loopback sockets stands in.
    uint16_t wPort = 0;
    NetSocket hListen = NetListenLoopback(0, &wPort);
    if (hListen == kNoSocket) return false;
    int nErr = 0;
    uint32_t dwAddr = 0;
    m_p->hWakeWrite = NetOpenTcp(&nErr);
    bool bOk = m_p->hWakeWrite != kNoSocket && NetResolve("127.0.0.1", &dwAddr) &&
               NetConnect(m_p->hWakeWrite, dwAddr, wPort, &nErr);
    if (bOk) m_p->hWakeRead = NetAccept(hListen);
    NetClose(hListen);
    return bOk && m_p->hWakeRead != kNoSocket && SetNonBlocking(m_p->hWakeRead) &&
           SetNonBlocking(m_p->hWakeWrite);
}

bool CLoopPoller::Add(NetSocket s, uint64_t nToken)
{
    std::lock_guard<std::mutex> g(m_p->lock);
    m_p->watched[s] = {nToken, false};
    return true;
}

void CLoopPoller::WatchWrite(NetSocket s, uint64_t nToken, bool bOn)
{
    {
        std::lock_guard<std::mutex> g(m_p->lock);
        m_p->watched[s] = {nToken, bOn};
    }
    // A wait under way polls the old set: start it again with the new one.
    if (bOn) Wake();
}

void CLoopPoller::Remove(NetSocket s)
{
    std::lock_guard<std::mutex> g(m_p->lock);
    m_p->watched.erase(s);
}

void CLoopPoller::Wait(int nTimeoutMs, std::vector<Event>& out)
{
    out.clear();
    m_p->fds.clear();
    m_p->tokens.clear();
    m_p->fds.push_back({static_cast<SOCKET>(m_p->hWakeRead), POLLRDNORM, 0});
    m_p->tokens.push_back(kWakeToken);
    {
        std::lock_guard<std::mutex> g(m_p->lock);
        for (const auto& [s, w] : m_p->watched)
        {
            SHORT events = POLLRDNORM;
            if (w.bWrite) events |= POLLWRNORM;
            m_p->fds.push_back({static_cast<SOCKET>(s), events, 0});
            m_p->tokens.push_back(w.nToken);
        }
    }
    int n = WSAPoll(m_p->fds.data(), static_cast<ULONG>(m_p->fds.size()), nTimeoutMs < 0 ? -1 : nTimeoutMs);
    if (n <= 0) return;
    for (size_t i = 0; i < m_p->fds.size(); ++i)
    {
        SHORT r = m_p->fds[i].revents;
        if (!r) continue;
        if (m_p->tokens[i] == kWakeToken)
        {
            uint8_t buf[64];
            while (NetRecv(m_p->hWakeRead, buf, sizeof buf) > 0)
            {
            }
            continue;
        }
        bool bReadable = (r & (POLLRDNORM | POLLERR | POLLHUP | POLLNVAL)) != 0;
        out.push_back({m_p->tokens[i], bReadable, (r & POLLWRNORM) != 0});
    }
}

void CLoopPoller::Wake()
{
    // A full pipe already holds a wake-up.
    const uint8_t b = 1;
    NetSend(m_p->hWakeWrite, &b, 1);
}

bool CLoopPoller::SetNonBlocking(NetSocket s)
{
    u_long on = 1;
    return ioctlsocket(static_cast<SOCKET>(s), FIONBIO, &on) == 0;
}

bool CLoopPoller::WouldBlock()
{
    return WSAGetLastError() == WSAEWOULDBLOCK;
}
