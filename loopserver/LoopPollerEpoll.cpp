// The loopback server's readiness on Linux: level-triggered epoll and an eventfd to wake it.
#include <cerrno>
#include <fcntl.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include "loopserver/LoopPoller.h"

namespace
{
constexpr uint64_t kWakeToken = ~0ull;
constexpr int kMaxEvents = 256;
} // namespace

struct CLoopPoller::Impl
{
    int nEpoll = -1;
    int nWake = -1;
};

CLoopPoller::CLoopPoller() : m_p(std::make_unique<Impl>()) {}

CLoopPoller::~CLoopPoller()
{
    if (m_p->nWake >= 0) ::close(m_p->nWake);
    if (m_p->nEpoll >= 0) ::close(m_p->nEpoll);
}

bool CLoopPoller::Open()
{
    m_p->nEpoll = ::epoll_create1(EPOLL_CLOEXEC);
    m_p->nWake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_p->nEpoll < 0 || m_p->nWake < 0) return false;
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = kWakeToken;
    return ::epoll_ctl(m_p->nEpoll, EPOLL_CTL_ADD, m_p->nWake, &ev) == 0;
}

bool CLoopPoller::Add(NetSocket s, uint64_t nToken)
{
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.u64 = nToken;
    return ::epoll_ctl(m_p->nEpoll, EPOLL_CTL_ADD, static_cast<int>(s), &ev) == 0;
}

void CLoopPoller::WatchWrite(NetSocket s, uint64_t nToken, bool bOn)
{
    epoll_event ev{};
    ev.events = EPOLLIN | (bOn ? EPOLLOUT : 0u);
    ev.data.u64 = nToken;
    ::epoll_ctl(m_p->nEpoll, EPOLL_CTL_MOD, static_cast<int>(s), &ev);
}

void CLoopPoller::Remove(NetSocket s)
{
    ::epoll_ctl(m_p->nEpoll, EPOLL_CTL_DEL, static_cast<int>(s), nullptr);
}

void CLoopPoller::Wait(int nTimeoutMs, std::vector<Event>& out)
{
    out.clear();
    epoll_event evs[kMaxEvents];
    int n = ::epoll_wait(m_p->nEpoll, evs, kMaxEvents, nTimeoutMs);
    for (int i = 0; i < n; ++i)
    {
        if (evs[i].data.u64 == kWakeToken)
        {
            uint64_t v;
            while (::read(m_p->nWake, &v, sizeof v) > 0)
            {
            }
            continue;
        }
        bool bWritable = (evs[i].events & EPOLLOUT) != 0;
        bool bReadable = (evs[i].events & (EPOLLIN | EPOLLERR | EPOLLHUP | EPOLLRDHUP)) != 0;
        out.push_back({evs[i].data.u64, bReadable, bWritable});
    }
}

void CLoopPoller::Wake()
{
    uint64_t v = 1;
    [[maybe_unused]] ssize_t r = ::write(m_p->nWake, &v, sizeof v);
}

bool CLoopPoller::SetNonBlocking(NetSocket s)
{
    int fd = static_cast<int>(s);
    int flags = ::fcntl(fd, F_GETFL, 0);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

bool CLoopPoller::WouldBlock()
{
    return errno == EAGAIN || errno == EWOULDBLOCK;
}
