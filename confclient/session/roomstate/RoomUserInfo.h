// The users present in the current room, one record per user keyed by channel
// (seat), with the lookups the room windows and handlers use. Every lookup
// answers a fixed "absent" value when the key is not there (65535 = none).
#pragma once
#include <cstdint>
#include <list>
#include <string>

struct S_ROOMUSERINFO
{
    uint16_t channel = 65535;
    uint16_t userIndex = 65535;
    uint16_t level = 65535; // 2 marks a phone user
    uint32_t reserved1 = 0;
    uint32_t drawRight = 0;
    uint32_t talkRight = 0;
    uint32_t dsRight = 0;
    uint32_t reserved2 = 0;
    uint32_t activity1 = 0;
    uint32_t shareRight = 0;
    uint32_t activity2 = 0;
    uint32_t mediaShareRight = 0;
    uint32_t activity3 = 0;
    uint32_t activity4 = 0;
    uint16_t videoStop = 0; // non-zero: the user is sending
    uint16_t camType = 0;   // camera or terminal type, 1 to 6
    uint16_t reserved3 = 0;
    uint32_t userValue = 0;
    uint8_t avFlag1 = 1;
    uint8_t avFlag2 = 1;
    std::u16string ID;
    std::u16string Name;
};

// Right selectors of SetFlagForAll.
enum RoomRight : int32_t
{
    RIGHT_TALK = 0,
    RIGHT_DRAW = 1,
    RIGHT_DS = 2,
    RIGHT_SHARE = 3,
    RIGHT_MEDIASHARE = 4,
};

class CRoomUserInfo
{
public:
    static constexpr uint16_t kNone = 65535;
    static constexpr size_t kMaxUsers = 500;

    virtual ~CRoomUserInfo() = default;

    // Appends a copy; a duplicate channel is stored too (lookups find the older one).
    void AddUser(const S_ROOMUSERINFO& user) { m_users.push_back(user); }
    // Removes the first record of the channel.
    void RemoveUser(uint16_t channel);
    // Sets one right of every record; an unknown selector changes nothing.
    void SetFlagForAll(int32_t selector, uint32_t value);
    void SetUserValue(uint16_t channel, uint32_t value);
    // Low 16 bits: channel; bit 16 -> avFlag2, bit 17 -> avFlag1 of its first record.
    void SetAvFlags(const uint32_t* pStatus);
    void RemoveAll() { m_users.clear(); }

    S_ROOMUSERINFO* FindUser(uint16_t channel);
    const S_ROOMUSERINFO* FindUser(uint16_t channel) const { return ByChannel(channel); }
    S_ROOMUSERINFO* FindUserByIndex(uint16_t userIndex);
    const S_ROOMUSERINFO* FindUserByIndex(uint16_t userIndex) const { return ByIndex(userIndex); }
    int HasUserChannel(uint16_t channel) const;
    // As HasUserChannel, but 65535 once the table holds 500 or more records.
    int HasChannel(uint16_t channel) const;
    int HasUserIndex(uint16_t userIndex) const;
    int HasUserId(const std::u16string& id) const;

    uint16_t GetUserIndex(uint16_t channel) const;
    uint16_t GetChannelByUserIndex(uint16_t userIndex) const;
    uint16_t GetUserIndexByName(const std::u16string& name) const;
    uint16_t GetLevel(uint16_t channel) const;
    uint16_t GetLevelByName(const std::u16string& name) const;
    std::u16string GetUserId(uint16_t channel) const;
    std::u16string GetUserName(uint16_t channel) const;
    std::u16string GetUserNameByIndex(uint16_t userIndex) const;
    uint32_t GetDrawRight(uint16_t channel) const;
    uint32_t GetTalkRight(uint16_t channel) const;
    uint32_t GetDsRight(uint16_t channel) const;
    uint32_t GetShareRight(uint16_t channel) const;
    uint32_t GetMediaShareRight(uint16_t channel) const;
    uint16_t GetVideoStop(uint16_t channel) const; // 1 when absent
    uint16_t GetCamType(uint16_t channel) const;
    uint32_t GetUserValue(uint16_t channel) const;

    bool IsLowestChannel(uint16_t channel) const;
    int16_t CountActive() const;
    uint16_t LowestSendingChannel() const;
    bool OtherHasActivity1(uint16_t channel) const;
    bool OtherHasActivity2(uint16_t channel) const;
    bool OtherHasActivity3(uint16_t channel) const;
    bool OtherHasActivity4(uint16_t channel) const;
    bool HasCamType1Or2() const;
    bool HasCamType3To5() const;
    bool HasCamType6() const;
    bool HasAnyCamType() const;

    size_t Count() const { return m_users.size(); }
    const std::list<S_ROOMUSERINFO>& Users() const { return m_users; }

private:
    template <class Pred> const S_ROOMUSERINFO* First(Pred pred) const
    {
        for (const S_ROOMUSERINFO& u : m_users)
            if (pred(u)) return &u;
        return nullptr;
    }
    const S_ROOMUSERINFO* ByChannel(uint16_t channel) const
    {
        return First([channel](const S_ROOMUSERINFO& u) { return u.channel == channel; });
    }
    const S_ROOMUSERINFO* ByIndex(uint16_t userIndex) const
    {
        return First([userIndex](const S_ROOMUSERINFO& u) { return u.userIndex == userIndex; });
    }
    const S_ROOMUSERINFO* ByName(const std::u16string& name) const
    {
        return First([&name](const S_ROOMUSERINFO& u) { return u.Name == name; });
    }
    bool OtherHas(uint16_t channel, uint32_t S_ROOMUSERINFO::*field) const;
    bool AnyCamType(uint16_t lo, uint16_t hi) const;

    std::list<S_ROOMUSERINFO> m_users; // insertion order; records never move, so pointers stay valid
};

// The local user's own record as the conference keeps it.
struct MyUserRecord
{
    uint16_t nValue[5] = {};
    std::u16string szText[4];

    uint16_t UserNumber() const { return nValue[2]; }
    const std::u16string& Name() const { return szText[0]; } // compared with room users' names
};
