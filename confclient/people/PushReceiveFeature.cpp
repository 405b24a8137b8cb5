// The receive side of a file pushed to the room.
#include "confclient/people/PushReceiveFeature.h"

#include <algorithm>

void CPushReceiveFeature::OnPushBegin(const QNPushBegin& b)
{
    if (!m_room.InRoom() || b.wSenderChannel == m_room.wMyChannel) return;
    const S_ROOMUSERINFO* pSender = m_room.users.FindUser(b.wSenderChannel);
    const std::u16string szSender = pSender ? pSender->Name : std::u16string();
    if (!m_view.BeginPushReceive(b.wPushId, szSender, b.szFileName, b.dwFileSize)) return;
    m_notices.AddChatNotice(m_notices.Text("IDS_MSG_PUSH_MAN"), NOTICE_KIND_NOTICE);
    m_notices.AddChatNotice(szSender + u" " + m_notices.Text("IDS_MSG_PUSHRECV_START"), NOTICE_KIND_NOTICE);
}

void CPushReceiveFeature::OnPushCancel(const uint16_t& wPushId)
{
    if (m_room.InRoom()) m_view.OnPushCancelled(wPushId);
}

void CPushReceiveFeature::OnPushChunk(uint16_t, const QNPacketDesc& desc, const QNPushChunk& chunk)
{
    // The descriptor's length comes from the sender's frame; the payload may hold less.
    const size_t nChunk = std::min<size_t>(desc.dwExtra, chunk.nLength);
    if (m_room.InRoom()) m_view.OnPushData(chunk.pData, nChunk);
}
