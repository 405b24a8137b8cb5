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
    if (IsWindow(m_hWnd)) SendMessageW(m_hWnd, nMsg, wCommand, reinterpret_cast<LPARAM>(pDesc));
}

void CQNWindowOwner::PumpSentMessages()
{
    // Peeking delivers the messages sent to this thread; posted ones stay queued.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}
