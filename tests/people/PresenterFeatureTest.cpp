// Presider, presenter and rights commands: what they change in the room, what the windows are
// told, what the user reads in the chat and what the log says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/people/PresenterFeature.h"
#include "confclient/session/roomstate/RoomFlags.h"
#include "tests/session/RecordedNotices.h"

namespace
{
constexpr uint16_t kRoom = 12;
constexpr uint16_t kMyIndex = 40; // this client's user index
constexpr uint16_t kMe = 3;       // this client's channel

struct RecordedView : IPresenterView
{
    std::vector<std::string> calls;
    void EnablePresenterButton(bool bEnable) override
    {
        calls.push_back(bEnable ? "button on" : "button off");
    }
    void ShowRoomUsers() override { calls.push_back("users"); }
    void LayoutRoom() override { calls.push_back("layout"); }
    void PostPresenterQuestion(uint16_t wRequester) override
    {
        calls.push_back("question " + std::to_string(wRequester));
    }
};

struct RecordedLog : ILogSink
{
    std::vector<std::string> lines; // "level text"
    void AddLog(int nLevel, const std::string& text) override
    {
        lines.push_back(std::to_string(nLevel) + " " + text);
    }
};

// A room this client is in on channel kMe, owned by someone else, with two other members.
struct Fixture
{
    CRoomState room;
    uint16_t wMyIndex = kMyIndex;
    RecordedNotices notices;
    RecordedView view;
    RecordedLog log;
    CPresenterFeature presenter{room, wMyIndex, notices, view, &log};

    Fixture()
    {
        room.info.wRoomIndex = kRoom;
        room.info.wOwnerIndex = 99;
        room.wMyChannel = kMe;
        for (uint16_t ch : {kMe, uint16_t(5), uint16_t(7)})
        {
            S_ROOMUSERINFO u;
            u.channel = ch;
            room.users.AddUser(u);
        }
    }
};

QNPacketDesc WithReason(uint16_t wReason)
{
    QNPacketDesc desc;
    desc.dwExtra = wReason;
    return desc;
}
} // namespace

TEST(PresenterFeature, ButtonOnlyForAMemberWhoMayAskToPresent)
{
    struct
    {
        const char* pszCase;
        bool bInRoom;
        uint16_t wRoomType;
        uint16_t wOwner;
        uint16_t wPresider;
        uint16_t wPresenter;
        bool bChief;
        bool bEnabled;
    } cases[] = {
        {"plain member", true, 1, 99, 5, 7, false, true},
        {"no presenter yet", true, 1, 99, 5, kNoIndex, false, true},
        {"not in a room", false, 1, 99, 5, 7, false, false},
        {"document room", true, kDocumentRoomType, 99, 5, 7, false, false},
        {"owner", true, 1, kMyIndex, 5, 7, true, false},
        {"presider", true, 1, 99, kMe, 7, true, false},
        {"presenter already", true, 1, 99, 5, kMe, false, false},
    };
    for (const auto& c : cases)
    {
        Fixture f;
        if (!c.bInRoom) f.room.info.wRoomIndex = 0;
        f.room.info.wRoomType = c.wRoomType;
        f.room.info.wOwnerIndex = c.wOwner;
        f.room.wPresiderChannel = c.wPresider;
        f.room.wPresenterChannel = c.wPresenter;
        f.presenter.UpdatePresenterButton();
        EXPECT_EQ(std::vector<std::string>{c.bEnabled ? "button on" : "button off"}, f.view.calls)
            << c.pszCase;
        EXPECT_EQ(c.bChief, f.presenter.IsChief()) << c.pszCase;
    }
}

TEST(PresenterFeature, PresiderAndPresenterChangesShowAgain)
{
    struct
    {
        const char* pszCase;
        uint16_t wCommand;
        uint16_t wChannel;
        uint16_t wPresider;  // after
        uint16_t wPresenter; // after
        const char* pszLog;
        const char* pszButton;
    } cases[] = {
        {"presider", INFO_CONF_PRESIDER, 5, 5, 7, "2 [INFO_CONF_PRESIDER] CH:5", "button on"},
        {"I preside", INFO_CONF_PRESIDER, kMe, kMe, 7, "2 [INFO_CONF_PRESIDER] CH:3", "button off"},
        {"presenter set", INFO_CONF_PRESENTER_SET, 5, kNoIndex, 5, "2 [INFO_CONF_PRESENTER] Set CH:5",
         "button on"},
        {"I present", INFO_CONF_PRESENTER_SET, kMe, kNoIndex, kMe, "2 [INFO_CONF_PRESENTER] Set CH:3",
         "button off"},
        {"presenter cleared", INFO_CONF_PRESENTER_CLEAR, 7, kNoIndex, kNoIndex,
         "2 [INFO_CONF_PRESENTER] Clear CH:7", "button on"},
        {"another one cleared", INFO_CONF_PRESENTER_CLEAR, 5, kNoIndex, 7,
         "2 [INFO_CONF_PRESENTER] Clear CH:5", "button on"},
    };
    for (const auto& c : cases)
    {
        Fixture f;
        f.room.wPresenterChannel = 7;
        if (c.wCommand == INFO_CONF_PRESIDER)
            f.presenter.OnPresider(c.wChannel);
        else
            f.presenter.OnPresenterChange(c.wCommand, c.wChannel);
        EXPECT_EQ(c.wPresider, f.room.wPresiderChannel) << c.pszCase;
        EXPECT_EQ(c.wPresenter, f.room.wPresenterChannel) << c.pszCase;
        EXPECT_EQ(std::vector<std::string>{c.pszLog}, f.log.lines) << c.pszCase;
        EXPECT_EQ((std::vector<std::string>{c.pszButton, "users"}), f.view.calls) << c.pszCase;
    }
}

TEST(PresenterFeature, RightsReachEveryMemberAndTheLogNamesWhatStopped)
{
    struct
    {
        const char* pszCase;
        uint16_t wRoom;
        uint32_t dwBefore;
        uint32_t dwRights;
        bool bChief;
        std::vector<std::string> log;
    } cases[] = {
        {"talk, drawing and desktop share withdrawn",
         kRoom,
         0x1F,
         0x18,
         false,
         {"2 [INFO_CONF_RIGHTS] <IDS_RIGHT_STOPPED_TALK> stopped",
          "2 [INFO_CONF_RIGHTS] <IDS_RIGHT_STOPPED_DRAW> stopped",
          "2 [INFO_CONF_RIGHTS] <IDS_RIGHT_STOPPED_DESKTOP> stopped", "2 [INFO_CONF_RIGHTS] Rights:0x18"}},
        {"last two withdrawn",
         kRoom,
         0x18,
         0x00,
         false,
         {"2 [INFO_CONF_RIGHTS] <IDS_RIGHT_STOPPED_CAMERA> stopped",
          "2 [INFO_CONF_RIGHTS] <IDS_RIGHT_STOPPED_CAPTURE> stopped", "2 [INFO_CONF_RIGHTS] Rights:0x0"}},
        {"granted", kRoom, 0x00, 0x06, false, {"2 [INFO_CONF_RIGHTS] Rights:0x6"}},
        {"the chief loses nothing", kRoom, 0x1F, 0x00, true, {"2 [INFO_CONF_RIGHTS] Rights:0x0"}},
        {"bits above the five selectors", kRoom, 0x00, 0x40, false, {"2 [INFO_CONF_RIGHTS] Rights:0x40"}},
        {"another room", 13, 0x1F, 0x00, false, {}},
    };
    for (const auto& c : cases)
    {
        Fixture f;
        f.room.dwRights = c.dwBefore;
        for (int32_t nSel = RIGHT_TALK; nSel <= RIGHT_MEDIASHARE; ++nSel)
            f.room.users.SetFlagForAll(nSel, (c.dwBefore >> nSel) & 1);
        if (c.bChief) f.room.wPresiderChannel = kMe;
        f.presenter.OnRights(QNRightsNotice{{c.wRoom, c.dwRights}, false, {}});

        bool bApplied = c.wRoom == kRoom;
        uint32_t dwExpected = bApplied ? c.dwRights : c.dwBefore;
        EXPECT_EQ(dwExpected, f.room.dwRights) << c.pszCase;
        for (const S_ROOMUSERINFO& u : f.room.users.Users())
        {
            EXPECT_EQ(dwExpected & 1, u.talkRight) << c.pszCase;
            EXPECT_EQ((dwExpected >> 1) & 1, u.drawRight) << c.pszCase;
            EXPECT_EQ((dwExpected >> 2) & 1, u.dsRight) << c.pszCase;
            EXPECT_EQ((dwExpected >> 3) & 1, u.shareRight) << c.pszCase;
            EXPECT_EQ((dwExpected >> 4) & 1, u.mediaShareRight) << c.pszCase;
        }
        EXPECT_EQ(c.log, f.log.lines) << c.pszCase;
        const std::vector<std::string> shown = {"layout", "users"};
        EXPECT_EQ(bApplied ? shown : std::vector<std::string>(), f.view.calls) << c.pszCase;
    }
}

// 421 carries the room's properties behind the rights once a member has set them: they are kept
// until the room is left; a rights word alone or a cut tail leaves them as they were.
TEST(PresenterFeature, TheRoomsPropertiesComeWithTheRights)
{
    Fixture f;
    S_ROOMPROPERTY set;
    set.bChat = true;
    set.bRecord = true;
    set.nVideoQuality = 2;
    set.bTalk = true;
    Bytes full;
    EncodeRoomRights({kRoom, RightBitsOf(set)}, full);
    Bytes rightsOnly = full;
    EncodeRoomProperty(PackRoomProperty(set), full);
    Bytes cut(full.begin(), full.end() - 1);

    QNRightsNotice notice;
    ASSERT_TRUE(DecodeRightsNotice(rightsOnly.data(), rightsOnly.size(), notice));
    EXPECT_FALSE(notice.bHasProperty);
    f.presenter.OnRights(notice);
    EXPECT_FALSE(f.room.property);

    ASSERT_TRUE(DecodeRightsNotice(full.data(), full.size(), notice));
    f.presenter.OnRights(notice);
    ASSERT_TRUE(f.room.property);
    EXPECT_EQ(set, *f.room.property);
    EXPECT_EQ(1u, f.room.dwRights);

    ASSERT_TRUE(DecodeRightsNotice(cut.data(), cut.size(), notice));
    EXPECT_FALSE(notice.bHasProperty);
    f.presenter.OnRights(notice);
    EXPECT_EQ(set, *f.room.property);
    EXPECT_FALSE(DecodeRightsNotice(full.data(), 7, notice));

    f.room.Leave();
    EXPECT_FALSE(f.room.property);
}

TEST(PresenterFeature, RequestsAnswersAndRefusals)
{
    const std::u16string kDeny = u"<IDS_REQ_PRESENTER_DENY>";
    const std::u16string kFailed = u"<IDS_SET_PRESENTER_FAILED>";
    struct
    {
        const char* pszCase;
        void (*pfnRun)(CPresenterFeature&);
        std::vector<std::string> calls;
        std::vector<std::u16string> notices;
        std::vector<std::string> log;
    } cases[] = {
        {"a request asks the presider later",
         [](CPresenterFeature& p) {
             p.OnPresenterRequest({PRESENTER_REQUEST, 7, 0});
         },
         {"button on", "question 7"},
         {},
         {}},
        {"a refused answer",
         [](CPresenterFeature& p) {
             p.OnPresenterRequest({PRESENTER_ANSWER, kMe, 0});
         },
         {"button on"},
         {kDeny},
         {"2 [INFO_CONF_PRESENTER] <IDS_REQ_PRESENTER_DENY>"}},
        {"an accepted answer waits for the presenter change",
         [](CPresenterFeature& p) {
             p.OnPresenterRequest({PRESENTER_ANSWER, kMe, 1});
         },
         {"button on"},
         {},
         {}},
        {"request refused by the server",
         [](CPresenterFeature& p) { p.OnPresenterRefused(); },
         {"button on"},
         {kFailed},
         {"4 [NAK_CONF_PRESENTER] <IDS_SET_PRESENTER_FAILED>"}},
        {"already the presenter",
         [](CPresenterFeature& p)
         { p.OnSetPresenterRefused(NAK_CONF_SET_PRESENTER, WithReason(kReasonConfExistUser)); },
         {"button on"},
         {},
         {"4 [NAK_CONF_SET_PRESENTER] ERR_CONF_EXISTUSER"}},
        {"presenter not set",
         [](CPresenterFeature& p) { p.OnSetPresenterRefused(NAK_CONF_SET_PRESENTER, WithReason(1201)); },
         {"button on"},
         {kFailed},
         {"4 [NAK_CONF_SET_PRESENTER] <IDS_SET_PRESENTER_FAILED>"}},
    };
    for (const auto& c : cases)
    {
        Fixture f;
        c.pfnRun(f.presenter);
        EXPECT_EQ(c.calls, f.view.calls) << c.pszCase;
        EXPECT_EQ(c.notices, f.notices.chatNotices) << c.pszCase;
        EXPECT_TRUE(f.notices.boxes.empty()) << c.pszCase;
        EXPECT_EQ(c.log, f.log.lines) << c.pszCase;
    }
}

// A presider other than the known one is the new chief, told in the chat; the first presider a
// joiner hears, or the same one again, is not news.
TEST(PresenterFeature, ANewChiefIsToldInTheChat)
{
    Fixture f;
    f.room.users.FindUser(5)->Name = u"Bob";
    f.presenter.OnPresider(7);
    f.presenter.OnPresider(7);
    EXPECT_TRUE(f.notices.chatNotices.empty());
    f.presenter.OnPresider(5);
    ASSERT_EQ(1u, f.notices.chatNotices.size());
    EXPECT_EQ(u"<IDS_NEWCHIEF>", f.notices.chatNotices[0]);
}
