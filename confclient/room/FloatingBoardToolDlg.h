// CFloatingBoardToolDlg: the whiteboard tool strip at the main view's left edge.
#pragma once
#include "confclient/room/RoomDlg.h"
#include "resources/ResourceIds.h"

class CFloatingBoardToolDlg : public CRoomDlg
{
public:
    CFloatingBoardToolDlg() : CRoomDlg(IDD_FLOATINGBOARDTOOL) {}
};
