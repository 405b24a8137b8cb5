// Slider formulas, clamps and keys.
#include <gtest/gtest.h>

#include "confclient/toolkit/slidermath/SliderMath.h"

namespace
{
const SliderAxis kAxis{200, 4, 6, 10}; // track 200 - 6 - 10 - 4 = 180 pixels
}

TEST(SliderMath, PositionAndPixel)
{
    SliderRange r{0, 100};
    struct
    {
        int pos, pixel;
    } rows[] = {{0, 9}, {100, 189}, {50, 99}, {1, 11}}; // 9 + trunc(pos / 100 * 180 + 0.9)
    for (auto row : rows)
        EXPECT_EQ(row.pixel, SliderPosToPixel(row.pos, r, kAxis)) << row.pos;
    for (int pos : {0, 25, 50, 75, 100})
        EXPECT_EQ(pos, SliderPixelToPos(SliderPosToPixel(pos, r, kAxis), r, kAxis));

    SliderRange shifted{-50, 50};
    EXPECT_EQ(9, SliderPosToPixel(-50, shifted, kAxis));
    EXPECT_EQ(-50, SliderPixelToPos(9, shifted, kAxis));
}

TEST(SliderMath, EmptyRangeDoesNotDivideByZero)
{
    SliderRange empty{30, 30};
    EXPECT_EQ(9, SliderPosToPixel(30, empty, kAxis)); // the track's start
    EXPECT_EQ(30, SliderPixelToPos(150, empty, kAxis));
    EXPECT_EQ(0, SliderPixelToPos(5, {0, 100}, {10, 0, 0, 10})); // a track of no length
}

TEST(SliderMath, Clamps)
{
    SliderRange r{10, 90};
    EXPECT_EQ(90, ClampSliderPos(200, r));
    EXPECT_EQ(10, ClampSliderPos(-5, r));
    EXPECT_EQ(42, ClampSliderPos(42, r));
    EXPECT_EQ(9, ClampThumbCentre(0, kAxis));
    EXPECT_EQ(189, ClampThumbCentre(500, kAxis));
    EXPECT_EQ(100, ClampThumbCentre(100, kAxis));
}

TEST(SliderMath, DragOffsetJumpsWhenFarFromTheThumb)
{
    EXPECT_EQ(3, DragOffset(103, 100, 10));
    EXPECT_EQ(-5, DragOffset(95, 100, 10));
    EXPECT_EQ(0, DragOffset(106, 100, 10));
    EXPECT_EQ(0, DragOffset(20, 100, 10));
}

TEST(SliderMath, Keys)
{
    SliderRange r{0, 100};
    struct
    {
        SliderKey key;
        int from, to;
    } rows[] = {{SliderKey::PageUp, 50, 30},    {SliderKey::PageDown, 50, 70}, {SliderKey::PageUp, 5, 0},
                {SliderKey::PageDown, 95, 100}, {SliderKey::Home, 50, 0},      {SliderKey::End, 50, 100},
                {SliderKey::Left, 50, 49},      {SliderKey::Up, 0, 0},         {SliderKey::Right, 50, 51},
                {SliderKey::Down, 100, 100}};
    for (auto row : rows)
        EXPECT_EQ(row.to, SliderKeyPos(row.key, row.from, 20, r));
}
