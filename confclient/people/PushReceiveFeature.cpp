// The receive side of a file pushed to the room.
#include "confclient/people/PushReceiveFeature.h"

bool CPushReceiveFeature::FromOther(uint16_t wSender) const
{
    if (!m_room.InRoom()) return false;
    const S_ROOMUSERINFO* pMe = m_room.users.FindUser(m_room.wMyChannel);
    return !pMe || pMe->userIndex != wSender;
}

std::u16string CPushReceiveFeature::NameOf(uint16_t wSender) const
{
    const S_ROOMUSERINFO* pSender = m_room.users.FindUserByIndex(wSender);
    return pSender ? pSender->Name : std::u16string();
}

void CPushReceiveFeature::OnPushBegin(const QNPushFile& b)
{
    if (FromOther(b.wSender))
        m_view.BeginPushReceive(b.wSender, NameOf(b.wSender), b.szFileName, b.dwFileSize);
}

void CPushReceiveFeature::OnPushCancel(const uint16_t& wSender)
{
    if (FromOther(wSender)) m_view.OnPushCancelled(wSender, NameOf(wSender));
}

void CPushReceiveFeature::OnPushChunk(const QNPushChunk& chunk)
{
    if (FromOther(chunk.wSender)) m_view.OnPushData(chunk.wSender, chunk.pData, chunk.nLength);
}
