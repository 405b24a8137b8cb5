// Window messages to the network object's owner.
#include "confclient/network/transport/QNWindowOwner.h"

#include <algorithm>

void CQNWindowOwner::PostConnectionState(uint32_t wParam, uint32_t lParam)
{
    if (IsWindow(m_hWnd)) PostMessageW(m_hWnd, kMsgConnectionState, wParam, lParam);
}

void CQNWindowOwner::PostRecordStatus(uint32_t nStatus)
{
    if (IsWindow(m_hWnd)) PostMessageW(m_hWnd, kMsgRecordStatus, nStatus, 0);
}

void CQNWindowOwner::SendPacketMessage(uint32_t nMsg, uint16_t wCommand, const QNPacketDesc* pDesc)
{
    if (!IsWindow(m_hWnd)) return;
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_inFlight.push_back({nMsg, wCommand, pDesc});
    }
    SendMessageW(m_hWnd, nMsg, wCommand, reinterpret_cast<LPARAM>(pDesc));
    std::lock_guard<std::mutex> g(m_lock);
    m_inFlight.erase(std::find(m_inFlight.begin(), m_inFlight.end(), SentMessage{nMsg, wCommand, pDesc}));
}

bool CQNWindowOwner::IsOwnPacketMessage(uint32_t nMsg, WPARAM wParam, LPARAM lParam) const
{
    // Ours come from the dispatch or receive thread, blocked in SendMessage until handled.
    if (!InSendMessage()) return false;
    std::lock_guard<std::mutex> g(m_lock);
    const SentMessage m{nMsg, static_cast<uint16_t>(wParam), reinterpret_cast<const QNPacketDesc*>(lParam)};
    return wParam <= UINT16_MAX && std::find(m_inFlight.begin(), m_inFlight.end(), m) != m_inFlight.end();
}

void CQNWindowOwner::PumpSentMessages()
{
    // Peeking delivers the messages sent to this thread; posted ones stay queued.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}
