// Readiness of many sockets for the loopback server's one event-loop thread:
// epoll natively, WSAPoll on Windows; a wake-up any thread may ring.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "confclient/network/transport/NetPlatform.h"

class CLoopPoller
{
public:
    struct Event
    {
        uint64_t nToken;
        bool bReadable; // also set on an error or a hang-up: the next read finds it
        bool bWritable;
    };

    CLoopPoller();
    ~CLoopPoller();
    CLoopPoller(const CLoopPoller&) = delete;
    CLoopPoller& operator=(const CLoopPoller&) = delete;

    // Sets up the wake-up; false when the platform refuses.
    bool Open();
    // Watches s for reading under this token; the loop thread only.
    bool Add(NetSocket s, uint64_t nToken);
    // Watches s for writing too while bOn; any thread holding the owner's lock.
    void WatchWrite(NetSocket s, uint64_t nToken, bool bOn);
    // Forgets s before it is closed; the loop thread only.
    void Remove(NetSocket s);
    // Waits up to nTimeoutMs (negative: without limit) for ready sockets or a wake-up.
    void Wait(int nTimeoutMs, std::vector<Event>& out);
    // Ends the current or the next Wait early; any thread.
    void Wake();

    // Sends and receives on s return at once instead of blocking.
    static bool SetNonBlocking(NetSocket s);
    // The last failed send or receive only would have blocked.
    static bool WouldBlock();

private:
    struct Impl;
    std::unique_ptr<Impl> m_p;
};
