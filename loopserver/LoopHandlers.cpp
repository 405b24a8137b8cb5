// Lobby, room, chat and relay handling of the loopback server, and its fault scenario.
#include <algorithm>
#include <ctime>

#include "confclient/network/FrameCodec.h"
#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "loopserver/LoopServer.h"

namespace
{
// Reason codes of the refusals (the header's sub).
constexpr uint16_t kReasonLoginLater = 1000; // the ID is logged in elsewhere
constexpr uint16_t kReasonNoSuchId = 1003;
constexpr uint16_t kReasonBadLogin = 1004; // a short login record, or a login on a logged-in connection
constexpr uint16_t kReasonNoSeat = 1202;
constexpr uint16_t kReasonServerError = 1206; // no such room, or a code already open

constexpr unsigned kFaultGapMs = 200;       // keeps a dropped stream apart from the answer after it
constexpr size_t kMaxEchoBytes = 1024;      // a keep-alive answer's plain length stays within 16 bits
constexpr uint32_t kAvChannelMask = 0xFFFF; // the low half of a state word names the user's channel

Bytes Header(uint8_t byMask, uint8_t byPadding, uint16_t wCommand, uint32_t dwTotal)
{
    Bytes b(kFrameHeaderSize);
    PacketHeader h;
    h.byMask = byMask;
    h.byPadding = byPadding;
    h.wCommand = wCommand;
    h.dwTotalLength = dwTotal;
    h.Write(b.data());
    return b;
}
} // namespace

QNLobbyUser CLoopServer::LobbyUserOf(const Client& c) const
{
    QNLobbyUser u;
    u.wUserIndex = c.wUserIndex;
    u.wRoomIndex = c.wRoomIndex;
    if (c.pUser)
    {
        u.wLevel = c.pUser->wLevel;
        u.wGroupCode = c.pUser->wGroupCode;
        u.szUserId = c.pUser->szId;
        u.szName = c.pUser->szName;
    }
    return u;
}

QNLobbyConf CLoopServer::LobbyConfOf(const Room& r) const
{
    QNLobbyConf c;
    c.wRoomIndex = r.info.wRoomIndex;
    c.wRoomType = r.info.wRoomType;
    c.wMaxUser = r.info.wMaxUser;
    c.wUserCount = static_cast<uint16_t>(r.members.size());
    c.dwStartTime = static_cast<uint32_t>(std::time(nullptr));
    c.wOwnerIndex = r.wOwnerIndex;
    c.szTitle = r.info.szTitle;
    c.szConfCode = r.info.szConfCode;
    return c;
}

QNRoomUser CLoopServer::RoomUserOf(const Client& c) const
{
    QNRoomUser u;
    u.wChannel = c.wChannel;
    u.wUserIndex = c.wUserIndex;
    if (c.pUser)
    {
        u.wLevel = c.pUser->wLevel;
        u.szUserId = c.pUser->szId;
        u.szName = c.pUser->szName;
    }
    u.dwTalkRight = c.dwRights & 1;
    u.dwDrawRight = (c.dwRights >> 1) & 1;
    u.dwDsRight = (c.dwRights >> 2) & 1;
    u.dwShareRight = (c.dwRights >> 3) & 1;
    u.dwMediaShareRight = (c.dwRights >> 4) & 1;
    return u;
}

void CLoopServer::ToLobby(const Client* pExcept, uint16_t wCommand, const Bytes& payload)
{
    for (auto& other : m_clients)
        if (other.get() != pExcept && other->pUser) Send(*other, wCommand, 0, payload);
}

void CLoopServer::OnLogin(const std::shared_ptr<Client>& c, uint16_t wCommand, const uint8_t* p, size_t n)
{
    QNLoginRequest req;
    if (!DecodeLogin(p, n, req) || c->pUser)
    {
        LogF(m_pLog, LOG_ERROR, "[loop] #%d login refused: %s", c->nId,
             c->pUser ? "already logged in" : "short login record");
        Send(*c, NAK_LOBY_LOGIN, kReasonBadLogin, {});
        return;
    }
    if (m_cfg.nRefuseLoginTimes > 0)
    {
        --m_cfg.nRefuseLoginTimes;
        // Kept with the user's commands: tests count how often a refused login was tried.
        m_history[req.szUserId].push_back(wCommand);
        Send(*c, NAK_LOBY_LOGIN, m_cfg.wRefuseLoginReason, {});
        return;
    }
    const LoopUser* pUser = nullptr;
    for (const LoopUser& u : m_cfg.users)
        if (u.szId == req.szUserId && (u.szPassword.empty() || u.szPassword == req.szSecond)) pUser = &u;
    if (!pUser)
    {
        Send(*c, NAK_LOBY_LOGIN, kReasonNoSuchId, {});
        return;
    }
    for (auto& other : m_clients)
        if (other->pUser == pUser)
        {
            Send(*c, NAK_LOBY_LOGIN, kReasonLoginLater, {});
            return;
        }
    c->pUser = pUser;
    c->wUserIndex = m_wNextUserIndex++;
    if (m_wNextUserIndex == kNoIndex) m_wNextUserIndex = 1;

    Bytes ack;
    EncodeLoginAck({pUser->wLevel, c->wUserIndex, pUser->wGroupCode, pUser->szId, pUser->szName}, ack);
    Send(*c, ACK_LOBY_LOGIN, 0, ack);

    std::vector<QNLobbyUser> users;
    for (auto& other : m_clients)
        if (other->pUser) users.push_back(LobbyUserOf(*other));
    Bytes list;
    EncodeUserList(users, list);
    Send(*c, DAT_LOBY_USERLIST, 0, list);

    std::vector<QNLobbyConf> confs;
    for (auto& [index, room] : m_rooms)
        confs.push_back(LobbyConfOf(room));
    Bytes confList;
    EncodeConfList(confs, confList);
    Send(*c, DAT_LOBY_CONFLIST, 0, confList);

    Bytes option;
    EncodeSystemOption(m_cfg.systemOption, option);
    Send(*c, INFO_SYSTEM_OPTION, 0, option);

    Bytes me;
    EncodeLobbyUser(LobbyUserOf(*c), me);
    ToLobby(c.get(), INFO_USER_LOGIN, me);

    for (const std::u16string& text : m_cfg.confEntries)
    {
        Bytes entry;
        ByteWriter w(entry);
        w.U16(static_cast<uint16_t>(text.size()));
        for (char16_t ch : text)
            w.U16(ch);
        Send(*c, INFO_LOBY_CONF_ENTRY, 0, entry);
    }
}

void CLoopServer::OnBanish(Client& c, const uint8_t* p, size_t n)
{
    ByteReader rd(p, n);
    std::u16string szId = rd.Utf16Field(kIdUnits);
    if (!rd.Ok()) return;
    for (auto& other : m_clients)
        if (other.get() != &c && other->pUser && other->pUser->szId == szId)
        {
            LeaveRoom(*other, false);
            Bytes gone;
            EncodeLobbyUser(LobbyUserOf(*other), gone);
            other->pUser = nullptr;
            ToLobby(other.get(), INFO_USER_LOGOUT, gone);
            LogFrame(*other, false, INFO_LOBY_FORCED_LOGOUT, 0, 0);
            SendRaw(*other, EncodeFrame(INFO_LOBY_FORCED_LOGOUT, 0, nullptr, 0, other->clientKeys), 0, true);
        }
    Send(c, ACK_LOBY_BANISH, 0, {});
}

void CLoopServer::OnKeepAlive(const std::shared_ptr<Client>& c, const uint8_t* p, size_t n)
{
    Bytes echo(p, p + std::min(n, kMaxEchoBytes));
    if (m_nNextFault >= m_cfg.scenario.size())
    {
        Send(*c, ACK_KEEP_ALIVE, 0, echo);
        return;
    }
    LoopFault fault = m_cfg.scenario[m_nNextFault++];
    LogF(m_pLog, LOG_INFO, "[loop] #%d scenario fault %u", c->nId, static_cast<unsigned>(fault));
    switch (fault)
    {
    case LoopFault::BadFirstByte:
        SendRaw(*c, Bytes(16, 0x00), 0, false);
        Send(*c, ACK_KEEP_ALIVE, 0, echo, kFaultGapMs);
        break;
    case LoopFault::ShortLength:
    {
        Bytes b = Header(kFrameMask, 0, ACK_KEEP_ALIVE, 4);
        b.resize(16, 0);
        SendRaw(*c, b, 0, false);
        Send(*c, ACK_KEEP_ALIVE, 0, echo, kFaultGapMs);
        break;
    }
    case LoopFault::LongLength:
    {
        Bytes b = Header(kFrameMask, 0, ACK_KEEP_ALIVE, kMaxFrameLength + 1);
        b.resize(64, 0);
        SendRaw(*c, b, 0, false);
        Send(*c, ACK_KEEP_ALIVE, 0, echo, kFaultGapMs);
        break;
    }
    case LoopFault::BadPadding:
        SendRaw(*c, Header(kFrameMask, 5, INFO_SERVER_NOTICE, kFrameHeaderSize), 0, false);
        Send(*c, ACK_KEEP_ALIVE, 0, echo);
        break;
    case LoopFault::PartialBlock:
    {
        Bytes b = Header(kFrameMask, 0, INFO_SERVER_NOTICE, kFrameHeaderSize + 17);
        b.resize(kFrameHeaderSize + 17, 0x5A);
        SendRaw(*c, b, 0, false);
        Send(*c, ACK_KEEP_ALIVE, 0, echo);
        break;
    }
    case LoopFault::Delay:
        Send(*c, ACK_KEEP_ALIVE, 0, echo, 500);
        break;
    case LoopFault::CloseMidFrame:
    {
        Bytes b = EncodeFrame(ACK_KEEP_ALIVE, 0, echo.data(), echo.size(), c->clientKeys);
        b.resize(b.size() / 2);
        SendRaw(*c, b, 0, true);
        break;
    }
    case LoopFault::ForcedLogout:
        LogFrame(*c, false, INFO_LOBY_FORCED_LOGOUT, 0, 0);
        SendRaw(*c, EncodeFrame(INFO_LOBY_FORCED_LOGOUT, 0, nullptr, 0, c->clientKeys), 0, true);
        break;
    case LoopFault::Close:
        SendRaw(*c, {}, 0, true);
        break;
    }
}

void CLoopServer::OnOpen(const std::shared_ptr<Client>& c, const uint8_t* p, size_t n)
{
    QNConfOpen req;
    if (!DecodeConfOpen(p, n, req)) return;
    for (auto& [index, room] : m_rooms)
        if (room.info.szConfCode == req.szConfCode)
        {
            Send(*c, NAK_CONF_OPEN, kReasonServerError, {});
            return;
        }
    uint16_t wIndex = m_wNextRoomIndex++;
    Room& room = m_rooms[wIndex];
    room.info = {wIndex, req.szConfCode, req.szTitle, req.wRoomType,
                 req.wMaxUser ? req.wMaxUser : uint16_t(49)};
    room.wOwnerIndex = c->wUserIndex;
    Bytes conf;
    EncodeLobbyConf(LobbyConfOf(room), conf);
    ToLobby(nullptr, INFO_CONF_OPEN, conf);
    EnterRoom(c, room, ACK_CONF_OPEN);
}

void CLoopServer::OnJoin(const std::shared_ptr<Client>& c, const uint8_t* p, size_t n)
{
    QNConfJoin req;
    if (!DecodeConfJoin(p, n, req)) return;
    Room* pRoom = nullptr;
    for (auto& [index, room] : m_rooms)
        if (index == req.wRoomIndex || (req.wRoomIndex == 0 && room.info.szConfCode == req.szConfCode))
            pRoom = &room;
    if (!pRoom)
    {
        Send(*c, NAK_CONF_JOIN, kReasonServerError, {});
        return;
    }
    if (pRoom->members.size() >= pRoom->info.wMaxUser)
    {
        Send(*c, NAK_CONF_JOIN, kReasonNoSeat, {});
        return;
    }
    EnterRoom(c, *pRoom, ACK_CONF_JOIN);
}

void CLoopServer::EnterRoom(const std::shared_ptr<Client>& c, Room& room, uint16_t wAck)
{
    if (c->wRoomIndex == room.info.wRoomIndex) return;
    LeaveRoom(*c);
    uint16_t wChannel = FreeChannel(room);
    room.members[wChannel] = c;
    c->wRoomIndex = room.info.wRoomIndex;
    c->wChannel = wChannel;
    c->dwAvFlags = 0;
    c->dwRights = 3;

    QNRoomInfo info;
    info.wRoomIndex = room.info.wRoomIndex;
    info.wRoomType = room.info.wRoomType;
    info.wMaxUser = room.info.wMaxUser;
    info.wMyChannel = wChannel;
    info.wOwnerIndex = room.wOwnerIndex;
    info.szTitle = room.info.szTitle;
    info.szConfCode = room.info.szConfCode;
    info.dwFlags = room.info.dwFlags;
    Bytes b;
    EncodeRoomInfo(info, b);
    std::vector<QNRoomOption> options;
    for (auto [wLayout, wLimit] : room.info.layouts)
        options.push_back({wLayout, wLimit});
    EncodeRoomOptions(options, b);
    EncodeRoomRecordSettings(room.info.recordSettings, b);
    Send(*c, wAck, 0, b);

    for (auto& [ch, member] : room.members)
    {
        Bytes u;
        EncodeRoomUser(RoomUserOf(*member), u);
        Send(*c, INFO_CONF_JOIN, 0, u);
    }
    for (auto& [ch, phone] : room.phones)
    {
        Bytes u;
        EncodeRoomUser(phone.user, u);
        Send(*c, INFO_CONF_JOIN, 0, u);
    }
    b.clear();
    EncodeU16(PresiderOf(room)->wChannel, b);
    Send(*c, INFO_CONF_PRESIDER, 0, b);
    b.clear();
    EncodeRoomState({room.info.wRoomIndex, 1, 0, room.wLectureState, room.wLectureMinutes}, b);
    Send(*c, INFO_CONF_STATE, 0, b);
    SendRoomView(*c, room);

    std::vector<QNViewName> names;
    for (auto& [ch, member] : room.members)
        names.push_back({ch, member->pUser ? member->pUser->szName : u""});
    b.clear();
    EncodeViewNames(names, b);
    Send(*c, INFO_CONF_VIEWNAME, 0, b);

    Bytes me;
    EncodeRoomUser(RoomUserOf(*c), me);
    for (auto& [ch, member] : room.members)
        if (member != c) Send(*member, INFO_CONF_JOIN, 0, me);
    SendBoardLog(*c, room.info.wRoomIndex);
    SendMediaShare(*c, room);
}

void CLoopServer::LeaveRoom(Client& c, bool bTellLeaver)
{
    auto it = m_rooms.find(c.wRoomIndex);
    c.wRoomIndex = 0;
    uint16_t wChannel = c.wChannel;
    c.wChannel = kNoIndex;
    if (it == m_rooms.end()) return;
    Room& room = it->second;
    room.members.erase(wChannel);
    // A call being placed ends with its caller; phone members go with the last member.
    if (room.pendingCall && room.pendingCall->nCallerId == c.nId) room.pendingCall.reset();
    if (room.members.empty()) room.phones.clear();
    if (room.wPresider == wChannel) room.wPresider = kNoIndex;
    if (room.wPresenter == wChannel) room.wPresenter = kNoIndex;
    if (room.wRecorder == wChannel) room.wRecorder = kNoIndex;
    if (room.mediaShare && room.mediaShare->wChannel == wChannel) room.mediaShare.reset();
    QNRoomUser gone = RoomUserOf(c);
    gone.wChannel = wChannel;
    Bytes b;
    EncodeRoomUser(gone, b);
    for (auto& [ch, member] : room.members)
        Send(*member, INFO_CONF_QUIT, 0, b);
    const Client* pExcept = bTellLeaver ? nullptr : &c;
    // An opened room lives as long as its owner stays in it.
    if (!room.bConfigured && (room.members.empty() || c.wUserIndex == room.wOwnerIndex))
    {
        DeleteRoom(it, pExcept);
        return;
    }
    if (!room.members.empty()) return;
    Bytes index;
    EncodeU16(room.info.wRoomIndex, index);
    ToLobby(pExcept, INFO_CONF_CLOSE, index);
}

void CLoopServer::DeleteRoom(std::map<uint16_t, Room>::iterator it, const Client* pExcept)
{
    // The members left behind are out of the room once they hear of its deletion.
    for (auto& [ch, member] : it->second.members)
    {
        member->wRoomIndex = 0;
        member->wChannel = kNoIndex;
    }
    Bytes index;
    EncodeU16(it->second.info.wRoomIndex, index);
    m_boardLogs.erase(it->second.info.wRoomIndex);
    m_rooms.erase(it);
    ToLobby(pExcept, INFO_CONF_DELETE, index);
}

CLoopServer::Client* CLoopServer::PresiderOf(Room& room) const
{
    // The member a 390 named presides while in the room; otherwise the owner, else the member on
    // the lowest channel.
    auto named = room.members.find(room.wPresider);
    if (named != room.members.end()) return named->second.get();
    for (auto& [ch, member] : room.members)
        if (member->wUserIndex == room.wOwnerIndex) return member.get();
    return room.members.empty() ? nullptr : room.members.begin()->second.get();
}

void CLoopServer::OnAvState(Client& c, const uint8_t* p, size_t n)
{
    uint32_t dwWord = 0;
    auto it = m_rooms.find(c.wRoomIndex);
    if (!DecodeU32(p, n, dwWord) || it == m_rooms.end()) return;
    Room& room = it->second;
    uint16_t wChannel = static_cast<uint16_t>(dwWord & kAvChannelMask);
    if (wChannel == c.wChannel || wChannel == kNoIndex)
    {
        // The sender's own state word.
        c.dwAvFlags = dwWord & ~kAvChannelMask;
        SendUserState(room, c);
        return;
    }
    // Another member's rights: the chief's alone.
    Room* pRoom = nullptr;
    auto target = room.members.find(wChannel);
    if (!FromPresider(c, pRoom, CMD_CONF_AVSTATE) || target == room.members.end()) return;
    target->second->dwRights = (dwWord >> kRightsShift) & kRightsMask;
    SendUserState(room, *target->second);
}

void CLoopServer::OnPresenter(Client& c, const uint8_t* p, size_t n)
{
    QNPresenterRequest req;
    auto it = m_rooms.find(c.wRoomIndex);
    if (!DecodePresenterRequest(p, n, req) || it == m_rooms.end()) return;
    Room& room = it->second;
    Client* pPresider = PresiderOf(room);
    Bytes b;
    if (req.wKind == PRESENTER_REQUEST)
    {
        // The presider decides: it gets the request with the requester's channel.
        req.wRequesterChannel = c.wChannel;
        EncodePresenterRequest(req, b);
        Send(*pPresider, CMD_CONF_PRESENTER, c.wChannel, b);
        return;
    }
    auto requester = room.members.find(req.wRequesterChannel);
    if (req.wKind != PRESENTER_ANSWER || &c != pPresider || requester == room.members.end()) return;
    EncodePresenterRequest(req, b);
    Send(*requester->second, INFO_CONF_PRESENTER, c.wChannel, b);
    if (!req.wAccepted) return;
    b.clear();
    EncodeU16(req.wRequesterChannel, b);
    room.wPresenter = req.wRequesterChannel;
    for (auto& [ch, member] : room.members)
        Send(*member, INFO_CONF_PRESENTER_SET, c.wChannel, b);
}

void CLoopServer::OnChat(Client& c, const uint8_t* p, size_t n)
{
    QNChat chat;
    auto it = m_rooms.find(c.wRoomIndex);
    if (!DecodeChat(p, n, chat) || it == m_rooms.end()) return;
    // The sender wrote its own line already: the others get it with its user index.
    chat.wSenderUserIndex = c.wUserIndex;
    Bytes b;
    EncodeChat(chat, b);
    for (auto& [ch, member] : it->second.members)
        if (member.get() != &c) Send(*member, INFO_CONF_CHAT, c.wChannel, b);
}

void CLoopServer::Relay(Client& c, uint16_t wCommand, const uint8_t* p, size_t n)
{
    Bytes b(p, p + n);
    auto it = m_rooms.find(c.wRoomIndex);
    if (it != m_rooms.end())
    {
        for (auto& [ch, member] : it->second.members)
            if (member.get() != &c) Send(*member, wCommand, c.wChannel, b);
        return;
    }
    // Outside a room only the lobby's board travels, to the others in the lobby.
    if (wCommand != DAT_BOARD_LOBBY) return;
    for (auto& other : m_clients)
        if (other.get() != &c && other->pUser && other->wRoomIndex == 0) Send(*other, wCommand, kNoIndex, b);
}

std::vector<uint16_t> CLoopServer::FirstCommands() const
{
    std::lock_guard<std::mutex> g(m_state);
    return m_firstCommands;
}

std::vector<uint16_t> CLoopServer::CommandsFrom(const std::u16string& szUserId) const
{
    std::lock_guard<std::mutex> g(m_state);
    auto it = m_history.find(szUserId);
    return it == m_history.end() ? std::vector<uint16_t>{} : it->second;
}

size_t CLoopServer::LoggedInUsers() const
{
    std::lock_guard<std::mutex> g(m_state);
    size_t n = 0;
    for (auto& c : m_clients)
        n += c->pUser ? 1 : 0;
    return n;
}

bool CLoopServer::SendToUser(const std::u16string& szUserId, uint16_t wCommand, uint16_t wSub,
                             const Bytes& payload)
{
    std::lock_guard<std::mutex> g(m_state);
    for (auto& c : m_clients)
        if (c->pUser && c->pUser->szId == szUserId)
        {
            Send(*c, wCommand, wSub, payload);
            return true;
        }
    return false;
}

size_t CLoopServer::SendToRoom(uint16_t wRoomIndex, uint16_t wCommand, uint16_t wSub, const Bytes& payload)
{
    std::lock_guard<std::mutex> g(m_state);
    auto it = m_rooms.find(wRoomIndex);
    if (it == m_rooms.end()) return 0;
    for (auto& [ch, member] : it->second.members)
        Send(*member, wCommand, wSub, payload);
    return it->second.members.size();
}

std::vector<uint16_t> CLoopServer::RoomMembers(uint16_t wRoomIndex) const
{
    std::lock_guard<std::mutex> g(m_state);
    std::vector<uint16_t> channels;
    auto it = m_rooms.find(wRoomIndex);
    if (it != m_rooms.end())
        for (auto& [ch, member] : it->second.members)
            channels.push_back(ch);
    return channels;
}
