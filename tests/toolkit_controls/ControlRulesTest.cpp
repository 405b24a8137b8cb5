// Window-free rules of the skinned controls: font styles, ampersands, word wrap, bar lengths, snake movement.
#include "confclient/toolkit/controls/ControlRules.h"
#include <gtest/gtest.h>

TEST(ControlRules, FontStyleSplitsWeightAndFlags)
{
    struct Case
    {
        int style, weight;
        bool italic, underline, strike;
    };
    const Case cases[] = {
        {706, 700, true, true, false}, {400, 400, false, false, false}, {408, 400, false, false, true},
        {14, 0, true, true, true},     {902, 900, true, false, false},  {0, 0, false, false, false},
    };
    for (const Case& c : cases)
    {
        FontStyle fs = DecodeFontStyle(c.style);
        EXPECT_EQ(fs.nWeight, c.weight) << c.style;
        EXPECT_EQ(fs.bItalic, c.italic) << c.style;
        EXPECT_EQ(fs.bUnderline, c.underline) << c.style;
        EXPECT_EQ(fs.bStrikeOut, c.strike) << c.style;
    }
}

TEST(ControlRules, AmpersandsAreDoubled)
{
    EXPECT_EQ(EscapeAmpersands(std::u16string(u"Fish & Chips")), u"Fish && Chips");
    EXPECT_EQ(EscapeAmpersands(std::u16string(u"&&&")), u"&&&&&&");
    EXPECT_EQ(EscapeAmpersands(std::u16string(u"none")), u"none");
}

TEST(ControlRules, WordWrapBreaksAtSpacesToTheWidth)
{
    // Every character is 10 pixels wide.
    auto measure = [](const std::u16string& s) { return static_cast<int>(s.size()) * 10; };
    struct Case
    {
        const char16_t* text;
        int width;
        const char16_t* wrapped;
    };
    const Case cases[] = {
        {u"one two three", 80, u"one two \nthree "},
        {u"one two three", 200, u"one two three "},
        // A word wider than the label stands alone on its line.
        {u"a verylongword b", 50, u"a \nverylongword\nb "},
        {u"verylongword", 50, u"verylongword\n"},
        {u"x  y", 20, u"x  \ny "},
        {u"", 50, u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WrapWords(std::u16string(c.text), c.width, measure), c.wrapped)
            << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
}

TEST(ControlRules, BarLength)
{
    struct Case
    {
        int pos, lower, upper, extent, length;
    };
    const Case cases[] = {
        {50, 0, 100, 200, 100}, {0, 0, 100, 200, 0},     {100, 0, 100, 200, 200}, {33, 0, 100, 200, 66},
        {15, 10, 20, 100, 50},  {150, 0, 100, 200, 200}, {-5, 0, 100, 200, 0},    {50, 0, 0, 200, 0},
        {50, 100, 0, 200, 0},   {50, 0, 100, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BarLength(c.pos, c.lower, c.upper, c.extent), c.length)
            << c.pos << " in " << c.lower << ".." << c.upper << " over " << c.extent;
}

TEST(ControlRules, SnakeStaysWithinRangePlusItsSize)
{
    // Range 0..100, snake 10: the head runs over 0..110.
    int dir = 1;
    EXPECT_EQ(SnakeStep(0, 10, 0, 100, 10, false, dir), 10);
    EXPECT_EQ(SnakeStep(105, 10, 0, 100, 10, false, dir), 5);
    EXPECT_EQ(SnakeStep(100, 10, 0, 100, 10, false, dir), 0);

    dir = 1;
    EXPECT_EQ(SnakeStep(105, 10, 0, 100, 10, true, dir), 105);
    EXPECT_EQ(dir, -1);
    EXPECT_EQ(SnakeStep(105, 10, 0, 100, 10, true, dir), 95);
    EXPECT_EQ(dir, -1);
    EXPECT_EQ(SnakeStep(5, 10, 0, 100, 10, true, dir), 5);
    EXPECT_EQ(dir, 1);

    // Any walk stays inside.
    for (bool bounce : {false, true})
    {
        int pos = 0;
        dir = 1;
        for (int i = 0; i < 500; ++i)
        {
            pos = SnakeStep(pos, 7 + i % 13, 20, 60, 10, bounce, dir);
            ASSERT_GE(pos, 20);
            ASSERT_LE(pos, 70);
        }
    }
    // An empty range parks the snake at the start.
    EXPECT_EQ(SnakeStep(50, 10, 10, 10, 0, true, dir), 10);
}

TEST(ControlRules, PositionFormatTakesExactlyOneInt)
{
    struct Case
    {
        const char16_t* format;
        bool ok;
    };
    const Case cases[] = {
        {u"%d", true},    {u"%d%%", true}, {u"Sent %d of 10", true}, {u"%s", false}, {u"%d %d", false},
        {u"100%", false}, {u"", false},    {u"%%", false},           {u"%x", false}, {u"%n%d", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsPositionFormat(std::u16string(c.format)), c.ok)
            << std::string(c.format, c.format + std::char_traits<char16_t>::length(c.format));
}
