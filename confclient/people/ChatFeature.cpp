// The room chat's inbound lines.
#include "confclient/people/ChatFeature.h"

void CChatFeature::OnChat(const QNChat& chat)
{
    const S_ROOMUSERINFO* pSender = m_room.users.FindUser(chat.wSenderChannel);
    m_view.OnChatReceived(pSender ? pSender->Name : std::u16string(), chat.szText, chat.dwColour);
}
