// The room's remote audio settings: a member's 534 reaches its addressee in the room as 535,
// with the sender's own user index written in by the server so that no one speaks for another.
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "loopserver/LoopServer.h"

void CLoopServer::OnAudioSettings(Client& c, const uint8_t* p, size_t n)
{
    QNAudioSettings r;
    if (!DecodeAudioSettings(p, n, r)) return;
    uint16_t wAddressee = kNoIndex;
    switch (r.wKind)
    {
    case AUDIOSETTINGS_REQUEST:
    case AUDIOSETTINGS_APPLY:
        r.wRequester = c.wUserIndex;
        wAddressee = r.wTarget;
        break;
    case AUDIOSETTINGS_ANSWER:
        r.wTarget = c.wUserIndex;
        wAddressee = r.wRequester;
        break;
    default:
        return;
    }
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end()) return;
    Bytes out;
    EncodeAudioSettings(r, out);
    for (auto& [ch, member] : it->second.members)
        if (member->wUserIndex == wAddressee) Send(*member, INFO_CONF_REMOTESETTING, c.wChannel, out);
}
