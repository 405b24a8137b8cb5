// The keyed text table: encodings, sections, missing and repeated keys, the tables we ship.
#include "confclient/session/texttable/TextTable.h"
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace
{
struct RecordingLog : ILogSink
{
    std::vector<std::pair<int, std::string>> lines;
    void AddLog(int nLevel, const std::string& text) override { lines.emplace_back(nLevel, text); }
};

std::vector<uint8_t> Bytes(std::string_view s)
{
    return {s.begin(), s.end()};
}

std::vector<uint8_t> Utf16Le(std::u16string_view s, bool mark)
{
    std::vector<uint8_t> out;
    if (mark) out = {0xFF, 0xFE};
    for (char16_t c : s)
    {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    return out;
}

CTextTable Parsed(const std::vector<uint8_t>& bytes, ILogSink* pLog = nullptr)
{
    CTextTable table;
    table.SetLogSink(pLog);
    table.Parse(bytes.data(), bytes.size());
    return table;
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
} // namespace

TEST(TextTable, EveryEncodingGivesTheSameTexts)
{
    const std::u16string text = u"IDS_A=Hello\r\nIDS_B=W\u00F6rld \u20AC \U0001F600\n";
    const std::string utf8 = "IDS_A=Hello\r\nIDS_B=W\xC3\xB6rld \xE2\x82\xAC \xF0\x9F\x98\x80\n";
    const std::vector<std::vector<uint8_t>> inputs = {
        Utf16Le(text, true),
        Utf16Le(text, false),
        Bytes("\xEF\xBB\xBF" + utf8),
        Bytes(utf8),
    };
    for (size_t i = 0; i < inputs.size(); ++i)
    {
        CTextTable table = Parsed(inputs[i]);
        EXPECT_EQ(table.GetCount(), 2u) << i;
        EXPECT_EQ(table.GetText(u"IDS_A"), u"Hello") << i;
        EXPECT_EQ(table.GetText(u"IDS_B"), u"W\u00F6rld \u20AC \U0001F600") << i;
    }
}

TEST(TextTable, MissingKeyGivesEmptyTextAndADebugLine)
{
    RecordingLog log;
    CTextTable table = Parsed(Bytes("IDS_HERE=yes\n"), &log);
    EXPECT_EQ(table.GetText(u"IDS_GONE"), u"");
    EXPECT_EQ(table.Find(u"IDS_GONE"), nullptr);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].first, LOG_DEBUG);
    EXPECT_NE(log.lines[0].second.find("IDS_GONE"), std::string::npos);
    // Keys are matched exactly.
    EXPECT_EQ(table.GetText(u"ids_here"), u"");
    EXPECT_EQ(table.GetText(u"IDS_HERE"), u"yes");
}

TEST(TextTable, RepeatedKeyKeepsTheFirstValueAndSaysSo)
{
    RecordingLog log;
    CTextTable table = Parsed(Bytes("IDS_X=first\nIDS_X=second\n"), &log);
    EXPECT_EQ(table.GetText(u"IDS_X"), u"first");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].first, LOG_DEBUG);
    EXPECT_NE(log.lines[0].second.find("IDS_X"), std::string::npos);
}

TEST(TextTable, LineRules)
{
    struct Case
    {
        const char* input;
        const char16_t* key;
        const char16_t* value; // null: the key is absent
    };
    const Case cases[] = {
        {"  IDS_K \t= value kept as written \r\n", u"IDS_K", u" value kept as written "},
        {"URL=http://a/b?x=1\n", u"URL", u"http://a/b?x=1"},
        {"IDS_LINES=one\\ntwo\\\\three\\q\n", u"IDS_LINES", u"one\ntwo\\three\\q"},
        {"; IDS_C=comment\n", u"IDS_C", nullptr},
        {"  ;IDS_C=comment\n", u"IDS_C", nullptr},
        {"no equals sign\n", u"no equals sign", nullptr},
        {"=orphan\n", u"", nullptr},
        {"[7]\nVideoCount=9\n", u"7_VideoCount", u"9"},
        {"[7]\nVideoCount=9\n", u"VideoCount", nullptr},
        {"TOP=1\n[ 2 ]\nA=x\n[3]\nA=y\n", u"TOP", u"1"},
        {"TOP=1\n[ 2 ]\nA=x\n[3]\nA=y\n", u"2_A", u"x"},
        {"TOP=1\n[ 2 ]\nA=x\n[3]\nA=y\n", u"3_A", u"y"},
        {"LAST=no newline at the end", u"LAST", u"no newline at the end"},
        {"EMPTY=\n", u"EMPTY", u""},
    };
    for (const Case& c : cases)
    {
        CTextTable table = Parsed(Bytes(c.input));
        const std::u16string* got = table.Find(c.key);
        if (!c.value)
            EXPECT_EQ(got, nullptr) << c.input;
        else if (!got)
            ADD_FAILURE() << "missing key in: " << c.input;
        else
            EXPECT_EQ(*got, c.value) << c.input;
    }
}

TEST(TextTable, MalformedInputIsReplacedNotTrusted)
{
    // Bad UTF-8: a lone continuation byte, a truncated sequence, an overlong form, a surrogate.
    CTextTable bad = Parsed(Bytes("K=a\x80"
                                  "b\xE2\x82"
                                  "\n"
                                  "L=\xC0\xAF|\xED\xA0\x80\n"));
    EXPECT_EQ(bad.GetText(u"K"), u"a\uFFFDb\uFFFD");
    EXPECT_EQ(bad.GetText(u"L"), u"\uFFFD|\uFFFD");
    // UTF-16 with an odd last byte drops that byte only.
    std::vector<uint8_t> odd = Utf16Le(u"K=v", true);
    odd.push_back(0x41);
    EXPECT_EQ(Parsed(odd).GetText(u"K"), u"v");
    // Nothing at all.
    EXPECT_EQ(Parsed({}).GetCount(), 0u);
    EXPECT_TRUE(CTextTable::Decode(nullptr, 5).empty());
}

TEST(TextTable, ParsingAgainReplacesTheTable)
{
    CTextTable table = Parsed(Bytes("A=1\nB=2\n"));
    auto again = Bytes("B=3\n");
    table.Parse(again.data(), again.size());
    EXPECT_EQ(table.Find(u"A"), nullptr);
    EXPECT_EQ(table.GetText(u"B"), u"3");
}

TEST(TextTable, ShippedTablesParseWithoutRepeatsOrEmptyTexts)
{
    RecordingLog log;
    CTextTable texts = Parsed(ReadFile(QUILLON_SOURCE_DIR "/resources/texts.txt"), &log);
    EXPECT_GT(texts.GetCount(), 50u);
    EXPECT_TRUE(log.lines.empty()) << log.lines[0].second;
    for (const char16_t* key : {u"IDS_MUTEX", u"IDS_NOTSTART", u"IDS_NOTREGSVR", u"IDS_FINDREGSVR32",
                                u"IDS_NOTCONNECTSVR", u"IDMS_SINKMENU_SINK", u"IDS_PLAY_END"})
        EXPECT_FALSE(texts.GetText(key).empty()) << Utf8Of(key);

    CTextTable layout = Parsed(ReadFile(QUILLON_SOURCE_DIR "/resources/layout.txt"), &log);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(layout.GetText(u"VOICEPEKMETER"), u"109,63,155");
    EXPECT_EQ(layout.GetText(u"4_VideoCount"), u"9");
    EXPECT_EQ(layout.GetText(u"34_VideoCount"), u"49");
    EXPECT_EQ(layout.Find(u"5_VideoCount"), nullptr);
}

TEST(TextTable, FormattedFillsMatchingPlaceholdersAndRefusesTheRest)
{
    const std::u16string name = u"Alice";
    const struct
    {
        std::u16string text;
        int nArgs; // 0: none; 1: (name); 2: (name, 7); 3: (7)
        std::u16string result;
        bool bRefused;
    } cases[] = {
        {u"Hello %s!", 1, u"Hello Alice!", false},
        {u"%s has %d seats, 100%%", 2, u"Alice has 7 seats, 100%", false},
        {u"%d s", 3, u"7 s", false},
        {u"no placeholder", 0, u"no placeholder", false},
        {u"no placeholder", 1, u"no placeholder", true}, // an argument nothing takes
        {u"%s and %s", 1, u"%s and %s", true},           // a placeholder nothing fills
        {u"%d s", 1, u"%d s", true},                     // a text for a number
        {u"%s", 3, u"%s", true},                         // a number for a text
        {u"%n%s", 1, u"%n%s", true},                     // a C format's writer is not a placeholder
        {u"50%", 0, u"50%", true},                       // a lone '%' at the end
        {u"%ls", 1, u"%ls", true},
    };
    for (const auto& c : cases)
    {
        RecordingLog log;
        std::u16string out;
        switch (c.nArgs)
        {
        case 0:
            out = Formatted(&log, c.text);
            break;
        case 1:
            out = Formatted(&log, c.text, name);
            break;
        case 2:
            out = Formatted(&log, c.text, name, 7);
            break;
        default:
            out = Formatted(&log, c.text, 7);
            break;
        }
        EXPECT_EQ(c.result, out) << Utf8Of(c.text);
        EXPECT_EQ(c.bRefused ? 1u : 0u, log.lines.size()) << Utf8Of(c.text);
        if (c.bRefused && !log.lines.empty()) EXPECT_EQ(LOG_ERROR, log.lines[0].first);
    }
}

TEST(TextTable, FormattedIsBoundedAndKeepsSurrogatePairsWhole)
{
    std::u16string longName(kMaxFormattedUnits, u'x');
    EXPECT_EQ(kMaxFormattedUnits, Formatted(nullptr, std::u16string(u"[%s]"), longName).size());
    // A pair that would straddle the bound is dropped whole.
    std::u16string pairs = std::u16string(kMaxFormattedUnits - 2, u'y') + u"\U0001F600";
    std::u16string out = Formatted(nullptr, std::u16string(u"a%s"), pairs);
    EXPECT_EQ(kMaxFormattedUnits - 1, out.size());
    EXPECT_EQ(u'y', out.back());
    // Negative and wide numbers, and 16-bit texts of the Windows side alike.
    EXPECT_EQ(u"-5 / 4294967295", Formatted(nullptr, std::u16string(u"%d / %d"), -5, 4294967295u));
    EXPECT_EQ(std::string("ab"), Formatted(nullptr, std::string("a%s"), "b"));
}
