// The messenger's inbound lines, files and invitations.
#include "confclient/people/MessengerFeature.h"

#include "confclient/network/QNCommands.h"

namespace
{
// Statuses of an undelivered message whose addressee is not logged in.
constexpr uint16_t kStatusNoUser = 1000;
constexpr uint16_t kStatusUserGone = 1204;
} // namespace

void CMessengerFeature::OnUndelivered(uint16_t wCommand, const QNPacketDesc& desc, const uint16_t& wUserIndex)
{
    if (desc.wSub != kStatusNoUser && desc.wSub != kStatusUserGone) return;
    m_view.DeliverToMessenger(MSGKIND_UNREACHABLE, wUserIndex, m_notices.Text("IDS_MSG_NONUSER"), 0);
    // A file that cannot reach its peer ends there: a send no longer waits for blocks nobody takes.
    if (wCommand == NAK_MSG_FILEOFFER || wCommand == NAK_MSG_FILEANSWER || wCommand == NAK_MSG_FILEDATA)
        m_view.OnMessengerFileReply(wUserIndex, false);
}

void CMessengerFeature::OnText(const QNMessage& message)
{
    m_view.DeliverToMessenger(MSGKIND_TEXT, message.wSenderIndex, message.szText, 0);
}

void CMessengerFeature::OnFileOffer(const QNFileOffer& offer)
{
    m_view.OnMessengerFileOffer(offer);
}

void CMessengerFeature::OnFileAnswer(const QNFileReply& answer)
{
    m_view.OnMessengerFileReply(answer.wSenderIndex, (answer.dwFlags & kFileReplyAccepted) != 0);
}

void CMessengerFeature::OnFileData(const QNFileData& data)
{
    m_view.OnMessengerFileData(data);
}

void CMessengerFeature::OnInvitation(const QNInvitation& invitation)
{
    std::optional<std::u16string> title;
    if (invitation.dwRoomIndex < kNoIndex)
        title = m_view.ConfTitle(static_cast<uint16_t>(invitation.dwRoomIndex));
    std::u16string szInviter = m_view.LobbyName(invitation.wInviterIndex);
    if (!title || szInviter.empty())
    {
        LogF(m_pLog, LOG_INFO, "[INVITE] room %u or user %d unknown", invitation.dwRoomIndex,
             invitation.wInviterIndex);
        return;
    }
    const uint16_t wRoom = static_cast<uint16_t>(invitation.dwRoomIndex);
    m_room.wPendingInvite = wRoom;
    m_view.ShowInviteNotice(invitation.wInviterIndex, wRoom, *title);
    m_view.DeliverToMessenger(MSGKIND_INVITATION, invitation.wInviterIndex,
                              m_notices.Text("IDS_MSG_INVITE_REQ"), wRoom);
}

void CMessengerFeature::OnInviteAnswer(const QNInviteReply& answer)
{
    const bool bAccepted = (answer.dwFlags & kInviteReplyAccepted) != 0;
    const std::u16string text =
        m_view.LobbyName(answer.wSenderIndex) + u" " +
        m_notices.Text(bAccepted ? "IDS_MSG_INVITE_OK" : "IDS_MSG_INVITE_CANCLE_RECV");
    m_view.DeliverToMessenger(MSGKIND_NOTICE, answer.wSenderIndex, text, 0);
    m_notices.ShowBox(text);
}
