// The loopback server's room view: a member's view-mode change goes to the others, its room
// properties to everyone, and a joiner hears the room's view mode and properties as they stand.
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNPayloads.h"
#include "confclient/network/QNRoomViewPayloads.h"
#include "loopserver/LoopServer.h"

namespace
{
// The rights a room grants before anyone set its properties: talk and draw.
constexpr uint32_t kDefaultRights = 0x3;
constexpr uint16_t kFullScreenFlag = 1;

// The mode value of a room that records itself: its members ask for the recorder's state and
// its chief starts recording.
constexpr uint16_t kAutoRecordModeValue = 4;

Bytes ViewModeNotice(const LoopRoom& room, uint16_t wMode, bool bFullScreen)
{
    Bytes b;
    EncodeViewMode({room.wRoomIndex, wMode, room.bAutoRecord ? kAutoRecordModeValue : uint16_t(0),
                    bFullScreen ? kFullScreenFlag : uint16_t(0)},
                   b);
    return b;
}

// 421: the rights the properties grant, then the properties record itself.
Bytes RightsNotice(uint16_t wRoomIndex, const Bytes& property)
{
    QNRoomProperty record;
    uint32_t dwRights = kDefaultRights;
    if (DecodeRoomProperty(property.data(), property.size(), record))
        dwRights = RightBitsOf(UnpackRoomProperty(record));
    Bytes b;
    EncodeRoomRights({wRoomIndex, dwRights}, b);
    b.insert(b.end(), property.begin(), property.end());
    return b;
}
} // namespace

void CLoopServer::OnViewModeRequest(Client& c, const uint8_t* p, size_t n)
{
    QNViewModeRequest request;
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end() || !DecodeViewModeRequest(p, n, request)) return;
    Room& room = it->second;
    room.wViewMode = ViewModeOf(request);
    room.bFullScreen = FullScreenOf(request);
    Bytes b = ViewModeNotice(room.info, room.wViewMode, room.bFullScreen);
    for (auto& [ch, member] : room.members)
        if (member.get() != &c) Send(*member, INFO_CONF_VIEWMODE, c.wChannel, b);
}

void CLoopServer::OnRoomProperty(Client& c, const uint8_t* p, size_t n)
{
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end() || n < kRoomPropertySize) return;
    Room& room = it->second;
    room.property.assign(p, p + kRoomPropertySize);
    Bytes b = RightsNotice(room.info.wRoomIndex, room.property);
    for (auto& [ch, member] : room.members)
        Send(*member, INFO_CONF_RIGHTS, c.wChannel, b);
    // A new most-users figure is the room's: the lobby hears it as a changed room.
    QNRoomProperty record;
    if (DecodeRoomProperty(p, n, record) && record.wMaxUsers != 0 && record.wMaxUsers != room.info.wMaxUser)
    {
        room.info.wMaxUser = record.wMaxUsers;
        Bytes conf;
        EncodeLobbyConf(LobbyConfOf(room), conf);
        ToLobby(nullptr, INFO_CONF_UPDATE, conf);
    }
}

void CLoopServer::SendRoomView(Client& c, const Room& room)
{
    Send(c, INFO_CONF_RIGHTS, 0, RightsNotice(room.info.wRoomIndex, room.property));
    Send(c, INFO_CONF_VIEWMODE, 0, ViewModeNotice(room.info, room.wViewMode, room.bFullScreen));
}
