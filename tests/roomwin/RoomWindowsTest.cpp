// The room windows under Wine: the window tree, the video grid, chat, user list, control bar, messenger.
#include "tests/session/RecordedNotices.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/people/ChatCommands.h"
#include "confclient/people/UserMenuRules.h"
#include "comkit/ComPtr.h"
#include "confclient/room/ChatIme.h"
#include "confclient/room/EBookDlg.h"
#include "confclient/boardhost/FloatingBoardToolDlg.h"
#include "confclient/room/ManageToolDlg.h"
#include "confclient/room/PlayerDlg.h"
#include "confclient/room/PropertyDlg.h"
#include "confclient/room/QuestionDlg.h"
#include "confclient/room/RoomAgendaListDlg.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "confclient/room/RoomTxtChatDlg.h"
#include "confclient/room/RoomUserListDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"
#include "confclient/toolkit/controls/BitmapCheckButton.h"
#include "resources/ResourceIds.h"
#include "tests/notices/TestNoticeHost.h"
#include "tests/roomwin/FakeMediaShareHost.h"
#include "tests/roomwin/RoomWindowSet.h"
#include "tests/winui/TestResources.h"
#include <gtest/gtest.h>

#include <imm.h>
#include <commctrl.h>
#include <richole.h>
#include <shlobj.h>
#include <atomic>
#include <functional>
#include <richedit.h>
#include <thread>

namespace
{
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
struct Room : RoomWindowSet
{
    CPlayerDlg player;

    Room()
    {
        LoadTestResources();
        EXPECT_TRUE(Create());
        EXPECT_TRUE(player.Create(&mainView));
        // The bar gave the board the user's pen colour; the tests count the actions after it.
        host.boardActions.clear();
        host.pUserList = &userList;
    }
    ~Room() { mainView.DestroyWindow(); }
};
} // namespace

TEST(RoomWindows, TreeHasItsParentsAndTheMainViewLaysItOut)
{
    Room room;
    EXPECT_EQ(room.mainView.GetParent(), nullptr);
    EXPECT_FALSE(room.mainView.GetStyle() & WS_CHILD);
    for (CWnd* pChild :
         std::initializer_list<CWnd*>{&room.videoView, &room.mediaShare, &room.question, &room.manageTool,
                                      &room.boardTool, &room.player, &room.ctrl})
        EXPECT_EQ(pChild->GetParent(), room.mainView.m_hWnd);
    for (CWnd* pPanel : std::initializer_list<CWnd*>{&room.chat, &room.agenda, &room.ebook, &room.userList})
        EXPECT_EQ(pPanel->GetParent(), room.manageTool.m_hWnd);

    room.mainView.SetRoomTitle(L"Design review");
    EXPECT_EQ(room.mainView.GetWindowText(), L"Design review");

    // Laid out while still hidden, as the session does before it shows the room: in video mode
    // the bar spans the top, the panel host sits at the left, the video beside it.
    room.mainView.MoveWindow(0, 0, 1000, 700);
    S_ROOMVIEWSTATE state = room.mainView.ViewState();
    state.wViewMode = 0;
    state.bHasBoardTool = true;
    state.nBoardToolWidth = 40;
    room.mainView.SetViewState(state);
    RECT client;
    room.mainView.GetClientRect(&client);
    auto rectIn = [&](HWND w)
    {
        RECT rc = WindowRect(w);
        ::MapWindowPoints(nullptr, room.mainView.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    };
    RECT bar = rectIn(room.ctrl), host = rectIn(room.manageTool), video = rectIn(room.videoView);
    EXPECT_EQ(bar.left, 0);
    EXPECT_EQ(bar.top, -1);
    EXPECT_EQ(bar.right, client.right);
    EXPECT_EQ(host.left, 0);
    EXPECT_EQ(host.right, kPanelHostWidth);
    EXPECT_EQ(host.top, bar.bottom);
    EXPECT_EQ(video.left, kPanelHostWidth + 7);
    EXPECT_EQ(video.top, 60);
    EXPECT_TRUE(HasVisibleStyle(room.videoView.m_hWnd));
    EXPECT_FALSE(HasVisibleStyle(room.mediaShare.m_hWnd));
    EXPECT_FALSE(HasVisibleStyle(room.question.m_hWnd));
    HWND hBoard = room.mainView.GetDlgItem(IDC_ROOMMAIN_BOARD);
    EXPECT_FALSE(HasVisibleStyle(hBoard));
    EXPECT_EQ(room.mainView.LastBatchSize(), 7u); // bar, host, video, media share, board, palette, question

    // Board mode: the labelled board area beside the host, the palette at its right edge.
    state.wViewMode = 1;
    room.mainView.SetViewState(state);
    EXPECT_TRUE(HasVisibleStyle(hBoard));
    EXPECT_FALSE(HasVisibleStyle(room.videoView.m_hWnd));
    EXPECT_EQ(GetWindowTextString(hBoard), L"Whiteboard");
    RECT boardRect = WindowRect(hBoard), palette = WindowRect(room.boardTool);
    EXPECT_EQ(boardRect.right, palette.left);
    EXPECT_EQ(palette.right - palette.left, 40);

    // Full screen: the bar hides and the views take the whole client area beside the host.
    state.bFullScreen = true;
    room.mainView.SetViewState(state);
    EXPECT_FALSE(HasVisibleStyle(room.ctrl.m_hWnd));
    EXPECT_EQ(rectIn(hBoard).top, 0);

    // The side-panel host stacks agenda, e-book, user list and chat from the top, left of its button.
    room.manageTool.MoveWindow(0, 0, 200, 400);
    HWND hButton = room.manageTool.GetDlgItem(IDC_MANAGETOOL_POPUP);
    RECT button = WindowRect(hButton);
    int nTop = -1;
    for (CWnd* pPanel : std::initializer_list<CWnd*>{&room.agenda, &room.ebook, &room.userList, &room.chat})
    {
        RECT rc = WindowRect(*pPanel);
        EXPECT_GT(rc.top, nTop);
        EXPECT_EQ(rc.right + 1, button.left);
        EXPECT_EQ(rc.bottom - rc.top, 100);
        nTop = rc.top;
    }
    EXPECT_EQ(button.right + 1, WindowRect(room.manageTool).right);
    // Its button shows or hides the panels; only the control right sends the room's properties.
    Click(room.manageTool, IDC_MANAGETOOL_POPUP);
    room.host.bControlRight = true;
    Click(room.manageTool, IDC_MANAGETOOL_POPUP);
    EXPECT_EQ(room.host.panelToggles, (std::vector<bool>{false, true}));
    room.manageTool.UpdatePopupButton(false);
    EXPECT_EQ(GetWindowTextString(hButton), L"<IDMS_POPUP_SHOW>");
    // A hidden panel leaves its share to the others.
    room.ebook.ShowWindow(SW_HIDE);
    room.manageTool.LayoutPanels();
    EXPECT_EQ(WindowRect(room.chat).bottom - WindowRect(room.chat).top,
              134); // the last, the chat, takes the rounding rest
    // Closed to its strip, the host holds the button alone.
    room.manageTool.MoveWindow(0, 0, 5, 400);
    EXPECT_EQ(WindowRect(hButton).left, WindowRect(room.manageTool).left);

    // The media-share view holds its tool bar along its bottom edge, as wide as the view.
    room.mediaShare.MoveWindow(0, 0, 640, 400);
    ASSERT_NE(room.mediaShare.ToolBar(), nullptr);
    RECT shareBar = WindowRect(*room.mediaShare.ToolBar()), shareView = WindowRect(room.mediaShare);
    EXPECT_EQ(shareBar.bottom, shareView.bottom);
    EXPECT_EQ(shareBar.right - shareBar.left, 640);
    EXPECT_EQ(shareBar.bottom - shareBar.top, room.mediaShare.GetToolBarHeight());
    EXPECT_GT(room.mediaShare.GetToolBarHeight(), 0);
    EXPECT_TRUE(room.mediaShare.ShowsIdle());
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

    // Speech levels reach the meter of the member's view, clamped; muting clears them all, and a
    // view that another member takes starts at 0.
    auto meter = [&](int i) { return ::SendMessageW(view.LevelWindow(i), PBM_GETPOS, 0, 0); };
    view.SetPeakLevel(12, 64);
    view.SetPeakLevel(3, 250);
    view.SetPeakLevel(77, 50);
    EXPECT_EQ(meter(0), 100);
    EXPECT_EQ(meter(1), 64);
    EXPECT_EQ(meter(2), 0);
    view.ResetPeakLevels();
    EXPECT_EQ(meter(0), 0);
    EXPECT_EQ(meter(1), 0);
    view.SetPeakLevel(12, 40);
    view.ShowUsers({{3, L"bob"}, {20, L"erin"}});
    EXPECT_EQ(meter(1), 0);
}

TEST(RoomWindows, ControlBarVoiceButtonsTakeThePicturesOfTheVoicesState)
{
    Room room;
    auto* pTalk =
        dynamic_cast<CBitmapCheckButton*>(CWnd::FromHandlePermanent(room.ctrl.GetDlgItem(IDC_ROOMCTRL_TALK)));
    ASSERT_NE(pTalk, nullptr);
    EXPECT_EQ(pTalk->GetBitmapID(), 217u);
    const UINT closed[4] = {221, 222, 223, 220}, talking[4] = {217, 218, 219, 220};
    room.ctrl.SetVoiceButtonBitmaps(IDC_ROOMCTRL_TALK, closed);
    EXPECT_EQ(pTalk->GetBitmapID(), 221u);
    room.ctrl.SetVoiceButtonBitmaps(IDC_ROOMCTRL_TALK, talking);
    EXPECT_EQ(pTalk->GetBitmapID(), 217u);
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
    // The layout leaves a floating grid where the user put it.
    S_ROOMVIEWSTATE state = room.mainView.ViewState();
    state.wViewMode = 0;
    state.bVideoFloating = true;
    room.mainView.SetViewState(state);
    EXPECT_EQ(WindowRect(room.videoView).left, 50);

    // Docked again, it takes its place beside the panel host in video mode.
    room.videoView.SetFloating(0);
    EXPECT_FALSE(room.videoView.IsFloating());
    EXPECT_EQ(room.videoView.GetParent(), room.mainView.m_hWnd);
    EXPECT_TRUE(room.videoView.GetStyle() & WS_CHILD);
    state.bVideoFloating = false;
    room.mainView.SetViewState(state);
    POINT origin{0, 0};
    ::ClientToScreen(room.mainView.m_hWnd, &origin);
    EXPECT_EQ(WindowRect(room.videoView).left - origin.x, kPanelHostWidth + 7);
}

// Enter pressed in the chat's input line, as the program's loop hands it to the panel.
bool PressEnter(CRoomTxtChatDlg& chat, HWND hInput)
{
    MSG msg{hInput, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    return chat.PreTranslateMessage(&msg) != FALSE;
}

TEST(RoomWindows, ChatSendsTheInputLineOnEnterAndShowsReceivedLines)
{
    Room room;
    room.mainView.ShowWindow(SW_SHOW);
    HWND hInput = room.chat.GetDlgItem(IDC_ROOMCHAT_EDIT);
    // Unfocused and empty, the input shows its hint, which is no line.
    EXPECT_EQ(GetWindowTextString(hInput), L"<IDS_ENABLE_CHAT>");
    EXPECT_TRUE(PressEnter(room.chat, hInput));
    EXPECT_TRUE(room.host.chats.empty());
    // Focused, the hint goes.
    ::SetFocus(hInput);
    EXPECT_EQ(GetWindowTextString(hInput), L"");
    EXPECT_TRUE(PressEnter(room.chat, hInput));
    EXPECT_TRUE(room.host.chats.empty());

    ::SetWindowTextW(hInput, L"hello room");
    EXPECT_TRUE(PressEnter(room.chat, hInput));
    EXPECT_EQ(room.host.chats, std::vector<std::wstring>{L"hello room"});
    EXPECT_EQ(GetWindowTextString(hInput), L"");

    room.chat.OnChatReceived(L"bob", L"hi", 0xFF);
    room.chat.AddNotice(L"<IDS_RECORD_START_OTHERUSER>", 4);
    EXPECT_EQ(room.chat.LineCount(), 2);
    const CRichEditCtrlGS& log = room.chat.LogControl();
    EXPECT_EQ(log.GetTextRange(0, 9), L"bob > hi\r");
    EXPECT_EQ(log.ColourAt(0), 0xFFu);
    EXPECT_EQ(log.ColourAt(9), kChatNoticeColour);

    // A local command runs here and never reaches the room.
    ::SetWindowTextW(hInput, L"/JQ 12");
    PressEnter(room.chat, hInput);
    EXPECT_EQ(room.host.chats.size(), 1u);
    ASSERT_EQ(room.host.commands.size(), 1u);
    EXPECT_EQ(room.chat.LineCount(), 3) << "its output line";

    // A listener's input is read-only with the other hint, and Enter sends nothing; the focus
    // goes to the save button.
    room.host.wLevel = 4;
    room.host.chatInput = CHATINPUT_DISABLED;
    room.chat.UpdateInputState();
    EXPECT_EQ(GetWindowTextString(hInput), L"<IDS_DISABLE_CHAT>");
    EXPECT_TRUE(::GetWindowLongW(hInput, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(::GetFocus(), room.chat.GetDlgItem(IDC_CHAT_SAVE));
    PressEnter(room.chat, hInput);
    EXPECT_EQ(room.host.chats.size(), 1u);
    // Allowed again, the input is writable and shows the enable hint.
    room.host.wLevel = 0;
    room.host.chatInput = CHATINPUT_ENABLED;
    room.chat.UpdateInputState();
    EXPECT_FALSE(::GetWindowLongW(hInput, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(GetWindowTextString(hInput), L"<IDS_ENABLE_CHAT>");

    // The save button hands the log to the session's saver.
    Click(room.chat, IDC_CHAT_SAVE);
    ::SendMessageW(room.chat.m_hWnd, WM_COMMAND, ID_CHAT_SAVE, 0);
    EXPECT_EQ(room.host.savedEdits, (std::vector<HWND>{log.GetSafeHwnd(), log.GetSafeHwnd()}));
}

// What a Korean input method does in the input: finished syllables arrive as WM_IME_CHAR; one
// still being composed when Enter comes belongs to the line; a Korean user starts in native mode.
TEST(RoomWindows, ChatInputKeepsTheSyllableBeingComposedAndTakesNativeMode)
{
    Room room;
    room.mainView.ShowWindow(SW_SHOW);
    HWND hInput = room.chat.GetDlgItem(IDC_ROOMCHAT_EDIT);
    ::SetFocus(hInput);
    for (wchar_t c : std::wstring(L"\uC548\uB155"))
        ::SendMessageW(hInput, WM_IME_CHAR, c, 1);
    PumpMessages(20);
    EXPECT_EQ(GetWindowTextString(hInput), L"\uC548\uB155");

    HIMC hImc = ::ImmGetContext(hInput);
    ASSERT_NE(nullptr, hImc);
    SetNativeImeMode(hInput);
    DWORD dwConversion = 0, dwSentence = 0;
    EXPECT_TRUE(::ImmGetConversionStatus(hImc, &dwConversion, &dwSentence));
    EXPECT_EQ(dwConversion & (IME_CMODE_NATIVE | IME_CMODE_KATAKANA), DWORD(IME_CMODE_NATIVE));

    const wchar_t szSyllable[] = L"\uD558";
    // Wine's input method takes the composition the way a typing user's would open it.
    ASSERT_TRUE(::ImmSetCompositionStringW(hImc, SCS_SETSTR, const_cast<wchar_t*>(szSyllable),
                                           sizeof szSyllable - sizeof(wchar_t), nullptr, 0));
    ASSERT_GT(::ImmGetCompositionStringW(hImc, GCS_COMPSTR, nullptr, 0), 0);
    EXPECT_TRUE(PressEnter(room.chat, hInput));
    EXPECT_EQ(room.host.chats, std::vector<std::wstring>{L"\uC548\uB155\uD558"});
    // The syllable went with the line: no composition is left to come back into the emptied input.
    EXPECT_EQ(::ImmGetCompositionStringW(hImc, GCS_COMPSTR, nullptr, 0), 0);
    ::ImmNotifyIME(hImc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    PumpMessages(20);
    EXPECT_EQ(GetWindowTextString(hInput), L"");
    ::ImmReleaseContext(hInput, hImc);
}

// The title band: from the right show/hide, float/dock, colour and save, the title left of them;
// floating, the transparency slider 52 pixels left of the save button.
TEST(RoomWindows, ChatTitleBandPlacesItsButtons)
{
    Room room;
    room.mainView.ShowWindow(SW_SHOW);
    auto left = [&room](int nId)
    {
        RECT rc = WindowRect(room.chat.GetDlgItem(nId));
        POINT pt{rc.left, rc.top};
        ::ScreenToClient(room.chat.m_hWnd, &pt);
        return pt.x;
    };
    RECT client{};
    room.chat.GetClientRect(&client);
    const int nIds[] = {IDC_CHAT_POPUP, IDC_CHAT_FLOAT, IDC_ROOMCHAT_COLOUR, IDC_CHAT_SAVE};
    int nRight = client.right - 3;
    for (int nId : nIds)
    {
        const RECT rc = WindowRect(room.chat.GetDlgItem(nId));
        EXPECT_EQ(nRight - (rc.right - rc.left), left(nId)) << nId;
        nRight = left(nId) - 3;
    }
    EXPECT_FALSE(::IsWindowVisible(room.chat.GetDlgItem(IDC_CHAT_ALPHA)));
    EXPECT_LE(WindowRect(room.chat.GetDlgItem(IDC_CHAT_TITLE)).right,
              WindowRect(room.chat.GetDlgItem(IDC_CHAT_SAVE)).left);

    // Each button tells what it does.
    std::vector<std::wstring> tips;
    for (HWND hTip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); hTip;
         hTip = ::FindWindowExW(nullptr, hTip, TOOLTIPS_CLASSW, nullptr))
        for (int nId : nIds)
        {
            wchar_t szText[80] = {};
            TTTOOLINFOW info{};
            info.cbSize = sizeof info;
            info.hwnd = room.chat.m_hWnd;
            info.uId = reinterpret_cast<UINT_PTR>(room.chat.GetDlgItem(nId));
            info.lpszText = szText;
            ::SendMessageW(hTip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
            if (szText[0]) tips.emplace_back(szText);
        }
    EXPECT_EQ(tips, (std::vector<std::wstring>{L"<IDMS_POPUP_HIDE>", L"<IDMS_TXT_FLOATING>",
                                               L"<IDMS_TXT_TXTFONT>", L"<IDMS_TXT_TXTSAVE>"}));

    ::SendMessageW(room.chat.m_hWnd, WM_COMMAND, IDC_CHAT_FLOAT, 0);
    ASSERT_TRUE(room.chat.IsFloating());
    EXPECT_TRUE(::IsWindowVisible(room.chat.GetDlgItem(IDC_CHAT_ALPHA)));
    EXPECT_EQ(left(IDC_CHAT_SAVE) - 52, left(IDC_CHAT_ALPHA));
    ::SendMessageW(room.chat.m_hWnd, WM_COMMAND, IDC_CHAT_FLOAT, 0);
    EXPECT_FALSE(room.chat.IsFloating());
}

// A presenter request's words are links read back from the rich edit; a click on a peer's copy
// of the word does nothing, a click on the link answers its user.
TEST(RoomWindows, ChatPresenterRequestIsAnsweredByItsLink)
{
    Room room;
    room.mainView.ShowWindow(SW_SHOW);
    room.chat.OnChatReceived(L"mallory", L"<IDS_MSG_PERMIT>", 0);
    room.chat.AddPresenterRequest(L"carol asks <IDS_MSG_PERMIT> <IDS_MSG_DENY>", 7);
    ASSERT_EQ(room.chat.Log().Requests().size(), 1u);
    const SChatRange permit = room.chat.Log().Requests()[0].permit;
    const CRichEditCtrlGS& log = room.chat.LogControl();
    EXPECT_EQ(log.GetTextRange(static_cast<LONG>(permit.nStart), static_cast<LONG>(permit.nEnd)),
              L"<IDS_MSG_PERMIT>");
    EXPECT_TRUE(log.IsLink(static_cast<LONG>(permit.nStart), static_cast<LONG>(permit.nEnd)));
    EXPECT_FALSE(log.IsLink(10, 12)) << "the peer's word is text";

    auto click = [&room](LONG nAt)
    {
        ENLINK link{};
        link.nmhdr.hwndFrom = room.chat.GetDlgItem(IDC_ROOMCHAT_LIST);
        link.nmhdr.idFrom = IDC_ROOMCHAT_LIST;
        link.nmhdr.code = EN_LINK;
        link.msg = WM_LBUTTONDOWN;
        link.chrg = {nAt, nAt + 1};
        ::SendMessageW(room.chat.m_hWnd, WM_NOTIFY, IDC_ROOMCHAT_LIST, reinterpret_cast<LPARAM>(&link));
        PumpMessages(50);
    };
    click(10);
    EXPECT_TRUE(room.host.answers.empty());
    click(static_cast<LONG>(permit.nStart));
    ASSERT_EQ(room.host.answers.size(), 1u);
    EXPECT_EQ(room.host.answers[0], std::make_pair(uint16_t(7), true));
    EXPECT_FALSE(log.IsLink(static_cast<LONG>(permit.nStart), static_cast<LONG>(permit.nEnd)));
    EXPECT_TRUE(room.chat.Log().Requests().empty());
}

TEST(RoomWindows, UserListRowsIconsSortFindAndCellClicks)
{
    Room room;
    room.mainView.MoveWindow(0, 0, 1000, 700);
    room.mainView.ShowWindow(SW_SHOW);
    CRoomUserListDlg& list = room.userList;
    ASSERT_NE(nullptr, list.Rows());
    auto& rows = room.host.rows;
    rows.Add(1, u"alice", 1, 1);
    rows.Add(2, u"bob", 1, 0);
    rows.Add(3, u"carol", 0, 1);
    rows.wChief = 1;
    list.Rows()->Sync({1, 2, 3}, 1, 65535);
    auto column = [&](int nColumn)
    {
        std::vector<std::wstring> cells;
        for (int i = 0; i < list.RowCount(); ++i)
            cells.push_back(list.CellText(i, nColumn));
        return cells;
    };
    using Cells = std::vector<std::wstring>;
    EXPECT_EQ(column(4), (Cells{L"alice", L"bob", L"carol"}));
    EXPECT_EQ(column(1), (Cells{L"Board_true_", L"Board_false_", L"Board_true_"}));
    EXPECT_EQ(column(2), (Cells{L"Voice_ON_", L"Voice_ON_", L"Voice_DIS_"}));
    EXPECT_EQ(column(5), (Cells{L"alice (Host)", L"bob", L"carol"}));
    EXPECT_EQ(column(6), (Cells{L"1", L"2", L"3"}));
    EXPECT_EQ(list.CellTip(1, 5), L"bob(bob_id)");
    // The icon cells show their pictures: alice's microphone is teal, carol's pen is teal, bob's grey.
    HWND hList = list.GetDlgItem(IDC_ROOMUSER_LIST);
    auto cellHas = [&](int nRow, int nColumn, COLORREF crWanted)
    {
        RECT client{};
        ::GetClientRect(hList, &client);
        HDC hScreen = ::GetDC(nullptr);
        HDC hMem = ::CreateCompatibleDC(hScreen);
        HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, client.right, client.bottom);
        HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
        ::SendMessageW(hList, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hMem), PRF_CLIENT | PRF_ERASEBKGND);
        RECT cell{LVIR_BOUNDS, nColumn, 0, 0};
        ::SendMessageW(hList, LVM_GETSUBITEMRECT, nRow, reinterpret_cast<LPARAM>(&cell));
        bool bFound = false;
        for (int y = cell.top; y < cell.bottom && !bFound; ++y)
            for (int x = cell.left; x < cell.right && !bFound; ++x)
                bFound = ::GetPixel(hMem, x, y) == crWanted;
        ::SelectObject(hMem, hOld);
        ::DeleteObject(hBitmap);
        ::DeleteDC(hMem);
        ::ReleaseDC(nullptr, hScreen);
        return bFound;
    };
    const COLORREF crTeal = RGB(0x2A, 0x9D, 0x8F), crGrey = RGB(0xC9, 0xD1, 0xD9);
    EXPECT_TRUE(cellHas(0, 2, crTeal));
    EXPECT_TRUE(cellHas(2, 1, crTeal));
    EXPECT_TRUE(cellHas(1, 1, crGrey));
    EXPECT_FALSE(cellHas(1, 1, crTeal));
    const std::wstring szTitle = GetWindowTextString(list.GetDlgItem(IDC_USERLIST_TITLE)).GetString();
    EXPECT_TRUE(szTitle == L"<IDMS_USERLIST> (3/20)" || szTitle == L"(3/20)") << szTitle;

    // Sorted by name, Z to A, from the list menu: the chief stays on row 0, the tips follow their users.
    ::SendMessageW(list.m_hWnd, WM_COMMAND, UMC_SORT_DOWN, 0);
    EXPECT_EQ(column(4), (Cells{L"alice", L"carol", L"bob"}));
    EXPECT_EQ(list.CellTip(1, 5), L"carol(carol_id)");
    EXPECT_EQ(list.CellTip(2, 5), L"bob(bob_id)");
    // bob speaks; carol, who may not talk, shows no mark.
    list.Rows()->SetVoiceIcon(2, true);
    list.Rows()->SetVoiceIcon(3, true);
    EXPECT_EQ(column(2), (Cells{L"Voice_ON_", L"Voice_DIS_", L"Voice_SPEAK_"}));

    // The find bar: the list menu's Find shows and hides it, and so does Ctrl+F in the list.
    ::SendMessageW(list.m_hWnd, WM_COMMAND, UMC_FIND, 0);
    EXPECT_TRUE(list.FindBarShown());
    ::SendMessageW(list.m_hWnd, WM_COMMAND, UMC_FIND, 0);
    EXPECT_FALSE(list.FindBarShown());
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    MSG ctrlF{hList, WM_KEYDOWN, 'F', 0, 0, {}};
    EXPECT_TRUE(list.PreTranslateMessage(&ctrlF));
    keys[VK_CONTROL] = 0;
    ::SetKeyboardState(keys);
    EXPECT_TRUE(list.FindBarShown());
    // "car" selects carol; the next find from the last row wraps to row 0.
    HWND hFind = list.GetDlgItem(IDC_USERLIST_FINDTEXT);
    EXPECT_TRUE(::IsWindowVisible(hFind));
    ::SendMessageW(hFind, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"CAR"));
    ::SendMessageW(list.m_hWnd, WM_COMMAND, IDC_USERLIST_FINDNEXT, 0);
    EXPECT_EQ(1, ::SendMessageW(hList, LVM_GETSELECTIONMARK, 0, 0));
    ::SendMessageW(hFind, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"a"));
    ::SendMessageW(list.m_hWnd, WM_COMMAND, IDC_USERLIST_FINDNEXT - 1, 0);
    EXPECT_EQ(0, ::SendMessageW(hList, LVM_GETSELECTIONMARK, 0, 0)) << "alice, after carol: bob has no a";
    ::SendMessageW(list.m_hWnd, WM_COMMAND, IDC_USERLIST_FINDCLOSE, 0);
    EXPECT_FALSE(list.FindBarShown());
    EXPECT_EQ(0, ::GetWindowTextLengthW(hFind));

    // A click on bob's board cell: the chief toggles his draw right; on his name it toggles nothing.
    room.host.bControlRight = true;
    auto clickCell = [&](int nRow, int nColumn)
    {
        RECT cell{LVIR_BOUNDS, nColumn, 0, 0};
        ::SendMessageW(hList, LVM_GETSUBITEMRECT, nRow, reinterpret_cast<LPARAM>(&cell));
        POINT pt{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
        ::ClientToScreen(hList, &pt);
        ::SetCursorPos(pt.x, pt.y);
        ::SendMessageW(hList, LVM_SETSELECTIONMARK, 0, nRow);
        LVITEMW state{};
        state.stateMask = state.state = LVIS_SELECTED;
        ::SendMessageW(hList, LVM_SETITEMSTATE, nRow, reinterpret_cast<LPARAM>(&state));
        NMITEMACTIVATE click{};
        click.hdr = {hList, IDC_ROOMUSER_LIST, static_cast<UINT>(NM_CLICK)};
        ::SendMessageW(list.m_hWnd, WM_NOTIFY, IDC_ROOMUSER_LIST, reinterpret_cast<LPARAM>(&click));
    };
    clickCell(2, 1);
    clickCell(2, 2);
    clickCell(2, 5);
    clickCell(0, 1); // the chief's own rights are not toggled
    EXPECT_EQ(room.host.actions, (std::vector<std::pair<uint32_t, uint16_t>>{{UMC_DRAW, 2}, {UMC_TALK, 2}}));

    // A menu command acts on the selected row's user; bob leaves and his row goes.
    ::SendMessageW(list.m_hWnd, WM_COMMAND, UMC_GIVE_CHIEF, 0);
    EXPECT_EQ(room.host.actions.back(), std::make_pair(uint32_t(UMC_GIVE_CHIEF), uint16_t(1)));
    rows.users.RemoveUser(2);
    list.Rows()->Sync({1, 3}, 1, 65535);
    EXPECT_EQ(column(4), (Cells{L"alice", L"carol"}));
    EXPECT_EQ(list.CellTip(2, 5), L"");
}

TEST(RoomWindows, ChatColourButtonSetsTheSessionsChatColour)
{
    Room room;
    // The colour dialog opens on the session's colour; its red, green and blue fields are typed
    // in and OK pressed, as a user would.
    std::atomic<bool> bSeenStart{false};
    std::thread user(
        [&]
        {
            for (int i = 0; i < 200; ++i, ::Sleep(50))
            {
                HWND hDlg = nullptr;
                for (HWND h = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); h && !hDlg;
                     h = ::FindWindowExW(nullptr, h, L"#32770", nullptr))
                {
                    DWORD dwProcess = 0;
                    ::GetWindowThreadProcessId(h, &dwProcess);
                    if (dwProcess == ::GetCurrentProcessId() && ::GetDlgItem(h, 706)) hDlg = h;
                }
                if (!hDlg) continue;
                bSeenStart = ::GetDlgItemInt(hDlg, 706, nullptr, FALSE) == 1 &&
                             ::GetDlgItemInt(hDlg, 708, nullptr, FALSE) == 3;
                ::SetDlgItemInt(hDlg, 706, 0, FALSE);
                ::SetDlgItemInt(hDlg, 707, 0, FALSE);
                ::SetDlgItemInt(hDlg, 708, 192, FALSE);
                ::PostMessageW(hDlg, WM_COMMAND, IDOK, 0);
                return;
            }
        });
    Click(room.chat, IDC_ROOMCHAT_COLOUR);
    user.join();
    EXPECT_TRUE(bSeenStart);
    EXPECT_EQ(room.host.dwChatColour, RGB(0, 0, 192));
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

    // The view items follow the bar's state; a press asks the session, the current mode does not.
    S_BARSTATE bar;
    bar.wViewMode = 2;
    bar.wRoomType = 4;
    bar.bControlRight = true;
    ctrl.SetBarState(bar);
    const int views[] = {IDC_ROOMCTRL_VIEW_VIDEO, IDC_ROOMCTRL_VIEW_BOARD, IDC_ROOMCTRL_VIEW_MEDIASHARE,
                         IDC_ROOMCTRL_VIEW_QUESTION};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(::SendMessageW(ctrl.GetDlgItem(views[i]), BM_GETCHECK, 0, 0),
                  i == 2 ? BST_CHECKED : BST_UNCHECKED);
        EXPECT_EQ(::IsWindowEnabled(ctrl.GetDlgItem(views[i])) != FALSE, i != 2);
        Click(ctrl, views[i]);
    }
    EXPECT_EQ(room.host.viewModes, (std::vector<uint16_t>{0, 1, 3}));
    Click(ctrl, IDC_ROOMCTRL_FULLSCREEN);
    EXPECT_EQ(room.host.nFullScreen, 1);
    bar.bControlRight = false;
    ctrl.SetBarState(bar);
    EXPECT_FALSE(::IsWindowEnabled(ctrl.GetDlgItem(IDC_ROOMCTRL_VIEW_BOARD)));

    // The network state shows beside the status line; a change within 20 seconds waits.
    ctrl.PostMessage(CRoomCtrlDlg::WM_NETWORK_STATE, 2, 0);
    ctrl.PostMessage(CRoomCtrlDlg::WM_NETWORK_STATE, 0, 0);
    PumpMessages();
    EXPECT_EQ(GetWindowTextString(ctrl.GetDlgItem(IDC_ROOMCTRL_NETWORK)), L"<IDS_SOCK_NETWORKSTATE_WORST>");
    EXPECT_TRUE(ctrl.NetworkIndicator().Holding());

    // The conference time: the title and the time since the start.
    room.host.clockRoom.szTitle = u"Weekly";
    ctrl.OnElapsedTimeInfo(3725);
    EXPECT_EQ(GetWindowTextString(ctrl.GetDlgItem(IDC_ROOMCTRL_TIME)), L"Weekly (01:02:05)");
    // A timed lecture whose time is up ends once, for everyone.
    room.host.clockRoom.bRvEdition = room.host.clockRoom.bMayEndLecture = true;
    room.host.clockRoom.nLectureMinutes = 1;
    room.host.clockRoom.nLectureState = 1;
    ctrl.OnElapsedTimeInfo(61);
    ctrl.OnElapsedTimeInfo(62);
    EXPECT_EQ(room.host.lectures, (std::vector<uint16_t>{100}));
    EXPECT_EQ(GetWindowTextString(ctrl.GetDlgItem(IDC_ROOMCTRL_TIME)), L"Weekly (00:00:00)");

    // Maximise and restore take turns on the bar.
    room.mainView.ShowWindow(SW_SHOW);
    Click(ctrl, IDC_ROOMCTRL_MAXIMIZE);
    EXPECT_TRUE(ctrl.IsRoomMaximized());
    EXPECT_FALSE(HasVisibleStyle(ctrl.GetDlgItem(IDC_ROOMCTRL_MAXIMIZE)));
    EXPECT_TRUE(HasVisibleStyle(ctrl.GetDlgItem(IDC_ROOMCTRL_RESTORE)));
    Click(ctrl, IDC_ROOMCTRL_RESTORE);
    EXPECT_FALSE(ctrl.IsRoomMaximized());
    EXPECT_TRUE(HasVisibleStyle(ctrl.GetDlgItem(IDC_ROOMCTRL_MAXIMIZE)));
}

// The pointer away from the bar: a menu open under it would slide to the button it rests on.
void ParkCursor()
{
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
}

// The open menu's window: the visible one of the menu class (a closed menu's may linger hidden).
HWND OpenMenuWindow()
{
    for (HWND h = ::FindWindowExW(nullptr, nullptr, L"#32768", nullptr); h;
         h = ::FindWindowExW(nullptr, h, L"#32768", nullptr))
        if (::IsWindowVisible(h)) return h;
    return nullptr;
}

// The top level of the menu a bar button drops, read from the open menu window: ids (0 for a
// separator, -1 for a sub-menu) and whether each item is grey.
struct DroppedMenu
{
    std::vector<int> ids;
    std::vector<bool> grey;
};
DroppedMenu g_dropped;

void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    HWND hMenuWnd = OpenMenuWindow();
    if (!hMenuWnd) return;
    ::KillTimer(nullptr, nTimer);
    auto hMenu = reinterpret_cast<HMENU>(::SendMessageW(hMenuWnd, MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i)
    {
        g_dropped.ids.push_back(static_cast<int>(::GetMenuItemID(hMenu, i)));
        g_dropped.grey.push_back((::GetMenuState(hMenu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) !=
                                 0);
    }
    ::EndMenu();
}

// The slide: the first menu seen gets a pointer move over the View button; the second is ended.
std::vector<int> g_slideFirstItems;
HWND g_hSlideTarget = nullptr;
int g_nSlideTicks = 0;

void CALLBACK SlideOpenMenu(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    HWND hMenuWnd = OpenMenuWindow();
    if (!hMenuWnd) return;
    auto hMenu = reinterpret_cast<HMENU>(::SendMessageW(hMenuWnd, MN_GETHMENU, 0, 0));
    const int nFirstItem = static_cast<int>(::GetMenuItemID(hMenu, 0));
    // A slow machine may show the first menu again at the next tick, before the move is handled;
    // a slide that never comes ends the menu after 10 s.
    if ((g_slideFirstItems.empty() || nFirstItem == g_slideFirstItems.front()) && ++g_nSlideTicks < 200)
    {
        if (g_slideFirstItems.empty()) g_slideFirstItems.push_back(nFirstItem);
        RECT rc{};
        ::GetWindowRect(g_hSlideTarget, &rc);
        ::SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        ::PostMessageW(hMenuWnd, WM_MOUSEMOVE, 0, 0);
        return;
    }
    g_slideFirstItems.push_back(nFirstItem);
    ::KillTimer(nullptr, nTimer);
    ::EndMenu();
}

TEST(RoomWindows, ControlBarMenusSlideToTheNextButton)
{
    Room room;
    room.mainView.MoveWindow(0, 0, 1000, 700);
    room.mainView.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(room.mainView.m_hWnd);
    room.host.conditions.bControlRight = true;
    g_slideFirstItems.clear();
    g_nSlideTicks = 0;
    g_hSlideTarget = room.ctrl.GetDlgItem(IDC_ROOMCTRL_MENU_VIEW);
    ::SetTimer(nullptr, 0, 50, &SlideOpenMenu);
    Click(room.ctrl, IDC_ROOMCTRL_MENU_FILE);
    // File's first item, then View's: the View menu dropped in its place.
    EXPECT_EQ(g_slideFirstItems, (std::vector<int>{MENU_ID_FILE_OPEN, MENU_ID_PREVIEW}));
    EXPECT_EQ(room.host.nLeave, 0);
}

// Presses a key with Ctrl or Alt held in a room window, as the message loop offers it.
bool PressHotKey(HWND hTarget, UINT nKey, int nModifier)
{
    BYTE keys[256] = {};
    keys[nModifier] = 0x80;
    ::SetKeyboardState(keys);
    MSG msg{hTarget, static_cast<UINT>(nModifier == VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN), nKey, 0, 0, {}};
    const BOOL bTaken = AfxPreTranslateMessage(&msg);
    keys[nModifier] = 0;
    ::SetKeyboardState(keys);
    PumpMessages(0);
    return bTaken != FALSE;
}

bool g_bMenuDropped = false;
void CALLBACK EndDroppedMenu(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    if (!OpenMenuWindow()) return;
    g_bMenuDropped = true;
    ::KillTimer(nullptr, nTimer);
    ::EndMenu();
}

TEST(RoomWindows, HotKeysInAnyRoomWindowRunTheBarsMenuItems)
{
    HWND hChatEdit = nullptr;
    {
        Room room;
        room.mainView.ShowWindow(SW_SHOW);
        hChatEdit = room.chat.GetDlgItem(IDC_ROOMCHAT_EDIT);
        ASSERT_NE(nullptr, hChatEdit);
        // A listener's Ctrl+O and Ctrl+S are taken but greyed: nothing runs.
        room.host.conditions.nGrade = 4;
        EXPECT_TRUE(PressHotKey(hChatEdit, 'O', VK_CONTROL));
        EXPECT_TRUE(PressHotKey(hChatEdit, 'S', VK_CONTROL));
        EXPECT_EQ(0, room.host.nBoardOpens);
        EXPECT_TRUE(room.host.boardActions.empty());
        // The chief's open, save and erase all.
        room.host.conditions = {};
        room.host.conditions.bControlRight = true;
        EXPECT_TRUE(PressHotKey(hChatEdit, 'O', VK_CONTROL));
        EXPECT_TRUE(PressHotKey(room.ctrl.m_hWnd, 'S', VK_CONTROL));
        EXPECT_TRUE(PressHotKey(hChatEdit, 'E', VK_CONTROL));
        EXPECT_EQ(1, room.host.nBoardOpens);
        ASSERT_EQ(2u, room.host.boardActions.size());
        EXPECT_TRUE(room.host.boardActions[0].bSave);
        EXPECT_TRUE(room.host.boardActions[1].bClear);
        // Alt+F drops the File menu.
        g_bMenuDropped = false;
        ::SetTimer(nullptr, 0, 50, &EndDroppedMenu);
        EXPECT_TRUE(PressHotKey(hChatEdit, 'F', VK_MENU));
        EXPECT_TRUE(g_bMenuDropped);
    }
    // With the bar gone no room window takes the keys.
    EXPECT_EQ(nullptr, CRoomDlg::HotKeySink());
}

// The layout menu: the first tick highlights its first item from the keyboard, the second reads
// the hint tip and ends the menu.
CRoomCtrlDlg* g_pHintBar = nullptr;
int g_nHintTicks = 0;
bool g_bHintShown = false;
std::wstring g_szHint;

void CALLBACK HighlightLayout(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    HWND hMenuWnd = OpenMenuWindow();
    if (!hMenuWnd) return;
    if (++g_nHintTicks == 1)
    {
        ::PostMessageW(hMenuWnd, WM_KEYDOWN, VK_DOWN, 0);
        return;
    }
    g_bHintShown = g_pHintBar->HintTip().IsShown();
    g_szHint = g_pHintBar->HintTip().Text();
    ::KillTimer(nullptr, nTimer);
    ::EndMenu();
}

TEST(RoomWindows, LayoutMenuShowsTheHighlightedLayoutsHint)
{
    Room room;
    room.mainView.MoveWindow(0, 0, 1000, 700);
    room.mainView.ShowWindow(SW_SHOW);
    room.host.bControlRight = true;
    room.host.options = {{13, 49}, {10, 49}};
    g_pHintBar = &room.ctrl;
    g_nHintTicks = 0;
    ParkCursor();
    ::SetTimer(nullptr, 0, 50, &HighlightLayout);
    Click(room.ctrl, IDC_ROOMCTRL_LAYOUT);
    EXPECT_TRUE(g_bHintShown);
    EXPECT_EQ(g_szHint, L"<IDS_LAYOUT_HINT_13>");
    EXPECT_FALSE(room.ctrl.HintTip().IsShown()) << "the tip goes with the menu";
    EXPECT_TRUE(room.host.roomTypes.empty());
}

TEST(RoomWindows, ControlBarMenusPropertyDialogAndCommandsForEveryone)
{
    Room room;
    CRoomCtrlDlg& ctrl = room.ctrl;
    room.mainView.ShowWindow(SW_SHOW);
    room.host.bControlRight = true;

    // Each menu drops as the model builds it, for the chief and for a listener.
    for (bool bChief : {true, false})
    {
        room.host.conditions = S_MENUCONDITIONS{};
        room.host.conditions.bControlRight = room.host.conditions.bDrawRight = bChief;
        room.host.conditions.szInviteAddress = u"http://invite";
        room.host.conditions.bInviteAllowed = true;
        for (int nButton : {IDC_ROOMCTRL_MENU_FILE, IDC_ROOMCTRL_MENU_VIEW, IDC_ROOMCTRL_MENU_DRAW,
                            IDC_ROOMCTRL_MENU_TOOL, IDC_ROOMCTRL_MENU_INVITE})
        {
            g_dropped = {};
            ParkCursor();
            ::SetTimer(nullptr, 0, 50, &ReadOpenMenu);
            Click(ctrl, nButton);
            const S_MENUCONDITIONS& c = room.host.conditions;
            std::vector<S_MENUITEM> model = nButton == IDC_ROOMCTRL_MENU_FILE   ? FileMenu(c)
                                            : nButton == IDC_ROOMCTRL_MENU_VIEW ? ViewMenu(c)
                                            : nButton == IDC_ROOMCTRL_MENU_DRAW ? DrawMenu()
                                            : nButton == IDC_ROOMCTRL_MENU_TOOL ? ToolMenu(c, 0)
                                                                                : InviteMenu(c);
            EXPECT_EQ(ctrl.LastMenu(), model) << nButton;
            DroppedMenu expected;
            for (const S_MENUITEM& m : model)
            {
                expected.ids.push_back(m.kind == MENU_SEPARATOR ? 0 : m.kind == MENU_POPUP ? -1 : m.nId);
                expected.grey.push_back(m.kind == MENU_COMMAND && !m.bEnabled);
            }
            // A separator's state means nothing.
            for (size_t i = 0; i < expected.ids.size() && i < g_dropped.grey.size(); ++i)
                if (expected.ids[i] == 0) expected.grey[i] = g_dropped.grey[i];
            EXPECT_EQ(g_dropped.ids, expected.ids) << nButton << " chief " << bChief;
            EXPECT_EQ(g_dropped.grey, expected.grey) << nButton << " chief " << bChief;
        }
    }

    // The property dialog opens from the Tool menu's command with the room's values.
    room.host.propertyRoom.szTitle = u"Weekly";
    room.host.propertyRoom.current.wMaxUsers = 10;
    room.host.propertyRoom.current.nCaptureSize = 1; // automatic: a code the list has
    room.host.propertyRoom.nMaxUserChoices = 49;
    room.host.propertyRoom.nParticipants = 2;
    room.host.propertyRoom.bControlRight = true;
    room.host.propertyRoom.bHasSender = true;
    ctrl.SendMessage(WM_COMMAND, MENU_ID_PROPERTY, 0);
    ASSERT_NE(ctrl.PropertyDlg(), nullptr);
    HWND hDlg = ctrl.PropertyDlg()->m_hWnd;
    EXPECT_EQ(GetWindowTextString(::GetDlgItem(hDlg, IDC_PROPERTY_TITLE)), L"Weekly");
    EXPECT_EQ(::SendDlgItemMessageW(hDlg, IDC_PROPERTY_MAXUSER, CB_GETCURSEL, 0, 0), 9);
    EXPECT_EQ(::SendDlgItemMessageW(hDlg, IDC_PROPERTY_MAXUSER, CB_GETCOUNT, 0, 0), 49);
    // A room with video but no sharing rights offered: the buttons move up by 25.
    EXPECT_EQ(ctrl.PropertyDlg()->Layout().nHeight, 565);
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(hDlg, IDC_PROPERTY_DESKTOPSHARE)));

    // A fixed frame rate is on; the room becoming a document room switches it off.
    ::SendMessageW(::GetDlgItem(hDlg, IDC_PROPERTY_FRAMEFIXED), BM_CLICK, 0, 0);
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hDlg, IDC_PROPERTY_FRAMERATE)));
    room.host.propertyRoom.bDocumentRoom = true;
    ctrl.PropertyDlg()->OnRoomTypeChanged();
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hDlg, IDC_PROPERTY_FRAMERATE)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hDlg, IDC_PROPERTY_FRAMEFIXED)));
    room.host.propertyRoom.bDocumentRoom = false;
    ctrl.PropertyDlg()->OnRoomTypeChanged();
    ::SendMessageW(::GetDlgItem(hDlg, IDC_PROPERTY_FRAMEFIXED), BM_CLICK, 0, 0);
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hDlg, IDC_PROPERTY_FRAMERATE)));

    // OK with a new title and maximum: the texts go to the bar's update, the properties out.
    ::SetDlgItemTextW(hDlg, IDC_PROPERTY_TITLE, L"Renamed");
    ::SendDlgItemMessageW(hDlg, IDC_PROPERTY_MAXUSER, CB_SETCURSEL, 4, 0);
    ::SendMessageW(::GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_FALSE(::IsWindow(hDlg));
    EXPECT_EQ(ctrl.PropertyDlg(), nullptr);
    EXPECT_EQ(room.host.titles, (std::vector<std::u16string>{u"Renamed"}));
    ASSERT_EQ(room.host.properties.size(), 1u);
    EXPECT_EQ(room.host.properties[0].wMaxUsers, 5);

    // The command toggles the dialog; OK with nothing changed sends no properties.
    ctrl.SendMessage(WM_COMMAND, MENU_ID_PROPERTY, 0);
    ASSERT_NE(ctrl.PropertyDlg(), nullptr);
    ctrl.SendMessage(WM_COMMAND, MENU_ID_PROPERTY, 0);
    PumpMessages();
    EXPECT_EQ(ctrl.PropertyDlg(), nullptr);
    ctrl.SendMessage(WM_COMMAND, MENU_ID_PROPERTY, 0);
    ::SendMessageW(::GetDlgItem(ctrl.PropertyDlg()->m_hWnd, IDOK), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_EQ(room.host.properties.size(), 1u);
    EXPECT_EQ(room.host.titles.size(), 2u);

    // The chief's maximise and restore reach everyone; layouts and the lecture go to the session.
    Click(ctrl, IDC_ROOMCTRL_MAXIMIZE);
    Click(ctrl, IDC_ROOMCTRL_RESTORE);
    EXPECT_EQ(room.host.maximizes, (std::vector<bool>{true, false}));
    room.host.bControlRight = false;
    Click(ctrl, IDC_ROOMCTRL_MAXIMIZE);
    Click(ctrl, IDC_ROOMCTRL_RESTORE);
    EXPECT_EQ(room.host.maximizes.size(), 2u);
    ctrl.SendMessage(WM_COMMAND, 32834, 0);
    ctrl.SendMessage(WM_COMMAND, MENU_ID_LECTURE_END, 0);

    // The layout button drops the room's layouts as pictures, two columns read row by row.
    room.host.options = {{4, 49}, {13, 49}, {10, 49}, {2, 49}};
    g_dropped = {};
    ParkCursor();
    ::SetTimer(nullptr, 0, 50, &ReadOpenMenu);
    Click(ctrl, IDC_ROOMCTRL_LAYOUT);
    // Table order 13, 10, 2, 4: the first column 13, 2; the second, from its break, 10, 4.
    EXPECT_EQ(g_dropped.ids, (std::vector<int>{32836, 32827, 32834, 32829}));
    ASSERT_EQ(ctrl.LastLayoutMenu().size(), 4u);
    EXPECT_TRUE(ctrl.LastLayoutMenu()[2].bMenuBreak);
    EXPECT_EQ(room.host.roomTypes, (std::vector<int>{32834}));
    EXPECT_EQ(room.host.lectures, (std::vector<uint16_t>{100}));

    // Draw tools go to the board; the floating tool's route takes tools only.
    ctrl.SendMessage(WM_COMMAND, CBoardTools::kHighlighter, 0);
    ctrl.RouteLayoutCommand(1395, 0);
    ctrl.RouteLayoutCommand(32941, 0);
    ASSERT_EQ(room.host.boardActions.size(), 2u);
    EXPECT_EQ(room.host.boardActions[0].bFluorescent, true);
    EXPECT_EQ(room.host.boardActions[1].nDrawMode, 2);
    EXPECT_EQ(ctrl.BoardTools().Tool(), 1395);
}

TEST(RoomWindows, ControlBarPushLandsSafelyAndRefusesWhatTheWireCannotCarry)
{
    Room room;
    CRoomCtrlDlg& ctrl = room.ctrl;
    wchar_t szTemp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    const std::wstring szParent = std::wstring(szTemp) + L"qpush" + std::to_wstring(::GetCurrentProcessId());
    const std::wstring szFolder = szParent + L"\\downloads";
    ::CreateDirectoryW(szParent.c_str(), nullptr);
    ::CreateDirectoryW(szFolder.c_str(), nullptr);
    room.host.szSaveFolder = szFolder;

    const uint8_t bytes[6] = {'a', 'b', 'c', 'd', 'e', 'f'};
    struct
    {
        std::u16string szOffered;
        std::wstring szStored;
    } cases[] = {
        {u"..\\evil.txt", L"evil.txt"},
        {u"CON", L"_CON"},
        {u"C:\\x\\..\\boot.ini:stream", L"boot.ini_stream"},
    };
    for (const auto& c : cases)
    {
        ASSERT_TRUE(ctrl.BeginPushReceive(40, u"Bob", c.szOffered, sizeof bytes));
        ctrl.OnPushData(40, bytes, sizeof bytes);
        ASSERT_NE(nullptr, ctrl.Push());
        EXPECT_FALSE(ctrl.Push()->Receiving());
        ctrl.Push()->EndPush();
        const std::wstring szPath = szFolder + L"\\" + c.szStored;
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(szPath.c_str())) << szPath;
        ::DeleteFileW(szPath.c_str());
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((szParent + L"\\evil.txt").c_str()));

    // A sparse file of 4 GiB: the size field would wrap, so it is refused before anything is sent.
    const std::wstring szHuge = szParent + L"\\huge.bin";
    HANDLE h = ::CreateFileW(szHuge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER size;
    size.QuadPart = 0x100000000LL;
    ::SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
    ::SetEndOfFile(h);
    ::CloseHandle(h);
    EXPECT_FALSE(ctrl.StartPushFile(szHuge));
    ASSERT_FALSE(room.host.pushNotices.boxes.empty());
    EXPECT_EQ(u"<IDS_MSG_FILETRANS_OPENFAILED>", room.host.pushNotices.boxes.back());
    ::DeleteFileW(szHuge.c_str());
    ::RemoveDirectoryW(szFolder.c_str());
    ::RemoveDirectoryW(szParent.c_str());

    // The chat's push line carries the cancel link; a click cancels through the session.
    room.chat.UpdatePushProgress(40, L"12 s left");
    ASSERT_TRUE(room.chat.Log().CancelShown());
    ENLINK link{};
    link.nmhdr.hwndFrom = room.chat.GetDlgItem(IDC_ROOMCHAT_LIST);
    link.nmhdr.idFrom = IDC_ROOMCHAT_LIST;
    link.nmhdr.code = EN_LINK;
    link.msg = WM_LBUTTONDOWN;
    const LONG nCancel = static_cast<LONG>(room.chat.Log().CancelRange().nStart);
    link.chrg = {nCancel, nCancel + 1};
    ::SendMessageW(room.chat.m_hWnd, WM_NOTIFY, IDC_ROOMCHAT_LIST, reinterpret_cast<LPARAM>(&link));
    EXPECT_EQ(1, room.host.nPushCancels);
    room.chat.EndPushProgress();
    EXPECT_FALSE(room.chat.Log().CancelShown());
}

namespace
{
// The window's picture, saved as a 32-bit bitmap file.
bool SaveWindowPicture(HWND hWnd, const std::wstring& szPath, bool bPump = true)
{
    // The display shows a changed frame only after the window's messages have run (an open menu
    // runs its own loop: its pictures are taken from inside it, without pumping).
    if (bPump) PumpMessages(200);
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rc = WindowRect(hWnd);
    int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(hScreen, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    HDC hWindow = ::GetWindowDC(hWnd);
    ::BitBlt(hMem, 0, 0, cx, cy, hWindow, 0, 0, SRCCOPY);
    ::ReleaseDC(hWnd, hWindow);
    ::SelectObject(hMem, hOld);
    bool bSaved = false;
    if (FILE* out = _wfopen(szPath.c_str(), L"wb"))
    {
        size_t nBytes = static_cast<size_t>(cx) * cy * 4;
        BITMAPFILEHEADER file{0x4D42,
                              static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof bi.bmiHeader + nBytes), 0,
                              0, sizeof(BITMAPFILEHEADER) + sizeof bi.bmiHeader};
        bSaved = fwrite(&file, sizeof file, 1, out) == 1 &&
                 fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, out) == 1 &&
                 fwrite(pBits, 1, nBytes, out) == nBytes;
        fclose(out);
    }
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
    return bSaved;
}
} // namespace

TEST(RoomWindows, PicturesOfTheParticipantList)
{
    Room room;
    room.mainView.MoveWindow(0, 0, 1024, 738);
    room.mainView.ShowWindow(SW_SHOW);
    S_ROOMVIEWSTATE state = room.mainView.ViewState();
    state.wViewMode = 1;
    room.mainView.SetViewState(state);
    auto& rows = room.host.rows;
    rows.Add(1, u"Alice", 1, 1);
    rows.Add(2, u"Bob", 1, 1);
    rows.Add(3, u"Carol", 1, 0);
    rows.Add(4, u"Dave", 0, 0);
    rows.users.FindUser(3)->avFlag1 = 1;
    rows.wChief = 1;
    rows.wPresenterUser = 102;
    room.userList.Rows()->Sync({1, 2, 3, 4}, 1, 2);
    room.userList.Rows()->SetVoiceIcon(2, true);
    const std::wstring szDir = QUILLON_PICTURE_DIR;
    EXPECT_TRUE(SaveWindowPicture(room.userList.m_hWnd, szDir + L"/room_view_userlist.bmp"));
    HWND hSlider = room.userList.GetDlgItem(IDC_USERLIST_ALPHA);
    EXPECT_FALSE(::IsWindowVisible(hSlider));
    room.userList.SetFloating(true);
    EXPECT_TRUE(SaveWindowPicture(room.userList.m_hWnd, szDir + L"/room_view_userlist_floating.bmp"));
    // Floating, its slider sets the transparency; docked, the slider is gone.
    EXPECT_TRUE(::IsWindowVisible(hSlider));
    ::SendMessageW(room.userList.m_hWnd, CBitmapSlider::kMsgMoving, IDC_USERLIST_ALPHA, 150);
    EXPECT_EQ(150, room.userList.Alpha());
    room.userList.SetFloating(false);
    EXPECT_FALSE(::IsWindowVisible(hSlider));
}

TEST(RoomWindows, PicturesOfEachViewModeAndFullScreen)
{
    Room room;
    room.player.DestroyWindow(); // a live room has no player
    room.videoView.SetViewCount(9);
    room.mainView.MoveWindow(0, 0, 1024, 738);
    room.mainView.ShowWindow(SW_SHOW);
    S_ROOMVIEWSTATE state = room.mainView.ViewState();
    state.bHasBoardTool = true;
    state.nBoardToolWidth = 40;
    const wchar_t* names[] = {L"video", L"board", L"mediashare", L"question"};
    for (uint16_t mode = 0; mode < 4; ++mode)
    {
        state.wViewMode = mode;
        room.mainView.SetViewState(state);
        EXPECT_TRUE(SaveWindowPicture(room.mainView.m_hWnd, std::wstring(QUILLON_PICTURE_DIR) +
                                                                L"/room_view_" + names[mode] + L".bmp"));
    }
    // The chat floating beside the room, translucent.
    state.wViewMode = 1;
    room.mainView.SetViewState(state);
    room.chat.SetFloating(true);
    room.chat.SetAlpha(180);
    EXPECT_TRUE(SaveWindowPicture(room.chat.m_hWnd,
                                  std::wstring(QUILLON_PICTURE_DIR) + L"/room_view_chat_floating.bmp"));
    EXPECT_TRUE(SaveWindowPicture(room.mainView.m_hWnd,
                                  std::wstring(QUILLON_PICTURE_DIR) + L"/room_view_board_chat_floating.bmp"));
    room.chat.SetFloating(false);
    state.bPanelShown = false;
    room.mainView.SetViewState(state);
    EXPECT_TRUE(SaveWindowPicture(room.mainView.m_hWnd,
                                  std::wstring(QUILLON_PICTURE_DIR) + L"/room_view_panels_closed.bmp"));
    state.bPanelShown = true;
    state.bFullScreen = true;
    room.mainView.SetViewState(state);
    room.mainView.EnterFullScreen({0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
    RECT rc = WindowRect(room.mainView);
    EXPECT_EQ(rc.left, -1);
    EXPECT_EQ(rc.right, ::GetSystemMetrics(SM_CXSCREEN) + 1);
    EXPECT_FALSE(room.mainView.GetStyle() & WS_CAPTION);
    EXPECT_TRUE(SaveWindowPicture(room.mainView.m_hWnd,
                                  std::wstring(QUILLON_PICTURE_DIR) + L"/room_view_fullscreen.bmp"));
    room.mainView.LeaveFullScreen({10, 20, 1034, 758});
    EXPECT_TRUE(room.mainView.GetStyle() & WS_CAPTION);
    EXPECT_EQ(WindowRect(room.mainView).left, 10);
}

TEST(RoomWindows, BorderDragKeepsTheRoomBetweenItsMinimumAndTheWorkArea)
{
    Room room;
    room.mainView.MoveWindow(100, 100, 1000, 700);
    RECT drag{400, 100, 1100, 800}; // the left edge dragged to leave 700 pixels
    room.mainView.SendMessage(WM_SIZING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&drag));
    EXPECT_EQ(drag.left, 300);
    EXPECT_EQ(drag.right, 1100);
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT tall{100, 100, 1100, 100 + (work.bottom - work.top) + 500};
    room.mainView.SendMessage(WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&tall));
    EXPECT_EQ(tall.bottom - tall.top, work.bottom - work.top);
}

TEST(RoomWindows, SidePanelsFloatDockAndStayWithinTheirLimits)
{
    Room room;
    room.mainView.MoveWindow(0, 0, 1000, 700);
    room.mainView.ShowWindow(SW_SHOW);
    room.manageTool.MoveWindow(0, 0, 200, 400);
    CSidePanelDlg& chat = room.chat;

    // WM_COMMAND 1007 floats the chat: a window of its own at its first place, 208 x 150,
    // and the host shares its height among the other three.
    chat.SendMessage(WM_COMMAND, CSidePanelDlg::kFloatCommand, 0);
    EXPECT_TRUE(chat.IsFloating());
    EXPECT_FALSE(chat.GetStyle() & WS_CHILD);
    EXPECT_EQ(::GetWindow(chat.m_hWnd, GW_OWNER), room.mainView.m_hWnd);
    RECT rc = WindowRect(chat);
    EXPECT_EQ(rc.right - rc.left, kPanelFloatWidth);
    EXPECT_EQ(rc.bottom - rc.top, kPanelFloatHeight);
    EXPECT_EQ(WindowRect(room.userList).bottom - WindowRect(room.userList).top, 134);

    // A border drag keeps 208 x 150 at least; translucency goes from 70 to opaque.
    RECT drag{rc.left, rc.top, rc.left + 100, rc.bottom};
    chat.SendMessage(WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&drag));
    EXPECT_EQ(drag.right - drag.left, kPanelFloatWidth);
    chat.SetAlpha(10);
    EXPECT_EQ(chat.Alpha(), kPanelMinAlpha);
    EXPECT_TRUE(::GetWindowLongPtrW(chat.m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);

    EXPECT_EQ(chat.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.right - 2, rc.bottom - 2)), HTBOTTOMRIGHT);
    EXPECT_EQ(chat.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.left + 50, rc.top + 10)), HTCAPTION);

    // Closing it docks it in the host again, opaque; floated again it comes back where it was.
    ::MoveWindow(chat.m_hWnd, 300, 200, 250, 180, TRUE);
    chat.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(chat.IsFloating());
    EXPECT_EQ(chat.GetParent(), room.manageTool.m_hWnd);
    EXPECT_FALSE(::GetWindowLongPtrW(chat.m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(WindowRect(room.userList).bottom - WindowRect(room.userList).top, 100);
    chat.SetFloating(true);
    EXPECT_EQ(WindowRect(chat).left, 300);
    EXPECT_EQ(WindowRect(chat).right - WindowRect(chat).left, 250);
    chat.SetFloating(false);

    // Collapsed (its command 1386), docked it keeps its title and the others share the rest;
    // floating it shrinks to its title and grows back to the height it had.
    chat.SendMessage(WM_COMMAND, kCollapseChatCommand, 0);
    EXPECT_FALSE(chat.IsExpanded());
    EXPECT_EQ(WindowRect(chat).bottom - WindowRect(chat).top, kPanelTitleHeight);
    EXPECT_EQ(WindowRect(room.agenda).bottom - WindowRect(room.agenda).top, 127);
    chat.SetFloating(true);
    EXPECT_EQ(WindowRect(chat).bottom - WindowRect(chat).top, kPanelTitleHeight);
    chat.SetExpanded(true);
    EXPECT_EQ(WindowRect(chat).bottom - WindowRect(chat).top, 180);
    chat.SetExpanded(false);
    RECT tall{WindowRect(chat).left, WindowRect(chat).top, WindowRect(chat).right,
              WindowRect(chat).top + 400};
    chat.SendMessage(WM_SIZING, WMSZ_BOTTOM, reinterpret_cast<LPARAM>(&tall));
    EXPECT_EQ(tall.bottom - tall.top, kPanelTitleHeight); // collapsed: only sideways
    // Its borders and title band answer the hit test; collapsed, only its sides size it.
    RECT at = WindowRect(chat);
    EXPECT_EQ(chat.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(at.left + 1, at.top + 10)), HTLEFT);
    EXPECT_EQ(chat.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(at.left + 50, at.top + 1)), HTCAPTION);
    chat.SetFloating(false);
    chat.SetExpanded(true);

    // Every panel of the host floats the same way.
    for (CSidePanelDlg* pPanel :
         std::initializer_list<CSidePanelDlg*>{&room.agenda, &room.ebook, &room.userList})
    {
        pPanel->SendMessage(WM_COMMAND, CSidePanelDlg::kFloatCommand, 0);
        EXPECT_TRUE(pPanel->IsFloating());
        pPanel->SendMessage(WM_COMMAND, CSidePanelDlg::kFloatCommand, 0);
        EXPECT_EQ(pPanel->GetParent(), room.manageTool.m_hWnd);
    }
}

namespace
{
// Inside an open menu's loop: on the third tick the menu (and the hint tip, when shown) are saved
// and the menu is ended; on the first, the layout menu's first item is highlighted.
std::wstring g_szMenuPicture;
CRoomCtrlDlg* g_pPictureBar = nullptr;
int g_nPictureTicks = 0;

void CALLBACK SaveOpenMenu(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    HWND hMenuWnd = OpenMenuWindow();
    if (!hMenuWnd) return;
    if (++g_nPictureTicks == 1) ::PostMessageW(hMenuWnd, WM_KEYDOWN, VK_DOWN, 0);
    if (g_nPictureTicks < 4) return;
    ::KillTimer(nullptr, nTimer);
    std::wstring szDir = std::wstring(QUILLON_PICTURE_DIR) + L"/room_view_menu_";
    EXPECT_TRUE(SaveWindowPicture(hMenuWnd, szDir + g_szMenuPicture + L".bmp", false));
    if (g_pPictureBar->HintTip().IsShown())
        EXPECT_TRUE(SaveWindowPicture(g_pPictureBar->HintTip().Handle(),
                                      szDir + g_szMenuPicture + L"_hint.bmp", false));
    ::EndMenu();
}
} // namespace

TEST(RoomWindows, PicturesOfTheBarsMenusAndThePropertyDialog)
{
    Room room;
    room.player.DestroyWindow();
    room.mainView.MoveWindow(0, 0, 1024, 738);
    room.mainView.ShowWindow(SW_SHOW);
    room.host.bControlRight = true;
    S_MENUCONDITIONS& c = room.host.conditions;
    c.bControlRight = c.bDrawRight = c.bMediaShareRight = true;
    c.nMediaShareKind = 3;
    c.bitrates = {256, 512, 1024};
    c.nBitrate = 512;
    c.frameRates = {5, 15, 30, 0};
    c.sendSizes = {480, 720, 0};
    c.bFilePush = true;
    c.nServerRecordKinds = 1;
    c.nOfferedLayouts = 10;
    c.szInviteAddress = u"http://invite";
    c.bInviteAllowed = c.bPhoneCalls = true;
    room.host.options = {{1, 49},  {2, 49},  {4, 49},  {6, 49},  {7, 49},
                         {10, 49}, {13, 49}, {14, 49}, {17, 49}, {23, 49}};
    g_pPictureBar = &room.ctrl;
    ParkCursor();
    const std::pair<int, const wchar_t*> menus[] = {
        {IDC_ROOMCTRL_MENU_FILE, L"file"},     {IDC_ROOMCTRL_MENU_VIEW, L"view"},
        {IDC_ROOMCTRL_MENU_DRAW, L"draw"},     {IDC_ROOMCTRL_MENU_TOOL, L"tool"},
        {IDC_ROOMCTRL_MENU_INVITE, L"invite"}, {IDC_ROOMCTRL_LAYOUT, L"layout"},
    };
    for (const auto& [nButton, pszName] : menus)
    {
        g_szMenuPicture = pszName;
        g_nPictureTicks = 0;
        ::SetTimer(nullptr, 0, 50, &SaveOpenMenu);
        Click(room.ctrl, nButton);
    }
    EXPECT_TRUE(room.host.roomTypes.empty());

    // The property dialog of a room with video, then of one without, sharing rights offered.
    room.host.propertyRoom.szTitle = u"Weekly";
    room.host.propertyRoom.current.wMaxUsers = 10;
    room.host.propertyRoom.nMaxUserChoices = 49;
    room.host.propertyRoom.bControlRight = true;
    for (bool bVideo : {true, false})
    {
        room.host.propertyRoom.bHasVideo = bVideo;
        room.host.propertyRoom.bDesktopShareOffered = !bVideo;
        room.host.propertyRoom.nMediaShareKind = bVideo ? 0 : 2;
        room.ctrl.SendMessage(WM_COMMAND, MENU_ID_PROPERTY, 0);
        ASSERT_NE(room.ctrl.PropertyDlg(), nullptr);
        HWND hDlg = room.ctrl.PropertyDlg()->m_hWnd;
        EXPECT_EQ(::IsWindowVisible(::GetDlgItem(hDlg, IDC_PROPERTY_CAPTURE)) != FALSE, bVideo);
        RECT rc{};
        ::GetClientRect(hDlg, &rc);
        EXPECT_EQ(rc.bottom, bVideo ? 565 : 460);
        EXPECT_TRUE(SaveWindowPicture(
            hDlg, std::wstring(QUILLON_PICTURE_DIR) +
                      (bVideo ? L"/room_view_property.bmp" : L"/room_view_property_novideo.bmp")));
        room.ctrl.SendMessage(WM_COMMAND, MENU_ID_PROPERTY, 0);
        PumpMessages();
    }
}

namespace
{
void SendMouse(DWORD dwFlags, int x = 0, int y = 0)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = dwFlags;
    if (dwFlags & MOUSEEVENTF_ABSOLUTE)
    {
        in.mi.dx = x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    ::SendInput(1, &in, sizeof in);
}

void SendKey(WORD wVk, bool bUp)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = wVk;
    in.ki.dwFlags = bUp ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof in);
}

bool PumpUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 100; ++i)
    {
        if (done()) return true;
        PumpMessages(50);
    }
    return done();
}
} // namespace

TEST(RoomWindows, BoardCaptureCopiesThePointedWindowOrEndsOnEscape)
{
    Room room;
    room.mainView.MoveWindow(50, 50, 800, 600);
    room.mainView.ShowWindow(SW_SHOW);
    PumpMessages(100);

    // A right click on the room window captures it: the picture on the clipboard, a new page.
    room.ctrl.SendMessage(WM_COMMAND, MENU_ID_CAPTURE, 0);
    ASSERT_TRUE(room.ctrl.CaptureRunning());
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 400, 400);
    PumpMessages(100);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(PumpUntil([&] { return !room.ctrl.CaptureRunning(); }));
    EXPECT_EQ(room.host.nCapturedPages, 1);
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_BITMAP));
    EXPECT_TRUE(::IsWindowVisible(room.mainView.m_hWnd));

    // Escape gives up: no page.
    room.ctrl.SendMessage(WM_COMMAND, MENU_ID_CAPTURE, 0);
    ASSERT_TRUE(room.ctrl.CaptureRunning());
    SendKey(VK_ESCAPE, false);
    SendKey(VK_ESCAPE, true);
    EXPECT_TRUE(PumpUntil([&] { return !room.ctrl.CaptureRunning(); }));
    EXPECT_EQ(room.host.nCapturedPages, 1);

    // The room closes mid-capture: the mode ends with the bar.
    room.ctrl.SendMessage(WM_COMMAND, MENU_ID_CAPTURE, 0);
    ASSERT_TRUE(room.ctrl.CaptureRunning());
    room.mainView.DestroyWindow();
    EXPECT_FALSE(room.ctrl.CaptureRunning());
}

// The push line's pictures are objects of the rich edit, one character each, so the log's
// positions hold: a line at 40 %, its end at 100 %, and a second line cancelled.
TEST(RoomWindows, ChatPushLineShowsItsPicturesInTheLog)
{
    Room room;
    room.mainView.ShowWindow(SW_SHOW);
    const CRichEditCtrlGS& log = room.chat.LogControl();
    auto objects = [&log]
    {
        ComPtr<IRichEditOle> ole;
        ::SendMessageW(log.GetSafeHwnd(), EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(ole.Out()));
        return ole ? ole->GetObjectCount() : -1;
    };
    room.chat.AddNotice(L"a file comes", 0);
    room.chat.UpdatePushProgress(40, L"00:10 left");
    EXPECT_EQ(3, objects()) << "placeholder, progress and status";
    EXPECT_EQ(std::wstring::npos, log.GetText().find(L'\x25AE')) << "no stand-in character";
    const size_t nCancel = log.GetText().find(L"<IDS_MSG_CANCEL>");
    ASSERT_NE(std::wstring::npos, nCancel);
    EXPECT_TRUE(log.IsLink(static_cast<LONG>(nCancel), static_cast<LONG>(nCancel) + 1));

    room.chat.UpdatePushProgress(100, L"a.txt has been transferred.");
    EXPECT_EQ(3, objects());
    EXPECT_FALSE(log.IsLink(static_cast<LONG>(nCancel), static_cast<LONG>(nCancel) + 1));

    // The next push opens a line of its own; cancelled, only its status picture stays.
    room.chat.UpdatePushProgress(10, L"01:00 left");
    EXPECT_EQ(6, objects());
    room.chat.EndPushProgress();
    EXPECT_EQ(4, objects());
}

// The room window shows its icon (another while a recording plays back), and closing it from its
// system menu leaves the room as the bar's Leave does; the session closes the window.
TEST(RoomWindows, TheRoomWindowHasItsIconAndItsCloseLeavesTheRoom)
{
    Room room;
    const LRESULT hRoomIcon = room.mainView.SendMessage(WM_GETICON, ICON_BIG, 0);
    EXPECT_NE(0, hRoomIcon);
    EXPECT_NE(0, room.mainView.SendMessage(WM_GETICON, ICON_SMALL, 0));
    S_ROOMVIEWSTATE state = room.mainView.ViewState();
    state.bPlayer = true;
    room.mainView.SetViewState(state);
    EXPECT_NE(hRoomIcon, room.mainView.SendMessage(WM_GETICON, ICON_BIG, 0));
    state.bPlayer = false;
    room.mainView.SetViewState(state);
    EXPECT_EQ(hRoomIcon, room.mainView.SendMessage(WM_GETICON, ICON_BIG, 0));

    room.mainView.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(1, room.host.nLeave);
    EXPECT_TRUE(::IsWindow(room.mainView.m_hWnd));
}

// The taskbar group: the skin folder's icon under the program's application key, the name file's
// group name in the shell's name cache under the program's path; minimised, the window still paints.
TEST(RoomWindows, TheRoomWindowGroupsOnTheTaskbarAndPaintsMinimised)
{
    const std::wstring szProgram = L"QuillonGroupTest";
    wchar_t szTemp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, szTemp);
    const std::wstring szSkin = std::wstring(szTemp) + L"quillon_group_skin";
    ::CreateDirectoryW(szSkin.c_str(), nullptr);
    for (auto [pszFile, pszText] : {std::pair{L"\\GroupIcon.ico", "icon"},
                                    std::pair{L"\\TaskbarName.ini", "; group\r\nGROUP=Lumora Rooms\r\n"}})
    {
        FILE* f = _wfopen((szSkin + pszFile).c_str(), L"wb");
        ASSERT_NE(nullptr, f);
        fputs(pszText, f);
        fclose(f);
    }
    const std::wstring szPath = L"C:\\Quillon\\QuillonGroupTest.exe";
    ASSERT_TRUE(
        RegWriteString(HKEY_CURRENT_USER, RegProgramKey(szProgram).c_str(), L"ProgramPath", szPath.c_str()));
    const std::wstring szAppKey = L"SOFTWARE\\Classes\\Applications\\" + szProgram + L".exe";
    const wchar_t* pszCache = L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";

    CRoomMainViewDlg::GroupOnTaskbar(szProgram, szSkin);
    EXPECT_EQ(szSkin + L"\\GroupIcon.ico",
              RegReadString(HKEY_LOCAL_MACHINE, szAppKey.c_str(), L"TaskbarGroupIcon", L""));
    EXPECT_EQ(L"Lumora Rooms", RegReadString(HKEY_CURRENT_USER, pszCache, szPath.c_str(), L""));
    // Without the skin files: the program's own path and name.
    for (const wchar_t* pszFile : {L"\\GroupIcon.ico", L"\\TaskbarName.ini"})
        ::DeleteFileW((szSkin + pszFile).c_str());
    CRoomMainViewDlg::GroupOnTaskbar(szProgram, szSkin);
    EXPECT_EQ(szPath, RegReadString(HKEY_LOCAL_MACHINE, szAppKey.c_str(), L"TaskbarGroupIcon", L""));
    EXPECT_EQ(szProgram, RegReadString(HKEY_CURRENT_USER, pszCache, szPath.c_str(), L""));
    ::RemoveDirectoryW(szSkin.c_str());
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, szAppKey.c_str());
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, pszCache, szPath.c_str());
    ::RegDeleteTreeW(HKEY_CURRENT_USER, RegProgramKey(szProgram).c_str());

    Room room;
    room.mainView.ShowWindow(SW_SHOW);
    room.mainView.ShowWindow(SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(room.mainView.m_hWnd));
    ::RedrawWindow(room.mainView.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_FALSE(::GetUpdateRect(room.mainView.m_hWnd, nullptr, FALSE));
    room.mainView.ShowWindow(SW_RESTORE);
}

// The background fills only the gaps between the shown child areas (whatever clipping the DC
// has); in full screen everything goes black.
TEST(RoomWindows, TheRoomBackgroundLeavesTheShownChildrenAlone)
{
    Room room;
    room.mainView.ShowWindow(SW_SHOW);
    room.mainView.SetWindowPos(nullptr, 0, 0, 1024, 768, SWP_NOZORDER);
    RECT rc;
    room.mainView.GetClientRect(&rc);
    HDC hScreen = ::GetDC(nullptr);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, rc.right, rc.bottom);
    ::ReleaseDC(nullptr, hScreen);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    constexpr COLORREF kUntouched = RGB(255, 0, 255);
    auto erase = [&]
    {
        HBRUSH hBrush = ::CreateSolidBrush(kUntouched);
        ::FillRect(hDC, &rc, hBrush);
        ::DeleteObject(hBrush);
        room.mainView.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    };
    auto centreOf = [&](HWND h)
    {
        RECT r;
        ::GetWindowRect(h, &r);
        ::MapWindowPoints(nullptr, room.mainView.m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    // A point no child window covers.
    auto gap = [&]
    {
        for (int y = 1; y < rc.bottom; y += 3)
            for (int x = 1; x < rc.right; x += 3)
            {
                HWND h = ::ChildWindowFromPointEx(room.mainView.m_hWnd, {x, y}, CWP_SKIPINVISIBLE);
                if (h == room.mainView.m_hWnd) return POINT{x, y};
            }
        return POINT{-1, -1};
    };

    S_ROOMVIEWSTATE state = room.mainView.ViewState();
    state.wViewMode = 0;
    room.mainView.SetViewState(state);
    erase();
    const POINT free = gap();
    ASSERT_GE(free.x, 0);
    EXPECT_EQ(RGB(0xF0, 0xF9, 0xFF), ::GetPixel(hDC, free.x, free.y));
    for (CWnd* pShown : std::initializer_list<CWnd*>{&room.ctrl, &room.manageTool, &room.videoView})
    {
        ASSERT_TRUE(::IsWindowVisible(pShown->m_hWnd));
        POINT c = centreOf(pShown->m_hWnd);
        EXPECT_EQ(kUntouched, ::GetPixel(hDC, c.x, c.y)) << ::GetDlgCtrlID(pShown->m_hWnd);
    }
    state.bFullScreen = true;
    room.mainView.SetViewState(state);
    erase();
    POINT c = centreOf(room.ctrl.m_hWnd);
    EXPECT_EQ(RGB(0, 0, 0), ::GetPixel(hDC, c.x, c.y));
    EXPECT_EQ(RGB(0, 0, 0), ::GetPixel(hDC, free.x, free.y));
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hDC);
}

// In the room window a field keeps Return, the arrows and V from the room's hot keys; elsewhere
// V with Alt held drops the View menu.
TEST(RoomWindows, TheRoomWindowsFieldsKeepTheirKeys)
{
    Room room;
    room.mainView.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(room.mainView.m_hWnd);
    HWND hField = ::CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20,
                                    room.mainView.m_hWnd, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hField);
    auto pressAltV = [](HWND hTarget)
    {
        BYTE keys[256] = {};
        keys[VK_MENU] = 0x80;
        ::SetKeyboardState(keys);
        g_bMenuDropped = false;
        UINT_PTR nTimer = ::SetTimer(nullptr, 0, 50, &EndDroppedMenu);
        // A key down with Alt held, as AltGr gives it, not a system key.
        MSG msg{hTarget, WM_KEYDOWN, 'V', 0, 0, {}};
        AfxPreTranslateMessage(&msg);
        keys[VK_MENU] = 0;
        ::SetKeyboardState(keys);
        // The field's dialog translated the key: its character is not wanted.
        MSG ch;
        while (::PeekMessageW(&ch, nullptr, WM_CHAR, WM_SYSDEADCHAR, PM_REMOVE))
        {
        }
        // The bar drops its menu from a posted message.
        PumpMessages(0);
        ::KillTimer(nullptr, nTimer);
        return g_bMenuDropped;
    };
    ::SetFocus(hField);
    ASSERT_EQ(hField, ::GetFocus());
    EXPECT_FALSE(pressAltV(hField));
    // No field has the focus (the room window would hand it to the bar's web field).
    ::SetFocus(nullptr);
    EXPECT_TRUE(pressAltV(room.mainView.m_hWnd));
}

// A recording played back takes dropped files: the first one's whole path and what it opens go to
// the session; a live room takes none.
TEST(RoomWindows, TheRoomWindowTakesDroppedFilesOnlyInPlayback)
{
    Room room;
    std::vector<std::pair<DropAction, std::wstring>> drops;
    room.mainView.SetFileDrop(false, [&](DropAction a, const std::wstring& szPath)
                              { drops.emplace_back(a, szPath); });
    auto drop = [&](const std::wstring& szPath)
    {
        // The shell's block: a DROPFILES header, the wide path and two terminators; DragFinish frees it.
        const size_t nBytes = sizeof(DROPFILES) + (szPath.size() + 2) * sizeof(wchar_t);
        HGLOBAL hBlock = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, nBytes);
        auto* pDrop = static_cast<DROPFILES*>(::GlobalLock(hBlock));
        pDrop->pFiles = sizeof(DROPFILES);
        pDrop->fWide = TRUE;
        memcpy(reinterpret_cast<char*>(pDrop) + sizeof(DROPFILES), szPath.data(),
               szPath.size() * sizeof(wchar_t));
        ::GlobalUnlock(hBlock);
        room.mainView.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(hBlock), 0);
    };
    auto acceptsFiles = [&]
    { return (::GetWindowLongPtrW(room.mainView.m_hWnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; };
    EXPECT_FALSE(acceptsFiles());
    drop(L"C:\\r\\talk.qn");
    EXPECT_TRUE(drops.empty());

    S_ROOMVIEWSTATE state = room.mainView.ViewState();
    state.bPlayer = true;
    room.mainView.SetViewState(state);
    EXPECT_TRUE(acceptsFiles());
    const std::wstring szLong = L"C:\\" + std::wstring(300, L'a') + L".qn";
    for (const wchar_t* pszPath : {L"C:\\r\\talk.QN", L"C:\\r\\notes.txt"})
        drop(pszPath);
    drop(szLong);
    ASSERT_EQ(3u, drops.size());
    EXPECT_EQ(std::pair(DROP_PLAY, std::wstring(L"C:\\r\\talk.QN")), drops[0]);
    EXPECT_EQ(std::pair(DROP_UNSUPPORTED, std::wstring(L"C:\\r\\notes.txt")), drops[1]);
    // A long path is read whole and refused, never cut to another recording's name.
    EXPECT_EQ(std::pair(DROP_UNSUPPORTED, szLong), drops[2]);
    state.bPlayer = false;
    room.mainView.SetViewState(state);
    EXPECT_FALSE(acceptsFiles());
}

// The skinned bar puts each control where the placement says, at several widths and in playback,
// and paints its pictures: a wide, a narrow and a playback picture for a person to look at.
TEST(RoomWindows, SkinnedBarFollowsItsPlacementAtEachWidth)
{
    Room room;
    room.host.conditions.nMediaShareKind = 3;
    room.host.conditions.bQuestionnaire = true;
    room.host.conditions.bControlRight = true;
    room.mainView.ShowWindow(SW_SHOW);
    const struct
    {
        int cx;
        bool bPlayback;
        const wchar_t* pszPicture; // null: no picture (wider than the display)
    } widths[] = {{430, false, nullptr},
                  {800, false, L"narrow"},
                  {1240, false, L"wide"},
                  {1920, false, nullptr},
                  {1024, true, L"playback"}};
    for (const auto& w : widths)
    {
        room.host.conditions.bPlayback = w.bPlayback;
        room.mainView.MoveWindow(0, 0, std::min(w.cx + 16, 1280), 300);
        room.ctrl.MoveWindow(0, 0, w.cx, 60);
        std::map<int, S_BARPLACE> places = PlaceBar(room.ctrl.PlacementInput(w.cx));
        for (const auto& [nId, place] : places)
        {
            HWND hControl = room.ctrl.GetDlgItem(nId);
            ASSERT_NE(hControl, nullptr) << nId;
            RECT rc = WindowRect(hControl);
            ::MapWindowPoints(nullptr, room.ctrl.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
            // A control left out keeps its place and size; a shown one has its picture's size.
            if (!place.bShown)
            {
                EXPECT_FALSE(HasVisibleStyle(hControl)) << nId << " at " << w.cx;
                continue;
            }
            EXPECT_EQ(rc.left, place.rc.x) << nId << " at " << w.cx;
            EXPECT_EQ(rc.top, place.rc.y) << nId << " at " << w.cx;
            if (nId != IDC_ROOMCTRL_TIME) EXPECT_GT(rc.right - rc.left, 0) << nId << " at " << w.cx;
            // Maximise and restore take turns by the room's state; the time shares its span.
            if (nId == IDC_ROOMCTRL_RESTORE || nId == IDC_ROOMCTRL_TIME) continue;
            if (nId != IDC_ROOMCTRL_WEBADDRESS) EXPECT_EQ(rc.right - rc.left, place.rc.cx) << nId;
            EXPECT_TRUE(HasVisibleStyle(hControl)) << nId << " at " << w.cx;
        }
        EXPECT_FALSE(HasVisibleStyle(room.ctrl.GetDlgItem(IDC_ROOMCTRL_RESTORE)));
        // The right group gives way before it reaches the view-mode row.
        bool bNarrow = w.cx == 430;
        EXPECT_EQ(HasVisibleStyle(room.ctrl.GetDlgItem(IDC_ROOMCTRL_DOCOPEN)), !bNarrow && !w.bPlayback)
            << w.cx;
        EXPECT_EQ(HasVisibleStyle(room.ctrl.GetDlgItem(IDC_ROOMCTRL_NETWORK)), !w.bPlayback) << w.cx;
        if (w.pszPicture)
            EXPECT_TRUE(SaveWindowPicture(room.ctrl.m_hWnd, std::wstring(QUILLON_PICTURE_DIR) +
                                                                L"/room_view_bar_" + w.pszPicture + L".bmp"));
    }
}

// The pen colour comes from the palette by the user's number and follows a colour picker's choice.
TEST(RoomWindows, SkinnedBarPenColourFromThePaletteAndThePicker)
{
    Room room;
    EXPECT_EQ(room.ctrl.PenColour(), PenColourOfUser(room.host.Notices().MyUserIndex()));
    EXPECT_EQ(room.ctrl.HighlighterColour(), room.ctrl.PenColour());
    room.ctrl.SendMessage(CRoomCtrlDlg::WM_PEN_COLOUR, 0x000000FF, 0);
    ASSERT_EQ(room.host.boardActions.size(), 1u);
    EXPECT_EQ(room.host.boardActions[0].dwLineColour, 0x000000FFu);
    EXPECT_EQ(room.ctrl.PenColour(), 0x000000FFu);
    // With the highlighter chosen, the choice is the highlighter's.
    room.ctrl.SendMessage(WM_COMMAND, CBoardTools::kHighlighter, 0);
    room.ctrl.SendMessage(CRoomCtrlDlg::WM_PEN_COLOUR, 0x0000FF00, 0);
    EXPECT_EQ(room.ctrl.HighlighterColour(), 0x0000FF00u);
    EXPECT_EQ(room.ctrl.PenColour(), 0x000000FFu);
}

// Draw's pen colour opens the colour grid: a cell, the default line or Escape; a choice reaches the
// board as the pen colour message.
TEST(RoomWindows, PenColourGridChoosesThroughTheColourMessage)
{
    Room room;
    room.mainView.ShowWindow(SW_SHOW);
    CRoomCtrlDlg& ctrl = room.ctrl;
    const struct
    {
        const char* what;
        int nItem; // a cell, or the default line; -1: Escape
        uint32_t dwExpected;
    } cases[] = {{"the sixth cell", 5, PenColourOfUser(5)},
                 {"the default line", CColourPopup::kDefaultItem, ctrl.PenColour()},
                 {"escape", -1, 0}};
    for (const auto& c : cases)
    {
        room.host.boardActions.clear();
        ctrl.SendMessage(WM_COMMAND, MENU_ID_PEN_COLOUR, 0);
        CColourPopup* pPopup = ctrl.ColourPopup();
        ASSERT_NE(pPopup, nullptr) << c.what;
        // No messages are pumped while it is open: another program's window taking the focus would
        // close it, as it should.
        if (c.nItem == 5)
            EXPECT_TRUE(SaveWindowPicture(
                pPopup->m_hWnd, std::wstring(QUILLON_PICTURE_DIR) + L"/room_view_bar_colours.bmp", false));
        if (c.nItem == -1)
            pPopup->SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        else
        {
            RECT rc = pPopup->ItemRect(c.nItem);
            LPARAM lPoint = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
            pPopup->SendMessage(WM_MOUSEMOVE, 0, lPoint);
            EXPECT_EQ(pPopup->HotItem(), c.nItem) << c.what;
            pPopup->SendMessage(WM_LBUTTONUP, 0, lPoint);
        }
        PumpMessages(50);
        EXPECT_EQ(ctrl.ColourPopup(), nullptr) << c.what;
        if (c.nItem == -1)
        {
            EXPECT_TRUE(room.host.boardActions.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(room.host.boardActions.size(), 1u) << c.what;
        EXPECT_EQ(room.host.boardActions[0].dwLineColour, c.dwExpected) << c.what;
        EXPECT_EQ(ctrl.PenColour(), c.dwExpected) << c.what;
    }
}

namespace
{
// A key as the message loop offers it to the room windows; true when a window took it.
bool OfferKey(HWND hTarget, UINT nKey)
{
    MSG msg{hTarget, WM_KEYDOWN, nKey, 0, 0, {}};
    return AfxPreTranslateMessage(&msg) != FALSE;
}

int ComboCount(HWND hCombo)
{
    return static_cast<int>(::SendMessageW(hCombo, CB_GETCOUNT, 0, 0));
}

std::wstring ComboItem(HWND hCombo, int nIndex)
{
    wchar_t szText[256] = {};
    ::SendMessageW(hCombo, CB_GETLBTEXT, nIndex, reinterpret_cast<LPARAM>(szText));
    return szText;
}
} // namespace

// The web field: the web button opens a page, Return loads what is typed, the list keeps the last
// thirty addresses and loads a chosen one; web draw and the web button take the board off the page.
TEST(RoomWindows, WebFieldLoadsOnReturnAndKeepsThirtyAddresses)
{
    Room room;
    room.host.conditions.bControlRight = true;
    room.mainView.MoveWindow(0, 0, 1296, 400);
    room.mainView.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(room.mainView.m_hWnd);
    room.ctrl.MoveWindow(0, 0, 1280, 60);
    S_BARSTATE bar;
    bar.wViewMode = 1;
    bar.bControlRight = true;
    room.ctrl.SetBarState(bar);
    HWND hField = room.ctrl.GetDlgItem(IDC_ROOMCTRL_WEBADDRESS);
    HWND hWeb = room.ctrl.GetDlgItem(IDC_ROOMCTRL_WEB);
    HWND hEdit = ::FindWindowExW(hField, nullptr, L"Edit", nullptr);
    ASSERT_NE(hEdit, nullptr);
    EXPECT_FALSE(HasVisibleStyle(hField));

    // The web button with an empty field: a blank page; the field shows, focused.
    Click(room.ctrl, IDC_ROOMCTRL_WEB);
    EXPECT_EQ(room.host.webLoads, (std::vector<std::wstring>{L"about:blank"}));
    EXPECT_TRUE(HasVisibleStyle(hField));
    EXPECT_EQ(::SendMessageW(hWeb, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::GetFocus(), hEdit);

    // Return in the field loads what was typed; it heads the list, selected.
    ::SetFocus(hEdit);
    ::SetWindowTextW(hField, L"http://pages.test/first");
    EXPECT_TRUE(OfferKey(hEdit, VK_RETURN));
    EXPECT_EQ(room.host.webLoads.back(), L"http://pages.test/first");
    EXPECT_EQ(ComboCount(hField), 2);
    EXPECT_EQ(::SendMessageW(hField, CB_GETCURSEL, 0, 0), 0);
    // An address already listed, in other letters, is selected where it stands.
    ::SetWindowTextW(hField, L"ABOUT:BLANK");
    EXPECT_TRUE(OfferKey(hEdit, VK_RETURN));
    EXPECT_EQ(ComboCount(hField), 2);
    EXPECT_EQ(::SendMessageW(hField, CB_GETCURSEL, 0, 0), 1);
    // Thirty more: the oldest ones go, thirty stay.
    for (int i = 0; i < 30; ++i)
    {
        ::SetWindowTextW(hField, (L"http://pages.test/" + std::to_wstring(i)).c_str());
        EXPECT_TRUE(OfferKey(hEdit, VK_RETURN));
    }
    EXPECT_EQ(ComboCount(hField), 30);
    EXPECT_EQ(ComboItem(hField, 0), L"http://pages.test/29");
    EXPECT_EQ(ComboItem(hField, 29), L"http://pages.test/0");
    EXPECT_EQ(room.host.webLoads.size(), 33u);
    // A choice from the list loads that address.
    ::SendMessageW(hField, CB_SETCURSEL, 5, 0);
    room.ctrl.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ROOMCTRL_WEBADDRESS, CBN_SELENDOK),
                          reinterpret_cast<LPARAM>(hField));
    EXPECT_EQ(room.host.webLoads.back(), L"http://pages.test/24");
    EXPECT_EQ(::SendMessageW(hField, CB_GETCURSEL, 0, 0), 5);

    // Web draw does nothing on a blank page; on a real one the page becomes a board page.
    ::SetWindowTextW(hField, L"About:Blank");
    Click(room.ctrl, IDC_ROOMCTRL_WEBDRAW);
    EXPECT_EQ(room.host.nWebDraws, 0);
    ::SetWindowTextW(hField, L"http://pages.test/24");
    Click(room.ctrl, IDC_ROOMCTRL_WEBDRAW);
    EXPECT_EQ(room.host.nWebDraws, 1);
    EXPECT_FALSE(HasVisibleStyle(hField));
    EXPECT_EQ(::SendMessageW(hWeb, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Back on a web page, the web button leaves it for the agenda's page.
    Click(room.ctrl, IDC_ROOMCTRL_WEB);
    EXPECT_TRUE(HasVisibleStyle(hField));
    Click(room.ctrl, IDC_ROOMCTRL_WEB);
    EXPECT_EQ(room.host.nWebLeaves, 1);
    EXPECT_FALSE(HasVisibleStyle(hField));
    // With the focus outside the field Return is no load.
    const size_t nLoads = room.host.webLoads.size();
    ::SetFocus(hWeb);
    OfferKey(hWeb, VK_RETURN);
    EXPECT_EQ(room.host.webLoads.size(), nLoads);
}

// The bar's menu row is the room window's caption: a press and a drag move the window, a double
// click maximises it and another restores it.
TEST(RoomWindows, TheBarsMenuRowMovesAndMaximisesTheRoom)
{
    Room room;
    room.mainView.MoveWindow(100, 80, 900, 600);
    room.mainView.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(room.mainView.m_hWnd);
    PumpMessages(100);
    // A point of the bar's own background on the menu row: between the time and the network state.
    RECT rcNetwork = WindowRect(room.ctrl.GetDlgItem(IDC_ROOMCTRL_NETWORK));
    POINT pt{rcNetwork.left - 6, rcNetwork.top + 4};
    POINT ptBar = pt;
    ::ScreenToClient(room.ctrl.m_hWnd, &ptBar);
    ASSERT_EQ(::ChildWindowFromPointEx(room.ctrl.m_hWnd, ptBar, CWP_SKIPINVISIBLE), room.ctrl.m_hWnd);
    ASSERT_GE(ptBar.y, 1);

    const RECT rcBefore = WindowRect(room.mainView.m_hWnd);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pt.x, pt.y);
    PumpMessages(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pt.x + 30, pt.y + 20);
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pt.x + 60, pt.y + 40);
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return WindowRect(room.mainView.m_hWnd).left != rcBefore.left; }));
    PumpMessages(100);
    RECT rcAfter = WindowRect(room.mainView.m_hWnd);
    EXPECT_NEAR(rcAfter.left - rcBefore.left, 60, 1);
    EXPECT_NEAR(rcAfter.top - rcBefore.top, 40, 1);
    EXPECT_EQ(rcAfter.right - rcAfter.left, rcBefore.right - rcBefore.left);
    EXPECT_FALSE(room.ctrl.IsRoomMaximized());

    // A double click on the same band maximises; another restores.
    POINT ptNow{pt.x + (rcAfter.left - rcBefore.left), pt.y + (rcAfter.top - rcBefore.top)};
    for (bool bMaximised : {true, false})
    {
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, ptNow.x, ptNow.y);
        for (int i = 0; i < 2; ++i)
        {
            SendMouse(MOUSEEVENTF_LEFTDOWN);
            SendMouse(MOUSEEVENTF_LEFTUP);
        }
        EXPECT_TRUE(PumpUntil([&] { return room.ctrl.IsRoomMaximized() == bMaximised; })) << bMaximised;
        PumpMessages(100);
        // The maximised bar's band is where the screen's top is now.
        rcNetwork = WindowRect(room.ctrl.GetDlgItem(IDC_ROOMCTRL_NETWORK));
        ptNow = {rcNetwork.left - 6, rcNetwork.top + 4};
    }
    ParkCursor();
}

namespace
{
// The pop-up the next right click drops: its items, and the one chosen by the keyboard (0 none).
std::vector<int> g_popupIds;
int g_nPickItem = 0;

void CALLBACK PickPopupItem(HWND, UINT, UINT_PTR nTimer, DWORD)
{
    HWND hMenuWnd = OpenMenuWindow();
    if (!hMenuWnd) return;
    ::KillTimer(nullptr, nTimer);
    auto hMenu = reinterpret_cast<HMENU>(::SendMessageW(hMenuWnd, MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i)
        g_popupIds.push_back(static_cast<int>(::GetMenuItemID(hMenu, i)));
    if (g_nPickItem == 0)
    {
        ::EndMenu();
        return;
    }
    for (int i = 0; i < g_nPickItem; ++i)
        ::PostMessageW(hMenuWnd, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(hMenuWnd, WM_KEYDOWN, VK_RETURN, 0);
}

// Releases the right button on a window as the message loop offers it; the pop-up it drops, if
// any, picks item nPick (1-based; 0 ends it).
std::vector<int> RightClick(HWND hTarget, int nPick)
{
    g_popupIds.clear();
    g_nPickItem = nPick;
    UINT_PTR nTimer = ::SetTimer(nullptr, 0, 50, &PickPopupItem);
    MSG msg{hTarget, WM_RBUTTONUP, 0, 0, 0, {}};
    AfxPreTranslateMessage(&msg);
    ::KillTimer(nullptr, nTimer);
    PumpMessages(0);
    return g_popupIds;
}
} // namespace

// The chief's right click on full screen, maximise or restore: for everyone, or this window only.
TEST(RoomWindows, WindowButtonsForEveryoneOrThisWindowOnly)
{
    Room room;
    room.mainView.MoveWindow(0, 0, 1000, 700);
    room.mainView.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(room.mainView.m_hWnd);
    ParkCursor();
    room.host.conditions.bControlRight = true;
    const std::vector<int> popup{MENU_ID_FOR_EVERYONE, MENU_ID_FOR_ME};
    HWND hMaximize = room.ctrl.GetDlgItem(IDC_ROOMCTRL_MAXIMIZE);
    HWND hRestore = room.ctrl.GetDlgItem(IDC_ROOMCTRL_RESTORE);
    HWND hFullScreen = room.ctrl.GetDlgItem(IDC_ROOMCTRL_FULLSCREEN);

    // No choice: nothing happens.
    EXPECT_EQ(RightClick(hMaximize, 0), popup);
    EXPECT_FALSE(room.ctrl.IsRoomMaximized());
    // For everyone: this window and the room's (538).
    EXPECT_EQ(RightClick(hMaximize, 1), popup);
    EXPECT_TRUE(room.ctrl.IsRoomMaximized());
    EXPECT_EQ(room.host.maximizes, (std::vector<bool>{true}));
    // This window only: the room hears nothing.
    EXPECT_EQ(RightClick(hRestore, 2), popup);
    EXPECT_FALSE(room.ctrl.IsRoomMaximized());
    EXPECT_EQ(room.host.maximizes, (std::vector<bool>{true}));
    EXPECT_EQ(RightClick(hFullScreen, 2), popup);
    EXPECT_EQ(RightClick(hFullScreen, 1), popup);
    EXPECT_EQ(room.host.fullScreens, (std::vector<bool>{false, true}));
    // In full screen restore leaves it, for everyone too.
    S_BARSTATE bar;
    bar.bControlRight = true;
    bar.bFullScreen = true;
    room.ctrl.SetBarState(bar);
    EXPECT_EQ(RightClick(hRestore, 1), popup);
    EXPECT_EQ(room.host.fullScreens, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(room.host.maximizes, (std::vector<bool>{true}));

    // Without the control right, or in playback, there is no pop-up.
    room.host.conditions.bControlRight = false;
    EXPECT_TRUE(RightClick(hMaximize, 1).empty());
    room.host.conditions.bControlRight = true;
    room.host.conditions.bPlayback = true;
    EXPECT_TRUE(RightClick(hFullScreen, 1).empty());
    EXPECT_EQ(room.host.fullScreens.size(), 3u);
    EXPECT_EQ(room.host.maximizes.size(), 1u);
    // A right click elsewhere on the bar drops nothing.
    room.host.conditions.bPlayback = false;
    EXPECT_TRUE(RightClick(room.ctrl.GetDlgItem(IDC_ROOMCTRL_LEAVE), 1).empty());
}

// The side-panel host's button: the chief's right click shows or hides the panels for everyone
// (the room's properties go out) or for this window only.
TEST(RoomWindows, SidePanelHostRightClickForEveryoneOrThisWindow)
{
    Room room;
    room.mainView.MoveWindow(0, 0, 1000, 700);
    room.mainView.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(room.mainView.m_hWnd);
    ParkCursor();
    HWND hButton = room.manageTool.GetDlgItem(IDC_MANAGETOOL_POPUP);
    room.host.conditions.bControlRight = true;
    const std::vector<int> popup{MENU_ID_FOR_EVERYONE, MENU_ID_FOR_ME};
    EXPECT_EQ(RightClick(hButton, 1), popup);
    EXPECT_EQ(RightClick(hButton, 2), popup);
    EXPECT_EQ(RightClick(hButton, 0), popup);
    EXPECT_EQ(room.host.panelToggles, (std::vector<bool>{true, false}));
    room.host.conditions.bControlRight = false;
    EXPECT_TRUE(RightClick(hButton, 1).empty());
    EXPECT_EQ(room.host.panelToggles.size(), 2u);
}

namespace
{
// The room with alice (1) and bob (2) on the first two of four seats and carol (3) in the list
// only, the chief's drag allowed; the list's rows and the grid shown.
struct DragRoom : Room
{
    HWND hList = nullptr;
    DragRoom()
    {
        mainView.MoveWindow(0, 0, 1000, 700);
        mainView.ShowWindow(SW_SHOW);
        host.rows.Add(1, u"alice", 1, 1);
        host.rows.Add(2, u"bob", 1, 0);
        host.rows.Add(3, u"carol", 1, 0);
        host.rows.wChief = 1;
        host.dragRoom.room.bControlRight = true;
        host.dragRoom.room.wRoomType = 4;
        host.dragRoom.room.nUsers = 3;
        host.dragRoom.room.wSeatCount = 4;
        userList.Rows()->Sync({1, 2, 3}, 1, 65535);
        videoView.SetViewCount(4);
        videoView.ShowUsers({{1, L"alice"}, {2, L"bob"}});
        // The grid in view, above the main view's other children, clear of the side panels.
        videoView.SetWindowPos(HWND_TOP, 300, 100, 400, 400, SWP_SHOWWINDOW);
        hList = userList.GetDlgItem(IDC_ROOMUSER_LIST);
        PumpMessages(50);
    }
    // The centre of a list cell, in the list's client coordinates.
    POINT CellCentre(int nRow, int nColumn) const
    {
        RECT cell{LVIR_BOUNDS, nColumn, 0, 0};
        ::SendMessageW(hList, LVM_GETSUBITEMRECT, nRow, reinterpret_cast<LPARAM>(&cell));
        return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    }
    void SelectRow(int nRow)
    {
        ::SendMessageW(hList, LVM_SETSELECTIONMARK, 0, nRow);
        LVITEMW state{};
        state.stateMask = state.state = LVIS_SELECTED;
        ::SendMessageW(hList, LVM_SETITEMSTATE, nRow, reinterpret_cast<LPARAM>(&state));
    }
    // A mouse message as the main loop hands it to the window tree.
    BOOL Offer(HWND hWnd, UINT msg, POINT ptClient)
    {
        MSG m{hWnd,
              msg,
              msg == WM_LBUTTONUP ? 0u : static_cast<WPARAM>(MK_LBUTTON),
              MAKELPARAM(ptClient.x, ptClient.y),
              0,
              {}};
        return AfxPreTranslateMessage(&m);
    }
    BOOL OfferToView(int nView, UINT msg)
    {
        RECT rc{};
        ::GetClientRect(videoView.ViewWindow(nView), &rc);
        return Offer(videoView.ViewWindow(nView), msg, {rc.right / 2, rc.bottom / 2});
    }
};
using Moves = std::vector<std::pair<uint16_t, uint16_t>>;
} // namespace

TEST(RoomWindows, AUserDraggedFromTheListTakesTheSeatItIsDroppedOn)
{
    DragRoom room;
    auto& moves = room.host.dragRoom.moves;
    const int nCarol = 2;
    // carol's name onto alice's seat: the two trade channels, the lower first; the cursor shows it.
    room.SelectRow(nCarol);
    room.Offer(room.hList, WM_LBUTTONDOWN, room.CellCentre(nCarol, 4));
    EXPECT_TRUE(room.host.seatDrag.IsDragging());
    room.OfferToView(0, WM_MOUSEMOVE);
    EXPECT_EQ(::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_CURSOR_DRAGUSER)), ::GetCursor());
    room.OfferToView(0, WM_LBUTTONUP);
    EXPECT_EQ(moves, (Moves{{1, 3}}));
    EXPECT_FALSE(room.host.seatDrag.IsDragging());

    // Onto an empty seat: the first free seat channel (0).
    room.Offer(room.hList, WM_LBUTTONDOWN, room.CellCentre(nCarol, 4));
    room.OfferToView(3, WM_LBUTTONUP);
    EXPECT_EQ(moves.back(), std::make_pair(uint16_t(0), uint16_t(3)));

    // A press on the board cell toggles a right, it starts no drag; a click on the row ends a
    // press that never left the list; a release after either moves nobody.
    moves.clear();
    room.Offer(room.hList, WM_LBUTTONDOWN, room.CellCentre(nCarol, 1));
    EXPECT_FALSE(room.host.seatDrag.IsDragging());
    room.OfferToView(0, WM_LBUTTONUP);
    room.Offer(room.hList, WM_LBUTTONDOWN, room.CellCentre(nCarol, 4));
    NMITEMACTIVATE click{};
    click.hdr = {room.hList, IDC_ROOMUSER_LIST, static_cast<UINT>(NM_CLICK)};
    ::SendMessageW(room.userList.m_hWnd, WM_NOTIFY, IDC_ROOMUSER_LIST, reinterpret_cast<LPARAM>(&click));
    room.OfferToView(0, WM_LBUTTONUP);
    EXPECT_TRUE(moves.empty());

    // bob's seat dropped on the list: he leaves the seats for the first free channel above them.
    room.OfferToView(1, WM_LBUTTONDOWN);
    room.Offer(room.hList, WM_LBUTTONUP, room.CellCentre(0, 4));
    EXPECT_EQ(moves, (Moves{{2, 4}}));

    // A drag released elsewhere is over at the next press: a click on a seat moves nobody.
    room.Offer(room.hList, WM_LBUTTONDOWN, room.CellCentre(nCarol, 4));
    room.OfferToView(1, WM_LBUTTONDOWN);
    room.OfferToView(1, WM_LBUTTONUP);
    EXPECT_EQ(moves.size(), 1u);

    // Without the control right nothing starts.
    room.host.dragRoom.room.bControlRight = false;
    room.Offer(room.hList, WM_LBUTTONDOWN, room.CellCentre(nCarol, 4));
    room.OfferToView(0, WM_LBUTTONUP);
    EXPECT_EQ(moves.size(), 1u);
}

TEST(RoomWindows, AUserDraggedWithTheMouseFromTheListOntoASeat)
{
    DragRoom room;
    const int nCarol = 2;
    POINT from = room.CellCentre(nCarol, 4);
    ::ClientToScreen(room.hList, &from);
    RECT seat = WindowRect(room.videoView.ViewWindow(0));
    const POINT to{(seat.left + seat.right) / 2, (seat.top + seat.bottom) / 2};
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, from.x, from.y);
    PumpMessages(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    PumpMessages(50);
    // The list sees the drag leave its row in steps, as a hand would move.
    for (int i = 1; i <= 10; ++i)
    {
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, from.x + (to.x - from.x) * i / 10,
                  from.y + (to.y - from.y) * i / 10);
        PumpMessages(20);
    }
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(PumpUntil([&] { return !room.host.dragRoom.moves.empty(); }));
    EXPECT_EQ(room.host.dragRoom.moves, (Moves{{1, 3}}));
    EXPECT_FALSE(room.host.seatDrag.IsDragging());
}
