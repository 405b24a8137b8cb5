// The kernel's receive stamps on Linux (SO_TIMESTAMPNS); elsewhere the time of the read.
#include "loopserver/LoopArrival.h"

#include <chrono>

#ifdef __linux__
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/uio.h>
#include <time.h>
#endif

namespace
{
int64_t NowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
}
} // namespace

#ifdef __linux__
int RecvWithArrival(NetSocket s, uint8_t* p, size_t n, int64_t* pArrivalUs)
{
    const int fd = static_cast<int>(s);
    // Idempotent, and cheap beside a benchmark's read.
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
    iovec io{p, n};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
    msghdr msg{};
    msg.msg_iov = &io;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    ssize_t r;
    do
        r = ::recvmsg(fd, &msg, 0);
    while (r < 0 && errno == EINTR);
    *pArrivalUs = NowUs();
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); r > 0 && c; c = CMSG_NXTHDR(&msg, c))
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS)
        {
            timespec ts{};
            memcpy(&ts, CMSG_DATA(c), sizeof ts);
            *pArrivalUs = int64_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
        }
    return r < 0 ? -1 : static_cast<int>(r);
}
#else
int RecvWithArrival(NetSocket s, uint8_t* p, size_t n, int64_t* pArrivalUs)
{
    const int r = NetRecv(s, p, n);
    *pArrivalUs = NowUs();
    return r;
}
#endif
