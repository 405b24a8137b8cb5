// The Draw menu's board tools: what each command does to the board, and where the checks go.
#include <gtest/gtest.h>

#include "confclient/room/BoardTools.h"

TEST(BoardTools, CommandsDoWhatTheMenuSays)
{
    struct Row
    {
        int nCommand;
        S_BOARDACTIONS expected;
        int nTool; // the checked tool afterwards
    } rows[] = {
        {32964, {6, {}, {}, {}, false, false}, 32964},
        {32928, {0, 5, {}, {}, false, false}, 32928},
        {32929, {1, 5, {}, {}, false, false}, 32929},
        {33005, {13, 5, {}, {}, false, false}, 33005},
        {32989, {7, 5, {}, {}, false, false}, 32989},
        {32994, {12, 5, {}, {}, false, false}, 32994},
        {32939, {5, {}, {}, {}, false, false}, 32939},
        {32940, {4, {}, {}, {}, false, false}, 32940},
        {1394, {3, {}, {}, {}, false, false}, 1394},
        {1399, {{}, {}, {}, {}, false, true}, 1394}, // the font: the tool stays
        {1395, {2, {}, {}, {}, false, false}, 1395},
        {1398, {{}, {}, {}, {}, true, false}, 1395}, // erase all: the tool stays
        {32941, {{}, {}, {}, 25, false, false}, 1395},
        {32948, {{}, {}, {}, 300, false, false}, 1395},
        {32949, {{}, {}, {}, 4096, false, false}, 1395},
        {32950, {{}, {}, {}, 8192, false, false}, 1395},
        {32917, {{}, {}, {}, {}, false, false, true, false}, 1395},
        {32963, {{}, {}, {}, {}, false, false, false, true}, 1395},
    };
    CBoardTools tools;
    for (const Row& r : rows)
    {
        std::optional<S_BOARDACTIONS> a = tools.OnCommand(r.nCommand);
        ASSERT_TRUE(a) << r.nCommand;
        EXPECT_EQ(*a, r.expected) << r.nCommand;
        EXPECT_EQ(tools.Tool(), r.nTool) << r.nCommand;
    }
    EXPECT_EQ(tools.ZoomCommand(), 32950);
    EXPECT_FALSE(tools.OnCommand(32987)) << "the custom zoom asks for a value first";
    EXPECT_FALSE(tools.OnCommand(32932)) << "the colour picker is no tool";
    EXPECT_FALSE(tools.OnCommand(1003));
}

TEST(BoardTools, PenAndHighlighterKeepTheirOwnWidths)
{
    CBoardTools tools;
    EXPECT_EQ(tools.CheckedWidthCommand(), 32935);
    EXPECT_EQ(tools.OnCommand(32937)->nLineThick, 20); // the pen's width
    S_BOARDACTIONS a = *tools.OnCommand(CBoardTools::kHighlighter);
    EXPECT_EQ(a, (S_BOARDACTIONS{0, 10, true, {}, false, false}));
    EXPECT_EQ(tools.CheckedWidthCommand(), 32936);
    EXPECT_EQ(tools.OnCommand(32938)->nLineThick, 30); // now the highlighter's
    EXPECT_EQ(tools.HighlighterWidthCommand(), 32938);
    EXPECT_EQ(tools.PenWidthCommand(), 32937);
    // Back to the pen: the highlighter goes off and the pen's width comes back.
    EXPECT_EQ(*tools.OnCommand(CBoardTools::kPenTool), (S_BOARDACTIONS{0, 20, false, {}, false, false}));
    EXPECT_EQ(tools.CheckedWidthCommand(), 32937);
    // A tool after a tool does not switch the highlighter off again.
    EXPECT_FALSE(tools.OnCommand(32929)->bFluorescent);
}
