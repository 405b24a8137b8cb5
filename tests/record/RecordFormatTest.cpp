// The recording file's rules: version number, header sizes by version, the index rule,
// the tick wrap, embedded names and their safety.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "confclient/network/record/RecordFormat.h"
#include "core/ByteWriter.h"

TEST(RecordFormat, VersionNumberRunsThePartsTogether)
{
    EXPECT_EQ(5601, FileVersionNumber(5, 6, 0, 1));
    EXPECT_EQ(5430, FileVersionNumber(5, 4, 3, 0));
    EXPECT_EQ(56101, FileVersionNumber(5, 6, 10, 1));
    EXPECT_EQ(static_cast<uint16_t>(512345), FileVersionNumber(5, 12, 34, 5));
    EXPECT_GE(kRecordFileVersion, 5600);
}

TEST(RecordFormat, HeaderSizeAndFieldsFollowTheVersion)
{
    struct
    {
        uint16_t wVersion;
        size_t nSize;
        uint16_t wSkins, wExtra;
    } cases[] = {{5203, 14, 0, 0}, {5300, 14, 0, 0}, {5380, 14, 0, 0}, {5381, 16, 9, 0}, {5426, 16, 9, 0},
                 {5427, 18, 9, 7}, {5430, 18, 9, 7}, {5431, 18, 9, 7}, {5432, 16, 9, 0}, {5500, 18, 9, 7},
                 {5501, 18, 9, 7}, {5502, 16, 9, 0}, {5600, 16, 9, 0}};
    for (auto c : cases)
    {
        std::vector<uint8_t> bytes;
        ByteWriter(bytes).U16(c.wVersion).U32(11).U32(22).U32(33).U16(9).U16(7);
        EXPECT_EQ(c.nSize, RecordHeaderSize(c.wVersion)) << c.wVersion;
        auto h = ParseRecordHeader(bytes);
        ASSERT_TRUE(h) << c.wVersion;
        EXPECT_EQ(11u, h->dwStartTime);
        EXPECT_EQ(22u, h->dwEndTime);
        EXPECT_EQ(33u, h->dwIndexOffset);
        EXPECT_EQ(c.wSkins, h->wSkinCount) << c.wVersion;
        EXPECT_EQ(c.wExtra, h->wExtra) << c.wVersion;
        bytes.resize(c.nSize - 1);
        EXPECT_FALSE(ParseRecordHeader(bytes)) << c.wVersion << " cut short";
    }
}

TEST(RecordFormat, MeetingNameCheckedByVersionAndExtraField)
{
    EXPECT_FALSE(ChecksMeetingName(5430, 0));
    EXPECT_TRUE(ChecksMeetingName(5430, 1));
    EXPECT_FALSE(ChecksMeetingName(5426, 1));
    EXPECT_FALSE(ChecksMeetingName(5501, 0));
    EXPECT_TRUE(ChecksMeetingName(5502, 0));
    EXPECT_TRUE(ChecksMeetingName(kRecordFileVersion, 0));
}

TEST(RecordFormat, IndexRule)
{
    const uint8_t channel[] = {0x07, 0x00, 0xAA};
    struct
    {
        uint16_t wCommand;
        bool bKey;
        bool bEntry;
        uint16_t wSub;
    } cases[] = {
        {1000, true, false, 65535},  {1000, false, false, 65535}, {2010, false, false, 7},
        {2010, true, true, 7},       {2000, true, true, 7},       {2030, true, true, 7},
        {2201, true, true, 7},       {2201, false, false, 7},     {2020, true, true, 65535},
        {2020, false, false, 65535}, {460, false, true, 65535},   {2202, false, true, 65535},
        {3000, false, true, 65535},
    };
    for (auto c : cases)
    {
        EXPECT_EQ(c.bEntry, NeedsIndexEntry(c.wCommand, c.bKey)) << c.wCommand << " key " << c.bKey;
        EXPECT_EQ(c.wSub, IndexSubOf(c.wCommand, channel, sizeof channel)) << c.wCommand;
    }
    EXPECT_EQ(65535, IndexSubOf(2010, channel, 1)); // no room for a channel
}

TEST(RecordFormat, TickWrapGivesElapsedLessOne)
{
    EXPECT_EQ(500u, RecordElapsed(1500, 1000));
    EXPECT_EQ(0u, RecordElapsed(1000, 1000));
    EXPECT_EQ(0x1FFu, RecordElapsed(0x100, 0xFFFFFF00u));
    EXPECT_EQ(0xFFFFFFFEu, RecordElapsed(0xFFFFFFFEu, 0));
}

TEST(RecordFormat, EmbeddedNameSafety)
{
    struct
    {
        std::u16string name;
        bool bSafe;
    } cases[] = {
        {u"agenda.pdf", true},
        {u"\uc548\ub155 \ud68c\uc758.ppt", true},
        {std::u16string(32, u'a'), true},
        {std::u16string(33, u'a'), false},
        {u"", false},
        {u"..", false},
        {u".", false},
        {u"../x.txt", false},
        {u"a..b", false},
        {u"..\\boot.ini", false},
        {u"dir/file", false},
        {u"dir\\file", false},
        {u"C:evil", false},
        {u"c:\\windows\\x", false},
        {u"file.txt:stream", false},
        {u"tab\there", false},
        {u"bell\a", false},
        {u"what?.txt", false},
        {u"trailing.", false},
        {u"trailing ", false},
        {u"CON", false},
        {u"nul.txt", false},
        {u"com1", false},
        {u"LPT9.doc", false},
        {u"console.txt", true},
        {u"com10", true},
        {u"\U0001F600.png", true},
        {u"lone\xD800.png", false},
        {u"lone\xDC00.png", false},
        {u"end\xD83D", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.bSafe, IsSafeEmbeddedName(c.name)) << std::string(c.name.begin(), c.name.end());
}

TEST(RecordFormat, EmbeddedNameFieldByVersion)
{
    std::vector<uint8_t> ansi(70, 0);
    std::memcpy(ansi.data(), "old.ppt", 7);
    auto agendaOld = ParseEmbeddedFile(3010, 5500, ansi);
    ASSERT_TRUE(agendaOld);
    EXPECT_EQ(u"old.ppt", agendaOld->szName);
    EXPECT_EQ(32u, agendaOld->nDataOffset);
    auto skinOld = ParseEmbeddedFile(3011, 5500, ansi);
    ASSERT_TRUE(skinOld);
    EXPECT_EQ(64u, skinOld->nDataOffset);

    std::vector<uint8_t> wide = BuildEmbeddedName(std::u16string(32, u'w'));
    ASSERT_EQ(64u, wide.size());
    wide.push_back(0x42);
    auto full = ParseEmbeddedFile(3010, 5600, wide);
    ASSERT_TRUE(full);
    EXPECT_EQ(std::u16string(32, u'w'), full->szName); // a full field has no terminator, and needs none
    EXPECT_EQ(64u, full->nDataOffset);

    EXPECT_FALSE(ParseEmbeddedFile(3010, 5600, std::vector<uint8_t>(63)));
    EXPECT_FALSE(ParseEmbeddedFile(3010, 5500, std::vector<uint8_t>(31)));
    EXPECT_TRUE(ParseEmbeddedFile(3010, 5500, std::vector<uint8_t>(32)));

    EXPECT_EQ(u"Weekly", ParseMeetingName(5600, BuildMeetingName(u"Weekly")));
    const uint8_t odd[] = {'W', 0, 'k'}; // odd length: the last byte is not a unit
    EXPECT_EQ(u"W", ParseMeetingName(5600, odd));
    EXPECT_EQ(u"Ab", ParseMeetingName(5300, std::vector<uint8_t>{'A', 'b', 0, 'c'}));
}
