// The room chat's inbound lines.
#include "confclient/people/ChatFeature.h"

void CChatFeature::OnChat(CRoomUserInfo* pUsers, const QNChat& chat)
{
    const S_ROOMUSERINFO* pSender = pUsers ? pUsers->FindUser(chat.wSenderChannel) : nullptr;
    m_view.OnChatReceived(pSender ? pSender->Name : std::u16string(), chat.szText, chat.dwColour);
}
