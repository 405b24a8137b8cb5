// CEBookDlg: the e-book panel of the side panel (its pages come with the e-book).
#pragma once
#include "confclient/room/SidePanelDlg.h"
#include "resources/ResourceIds.h"

class CEBookDlg : public CSidePanelDlg
{
public:
    CEBookDlg() : CSidePanelDlg(IDD_EBOOK, SIDEPANEL_EBOOK) {}
};
