// A failed call shows its reason's text, when it has one, and is always logged; a call's end
// has no window to reach.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/people/CallFeature.h"
#include "confclient/session/roomdispatch/RoomDispatcher.h"
#include "tests/session/RecordedNotices.h"
#include "tests/core/TestLogs.h"

TEST(CallFeature, FailureShowsItsTextAndIsLogged)
{
    struct
    {
        const char* pszCase;
        uint16_t wCommand;
        uint32_t dwExtra;
        std::vector<std::u16string> boxes;
        std::vector<std::string> log;
    } cases[] = {
        {"timeout", NAK_CALL, 3, {u"<IDS_DIFFER_INVITE_ERROR_TIMEOUT>"}, {"4 [CALL] failed (3)"}},
        {"busy", NAK_CALL, 101, {u"<IDS_DIFFER_INVITE_ERROR_SS486>"}, {"4 [CALL] failed (101)"}},
        {"code without a text", NAK_CALL, 105, {}, {"4 [CALL] failed (105)"}},
        {"call ended", INFO_CALL_END, 0, {}, {}},
    };
    for (const auto& c : cases)
    {
        RecordedNotices notices;
        LogLines log;
        CCallFeature call(notices, &log);
        RoomHandlers handlers{.pCall = &call};
        QNPacketDesc desc;
        desc.dwExtra = c.dwExtra;
        DispatchRoomCommand(handlers, &log, c.wCommand, desc);
        EXPECT_EQ(c.boxes, notices.boxes) << c.pszCase;
        EXPECT_EQ(c.log, log.lines) << c.pszCase;
    }
}
