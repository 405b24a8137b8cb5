// The agenda order of code 53 on the page list.
#include "lmboard2/view/AgendaOrder.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "lmboard2/boardbase/BoardName.h"
#include "lmboard2/boardmsg/BoardMessage.h"

namespace
{
constexpr uint8_t kHasSubPages = 1;
constexpr uint8_t kIsSubPage = 2;

struct OrderItem
{
    std::u16string name;
    bool bSubItem = false; // added for a page's sub-pages, not named by the message
};

int IndexOfName(const std::vector<S_BOARD_FILEHDR>& pages, const std::u16string& name)
{
    for (size_t i = 0; i < pages.size(); ++i)
        if (S_BOARD_FILEHDR::Text(pages[i].szName) == name) return static_cast<int>(i);
    return -1;
}

// The three digits of an item's page number, when they are three digits.
std::optional<std::u16string> ItemNumber(const uint8_t* pItem)
{
    std::u16string number;
    for (int i = 0; i < 3; ++i)
    {
        char16_t c = static_cast<char16_t>(pItem[i * 2] | (pItem[i * 2 + 1] << 8));
        if (c < u'0' || c > u'9') return std::nullopt;
        number.push_back(c);
    }
    return number;
}
} // namespace

std::optional<AgendaOrderResult> ApplyAgendaOrderTo(std::vector<S_BOARD_FILEHDR>& pages, const uint8_t* pMsg,
                                                    size_t nLen)
{
    if (!pMsg || nLen < kOrderItemsAt) return std::nullopt;
    const size_t nItems = static_cast<size_t>(pMsg[76] | (pMsg[77] << 8));
    if ((nLen - kOrderItemsAt) / kOrderItemBytes < nItems) return std::nullopt;
    const uint8_t byOperation = pMsg[78];
    const bool bAfter = pMsg[79] == 1;
    std::optional<std::u16string> target = SafeNameFromField(S_BOARD_MSGHDR::Read(pMsg).szName);
    if (!target) return std::nullopt;
    const size_t nUnderscore = target->rfind(u'_');
    const std::u16string prefix =
        nUnderscore == std::u16string::npos ? *target : target->substr(0, nUnderscore);

    // 1. The items, each followed by the sub-pages of an item that has them.
    std::vector<OrderItem> items;
    bool bAnyHasSubPages = false;
    for (size_t i = 0; i < nItems; ++i)
    {
        const uint8_t* pItem = pMsg + kOrderItemsAt + i * kOrderItemBytes;
        std::optional<std::u16string> number = ItemNumber(pItem);
        if (!number) continue;
        std::u16string name = prefix + u"_" + *number;
        if (!IsSafeBoardName(name)) continue;
        items.push_back({name, false});
        if (pItem[8] != kHasSubPages) continue;
        bAnyHasSubPages = true;
        int n = IndexOfName(pages, name);
        for (size_t k = n < 0 ? pages.size() : static_cast<size_t>(n) + 1;
             k < pages.size() && pages[k].bySubPage == kIsSubPage; ++k)
            items.push_back({S_BOARD_FILEHDR::Text(pages[k].szName), true});
    }

    // 2. Each moved next to the target, taken from the tail when after, from the head when before.
    std::vector<std::u16string> moved; // in item order
    std::vector<std::u16string> changed;
    for (size_t j = 0; j < items.size(); ++j)
    {
        const OrderItem& item = items[bAfter ? items.size() - 1 - j : j];
        int nPage = IndexOfName(pages, item.name);
        int nTarget = IndexOfName(pages, *target);
        if (nPage < 0 || nTarget < 0 || nPage == nTarget) continue;
        S_BOARD_FILEHDR hdr = pages[static_cast<size_t>(nPage)];
        // A head of sub-pages that leaves them behind hands its place to the first of them.
        if (hdr.bySubPage == kHasSubPages && !item.bSubItem &&
            static_cast<size_t>(nPage) + 1 < pages.size() &&
            pages[static_cast<size_t>(nPage) + 1].bySubPage == kIsSubPage)
        {
            bool bFollowerMoves = std::any_of(
                items.begin(), items.end(),
                [&](const OrderItem& o) { return o.name == S_BOARD_FILEHDR::Text(pages[nPage + 1].szName); });
            if (!bFollowerMoves)
            {
                pages[static_cast<size_t>(nPage) + 1].bySubPage = kHasSubPages;
                changed.push_back(S_BOARD_FILEHDR::Text(pages[static_cast<size_t>(nPage) + 1].szName));
            }
        }
        pages.erase(pages.begin() + nPage);
        nTarget = IndexOfName(pages, *target);
        pages.insert(pages.begin() + nTarget + (bAfter ? 1 : 0), hdr);
        moved.insert(bAfter ? moved.begin() : moved.end(), item.name);
    }

    // 3. The sub-page flags and captions of the operation.
    const int nTarget = IndexOfName(pages, *target);
    for (size_t i = 0; i < moved.size(); ++i)
    {
        S_BOARD_FILEHDR& hdr = pages[static_cast<size_t>(IndexOfName(pages, moved[i]))];
        if (byOperation == 1)
            hdr.bySubPage = i == 0 ? kHasSubPages : kIsSubPage;
        else if (byOperation == 2)
            hdr.bySubPage = kIsSubPage;
        else
            hdr.bySubPage = 0;
        if ((byOperation == 1 || byOperation == 2) && nTarget >= 0)
            memcpy(hdr.szCaption, pages[static_cast<size_t>(nTarget)].szCaption, sizeof hdr.szCaption);
        changed.push_back(moved[i]);
    }
    // After a page is made a head of sub-pages, the page behind the last moved one joins it.
    if (byOperation == 1 && !bAnyHasSubPages && !moved.empty())
    {
        size_t nLast = static_cast<size_t>(IndexOfName(pages, moved.back()));
        if (nLast + 1 < pages.size())
        {
            pages[nLast + 1].bySubPage = kIsSubPage;
            changed.push_back(S_BOARD_FILEHDR::Text(pages[nLast + 1].szName));
        }
    }

    AgendaOrderResult result;
    for (const std::u16string& name : changed)
    {
        int n = IndexOfName(pages, name);
        if (n >= 0 &&
            std::find(result.changed.begin(), result.changed.end(), size_t(n)) == result.changed.end())
            result.changed.push_back(static_cast<size_t>(n));
    }
    return result;
}
