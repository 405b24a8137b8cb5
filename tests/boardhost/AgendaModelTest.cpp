// The agenda tree's model: documents and pages, deletion and renumbering, the selection, and
// the rename and order requests byte for byte with their refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "confclient/boardhost/AgendaModel.h"
#include "core/Utf8Text.h"

namespace
{
S_BOARD_FILEHDR Hdr(const char16_t* name, uint8_t byKind, uint8_t byPos, const char16_t* title = u"",
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

// conf_000 blank page; a three-page document "Report" (001-003); picture conf_004.
CAgendaModel Sample()
{
    CAgendaModel m;
    m.InsertPage(Hdr(u"conf_000", PAGE_BLANK, 0, u"Board"));
    m.InsertPage(Hdr(u"conf_001", PAGE_PICTURE, 1, u"p1", u"Report"));
    m.InsertPage(Hdr(u"conf_002", PAGE_PICTURE, 2, u"p2", u"Report"));
    m.InsertPage(Hdr(u"conf_003", PAGE_PICTURE, 2, u"p3", u"Report"));
    m.InsertPage(Hdr(u"conf_004", PAGE_PICTURE, 0, u"Sea"));
    return m;
}

// "title#index" for pages, "[name]" around a document's pages.
std::string Tree(const CAgendaModel& m)
{
    std::string out;
    for (size_t t = 0; t < m.Nodes().size(); ++t)
    {
        const AgendaNode& n = m.Nodes()[t];
        if (!out.empty()) out += ' ';
        if (!n.bDocument)
        {
            out += Utf8Of(m.ItemText({int(t), -1})) + "#" + std::to_string(n.page.nIndex);
            continue;
        }
        out += "[" + Utf8Of(m.ItemText({int(t), -1})) + ":";
        for (size_t c = 0; c < n.children.size(); ++c)
            out += " " + Utf8Of(m.ItemText({int(t), int(c)})) + "#" + std::to_string(n.children[c].nIndex) +
                   "/" + std::to_string(n.children[c].hdr.bySubPage);
        out += "]";
    }
    return out;
}

TEST(AgendaModel, DocumentsPagesAndDeletion)
{
    CAgendaModel m = Sample();
    EXPECT_EQ(Tree(m), "Board#0 [Report: p1#1/1 p2#2/2 p3#3/2] Sea#4");
    EXPECT_EQ(m.PageCount(), 5);

    // Deleting a document's first page makes the next one first; the pages after it move up.
    m.Select(*m.FindPage(4), true);
    EXPECT_EQ(m.DeletePage(1), std::nullopt);
    EXPECT_EQ(Tree(m), "Board#0 [Report: p2#1/1 p3#2/2] Sea#3");
    EXPECT_TRUE(m.IsSelected(*m.FindPage(3))); // the selection follows its page
    // An index that is not there changes nothing.
    EXPECT_EQ(m.DeletePage(9), std::nullopt);
    EXPECT_EQ(m.PageCount(), 4);
    // Deleting the selected last page selects the new last page (message 2030, lParam 1).
    EXPECT_EQ(m.DeletePage(3), 2);
    EXPECT_TRUE(m.IsSelected(*m.FindPage(2)));
    // A document's only pages gone: the document goes too.
    m.DeletePage(1);
    EXPECT_EQ(m.DeletePage(1), 0); // the selected p3: the blank page is the last one left
    EXPECT_EQ(Tree(m), "Board#0");

    // A presentation kept whole: its document item holds "<first page>.ppt".
    CAgendaModel p;
    p.InsertPage(Hdr(u"conf_005", PAGE_DOCUMENT, 1, u"Slide 1", u"Talk"));
    EXPECT_EQ(S_BOARD_FILEHDR::Text(p.Nodes()[0].page.hdr.szName), u"conf_005.ppt");
    CAgendaModel q; // a name that fills the field stays within it
    q.InsertPage(Hdr(u"abcdefghijklmnopqrstuvwxyz0_005", PAGE_DOCUMENT, 1));
    EXPECT_EQ(S_BOARD_FILEHDR::Text(q.Nodes()[0].page.hdr.szName).size(), 31u);
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

std::u16string Text(const std::vector<uint8_t>& b, size_t at, size_t nMax)
{
    std::u16string s;
    for (size_t i = 0; i < nMax && U16(b, at + i * 2); ++i)
        s.push_back(U16(b, at + i * 2));
    return s;
}

TEST(AgendaModel, RenameRequests)
{
    CAgendaModel m = Sample();
    const std::vector<AgendaNode> before = m.Nodes();
    // A document item: the name of its first page and position byte 1.
    m.SetCaret(AgendaItemRef{1, -1});
    AgendaRequest r = m.BuildRename(u"Annual report", 7, 3, false);
    ASSERT_TRUE(r.Sends());
    EXPECT_EQ(r.name, u"conf_001");
    ASSERT_EQ(r.bytes.size(), 72u);
    EXPECT_EQ(Text(r.bytes, 0, 32), u"Annual report");
    EXPECT_EQ(U16(r.bytes, 64), 7);
    EXPECT_EQ(U16(r.bytes, 66), 3);
    EXPECT_EQ(r.bytes[68], 1);
    EXPECT_EQ(std::vector<uint8_t>(r.bytes.begin() + 69, r.bytes.end()), std::vector<uint8_t>(3, 0));
    // A document's first page goes as position 2; a page of its own as 0.
    m.SetCaret(AgendaItemRef{1, 0});
    EXPECT_EQ(m.BuildRename(u"x", 7, 3, false).bytes[68], 2);
    m.SetCaret(AgendaItemRef{2, -1});
    r = m.BuildRename(u"a name much longer than thirty-one characters", 7, 3, false);
    EXPECT_EQ(r.bytes[68], 0);
    EXPECT_EQ(Text(r.bytes, 0, 32).size(), 31u); // bounded, NUL within the 64 bytes
    // Refusals and nothing to send; the stored headers are never touched.
    EXPECT_STREQ(m.BuildRename(u"x", 7, 3, true).pszRefusal, "IDMS_AGENDALIST_ERR_DATARECEIVING_RENAME");
    m.SetCaret(std::nullopt);
    EXPECT_FALSE(m.BuildRename(u"x", 7, 3, false).Sends());
    for (size_t t = 0; t < before.size(); ++t)
        EXPECT_EQ(memcmp(&before[t].page.hdr, &m.Nodes()[t].page.hdr, sizeof(S_BOARD_FILEHDR)), 0) << t;

    // The answer from the board renames the item, or the document for byte 68 = 1.
    std::vector<uint8_t> block(72, 0);
    block[0] = 'Q';
    block[68] = 1;
    EXPECT_TRUE(m.ApplyRename(u"conf_002", block.data()));
    EXPECT_EQ(Utf8Of(m.ItemText({1, -1})), "Q");
    block[68] = 0;
    EXPECT_TRUE(m.ApplyRename(u"conf_004", block.data()));
    EXPECT_EQ(Utf8Of(m.ItemText({2, -1})), "Q");
    EXPECT_FALSE(m.ApplyRename(u"conf_099", block.data()));
}

TEST(AgendaModel, OrderRequestsByteForByte)
{
    CAgendaModel m = Sample();
    // Sea (004) dropped on the blank page: after it, as a page of its own.
    AgendaRequest r = m.BuildOrder({{2, -1}}, AgendaItemRef{0, -1}, 3, 7, false);
    ASSERT_TRUE(r.Sends());
    EXPECT_EQ(r.name, u"conf_000");
    const std::vector<uint8_t> want = {3, 0, 7, 0, 1, 0, 0, 1, '0', 0, '0', 0, '4', 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(r.bytes, want);

    // Two pages of the document dropped on its expanded folder item: before its first page,
    // as its first pages; the first dragged page goes as position 2.
    m.SetExpanded(1, true);
    r = m.BuildOrder({{1, 0}, {2, -1}}, AgendaItemRef{1, -1}, 3, 7, false);
    ASSERT_TRUE(r.Sends());
    EXPECT_EQ(r.name, u"conf_001");
    EXPECT_EQ(r.bytes[6], 1);
    EXPECT_EQ(r.bytes[7], 0);
    EXPECT_EQ(U16(r.bytes, 4), 2);
    EXPECT_EQ(Text(r.bytes, 8, 4), u"001");
    EXPECT_EQ(r.bytes[16], 2);
    EXPECT_EQ(Text(r.bytes, 20, 4), u"004");
    // On a page inside a document: they become its sub-pages (operation 2).
    r = m.BuildOrder({{2, -1}}, AgendaItemRef{1, 1}, 3, 7, false);
    EXPECT_EQ(r.bytes[6], 2);
    EXPECT_EQ(r.name, u"conf_002");

    // No item under the cursor: after the last page not dragged, operation 0.
    r = m.BuildOrder({{2, -1}}, std::nullopt, 3, 7, false);
    ASSERT_TRUE(r.Sends());
    EXPECT_EQ(r.name, u"conf_003");
    EXPECT_EQ(r.bytes[6], 0);
    EXPECT_EQ(r.bytes[7], 1);

    // A whole document: its first page's number with position 1, after the target.
    r = m.BuildOrder({{1, -1}}, AgendaItemRef{2, -1}, 3, 7, false);
    ASSERT_TRUE(r.Sends());
    EXPECT_EQ(Text(r.bytes, 8, 4), u"001");
    EXPECT_EQ(r.bytes[16], 1);
    EXPECT_EQ(r.bytes[6], 1);
}

TEST(AgendaModel, OrderRefusals)
{
    CAgendaModel m = Sample();
    m.InsertPage(Hdr(u"conf_005", PAGE_DOCUMENT, 1, u"Slide 1", u"Talk"));
    m.InsertPage(Hdr(u"conf_006", PAGE_DOCUMENT, 2, u"Slide 2", u"Talk"));
    m.SetExpanded(3, true);
    struct Row
    {
        std::vector<AgendaItemRef> dragged;
        std::optional<AgendaItemRef> target;
        bool bDownloading;
        const char* key;
    };
    const Row rows[] = {
        {{{2, -1}}, AgendaItemRef{0, -1}, true, "IDMS_AGENDALIST_ERR_DATARECEIVING_ORDER"},
        {{{0, -1}}, AgendaItemRef{2, -1}, false, "IDMS_AGENDALIST_ERR_MOVEWHITEBOARD"},
        {{{2, -1}}, AgendaItemRef{2, -1}, false, "IDMS_AGENDALIST_ERR_SELECTEDTARGET"},
        {{{1, -1}}, AgendaItemRef{3, 1}, false, "IDMS_AGENDALIST_ERR_SLIDESHOWTARGET"},
        {{{2, -1}}, AgendaItemRef{3, -1}, false, "IDMS_AGENDALIST_ERR_SLIDESHOWTARGET"},
        {{{3, 1}}, AgendaItemRef{2, -1}, false, "IDMS_AGENDALIST_ERR_SLIDESHOWMOVE"},
        {{{1, -1}}, AgendaItemRef{1, 1}, false, "IDMS_AGENDALIST_ERR_FOLDERDRAG"},
    };
    for (const Row& r : rows)
    {
        AgendaRequest req = m.BuildOrder(r.dragged, r.target, 3, 7, r.bDownloading);
        EXPECT_STREQ(req.pszRefusal, r.key);
        EXPECT_FALSE(req.Sends());
    }
    EXPECT_FALSE(m.BuildOrder({}, std::nullopt, 3, 7, false).Sends());

    // A folder with a page of its own or with a document's page cannot be dragged together.
    EXPECT_STREQ(m.CheckDragSelection({{1, -1}, {2, -1}}), "IDMS_AGENDALIST_ERR_MULTISELECT");
    EXPECT_STREQ(m.CheckDragSelection({{1, -1}, {3, 0}}), "IDMS_AGENDALIST_ERR_MULTISELECT");
    EXPECT_EQ(m.CheckDragSelection({{1, -1}}), nullptr);
    EXPECT_EQ(m.CheckDragSelection({{2, -1}, {1, 1}}), nullptr);
}

TEST(AgendaModel, OrderNumberTexts)
{
    EXPECT_EQ(OrderNumberText(u"conf_012"), u"012");
    // An agenda name with underscores: the number is after the last one.
    EXPECT_EQ(OrderNumberText(u"my_conf_012"), u"012");
    EXPECT_EQ(OrderNumberText(u"conf_01234"), u"012");
    EXPECT_EQ(OrderNumberText(u"plain"), u"");
}
} // namespace

namespace
{
// The selection as page numbers of the selected items, documents as "doc".
std::string Selected(const CAgendaModel& m)
{
    std::string out;
    for (AgendaItemRef ref : m.VisibleItems())
        if (m.IsSelected(ref))
        {
            if (!out.empty()) out += ' ';
            out += m.IsDocument(ref) ? std::string("doc") : std::to_string(m.PageAt(ref)->nIndex);
        }
    return out;
}

TEST(AgendaModel, SelectionKeys)
{
    using K = CAgendaModel::Key;
    CAgendaModel m = Sample(); // Board#0 [Report: 1 2 3] Sea#4
    m.SetExpanded(1, true);    // visible: 0, doc, 1, 2, 3, 4
    m.Select(*m.FindPage(1), true);
    struct Row
    {
        K key;
        bool bShift, bCtrl;
        std::optional<int> chosen;
        const char* selected;
        int nCaretPage; // -1: the document item
    };
    const Row rows[] = {
        {K::Down, false, false, 2, "2", 2},
        {K::Down, true, false, std::nullopt, "2 3", 3}, // Shift: the range from the anchor
        {K::Down, true, false, std::nullopt, "2 3 4", 4},
        {K::Down, false, false, 4, "4", 4},         // stops at the last page
        {K::Up, false, true, std::nullopt, "4", 3}, // Ctrl moves the caret only
        {K::Left, false, false, 3, "3", 3},         // the caret alone
        {K::Home, true, false, std::nullopt, "0 doc 1 2 3", 0},
        {K::Up, false, false, 0, "0", 0},                 // stops at the first item
        {K::Down, false, false, std::nullopt, "doc", -1}, // a document item: nothing chosen
        {K::End, false, false, 4, "4", 4},
        {K::SelectAll, false, false, std::nullopt, "0 1 2 3 4", 0},
    };
    for (const Row& r : rows)
    {
        std::optional<int> chosen = m.OnKey(r.key, r.bShift, r.bCtrl);
        SCOPED_TRACE(static_cast<int>(r.key));
        EXPECT_EQ(chosen, r.chosen);
        EXPECT_EQ(Selected(m), r.selected);
        ASSERT_TRUE(m.Caret());
        EXPECT_EQ(m.IsDocument(*m.Caret()) ? -1 : m.PageAt(*m.Caret())->nIndex, r.nCaretPage);
    }
    CAgendaModel empty;
    EXPECT_EQ(empty.OnKey(K::Down, false, false), std::nullopt);
}
TEST(AgendaModel, ClicksAndRubberBand)
{
    CAgendaModel m = Sample(); // Board#0 [Report: 1 2 3] Sea#4
    m.SetExpanded(1, true);    // visible: 0, doc, 1, 2, 3, 4
    auto page = [&](int n) { return *m.FindPage(n); };
    // Clicks: (page, Shift, Ctrl) -> chosen page, selection.
    EXPECT_EQ(m.Click(page(1), false, false), 1);
    EXPECT_EQ(Selected(m), "1");
    EXPECT_EQ(m.Click(page(3), true, false), 3); // the range from the anchor
    EXPECT_EQ(Selected(m), "1 2 3");
    EXPECT_EQ(m.Click(page(2), false, true), 2); // Ctrl takes it out
    EXPECT_EQ(Selected(m), "1 3");
    EXPECT_EQ(m.Click(page(4), false, true), 4); // and adds
    EXPECT_EQ(Selected(m), "1 3 4");
    EXPECT_EQ(m.Click(AgendaItemRef{1, -1}, false, false), std::nullopt); // a document
    EXPECT_EQ(Selected(m), "doc");
    m.SetExpanded(1, false);
    EXPECT_EQ(m.Click(page(2), false, false), std::nullopt) << "not visible";

    // The band: plain replaces the selection; Shift keeps what was selected outside it; Ctrl
    // also takes out what was selected inside it.
    m.SetExpanded(1, true);
    const std::vector<AgendaItemRef> before{page(0), page(2)}, band{page(2), page(3)};
    struct Row
    {
        bool bShift, bCtrl;
        const char* selected;
    } rows[] = {{false, false, "2 3"}, {true, false, "0 2 3"}, {false, true, "0 3"}};
    for (const Row& r : rows)
    {
        m.BandSelect(before, band, r.bShift, r.bCtrl);
        EXPECT_EQ(Selected(m), r.selected) << r.bShift << r.bCtrl;
    }
}
} // namespace
