// Menu template and toolbar readers against well-formed and damaged resources; extra item images.
#include <gtest/gtest.h>

#include "confclient/toolkit/menurules/MenuResources.h"
#include "core/ByteWriter.h"

namespace
{
void Text(ByteWriter& w, std::u16string_view s)
{
    for (char16_t c : s)
        w.U16(c);
    w.U16(0);
}

// File ▸ { Open (100), separator, Recent ▸ { One (110) } }, Exit (101)
std::vector<uint8_t> SampleMenu()
{
    std::vector<uint8_t> b;
    ByteWriter w(b);
    w.U16(0).U16(0);
    w.U16(0x10);
    Text(w, u"File");
    w.U16(0).U16(100);
    Text(w, u"Open");
    w.U16(0).U16(0);
    Text(w, u"");
    w.U16(0x10 | 0x80);
    Text(w, u"Recent");
    w.U16(0x80).U16(110);
    Text(w, u"One");
    w.U16(0x80).U16(101);
    Text(w, u"Exit");
    return b;
}
} // namespace

TEST(MenuTemplate, ReadsNestedPopups)
{
    std::vector<uint8_t> b = SampleMenu();
    auto menu = ParseMenuTemplate(b.data(), b.size());
    ASSERT_TRUE(menu);
    ASSERT_EQ(2u, menu->size());
    const MenuTemplateItem& file = (*menu)[0];
    EXPECT_EQ(u"File", file.text);
    ASSERT_EQ(3u, file.children.size());
    EXPECT_EQ(100, file.children[0].nId);
    EXPECT_EQ(0, file.children[1].nId); // the separator
    ASSERT_EQ(1u, file.children[2].children.size());
    EXPECT_EQ(u"One", file.children[2].children[0].text);
    EXPECT_EQ(101, (*menu)[1].nId);
}

TEST(MenuTemplate, RefusesEveryTruncation)
{
    std::vector<uint8_t> b = SampleMenu();
    for (size_t n = 0; n < b.size(); ++n)
        EXPECT_FALSE(ParseMenuTemplate(b.data(), n)) << n;
    std::vector<uint8_t> badVersion = b;
    badVersion[0] = 1;
    EXPECT_FALSE(ParseMenuTemplate(badVersion.data(), badVersion.size()));
}

TEST(MenuTemplate, RefusesDeepNesting)
{
    std::vector<uint8_t> b;
    ByteWriter w(b);
    w.U16(0).U16(0);
    for (int i = 0; i < 40; ++i)
    {
        w.U16(0x10 | 0x80);
        Text(w, u"p");
    }
    w.U16(0x80).U16(1);
    Text(w, u"leaf");
    EXPECT_FALSE(ParseMenuTemplate(b.data(), b.size()));
}

TEST(ToolbarResource, ReadsItemsAndImageSlots)
{
    std::vector<uint8_t> b;
    ByteWriter(b).U16(1).U16(16).U16(15).U16(4).U16(32972).U16(0).U16(32973).U16(40000);
    auto tb = ParseToolbarResource(b.data(), b.size());
    ASSERT_TRUE(tb);
    EXPECT_EQ(16, tb->nWidth);
    EXPECT_EQ(15, tb->nHeight);
    EXPECT_EQ(0, tb->ImageOffsetOf(32972));
    EXPECT_EQ(1, tb->ImageOffsetOf(32973)); // separators take no image
    EXPECT_EQ(2, tb->ImageOffsetOf(40000));
    EXPECT_EQ(-1, tb->ImageOffsetOf(12345));
    EXPECT_FALSE(ParseToolbarResource(b.data(), b.size() - 1)); // item list cut short
    b[0] = 2;
    EXPECT_FALSE(ParseToolbarResource(b.data(), b.size()));
}

TEST(ExtraImages, KeepTheBackground)
{
    const MenuColour bg = 0x00C0C0C0;
    std::vector<MenuColour> px = {bg, 0x00000000, 0x00FFFFFF};
    std::vector<MenuColour> washed = px, shadow = px, grey = px;
    MakeWashedImage(washed, bg);
    MakeShadowImage(shadow, bg, 0x00808080);
    MakeGreyImage(grey, bg, 0x00C0C0C0);
    EXPECT_EQ(bg, washed[0]);
    EXPECT_EQ(0x004C4C4Cu, washed[1]); // 255 * 0.3 truncated
    EXPECT_EQ((std::vector<MenuColour>{bg, 0x00808080, 0x00808080}), shadow);
    EXPECT_EQ(0x00C0C0C0u, grey[1]); // black: face lightened by 0
    EXPECT_EQ(0x00FFFFFFu, grey[2]); // white: face lightened fully
}
