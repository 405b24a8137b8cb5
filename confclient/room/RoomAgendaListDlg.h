// CRoomAgendaListDlg: the room's agenda list in the side panel: the title band with its show/hide,
// float/dock and delete buttons and, while floating, the transparency slider; the tree of the
// board's documents and pages below it. Going to a page, deleting pages and dropping a file on
// the list go to the board for users with the right to.
#pragma once
#include <string>
#include <vector>

#include "confclient/boardhost/RoomBoard.h"
#include "confclient/boardhost/TreeCtrlFolder.h"
#include "confclient/room/AgendaListHost.h"
#include "confclient/room/PanelHeader.h"
#include "confclient/room/SidePanelDlg.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "resources/ResourceIds.h"

class IRoomHost;

class CRoomAgendaListDlg : public CSidePanelDlg, public IAgendaListSink
{
public:
    // Message 2030: go to a page (wParam the index, lParam 1 to force it).
    static constexpr UINT kGoToPageMessage = 2030;
    // Message 2036: delete the selected pages.
    static constexpr UINT kDeleteMessage = 2036;

    // pHost: the skin pictures; pAgenda: texts, rights and the board (without it the list only shows).
    explicit CRoomAgendaListDlg(IRoomHost* pHost = nullptr, IAgendaListHost* pAgenda = nullptr);
    ~CRoomAgendaListDlg() override;

    CTreeCtrlFolder& Tree() { return m_tree; }
    int CurrentPage() const { return m_nCurrentPage; }
    // The page names waiting for the board's answer to DeletePageCheck.
    const std::vector<std::u16string>& PendingDeletes() const { return m_pending; }
    // Whether the page of that index (negative: the current one) is a page of a slide show.
    bool IsPageKind15(int nIndex) const;
    // The delete command (button, Delete key, message 2036).
    void DeleteSelection();
    // A path dropped on the list.
    void DropFile(const std::wstring& szPath);

    // IAgendaListSink
    bool ListsPage(int nMode, const S_BOARD_FILEHDR& hdr) override;
    void OnCurrentPage(int nIndex) override;
    void SendPendingDeletes() override;
    void GoToPage(int nIndex, bool bForce) override;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    HBRUSH OnCtlColor(HDC hDC, HWND hChild, UINT ctlMsg) override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    bool IsPlayer() const;
    bool MayChange() const;
    void OnDropFiles(WPARAM wDrop);
    void UpdatePopupButton();
    void Layout();
    std::wstring Text(const char* pszKey) const;

    IRoomHost* m_pHost;
    IAgendaListHost* m_pAgenda;
    CTreeCtrlFolder m_tree;
    HIMAGELIST m_hImages = nullptr;
    CPanelHeader m_header;
    CHBitmapButton m_delete;
    int m_nCurrentPage = 0;
    bool m_bWhiteboardListed = false;
    std::vector<std::u16string> m_pending;
};
