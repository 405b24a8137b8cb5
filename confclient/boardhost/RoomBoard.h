// CRoomBoard: the room's whiteboard in the room main view: the control (child 1023) through
// its wrapper, its initialisation, its place in the view, and the room's sink of its events.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "confclient/boardhost/BoardHostFeature.h"
#include "confclient/boardhost/BoardToolFeature.h"
#include "confclient/boardhost/LMBoard2.h"
#include "confclient/boardhost/FileUploadStateDlg.h"
#include "confclient/boardhost/PreviewDlg.h"
#include "confclient/boardhost/TreeCtrlFolder.h"

// What the room's board needs of the session.
class IRoomBoardSession
{
public:
    virtual ~IRoomBoardSession() = default;
    // Sends one board message as command 3000 (masked, not block-encrypted); false when not sent.
    virtual bool SendRoomBoardData(const uint8_t* pData, size_t nLen) = 0;
    // The board host's texts, flags and notices.
    virtual CBoardHostFeature& BoardHost() = 0;
    // The board palette docked (true) or floated: the room is laid out again.
    virtual void BoardPaletteDocked(bool bDocked) = 0;
    // Who asks for agenda changes: the local user's number, the room's index, and whether the
    // user may rename and reorder pages.
    struct AgendaRights
    {
        uint16_t wMyNumber = 0;
        uint16_t wRoom = 0;
        bool bMayEdit = false;
    };
    virtual AgendaRights BoardAgendaRights() const = 0;
    // The transfer's state bar came (a window) or went (null): the room lays it out again.
    virtual void BoardTransferStrip(CWnd* pStrip) = 0;
    // The board's zoom changed, as the zoom menu's item: the control bar's Draw menu checks it.
    virtual void BoardZoomShown(unsigned nZoomItem) = 0;
};

// The room's agenda list between the board's page events and its tree.
class IAgendaListSink
{
public:
    virtual ~IAgendaListSink() = default;
    // AddPage of that mode: whether the tree lists the header (player mode lists the whiteboard once).
    virtual bool ListsPage(int nMode, const S_BOARD_FILEHDR& hdr) = 0;
    // SetCurrentPage: the list's current page.
    virtual void OnCurrentPage(int nIndex) = 0;
    // DeletePage(0), the board's answer to DeletePageCheck: the pages waiting are deleted.
    virtual void SendPendingDeletes() = 0;
    // The tree chose a page (message 2030; bForce after a deletion moved the selection).
    virtual void GoToPage(int nIndex, bool bForce) = 0;
};

struct RoomBoardSettings
{
    std::wstring product;  // the session's product text
    long nBandwidth = 0;   // upload pace in bytes per second, 0 for none
    std::wstring confCode; // the conference code: the agenda name of the pages
};

// What the e-book panel shows of the board's e-book.
class IEBookView
{
public:
    virtual ~IEBookView() = default;
    // AddEbook: a line for a combo (kind 0 titles, 1 levels, 2 steps, 3 pages).
    virtual void AddEBookLine(int nKind, const std::wstring& text) = 0;
    // SelectEBookCombo: a selection made elsewhere (a peer, SetEBookPage) to show.
    virtual void ShowEBookSelection(const std::wstring& title, long nLevel, long nStep, long nPage) = 0;
    // GetCurrentEBookPage: the page combo's entry of that index (its edit text for -1).
    virtual std::wstring EBookPageText(int nIndex) const = 0;
};

class CRoomBoard : private IBoardTools, private IAgendaTreeHost
{
public:
    // Creates the control in hParent at rc when it is registered; Board() tells whether it is there.
    CRoomBoard(IRoomBoardSession& session, HWND hParent, const RECT& rc, const RoomBoardSettings& settings);
    // EndBoard first, then the control goes.
    ~CRoomBoard();
    CRoomBoard(const CRoomBoard&) = delete;
    CRoomBoard& operator=(const CRoomBoard&) = delete;

    bool IsCreated() const { return m_board.IsWindow(); }
    CLMBoard2& Board() { return m_board; }
    // The room's tool state and handler (the palette and the control bar's menus use it).
    CBoardToolFeature& Tools() { return m_tools; }
    // The room's agenda tree follows the board's pages (the pages so far are told at once).
    void SetAgendaTree(CTreeCtrlFolder* pTree);
    // The agenda list that filters the pages, keeps the current one and rules on chosen pages;
    // set before the tree.
    void SetAgendaList(IAgendaListSink* pList) { m_pList = pList; }
    // The room's e-book panel fills its combos from the board's e-book events.
    void SetEBookView(IEBookView* pView) { m_pEBook = pView; }
    // The board preview follows the pages (the pages so far are told at once); null to stop.
    void SetPreview(CPreviewDlg* pPreview);
    // The transfer's state bar while a board upload or download runs; null otherwise.
    CFileUploadStateDlg* TransferStrip() const { return m_pStrip.get(); }
    // The board's share of the view's centre: all of it without views, else its left two thirds.
    // rc becomes what is left for the views.
    void TakeArea(RECT& rc, bool bViewsToo);
    // Inbound board data (0x553): passed on only while the control's window exists.
    void ProcessData(const uint8_t* pData, size_t nLen);
    // A board frame left the socket (GUI thread): the control sends its next chunk.
    void SucSendBoardData(const uint8_t* pData, size_t nLen);

private:
    void Advise();
    // IBoardTools: each is one call on the control.
    void SetDrawMode(int nDrawMode) override { m_board.SetDrawMode(static_cast<short>(nDrawMode)); }
    void SetLineThick(int nThick) override { m_board.SetLineThick(static_cast<short>(nThick)); }
    void SetLineFluorescent(bool bOn) override { m_board.SetLineFluorescent(bOn); }
    void SetLineColor(uint32_t colour) override { m_board.SetLineColor(static_cast<long>(colour)); }
    void SetZoom(int nZoom) override { m_board.SetZoom(static_cast<short>(nZoom)); }
    void DrawClear() override { m_board.DrawClear(); }
    void SetTextFont() override { m_board.SetTextFont(); }
    // IAgendaTreeHost: requests go to the board, refusals to the session's notices.
    void RenameRequested(const std::u16string& name, const uint8_t* pBlock72) override;
    void OrderRequested(const std::u16string& name, const uint8_t* pBuff, size_t nLen) override;
    void PageChosen(int nIndex, bool bForce) override;
    void ShowRefusal(const char* pszKey) override { m_session.BoardHost().ShowNotice(pszKey); }
    bool BoardDownloading() const override { return m_session.BoardHost().IsDownloading(); }
    uint16_t MyNumber() const override { return m_session.BoardAgendaRights().wMyNumber; }
    uint16_t RoomIndex() const override { return m_session.BoardAgendaRights().wRoom; }
    bool MayEditAgenda() const override { return m_session.BoardAgendaRights().bMayEdit; }
    std::wstring AgendaText(const char* pszKey) const override;
    void OnPageAdded(int nType, const S_BOARD_FILEHDR& hdr);
    // The tree gets the header unless the list leaves it out.
    void TellTree(int nType, const S_BOARD_FILEHDR& hdr);

    IRoomBoardSession& m_session;
    HWND m_hParent;
    CLMBoard2 m_board;
    CBoardToolFeature m_tools{*this};
    // The board's page list as its events told it, for a tree that comes later.
    std::vector<S_BOARD_FILEHDR> m_pages;
    bool m_bRetelling = false;
    CTreeCtrlFolder* m_pTree = nullptr;
    IAgendaListSink* m_pList = nullptr;
    IEBookView* m_pEBook = nullptr;
    CPreviewDlg* m_pPreview = nullptr;
    std::unique_ptr<CFileUploadStateDlg> m_pStrip;
    void OpenStrip(bool bDownload);
    void CloseStrip();
};
