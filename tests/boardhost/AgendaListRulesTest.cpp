// The agenda list's rules: rights, the chosen page, the delete walk over a sample agenda, rename
// lengths, the player's whiteboard, kind 15 and dropped paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/boardhost/AgendaListRules.h"
#include "core/Utf8Text.h"

namespace
{
S_BOARD_FILEHDR ListHdr(const char16_t* name, uint8_t byKind, uint8_t byPos, const char16_t* title = u"",
                        const char16_t* caption = u"")
{
    S_BOARD_FILEHDR h;
    h.byKind = byKind;
    h.bySubPage = byPos;
    S_BOARD_FILEHDR::SetText(h.szName, name);
    S_BOARD_FILEHDR::SetText(h.szTitle, title);
    S_BOARD_FILEHDR::SetText(h.szCaption, caption);
    return h;
}

// [0] whiteboard #0; [1] document "Report" of pictures #1-#2; [2] slide show "Deck" of kind-15
// pages #3-#5; [3] picture #6.
CAgendaModel ListSample()
{
    CAgendaModel m;
    m.InsertPage(ListHdr(u"w_000", PAGE_BLANK, 0, u"Whiteboard"));
    m.InsertPage(ListHdr(u"r_001", PAGE_PICTURE, 1, u"r1", u"Report"));
    m.InsertPage(ListHdr(u"r_002", PAGE_PICTURE, 2, u"r2", u"Report"));
    m.InsertPage(ListHdr(u"d_003", PAGE_DOCUMENT, 1, u"d1", u"Deck"));
    m.InsertPage(ListHdr(u"d_004", PAGE_DOCUMENT, 2, u"d2", u"Deck"));
    m.InsertPage(ListHdr(u"d_005", PAGE_DOCUMENT, 2, u"d3", u"Deck"));
    m.InsertPage(ListHdr(u"p_006", PAGE_PICTURE, 0, u"Sea"));
    return m;
}

std::string PlanNames(const AgendaDeletePlan& plan)
{
    std::string out;
    for (const std::u16string& n : plan.names)
        out += (out.empty() ? "" : " ") + Utf8Of(n);
    return out;
}
} // namespace

TEST(AgendaListRules, RightsAndTheChosenPage)
{
    struct Row
    {
        SAgendaRights r;
        bool bKeys, bChange;
    } rows[] = {
        {{false, false, false, 1}, false, false},  // no right
        {{true, false, false, 1}, true, true},     // control right
        {{false, true, false, 2}, true, true},     // drawing right
        {{true, true, true, 1}, true, false},      // a recording plays
        {{true, false, false, 4}, true, false},    // grade 4
        {{true, false, false, 0x0E}, true, false}, // grade 14 % 10 = 4
        {{true, false, false, 0x0300 | 5}, true, true},
    };
    for (const Row& row : rows)
    {
        EXPECT_EQ(AgendaTakesKeys(row.r), row.bKeys) << row.r.wLevel;
        EXPECT_EQ(MayChangeAgenda(row.r), row.bChange) << row.r.wLevel;
    }
    // The current page again does nothing unless forced or a web page is shown.
    EXPECT_FALSE(ShowsChosenPage(3, 3, 0, false));
    EXPECT_TRUE(ShowsChosenPage(3, 3, 0, true));
    EXPECT_TRUE(ShowsChosenPage(3, 3, 1, false));
    EXPECT_FALSE(ShowsChosenPage(3, 3, 6, false));
    EXPECT_TRUE(ShowsChosenPage(4, 3, 0, false));
}

TEST(AgendaListRules, DeleteWalk)
{
    struct Row
    {
        const char* szCase;
        std::vector<AgendaItemRef> select;
        const char* pszRefusal;
        int nCount;
        const char* szNames;
    } rows[] = {
        {"one page of a slide show takes it whole", {{2, 1}}, nullptr, 3, "d_003.ppt d_003 d_004 d_005"},
        {"the slide show's own item", {{2, -1}}, nullptr, 3, "d_003.ppt d_003 d_004 d_005"},
        {"two of its pages: the group once", {{2, 0}, {2, 2}}, nullptr, 3, "d_003.ppt d_003 d_004 d_005"},
        {"a document takes its pages", {{1, -1}}, nullptr, 2, "r_001 r_002"},
        {"a document with one page chosen is not widened", {{1, -1}, {1, 1}}, nullptr, 1, "r_002"},
        {"a single picture", {{3, -1}}, nullptr, 1, "p_006"},
        {"picture and a document page", {{3, -1}, {1, 0}}, nullptr, 2, "r_001 p_006"},
        {"the whiteboard stops it", {{3, -1}, {0, -1}}, "IDS_BOARD_DEL_WHITEBOARD", 0, ""},
        {"nothing selected", {}, "IDS_BOARD_NOITEM", 0, ""},
    };
    for (const Row& row : rows)
    {
        CAgendaModel m = ListSample();
        // The tree shows the selected pages' documents open.
        for (AgendaItemRef ref : row.select)
        {
            if (ref.nChild >= 0) m.SetExpanded(ref.nTop, true);
            m.Select(ref, false);
        }
        const AgendaDeletePlan plan = PlanAgendaDelete(m);
        if (row.pszRefusal)
            EXPECT_STREQ(plan.pszRefusal, row.pszRefusal) << row.szCase;
        else
            EXPECT_EQ(plan.pszRefusal, nullptr) << row.szCase;
        EXPECT_EQ(plan.nCount, row.nCount) << row.szCase;
        EXPECT_EQ(PlanNames(plan), row.szNames) << row.szCase;
    }
    // The walk shows what it took: the slide show open with all its pages selected.
    CAgendaModel m = ListSample();
    m.SetExpanded(2, true);
    m.Select({2, 1}, true);
    PlanAgendaDelete(m);
    EXPECT_TRUE(m.Nodes()[2].bExpanded);
    for (AgendaItemRef ref : std::vector<AgendaItemRef>{{2, -1}, {2, 0}, {2, 1}, {2, 2}})
        EXPECT_TRUE(m.IsSelected(ref)) << ref.nChild;
    EXPECT_FALSE(m.IsSelected({1, -1}));
}

TEST(AgendaListRules, RenameWhiteboardKindAndDroppedPaths)
{
    EXPECT_STREQ(AgendaRenameRefusal(u""), "IDMS_AGENDALIST_ERR_RENAME");
    EXPECT_EQ(AgendaRenameRefusal(u"a"), nullptr);
    EXPECT_EQ(AgendaRenameRefusal(std::u16string(31, u'x')), nullptr);
    EXPECT_STREQ(AgendaRenameRefusal(std::u16string(32, u'x')), "IDMS_AGENDALIST_ERR_RENAME");

    // Player mode lists the whiteboard once; a live room lists every header.
    const S_BOARD_FILEHDR board = ListHdr(u"w_000", PAGE_BLANK, 0, u"Whiteboard");
    const S_BOARD_FILEHDR sea = ListHdr(u"p_006", PAGE_PICTURE, 0, u"Sea");
    bool bListed = false;
    EXPECT_TRUE(ListsPageHeader(true, board, u"Whiteboard", bListed));
    EXPECT_FALSE(ListsPageHeader(true, board, u"Whiteboard", bListed));
    EXPECT_TRUE(ListsPageHeader(true, sea, u"Whiteboard", bListed));
    bool bLive = false;
    EXPECT_TRUE(ListsPageHeader(false, board, u"Whiteboard", bLive));
    EXPECT_TRUE(ListsPageHeader(false, board, u"Whiteboard", bLive));

    const CAgendaModel m = ListSample();
    EXPECT_TRUE(IsPageKind15(m, 4, 0));
    EXPECT_FALSE(IsPageKind15(m, 6, 4));
    EXPECT_TRUE(IsPageKind15(m, -1, 4)); // the current page
    EXPECT_FALSE(IsPageKind15(m, -1, -1));
    EXPECT_FALSE(IsPageKind15(m, 99, 0));
    EXPECT_FALSE(IsPageKind15(CAgendaModel(), -1, 0));

    // A folder is a folder whatever else is set; nothing there is missing.
    struct
    {
        uint32_t dw;
        DroppedPath path;
    } paths[] = {{0x80, DroppedPath::Load},          {0x20, DroppedPath::Load},
                 {0x10, DroppedPath::Folder},        {0x10 | 0x02, DroppedPath::Folder},
                 {0x10 | 0x01, DroppedPath::Folder}, {0xFFFFFFFF, DroppedPath::Missing}};
    for (const auto& p : paths)
        EXPECT_EQ(ClassifyDroppedPath(p.dw), p.path) << p.dw;
}
