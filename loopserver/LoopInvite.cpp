// Users' options, one-to-one traffic and file pushes at the loopback server: 546 goes to the
// room's others as 547; messages, files, invitations and their replies go to their addressee; a
// push goes to the room's others; tests deliver invitations
// (652) as from a user.
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "loopserver/LoopServer.h"

namespace
{
constexpr uint16_t kReasonNotLoggedIn = 1000;
constexpr uint16_t kReasonUnreachable = 1204;
// Sender index at 4, addressee index at 6: the one-to-one layouts' common head.
constexpr size_t kAddressedHead = 8;
} // namespace

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

void CLoopServer::RelayToAddressee(Client& c, uint16_t wCommand, const uint8_t* p, size_t n)
{
    if (n < kAddressedHead) return;
    const uint16_t wAddressee = static_cast<uint16_t>(p[6] | (p[7] << 8));
    Client* pAddressee = nullptr;
    for (auto& other : m_clients)
        if (other->pUser && other->wUserIndex == wAddressee) pAddressee = other.get();
    uint16_t wRefusal = pAddressee ? 0 : kReasonNotLoggedIn;
    if (pAddressee && m_cfg.unreachableUsers.count(pAddressee->pUser->szId)) wRefusal = kReasonUnreachable;
    if (wRefusal)
    {
        Bytes b;
        EncodeU16(wAddressee, b);
        Send(c, static_cast<uint16_t>(wCommand + 1), wRefusal, b);
        return;
    }
    // The sender's layout as it came, but the sender is who the server says it is.
    Bytes b(p, p + n);
    b[4] = static_cast<uint8_t>(c.wUserIndex);
    b[5] = static_cast<uint8_t>(c.wUserIndex >> 8);
    Send(*pAddressee, static_cast<uint16_t>(wCommand + 2), kNoIndex, b);
}

void CLoopServer::RelayPush(Client& c, uint16_t wCommand, const uint8_t* p, size_t n)
{
    auto it = m_rooms.find(c.wRoomIndex);
    if (n < 2 || it == m_rooms.end()) return;
    Bytes b(p, p + n);
    b[0] = static_cast<uint8_t>(c.wUserIndex);
    b[1] = static_cast<uint8_t>(c.wUserIndex >> 8);
    for (auto& [ch, member] : it->second.members)
        if (member.get() != &c) Send(*member, static_cast<uint16_t>(wCommand + 1), 0, b);
}

bool CLoopServer::SendInvitation(const std::u16string& szInviterId, const std::u16string& szInviteeId,
                                 uint16_t wRoomIndex)
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
    Bytes b;
    EncodeInvitation({wRoomIndex, pInviter->wUserIndex, pInvitee->wUserIndex}, b);
    Send(*pInvitee, INFO_MSG_INVITE, kNoIndex, b);
    return true;
}
