// The agenda tree's model: documents and pages, deletion, selection and the board requests.
#include "confclient/boardhost/AgendaModel.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr uint8_t kOwnPage = 0;
constexpr uint8_t kFirstOfDocument = 1;
constexpr uint8_t kInDocument = 2;

void PutU16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

std::u16string NameOf(const S_BOARD_FILEHDR& h)
{
    return S_BOARD_FILEHDR::Text(h.szName);
}

AgendaRequest Refused(const char* pszKey)
{
    AgendaRequest r;
    r.pszRefusal = pszKey;
    return r;
}
} // namespace

std::u16string OrderNumberText(const std::u16string& pageName)
{
    size_t nUnderscore = pageName.rfind(u'_');
    std::u16string number =
        nUnderscore == std::u16string::npos ? std::u16string() : pageName.substr(nUnderscore + 1);
    return number.substr(0, 3);
}

void CAgendaModel::InsertPage(const S_BOARD_FILEHDR& hdr, int nIndex, bool bCreateDocument)
{
    if (nIndex < 0) nIndex = PageCount();
    if (bCreateDocument && hdr.bySubPage == kFirstOfDocument)
    {
        AgendaNode doc;
        doc.bDocument = true;
        doc.page.nIndex = -1;
        if (hdr.byKind == PAGE_DOCUMENT)
        {
            doc.page.hdr = hdr;
            // "<page name>.ppt", kept within the name field.
            S_BOARD_FILEHDR::SetText(doc.page.hdr.szName, NameOf(hdr) + u".ppt");
        }
        // The document's name is its first page's caption.
        memcpy(doc.page.hdr.szCaption, hdr.szCaption, sizeof hdr.szCaption);
        m_nodes.push_back(std::move(doc));
        m_nCurrentDocument = static_cast<int>(m_nodes.size()) - 1;
    }
    AgendaPage page{nIndex, hdr};
    if (hdr.bySubPage != kOwnPage && m_nCurrentDocument >= 0)
    {
        m_nodes[static_cast<size_t>(m_nCurrentDocument)].children.push_back(page);
        return;
    }
    AgendaNode node;
    node.page = page;
    m_nodes.push_back(std::move(node));
}

void CAgendaModel::Clear()
{
    m_nodes.clear();
    m_nCurrentDocument = -1;
    m_selection.clear();
    m_caret.reset();
    m_anchor.reset();
}

int CAgendaModel::PageCount() const
{
    int n = 0;
    for (const AgendaNode& node : m_nodes)
        n += node.bDocument ? static_cast<int>(node.children.size()) : 1;
    return n;
}

const AgendaPage* CAgendaModel::PageAt(AgendaItemRef ref) const
{
    if (ref.nTop < 0 || static_cast<size_t>(ref.nTop) >= m_nodes.size()) return nullptr;
    const AgendaNode& node = m_nodes[static_cast<size_t>(ref.nTop)];
    if (ref.nChild < 0) return &node.page;
    if (static_cast<size_t>(ref.nChild) >= node.children.size()) return nullptr;
    return &node.children[static_cast<size_t>(ref.nChild)];
}

std::optional<AgendaItemRef> CAgendaModel::FindPage(int nIndex) const
{
    for (size_t t = 0; t < m_nodes.size(); ++t)
    {
        const AgendaNode& node = m_nodes[t];
        if (!node.bDocument && node.page.nIndex == nIndex) return AgendaItemRef{static_cast<int>(t), -1};
        for (size_t c = 0; c < node.children.size(); ++c)
            if (node.children[c].nIndex == nIndex)
                return AgendaItemRef{static_cast<int>(t), static_cast<int>(c)};
    }
    return std::nullopt;
}

std::optional<AgendaItemRef> CAgendaModel::FindByPageName(const std::u16string& name) const
{
    for (size_t t = 0; t < m_nodes.size(); ++t)
    {
        const AgendaNode& node = m_nodes[t];
        if (NameOf(node.page.hdr) == name) return AgendaItemRef{static_cast<int>(t), -1};
        for (size_t c = 0; c < node.children.size(); ++c)
            if (NameOf(node.children[c].hdr) == name)
                return AgendaItemRef{static_cast<int>(t), static_cast<int>(c)};
    }
    return std::nullopt;
}

void CAgendaModel::SetExpanded(int nTop, bool bExpanded)
{
    if (nTop >= 0 && static_cast<size_t>(nTop) < m_nodes.size())
        m_nodes[static_cast<size_t>(nTop)].bExpanded = bExpanded;
}

std::u16string CAgendaModel::ItemText(AgendaItemRef ref) const
{
    const AgendaPage* p = PageAt(ref);
    if (!p) return {};
    return IsDocument(ref) ? S_BOARD_FILEHDR::Text(p->hdr.szCaption) : S_BOARD_FILEHDR::Text(p->hdr.szTitle);
}

void CAgendaModel::Select(AgendaItemRef ref, bool bAlone)
{
    if (!PageAt(ref)) return;
    if (bAlone)
    {
        m_selection.clear();
        m_anchor = ref;
    }
    if (!IsSelected(ref)) m_selection.push_back(ref);
    m_caret = ref;
}

std::vector<AgendaItemRef> CAgendaModel::VisibleItems() const
{
    std::vector<AgendaItemRef> items;
    for (size_t t = 0; t < m_nodes.size(); ++t)
    {
        items.push_back({static_cast<int>(t), -1});
        if (m_nodes[t].bDocument && m_nodes[t].bExpanded)
            for (size_t c = 0; c < m_nodes[t].children.size(); ++c)
                items.push_back({static_cast<int>(t), static_cast<int>(c)});
    }
    return items;
}

std::optional<int> CAgendaModel::OnKey(Key key, bool bShift, bool bCtrl)
{
    const std::vector<AgendaItemRef> items = VisibleItems();
    if (items.empty()) return std::nullopt;
    auto position = [&](std::optional<AgendaItemRef> ref)
    {
        if (!ref) return -1;
        auto it = std::find(items.begin(), items.end(), *ref);
        return it == items.end() ? -1 : static_cast<int>(it - items.begin());
    };
    // The last page in visible order: moves stop there.
    int nLastPage = -1;
    for (int i = static_cast<int>(items.size()) - 1; i >= 0 && nLastPage < 0; --i)
        if (!IsDocument(items[static_cast<size_t>(i)])) nLastPage = i;
    if (nLastPage < 0) nLastPage = static_cast<int>(items.size()) - 1;

    if (key == Key::SelectAll)
    {
        m_selection.clear();
        std::optional<AgendaItemRef> first;
        for (AgendaItemRef ref : items)
            if (!IsDocument(ref))
            {
                m_selection.push_back(ref);
                if (!first) first = ref;
            }
        m_caret = first;
        m_anchor = first;
        return std::nullopt;
    }
    const int nCaret = position(m_caret);
    int nTo = nCaret < 0 ? 0 : nCaret;
    switch (key)
    {
    case Key::Home:
        nTo = 0;
        break;
    case Key::End:
        nTo = nLastPage;
        break;
    case Key::Up:
        nTo = std::max(nTo - 1, 0);
        break;
    case Key::Down:
        nTo = nCaret < 0 ? 0 : std::min(nTo + 1, std::max(nLastPage, nTo));
        break;
    case Key::Left:
    case Key::Right:
        bShift = bCtrl = false;
        break;
    default:
        break;
    }
    const AgendaItemRef to = items[static_cast<size_t>(nTo)];
    if (bCtrl)
    {
        m_caret = to;
        return std::nullopt;
    }
    if (bShift)
    {
        int nAnchor = position(m_anchor);
        if (nAnchor < 0) nAnchor = nCaret < 0 ? nTo : nCaret;
        SelectRange(items, nAnchor, nTo);
        m_caret = to;
        return std::nullopt;
    }
    Select(to, true);
    if (IsDocument(to)) return std::nullopt;
    return PageAt(to)->nIndex;
}

void CAgendaModel::SelectRange(const std::vector<AgendaItemRef>& items, int nFrom, int nTo)
{
    m_selection.clear();
    for (int i = std::min(nFrom, nTo); i <= std::max(nFrom, nTo); ++i)
        m_selection.push_back(items[static_cast<size_t>(i)]);
}

std::optional<int> CAgendaModel::Click(AgendaItemRef ref, bool bShift, bool bCtrl)
{
    const std::vector<AgendaItemRef> items = VisibleItems();
    auto at = std::find(items.begin(), items.end(), ref);
    if (at == items.end()) return std::nullopt;
    if (bShift)
    {
        auto anchor = m_anchor ? std::find(items.begin(), items.end(), *m_anchor) : items.end();
        if (anchor == items.end())
        {
            anchor = at;
            m_anchor = ref;
        }
        SelectRange(items, static_cast<int>(anchor - items.begin()), static_cast<int>(at - items.begin()));
        m_caret = ref;
    }
    else if (bCtrl)
    {
        if (IsSelected(ref))
            Deselect(ref);
        else
            m_selection.push_back(ref);
        m_caret = ref;
        m_anchor = ref;
    }
    else
        Select(ref, true);
    if (IsDocument(ref)) return std::nullopt;
    return PageAt(ref)->nIndex;
}

void CAgendaModel::BandSelect(const std::vector<AgendaItemRef>& before,
                              const std::vector<AgendaItemRef>& touched, bool bShift, bool bCtrl)
{
    auto holds = [](const std::vector<AgendaItemRef>& list, AgendaItemRef ref)
    { return std::find(list.begin(), list.end(), ref) != list.end(); };
    m_selection.clear();
    // In visible order, so that a range or a drag takes the items as the tree shows them.
    for (AgendaItemRef ref : VisibleItems())
    {
        const bool bInBand = holds(touched, ref), bWas = (bShift || bCtrl) && holds(before, ref);
        const bool bSelected = bInBand ? !(bCtrl && bWas) : bWas;
        if (bSelected) m_selection.push_back(ref);
    }
}

void CAgendaModel::Deselect(AgendaItemRef ref)
{
    m_selection.erase(std::remove(m_selection.begin(), m_selection.end(), ref), m_selection.end());
}

bool CAgendaModel::IsSelected(AgendaItemRef ref) const
{
    return std::find(m_selection.begin(), m_selection.end(), ref) != m_selection.end();
}

void CAgendaModel::Renumber(int nFrom)
{
    for (AgendaNode& node : m_nodes)
    {
        if (!node.bDocument && node.page.nIndex >= nFrom) --node.page.nIndex;
        for (AgendaPage& p : node.children)
            if (p.nIndex >= nFrom) --p.nIndex;
    }
}

std::optional<int> CAgendaModel::DeletePage(int nIndex)
{
    std::optional<AgendaItemRef> ref = FindPage(nIndex);
    if (!ref) return std::nullopt;
    const bool bWasSelected = IsSelected(*ref);
    // The selection by page index survives the renumbering; document items leave it.
    std::vector<int> selected;
    for (AgendaItemRef s : m_selection)
        if (!IsDocument(s) && PageAt(s) && PageAt(s)->nIndex != nIndex) selected.push_back(PageAt(s)->nIndex);
    std::optional<int> caret;
    if (m_caret && !IsDocument(*m_caret) && PageAt(*m_caret) && PageAt(*m_caret)->nIndex != nIndex)
        caret = PageAt(*m_caret)->nIndex;

    AgendaNode& node = m_nodes[static_cast<size_t>(ref->nTop)];
    if (ref->nChild < 0)
        m_nodes.erase(m_nodes.begin() + ref->nTop);
    else
    {
        const uint8_t byPosition = node.children[static_cast<size_t>(ref->nChild)].hdr.bySubPage;
        node.children.erase(node.children.begin() + ref->nChild);
        if (node.children.empty())
            m_nodes.erase(m_nodes.begin() + ref->nTop);
        else if (byPosition == kFirstOfDocument)
            node.children.front().hdr.bySubPage = kFirstOfDocument;
    }
    if (m_nCurrentDocument >= static_cast<int>(m_nodes.size()) ||
        (m_nCurrentDocument >= 0 && !m_nodes[static_cast<size_t>(m_nCurrentDocument)].bDocument))
        m_nCurrentDocument = -1;
    Renumber(nIndex + 1);

    auto renumbered = [&](int n) { return n > nIndex ? n - 1 : n; };
    m_selection.clear();
    for (int n : selected)
        if (std::optional<AgendaItemRef> r = FindPage(renumbered(n))) m_selection.push_back(*r);
    m_caret.reset();
    m_anchor.reset();
    if (caret) m_caret = FindPage(renumbered(*caret));
    if (!bWasSelected) return std::nullopt;
    const int nCount = PageCount();
    if (nCount == 0) return std::nullopt;
    const int nNew = nIndex < nCount ? nIndex : nCount - 1;
    if (std::optional<AgendaItemRef> r = FindPage(nNew)) Select(*r, true);
    return nNew;
}

AgendaRequest CAgendaModel::BuildRename(const std::u16string& newName, uint16_t wMyNumber, uint16_t wRoom,
                                        bool bDownloading) const
{
    if (bDownloading) return Refused("IDMS_AGENDALIST_ERR_DATARECEIVING_RENAME");
    if (!m_caret || !PageAt(*m_caret)) return {};
    S_BOARD_FILEHDR hdr = PageAt(*m_caret)->hdr;
    if (IsDocument(*m_caret))
    {
        const AgendaNode& doc = m_nodes[static_cast<size_t>(m_caret->nTop)];
        if (doc.children.empty()) return {};
        memcpy(hdr.szName, doc.children.front().hdr.szName, sizeof hdr.szName);
        hdr.bySubPage = kFirstOfDocument;
    }
    else if (hdr.bySubPage == kFirstOfDocument)
        hdr.bySubPage = kInDocument;

    AgendaRequest r;
    r.name = NameOf(hdr);
    r.bytes.assign(kRenameBlockBytes, 0);
    // The new name: at most 31 units and a NUL in its 64 bytes.
    const size_t nUnits = std::min<size_t>(newName.size(), 31);
    for (size_t i = 0; i < nUnits; ++i)
        PutU16(r.bytes.data() + i * 2, newName[i]);
    PutU16(r.bytes.data() + 64, wMyNumber);
    PutU16(r.bytes.data() + 66, wRoom);
    r.bytes[68] = hdr.bySubPage;
    return r;
}

std::optional<AgendaItemRef> CAgendaModel::LastPageItem(const std::vector<AgendaItemRef>& skip) const
{
    // The last page in visible order that is not one of skip.
    for (int t = static_cast<int>(m_nodes.size()) - 1; t >= 0; --t)
    {
        const AgendaNode& node = m_nodes[static_cast<size_t>(t)];
        if (!node.bDocument)
        {
            AgendaItemRef ref{t, -1};
            if (std::find(skip.begin(), skip.end(), ref) == skip.end()) return ref;
            continue;
        }
        if (std::find(skip.begin(), skip.end(), AgendaItemRef{t, -1}) != skip.end()) continue;
        for (int c = static_cast<int>(node.children.size()) - 1; c >= 0; --c)
        {
            AgendaItemRef ref{t, c};
            if (std::find(skip.begin(), skip.end(), ref) == skip.end()) return ref;
        }
    }
    return std::nullopt;
}

AgendaRequest CAgendaModel::BuildOrder(const std::vector<AgendaItemRef>& dragged,
                                       std::optional<AgendaItemRef> target, uint16_t wRoom,
                                       uint16_t wMyNumber, bool bDownloading) const
{
    if (bDownloading) return Refused("IDMS_AGENDALIST_ERR_DATARECEIVING_ORDER");
    if (dragged.empty()) return {};
    if (target && std::find(dragged.begin(), dragged.end(), *target) != dragged.end())
        return Refused("IDMS_AGENDALIST_ERR_SELECTEDTARGET");
    for (AgendaItemRef d : dragged)
        if (!PageAt(d)) return {};

    std::vector<uint8_t> buf(8 + 12 * dragged.size(), 0);
    PutU16(buf.data(), wRoom);
    PutU16(buf.data() + 2, wMyNumber);
    PutU16(buf.data() + 4, static_cast<uint16_t>(dragged.size()));
    buf[7] = 1;

    // The target, on a copy of its header.
    const bool bNoTarget = !target;
    if (bNoTarget) target = LastPageItem(dragged);
    if (!target || !PageAt(*target)) return {};
    S_BOARD_FILEHDR to = PageAt(*target)->hdr;
    if (bNoTarget)
        buf[6] = 0;
    else if (IsDocument(*target))
    {
        const AgendaNode& doc = m_nodes[static_cast<size_t>(target->nTop)];
        if (doc.children.empty()) return {};
        memcpy(to.szName, doc.children.front().hdr.szName, sizeof to.szName);
        if (doc.bExpanded)
        {
            if (doc.children.front().hdr.byKind == PAGE_DOCUMENT)
                return Refused("IDMS_AGENDALIST_ERR_SLIDESHOWTARGET");
            to.bySubPage = kFirstOfDocument;
            buf[7] = 0;
        }
        else
            to.bySubPage = kOwnPage;
        buf[6] = to.bySubPage;
    }
    else
    {
        if (to.byKind == PAGE_DOCUMENT && to.bySubPage != kFirstOfDocument)
            return Refused("IDMS_AGENDALIST_ERR_SLIDESHOWTARGET");
        if (to.bySubPage == kFirstOfDocument) to.bySubPage = kInDocument;
        buf[6] = to.bySubPage;
    }

    for (size_t i = 0; i < dragged.size(); ++i)
    {
        S_BOARD_FILEHDR item = PageAt(dragged[i])->hdr;
        if (IsDocument(dragged[i]))
        {
            const AgendaNode& doc = m_nodes[static_cast<size_t>(dragged[i].nTop)];
            if (doc.children.empty()) return {};
            memcpy(item.szName, doc.children.front().hdr.szName, sizeof item.szName);
            item.bySubPage = kFirstOfDocument;
            if (to.bySubPage == kFirstOfDocument || to.bySubPage == kInDocument)
                return Refused("IDMS_AGENDALIST_ERR_FOLDERDRAG");
            // A document goes after the last page of what it lands on.
            const AgendaNode& landing =
                m_nodes[static_cast<size_t>(bNoTarget ? static_cast<int>(m_nodes.size()) - 1 : target->nTop)];
            if ((bNoTarget || target->nChild < 0) && landing.bDocument && !landing.children.empty())
                memcpy(to.szName, landing.children.back().hdr.szName, sizeof to.szName);
            buf[6] = 1;
        }
        else
        {
            if (item.byKind == PAGE_BLANK) return Refused("IDMS_AGENDALIST_ERR_MOVEWHITEBOARD");
            if (item.byKind == PAGE_DOCUMENT && item.bySubPage != kFirstOfDocument)
                return Refused("IDMS_AGENDALIST_ERR_SLIDESHOWMOVE");
            if (item.bySubPage == kFirstOfDocument) item.bySubPage = kInDocument;
        }
        uint8_t* p = buf.data() + 8 + 12 * i;
        std::u16string number = OrderNumberText(NameOf(item));
        for (size_t k = 0; k < number.size(); ++k)
            PutU16(p + k * 2, number[k]);
        p[8] = item.bySubPage;
    }
    AgendaRequest r;
    r.name = NameOf(to);
    r.bytes = std::move(buf);
    return r;
}

const char* CAgendaModel::CheckDragSelection(const std::vector<AgendaItemRef>& items) const
{
    bool bBareDocument = false, bTopPage = false, bPlacedItem = false;
    for (AgendaItemRef ref : items)
    {
        const AgendaPage* p = PageAt(ref);
        if (!p) continue;
        if (IsDocument(ref))
            bBareDocument = bBareDocument || p->hdr.bySubPage == kOwnPage;
        else if (ref.nChild < 0)
            bTopPage = true;
        if (p->hdr.bySubPage != kOwnPage) bPlacedItem = true;
    }
    return bBareDocument && (bTopPage || bPlacedItem) ? "IDMS_AGENDALIST_ERR_MULTISELECT" : nullptr;
}

bool CAgendaModel::ApplyRename(const std::u16string& pageName, const uint8_t* pBlock72)
{
    if (!pBlock72) return false;
    std::optional<AgendaItemRef> ref = FindByPageName(pageName);
    if (!ref) return false;
    if (pBlock72[68] == kFirstOfDocument && ref->nChild >= 0) ref->nChild = -1;
    std::u16string name;
    for (size_t i = 0; i < 31; ++i)
    {
        char16_t c = static_cast<char16_t>(pBlock72[i * 2] | (pBlock72[i * 2 + 1] << 8));
        if (!c) break;
        name.push_back(c);
    }
    AgendaNode& node = m_nodes[static_cast<size_t>(ref->nTop)];
    AgendaPage& page = ref->nChild < 0 ? node.page : node.children[static_cast<size_t>(ref->nChild)];
    if (IsDocument(*ref))
        S_BOARD_FILEHDR::SetText(page.hdr.szCaption, name);
    else
        S_BOARD_FILEHDR::SetText(page.hdr.szTitle, name);
    return true;
}
