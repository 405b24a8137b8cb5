// The agenda list's rules: rights, the delete walk over the model, rename lengths, player mode's
// whiteboard, dropped paths.
#include "confclient/boardhost/AgendaListRules.h"

#include <algorithm>

namespace
{
constexpr size_t kMaxAgendaNameUnits = 31;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;

bool HasChildren(const CAgendaModel& model, AgendaItemRef ref)
{
    return model.IsDocument(ref) && !model.Nodes()[static_cast<size_t>(ref.nTop)].children.empty();
}

// The document expanded with all its pages selected (its own item stays as it was).
void SelectDocumentPages(CAgendaModel& model, int nTop)
{
    model.SetExpanded(nTop, true);
    const size_t nPages = model.Nodes()[static_cast<size_t>(nTop)].children.size();
    for (size_t c = 0; c < nPages; ++c)
        model.Select({nTop, static_cast<int>(c)}, false);
}

bool ListOrder(AgendaItemRef a, AgendaItemRef b)
{
    return a.nTop != b.nTop ? a.nTop < b.nTop : a.nChild < b.nChild;
}
} // namespace

bool AgendaTakesKeys(const SAgendaRights& r)
{
    return r.bControl || r.bDraw;
}

bool MayChangeAgenda(const SAgendaRights& r)
{
    return AgendaTakesKeys(r) && !r.bPlayer && (r.wLevel & 0xFF) % 10 != 4;
}

bool ShowsChosenPage(int nIndex, int nCurrent, int nBoardMode, bool bForce)
{
    return nBoardMode == 1 || bForce || nIndex != nCurrent;
}

AgendaDeletePlan PlanAgendaDelete(CAgendaModel& model)
{
    AgendaDeletePlan plan;
    std::vector<AgendaItemRef> selected = model.Selection();
    std::sort(selected.begin(), selected.end(), ListOrder);
    int nGroup = -1; // the kind-15 document whose pages are all taken already
    for (size_t i = 0; i < selected.size(); ++i)
    {
        const AgendaItemRef ref = selected[i];
        if (ref.nTop == nGroup) continue;
        const AgendaPage* pPage = model.PageAt(ref);
        if (!pPage) return {};
        if (pPage->hdr.byKind == PAGE_BLANK)
        {
            plan.pszRefusal = "IDS_BOARD_DEL_WHITEBOARD";
            return plan;
        }
        if (pPage->hdr.byKind == PAGE_DOCUMENT)
        {
            // A page of it stands for the whole document, which is then selected too.
            if (ref.nChild >= 0 || HasChildren(model, ref))
            {
                model.Select({ref.nTop, -1}, false);
                SelectDocumentPages(model, ref.nTop);
                nGroup = ref.nTop;
            }
            continue;
        }
        if (!HasChildren(model, ref)) continue;
        // A document takes its pages, unless some of them were chosen one by one.
        const bool bPagesChosen =
            i + 1 < selected.size() && selected[i + 1].nTop == ref.nTop && selected[i + 1].nChild >= 0;
        if (!bPagesChosen) SelectDocumentPages(model, ref.nTop);
    }

    selected = model.Selection();
    std::sort(selected.begin(), selected.end(), ListOrder);
    for (AgendaItemRef ref : selected)
    {
        const bool bLeaf = !HasChildren(model, ref);
        if (bLeaf) ++plan.nCount;
        if (bLeaf || model.PageAt(ref)->hdr.byKind == PAGE_DOCUMENT)
            plan.names.push_back(S_BOARD_FILEHDR::Text(model.PageAt(ref)->hdr.szName));
    }
    if (plan.nCount == 0)
    {
        plan.pszRefusal = "IDS_BOARD_NOITEM";
        plan.names.clear();
    }
    return plan;
}

const char* AgendaRenameRefusal(const std::u16string& text)
{
    return text.empty() || text.size() > kMaxAgendaNameUnits ? "IDMS_AGENDALIST_ERR_RENAME" : nullptr;
}

bool ListsPageHeader(bool bPlayer, const S_BOARD_FILEHDR& hdr, const std::u16string& szWhiteboard,
                     bool& bListed)
{
    if (!bPlayer || S_BOARD_FILEHDR::Text(hdr.szTitle) != szWhiteboard) return true;
    if (bListed) return false;
    bListed = true;
    return true;
}

bool IsPageKind15(const CAgendaModel& model, int nIndex, int nCurrent)
{
    const int nPage = nIndex < 0 ? nCurrent : nIndex;
    if (nPage < 0) return false;
    const std::optional<AgendaItemRef> ref = model.FindPage(nPage);
    const AgendaPage* pPage = ref ? model.PageAt(*ref) : nullptr;
    return pPage && pPage->hdr.byKind == PAGE_DOCUMENT;
}

DroppedPath ClassifyDroppedPath(uint32_t dwAttributes)
{
    if (dwAttributes == kInvalidAttributes) return DroppedPath::Missing;
    return (dwAttributes & kAttributeDirectory) ? DroppedPath::Folder : DroppedPath::Load;
}
