// CTreeCtrlFolder: the board's pages as a tree (the room's agenda list): documents as folders
// with their pages, single pages at the top level. A thin adapter over CAgendaModel: the user
// chooses, renames (label edit) and reorders (drag and drop) pages; renames and
// orders go to the board as requests and change the tree only when the board's events come back.
#pragma once
#include <string>
#include <vector>

#include "confclient/boardhost/AgendaModel.h"
#include "winui/Wnd.h"

#include <commctrl.h>

// What the tree needs of the room and the board.
class IAgendaTreeHost
{
public:
    virtual ~IAgendaTreeHost() = default;
    // ReqChangeAgendaName and ReqChangeAgendaOrder on the room's board.
    virtual void RenameRequested(const std::u16string& name, const uint8_t* pBlock72) = 0;
    virtual void OrderRequested(const std::u16string& name, const uint8_t* pBuff, size_t nLen) = 0;
    // Message 2030: the user chose a page; bForce when a deletion moved the selection there.
    virtual void PageChosen(int nIndex, bool bForce) = 0;
    // A refusal's text by key in the modeless notice box.
    virtual void ShowRefusal(const char* pszKey) = 0;
    virtual bool BoardDownloading() const = 0;
    virtual uint16_t MyNumber() const = 0;
    virtual uint16_t RoomIndex() const = 0;
    // The local user may rename and reorder (the drawing or the control right, not player mode).
    virtual bool MayEditAgenda() const = 0;
    // A text by key (the context menu's items).
    virtual std::wstring AgendaText(const char* pszKey) const = 0;
};

class CTreeCtrlFolder : public CWnd
{
public:
    static constexpr UINT kRenameCommand = 32981;

    BOOL Create(HWND hParent, const RECT& rc, UINT nId);
    void SetHost(IAgendaTreeHost* pHost) { m_pHost = pHost; }
    const CAgendaModel& Model() const { return m_model; }

    // The board's page events: AddPage (0 one page; 1 the first and 2 the last of a list told
    // again after an order), DeletePage, SetCurrentPage, DoChangeAgendaName (the code-56 message).
    // bInsert false: the header keeps the list's count (first, last) but is not listed.
    void OnAddPage(int nType, const S_BOARD_FILEHDR& hdr, bool bInsert = true);
    void OnDeletePage(int nIndex);
    void OnSetCurrentPage(int nIndex);
    void OnAgendaRenamed(const uint8_t* pMsg);

    // What the user's gestures end in (the window's handlers call these; tests too).
    void EndLabelEdit(AgendaItemRef ref, const std::u16string& text);
    void DropOn(const std::vector<AgendaItemRef>& dragged, std::optional<AgendaItemRef> target);
    HTREEITEM ItemOf(AgendaItemRef ref) const;
    // The model for the agenda list's delete walk, which widens the selection; ShowSelection
    // shows the result.
    CAgendaModel& EditModel() { return m_model; }
    void ShowSelection();
    // The item pictures: the whiteboard, a document, a page (16 x 16 each).
    void SetItemImages(HIMAGELIST hImages);
    std::wstring ItemText(HTREEITEM hItem) const;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    void Rebuild();
    std::optional<AgendaItemRef> RefOf(HTREEITEM hItem) const;
    std::optional<AgendaItemRef> HitItem(LPARAM lParam) const;
    void BeginDrag(HTREEITEM hItem);
    void EndDrag(LPARAM lParam, bool bDrop);
    void ShowContextMenu();
    // The multi-select keys through the model; true when the key was one of them.
    bool OnSelectionKey(UINT nKey);

    IAgendaTreeHost* m_pHost = nullptr;
    CAgendaModel m_model;
    std::vector<std::u16string> m_expanded; // documents kept open across a refill
    bool m_bSyncing = false;                // a selection the board made, not the user
    bool m_bRetelling = false;              // between a list's type 1 and its type 2
    bool m_bDragging = false;
    std::vector<AgendaItemRef> m_dragged;
    HIMAGELIST m_hDragImage = nullptr;

    // The rubber band from a press on empty space: where it started, the keys held then, the
    // selection before it and the rectangle drawn (empty until the mouse moved far enough).
    struct Band
    {
        POINT start{};
        bool bShift = false, bCtrl = false;
        std::vector<AgendaItemRef> before;
        RECT drawn{};
    };
    std::optional<Band> m_band;
    void BeginBand(LPARAM lParam, WPARAM wParam);
    void MoveBand(LPARAM lParam);
    void EndBand();
    // The dragged items' rows as one picture: icon and text, black on white.
    HIMAGELIST MakeDragImage() const;
};
