// CRoomUserListDlg: the room's participants, one row each with the board-right and voice icons,
// the name with its position word and a tool tip: the chief on row 0, the presenter on row 1,
// the others sorted; a find bar, the participant menus and cell clicks that toggle rights.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "confclient/people/ParticipantRows.h"
#include "confclient/room/PanelHeader.h"
#include "confclient/room/SidePanelDlg.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/ImageListCtrl.h"
#include "confclient/toolkit/controls/LMPictureEx.h"
#include "confclient/toolkit/controls/RichEditCtrlGS.h"

class IRoomHost;

class CRoomUserListDlg : public CSidePanelDlg, private IUserRowView
{
public:
    explicit CRoomUserListDlg(IRoomHost* pHost = nullptr);
    ~CRoomUserListDlg() override;

    // The rows; null before the window is made or without a room to read.
    CParticipantRows* Rows() { return m_pRows.get(); }
    // The title: "Participants (n/max)", the count alone when it does not fit docked.
    void UpdateTitle();
    // A cell's text as the list shows it.
    std::wstring CellText(int nRow, int nColumn) const { return m_list.GetItemText(nRow, nColumn); }
    std::wstring CellTip(int nRow, int nColumn) const { return m_list.CellTip(nRow, nColumn); }
    int RowCount() const { return m_list.GetItemCount(); }
    bool FindBarShown() const { return m_bFindBar; }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The channel of the row at the selection mark (the user a drag from the list carries to a
    // seat); 65535 without a selected row.
    uint16_t SelectedChannel() const;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    HBRUSH OnCtlColor(HDC hDC, HWND hChild, UINT ctlMsg) override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    // IUserRowView: the list control's cells and tips follow the rows.
    void ShowRows(const std::vector<SUserRow>& rows) override;

    // The participant menu of the selected row at the screen point, present, enabled and checked
    // by the menus' rules.
    void ShowUserMenu(POINT pt);
    // The list menu under its button.
    void ShowListMenu();
    void OnCellClick();
    // The participant drag's presses, moves and releases on the list; true when the message is
    // swallowed.
    bool TrackSeatDrag(const MSG& msg);
    void Find();
    void ToggleFindBar();
    void Sort(int nMode);
    void UpdatePopupButton();
    void Layout();

    IRoomHost* m_pHost;
    std::unique_ptr<CParticipantRows> m_pRows;
    CImageListCtrl m_list;
    CRichEditCtrlGS m_findText;
    CPanelHeader m_header;
    CHBitmapButton m_menu, m_findNext, m_findClose;
    CLMPictureEx m_search[3];
    bool m_bFindBar = false;
};
