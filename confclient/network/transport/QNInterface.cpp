// The network object's connection, threads and notices.
#include "confclient/network/transport/QNInterface.h"

#include <chrono>

CQNInterface::CQNInterface(IQNHost* pHost, IQNOwner* pOwner) : CQNSocket(pHost, pOwner), m_codec(*this, pHost)
{
}

CQNInterface::~CQNInterface()
{
    StopThreads();
}

int CQNInterface::Connect(const char* pszAddress, uint16_t wPort)
{
    if (m_bConnected)
    {
        OnConnected();
        return 1;
    }
    if (!CQNSocket::Connect(pszAddress, wPort))
    {
        OnConnectFailed();
        return 0;
    }
    m_bRun = true;
    if (!StartSocketThreads() || !m_dispatchThread.Start([this] { DispatchThread(); }, false))
    {
        LogF(Host(), LOG_ERROR, "[CONNECT] a network thread did not start");
        Close();
        OnConnectFailed();
        return 0;
    }
    SendSeedKey();
    OnConnected();
    return 1;
}

void CQNInterface::SendSeedKey()
{
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    m_codec.SendSeedKey(static_cast<uint32_t>(ms.count()));
    m_bKeySent = true;
}

bool CQNInterface::StartPlayer()
{
    m_bRun = true;
    return m_dispatchThread.Start([this] { DispatchThread(); }, false);
}

void CQNInterface::StopThreads()
{
    if (m_bStopped) return;
    m_bStopped = true;
    m_bRun = false;
    Close();
    m_codec.DetachSession();
    // A thread may be blocked sending the owner a message that this thread must
    // handle: wait for each to end while handling them, however long it takes.
    auto pump = [this]
    {
        if (IQNOwner* p = Owner()) p->PumpSentMessages();
    };
    while (!m_dispatchThread.WaitFor(10))
        pump();
    JoinSocketThreads(pump);
}

void CQNInterface::OnConnected()
{
    m_bConnState = true;
    if (IQNOwner* p = Owner()) p->PostConnectionState(kConnConnected, 0);
}

void CQNInterface::OnConnectFailed()
{
    m_bConnState = false;
    if (IQNOwner* p = Owner()) p->PostConnectionState(kConnFailed, 0);
}

void CQNInterface::OnDisconnected()
{
    m_bConnState = false;
    // The receive and the send side may both see the loss, and a local close
    // wakes the receive thread: the owner hears of a loss once, and only a real one.
    if (m_bLocalClose || m_bClosedReported.exchange(true)) return;
    if (IQNOwner* p = Owner()) p->PostConnectionState(kConnClosed, m_bClosedByServer.load());
}
