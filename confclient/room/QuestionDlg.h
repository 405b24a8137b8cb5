// CQuestionDlg: the questionnaire view of the main view (its questions come with the questionnaire).
#pragma once
#include "confclient/room/RoomDlg.h"
#include "resources/ResourceIds.h"

class CQuestionDlg : public CRoomDlg
{
public:
    CQuestionDlg() : CRoomDlg(IDD_QUESTION) {}
};
