// The room window's commands: another room's records are not this room's, a player takes no
// live view commands, and the view hears only of changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/room/RoomViewFeature.h"
#include "tests/session/RecordedLog.h"
#include "tests/session/RecordedNotices.h"

namespace
{
struct RecordedRoomView : IRoomView
{
    bool bPlayer = false;
    std::vector<std::string> calls;

    bool IsPlayerMode() const override { return bPlayer; }
    void OnRoomTypeChanged() override { calls.push_back("type changed"); }
    void ShowViewMode(uint16_t wViewMode) override { calls.push_back("mode " + std::to_string(wViewMode)); }
    void QueryRecorderState() override { calls.push_back("query recorder"); }
    void StartChiefAutoRecord() override { calls.push_back("auto record"); }
    void MaximizeRoom(bool bMaximize) override { calls.push_back(bMaximize ? "maximize" : "restore"); }
    void SetOwnVideoFloating(int nMode) override { calls.push_back("float " + std::to_string(nMode)); }
    bool bFullScreen = false;
    bool IsRoomFullScreen() const override { return bFullScreen; }
    void OnLectureChanged() override { calls.push_back("lecture"); }
    void SetRoomFullScreen(bool bOn) override
    {
        bFullScreen = bOn;
        calls.push_back(bOn ? "full screen" : "normal");
    }
};

struct Room
{
    CRoomState state;
    RecordedRoomView view;
    RecordedNotices notices;
    RecordedLog log;
    CRoomViewFeature feature{state, view, notices, &log};

    Room()
    {
        QNRoomInfo info;
        info.wRoomIndex = 5;
        info.wMyChannel = 2;
        info.wRoomType = 1;
        state.Enter(info, false);
    }
};
} // namespace

TEST(RoomViewFeature, RoomTypeOfThisRoomOnly)
{
    Room room;
    room.feature.OnRoomType({6, 8, 0x100});
    EXPECT_TRUE(room.view.calls.empty()) << "another room's type";
    EXPECT_EQ(1, room.state.info.wRoomType);

    room.feature.OnRoomType({5, 8, 0x100});
    EXPECT_EQ(std::vector<std::string>{"type changed"}, room.view.calls);
    EXPECT_EQ(8, room.state.info.wRoomType);
    EXPECT_EQ(0x100u, room.state.info.dwFlags);
    EXPECT_EQ(std::vector<std::string>{"2 [INFO_CONF_CONFTYPE] RoomType:8"}, room.log.lines);

    Room none;
    none.state.Leave();
    none.feature.OnRoomType({0, 8, 0});
    EXPECT_TRUE(none.view.calls.empty()) << "no room: nothing to change";

    room.feature.OnRoomTypeRefused();
    EXPECT_EQ(std::vector<std::u16string>{u"<IDS_ROOMTYPE_NONCHANGE>"}, room.notices.boxes);
}

TEST(RoomViewFeature, ViewModeChangesAndTheRecorderPage)
{
    struct
    {
        const char* pszCase;
        bool bPlayer;
        QNViewMode mode;
        std::vector<std::string> calls;
    } cases[] = {
        {"new mode", false, {5, 2, 1}, {"mode 2"}},
        {"same mode again", false, {5, 0, 0}, {}},
        {"recorder page", false, {5, 3, 4}, {"mode 3", "query recorder", "auto record"}},
        {"another room", false, {6, 2, 1}, {}},
        {"player", true, {5, 2, 1}, {}},
        {"full screen", false, {5, 0, 0, 1}, {"full screen"}},
        {"full screen with a mode", false, {5, 1, 0, 1}, {"mode 1", "full screen"}},
    };
    for (const auto& c : cases)
    {
        Room room;
        room.view.bPlayer = c.bPlayer;
        room.feature.OnViewMode(c.mode);
        EXPECT_EQ(c.calls, room.view.calls) << c.pszCase;
        if (!c.calls.empty() && c.calls[0].rfind("mode", 0) == 0)
        {
            EXPECT_EQ(c.mode.wViewMode, room.state.wViewMode) << c.pszCase;
            EXPECT_EQ(c.mode.wModeValue, room.state.wModeValue) << c.pszCase;
        }
    }
}

TEST(RoomViewFeature, MaximizeFloatAndRoomState)
{
    Room room;
    room.feature.OnMaximize({1, 1});
    room.feature.OnMaximize({1, 0});
    room.feature.OnMaximize({2, 1}); // not a room-window marker
    room.feature.OnFloatVideo({1, 2});
    room.feature.OnFloatVideo({1, 3}); // someone else's video
    EXPECT_EQ((std::vector<std::string>{"maximize", "restore", "float 1"}), room.view.calls);

    room.view.bPlayer = true;
    room.feature.OnMaximize({1, 1});
    room.feature.OnRoomState(NTF_CONF_STATE, {5, 7, 0});
    EXPECT_EQ(0, room.state.wRoomState) << "a notification is not replayed into a player";
    room.feature.OnRoomState(INFO_CONF_STATE, {5, 7, 0});
    EXPECT_EQ(7, room.state.wRoomState);
    room.feature.OnRoomState(INFO_CONF_STATE, {6, 9, 0});
    EXPECT_EQ(7, room.state.wRoomState) << "another room's state";
    EXPECT_EQ(3u, room.view.calls.size()) << "a player's room window is not maximised";

    // The lecture's state and length: a change restarts the conference time, a repeat does not.
    room.feature.OnRoomState(INFO_CONF_STATE, {5, 1, 0, 1, 45});
    room.feature.OnRoomState(INFO_CONF_STATE, {5, 1, 0, 1, 45});
    EXPECT_EQ(1, room.state.wLectureState);
    EXPECT_EQ(45, room.state.wLectureMinutes);
    EXPECT_EQ((std::vector<std::string>{"maximize", "restore", "float 1", "lecture"}), room.view.calls);
}
