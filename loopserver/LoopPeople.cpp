// The chief's commands on the other members: a new chief, rights, banishing, moving channels.
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "core/LogSink.h"
#include "loopserver/LoopServer.h"

bool CLoopServer::FromPresider(Client& c, Room*& pRoom, uint16_t wCommand)
{
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end()) return false;
    if (PresiderOf(it->second) != &c)
    {
        LogF(m_pLog, LOG_INFO, "[loop] #%d command %d from a member who does not preside: dropped", c.nId,
             wCommand);
        return false;
    }
    pRoom = &it->second;
    return true;
}

void CLoopServer::OnPresiderChange(Client& c, const uint8_t* p, size_t n)
{
    uint16_t wChannel = kNoIndex;
    Room* pRoom = nullptr;
    if (!DecodeU16(p, n, wChannel) || !FromPresider(c, pRoom, CMD_CONF_PRESIDER)) return;
    if (!pRoom->members.count(wChannel)) return;
    pRoom->wPresider = wChannel;
    Bytes b;
    EncodeU16(wChannel, b);
    for (auto& [ch, member] : pRoom->members)
        Send(*member, INFO_CONF_PRESIDER, c.wChannel, b);
}

void CLoopServer::SendUserState(Room& room, const Client& member)
{
    Bytes b;
    EncodeUserState({member.dwAvFlags | member.wChannel, member.dwRights}, b);
    for (auto& [ch, other] : room.members)
        Send(*other, INFO_CONF_AVSTATE, member.wChannel, b);
}

void CLoopServer::OnBanishUser(Client& c, const uint8_t* p, size_t n)
{
    QNBanish banish;
    Room* pRoom = nullptr;
    if (!DecodeBanish(p, n, banish) || !FromPresider(c, pRoom, CMD_CONF_BANISH)) return;
    auto target = pRoom->members.find(banish.wChannel);
    if (target == pRoom->members.end() || target->second.get() == &c ||
        target->second->wUserIndex != banish.wUserIndex)
        return;
    std::shared_ptr<Client> gone = target->second;
    Send(*gone, INFO_CONF_BANISH, c.wChannel, {});
    LeaveRoom(*gone); // 332 to the others
}

void CLoopServer::OnChannelMove(Client& c, const uint8_t* p, size_t n)
{
    QNChannelMove move;
    Room* pRoom = nullptr;
    if (!DecodeChannelMove(p, n, move) || !FromPresider(c, pRoom, CMD_CONF_CHGCHANNEL)) return;
    if (move.wLow >= move.wHigh || move.wHigh == kNoIndex) return;
    auto& members = pRoom->members;
    auto low = members.find(move.wLow), high = members.find(move.wHigh);
    if (low == members.end() && high == members.end()) return;
    // The users of the two channels trade places; a free channel simply takes the user.
    std::shared_ptr<Client> pLow = low == members.end() ? nullptr : low->second;
    std::shared_ptr<Client> pHigh = high == members.end() ? nullptr : high->second;
    members.erase(move.wLow);
    members.erase(move.wHigh);
    std::vector<QNChannelChange> changes;
    if (pLow)
    {
        members[move.wHigh] = pLow;
        pLow->wChannel = move.wHigh;
        changes.push_back({pLow->wUserIndex, move.wLow, move.wHigh});
    }
    if (pHigh)
    {
        members[move.wLow] = pHigh;
        pHigh->wChannel = move.wLow;
        changes.push_back({pHigh->wUserIndex, move.wHigh, move.wLow});
    }
    if (pRoom->wPresider == move.wLow || pRoom->wPresider == move.wHigh)
        pRoom->wPresider = pRoom->wPresider == move.wLow ? move.wHigh : move.wLow;
    for (const QNChannelChange& change : changes)
    {
        Bytes b;
        EncodeChannelChange(change, b);
        for (auto& [ch, member] : members)
            Send(*member, INFO_CONF_CHGCHANNEL, c.wChannel, b);
    }
}
