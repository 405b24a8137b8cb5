// Users' options and invitations at the loopback server: 546 goes to the room's others as 547,
// a reply 660 to its inviter as 662, and tests deliver invitations (652) as from a user.
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "loopserver/LoopServer.h"

namespace
{
constexpr uint16_t kReasonNotLoggedIn = 1000;
}

void CLoopServer::OnUserOption(Client& c, const uint8_t* p, size_t n)
{
    QNUserOption option;
    auto it = m_rooms.find(c.wRoomIndex);
    if (!DecodeUserOption(p, n, option) || it == m_rooms.end()) return;
    option.wChannel = c.wChannel; // a user sets only its own options
    Bytes b;
    EncodeUserOption(option, b);
    for (auto& [ch, member] : it->second.members)
        if (member.get() != &c) Send(*member, INFO_CONF_USEROPTION, c.wChannel, b);
}

void CLoopServer::OnInviteReply(Client& c, const uint8_t* p, size_t n)
{
    QNInviteReply reply;
    if (!DecodeInviteReply(p, n, reply)) return;
    Client* pInviter = nullptr;
    for (auto& other : m_clients)
        if (other->pUser && other->wUserIndex == reply.wInviterIndex) pInviter = other.get();
    if (!pInviter)
    {
        Bytes b;
        EncodeU16(reply.wInviterIndex, b);
        Send(c, NAK_MSG_INVITEANSWER, kReasonNotLoggedIn, b);
        return;
    }
    // The answer names the room of the invitation this user was given by that inviter.
    uint16_t wRoom = kNoIndex;
    auto delivered = m_invitations.find({c.wUserIndex, reply.wInviterIndex});
    if (delivered != m_invitations.end())
    {
        wRoom = delivered->second;
        m_invitations.erase(delivered);
    }
    Bytes b;
    EncodeInviteAnswer(
        {c.wUserIndex, wRoom, static_cast<uint16_t>((reply.dwFlags & kInviteReplyAccepted) != 0)}, b);
    Send(*pInviter, INFO_MSG_INVITEANSWER, kNoIndex, b);
}

bool CLoopServer::SendInvitation(const std::u16string& szInviterId, const std::u16string& szInviteeId,
                                 uint16_t wRoomIndex, const std::u16string& szMessage)
{
    std::lock_guard<std::mutex> g(m_state);
    Client* pInviter = nullptr;
    Client* pInvitee = nullptr;
    for (auto& c : m_clients)
    {
        if (!c->pUser) continue;
        if (c->pUser->szId == szInviterId) pInviter = c.get();
        if (c->pUser->szId == szInviteeId) pInvitee = c.get();
    }
    if (!pInviter || !pInvitee) return false;
    m_invitations[{pInvitee->wUserIndex, pInviter->wUserIndex}] = wRoomIndex;
    Bytes b;
    EncodeInvitation({pInviter->wUserIndex, wRoomIndex, szMessage}, b);
    Send(*pInvitee, INFO_MSG_INVITE, kNoIndex, b);
    return true;
}
