// Recording notices reach the chat and the log with the recording member's name; the server's
// recording of this room and the recorder's state reach the control bar.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "confclient/media/RecordingFeature.h"
#include "confclient/network/QNCommands.h"
#include "tests/session/RecordedLog.h"
#include "tests/session/RecordedNotices.h"

namespace
{
constexpr uint16_t kMe = 2;
constexpr uint16_t kBob = 4;
constexpr uint16_t kStranger = 9;

struct RecordedRecordingView : IRecordingView
{
    bool bChief = false;
    std::vector<std::string> calls;

    bool IsChief() const override { return bChief; }
    void StopRecordForServer() override { calls.push_back("stop own recording"); }
    void EnableServerRecordMenu(bool bEnable) override
    {
        calls.push_back(bEnable ? "server menu on" : "server menu off");
    }
    void EnableRecordButtons(bool bEnable) override
    {
        calls.push_back(bEnable ? "record buttons on" : "record buttons off");
    }
    void LayoutRoom() override { calls.push_back("layout"); }
    std::u16string RecordFolder() override { return u"C:\\Temp\\"; }
    void StartServerMp4Record(const std::u16string& szTarget) override
    {
        calls.push_back("mp4 " + std::string(szTarget.begin(), szTarget.end()));
    }
};

// A room with this client and Bob in it, and the feature's recorders.
struct Fixture
{
    CRoomState room;
    RecordedNotices notices;
    RecordedRecordingView view;
    RecordedLog log;
    CRecordingFeature recording{room, notices, view, &log};

    explicit Fixture(bool bChief = false)
    {
        room.info.wRoomIndex = 7;
        room.wMyChannel = kMe;
        for (auto [wChannel, szName] : {std::pair{kMe, u"Me"}, std::pair{kBob, u"Bob"}})
        {
            S_ROOMUSERINFO user;
            user.channel = wChannel;
            user.Name = szName;
            room.users.AddUser(user);
        }
        view.bChief = bChief;
    }
};
} // namespace

TEST(RecordingFeature, NoticesNameTheRecordingMember)
{
    struct
    {
        uint16_t wCommand;
        uint16_t wChannel;
        uint16_t wFlag;
        const char16_t* pszNotice;
        const char* pszLog;
    } cases[] = {
        {INFO_CONF_RECORD, kBob, RECORDNOTICE_START, u"Bob <IDS_RECORD_START_OTHERUSER>",
         "2 [INFO_CONF_RECORD] Bob <IDS_RECORD_START_OTHERUSER>"},
        {INFO_CONF_RECORD, kBob, RECORDNOTICE_STOP, u"Bob <IDS_RECORD_END_OTHERUSER>",
         "2 [INFO_CONF_RECORD] Bob <IDS_RECORD_END_OTHERUSER>"},
        // A member's own recording has no failure text: it ended.
        {INFO_CONF_RECORD, kBob, RECORDNOTICE_FAIL, u"Bob <IDS_RECORD_END_OTHERUSER>",
         "2 [INFO_CONF_RECORD] Bob <IDS_RECORD_END_OTHERUSER>"},
        {INFO_CONF_RECORD, kStranger, RECORDNOTICE_START, u" <IDS_RECORD_START_OTHERUSER>",
         "2 [INFO_CONF_RECORD]  <IDS_RECORD_START_OTHERUSER>"},
        {INFO_CONF_SERVERRECORD, kBob, RECORDNOTICE_START,
         u"<IDS_RECORD_SERVER> Bob <IDS_RECORD_START_OTHERUSER>",
         "2 [INFO_CONF_SERVERRECORD] <IDS_RECORD_SERVER> Bob <IDS_RECORD_START_OTHERUSER>"},
        {INFO_CONF_SERVERRECORD, kBob, RECORDNOTICE_STOP,
         u"<IDS_RECORD_SERVER> Bob <IDS_RECORD_END_OTHERUSER>",
         "2 [INFO_CONF_SERVERRECORD] <IDS_RECORD_SERVER> Bob <IDS_RECORD_END_OTHERUSER>"},
        {INFO_CONF_SERVERRECORD, kBob, RECORDNOTICE_FAIL, u"<IDS_RECORD_SERVER> <IDS_RECORD_FAIL_OTHERUSER>",
         "2 [INFO_CONF_SERVERRECORD] <IDS_RECORD_SERVER> <IDS_RECORD_FAIL_OTHERUSER>"},
    };
    for (const auto& c : cases)
    {
        Fixture f;
        f.recording.OnRecordNotice(c.wCommand, QNRecordNotice{c.wChannel, c.wFlag});
        EXPECT_EQ(std::vector<std::u16string>{c.pszNotice}, f.notices.chatNotices) << c.pszLog;
        EXPECT_EQ(std::vector<std::string>{c.pszLog}, f.log.lines);
        EXPECT_TRUE(f.view.calls.empty()) << c.pszLog;
    }
}

TEST(RecordingFeature, RefusalOffersTheServerRecordMenuToTheChiefOnly)
{
    for (bool bChief : {true, false})
    {
        Fixture f(bChief);
        f.recording.OnServerRecordRefused();
        EXPECT_EQ(std::vector<std::u16string>{u"<IDS_RECORD_SERVER> <IDS_RECORD_FAIL_OTHERUSER>"},
                  f.notices.chatNotices);
        EXPECT_EQ(
            std::vector<std::string>{
                "4 [NAK_CONF_SERVERRECORD] <IDS_RECORD_SERVER> <IDS_RECORD_FAIL_OTHERUSER>"},
            f.log.lines);
        EXPECT_EQ(std::vector<std::string>{bChief ? "server menu on" : "server menu off"}, f.view.calls);
    }
}

TEST(RecordingFeature, ServerRecordingOfThisRoom)
{
    struct
    {
        const char* pszCase;
        bool bChief;
        uint16_t wFlag;
        const char16_t* pszTarget;
        std::vector<std::string> calls;
        std::vector<std::string> log;
    } cases[] = {
        {"start",
         false,
         RECORDNOTICE_START,
         u"Weekly",
         {"stop own recording", "mp4 C:\\Temp\\Weekly.mp4", "record buttons on", "layout"},
         {"2 [INFO_CONF_SERVERRECORD] target C:\\Temp\\Weekly.mp4",
          "2 [INFO_CONF_SERVERRECORD] <IDS_RECORD_SERVER> Me <IDS_RECORD_START_OTHERUSER>"}},
        {"start with a name that leaves the folder",
         false,
         RECORDNOTICE_START,
         u"..\\..\\Windows\\x",
         {"stop own recording", "mp4 C:\\Temp\\ServerRecord.mp4", "record buttons on", "layout"},
         {"2 [INFO_CONF_SERVERRECORD] target C:\\Temp\\ServerRecord.mp4",
          "2 [INFO_CONF_SERVERRECORD] <IDS_RECORD_SERVER> Me <IDS_RECORD_START_OTHERUSER>"}},
        {"stop, chief",
         true,
         RECORDNOTICE_STOP,
         u"",
         {"server menu on"},
         {"2 [INFO_CONF_SERVERRECORD] <IDS_RECORD_SERVER> Me <IDS_RECORD_END_OTHERUSER>"}},
        {"stop, not chief",
         false,
         RECORDNOTICE_STOP,
         u"",
         {"server menu off"},
         {"2 [INFO_CONF_SERVERRECORD] <IDS_RECORD_SERVER> Me <IDS_RECORD_END_OTHERUSER>"}},
        {"failed, chief",
         true,
         RECORDNOTICE_FAIL,
         u"",
         {"server menu on"},
         {"2 [INFO_CONF_SERVERRECORD] <IDS_RECORD_SERVER> <IDS_RECORD_FAIL_OTHERUSER>"}},
    };
    for (const auto& c : cases)
    {
        Fixture f(c.bChief);
        f.recording.OnServerRecordLocal(QNServerRecordLocal{c.wFlag, c.pszTarget});
        EXPECT_EQ(c.calls, f.view.calls) << c.pszCase;
        EXPECT_EQ(c.log, f.log.lines) << c.pszCase;
        EXPECT_EQ(1u, f.notices.chatNotices.size()) << c.pszCase;
    }
}

TEST(RecordingFeature, RecorderStateIsKeptAndRecordingOfferedOnlyWhileIdle)
{
    struct
    {
        bool bChief;
        uint16_t wState;
        std::vector<std::string> calls;
        uint16_t wRecorder = kBob;
    } cases[] = {
        {true, 0, {"server menu on", "record buttons on"}},
        {true, 1, {"server menu off", "record buttons off"}},
        {false, 0, {"server menu off", "record buttons on"}},
        {false, 1, {"server menu off", "record buttons off"}},
        // This user's own recording keeps its record button for the stop.
        {false, 1, {"server menu off", "record buttons on"}, kMe},
    };
    for (const auto& c : cases)
    {
        Fixture f(c.bChief);
        f.recording.OnRecorderState(QNRecorderState{7, c.wState, c.wRecorder});
        EXPECT_EQ(c.wState, f.room.wRecorderState);
        EXPECT_EQ(c.calls, f.view.calls) << c.bChief << "/" << c.wState;
        EXPECT_TRUE(f.notices.chatNotices.empty());
        EXPECT_TRUE(f.log.lines.empty());
    }
}
