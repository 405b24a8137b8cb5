// The room windows under Wine: the window tree, the video grid, chat, user list, control bar, messenger.
#include "confclient/network/registry/Registry.h"
#include "confclient/room/EBookDlg.h"
#include "confclient/room/FloatingBoardToolDlg.h"
#include "confclient/room/ManageToolDlg.h"
#include "confclient/room/MessangeDlg.h"
#include "confclient/room/PlayerDlg.h"
#include "confclient/room/QuestionDlg.h"
#include "confclient/room/RoomAgendaListDlg.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "confclient/room/RoomTxtChatDlg.h"
#include "confclient/room/RoomUserListDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "resources/ResourceIds.h"
#include "tests/winui/TestResources.h"
#include <gtest/gtest.h>
#include <thread>

namespace
{
// Keeps every call; texts are the key in angle brackets so a test sees which text was chosen.
class FakeHost : public IRoomHost
{
public:
    std::vector<std::wstring> chats;
    int nLeave = 0;
    int nPresenter = 0;

    std::wstring RoomText(const char* pszKey) const override
    {
        std::string key(pszKey);
        return L"<" + std::wstring(key.begin(), key.end()) + L">";
    }
    void SendRoomChat(const std::wstring& szText) override { chats.push_back(szText); }
    void LeaveRoomRequested() override { ++nLeave; }
    void RequestPresenter() override { ++nPresenter; }
    HWND MainDialog() const override { return nullptr; }
};

RECT WindowRect(HWND hWnd)
{
    RECT rc{};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

void Click(CWnd& dlg, int id)
{
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(dlg.GetDlgItem(id)));
}

// The room as the session builds it, in its order and with its parents.
struct Room
{
    FakeHost host;
    CRoomMainViewDlg mainView;
    CRoomVideoViewDlg videoView;
    CRoomMediaShareViewDlg mediaShare;
    CQuestionDlg question;
    CManageToolDlg manageTool{&host};
    CRoomTxtChatDlg chat{&host};
    CRoomAgendaListDlg agenda;
    CEBookDlg ebook;
    CRoomUserListDlg userList;
    CFloatingBoardToolDlg boardTool;
    CRoomCtrlDlg ctrl{&host};
    CPlayerDlg player;

    Room()
    {
        LoadTestResources();
        EXPECT_TRUE(mainView.Create(nullptr));
        EXPECT_TRUE(videoView.Create(&mainView));
        EXPECT_TRUE(mediaShare.Create(&mainView));
        mediaShare.Init();
        EXPECT_TRUE(question.Create(&mainView));
        mainView.SetChildViews(&videoView, &mediaShare, &question);
        EXPECT_TRUE(manageTool.Create(&mainView));
        for (CRoomDlg* pPanel : std::initializer_list<CRoomDlg*>{&chat, &agenda, &ebook, &userList})
            EXPECT_TRUE(pPanel->Create(&manageTool));
        EXPECT_TRUE(boardTool.Create(&mainView));
        EXPECT_TRUE(ctrl.Create(nullptr));
        EXPECT_TRUE(player.Create(&mainView));
        ctrl.SetMainView(&mainView);
    }
    ~Room()
    {
        ctrl.DestroyWindow();
        mainView.DestroyWindow();
    }
};
} // namespace

TEST(RoomWindows, TreeHasItsParentsAndTheMainViewLaysItOut)
{
    Room room;
    EXPECT_EQ(room.mainView.GetParent(), nullptr);
    EXPECT_EQ(room.ctrl.GetParent(), nullptr);
    EXPECT_FALSE(room.mainView.GetStyle() & WS_CHILD);
    for (CWnd* pChild : std::initializer_list<CWnd*>{&room.videoView, &room.mediaShare, &room.question,
                                                     &room.manageTool, &room.boardTool, &room.player})
        EXPECT_EQ(pChild->GetParent(), room.mainView.m_hWnd);
    for (CWnd* pPanel : std::initializer_list<CWnd*>{&room.chat, &room.agenda, &room.ebook, &room.userList})
        EXPECT_EQ(pPanel->GetParent(), room.manageTool.m_hWnd);

    room.mainView.SetRoomTitle(L"Design review");
    EXPECT_EQ(room.mainView.GetWindowText(), L"Design review");

    // Laid out while still hidden, as the session does before it shows the room.
    room.mainView.MoveWindow(0, 0, 1000, 700);
    RECT client;
    room.mainView.GetClientRect(&client);
    RECT tool = WindowRect(room.manageTool), board = WindowRect(room.boardTool),
         player = WindowRect(room.player);
    RECT video = WindowRect(room.videoView), share = WindowRect(room.mediaShare),
         quest = WindowRect(room.question);
    EXPECT_EQ(tool.top, video.top);
    EXPECT_GT(tool.right - tool.left, 0);
    EXPECT_LE(board.right, video.left);
    EXPECT_LE(video.right, share.left);
    EXPECT_LE(share.right, quest.left);
    EXPECT_LE(quest.right, tool.left);
    EXPECT_LE(video.bottom, player.top);
    EXPECT_GT(video.right - video.left, 100);

    // The side panel stacks its four panels top to bottom at its full width.
    room.manageTool.MoveWindow(0, 0, 200, 400);
    int nTop = -1;
    for (CWnd* pPanel : std::initializer_list<CWnd*>{&room.chat, &room.agenda, &room.ebook, &room.userList})
    {
        RECT rc = WindowRect(*pPanel);
        EXPECT_GT(rc.top, nTop);
        EXPECT_EQ(rc.right - rc.left, 200);
        EXPECT_EQ(rc.bottom - rc.top, 100);
        nTop = rc.top;
    }
    // A hidden panel leaves its share to the others.
    room.ebook.ShowWindow(SW_HIDE);
    room.manageTool.LayoutPanels();
    EXPECT_EQ(WindowRect(room.chat).bottom - WindowRect(room.chat).top, 133);

    HWND hState = room.mediaShare.GetDlgItem(IDC_MEDIASHARE_STATE);
    EXPECT_FALSE(HasVisibleStyle(hState));
    room.mediaShare.UpdateVideoState(1);
    EXPECT_TRUE(HasVisibleStyle(hState));
    room.mediaShare.UpdatePosition(83999);
    EXPECT_EQ(GetWindowTextString(room.mediaShare.GetDlgItem(IDC_MEDIASHARE_POSITION)), L"1:23");
    room.mediaShare.UpdateVideoState(0);
    EXPECT_FALSE(HasVisibleStyle(hState));
}

TEST(RoomWindows, VideoGridCountsNamesAndStates)
{
    Room room;
    CRoomVideoViewDlg& view = room.videoView;
    view.MoveWindow(0, 0, 700, 700);
    view.SetViewCount(49);
    EXPECT_EQ(view.ViewCount(), 49);
    EXPECT_NE(view.GetDlgItem(IDC_VIDEOVIEW_FIRST + 48), nullptr);
    // A 7 x 7 grid of 100-pixel views.
    RECT last = WindowRect(view.ViewWindow(48)), first = WindowRect(view.ViewWindow(0));
    EXPECT_EQ(last.left - first.left, 600);
    EXPECT_EQ(last.top - first.top, 600);
    view.SetViewCount(0);
    EXPECT_EQ(view.ViewCount(), 0);
    EXPECT_EQ(view.GetDlgItem(IDC_VIDEOVIEW_FIRST), nullptr);
    view.SetViewCount(4);

    // A full 64-unit name is shown whole; a known channel is renamed in its own view.
    view.SetViewName(7, std::u16string(64, u'A'));
    EXPECT_EQ(view.ViewChannel(0), 7);
    EXPECT_EQ(GetWindowTextString(view.ViewWindow(0)), std::wstring(64, L'A'));
    view.SetViewName(9, u"carol");
    view.SetViewName(CRoomVideoViewDlg::kNoChannel, u"nobody");
    view.SetViewName(7, u"alice");
    EXPECT_EQ(GetWindowTextString(view.ViewWindow(0)), L"alice");
    EXPECT_EQ(GetWindowTextString(view.ViewWindow(1)), L"carol");
    EXPECT_EQ(view.ViewChannel(2), CRoomVideoViewDlg::kNoChannel);

    view.ShowUsers({{12, L"dave"}, {3, L"bob"}});
    EXPECT_EQ(GetWindowTextString(view.ViewWindow(0)), L"bob");
    EXPECT_EQ(GetWindowTextString(view.ViewWindow(1)), L"dave");
    EXPECT_EQ(GetWindowTextString(view.ViewWindow(2)), L"");
    EXPECT_EQ(view.ViewChannel(2), CRoomVideoViewDlg::kNoChannel);

    view.SetVideoState(12, 0);
    EXPECT_FALSE(::IsWindowEnabled(view.ViewWindow(1)));
    view.SetVideoState(12, 1);
    EXPECT_TRUE(::IsWindowEnabled(view.ViewWindow(1)));
}

TEST(RoomWindows, VideoGridFloatsAtTheSavedPlaceAndDocksAgain)
{
    Room room;
    const std::wstring szProgram = L"QuillonRoomWinTest";
    std::wstring szKey = RegProgramKey(szProgram);
    ASSERT_TRUE(RegWriteString(HKEY_CURRENT_USER, szKey.c_str(), L"Floating_Video", L"1,2"));
    room.videoView.LoadFloatingPosition(szProgram);
    RECT fallback = room.videoView.FloatingRect();
    EXPECT_GT(fallback.right - fallback.left, 0);
    ASSERT_TRUE(RegWriteString(HKEY_CURRENT_USER, szKey.c_str(), L"Floating_Video", L"50,60,300,200"));
    room.videoView.LoadFloatingPosition(szProgram);

    room.mainView.MoveWindow(0, 0, 1000, 700);
    room.videoView.SetFloating(1);
    EXPECT_TRUE(room.videoView.IsFloating());
    EXPECT_FALSE(room.videoView.GetStyle() & WS_CHILD);
    EXPECT_EQ(::GetWindow(room.videoView, GW_OWNER), room.mainView.m_hWnd);
    RECT rc = WindowRect(room.videoView);
    EXPECT_EQ(rc.left, 50);
    EXPECT_EQ(rc.top, 60);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 200);
    // The media-share view took the room the grid left behind.
    RECT share = WindowRect(room.mediaShare), board = WindowRect(room.boardTool);
    EXPECT_EQ(share.left, board.right);

    room.videoView.SetFloating(0);
    EXPECT_FALSE(room.videoView.IsFloating());
    EXPECT_EQ(room.videoView.GetParent(), room.mainView.m_hWnd);
    EXPECT_TRUE(room.videoView.GetStyle() & WS_CHILD);
    EXPECT_EQ(WindowRect(room.videoView).left, board.right);
}

TEST(RoomWindows, ChatSendsTheEditLineAndShowsReceivedLines)
{
    Room room;
    room.mainView.ShowWindow(SW_SHOW);
    HWND hEdit = room.chat.GetDlgItem(IDC_ROOMCHAT_EDIT);
    Click(room.chat, IDC_ROOMCHAT_SEND);
    EXPECT_TRUE(room.host.chats.empty());

    ::SetWindowTextW(hEdit, L"hello room");
    Click(room.chat, IDC_ROOMCHAT_SEND);
    EXPECT_EQ(room.host.chats, std::vector<std::wstring>{L"hello room"});
    EXPECT_EQ(GetWindowTextString(hEdit), L"");

    // Enter in the edit line sends it too.
    ::SetWindowTextW(hEdit, L"second");
    ::SetFocus(hEdit);
    ::PostMessageW(hEdit, WM_KEYDOWN, VK_RETURN, 1);
    PumpMessages(50);
    ASSERT_EQ(room.host.chats.size(), 2u);
    EXPECT_EQ(room.host.chats[1], L"second");
    EXPECT_TRUE(room.chat.IsWindowVisible());

    room.chat.OnChatReceived(L"bob", L"hi", 0xFF);
    room.chat.AddNotice(L"<IDS_RECORD_START_OTHERUSER>", 4);
    EXPECT_EQ(room.chat.LineCount(), 2);
    EXPECT_EQ(CRoomDlg::ListLineText(room.chat.GetDlgItem(IDC_ROOMCHAT_LIST), 0), L"bob: hi");
}

TEST(RoomWindows, UserListRowsFollowTheParticipants)
{
    Room room;
    CRoomUserListDlg& list = room.userList;
    list.SetUsers({{3, L"alice"}, {5, L"bob"}});
    ASSERT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.RowText(1), L"bob (ch 5)");
    EXPECT_EQ(::SendMessageW(list.GetDlgItem(IDC_ROOMUSER_LIST), LB_GETITEMDATA, 1, 0), 5);

    list.UpdateUserRow(5, 2, 0x10);
    EXPECT_EQ(list.RowText(1), L"bob (ch 5) [2 0x00000010]");
    EXPECT_EQ(::SendMessageW(list.GetDlgItem(IDC_ROOMUSER_LIST), LB_GETITEMDATA, 1, 0), 5);
    list.UpdateUserRow(9, 1, 0); // unknown channel: nothing changes
    EXPECT_EQ(list.RowCount(), 2);

    list.RemoveRow(3);
    ASSERT_EQ(list.RowCount(), 1);
    EXPECT_EQ(list.RowText(0), L"bob (ch 5) [2 0x00000010]");
    list.UpdateUserRow(5, 0, 0);
    EXPECT_EQ(list.RowText(0), L"bob (ch 5) [0 0x00000000]");
}

TEST(RoomWindows, ControlBarButtonsStatesAndMaximize)
{
    Room room;
    CRoomCtrlDlg& ctrl = room.ctrl;
    Click(ctrl, IDC_ROOMCTRL_LEAVE);
    ctrl.LeaveRoom();
    EXPECT_EQ(room.host.nLeave, 2);

    EXPECT_FALSE(::IsWindowEnabled(ctrl.GetDlgItem(IDC_ROOMCTRL_PRESENTER)));
    ctrl.UpdatePresenterButton(true);
    EXPECT_TRUE(::IsWindowEnabled(ctrl.GetDlgItem(IDC_ROOMCTRL_PRESENTER)));
    Click(ctrl, IDC_ROOMCTRL_PRESENTER);
    EXPECT_EQ(room.host.nPresenter, 1);

    ctrl.EnableServerRecordMenu(true);
    EXPECT_TRUE(::IsWindowEnabled(ctrl.GetDlgItem(IDC_ROOMCTRL_SERVERRECORD)));
    ctrl.EnableRecordButtons(false);
    EXPECT_FALSE(::IsWindowEnabled(ctrl.GetDlgItem(IDC_ROOMCTRL_RECORD)));
    ::SendMessageW(ctrl.GetDlgItem(IDC_ROOMCTRL_RECORD), BM_SETCHECK, BST_CHECKED, 0);
    ctrl.StopRecord(CRoomCtrlDlg::kStopForServerRecord);
    EXPECT_EQ(::SendMessageW(ctrl.GetDlgItem(IDC_ROOMCTRL_RECORD), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(ctrl.Status(), L"<IDS_ROOMCTRL_RECORDSTOP_SERVER>");

    ctrl.SetViewMode(2);
    for (int i = 0; i < IDC_ROOMCTRL_VIEW_COUNT; ++i)
        EXPECT_EQ(::SendMessageW(ctrl.GetDlgItem(IDC_ROOMCTRL_VIEW_FIRST + i), BM_GETCHECK, 0, 0),
                  i == 2 ? BST_CHECKED : BST_UNCHECKED);

    ctrl.PostMessage(CRoomCtrlDlg::WM_NETWORK_STATE, 1, 0);
    PumpMessages();
    EXPECT_EQ(ctrl.Status(), L"<IDS_ROOMCTRL_NETWORK_OK>");

    room.mainView.ShowWindow(SW_SHOW);
    ctrl.MaximizeRoomWindow();
    EXPECT_TRUE(ctrl.IsRoomMaximized());
    ctrl.RestoreRoomWindow();
    EXPECT_FALSE(ctrl.IsRoomMaximized());
}

TEST(RoomWindows, ControlBarCountsPushedFileBytes)
{
    Room room;
    CRoomCtrlDlg& ctrl = room.ctrl;
    const uint8_t chunk[40] = {};
    ctrl.OnPushData(chunk, sizeof chunk); // no push announced: not counted
    EXPECT_EQ(ctrl.PushBytesReceived(), 0u);

    ctrl.BeginPushReceive(4, L"bob", L"slides.pdf", 100);
    ctrl.OnPushData(chunk, sizeof chunk);
    EXPECT_NE(ctrl.Status().find(L"slides.pdf 40 / 100"), std::wstring::npos) << ctrl.Status();
    ctrl.OnPushCancelled(5); // another push: ignored
    ctrl.OnPushData(chunk, sizeof chunk);
    ctrl.OnPushData(chunk, sizeof chunk); // past the announced size: counted up to it only
    EXPECT_EQ(ctrl.PushBytesReceived(), 100u);

    ctrl.BeginPushReceive(6, L"bob", L"notes.txt", 100);
    ctrl.OnPushCancelled(6);
    EXPECT_EQ(ctrl.Status(), L"notes.txt: <IDS_MSG_FILETRANS_CANCEL_ORDER>");
    ctrl.OnPushData(chunk, sizeof chunk);
    EXPECT_EQ(ctrl.PushBytesReceived(), 0u);

    // Sent blocks are reported from the send thread; the status follows on the window's thread.
    std::thread sender(
        [&]
        {
            for (int i = 0; i < 10; ++i)
                ctrl.OnPushChunkSent(1000);
        });
    sender.join();
    PumpMessages();
    EXPECT_EQ(ctrl.Status(), L"<IDS_MSG_PUSH_MAN> 10000 <IDS_ROOMCTRL_BYTES_SENT>");
}

TEST(RoomWindows, MessengerTransfersRoomStateAndForcedClose)
{
    LoadTestResources();
    FakeHost host;
    CMessangeDlg messenger(&host, 12, L"bob");
    ASSERT_TRUE(messenger.Create(nullptr));
    EXPECT_EQ(messenger.GetWindowText(), L"bob");
    EXPECT_EQ(messenger.PeerIndex(), 12);
    EXPECT_EQ(messenger.RoomIndex(), CMessangeDlg::kNoRoom);

    messenger.AddLine(L"hello", 0);
    const uint8_t data[10] = {};
    messenger.OnFileData(3, 0, data, sizeof data);
    messenger.OnFileData(3, 10, data, sizeof data);
    ASSERT_EQ(messenger.LineCount(), 2);
    EXPECT_EQ(messenger.LineText(1), L"#3: 20 <IDS_ROOMCTRL_BYTES_RECEIVED>");
    messenger.CancelTransfer(3);
    messenger.OnFileData(3, 20, data, sizeof data);
    EXPECT_EQ(messenger.LineCount(), 2);
    EXPECT_EQ(messenger.LineText(1),
              L"#3: 20 <IDS_ROOMCTRL_BYTES_RECEIVED> - <IDS_MSG_FILETRANS_CANCEL_ORDER>");

    EXPECT_FALSE(::IsWindowEnabled(messenger.GetDlgItem(IDC_MESSENGER_INVITE)));
    messenger.UpdateRoomState(true, 7);
    EXPECT_TRUE(::IsWindowEnabled(messenger.GetDlgItem(IDC_MESSENGER_INVITE)));
    EXPECT_EQ(messenger.RoomIndex(), 7);

    HWND hWnd = messenger.m_hWnd;
    messenger.ForceClose();
    EXPECT_TRUE(messenger.IsForceClosed());
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(messenger.m_hWnd, nullptr);
}
