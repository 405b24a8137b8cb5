// The agenda order of code 53 on a page list: moves after and before the target, sub-page
// groups, flags and captions by operation, and messages that name nothing usable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Utf8Text.h"
#include "lmboard2/boardmsg/BoardMessage.h"
#include "lmboard2/view/AgendaOrder.h"

namespace
{
struct Item
{
    const char* number;
    uint8_t byHasSubPages = 0;
};

// The message as the host builds it: name, count at 76, operation at 78, side at 79, items from 80.
std::vector<uint8_t> Order(const char16_t* target, uint8_t byOperation, bool bAfter,
                           const std::vector<Item>& items)
{
    std::vector<uint8_t> m(80 + items.size() * 12);
    m[0] = 53;
    for (size_t i = 0; target[i]; ++i)
    {
        m[8 + i * 2] = static_cast<uint8_t>(target[i]);
        m[9 + i * 2] = static_cast<uint8_t>(target[i] >> 8);
    }
    uint32_t nPayload = static_cast<uint32_t>(m.size() - 72);
    m[4] = static_cast<uint8_t>(nPayload);
    m[5] = static_cast<uint8_t>(nPayload >> 8);
    m[76] = static_cast<uint8_t>(items.size());
    m[78] = byOperation;
    m[79] = bAfter ? 1 : 0;
    for (size_t i = 0; i < items.size(); ++i)
    {
        uint8_t* p = m.data() + 80 + i * 12;
        for (int k = 0; k < 3 && items[i].number[k]; ++k)
            p[k * 2] = static_cast<uint8_t>(items[i].number[k]);
        p[8] = items[i].byHasSubPages;
    }
    return m;
}

std::vector<S_BOARD_FILEHDR> Pages(const std::vector<std::pair<const char*, uint8_t>>& list)
{
    std::vector<S_BOARD_FILEHDR> pages;
    for (auto [number, bySub] : list)
    {
        S_BOARD_FILEHDR h;
        std::string name = std::string("conf_") + number;
        S_BOARD_FILEHDR::SetText(h.szName, std::u16string(name.begin(), name.end()));
        std::string caption = std::string("caption ") + number;
        S_BOARD_FILEHDR::SetText(h.szCaption, std::u16string(caption.begin(), caption.end()));
        h.bySubPage = bySub;
        pages.push_back(h);
    }
    return pages;
}

// "002 003/1 004/2": numbers with their sub-page flags where set.
std::string Listing(const std::vector<S_BOARD_FILEHDR>& pages)
{
    std::string out;
    for (const S_BOARD_FILEHDR& h : pages)
    {
        if (!out.empty()) out += ' ';
        out += Utf8Of(S_BOARD_FILEHDR::Text(h.szName)).substr(5);
        if (h.bySubPage) out += "/" + std::to_string(h.bySubPage);
    }
    return out;
}

TEST(AgendaOrder, MovesFlagsAndCaptions)
{
    const auto flat = Pages({{"000", 0}, {"001", 0}, {"002", 0}, {"003", 0}, {"004", 0}, {"005", 0}});
    const auto grouped = Pages({{"000", 0}, {"001", 1}, {"002", 2}, {"003", 2}, {"004", 0}});
    struct Row
    {
        const char* what;
        std::vector<S_BOARD_FILEHDR> pages;
        std::vector<uint8_t> msg;
        const char* want;
    };
    const Row rows[] = {
        {"004 and 005 after 002 keep their order", flat, Order(u"conf_002", 0, true, {{"004"}, {"005"}}),
         "000 001 002 004 005 003"},
        {"before the target", flat, Order(u"conf_001", 0, false, {{"004"}, {"005"}}),
         "000 004 005 001 002 003"},
        {"to the end", flat, Order(u"conf_005", 0, true, {{"000"}, {"002"}}), "001 003 004 005 000 002"},
        // Operation 1: the first becomes the head, the rest and the page behind them its sub-pages.
        {"make a group", flat, Order(u"conf_001", 1, true, {{"003"}, {"004"}}),
         "000 001 003/1 004/2 002/2 005"},
        {"make sub-pages", flat, Order(u"conf_001", 2, true, {{"004"}}), "000 001 004/2 002 003 005"},
        // A head named with its sub-pages brings them along; operation 0 clears the flags.
        {"a group moves whole", grouped, Order(u"conf_004", 0, true, {{"001", 1}}), "000 004 001 002 003"},
        // A head moved alone leaves its first sub-page heading the rest.
        {"a head leaves its group", grouped, Order(u"conf_004", 0, true, {{"001"}}),
         "000 002/1 003/2 004 001"},
        {"missing pages and the target itself are skipped", flat,
         Order(u"conf_001", 0, true, {{"009"}, {"001"}, {"abc"}, {"003"}}), "000 001 003 002 004 005"},
        {"an unknown target moves nothing", flat, Order(u"conf_042", 0, true, {{"003"}}),
         "000 001 002 003 004 005"},
    };
    for (const Row& r : rows)
    {
        std::vector<S_BOARD_FILEHDR> pages = r.pages;
        std::optional<AgendaOrderResult> res = ApplyAgendaOrderTo(pages, r.msg.data(), r.msg.size());
        ASSERT_TRUE(res) << r.what;
        EXPECT_EQ(Listing(pages), r.want) << r.what;
    }

    // Grouping takes the target's caption and tells which headers changed.
    std::vector<S_BOARD_FILEHDR> pages = flat;
    std::vector<uint8_t> msg = Order(u"conf_001", 1, true, {{"003"}, {"004"}});
    std::optional<AgendaOrderResult> res = ApplyAgendaOrderTo(pages, msg.data(), msg.size());
    ASSERT_TRUE(res);
    EXPECT_EQ(res->changed, (std::vector<size_t>{2, 3, 4}));
    EXPECT_EQ(S_BOARD_FILEHDR::Text(pages[2].szCaption), u"caption 001");
    EXPECT_EQ(S_BOARD_FILEHDR::Text(pages[3].szCaption), u"caption 001");
    EXPECT_EQ(S_BOARD_FILEHDR::Text(pages[4].szCaption), u"caption 002"); // joined, caption kept
}

TEST(AgendaOrder, UnusableMessagesChangeNothing)
{
    const auto flat = Pages({{"000", 0}, {"001", 0}, {"002", 0}});
    std::vector<uint8_t> good = Order(u"conf_001", 0, true, {{"002"}});
    std::vector<uint8_t> longCount = good;
    longCount[76] = 2; // two items counted, one present
    const std::vector<std::vector<uint8_t>> bad = {
        std::vector<uint8_t>(good.begin(), good.begin() + 79),
        longCount,
        Order(u"../x_001", 0, true, {{"002"}}),
        Order(u"", 0, true, {{"002"}}),
    };
    for (const auto& m : bad)
    {
        std::vector<S_BOARD_FILEHDR> pages = flat;
        EXPECT_FALSE(ApplyAgendaOrderTo(pages, m.data(), m.size()));
        EXPECT_EQ(Listing(pages), "000 001 002");
    }
    std::vector<S_BOARD_FILEHDR> pages = flat;
    EXPECT_FALSE(ApplyAgendaOrderTo(pages, nullptr, 100));
}
} // namespace
