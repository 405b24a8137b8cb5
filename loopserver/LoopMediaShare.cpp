// The loopback server's media share: the sharer's record and state, kept for later joiners.
#include "confclient/network/QNCommands.h"
#include "loopserver/LoopServer.h"

void CLoopServer::OnMediaShareRecord(Client& c, const uint8_t* p, size_t n)
{
    auto it = m_rooms.find(c.wRoomIndex);
    QNMediaShareRecord r;
    if (it == m_rooms.end() || !DecodeMediaShareRecord(p, n, r))
    {
        LogF(m_pLog, LOG_ERROR, "[loop] #%d media-share record of %u bytes dropped", c.nId,
             static_cast<unsigned>(n));
        return;
    }
    Room& room = it->second;
    room.mediaShare = Room::MediaShare{c.wChannel, r};
    Bytes b;
    EncodeMediaShareRecord(r, b);
    for (auto& [ch, member] : room.members)
        if (member.get() != &c) Send(*member, INFO_MEDIASHARE_STATE, c.wChannel, b);
}

void CLoopServer::OnMediaShareState(Client& c, const uint8_t* p, size_t n)
{
    auto it = m_rooms.find(c.wRoomIndex);
    uint32_t dwFlags = 0;
    if (it == m_rooms.end() || !DecodeU32(p, n, dwFlags)) return;
    Room& room = it->second;
    // Only the sharer of the kept record moves it.
    if (!room.mediaShare || room.mediaShare->wChannel != c.wChannel)
    {
        LogF(m_pLog, LOG_ERROR, "[loop] #%d media-share state from a member that shares nothing dropped",
             c.nId);
        return;
    }
    room.mediaShare->record.dwFlags = dwFlags;
    Bytes b;
    EncodeU32(dwFlags, b);
    for (auto& [ch, member] : room.members)
        if (member.get() != &c) Send(*member, INFO_MEDIASHARE_POSITION, c.wChannel, b);
}

void CLoopServer::SendMediaShare(Client& c, const Room& room)
{
    if (!room.mediaShare) return;
    Bytes b;
    EncodeMediaShareRecord(room.mediaShare->record, b);
    Send(c, INFO_MEDIASHARE_STATE, room.mediaShare->wChannel, b);
    b.clear();
    EncodeU32(room.mediaShare->record.dwFlags, b);
    Send(c, INFO_MEDIASHARE_POSITION, room.mediaShare->wChannel, b);
}
