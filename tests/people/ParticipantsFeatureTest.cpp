// The participants' commands: joins and leaves, channel moves, video, audio/video, seat, option
// and status changes and the view names, as the room's records and the windows see them.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/people/ParticipantsFeature.h"
#include "tests/session/RecordedNotices.h"

namespace
{
constexpr uint16_t kRoom = 12;
constexpr uint16_t kMyIndex = 40; // this client's user index
constexpr uint16_t kMe = 3;       // this client's channel

std::string Hex(uint32_t dw)
{
    char sz[16];
    std::snprintf(sz, sizeof sz, "0x%x", dw);
    return sz;
}

// The session's windows, network and panel as both features reach them.
struct RecordedView : IParticipantsView, IPresenterView
{
    std::vector<std::string> calls;
    bool bPanelListens = true;

    void ShowRoomUsers() override { calls.push_back("users"); }
    void LayoutRoom() override { calls.push_back("layout"); }
    void RemoveUserRow(uint16_t wChannel) override
    {
        calls.push_back("remove row " + std::to_string(wChannel));
    }
    void UpdateUserRow(uint16_t wChannel, uint16_t wStatus, uint32_t dwFlags) override
    {
        calls.push_back("row " + std::to_string(wChannel) + " " + std::to_string(wStatus) + " " +
                        Hex(dwFlags));
    }
    void ShowSpeaking(uint16_t wChannel, bool bSpeaking) override
    {
        calls.push_back("speaking " + std::to_string(wChannel) + " " + std::to_string(bSpeaking));
    }
    void SetVideoState(uint16_t wChannel, uint32_t dwValue) override
    {
        calls.push_back("video " + std::to_string(wChannel) + " " + Hex(dwValue));
    }
    void SetViewName(uint16_t wChannel, const std::u16string& szName) override
    {
        calls.push_back("view " + std::to_string(wChannel) + " " + std::string(szName.begin(), szName.end()));
    }
    void SetMyChannel(uint16_t wChannel) override
    {
        calls.push_back("my channel " + std::to_string(wChannel));
    }
    void SendAvState(uint32_t dwState) override { calls.push_back("send av " + Hex(dwState)); }
    void ApplyMyRights(uint32_t dwRights) override { calls.push_back("my rights " + Hex(dwRights)); }
    bool PanelListens() const override { return bPanelListens; }
    void PanelAnswer(const char* pszKeyword, long nValue) override
    {
        calls.push_back(std::string("panel ") + pszKeyword + " " + std::to_string(nValue));
    }
    void EnablePresenterButton(bool bEnable) override
    {
        calls.push_back(bEnable ? "button on" : "button off");
    }
    void PostPresenterQuestion(uint16_t) override { calls.push_back("question"); }
};

struct RecordedLog : ILogSink
{
    std::vector<std::string> lines;
    void AddLog(int nLevel, const std::string& text) override
    {
        lines.push_back(std::to_string(nLevel) + " " + text);
    }
};

QNRoomUser RoomUser(uint16_t wChannel, uint16_t wUserIndex, const char16_t* pszName, uint16_t wLevel = 0)
{
    QNRoomUser u;
    u.wChannel = wChannel;
    u.wUserIndex = wUserIndex;
    u.wLevel = wLevel;
    u.szUserId = std::u16string(u"id-") + pszName;
    u.szName = pszName;
    return u;
}

// A room this client is in on channel kMe, owned by someone else; Bob (channel 5, user 50) and
// Carol (channel 7, user 70, a phone caller) are in it too. Carol presents, Bob presides.
struct Fixture
{
    CRoomState room;
    uint16_t wMyIndex = kMyIndex;
    RecordedNotices notices;
    RecordedView view;
    RecordedLog log;
    CPresenterFeature presenter{room, wMyIndex, notices, view, &log};
    CParticipantsFeature people{room, wMyIndex, notices, view, presenter, &log};

    Fixture()
    {
        room.info.wRoomIndex = kRoom;
        room.info.wOwnerIndex = 99;
        room.wMyChannel = kMe;
        room.wPresiderChannel = 5;
        room.wPresenterChannel = 7;
        QNPacketDesc desc;
        desc.dwExtra = 1;
        for (const QNRoomUser& u :
             {RoomUser(kMe, kMyIndex, u"Me"), RoomUser(5, 50, u"Bob"), RoomUser(7, 70, u"Carol", 2)})
            people.OnUserJoin(INFO_CONF_JOIN, desc, u);
        view.calls.clear();
        log.lines.clear();
    }
    void Join(const QNRoomUser& user, uint32_t dwLength = 1)
    {
        QNPacketDesc desc;
        desc.dwExtra = dwLength;
        people.OnUserJoin(INFO_CONF_JOIN, desc, user);
    }
};

using Calls = std::vector<std::string>;
} // namespace

TEST(ParticipantsFeature, JoinAddsTheRecordAndAnswersAWaitingPanelOnce)
{
    struct
    {
        const char* pszCase;
        bool bInRoom;
        uint32_t dwLength;
        bool bPanelAwaits;
        bool bPanelListens;
        bool bOpenedByMe;
        size_t nCount;
        Calls calls;
        bool bPanelStillAwaits;
    } cases[] = {
        {"a member joins", true, 80, false, true, false, 4, {"users"}, false},
        {"outside a room", false, 80, true, true, false, 3, {}, true},
        {"empty payload", true, 0, true, true, false, 3, {}, true},
        {"panel hears of its open", true, 80, true, true, true, 4, {"users", "panel CREATE 12"}, false},
        {"panel hears of its join", true, 80, true, true, false, 4, {"users", "panel JOIN 1"}, false},
        {"panel not listening", true, 80, true, false, false, 4, {"users"}, true},
    };
    for (const auto& c : cases)
    {
        Fixture f;
        if (!c.bInRoom) f.room.info.wRoomIndex = 0;
        f.room.bPanelAwaitsEntry = c.bPanelAwaits;
        f.room.bOpenedByMe = c.bOpenedByMe;
        f.view.bPanelListens = c.bPanelListens;
        QNRoomUser dan = RoomUser(9, 90, u"Dan");
        dan.wCamType = 4;
        dan.dwTalkRight = 1;
        f.Join(dan, c.dwLength);
        EXPECT_EQ(c.nCount, f.room.users.Count()) << c.pszCase;
        EXPECT_EQ(c.calls, f.view.calls) << c.pszCase;
        EXPECT_EQ(c.bPanelStillAwaits, f.room.bPanelAwaitsEntry) << c.pszCase;
        if (c.nCount == 4)
        {
            const S_ROOMUSERINFO* pDan = f.room.users.FindUser(9);
            ASSERT_NE(nullptr, pDan) << c.pszCase;
            EXPECT_EQ(90, pDan->userIndex);
            EXPECT_EQ(4, pDan->camType);
            EXPECT_EQ(1u, pDan->talkRight);
            EXPECT_EQ(u"Dan", pDan->Name);
            EXPECT_EQ(Calls{"2 [INFO_CONF_JOIN] ID:id-Dan, Name:Dan, CH:9, TotCount:4"}, f.log.lines);
        }
        else
        {
            EXPECT_TRUE(f.log.lines.empty()) << c.pszCase;
        }
    }
}

TEST(ParticipantsFeature, JoinAgainReplacesAndAFullRoomTakesNoMore)
{
    Fixture f;
    f.Join(RoomUser(5, 51, u"Robert"));
    EXPECT_EQ(3u, f.room.users.Count());
    EXPECT_EQ(u"Robert", f.room.users.FindUser(5)->Name);
    EXPECT_EQ(51, f.room.users.FindUser(5)->userIndex);

    for (uint16_t ch = 100; f.room.users.Count() < CRoomUserInfo::kMaxUsers; ++ch)
        f.Join(RoomUser(ch, ch, u"x"));
    f.view.calls.clear();
    f.Join(RoomUser(9, 90, u"Dan"));
    EXPECT_EQ(CRoomUserInfo::kMaxUsers, f.room.users.Count());
    EXPECT_EQ(nullptr, f.room.users.FindUser(9));
    EXPECT_TRUE(f.view.calls.empty());
}

TEST(ParticipantsFeature, QuitRemovesTheMemberAndThePresenterRole)
{
    struct
    {
        const char* pszCase;
        bool bInRoom;
        uint16_t wChannel;
        Calls log;
        Calls calls;
        uint16_t wPresenter;
    } cases[] = {
        {"a member leaves",
         true,
         5,
         {"2 [INFO_CONF_QUIT] ID:id-Bob, Name:Bob, CH:5, TotCount:2"},
         {"remove row 5", "users"},
         7},
        {"the presenter, a phone caller, leaves",
         true,
         7,
         {"2 [INFO_CONF_QUIT] ID:id-Carol, Name:<IDS_PHONE_INBOUND_NAME>, CH:7, TotCount:2",
          "2 [INFO_CONF_PRESENTER] Clear CH:7"},
         {"remove row 7", "button on", "users", "users"},
         kNoIndex},
        {"someone unknown", true, 9, {"2 [INFO_CONF_QUIT] unknown CH:9"}, {}, 7},
        {"outside a room", false, 5, {}, {}, 7},
    };
    for (const auto& c : cases)
    {
        Fixture f;
        if (!c.bInRoom) f.room.info.wRoomIndex = 0;
        size_t nBefore = f.room.users.Count();
        f.people.OnUserQuit(RoomUser(c.wChannel, 0, u""));
        bool bLeft = c.calls.size() > 0;
        EXPECT_EQ(bLeft ? nBefore - 1 : nBefore, f.room.users.Count()) << c.pszCase;
        if (bLeft)
        {
            EXPECT_EQ(nullptr, f.room.users.FindUser(c.wChannel)) << c.pszCase;
        }
        EXPECT_EQ(c.log, f.log.lines) << c.pszCase;
        EXPECT_EQ(c.calls, f.view.calls) << c.pszCase;
        EXPECT_EQ(c.wPresenter, f.room.wPresenterChannel) << c.pszCase;
    }
}

TEST(ParticipantsFeature, ChannelMovesFollowTheMemberTheNetworkAndThePresider)
{
    struct
    {
        const char* pszCase;
        QNChannelChange change;
        uint16_t wMyChannel;
        uint16_t wPresider;
        Calls calls;
        Calls log;
    } cases[] = {
        {"I move",
         {kMyIndex, kMe, 11},
         11,
         5,
         {"my channel 11", "users"},
         {"2 [INFO_CONF_CHGCHANNEL] ID:id-Me, Name:Me, CH:3 => CH:11\n"}},
        {"the presider moves",
         {50, 5, 15},
         kMe,
         15,
         {"users", "button on", "users"},
         {"2 [INFO_CONF_CHGCHANNEL] ID:id-Bob, Name:Bob, CH:5 => CH:15\n", "2 [INFO_CONF_PRESIDER] CH:15"}},
        {"another member from my channel",
         {70, kMe, 17},
         kMe,
         5,
         {"users"},
         {"2 [INFO_CONF_CHGCHANNEL] ID:id-Carol, Name:Carol, CH:3 => CH:17\n"}},
        {"someone unknown", {88, 8, 18}, kMe, 5, {}, {"2 [INFO_CONF_CHGCHANNEL] unknown user 88"}},
    };
    for (const auto& c : cases)
    {
        Fixture f;
        f.people.OnChannelChange(c.change);
        EXPECT_EQ(c.wMyChannel, f.room.wMyChannel) << c.pszCase;
        EXPECT_EQ(c.wPresider, f.room.wPresiderChannel) << c.pszCase;
        EXPECT_EQ(c.calls, f.view.calls) << c.pszCase;
        EXPECT_EQ(c.log, f.log.lines) << c.pszCase;
        if (const S_ROOMUSERINFO* pUser = f.room.users.FindUserByIndex(c.change.wUserIndex))
        {
            EXPECT_EQ(c.change.wNewChannel, pUser->channel) << c.pszCase;
        }
    }
    Fixture outside;
    outside.room.info.wRoomIndex = 0;
    outside.people.OnChannelChange({50, 5, 15});
    EXPECT_EQ(5, outside.room.users.FindUserByIndex(50)->channel);
    EXPECT_TRUE(outside.log.lines.empty());
}

TEST(ParticipantsFeature, VideoStateReachesTheViewsOnlyWhenItChanges)
{
    constexpr uint32_t kStopped = 1u << 17;
    constexpr uint32_t kCam3 = 3u << 18;
    struct
    {
        const char* pszCase;
        bool bInRoom;
        uint32_t dwValue;
        Calls calls;
    } cases[] = {
        {"stopped, camera 3", true, 5 | kStopped | kCam3, {"video 5 " + Hex(5 | kStopped | kCam3)}},
        {"as it was", true, 5, {}},
        {"no channel", true, 0xFFFF | kStopped, {}},
        {"someone unknown", true, 9 | kStopped, {}},
        {"outside a room", false, 5 | kStopped, {}},
    };
    for (const auto& c : cases)
    {
        Fixture f;
        if (!c.bInRoom) f.room.info.wRoomIndex = 0;
        f.people.OnVideoState(c.dwValue);
        EXPECT_EQ(c.calls, f.view.calls) << c.pszCase;
        const S_ROOMUSERINFO* pBob = f.room.users.FindUser(5);
        EXPECT_EQ(c.calls.empty() ? 0 : 1, pBob->videoStop) << c.pszCase;
        EXPECT_EQ(c.calls.empty() ? 0 : 3, pBob->camType) << c.pszCase;
    }
}

TEST(ParticipantsFeature, AvStateOfMineSetByAnotherIsAnnouncedAsMyOwn)
{
    constexpr uint32_t kFlags = 1u << 16; // audio flag on, video flag off
    struct
    {
        const char* pszCase;
        bool bInRoom;
        uint32_t dwMine; // what this client last announced
        uint32_t dwWord;
        Calls calls;
        uint32_t dwMineAfter;
        uint32_t dwRights = 0;
    } cases[] = {
        {"mine, changed by the chief",
         true,
         kMe,
         kMe | kFlags,
         {"button on", "send av " + Hex(kMe | kFlags), "users"},
         kMe | kFlags},
        {"the echo of mine", true, kMe | kFlags, kMe | kFlags, {"users"}, kMe | kFlags},
        {"another member's", true, kMe, 5 | kFlags, {"users"}, kMe},
        {"outside a room", false, kMe, kMe | kFlags, {}, kMe},
        {"my rights, changed by the chief", true, kMe, kMe, {"my rights " + Hex(0x3), "users"}, kMe, 3},
        {"another member's rights", true, kMe, 5, {"users"}, kMe, 0x1F},
    };
    for (const auto& c : cases)
    {
        Fixture f;
        if (!c.bInRoom) f.room.info.wRoomIndex = 0;
        f.room.dwMyAvState = c.dwMine;
        f.people.OnAvState({c.dwWord, c.dwRights});
        EXPECT_EQ(c.calls, f.view.calls) << c.pszCase;
        EXPECT_EQ(c.dwMineAfter, f.room.dwMyAvState) << c.pszCase;
        const S_ROOMUSERINFO* pUser = f.room.users.FindUser(static_cast<uint16_t>(c.dwWord & 0xFFFF));
        EXPECT_EQ(c.bInRoom ? 0 : 1, pUser->avFlag1) << c.pszCase;
        EXPECT_EQ(c.bInRoom ? (c.dwWord >> 16) & 1 : 1, pUser->avFlag2) << c.pszCase;
        EXPECT_EQ(c.bInRoom ? c.dwRights : 0, CParticipantsFeature::RightsOf(*pUser)) << c.pszCase;
    }
}

TEST(ParticipantsFeature, SeatOptionStatusAndViewNames)
{
    Fixture f;
    f.people.OnSeat({5, 2, 640, 480});
    EXPECT_EQ(2u, f.room.users.FindUser(5)->userValue);
    EXPECT_EQ(0, f.room.wCaptureWidth);
    f.people.OnSeat({kMe, 1, 320, 240});
    EXPECT_EQ(1u, f.room.users.FindUser(kMe)->userValue);
    EXPECT_EQ(320, f.room.wCaptureWidth);
    EXPECT_EQ(240, f.room.wCaptureHeight);
    EXPECT_EQ(Calls{"2 [INFO_CONF_SEAT] Seat:1, SendSize:320x240"}, f.log.lines);

    f.people.OnUserOption({7, 1, 0x55});
    EXPECT_EQ(0x55u, f.room.users.FindUser(7)->userValue);
    f.people.OnUserOption({9, 1, 0x66}); // someone unknown: nothing to change
    f.people.OnUserStatus({7, 2, 0x10});
    f.people.OnViewNames({{5, u"Stage"}, {7, u"Desk"}});
    EXPECT_EQ(u"Stage", f.room.viewNames[0]);
    EXPECT_EQ(u"Desk", f.room.viewNames[1]);
    EXPECT_EQ((Calls{"layout", "layout", "row 7 2 0x10", "view 5 Stage", "view 7 Desk"}), f.view.calls);

    Fixture outside;
    outside.room.info.wRoomIndex = 0;
    outside.people.OnSeat({kMe, 1, 320, 240});
    EXPECT_EQ(0, outside.room.wCaptureWidth);
    EXPECT_TRUE(outside.view.calls.empty());
}

// A state word carries the rights the server keeps: a room-wide change in the records (421) is
// not undone by the next state word, a change of the server's rights is applied.
TEST(ParticipantsFeature, StateWordsUndoNoRoomWideRights)
{
    Fixture f;
    f.people.OnAvState({5, 3});
    ASSERT_EQ(3u, CParticipantsFeature::RightsOf(*f.room.users.FindUser(5)));
    f.room.users.SetFlagForAll(RIGHT_TALK, 0);
    f.people.OnAvState({5 | (1u << 17), 3});
    EXPECT_EQ(2u, CParticipantsFeature::RightsOf(*f.room.users.FindUser(5)));
    EXPECT_EQ(1, f.room.users.FindUser(5)->avFlag1) << "the state part is applied";
    f.people.OnAvState({5, 0x11});
    EXPECT_EQ(0x11u, CParticipantsFeature::RightsOf(*f.room.users.FindUser(5)));
}

// The chat tells this client's own entry as a notice and, once it is in, others joining and
// leaving as join-and-leave lines.
TEST(ParticipantsFeature, JoinsAndLeavesAreToldInTheChat)
{
    Fixture f; // its own record came first, then Bob's and Carol's
    EXPECT_EQ((std::vector<std::u16string>{u"<IDS_ADDUSER_ME>", u"<IDS_ADDUSER>", u"<IDS_ADDUSER>"}),
              f.notices.chatNotices);
    f.notices.chatNotices.clear();
    f.people.OnUserQuit(RoomUser(5, 50, u"Bob"));
    f.people.OnUserQuit(RoomUser(42, 0, u"nobody"));
    EXPECT_EQ((std::vector<std::u16string>{u"<IDS_REMOVEUSER>"}), f.notices.chatNotices);

    Fixture late;
    late.room.users.RemoveAll();
    late.notices.chatNotices.clear();
    late.Join(RoomUser(5, 50, u"Bob")); // members heard before this client's own record
    EXPECT_TRUE(late.notices.chatNotices.empty());
}
