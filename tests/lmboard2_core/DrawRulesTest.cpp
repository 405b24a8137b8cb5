// The drawing rules of local input: clamping, snapping, outline colours, pointer placement.
#include <gtest/gtest.h>

#include "lmboard2/records/DrawRules.h"

TEST(DrawRules, PointsAreClampedToThePage)
{
    struct Case
    {
        uint8_t byMode, byWidth;
        DrawPt in, out;
    } cases[] = {
        {DRAW_PEN, 9, {1700, 50}, {1596, 50}}, // width 9 keeps 4 from the right edge
        {DRAW_RECT, 10, {-3, 1300}, {0, 1195}},
        {DRAW_ERASER, 9, {1599, 1199}, {1573, 1173}},
        {DRAW_PEN, 1, {800, 600}, {800, 600}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.out, ClampToPage(c.in, 1600, 1200, ClampMargin(c.byMode, c.byWidth)));
}

TEST(DrawRules, StraightLinesSnapToTheLongerAxis)
{
    EXPECT_EQ((DrawPt{110, 50}), SnapStraight({10, 50}, {110, 80}));
    EXPECT_EQ((DrawPt{10, 0}), SnapStraight({10, 50}, {40, 0}));
    EXPECT_EQ((DrawPt{30, 50}), SnapStraight({10, 50}, {30, 30})); // a tie is horizontal
}

TEST(DrawRules, OutlineIsEachChannelLess30)
{
    EXPECT_EQ(0x00000000u, OutlineColor(0x00141414));
    EXPECT_EQ(0x00B26E00u, OutlineColor(0x00D08C19)); // red 25 becomes 0
    EXPECT_EQ(0x00000000u, OutlineColor(0x001E1E1E));
    EXPECT_EQ(0x00E1E1E1u, OutlineColor(0x00FFFFFF));
}

TEST(DrawRules, PointerStaysWhereItsWindowFits)
{
    PointerPlace p = PlacePointer({10, 2}, 800, 600);
    EXPECT_EQ((DrawPt{32, 5}), p.pt);
    EXPECT_EQ((DrawPt{0, 0}), p.window);
    p = PlacePointer({900, 700}, 800, 600);
    EXPECT_EQ((DrawPt{800, 589}), p.pt);
    EXPECT_EQ((DrawPt{768, 584}), p.window);
}
