// CManageToolDlg: the side panel of the main view that holds chat, agenda, e-book and user list.
#pragma once
#include "confclient/room/RoomDlg.h"
#include "confclient/room/RoomHost.h"

class CManageToolDlg : public CRoomDlg
{
public:
    explicit CManageToolDlg(IRoomHost* pHost);

    // Stacks the visible panels again (after one was shown or hidden).
    void LayoutPanels();

protected:
    void OnSize(UINT type, int cx, int cy) override;

private:
    IRoomHost* m_pHost;
};
