// CRoomAgendaListDlg: the agenda panel of the side panel (its items come with the agenda).
#pragma once
#include "confclient/room/SidePanelDlg.h"
#include "resources/ResourceIds.h"

class CRoomAgendaListDlg : public CSidePanelDlg
{
public:
    CRoomAgendaListDlg() : CSidePanelDlg(IDD_ROOMAGENDALIST, SIDEPANEL_AGENDA, kCollapseAgendaCommand) {}
};
