// The network object's connection, threads and notices.
#include "confclient/network/transport/QNInterface.h"

#include <chrono>

CQNInterface::CQNInterface(IQNHost* pHost, IQNOwner* pOwner)
    : CQNSocket(pHost, pOwner), CRecord(*pHost, pHost), m_codec(*this, pHost)
{
}

CQNInterface::~CQNInterface()
{
    // Playback ticks and recorded frames call into this object: both end first.
    StopPlay(true);
    StopRecord(REC_SUCCESS);
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
    m_bPlayerStarted = m_dispatchThread.Start([this] { DispatchThread(); }, false);
    return m_bPlayerStarted;
}

int CQNInterface::OpenPlayback(const std::filesystem::path& path)
{
    if (!m_bPlayerStarted && !StartPlayer()) return REC_ERROR;
    StopPlay(false);
    m_keyFrames.clear();
    return OpenPlayFile(path);
}

void CQNInterface::RecordFrame(uint16_t wCommand, const uint8_t* pPayload, size_t nLen, bool bKeyFrame)
{
    RecordPacket(wCommand, pPayload, nLen, bKeyFrame);
}

void CQNInterface::OnPlayFileInfo(uint32_t dwStart, uint32_t dwEnd)
{
    m_dwPlayStart = dwStart;
    m_dwPlayEnd = dwEnd;
}

void CQNInterface::OnRecordStatus(int nStatus)
{
    if (IQNOwner* p = Owner()) p->PostRecordStatus(static_cast<uint32_t>(nStatus));
}

void CQNInterface::PlayPacket(uint16_t wCommand, const uint8_t* pPayload, size_t nLen, bool, uint32_t)
{
    // Recordings keep no frame sub: replayed commands arrive with sub 0.
    InjectInbound(wCommand, 0, pPayload, nLen);
}

void CQNInterface::AddIndexEntry(uint16_t wSub, uint32_t dwPosition, uint16_t wCommand)
{
    m_keyFrames[(uint32_t(wCommand) << 16) | wSub] = dwPosition;
}

uint32_t CQNInterface::FindIndexEntry(uint16_t wCommand, uint16_t wSub)
{
    auto it = m_keyFrames.find((uint32_t(wCommand) << 16) | wSub);
    return it == m_keyFrames.end() ? 0xFFFFFFFFu : it->second;
}

void CQNInterface::WakeThreads()
{
    CQNSocket::WakeThreads();
    {
        std::lock_guard<std::mutex> g(m_inboundLock);
    }
    m_inboundReady.notify_all();
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
