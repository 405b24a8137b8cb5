// CAgendaModel: the board's pages as the agenda tree shows them: documents (a presentation or a
// document of several pages) as folder items with their pages under them, single pages at the
// top level. It renumbers pages on deletion, moves the selection off a deleted page, and builds
// the rename and order requests the board sends to everybody; requests are built on copies of
// the stored headers, so a refused or unanswered one leaves the model as it was.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lmboard2/boardbase/BoardFileHeader.h"

// An item: a top-level item (nChild -1) or a page under a document.
struct AgendaItemRef
{
    int nTop = -1;
    int nChild = -1;
    bool operator==(const AgendaItemRef& o) const { return nTop == o.nTop && nChild == o.nChild; }
};

struct AgendaPage
{
    int nIndex = 0;
    S_BOARD_FILEHDR hdr;
};

struct AgendaNode
{
    bool bDocument = false;
    bool bExpanded = false;
    AgendaPage page;                  // a page item; for a document its stored header, index -1
    std::vector<AgendaPage> children; // a document's pages
};

// A request to send, or the text key of its refusal.
struct AgendaRequest
{
    const char* pszRefusal = nullptr; // null: send
    std::u16string name;              // the agenda (page) name the request names
    std::vector<uint8_t> bytes;       // the rename block (72 bytes) or the order buffer
    bool Sends() const { return !pszRefusal && !bytes.empty(); }
};

constexpr size_t kRenameBlockBytes = 72;

class CAgendaModel
{
public:
    // InsertPage: index -1 is after the last page; with bCreateDocument a document's first page
    // (position byte 1) opens a document item that the following document pages go under.
    void InsertPage(const S_BOARD_FILEHDR& hdr, int nIndex = -1, bool bCreateDocument = true);
    // DeletePage: the page's item goes (and its document when it was the last page in it), the
    // pages after it are renumbered. When it was selected, the page now at its index (or the
    // new last page) is selected alone and returned, for message 2030 with lParam 1. An index
    // that is not there changes nothing.
    std::optional<int> DeletePage(int nIndex);
    void Clear();

    const std::vector<AgendaNode>& Nodes() const { return m_nodes; }
    int PageCount() const;
    std::optional<AgendaItemRef> FindPage(int nIndex) const;
    std::optional<AgendaItemRef> FindByPageName(const std::u16string& name) const;
    const AgendaPage* PageAt(AgendaItemRef ref) const;
    bool IsDocument(AgendaItemRef ref) const
    {
        return ref.nChild < 0 && ref.nTop >= 0 && m_nodes[ref.nTop].bDocument;
    }
    void SetExpanded(int nTop, bool bExpanded);

    // The selection (items in visible order) and the caret.
    void Select(AgendaItemRef ref, bool bAlone);
    void Deselect(AgendaItemRef ref);
    bool IsSelected(AgendaItemRef ref) const;
    const std::vector<AgendaItemRef>& Selection() const { return m_selection; }
    std::optional<AgendaItemRef> Caret() const { return m_caret; }
    void SetCaret(std::optional<AgendaItemRef> ref) { m_caret = ref; }
    void ClearSelection() { m_selection.clear(); }

    // Items in the order the tree shows them (a document's pages while it is open).
    std::vector<AgendaItemRef> VisibleItems() const;
    // The multi-select keys: Ctrl+A all pages (caret on the first); Home the first item and End
    // the last page; Up and Down one visible item, stopping there; Left and Right the caret alone.
    // Shift selects the range from the anchor, Ctrl moves the caret only, a plain key selects
    // the item alone. A plain move returns the caret's page index (message 2030).
    enum class Key
    {
        SelectAll,
        Home,
        End,
        Up,
        Down,
        Left,
        Right,
    };
    std::optional<int> OnKey(Key key, bool bShift, bool bCtrl);
    // A click released on an item: plain selects it alone, Ctrl adds it or takes it out, Shift
    // selects the range from the anchor; the item becomes the caret. Returns the caret's page
    // index (message 2030), none for a document.
    std::optional<int> Click(AgendaItemRef ref, bool bShift, bool bCtrl);
    // A rubber band over the touched items: they are selected and the others not. With Ctrl or
    // Shift held at the click the items selected before (before) stay selected outside the
    // band, and with Ctrl the touched ones that were selected are taken out instead.
    void BandSelect(const std::vector<AgendaItemRef>& before, const std::vector<AgendaItemRef>& touched,
                    bool bShift, bool bCtrl);

    // RequestRename after a label edit of the caret item (ReqChangeAgendaName).
    AgendaRequest BuildRename(const std::u16string& newName, uint16_t wMyNumber, uint16_t wRoom,
                              bool bDownloading) const;
    // RequestOrder for the dragged items dropped on target (none: after the last page).
    AgendaRequest BuildOrder(const std::vector<AgendaItemRef>& dragged, std::optional<AgendaItemRef> target,
                             uint16_t wRoom, uint16_t wMyNumber, bool bDownloading) const;
    // A drag of these items may start: null, or the refusal's text key.
    const char* CheckDragSelection(const std::vector<AgendaItemRef>& items) const;
    // RenameDocument: the item named in the message (its document when the block's byte 68 is
    // 1) takes the new name; false when none is found.
    bool ApplyRename(const std::u16string& pageName, const uint8_t* pBlock72);

    // The text of an item as the tree shows it: a page's title, a document's name.
    std::u16string ItemText(AgendaItemRef ref) const;

private:
    // Selects the visible items from position nFrom to nTo (either order) and nothing else.
    void SelectRange(const std::vector<AgendaItemRef>& items, int nFrom, int nTo);
    std::optional<AgendaItemRef> LastPageItem(const std::vector<AgendaItemRef>& skip) const;
    void Renumber(int nFrom);

    std::vector<AgendaNode> m_nodes;
    int m_nCurrentDocument = -1;
    std::vector<AgendaItemRef> m_selection;
    std::optional<AgendaItemRef> m_caret;
    std::optional<AgendaItemRef> m_anchor; // where a Shift range starts
};

// The page-number text of an order item: the digits after the page name's last '_', at most 3.
std::u16string OrderNumberText(const std::u16string& pageName);
