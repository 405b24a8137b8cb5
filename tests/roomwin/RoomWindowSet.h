// The room's windows as the session builds them, in its order and with its parents, over a fake
// session: for the room window tests and the Wine benchmarks.
#pragma once
#include "confclient/boardhost/FloatingBoardToolDlg.h"
#include "confclient/room/EBookDlg.h"
#include "confclient/room/ManageToolDlg.h"
#include "confclient/room/QuestionDlg.h"
#include "confclient/room/RoomAgendaListDlg.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "confclient/room/RoomTxtChatDlg.h"
#include "confclient/room/RoomUserListDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "tests/roomwin/FakeMediaShareHost.h"
#include "tests/roomwin/FakeRoomHost.h"

struct RoomWindowSet
{
    FakeRoomHost host;
    CFakeMediaShareHost shareHost;
    CRoomMainViewDlg mainView;
    CRoomVideoViewDlg videoView{&host};
    CRoomMediaShareViewDlg mediaShare{&shareHost};
    CQuestionDlg question;
    CManageToolDlg manageTool{&host};
    CRoomTxtChatDlg chat{&host};
    CRoomAgendaListDlg agenda;
    CEBookDlg ebook;
    CRoomUserListDlg userList{&host};
    CFloatingBoardToolDlg boardTool;
    CRoomCtrlDlg ctrl{&host};

    // False when a window could not be made.
    bool Create()
    {
        bool bMade = mainView.Create(nullptr) && videoView.Create(&mainView) &&
                     mediaShare.Create(&mainView) && mediaShare.CreateChildren() &&
                     question.Create(&mainView);
        mainView.SetChildViews(&videoView, &mediaShare, &question);
        bMade = bMade && manageTool.Create(&mainView);
        for (CRoomDlg* pPanel : std::initializer_list<CRoomDlg*>{&chat, &agenda, &ebook, &userList})
            bMade = bMade && pPanel->Create(&manageTool);
        bMade = bMade && boardTool.Create(&mainView) && ctrl.Create(&mainView);
        ctrl.SetMainView(&mainView);
        mainView.SetPane(PANE_CTRLBAR, &ctrl);
        mainView.SetPane(PANE_MANAGETOOL, &manageTool);
        mainView.SetPane(PANE_BOARDTOOL, &boardTool);
        return bMade;
    }
};
