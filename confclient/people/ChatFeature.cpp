// The room chat's inbound lines.
#include "confclient/people/ChatFeature.h"

#include "confclient/people/ChatLog.h"

void CChatFeature::OnChat(const QNChat& chat)
{
    // A peer's name and text stay on one line of the log.
    const S_ROOMUSERINFO* pSender = m_room.users.FindUserByIndex(chat.wSenderUserIndex);
    std::u16string szName = pSender && !pSender->Name.empty() ? ChatOneLine(pSender->Name) : u" ";
    m_view.OnChatReceived(szName, ChatOneLine(chat.szText), chat.dwColour);
}
