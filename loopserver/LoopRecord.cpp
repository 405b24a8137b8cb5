// The loopback server and a member's own recording: a 490 (or a listener's empty 544) goes to the
// other members as 491 with the recorder's channel; a 544 with the room index is answered by 545
// naming who records.
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "loopserver/LoopServer.h"

namespace
{
constexpr size_t kRecorderQuerySize = 2; // the u16 room index
} // namespace

void CLoopServer::OnRecordState(Client& c, const uint8_t* p, size_t n)
{
    QNRecordState state;
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end() || !DecodeRecordState(p, n, state)) return;
    Room& room = it->second;
    const bool bOn = state.nOn != 0;
    if (bOn)
        room.wRecorder = c.wChannel;
    else if (room.wRecorder == c.wChannel)
        room.wRecorder = kNoIndex;
    Bytes b;
    EncodeRecordNotice({c.wChannel, bOn ? RECORDNOTICE_START : RECORDNOTICE_STOP}, b);
    for (auto& [ch, member] : room.members)
        if (member.get() != &c) Send(*member, INFO_CONF_RECORD, c.wChannel, b);
}

void CLoopServer::OnRecorderQuery(Client& c, const uint8_t* p, size_t n)
{
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end()) return;
    Room& room = it->second;
    Bytes b;
    // The two forms are told apart by length: empty, a listener records; a room index, a query.
    if (n == 0)
    {
        room.wRecorder = c.wChannel;
        EncodeRecordNotice({c.wChannel, RECORDNOTICE_START}, b);
        for (auto& [ch, member] : room.members)
            if (member.get() != &c) Send(*member, INFO_CONF_RECORD, c.wChannel, b);
        return;
    }
    if (n < kRecorderQuerySize) return;
    const uint16_t wRecorder = room.members.count(room.wRecorder) ? room.wRecorder : kNoIndex;
    EncodeRecorderState(
        {room.info.wRoomIndex, static_cast<uint16_t>(wRecorder != kNoIndex ? 1 : 0), wRecorder}, b);
    Send(c, INFO_CONF_RECORDERSTATE, c.wChannel, b);
}
