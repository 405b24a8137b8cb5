// CEBookDlg: the e-book panel of the side panel (its pages come with the e-book).
#pragma once
#include "confclient/room/RoomDlg.h"
#include "resources/ResourceIds.h"

class CEBookDlg : public CRoomDlg
{
public:
    CEBookDlg() : CRoomDlg(IDD_EBOOK) {}
};
