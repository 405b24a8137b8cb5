// Menu colour shading, version codes, append flags and measures.
#include <gtest/gtest.h>

#include "confclient/toolkit/menurules/MenuRules.h"

TEST(MenuRules, LightenAndDarken)
{
    EXPECT_EQ(0x00FFFFFFu, LightenColour(0x00000000, 1.0));
    EXPECT_EQ(0x00FF7F7Fu, LightenColour(0x00FF0000, 0.5)); // 0 + 255 * 0.5 truncates to 127
    EXPECT_EQ(0x00000000u, DarkenColour(0x00FFFFFF, 1.0));
    EXPECT_EQ(0x00643264u, DarkenColour(0x00C864C8, 0.5));
    EXPECT_EQ(0x00F5F5F5u, DarkenColour(0x00F5F5F5, 0.0));
    for (double f : {-0.1, 1.5}) // out of range: unchanged
    {
        EXPECT_EQ(0x00123456u, LightenColour(0x00123456, f));
        EXPECT_EQ(0x00123456u, DarkenColour(0x00123456, f));
    }
    EXPECT_EQ(0u, LightenColour(0x01000000, 0.0) >> 24); // only the three colour bytes count
}

TEST(MenuRules, VersionCodes)
{
    struct
    {
        PlatformLine line;
        uint32_t major, minor;
        int code;
    } rows[] = {{PlatformLine::Win9x, 3, 95, 0}, {PlatformLine::Win9x, 4, 0, 2},
                {PlatformLine::Win9x, 4, 10, 3}, {PlatformLine::Win9x, 4, 90, 4},
                {PlatformLine::NT, 4, 0, 5},     {PlatformLine::NT, 5, 0, 6},
                {PlatformLine::NT, 5, 1, 7},     {PlatformLine::NT, 5, 2, 1},
                {PlatformLine::NT, 6, 1, 1},     {PlatformLine::NT, 10, 0, 1}};
    for (auto r : rows)
        EXPECT_EQ(r.code, MenuVersionCode(r.line, r.major, r.minor)) << r.major << "." << r.minor;
    EXPECT_TRUE(IsClassicThemeName(u"C:\\WINDOWS\\Resources\\Themes\\windows classic.THEME"));
    EXPECT_FALSE(IsClassicThemeName(u"C:\\WINDOWS\\Resources\\Themes\\Luna.theme"));
    EXPECT_FALSE(IsClassicThemeName(u""));
}

TEST(MenuRules, SeparatorAndOwnerDrawFlags)
{
    EXPECT_EQ(0x900u, AppendFlags(0x0, 0));
    EXPECT_EQ(0x900u, AppendFlags(0x8 | 0x1 | kMenuPopup, 0)); // everything else is dropped
    EXPECT_EQ(0xD00u, AppendFlags(kMenuByPosition | 0x8, 0));  // but the by-position bit
    EXPECT_EQ(0x108u, AppendFlags(0x8, 32972));
    EXPECT_EQ(kMenuPopup | kMenuOwnerDraw, AppendFlags(kMenuPopup, 0x1234));
}

TEST(MenuRules, Measures)
{
    EXPECT_EQ(7, MenuGap(true, true));
    EXPECT_EQ(4, MenuGap(true, false));
    EXPECT_EQ(4, MenuGap(false, true));
    EXPECT_EQ(3, MeasureSeparator(true, 7, 19).height);
    EXPECT_EQ(9, MeasureSeparator(false, 4, 19).height); // max(19 / 2, (15 + 4) / 2)
    EXPECT_EQ(11, MeasureSeparator(false, 4, 22).height);
    MenuItemSize flat = MeasureTextItem(true, 7, 50, 19);
    EXPECT_EQ(16 + 50 + 7 + 8, flat.width);
    EXPECT_EQ(22, flat.height);
    MenuItemSize raised = MeasureTextItem(false, 4, 50, 20);
    EXPECT_EQ(50 + 32 + 1, raised.width);
    EXPECT_EQ(20, raised.height);
}
