// The messenger's inbound lines, files and invitations.
#include "confclient/people/MessengerFeature.h"

namespace
{
// Statuses of an undelivered message whose addressee is not logged in.
constexpr uint16_t kStatusNoUser = 1000;
constexpr uint16_t kStatusUserGone = 1204;
} // namespace

void CMessengerFeature::OnUndelivered(uint16_t, const QNPacketDesc& desc, const uint16_t& wUserIndex)
{
    if (desc.wSub == kStatusNoUser || desc.wSub == kStatusUserGone)
        m_view.DeliverToMessenger(wUserIndex, m_notices.Text("IDS_MSG_NONUSER"), MSGKIND_NOTICE);
}

void CMessengerFeature::OnText(const QNMessage& message)
{
    m_view.DeliverToMessenger(message.wSenderIndex, message.szText, MSGKIND_TEXT);
}

void CMessengerFeature::OnFileOffer(const QNFileOffer& offer)
{
    m_view.DeliverToMessenger(offer.wSenderIndex,
                              m_view.LobbyName(offer.wSenderIndex) + u" " +
                                  m_notices.Text("IDS_MSG_FILESEND_REQ") + u" " + offer.szFileName,
                              MSGKIND_FILE_OFFER);
}

void CMessengerFeature::OnFileAnswer(const QNFileAnswer& answer)
{
    if (answer.wAnswer != FILEANSWER_CANCEL)
    {
        m_view.DeliverToMessenger(answer.wSenderIndex, m_notices.Text("IDS_MSG_FILESEND_REQ"),
                                  MSGKIND_FILE_ANSWER);
        return;
    }
    m_view.DeliverToMessenger(answer.wSenderIndex, m_notices.Text("IDS_MSG_FILETRANS_CANCEL_ORDER"),
                              MSGKIND_FILE_CANCEL);
    m_view.CancelTransfer(answer.wSenderIndex, answer.wTransferId);
}

void CMessengerFeature::OnFileData(const QNFileData& data)
{
    m_view.OnMessengerFileData(data);
}

void CMessengerFeature::OnInvitation(const QNInvitation& invitation)
{
    std::optional<std::u16string> title = m_view.ConfTitle(invitation.wRoomIndex);
    std::u16string szInviter = m_view.LobbyName(invitation.wInviterIndex);
    if (!title || szInviter.empty())
    {
        LogF(m_pLog, LOG_INFO, "[INVITE] room %d or user %d unknown", invitation.wRoomIndex,
             invitation.wInviterIndex);
        return;
    }
    m_room.wPendingInvite = invitation.wRoomIndex;
    const std::u16string szRequest = m_notices.Text("IDS_MSG_INVITE_REQ");
    m_view.ShowInviteNotice(invitation.wInviterIndex, invitation.wRoomIndex, *title);
    m_view.DeliverToMessenger(invitation.wInviterIndex, szRequest + u" " + *title, MSGKIND_NOTICE);
}

void CMessengerFeature::OnInviteAnswer(const QNInviteAnswer& answer)
{
    const std::u16string text =
        m_notices.Text(answer.wAccepted ? "IDS_MSG_INVITE_OK" : "IDS_MSG_INVITE_CANCLE_RECV");
    m_view.DeliverToMessenger(answer.wInviteeIndex, text, MSGKIND_NOTICE);
    m_notices.ShowBox(m_view.LobbyName(answer.wInviteeIndex) + u" " + text);
}
