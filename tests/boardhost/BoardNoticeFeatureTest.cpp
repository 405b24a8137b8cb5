// The board's completed transfer is told in the room chat and logged with the same text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/boardhost/BoardNoticeFeature.h"
#include "tests/session/RecordedLog.h"
#include "tests/session/RecordedNotices.h"

TEST(BoardNoticeFeature, CompleteBoardIsOneChatNoticeAndOneInfoLine)
{
    RecordedNotices notices;
    RecordedLog log;
    CBoardNoticeFeature board(notices, &log);
    board.OnBoardComplete();
    EXPECT_EQ(std::vector<std::u16string>{u"<IDMS_BOARD_RECVCOMPLETE>"}, notices.chatNotices);
    EXPECT_EQ(std::vector<std::string>{"2 [INFO_CONF_BOARDCOMPLETE] <IDMS_BOARD_RECVCOMPLETE>"}, log.lines);
    EXPECT_TRUE(notices.boxes.empty());
}
