// Calls out of a room at the loopback server: an 800 is refused, rings, or is answered by a phone
// member joining the room; 810 hangs up a call being placed; 400 sends a phone member out. And the
// phone book each user keeps on the server (900, 910).
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomPayloads.h"
#include "loopserver/LoopServer.h"

namespace
{
// Failure codes of 802 (its sub) and refusals of the private data (902, 912).
constexpr uint16_t kCallBusy = 2;       // another call of the room is being placed
constexpr uint16_t kCallNotVideo = 108; // a video call to a telephone
constexpr uint16_t kCallRoomFull = 109;
constexpr uint16_t kNothingStored = 1406;
constexpr uint16_t kBadPhoneBook = 1407;    // the length field disagrees, or the text is too long
constexpr size_t kMaxPhoneBookUnits = 4000; // the terminator included
// A phone member's level, and its camera type by what was called.
constexpr uint16_t kPhoneLevel = 2;
constexpr uint16_t kCamTelephone = 1;
constexpr uint16_t kCamTerminal = 2;
} // namespace

uint16_t CLoopServer::FreeChannel(const Room& room)
{
    uint16_t wChannel = 0;
    while (room.members.count(wChannel) || room.phones.count(wChannel))
        ++wChannel;
    return wChannel;
}

void CLoopServer::OnPhoneCall(Client& c, const uint8_t* p, size_t n)
{
    QNPhoneCall call;
    auto it = m_rooms.find(c.wRoomIndex);
    if (!DecodePhoneCall(p, n, call) || it == m_rooms.end()) return;
    Room& room = it->second;
    uint16_t wFailure = 0;
    if (room.pendingCall)
        wFailure = kCallBusy;
    else if (room.members.size() + room.phones.size() >= room.info.wMaxUser)
        wFailure = kCallRoomFull;
    else if ((call.dwFlags & kCallKindMask) == kCallTelephone && !(call.dwFlags & kCallVoice))
        wFailure = kCallNotVideo;
    else if (auto failure = m_cfg.callFailures.find(call.szNumber); failure != m_cfg.callFailures.end())
        wFailure = failure->second;
    if (wFailure)
    {
        Send(c, NAK_CALL, wFailure, {});
        return;
    }
    Room::PendingCall pending;
    pending.nCallerId = c.nId;
    pending.call = call;
    pending.bRinging = m_cfg.ringingNumbers.count(call.szNumber) != 0;
    if (!pending.bRinging)
    {
        pending.tAnswer = Clock::now() + std::chrono::milliseconds(m_cfg.nCallAnswerMs);
        m_timers.push({pending.tAnswer, c.nId});
    }
    room.pendingCall = std::move(pending);
}

void CLoopServer::OnCallHangUp(Client& c)
{
    auto it = m_rooms.find(c.wRoomIndex);
    if (it == m_rooms.end() || !it->second.pendingCall || it->second.pendingCall->nCallerId != c.nId) return;
    it->second.pendingCall.reset();
    Send(c, INFO_CALL_END, 0, {});
}

void CLoopServer::AnswerDueCalls()
{
    const Clock::time_point now = Clock::now();
    for (auto& [index, room] : m_rooms)
    {
        if (!room.pendingCall || room.pendingCall->bRinging || room.pendingCall->tAnswer > now) continue;
        Room::PendingCall pending = std::move(*room.pendingCall);
        room.pendingCall.reset();
        // The caller left the room meanwhile: nobody is there to hear the answer.
        auto caller = m_byId.find(pending.nCallerId);
        if (caller == m_byId.end() || caller->second->wRoomIndex != index) continue;
        QNRoomUser phone;
        phone.wChannel = FreeChannel(room);
        phone.wUserIndex = m_wNextUserIndex++;
        if (m_wNextUserIndex == kNoIndex) m_wNextUserIndex = 1;
        phone.wLevel = kPhoneLevel;
        phone.wCamType =
            (pending.call.dwFlags & kCallKindMask) == kCallTelephone ? kCamTelephone : kCamTerminal;
        phone.szUserId = phone.szName = pending.call.szNumber;
        room.phones[phone.wChannel] = {phone, pending.nCallerId};
        Bytes b;
        EncodeRoomUser(phone, b);
        for (auto& [ch, member] : room.members)
            Send(*member, INFO_CONF_JOIN, 0, b);
        Send(*caller->second, INFO_CALL_END, 0, {});
    }
}

bool CLoopServer::OnPhoneBanish(Client& c, const uint8_t* p, size_t n)
{
    QNBanish banish;
    auto it = m_rooms.find(c.wRoomIndex);
    if (!DecodeBanish(p, n, banish) || it == m_rooms.end()) return false;
    Room& room = it->second;
    // A phone member is sent out by the member who called it or by the presider.
    auto phone = room.phones.find(banish.wChannel);
    if (phone == room.phones.end()) return false;
    if (&c != PresiderOf(room) && c.nId != phone->second.nCallerId) return true;
    Bytes b;
    EncodeRoomUser(phone->second.user, b);
    room.phones.erase(phone);
    for (auto& [ch, member] : room.members)
        Send(*member, INFO_CONF_QUIT, 0, b);
    return true;
}

void CLoopServer::OnPhoneBookQuery(Client& c, const uint8_t* p, size_t n)
{
    uint16_t wKind = 0;
    if (!DecodeU16(p, n, wKind) || wKind != kPrivateDataPhoneBook || !c.pUser) return;
    auto book = m_phoneBooks.find(c.pUser->szId);
    if (book == m_phoneBooks.end() || book->second.empty())
    {
        Send(c, NAK_PRIVATE_LOADDATA, kNothingStored, {});
        return;
    }
    Bytes b;
    EncodePrivateData({kPrivateDataPhoneBook, book->second}, b);
    Send(c, ACK_PRIVATE_LOADDATA, 0, b);
}

void CLoopServer::OnPhoneBookSave(Client& c, const uint8_t* p, size_t n)
{
    QNPrivateData data;
    if (!c.pUser) return;
    if (!DecodePrivateSave(p, n, data) || data.wKind != kPrivateDataPhoneBook ||
        data.szText.size() + 1 > kMaxPhoneBookUnits)
    {
        Send(c, NAK_PRIVATE_SAVEDATA, kBadPhoneBook, {});
        return;
    }
    if (data.szText.empty())
        m_phoneBooks.erase(c.pUser->szId);
    else
        m_phoneBooks[c.pUser->szId] = data.szText;
}
