// CPlayerDlg: the playback bar at the bottom of the main view in player mode.
#pragma once
#include "confclient/room/RoomDlg.h"
#include "resources/ResourceIds.h"

class CPlayerDlg : public CRoomDlg
{
public:
    CPlayerDlg() : CRoomDlg(IDD_PLAYER) {}
};
