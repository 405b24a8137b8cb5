// Text-file reader: line ends, the four encodings by byte-order mark, malformed UTF-8, positions and seeking.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "lmboard2/textfile/TextFileRead.h"

namespace
{
namespace fs = std::filesystem;

class TextFile : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                (std::string("board_text_") + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    fs::path Make(const std::string& bytes)
    {
        const fs::path path = m_dir / (std::to_string(m_nFiles++) + ".txt");
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    static std::vector<std::u16string> ReadAll(CTextFileRead& file)
    {
        std::vector<std::u16string> lines;
        std::u16string line;
        while (file.ReadLine(line))
            lines.push_back(line);
        return lines;
    }

    fs::path m_dir;
    int m_nFiles = 0;
};

const std::string kUtf8Bom = "\xEF\xBB\xBF";
const std::string kLeBom = "\xFF\xFE";
const std::string kBeBom = "\xFE\xFF";

std::string Utf16(std::u16string_view s, bool bBig)
{
    std::string out;
    for (char16_t u : s)
    {
        const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out += bBig ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

using Lines = std::vector<std::u16string>;
} // namespace

TEST_F(TextFile, LinesInEveryEncoding)
{
    const std::u16string longLine(5000, u'x'); // spans several 1024-byte buffers
    const std::string longAnsi(5000, 'x');
    const struct
    {
        const char* pName;
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"ansi CR LF CR LF", "a\r\n\r\nb", {u"a", u"", u"b"}},
        {"utf-8 CR LF CR LF", kUtf8Bom + "a\r\n\r\nb", {u"a", u"", u"b"}},
        {"utf-16le CR LF CR LF", kLeBom + Utf16(u"a\r\n\r\nb", false), {u"a", u"", u"b"}},
        {"utf-16be CR LF CR LF", kBeBom + Utf16(u"a\r\n\r\nb", true), {u"a", u"", u"b"}},
        {"LF only", "a\n\nb\n", {u"a", u"", u"b"}},
        {"CR only", "a\r\rb", {u"a", u"", u"b"}},
        {"a line end at the end adds no line", "a\r\n", {u"a"}},
        {"an empty line before the end", "a\r\n\r\n", {u"a", u""}},
        {"an empty first line", "\r\nx", {u"", u"x"}},
        {"empty file", "", {}},
        {"only a byte-order mark", kLeBom, {}},
        {"5000 characters, 8-bit", longAnsi + "\r\nz", {longLine, u"z"}},
        {"5000 characters, utf-16le", kLeBom + Utf16(longLine + u"\r\nz", false), {longLine, u"z"}},
        {"5000 characters, utf-8", kUtf8Bom + longAnsi + "\nz", {longLine, u"z"}},
        {"utf-8, 2, 3 and 4 bytes",
         kUtf8Bom + "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80!",
         {u"\u00E9\u20AC\U0001F600!"}},
        {"utf-16be keeps surrogate pairs", kBeBom + Utf16(u"\U0001F600", true), {u"\U0001F600"}},
        {"utf-16le lone last byte", kLeBom + Utf16(u"ab", false) + "c", {u"ab\uFFFD"}},
        {"EF BB without BF is 8-bit text", "\xEF\xBBx", {u"\u00EF\u00BBx"}},
        {"windows-1252 by default", "\x80\xE9\x9F\x81", {u"\u20AC\u00E9\u0178\u0081"}},
    };
    for (const auto& c : cases)
    {
        CTextFileRead file(Make(c.bytes));
        EXPECT_EQ(c.lines, ReadAll(file)) << c.pName;
    }
}

// Malformed UTF-8 gives one U+FFFD per bad sequence and never swallows the character after it.
TEST_F(TextFile, MalformedUtf8)
{
    const struct
    {
        const char* pName;
        std::string bytes;
        std::u16string line;
    } cases[] = {
        {"stray continuation byte", "a\x80z", u"a\uFFFDz"},
        {"sequence cut short by ASCII", "\xE2\x82z", u"\uFFFDz"},
        {"sequence cut short by a line end", "\xF0\x9F\x98\nz", u"\uFFFD"},
        {"sequence cut short by the end of the file", "z\xE2\x82", u"z\uFFFD"},
        {"overlong two-byte form", "\xC0\xAFz", u"\uFFFD\uFFFDz"},
        {"overlong three-byte form", "\xE0\x80\xAFz", u"\uFFFDz"},
        {"encoded surrogate", "\xED\xA0\x80z", u"\uFFFDz"},
        {"above U+10FFFF", "\xF4\x90\x80\x80z", u"\uFFFDz"},
        {"invalid lead byte", "\xF8z\xFF", u"\uFFFDz\uFFFD"},
    };
    for (const auto& c : cases)
    {
        CTextFileRead file(Make(kUtf8Bom + c.bytes));
        std::u16string line;
        ASSERT_TRUE(file.ReadLine(line)) << c.pName;
        EXPECT_EQ(c.line, line) << c.pName;
    }
}

TEST_F(TextFile, CodePageConvertsWholeLines)
{
    CTextFileRead latin1(Make("\x80\xE9\r\n\x80"));
    latin1.SetCodePage(CTableCodePageConverter::kLatin1);
    EXPECT_EQ((Lines{u"\u0080\u00E9", u"\u0080"}), ReadAll(latin1));

    // The converter is handed each line's bytes without the line end.
    struct Recorder : ICodePageConverter
    {
        std::vector<std::pair<unsigned, std::string>> calls;
        std::u16string ToUtf16(unsigned nCodePage, std::string_view bytes) override
        {
            calls.emplace_back(nCodePage, std::string(bytes));
            return u"#";
        }
    } recorder;
    CTextFileRead korean(Make("\xC7\xD1\xB1\xDB\r\n\xC7\xD1"), &recorder);
    korean.SetCodePage(949);
    EXPECT_EQ((Lines{u"#", u"#"}), ReadAll(korean));
    EXPECT_EQ((std::vector<std::pair<unsigned, std::string>>{{949, "\xC7\xD1\xB1\xDB"}, {949, "\xC7\xD1"}}),
              recorder.calls);
}

TEST_F(TextFile, OpensAFileWhoseNameIsNotAscii)
{
    const fs::path path = m_dir / u"\uD55C\u00E4.txt";
    fs::rename(Make(kUtf8Bom + "x\r\ny"), path);
    CTextFileRead file(path);
    EXPECT_EQ((Lines{u"x", u"y"}), ReadAll(file));
}

TEST_F(TextFile, MissingFileReadsAsEmpty)
{
    CTextFileRead file(m_dir / "missing.txt");
    std::u16string line = u"old";
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_TRUE(line.empty());
    EXPECT_EQ(-1, file.GetPosition());
    EXPECT_FALSE(file.Seek(0, TEXT_SEEK_BEGIN));
    EXPECT_FALSE(file.ReadLine(line));
}

// The position counts the held-back line end as unread; seeking empties the buffer, and seeking to the
// start skips the byte-order mark again.
TEST_F(TextFile, PositionAndSeek)
{
    const struct
    {
        const char* pName;
        std::string bytes;
        int64_t nAfterFirstLine; // at the held-back CR
        int64_t nSecondLine;
    } cases[] = {
        {"8-bit", "ab\r\ncd", 2, 4},
        {"utf-8", kUtf8Bom + "ab\r\ncd", 5, 7},
        {"utf-16le", kLeBom + Utf16(u"ab\r\ncd", false), 6, 10},
        {"utf-16be", kBeBom + Utf16(u"ab\r\ncd", true), 6, 10},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pName);
        CTextFileRead file(Make(c.bytes));
        std::u16string line;
        ASSERT_TRUE(file.ReadLine(line));
        EXPECT_EQ(u"ab", line);
        EXPECT_EQ(c.nAfterFirstLine, file.GetPosition());

        ASSERT_TRUE(file.Seek(c.nSecondLine - c.nAfterFirstLine, TEXT_SEEK_CURRENT));
        EXPECT_EQ(c.nSecondLine, file.GetPosition());
        ASSERT_TRUE(file.ReadLine(line));
        EXPECT_EQ(u"cd", line);
        EXPECT_FALSE(file.ReadLine(line));

        ASSERT_TRUE(file.Seek(0, TEXT_SEEK_BEGIN));
        EXPECT_EQ((Lines{u"ab", u"cd"}), ReadAll(file));

        ASSERT_TRUE(file.Seek(c.nSecondLine, TEXT_SEEK_BEGIN));
        EXPECT_EQ((Lines{u"cd"}), ReadAll(file));

        const int64_t nCharBytes = c.nAfterFirstLine == 6 ? 2 : 1;
        ASSERT_TRUE(file.Seek(-2 * nCharBytes, TEXT_SEEK_END));
        EXPECT_EQ((Lines{u"cd"}), ReadAll(file));
        EXPECT_FALSE(file.Seek(-1, TEXT_SEEK_BEGIN));
    }
}
