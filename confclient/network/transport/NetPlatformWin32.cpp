// Winsock 2 and C-runtime threads behind the transport's socket and thread layer.
#include "confclient/network/transport/NetPlatform.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <process.h>

bool NetStartup()
{
    WSADATA wsa;
    return WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
}

void NetCleanup()
{
    WSACleanup();
}

NetSocket NetOpenTcp(int* pErr)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
    {
        if (pErr) *pErr = WSAGetLastError();
        return kNoSocket;
    }
    return static_cast<NetSocket>(s);
}

bool NetResolve(const char* pszHost, uint32_t* pAddr)
{
    unsigned long a = inet_addr(pszHost);
    bool bOk = a != INADDR_NONE;
    if (bOk) *pAddr = a;
    if (hostent* pHost = gethostbyname(pszHost))
    {
        if (pHost->h_addrtype == AF_INET && pHost->h_addr_list && pHost->h_addr_list[0])
        {
            uint32_t v;
            memcpy(&v, pHost->h_addr_list[0], 4);
            *pAddr = v;
            bOk = true;
        }
    }
    return bOk;
}

bool NetConnect(NetSocket s, uint32_t dwAddr, uint16_t wPort, int* pErr)
{
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(wPort);
    sa.sin_addr.s_addr = dwAddr;
    if (connect(static_cast<SOCKET>(s), reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0) return true;
    if (pErr) *pErr = WSAGetLastError();
    return false;
}

bool NetSetSendBuffer(NetSocket s, int nBytes)
{
    return setsockopt(static_cast<SOCKET>(s), SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&nBytes),
                      sizeof nBytes) == 0;
}

bool NetSetNoDelay(NetSocket s)
{
    BOOL on = TRUE;
    return setsockopt(static_cast<SOCKET>(s), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on),
                      sizeof on) == 0;
}

int NetSend(NetSocket s, const uint8_t* p, size_t n)
{
    int r = send(static_cast<SOCKET>(s), reinterpret_cast<const char*>(p), static_cast<int>(n), 0);
    return r == SOCKET_ERROR ? -1 : r;
}

int NetRecv(NetSocket s, uint8_t* p, size_t n)
{
    int r = recv(static_cast<SOCKET>(s), reinterpret_cast<char*>(p), static_cast<int>(n), 0);
    return r == SOCKET_ERROR ? -1 : r;
}

void NetShutdown(NetSocket s)
{
    if (s != kNoSocket) shutdown(static_cast<SOCKET>(s), SD_BOTH);
}

void NetClose(NetSocket s)
{
    if (s != kNoSocket) closesocket(static_cast<SOCKET>(s));
}

void NetShutdownClose(NetSocket s)
{
    NetShutdown(s);
    NetClose(s);
}

int NetLastError()
{
    return WSAGetLastError();
}

NetSocket NetListenLoopback(uint16_t wPort, uint16_t* pBound)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return kNoSocket;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(wPort);
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof sa;
    if (bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 || listen(s, SOMAXCONN) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
    {
        closesocket(s);
        return kNoSocket;
    }
    if (pBound) *pBound = ntohs(sa.sin_port);
    return static_cast<NetSocket>(s);
}

NetSocket NetAccept(NetSocket s)
{
    SOCKET c = accept(static_cast<SOCKET>(s), nullptr, nullptr);
    return c == INVALID_SOCKET ? kNoSocket : static_cast<NetSocket>(c);
}

struct CNetThread::Impl
{
    HANDLE hThread = nullptr;
    std::function<void()> fn;
};

namespace
{
unsigned __stdcall ThreadEntry(void* pArg)
{
    static_cast<std::function<void()>*>(pArg)->operator()();
    return 0;
}
} // namespace

CNetThread::CNetThread() = default;

CNetThread::~CNetThread()
{
    if (m_p && m_p->hThread)
    {
        WaitForSingleObject(m_p->hThread, INFINITE);
        CloseHandle(m_p->hThread);
    }
}

bool CNetThread::Start(std::function<void()> fn, bool bAboveNormal)
{
    if (m_p) return false;
    auto p = std::make_unique<Impl>();
    p->fn = std::move(fn);
    uintptr_t h = _beginthreadex(nullptr, 0, ThreadEntry, &p->fn, CREATE_SUSPENDED, nullptr);
    if (!h) return false;
    p->hThread = reinterpret_cast<HANDLE>(h);
    if (bAboveNormal) SetThreadPriority(p->hThread, THREAD_PRIORITY_ABOVE_NORMAL);
    m_p = std::move(p);
    ResumeThread(m_p->hThread);
    return true;
}

bool CNetThread::Started() const
{
    return m_p != nullptr;
}

bool CNetThread::WaitFor(unsigned nMs)
{
    if (!m_p || !m_p->hThread) return true;
    if (WaitForSingleObject(m_p->hThread, nMs) != WAIT_OBJECT_0) return false;
    CloseHandle(m_p->hThread);
    m_p->hThread = nullptr;
    return true;
}
