// Layout table, room-type table and the room rectangle rules with an injected work area.
#include <gtest/gtest.h>

#include <map>

#include "confclient/session/layout/RoomLayout.h"

namespace
{
// The layout text as the keyed-text reader would present it.
struct LayoutText
{
    std::u16string raw;
    std::map<std::u16string, std::u16string> keys;
    std::u16string operator()(const std::u16string& k) const
    {
        auto it = keys.find(k);
        return it == keys.end() ? u"" : it->second;
    }
};
} // namespace

TEST(LayoutTable, SectionsMakeRecords)
{
    LayoutText text{u"VOICEPEKMETER=1,2,3\n[1]\nVideoCount=2\n[20]\nVideoCount=4\n",
                    {{u"VOICEPEKMETER", u"1,2,3"},
                     {u"VOICEPEKMETERBACK", u"7,8"},
                     {u"1_VideoCount", u"2"},
                     {u"1_VideoWidthLineCount", u"2"},
                     {u"1_NomalVideoSendSize", u"320,240"},
                     {u"1_BigVideoSendSize", u"640"},
                     {u"20_VideoCount", u"4"}}};
    CLayoutTable table;
    table.Load(text.raw, std::cref(text));
    ASSERT_NE(nullptr, table.GetLayoutInfo(1, 0));
    ASSERT_NE(nullptr, table.GetLayoutInfo(20, 0));
    for (uint16_t t : {2, 3, 19, 21, 50})
        EXPECT_EQ(nullptr, table.GetLayoutInfo(t, 0)) << t;

    const CRoomInfo& one = *table.GetLayoutInfo(1, 0);
    EXPECT_EQ(2, one.VideoCount);
    EXPECT_EQ(2, one.VideoWidthLineCount);
    EXPECT_EQ(0, one.VideoHeightLineCount);
    EXPECT_EQ(320, one.NomalVideoSendSize[0]);
    EXPECT_EQ(240, one.NomalVideoSendSize[1]);
    EXPECT_EQ(640, one.BigVideoSendSize[0]);
    EXPECT_EQ(0, one.BigVideoSendSize[1]); // a missing comma field counts as 0

    EXPECT_EQ(table.GetLayoutInfo(20, 0), table.GetLayoutInfo(51, 20)); // out of range: the current type
    EXPECT_EQ(nullptr, table.GetLayoutInfo(0, 0));
    EXPECT_EQ(1, table.MeterColour().r);
    EXPECT_EQ(3, table.MeterColour().b);
    EXPECT_EQ(8, table.MeterBackColour().g);
    EXPECT_EQ(0, table.MeterBackColour().b);
}

TEST(LayoutTable, NoResourceKeepsTheDefaults)
{
    CLayoutTable table;
    table.Load(u"", [](const std::u16string&) { return std::u16string(u"9,9,9"); });
    EXPECT_EQ(109, table.MeterColour().r);
    EXPECT_EQ(190, table.MeterBackColour().b);
    EXPECT_EQ(nullptr, table.GetLayoutInfo(1, 1));
}

TEST(RoomTypes, VideoCounts)
{
    struct
    {
        uint16_t type, count;
    } rows[] = {{1, 2},   {50, 2},    {3, 4},     {4, 9},     {6, 16},    {7, 43},  {8, 0},
                {11, 3},  {22, 1},    {25, 6},    {26, 10},   {27, 13},   {17, 25}, {18, 30},
                {19, 36}, {28, 19},   {29, 22},   {30, 5},    {31, 7},    {32, 33}, {33, 46},
                {34, 49}, {5, 65535}, {9, 65535}, {0, 65535}, {35, 65535}};
    for (auto r : rows)
        EXPECT_EQ(r.count, VideoCountOfType(r.type)) << r.type;
    EXPECT_EQ(0, ClampViewCount(-3));
    EXPECT_EQ(49, ClampViewCount(65535));
    EXPECT_EQ(16, ClampViewCount(16));
}

TEST(RoomPosition, SavedOrCentred)
{
    const S_RECT screen{0, 0, 1920, 1080};
    const S_RECT work{0, 0, 1920, 1040};
    const S_RECT centred{1920 / 2 - 512, 520 - 369, 1920 / 2 + 512, 520 + 369};
    struct
    {
        const char16_t* saved;
        S_RECT expected;
        bool bMax;
    } rows[] = {
        {u"1,100,50,800,600", {100, 50, 900, 650}, true},
        {u"2,100,50,800,600", {100, 50, 900, 650}, false},
        {u"0,0,50,800,600", centred, false},    // left 0 is refused
        {u"0,100,0,800,600", centred, false},   // so is top 0
        {u"0,100,50,0,600", centred, false},    // and an empty rectangle
        {u"0,1500,50,800,600", centred, false}, // and one beyond the screen
        {u"0,-10,50,800,600", centred, false},
        {u"1,100,50,800", centred, false}, // fewer than five fields
        {u"", centred, false},
    };
    for (auto r : rows)
    {
        S_ROOMPOSITION p = ComputeRoomPosition(r.saved, work, screen);
        EXPECT_EQ(r.expected, p.rect)
            << std::string(r.saved, r.saved + std::char_traits<char16_t>::length(r.saved));
        EXPECT_EQ(r.bMax, p.bMaximized);
    }
}

TEST(RoomPosition, SmallWorkAreas)
{
    const S_RECT screen{0, 0, 1024, 768};
    S_ROOMPOSITION p = ComputeRoomPosition(u"", {0, 0, 1024, 768}, screen);
    EXPECT_EQ((S_RECT{0, 15, 1024, 753}), p.rect);
    p = ComputeRoomPosition(u"", {0, 0, 1024, 738}, screen);
    EXPECT_EQ((S_RECT{0, 0, 1024, 738}), p.rect);
    p = ComputeRoomPosition(u"", {0, 0, 800, 600}, screen); // larger than the work area: the work area
    EXPECT_EQ((S_RECT{0, 0, 800, 600}), p.rect);

    S_ROOMPOSITION saved{{100, 50, 900, 650}, true};
    EXPECT_EQ(u"1,100,50,800,600", FormatRoomPosition(saved));
    EXPECT_EQ(saved.rect,
              ComputeRoomPosition(FormatRoomPosition(saved), {0, 0, 1920, 1040}, {0, 0, 1920, 1080}).rect);
}
