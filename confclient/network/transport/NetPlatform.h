// The thin socket and thread layer under the transport and the loopback server:
// BSD sockets and std::thread natively, Winsock and C-runtime threads on Windows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

using NetSocket = intptr_t;
constexpr NetSocket kNoSocket = -1;

// The Winsock "would block" code, which a connect may report and still succeed.
constexpr int kNetWouldBlock = 10035;

#ifdef _WIN32
constexpr bool kNetCloseToWake = true;
#else
constexpr bool kNetCloseToWake = false;
#endif

// Starts and ends the socket library for one user (reference counted on Windows).
bool NetStartup();
void NetCleanup();

// A TCP stream socket, or kNoSocket with the error code in *pErr.
NetSocket NetOpenTcp(int* pErr);

// Resolves a dotted address or a host name to an IPv4 address in network order;
// a name that resolves replaces the dotted reading. False when neither works.
bool NetResolve(const char* pszHost, uint32_t* pAddr);

// Connects to an IPv4 address (network order) and port; error code in *pErr.
bool NetConnect(NetSocket s, uint32_t dwAddr, uint16_t wPort, int* pErr);

bool NetSetSendBuffer(NetSocket s, int nBytes);
bool NetSetNoDelay(NetSocket s);

// Blocking send and receive: the count moved, 0 for an orderly close (recv), -1 on error.
int NetSend(NetSocket s, const uint8_t* p, size_t n);
int NetRecv(NetSocket s, uint8_t* p, size_t n);

// Shuts both directions. Natively a recv blocked on another thread returns;
// under Winsock only closing the socket ends it, so there the socket must be
// closed at once (kNetCloseToWake).
void NetShutdown(NetSocket s);
void NetClose(NetSocket s);
void NetShutdownClose(NetSocket s);

int NetLastError();

// A listening socket on 127.0.0.1; port 0 takes a free one. *pBound gets the port.
NetSocket NetListenLoopback(uint16_t wPort, uint16_t* pBound);
NetSocket NetAccept(NetSocket s);

// One thread with a bounded wait for its end.
class CNetThread
{
public:
    CNetThread();
    ~CNetThread(); // joins a thread still running
    CNetThread(const CNetThread&) = delete;
    CNetThread& operator=(const CNetThread&) = delete;

    // Starts fn; bAboveNormal raises the priority where the platform allows it.
    bool Start(std::function<void()> fn, bool bAboveNormal);
    bool Started() const;
    // True once the thread has ended (and is joined); false after nMs without an end.
    bool WaitFor(unsigned nMs);

private:
    struct Impl;
    std::unique_ptr<Impl> m_p;
};
