// The e-book index read line by line, and the combo selection in it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Utf8Text.h"
#include "lmboard2/view/EBookIndex.h"

namespace
{
std::vector<S_BOOK> Read(const std::vector<std::u16string>& lines)
{
    CEBookIndex index;
    for (const std::u16string& l : lines)
        index.AddLine(l);
    return index.Books();
}

// "name|title: level1 entries; level2 entries" with entries as label=file=value.
std::string Describe(const std::vector<S_BOOK>& books)
{
    std::string out;
    for (const S_BOOK& b : books)
    {
        out += "[" + Utf8Of(b.name) + "|" + Utf8Of(b.title) + "]";
        for (const auto& level : b.levels)
        {
            out += " {";
            for (const S_EBOOK_ENTRY& e : level)
                out += " " + Utf8Of(e.label) + "=" + Utf8Of(e.file) + "=" + std::to_string(e.nValue);
            out += " }";
        }
    }
    return out;
}

TEST(EBookIndex, LinesMakeBooksLevelsAndEntries)
{
    struct Row
    {
        const char* what;
        std::vector<std::u16string> lines;
        const char* want;
    };
    const Row rows[] = {
        {"a level-2 entry with a label opens level 2",
         {u"[maths]", u"1:Intro/book\\p01.gif/12", u"  2:Chapter/book\\p12.gif/30  "},
         "[maths|maths] { Intro=book\\p01.gif=12 } { Chapter=book\\p12.gif=30 }"},
        {"a level 3 before any level 2 is dropped",
         {u"[m]", u"1/a/1", u"3/c/3", u"2/b/2"},
         "[m|m] { =a=1 } { =b=2 }"},
        {"title, comments, blanks and case",
         {u"; note", u"", u"[b]", u"TITLE=Algebra I", u"1/x/2"},
         "[b|Algebra I] { =x=2 }"},
        {"a later section of the same name adds to its book",
         {u"[b]", u"1/x/1", u"[c]", u"1/y/1", u"[b]", u"1/z/4"},
         "[b|b] { =x=1 =z=4 }[c|c] { =y=1 }"},
        {"the file runs from the first to the last slash",
         {u"[b]", u"1:L/dir/sub/p.gif/7"},
         "[b|b] { L=dir/sub/p.gif=7 }"},
        // Kept out: no book open, level 0, a negative or missing level, fewer than two slashes.
        {"malformed entries",
         {u"1/before/1", u"[b]", u"0/zero/1", u"-1/neg/1", u":x/nolevel/1", u"1/one slash", u"abc", u"[]",
          u"1/empty/1"},
         "[|] { =empty=1 }"},
        {"a step of value 0", {u"[b]", u"1/a/0"}, "[b|b] { =a=0 }"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Describe(Read(r.lines)), r.want) << r.what;
}

std::vector<std::string> Texts(const std::vector<EBookComboLine>& lines, int nKind)
{
    std::vector<std::string> out;
    for (const EBookComboLine& l : lines)
    {
        EXPECT_EQ(l.nKind, nKind);
        out.push_back(Utf8Of(l.text));
    }
    return out;
}

TEST(EBookIndex, ComboSelection)
{
    const std::vector<S_BOOK> books =
        Read({u"[b1]", u"title=Physics", u"1:Basics/p/2", u"1/q/0", u"2/r/3", u"[b2]", u"1/s/1"});
    CEBookSelection sel(books);
    using V = std::vector<std::string>;
    EXPECT_EQ(Texts(sel.SelectTitle(u"physics"), 1), (V{"Basics", "level 2"}));
    EXPECT_TRUE(sel.SelectTitle(u"Physics").empty()); // the same book again
    EXPECT_EQ(Texts(sel.SelectLevel(0), 2), (V{"Basics", "step 2"}));
    EXPECT_EQ(Texts(sel.SelectStep(0), 3), (V{"page 1", "page 2"}));
    EXPECT_TRUE(sel.SelectStep(1).empty()); // value 0: no pages
    EXPECT_EQ(sel.Step(), 2);
    // Out of range indexes are ignored and keep the selection.
    EXPECT_TRUE(sel.SelectLevel(5).empty());
    EXPECT_TRUE(sel.SelectLevel(-1).empty());
    EXPECT_TRUE(sel.SelectStep(9).empty());
    EXPECT_EQ(sel.Level(), 1);
    // Another book clears the lower selections; an unknown title has no levels.
    EXPECT_EQ(Texts(sel.SelectTitle(u"b2"), 1), V{"level 1"});
    EXPECT_EQ(sel.Level(), 0);
    EXPECT_TRUE(sel.SelectTitle(u"Chemistry").empty());
    EXPECT_EQ(sel.CurrentBook(), nullptr);
    EXPECT_TRUE(sel.SelectLevel(0).empty());

    EXPECT_EQ(CEBookSelection::PageOfText(u"page 12"), 12);
    EXPECT_EQ(CEBookSelection::PageOfText(u"p 3"), 3);
    EXPECT_EQ(CEBookSelection::PageOfText(u"7"), 7);
    EXPECT_EQ(CEBookSelection::PageOfText(u"pa  7"), 7); // the word is trimmed as a set of characters
    EXPECT_EQ(CEBookSelection::PageOfText(u" 7"), 7);
    EXPECT_FALSE(CEBookSelection::PageOfText(u""));
    EXPECT_FALSE(CEBookSelection::PageOfText(u"page 0"));
    EXPECT_FALSE(CEBookSelection::PageOfText(u"page x"));
}
} // namespace
