// The room participant table: order, duplicates, absent values, whole-table tests.
#include <gtest/gtest.h>

#include "confclient/session/roomstate/RoomUserInfo.h"

namespace
{
S_ROOMUSERINFO User(uint16_t channel, uint16_t index, const char16_t* name, uint16_t camType = 0,
                    uint16_t videoStop = 0)
{
    S_ROOMUSERINFO u;
    u.channel = channel;
    u.userIndex = index;
    u.level = 1;
    u.Name = name;
    u.ID = std::u16string(u"id_") + name;
    u.camType = camType;
    u.videoStop = videoStop;
    return u;
}

std::vector<uint16_t> Channels(const CRoomUserInfo& t)
{
    std::vector<uint16_t> v;
    for (const S_ROOMUSERINFO& u : t.Users())
        v.push_back(u.channel);
    return v;
}
} // namespace

TEST(RoomUserInfo, RightsForAllKeepOrder)
{
    CRoomUserInfo t;
    t.AddUser(User(5, 50, u"e"));
    t.AddUser(User(2, 20, u"b"));
    t.AddUser(User(9, 90, u"i"));
    S_ROOMUSERINFO* p = t.FindUser(2);
    t.SetFlagForAll(RIGHT_DRAW, 1);
    EXPECT_EQ((std::vector<uint16_t>{5, 2, 9}), Channels(t));
    for (uint16_t c : {5, 2, 9})
        EXPECT_EQ(1u, t.GetDrawRight(c));
    EXPECT_EQ(p, t.FindUser(2)); // records change in place

    struct
    {
        int32_t selector;
        uint32_t (CRoomUserInfo::*get)(uint16_t) const;
    } rights[] = {{RIGHT_TALK, &CRoomUserInfo::GetTalkRight},
                  {RIGHT_DS, &CRoomUserInfo::GetDsRight},
                  {RIGHT_SHARE, &CRoomUserInfo::GetShareRight},
                  {RIGHT_MEDIASHARE, &CRoomUserInfo::GetMediaShareRight}};
    for (auto r : rights)
    {
        t.SetFlagForAll(r.selector, 7);
        EXPECT_EQ(7u, (t.*r.get)(9)) << r.selector;
    }
    t.SetFlagForAll(5, 3); // unknown selector
    t.SetFlagForAll(-1, 3);
    EXPECT_EQ(1u, t.GetDrawRight(5));
}

TEST(RoomUserInfo, DuplicateChannels)
{
    CRoomUserInfo t;
    t.AddUser(User(3, 30, u"older"));
    t.AddUser(User(3, 31, u"newer"));
    EXPECT_EQ(2u, t.Count());
    EXPECT_EQ(u"older", t.GetUserName(3));
    t.RemoveUser(3);
    EXPECT_EQ(1u, t.Count());
    EXPECT_EQ(u"newer", t.GetUserName(3));
    t.RemoveUser(77); // absent: nothing
    EXPECT_EQ(1u, t.Count());
}

TEST(RoomUserInfo, AbsentValues)
{
    CRoomUserInfo t;
    t.AddUser(User(1, 10, u"a"));
    EXPECT_EQ(nullptr, t.FindUser(2));
    EXPECT_EQ(nullptr, t.FindUserByIndex(11));
    EXPECT_EQ(0, t.HasUserChannel(2));
    EXPECT_EQ(0, t.HasChannel(2));
    EXPECT_EQ(0, t.HasUserIndex(11));
    EXPECT_EQ(0, t.HasUserId(u"nobody"));
    EXPECT_EQ(65535, t.GetUserIndex(2));
    EXPECT_EQ(65535, t.GetChannelByUserIndex(11));
    EXPECT_EQ(65535, t.GetUserIndexByName(u"A")); // names compare case-sensitively
    EXPECT_EQ(65535, t.GetLevel(2));
    EXPECT_EQ(65535, t.GetLevelByName(u"zz"));
    EXPECT_EQ(u"", t.GetUserId(2));
    EXPECT_EQ(u"", t.GetUserName(2));
    EXPECT_EQ(u"", t.GetUserNameByIndex(11));
    EXPECT_EQ(0u, t.GetDrawRight(2));
    EXPECT_EQ(1, t.GetVideoStop(2));
    EXPECT_EQ(0, t.GetCamType(2));
    EXPECT_EQ(0u, t.GetUserValue(2));

    EXPECT_EQ(10, t.GetUserIndexByName(u"a"));
    EXPECT_EQ(1, t.GetChannelByUserIndex(10));
    EXPECT_EQ(1, t.HasUserId(u"id_a"));
    EXPECT_EQ(0, t.GetVideoStop(1));
}

TEST(RoomUserInfo, FullTableAnswersNoneToHasChannel)
{
    CRoomUserInfo t;
    for (uint16_t c = 0; c < 500; ++c)
        t.AddUser(User(c, c, u"u"));
    EXPECT_EQ(65535, t.HasChannel(7));
    EXPECT_EQ(1, t.HasUserChannel(7));
    t.RemoveUser(0);
    EXPECT_EQ(1, t.HasChannel(7));
}

TEST(RoomUserInfo, ValuesAndFlags)
{
    CRoomUserInfo t;
    t.AddUser(User(4, 40, u"d"));
    t.AddUser(User(4, 41, u"d2"));
    t.SetUserValue(4, 99); // every record of the channel
    for (const S_ROOMUSERINFO& u : t.Users())
        EXPECT_EQ(99u, u.userValue);

    uint32_t status = 4 | (1u << 16);
    t.SetAvFlags(&status);
    EXPECT_EQ(1, t.FindUser(4)->avFlag2);
    EXPECT_EQ(0, t.FindUser(4)->avFlag1);
    EXPECT_EQ(1, t.Users().back().avFlag1); // only the first record of the channel
    t.SetAvFlags(nullptr);
}

TEST(RoomUserInfo, WholeTableTests)
{
    CRoomUserInfo t;
    EXPECT_TRUE(t.IsLowestChannel(65535));
    EXPECT_FALSE(t.IsLowestChannel(0));
    EXPECT_EQ(0, t.CountActive());
    EXPECT_EQ(65535, t.LowestSendingChannel());

    t.AddUser(User(8, 1, u"cam", 0, 1));
    t.AddUser(User(3, 2, u"phone", 6, 1)); // sends, but a terminal: ignored
    t.AddUser(User(5, 3, u"idle", 0, 0));
    EXPECT_TRUE(t.IsLowestChannel(3));
    EXPECT_EQ(8, t.LowestSendingChannel());
    EXPECT_TRUE(t.HasCamType6());
    EXPECT_FALSE(t.HasCamType1Or2());
    EXPECT_FALSE(t.HasCamType3To5());
    EXPECT_TRUE(t.HasAnyCamType());

    t.FindUser(5)->activity1 = 1;
    t.FindUser(8)->activity3 = 2;
    EXPECT_EQ(1, t.CountActive());
    EXPECT_TRUE(t.OtherHasActivity1(8));
    EXPECT_FALSE(t.OtherHasActivity1(5));
    EXPECT_TRUE(t.OtherHasActivity3(5));
    EXPECT_FALSE(t.OtherHasActivity2(5));
    EXPECT_FALSE(t.OtherHasActivity4(5));
}
