// The board preview's rules: placement from the stored value, page buttons and keys, control
// places and border drags.
#include <gtest/gtest.h>

#include "confclient/boardhost/PreviewRules.h"

namespace
{
// The room main view at (200, 100)-(1400, 900) on a 1600 x 1000 work area: the defaults are
// x 750 (half of the view right of half its left), y 159 (54 + 5 below its top), width 650,
// height 741; widths from 650 and heights from 373 are kept.
const PreviewBox kView{200, 100, 1400, 900};
const PreviewBox kWork{0, 0, 1600, 1000};
} // namespace

TEST(PreviewRules, StoredPlaceIsCheckedValueByValue)
{
    struct Row
    {
        const char* stored;
        PreviewPos placed;
    } rows[] = {
        {"800,200,700,400", {800, 200, 700, 400}},
        {"", {750, 159, 650, 741}},
        {"not a place", {750, 159, 650, 741}},
        {"800,200", {800, 200, 650, 741}},
        {"0,0,650,373", {750, 159, 650, 373}},
        {"1600,1000,649,372", {750, 159, 650, 741}},
        {"1599,999,1600,1000", {1599, 999, 1600, 1000}},
        {"800,200,1601,1001", {800, 200, 650, 741}}, // wider or higher than the work area
        {"-5,-5,700,400", {750, 159, 700, 400}},
        {"8x0,200,700,400", {750, 200, 700, 400}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(PlacePreview(ParsePreviewPos(r.stored), kView, kWork), r.placed) << r.stored;
}

TEST(PreviewRules, PageButtonsAndKeys)
{
    EXPECT_EQ(PreviewButtonState(1, 0).bPrevious, false);
    EXPECT_EQ(PreviewButtonState(1, 0).bNext, false);
    EXPECT_EQ(PreviewButtonState(0, -1).bNext, false);
    EXPECT_TRUE(PreviewButtonState(3, 0).bNext);
    EXPECT_FALSE(PreviewButtonState(3, 0).bPrevious);
    EXPECT_TRUE(PreviewButtonState(3, 1).bPrevious && PreviewButtonState(3, 1).bNext);
    EXPECT_FALSE(PreviewButtonState(3, 2).bNext);

    EXPECT_EQ(PreviewKeyPage(PreviewKey::Next, 0, 3), 1);
    EXPECT_EQ(PreviewKeyPage(PreviewKey::Next, 2, 3), std::nullopt);
    EXPECT_EQ(PreviewKeyPage(PreviewKey::Back, 0, 3), std::nullopt);
    EXPECT_EQ(PreviewKeyPage(PreviewKey::Back, 2, 3), 1);
    EXPECT_EQ(PreviewKeyPage(PreviewKey::Last, 0, 3), 2);
    EXPECT_EQ(PreviewKeyPage(PreviewKey::First, 2, 3), 0);
    EXPECT_EQ(PreviewKeyPage(PreviewKey::First, 0, 1), std::nullopt);
    EXPECT_EQ(PreviewKeyPage(PreviewKey::Last, -1, 0), std::nullopt);
}

TEST(PreviewRules, ControlsFollowTheRightEdge)
{
    PreviewControlPlaces wide = PreviewLayout(800);
    EXPECT_EQ(wide.comboWidth, 270);
    EXPECT_EQ(wide.comboX, 400);
    EXPECT_EQ(wide.nextX, 670);
    EXPECT_EQ(wide.previousX, 700);
    EXPECT_EQ(wide.minimizeX, 742);
    EXPECT_EQ(wide.maximizeX, 760);
    EXPECT_EQ(wide.closeX, 778);
    PreviewControlPlaces narrow = PreviewLayout(400);
    EXPECT_EQ(narrow.comboWidth, 230);
    EXPECT_EQ(narrow.comboX, 40);
}

TEST(PreviewRules, BordersAndDragsKeepTheSizeWithinLimits)
{
    EXPECT_EQ(PreviewEdgeAt(0, 0, 600, 300), EDGE_TOP_LEFT);
    EXPECT_EQ(PreviewEdgeAt(599, 150, 600, 300), EDGE_RIGHT);
    EXPECT_EQ(PreviewEdgeAt(300, 296, 600, 300), EDGE_BOTTOM);
    EXPECT_EQ(PreviewEdgeAt(599, 299, 600, 300), EDGE_BOTTOM_RIGHT);
    EXPECT_EQ(PreviewEdgeAt(300, 150, 600, 300), 0);

    const PreviewBox window{100, 100, 700, 400};
    EXPECT_EQ(ResizePreview(window, EDGE_RIGHT, 900, 0, kWork), (PreviewBox{100, 100, 900, 400}));
    EXPECT_EQ(ResizePreview(window, EDGE_RIGHT, 300, 0, kWork), (PreviewBox{100, 100, 600, 400}))
        << "500 wide at least";
    EXPECT_EQ(ResizePreview(window, EDGE_TOP_LEFT, -2000, 350, kWork), (PreviewBox{-900, 200, 700, 400}))
        << "at most the work area's width, 200 high at least";
    EXPECT_EQ(ResizePreview(window, EDGE_BOTTOM, 0, 5000, kWork), (PreviewBox{100, 100, 700, 1100}));
}
