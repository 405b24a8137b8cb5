// Window messages to the network object's owner.
#include "confclient/network/transport/QNWindowOwner.h"

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
    for (auto it = m_inFlight.begin(); it != m_inFlight.end(); ++it)
    {
        if (it->nMsg == nMsg && it->wCommand == wCommand && it->pDesc == pDesc)
        {
            m_inFlight.erase(it);
            break;
        }
    }
}

bool CQNWindowOwner::IsOwnPacketMessage(uint32_t nMsg, WPARAM wParam, LPARAM lParam) const
{
    // Ours come from the dispatch or receive thread, blocked in SendMessage until handled.
    if (!InSendMessage()) return false;
    std::lock_guard<std::mutex> g(m_lock);
    for (const SentMessage& m : m_inFlight)
        if (m.nMsg == nMsg && m.wCommand == wParam && reinterpret_cast<LPARAM>(m.pDesc) == lParam)
            return true;
    return false;
}

void CQNWindowOwner::PumpSentMessages()
{
    // Peeking delivers the messages sent to this thread; posted ones stay queued.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}
