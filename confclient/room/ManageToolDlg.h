// CManageToolDlg: the side-panel host at the left of the room window: its docked panels and the
// button that shows or hides them.
#pragma once
#include "confclient/room/RoomDlg.h"
#include "confclient/room/RoomHost.h"

class CManageToolDlg : public CRoomDlg
{
public:
    explicit CManageToolDlg(IRoomHost* pHost);

    // Stacks the visible panels again (after one was shown or hidden).
    void LayoutPanels();
    // The button's text and tool tip follow whether the panels are shown.
    void UpdatePopupButton(bool bShown);
    // Shows or hides the panels through the session; bResend also sends the room's properties.
    void RefreshRoomLayout(bool bResend);

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // The right button released on the button: the for-everyone pop-up at the pointer.
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnSize(UINT type, int cx, int cy) override;

private:
    IRoomHost* m_pHost;
};
