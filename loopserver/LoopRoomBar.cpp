// The loopback server's answers to the control bar: the chief's new room title (370, heard by
// the lobby as 371), room type (380: 382 to the room, or 381 when it holds too many), lecture
// (532: 533 to the room) and everyone's room window (538: 539 to the others); a member that
// makes itself presenter, or stops presenting (553: 553 or 555 to the room).
#include <algorithm>

#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "core/LogSink.h"
#include "loopserver/LoopServer.h"

void CLoopServer::OnConfUpdate(Client& c, const uint8_t* p, size_t n)
{
    QNConfUpdate record;
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end() || !DecodeConfUpdate(p, n, record) || PresiderOf(it->second) != &c) return;
    Room& room = it->second;
    if (!record.szTitle.empty()) room.info.szTitle = record.szTitle;
    Bytes b;
    EncodeLobbyConf(LobbyConfOf(room), b);
    ToLobby(nullptr, INFO_CONF_UPDATE, b);
}

void CLoopServer::OnRoomTypeRequest(Client& c, const uint8_t* p, size_t n)
{
    QNRoomTypeRequest request;
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end() || !DecodeRoomTypeRequest(p, n, request) || PresiderOf(it->second) != &c) return;
    Room& room = it->second;
    // A limit of 0 is no limit.
    if (request.wUserLimit != 0 && room.members.size() > request.wUserLimit)
    {
        Send(c, NAK_CONF_CONFTYPE, 0, {});
        return;
    }
    room.info.wRoomType = request.wRoomType;
    Bytes b;
    EncodeRoomType({room.info.wRoomIndex, room.info.wRoomType, 0}, b);
    for (auto& [ch, member] : room.members)
        Send(*member, INFO_CONF_CONFTYPE, c.wChannel, b);
}

void CLoopServer::OnLecture(Client& c, const uint8_t* p, size_t n)
{
    QNLectureCommand lecture;
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end() || !DecodeLectureCommand(p, n, lecture) || PresiderOf(it->second) != &c) return;
    Room& room = it->second;
    room.wLectureState = lecture.wValue;
    room.wLectureMinutes = lecture.wMinutes;
    Bytes b;
    EncodeRoomState({room.info.wRoomIndex, 1, 0, room.wLectureState, room.wLectureMinutes}, b);
    for (auto& [ch, member] : room.members)
        Send(*member, INFO_CONF_STATE, c.wChannel, b);
}

void CLoopServer::OnMaximize(Client& c, const uint8_t* p, size_t n)
{
    QNMaximize m;
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end() || !DecodeMaximize(p, n, m) || PresiderOf(it->second) != &c) return;
    Bytes b;
    EncodeMaximize(m, b);
    for (auto& [ch, member] : it->second.members)
        if (member.get() != &c) Send(*member, INFO_CONF_MAXIMIZE, c.wChannel, b);
}

void CLoopServer::OnSetPresenter(Client& c, const uint8_t* p, size_t n)
{
    QNSetPresenter request;
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end() || !DecodeSetPresenter(p, n, request)) return;
    // A member sets or clears itself; the presider also sets another member (named by its user
    // index) and clears whoever presents. The room hears the presenter's channel.
    Room& room = it->second;
    const bool bSet = (request.dwFlags & 1) != 0;
    const bool bPresider = PresiderOf(room) == &c;
    uint16_t wChannel = c.wChannel;
    if (bSet && request.wUserIndex != c.wUserIndex)
    {
        auto named = std::find_if(room.members.begin(), room.members.end(),
                                  [&](const auto& m) { return m.second->wUserIndex == request.wUserIndex; });
        if (!bPresider || named == room.members.end())
        {
            LogF(m_pLog, LOG_INFO, "[loop] #%d presenter %d named by a member who does not preside: dropped",
                 c.nId, request.wUserIndex);
            return;
        }
        wChannel = named->first;
    }
    else if (!bSet && bPresider && room.members.count(room.wPresenter))
        wChannel = room.wPresenter;
    room.wPresenter = bSet ? wChannel : kNoIndex;
    Bytes b;
    EncodeU16(wChannel, b);
    for (auto& [ch, member] : room.members)
        Send(*member, bSet ? INFO_CONF_PRESENTER_SET : INFO_CONF_PRESENTER_CLEAR, c.wChannel, b);
}
