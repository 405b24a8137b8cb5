// CRoomAgendaListDlg: the agenda panel of the side panel (its items come with the agenda).
#pragma once
#include "confclient/room/RoomDlg.h"
#include "resources/ResourceIds.h"

class CRoomAgendaListDlg : public CRoomDlg
{
public:
    CRoomAgendaListDlg() : CRoomDlg(IDD_ROOMAGENDALIST) {}
};
