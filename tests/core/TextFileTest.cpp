// Plain-text files read in each encoding and written as UTF-8 with a mark.
#include "core/TextFile.h"

#include <gtest/gtest.h>

namespace
{
// Stands in for the ANSI code page: Latin-1, marked so that a test sees it was used.
std::u16string Latin1(std::string_view bytes)
{
    std::u16string text = u"[ansi]";
    for (char c : bytes)
        text.push_back(static_cast<unsigned char>(c));
    return text;
}
} // namespace

TEST(TextFile, EachEncodingIsFoundByItsMarkOrValidity)
{
    struct Case
    {
        const char* pszName;
        std::string bytes;
        std::u16string text;
    } cases[] = {
        {"UTF-16LE", std::string("\xFF\xFEh\0\xE9\0\x3D\xD8\x00\xDE", 10), u"h\u00E9\U0001F600"},
        {"UTF-16BE", std::string("\xFE\xFF\0h\0\xE9", 6), u"h\u00E9"},
        {"UTF-16 odd last byte", std::string("\xFF\xFEh\0i", 5), u"h"},
        {"UTF-8 marked", "\xEF\xBB\xBFgr\xC3\xBC\xC3\x9F", u"gr\u00FC\u00DF"},
        {"UTF-8 unmarked", "\xE2\x82\xAC 5 \xF0\x9F\x98\x80", u"\u20AC 5 \U0001F600"},
        {"UTF-8 marked, a broken byte",
         "\xEF\xBB\xBF"
         "a\xC3z",
         u"a\uFFFDz"},
        {"ANSI: not UTF-8", "caf\xE9", u"[ansi]caf\u00E9"},
        {"ANSI: overlong form", "\xC0\xAF", u"[ansi]\u00C0\u00AF"},
        {"ANSI: encoded surrogate", "\xED\xA0\x80", u"[ansi]\u00ED\u00A0\u0080"},
        {"ANSI: cut sequence", "ab\xE2\x82", u"[ansi]ab\u00E2\u0082"},
        {"empty", "", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, DecodeTextFile(c.bytes, Latin1)) << c.pszName;
}

TEST(TextFile, SavedTextReadsBackTheSame)
{
    const std::u16string text = u"line one\r\n\ttabbed \u00FC\u4E2D \U0001F600\r\n";
    const std::string bytes = EncodeTextFile(text);
    EXPECT_EQ("\xEF\xBB\xBF", bytes.substr(0, 3));
    EXPECT_EQ(text, DecodeTextFile(bytes, Latin1));
}
