// The room's user table.
#include "confclient/session/roomstate/RoomUserInfo.h"

#include <algorithm>

namespace
{
// A field of a found record, or the absent value when there is none.
template <class T> T FieldOr(const S_ROOMUSERINFO* pUser, T S_ROOMUSERINFO::*field, T absent)
{
    return pUser ? pUser->*field : absent;
}
} // namespace

void CRoomUserInfo::RemoveUser(uint16_t channel)
{
    auto it = std::find_if(m_users.begin(), m_users.end(),
                           [channel](const S_ROOMUSERINFO& u) { return u.channel == channel; });
    if (it != m_users.end()) m_users.erase(it);
}

void CRoomUserInfo::SetFlagForAll(int32_t selector, uint32_t value)
{
    uint32_t S_ROOMUSERINFO::*field = nullptr;
    switch (selector)
    {
    case RIGHT_TALK:
        field = &S_ROOMUSERINFO::talkRight;
        break;
    case RIGHT_DRAW:
        field = &S_ROOMUSERINFO::drawRight;
        break;
    case RIGHT_DS:
        field = &S_ROOMUSERINFO::dsRight;
        break;
    case RIGHT_SHARE:
        field = &S_ROOMUSERINFO::shareRight;
        break;
    case RIGHT_MEDIASHARE:
        field = &S_ROOMUSERINFO::mediaShareRight;
        break;
    default:
        return;
    }
    for (S_ROOMUSERINFO& u : m_users)
        u.*field = value;
}

void CRoomUserInfo::SetUserValue(uint16_t channel, uint32_t value)
{
    for (S_ROOMUSERINFO& u : m_users)
        if (u.channel == channel) u.userValue = value;
}

void CRoomUserInfo::SetAvFlags(const uint32_t* pStatus)
{
    if (!pStatus) return;
    if (S_ROOMUSERINFO* u = FindUser(static_cast<uint16_t>(*pStatus & 0xffff)))
    {
        u->avFlag2 = (*pStatus >> 16) & 1;
        u->avFlag1 = (*pStatus >> 17) & 1;
    }
}

S_ROOMUSERINFO* CRoomUserInfo::FindUser(uint16_t channel)
{
    return const_cast<S_ROOMUSERINFO*>(ByChannel(channel));
}

S_ROOMUSERINFO* CRoomUserInfo::FindUserByIndex(uint16_t userIndex)
{
    return const_cast<S_ROOMUSERINFO*>(ByIndex(userIndex));
}

int CRoomUserInfo::HasUserChannel(uint16_t channel) const
{
    return ByChannel(channel) ? 1 : 0;
}

int CRoomUserInfo::HasChannel(uint16_t channel) const
{
    if (m_users.size() >= kMaxUsers) return kNone; // the room is full, whoever is asked about
    return HasUserChannel(channel);
}

int CRoomUserInfo::HasUserIndex(uint16_t userIndex) const
{
    return ByIndex(userIndex) ? 1 : 0;
}

int CRoomUserInfo::HasUserId(const std::u16string& id) const
{
    return First([&id](const S_ROOMUSERINFO& u) { return u.ID == id; }) ? 1 : 0;
}

uint16_t CRoomUserInfo::GetUserIndex(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::userIndex, kNone);
}

uint16_t CRoomUserInfo::GetChannelByUserIndex(uint16_t userIndex) const
{
    return FieldOr(ByIndex(userIndex), &S_ROOMUSERINFO::channel, kNone);
}

uint16_t CRoomUserInfo::GetUserIndexByName(const std::u16string& name) const
{
    return FieldOr(ByName(name), &S_ROOMUSERINFO::userIndex, kNone);
}

uint16_t CRoomUserInfo::GetLevel(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::level, kNone);
}

uint16_t CRoomUserInfo::GetLevelByName(const std::u16string& name) const
{
    return FieldOr(ByName(name), &S_ROOMUSERINFO::level, kNone);
}

std::u16string CRoomUserInfo::GetUserId(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::ID, std::u16string());
}

std::u16string CRoomUserInfo::GetUserName(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::Name, std::u16string());
}

std::u16string CRoomUserInfo::GetUserNameByIndex(uint16_t userIndex) const
{
    return FieldOr(ByIndex(userIndex), &S_ROOMUSERINFO::Name, std::u16string());
}

uint32_t CRoomUserInfo::GetDrawRight(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::drawRight, uint32_t(0));
}

uint32_t CRoomUserInfo::GetTalkRight(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::talkRight, uint32_t(0));
}

uint32_t CRoomUserInfo::GetDsRight(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::dsRight, uint32_t(0));
}

uint32_t CRoomUserInfo::GetShareRight(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::shareRight, uint32_t(0));
}

uint32_t CRoomUserInfo::GetMediaShareRight(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::mediaShareRight, uint32_t(0));
}

uint16_t CRoomUserInfo::GetVideoStop(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::videoStop, uint16_t(1));
}

uint16_t CRoomUserInfo::GetCamType(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::camType, uint16_t(0));
}

uint32_t CRoomUserInfo::GetUserValue(uint16_t channel) const
{
    return FieldOr(ByChannel(channel), &S_ROOMUSERINFO::userValue, uint32_t(0));
}

bool CRoomUserInfo::IsLowestChannel(uint16_t channel) const
{
    uint16_t lowest = kNone;
    for (const S_ROOMUSERINFO& u : m_users)
        lowest = std::min(lowest, u.channel);
    return channel == lowest;
}

int16_t CRoomUserInfo::CountActive() const
{
    return static_cast<int16_t>(std::count_if(m_users.begin(), m_users.end(),
                                              [](const S_ROOMUSERINFO& u) { return u.activity1 != 0; }));
}

uint16_t CRoomUserInfo::LowestSendingChannel() const
{
    uint16_t lowest = kNone;
    for (const S_ROOMUSERINFO& u : m_users)
        if (u.videoStop != 0 && u.camType == 0) lowest = std::min(lowest, u.channel);
    return lowest;
}

bool CRoomUserInfo::OtherHas(uint16_t channel, uint32_t S_ROOMUSERINFO::*field) const
{
    return First([=](const S_ROOMUSERINFO& u) { return u.channel != channel && u.*field != 0; }) != nullptr;
}

bool CRoomUserInfo::OtherHasActivity1(uint16_t channel) const
{
    return OtherHas(channel, &S_ROOMUSERINFO::activity1);
}
bool CRoomUserInfo::OtherHasActivity2(uint16_t channel) const
{
    return OtherHas(channel, &S_ROOMUSERINFO::activity2);
}
bool CRoomUserInfo::OtherHasActivity3(uint16_t channel) const
{
    return OtherHas(channel, &S_ROOMUSERINFO::activity3);
}
bool CRoomUserInfo::OtherHasActivity4(uint16_t channel) const
{
    return OtherHas(channel, &S_ROOMUSERINFO::activity4);
}

bool CRoomUserInfo::AnyCamType(uint16_t lo, uint16_t hi) const
{
    return First([=](const S_ROOMUSERINFO& u) { return u.camType >= lo && u.camType <= hi; }) != nullptr;
}

bool CRoomUserInfo::HasCamType1Or2() const
{
    return AnyCamType(1, 2);
}
bool CRoomUserInfo::HasCamType3To5() const
{
    return AnyCamType(3, 5);
}
bool CRoomUserInfo::HasCamType6() const
{
    return AnyCamType(6, 6);
}
bool CRoomUserInfo::HasAnyCamType() const
{
    return AnyCamType(1, 65535);
}
