// The name check every page and agenda name passes before it meets the file system,
// page names with their numbers, and the board folders.
#include <gtest/gtest.h>

#include "lmboard2/boardbase/BoardFolders.h"
#include "lmboard2/boardbase/BoardName.h"
#include "tests/lmboard2_core/BoardTestDir.h"

TEST(BoardName, RefusesNamesThatCouldLeaveTheFolder)
{
    struct Case
    {
        std::u16string name;
        bool bSafe;
    } cases[] = {
        {u"Agenda_001", true},
        {u"a b.c", true},
        {u"\u00e4\u4e2d_007", true},
        {std::u16string(31, u'x'), true},
        {std::u16string(32, u'x'), false},
        {u"", false},
        {u".", false},
        {u"..", false},
        {u"a..b", false},
        {u"../evil", false},
        {u"sub/page", false},
        {u"sub\\page", false},
        {u"c:page", false},
        {u"tab\there", false},
        {std::u16string(u"nul\0in", 6), false},
        {u"del\x7f", false},
        {u"smile\xD83D\xDE00", true},
        {u"half\xD83D", false},
        {u"half\xDE00x", false},
        {u"swapped\xDE00\xD83D", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.bSafe, IsSafeBoardName(c.name)) << std::string(c.name.begin(), c.name.end());
}

TEST(BoardName, FieldNeedsItsTerminatorWithin32Units)
{
    char16_t field[32] = {};
    std::fill_n(field, 31, u'p');
    ASSERT_TRUE(SafeNameFromField(field).has_value());
    EXPECT_EQ(31u, SafeNameFromField(field)->size());
    field[31] = u'q'; // no terminator at all
    EXPECT_FALSE(SafeNameFromField(field).has_value());
    char16_t bad[32] = u"..\\x";
    EXPECT_FALSE(SafeNameFromField(bad).has_value());
}

TEST(BoardName, PageNamesAndNumbers)
{
    EXPECT_EQ(u"Conf_000", MakePageName(u"Conf", 0));
    EXPECT_EQ(u"Conf_042", MakePageName(u"Conf", 42));
    EXPECT_EQ(u"Conf_999", MakePageName(u"Conf", 999));
    EXPECT_FALSE(MakePageName(u"Conf", 1000).has_value());
    EXPECT_FALSE(MakePageName(u"Conf", -1).has_value());

    // A long agenda keeps 27 characters, so pages of it still differ and stay safe.
    std::u16string longAgenda(40, u'L');
    std::u16string p1 = *MakePageName(longAgenda, 1), p2 = *MakePageName(longAgenda, 2);
    EXPECT_NE(p1, p2);
    EXPECT_EQ(31u, p1.size());
    EXPECT_TRUE(IsSafeBoardName(p1));

    EXPECT_EQ(42, PageNumberOfName(u"My_Conf_042"));
    EXPECT_EQ(-1, PageNumberOfName(u"NoNumber"));
    EXPECT_EQ(-1, PageNumberOfName(u"Trailing_"));
    EXPECT_EQ(-1, PageNumberOfName(u"Bad_4x"));
}

TEST(BoardFolders, MakesFoldersAndRefusesUnsafeNames)
{
    CBoardTestDir dir;
    std::optional<BoardFolders> f = BoardFolders::Make(dir.path);
    ASSERT_TRUE(f.has_value());
    EXPECT_TRUE(std::filesystem::is_directory(dir.path / "LMBoard" / "Agenda"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path / "LMBoard" / "Temp"));
    EXPECT_EQ(dir.path / "LMBoard" / "Agenda" / "Conf_001", f->PageFile(u"Conf_001"));
    EXPECT_EQ(dir.path / "LMBoard" / "Temp" / "Conf_001", f->BackgroundFile(u"Conf_001"));
    EXPECT_FALSE(f->PageFile(u"../Conf_001").has_value());
    EXPECT_FALSE(f->BackgroundFile(u"x/y").has_value());
}
