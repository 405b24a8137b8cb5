// BSD sockets and std::thread behind the transport's socket and thread layer.
#include "confclient/network/transport/NetPlatform.h"

#include <arpa/inet.h>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

bool NetStartup()
{
    return true;
}
void NetCleanup() {}

NetSocket NetOpenTcp(int* pErr)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0 && pErr) *pErr = errno;
    return fd < 0 ? kNoSocket : fd;
}

bool NetResolve(const char* pszHost, uint32_t* pAddr)
{
    in_addr a{};
    bool bOk = ::inet_aton(pszHost, &a) != 0;
    if (bOk) *pAddr = a.s_addr;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* pList = nullptr;
    if (::getaddrinfo(pszHost, nullptr, &hints, &pList) == 0 && pList)
    {
        *pAddr = reinterpret_cast<sockaddr_in*>(pList->ai_addr)->sin_addr.s_addr;
        bOk = true;
    }
    if (pList) ::freeaddrinfo(pList);
    return bOk;
}

bool NetConnect(NetSocket s, uint32_t dwAddr, uint16_t wPort, int* pErr)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(wPort);
    sa.sin_addr.s_addr = dwAddr;
    if (::connect(static_cast<int>(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) return true;
    if (pErr) *pErr = errno;
    return false;
}

bool NetSetSendBuffer(NetSocket s, int nBytes)
{
    return ::setsockopt(static_cast<int>(s), SOL_SOCKET, SO_SNDBUF, &nBytes, sizeof nBytes) == 0;
}

bool NetSetNoDelay(NetSocket s)
{
    int on = 1;
    return ::setsockopt(static_cast<int>(s), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on) == 0;
}

int NetSend(NetSocket s, const uint8_t* p, size_t n)
{
    ssize_t r;
    do
        r = ::send(static_cast<int>(s), p, n, MSG_NOSIGNAL);
    while (r < 0 && errno == EINTR);
    return r < 0 ? -1 : static_cast<int>(r);
}

int NetRecv(NetSocket s, uint8_t* p, size_t n)
{
    ssize_t r;
    do
        r = ::recv(static_cast<int>(s), p, n, 0);
    while (r < 0 && errno == EINTR);
    return r < 0 ? -1 : static_cast<int>(r);
}

void NetShutdown(NetSocket s)
{
    if (s != kNoSocket) ::shutdown(static_cast<int>(s), SHUT_RDWR);
}

void NetClose(NetSocket s)
{
    if (s != kNoSocket) ::close(static_cast<int>(s));
}

void NetShutdownClose(NetSocket s)
{
    NetShutdown(s);
    NetClose(s);
}

int NetLastError()
{
    return errno;
}

NetSocket NetListenLoopback(uint16_t wPort, uint16_t* pBound)
{
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0) return kNoSocket;
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(wPort);
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof sa;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || ::listen(fd, SOMAXCONN) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
    {
        ::close(fd);
        return kNoSocket;
    }
    if (pBound) *pBound = ntohs(sa.sin_port);
    return fd;
}

NetSocket NetAccept(NetSocket s)
{
    int fd;
    do
        fd = ::accept4(static_cast<int>(s), nullptr, nullptr, SOCK_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd < 0 ? kNoSocket : fd;
}

struct CNetThread::Impl
{
    std::thread thread;
    std::mutex lock;
    std::condition_variable ended;
    bool bDone = false;
};

CNetThread::CNetThread() = default;

CNetThread::~CNetThread()
{
    if (m_p && m_p->thread.joinable()) m_p->thread.join();
}

bool CNetThread::Start(std::function<void()> fn, bool)
{
    if (m_p) return false;
    auto p = std::make_unique<Impl>();
    Impl* pImpl = p.get();
    try
    {
        p->thread = std::thread(
            [pImpl, fn = std::move(fn)]
            {
                fn();
                std::lock_guard<std::mutex> g(pImpl->lock);
                pImpl->bDone = true;
                pImpl->ended.notify_all();
            });
    }
    catch (const std::system_error&)
    {
        return false;
    }
    m_p = std::move(p);
    return true;
}

bool CNetThread::Started() const
{
    return m_p != nullptr;
}

bool CNetThread::WaitFor(unsigned nMs)
{
    if (!m_p) return true;
    {
        std::unique_lock<std::mutex> g(m_p->lock);
        if (!m_p->ended.wait_for(g, std::chrono::milliseconds(nMs), [this] { return m_p->bDone; }))
            return false;
    }
    if (m_p->thread.joinable()) m_p->thread.join();
    return true;
}
