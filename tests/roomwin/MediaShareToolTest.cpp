// The media-share view and its tool bar under Wine: the controls where the layout puts them at
// 400, 800 and 1600 pixels, play or pause, mute and texts as the room's record says, the
// receiver's controls inert, notices from the room, dropped files with and without a sender;
// and the question view's browser over its whole area.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ResourceIds.h"
#include "confclient/media/MediaShareFeature.h"
#include "confclient/room/QuestionDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/room/RoomMediaShareViewDlg.h"
#include "tests/roomwin/FakeMediaShareHost.h"
#include "tests/winui/ScreenPicture.h"
#include "tests/winui/TestResources.h"

namespace
{
RECT ChildRect(HWND hParent, HWND hChild)
{
    RECT rc{};
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

SShareRect AsShareRect(const RECT& rc)
{
    return {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
}

SIZE SizeOf(HWND h)
{
    RECT rc{};
    ::GetWindowRect(h, &rc);
    return {rc.right - rc.left, rc.bottom - rc.top};
}

std::wstring TextOf(HWND h)
{
    wchar_t buf[300] = {};
    ::GetWindowTextW(h, buf, 299);
    return buf;
}

class MediaShareToolTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LoadTestResources();
        ASSERT_TRUE(mainView.Create(nullptr));
        mainView.MoveWindow(0, 0, 1640, 400);
        mainView.ShowWindow(SW_SHOWNA);
        ASSERT_TRUE(view.Create(&mainView));
        ASSERT_TRUE(view.CreateChildren());
        bar = view.ToolBar();
        ASSERT_NE(bar, nullptr);
    }
    void TearDown() override { mainView.DestroyWindow(); }

    // Carol's file as her 565 and 567 leave it in the room's record, then notices 9 and 8.
    void Receive(uint32_t nPlay, uint32_t nPosition, bool bMuted, uint32_t nVolume)
    {
        host.record.wSharer = 50;
        host.record.wLength = 7200;
        host.record.szPath = u"MOVIE.MP4";
        host.record.SetPlay(nPlay);
        host.record.SetPosition(nPosition);
        host.record.SetMuted(bMuted);
        host.record.SetVolume(nVolume);
        bar->OnNotice(SHARENOTICE_FILEINFO, 0);
        bar->OnNotice(SHARENOTICE_STATE, 1);
    }
    HWND Item(int nId) const { return ::GetDlgItem(bar->m_hWnd, nId); }

    CFakeMediaShareHost host;
    CRoomMainViewDlg mainView;
    CRoomMediaShareViewDlg view{&host};
    CMediaShareToolDlg* bar = nullptr;
};
} // namespace

TEST_F(MediaShareToolTest, ControlsFollowTheLayoutAtEachWidthAndState)
{
    struct
    {
        const char* pszName;
        uint32_t nPlay;
        bool bMuted;
    } states[] = {{"stopped", MEDIASHARE_STOPPED, false},
                  {"playing", MEDIASHARE_PLAYING, false},
                  {"paused", MEDIASHARE_PAUSED, false},
                  {"muted", MEDIASHARE_PLAYING, true}};
    for (int cx : {400, 800, 1600})
    {
        view.MoveWindow(0, 0, cx, 300);
        for (const auto& st : states)
        {
            SCOPED_TRACE(std::string(st.pszName) + " at " + std::to_string(cx));
            Receive(st.nPlay, 3725, st.bMuted, 80);
            RECT rc{};
            ::GetClientRect(bar->m_hWnd, &rc);
            ASSERT_EQ(cx, rc.right);
            EXPECT_EQ(bar->BarHeight(), rc.bottom);

            SShareToolSizes s;
            s.nOpenCx = SizeOf(Item(IDC_MEDIASHARE_OPEN)).cx;
            s.nOpenCy = SizeOf(Item(IDC_MEDIASHARE_OPEN)).cy;
            s.nPlayCx = SizeOf(Item(IDC_MEDIASHARE_PLAY)).cx;
            s.nPauseCx = SizeOf(Item(IDC_MEDIASHARE_PAUSE)).cx;
            s.nButtonCy = SizeOf(Item(IDC_MEDIASHARE_PAUSE)).cy;
            s.nStopCx = SizeOf(Item(IDC_MEDIASHARE_STOP)).cx;
            s.nMuteCx = SizeOf(Item(IDC_MEDIASHARE_MUTE)).cx;
            s.nMuteCy = SizeOf(Item(IDC_MEDIASHARE_MUTE)).cy;
            s.nVolumeCx = SizeOf(Item(IDC_MEDIASHARE_VOLUME)).cx;
            s.nVolumeCy = SizeOf(Item(IDC_MEDIASHARE_VOLUME)).cy;
            s.nSeekCy = SizeOf(Item(IDC_MEDIASHARE_SEEK)).cy;
            EXPECT_EQ(30, s.nOpenCx) << "the buttons take their bitmaps' size";
            EXPECT_EQ(60, s.nVolumeCx) << "the volume slider takes its channel's size";
            SShareToolLayout l = LayoutShareTool(cx, s);
            const std::pair<int, SShareRect> places[] = {
                {IDC_MEDIASHARE_OPEN, l.open},   {IDC_MEDIASHARE_PLAY, l.play},
                {IDC_MEDIASHARE_PAUSE, l.pause}, {IDC_MEDIASHARE_STOP, l.stop},
                {IDC_MEDIASHARE_TIME, l.time},   {IDC_MEDIASHARE_NAME, l.name},
                {IDC_MEDIASHARE_MUTE, l.mute},   {IDC_MEDIASHARE_VOLUME, l.volume},
                {IDC_MEDIASHARE_SEEK, l.seek}};
            for (const auto& [nId, want] : places)
                EXPECT_EQ(want, AsShareRect(ChildRect(bar->m_hWnd, Item(nId)))) << "control " << nId;

            bool bPlaying = st.nPlay == MEDIASHARE_PLAYING;
            EXPECT_EQ(bPlaying, ::IsWindowVisible(Item(IDC_MEDIASHARE_PAUSE)) != FALSE);
            EXPECT_EQ(!bPlaying, ::IsWindowVisible(Item(IDC_MEDIASHARE_PLAY)) != FALSE);
            EXPECT_EQ(st.bMuted, bar->Muted());
            EXPECT_EQ(80, bar->VolumePosition());
            EXPECT_EQ(L"MOVIE.MP4", TextOf(Item(IDC_MEDIASHARE_NAME)));
            // A stop clears the position; otherwise the time shows where the sharer is.
            EXPECT_EQ(st.nPlay == MEDIASHARE_STOPPED ? L"00:00:00 / 02:00:00" : L"01:02:05 / 02:00:00",
                      TextOf(Item(IDC_MEDIASHARE_TIME)));
            EXPECT_EQ(7200, bar->SeekMax());
            // A receiver's controls do not act.
            EXPECT_FALSE(bar->ControlsEnabled());
            EXPECT_FALSE(::IsWindowEnabled(Item(IDC_MEDIASHARE_OPEN))) << "no sender: open is greyed";
            if (cx == 800)
            {
                ::RedrawWindow(view.m_hWnd, nullptr, nullptr,
                               RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                PumpMessages(50);
                SaveWindowPicture(bar->m_hWnd, QUILLON_SCREENSHOT_DIR,
                                  (std::string("mediashare_toolbar_") + st.pszName).c_str());
            }
        }
    }
    ::RedrawWindow(view.m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(50);
    SaveWindowPicture(view.m_hWnd, QUILLON_SCREENSHOT_DIR, "mediashare_view_receiving");
}

TEST_F(MediaShareToolTest, NoticesMoveTheTimeAndASharerLeavingResetsTheBar)
{
    view.MoveWindow(0, 0, 800, 300);
    Receive(MEDIASHARE_PLAYING, 3725, false, 50);
    // A seek from the sharer: the changed bit hands over the position and resets the voice.
    host.record.SetPosition(10);
    host.record.SetChanged(true);
    bar->OnNotice(SHARENOTICE_STATE, 0);
    EXPECT_EQ(L"00:00:10 / 02:00:00", TextOf(Item(IDC_MEDIASHARE_TIME)));
    EXPECT_EQ(10, bar->SeekPosition());
    EXPECT_EQ(1, std::count(host.calls.begin(), host.calls.end(), L"voice reset"));
    EXPECT_FALSE(host.record.Changed());

    // The sharer left: the room's record was reset, notice 0 empties the bar.
    host.record.Reset();
    bar->OnNotice(SHARENOTICE_RESET, 0);
    EXPECT_EQ(L"", TextOf(Item(IDC_MEDIASHARE_NAME)));
    EXPECT_EQ(L"00:00:00 / 00:00:00", TextOf(Item(IDC_MEDIASHARE_TIME)));
    EXPECT_TRUE(::IsWindowVisible(Item(IDC_MEDIASHARE_PLAY)));
    ::RedrawWindow(view.m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(50);
    SaveWindowPicture(view.m_hWnd, QUILLON_SCREENSHOT_DIR, "mediashare_view_idle");
}

TEST_F(MediaShareToolTest, OpenResultsAndDropsWithoutASender)
{
    bar->OnNotice(SHARENOTICE_OPENRESULT, 1);
    bar->OnNotice(SHARENOTICE_OPENRESULT, 0);
    view.OnFileDropped(L"C:\\films\\MOVIE.MP4");
    ASSERT_EQ(3u, host.calls.size());
    EXPECT_EQ(L"modeless box " + host.notices.NoticeText("IDS_ERROR_NOSUPPORTFILE"), host.calls[0])
        << "low 1, high 0: only the unsupported text";
    EXPECT_EQ(L"modeless box " + host.notices.NoticeText("IDS_ERROR_LOADFAILED"), host.calls[1]);
    EXPECT_EQ(L"box " + host.notices.NoticeText("IDMS_MEDIASHARE_NOSENDER"), host.calls[2]);
    EXPECT_FALSE(host.notices.NoticeText("IDMS_MEDIASHARE_NOSENDER").empty());
}

namespace
{
// A stand-in for the movie-sharing sender: keeps every command it gets (an open's path too).
std::vector<std::wstring> g_senderCommands;

LRESULT CALLBACK SenderProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != kMsgMediaShare) return DefWindowProcW(h, msg, wParam, lParam);
    std::wstring line = std::to_wstring(wParam) + L" ";
    line += wParam == SHARECMD_OPEN ? std::wstring(reinterpret_cast<const wchar_t*>(lParam))
                                    : std::to_wstring(static_cast<unsigned long>(lParam));
    g_senderCommands.push_back(line);
    return 1;
}

HWND MakeSender()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &SenderProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuillonTestShareSender";
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                             nullptr);
}
} // namespace

TEST(MediaShareToolDrops, AcceptedFilesGoToTheSenderAndOthersAreRefused)
{
    LoadTestResources();
    g_senderCommands.clear();
    CFakeMediaShareHost host;
    host.hSender = MakeSender();
    ASSERT_NE(nullptr, host.hSender);
    host.bRight = true;
    host.nMediaMode = 2; // sound only
    CRoomMainViewDlg mainView;
    ASSERT_TRUE(mainView.Create(nullptr));
    {
        CRoomMediaShareViewDlg view{&host};
        ASSERT_TRUE(view.Create(&mainView));
        ASSERT_TRUE(view.CreateChildren());
        EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(view.ToolBar()->m_hWnd, IDC_MEDIASHARE_OPEN)));

        view.OnFileDropped(L"C:\\films\\MOVIE.MP4"); // a movie while only sound is shared
        view.OnFileDropped(L"C:\\films\\README");
        view.OnFileDropped(L"C:\\music\\Song.MP3");
        PumpMessages(50);
        const std::wstring refused = L"box " + host.notices.NoticeText("IDMS_BOARD_UNSUPPORT");
        EXPECT_EQ((std::vector<std::wstring>{refused, refused}), host.calls);
        // No file yet: the volume goes first, then the path.
        EXPECT_EQ(
            (std::vector<std::wstring>{L"6 " + std::to_wstring(MAKELPARAM(50, 1)), L"3 C:\\music\\Song.MP3"}),
            g_senderCommands);

        // The local user shares a playing file: leaving the view stops it for the room.
        host.record.wSharer = host.wMyIndex;
        host.record.szPath = u"Song.MP3";
        host.record.SetPlay(MEDIASHARE_PLAYING);
        host.record.SetPosition(30);
        host.calls.clear();
        view.DestroyWindow();
        EXPECT_EQ((std::vector<std::wstring>{L"566 " + std::to_wstring(host.record.dwFlags)}), host.calls);
        EXPECT_EQ(MEDIASHARE_STOPPED, host.record.Play());
        EXPECT_EQ(0u, host.record.Position());
        EXPECT_FALSE(::IsWindow(host.hSender)) << "the view owns its sender";
    }
    mainView.DestroyWindow();
}

TEST(MediaShareToolDrops, TheSharersButtonsAndSlidersCommandTheSender)
{
    LoadTestResources();
    g_senderCommands.clear();
    CFakeMediaShareHost host;
    host.hSender = MakeSender();
    host.bRight = true;
    host.record.wSharer = host.wMyIndex;
    host.record.wLength = 600;
    host.record.szPath = u"clip.mp4";
    host.record.SetPlay(MEDIASHARE_PLAYING);
    CRoomMainViewDlg mainView;
    ASSERT_TRUE(mainView.Create(nullptr));
    {
        CRoomMediaShareViewDlg view{&host};
        ASSERT_TRUE(view.Create(&mainView));
        ASSERT_TRUE(view.CreateChildren());
        CMediaShareToolDlg* bar = view.ToolBar();
        ASSERT_TRUE(bar->ControlsEnabled());
        EXPECT_TRUE(bar->SeekEnabled()) << "the sharer seeks while playing";
        auto click = [&](int nId)
        { ::SendMessageW(bar->m_hWnd, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), 0); };
        click(IDC_MEDIASHARE_PAUSE);
        click(IDC_MEDIASHARE_PLAY);
        click(IDC_MEDIASHARE_MUTE);
        ::SendMessageW(bar->m_hWnd, CBitmapSlider::kMsgMoved, IDC_MEDIASHARE_VOLUME, 70);
        ::SendMessageW(bar->m_hWnd, CBitmapSlider::kMsgMoved, IDC_MEDIASHARE_SEEK, 300);
        click(IDC_MEDIASHARE_STOP);
        PumpMessages(50);
        EXPECT_EQ(
            (std::vector<std::wstring>{L"1 0", L"2 0", L"5 0", L"6 " + std::to_wstring(MAKELPARAM(70, 1)),
                                       L"4 " + std::to_wstring(MAKELPARAM(0, 300)), L"0 0"}),
            g_senderCommands);
        EXPECT_EQ(1, std::count(host.calls.begin(), host.calls.end(), L"voice reset"))
            << "a stop restarts the sound";
        EXPECT_EQ(0, bar->SeekPosition());

        // A receiver's buttons do nothing.
        g_senderCommands.clear();
        host.record.wSharer = 50;
        bar->UpdateControls();
        EXPECT_FALSE(bar->ControlsEnabled());
        click(IDC_MEDIASHARE_PLAY);
        click(IDC_MEDIASHARE_STOP);
        PumpMessages(50);
        EXPECT_TRUE(g_senderCommands.empty());
    }
    mainView.DestroyWindow();
}

TEST(QuestionView, TheBrowserShowsThePageOverTheWholeView)
{
    LoadTestResources();
    CRoomMainViewDlg mainView;
    ASSERT_TRUE(mainView.Create(nullptr));
    {
        CQuestionDlg question;
        ASSERT_TRUE(question.Create(&mainView));
        const std::wstring szPage = L"about:blank#confcode=ROOM2&auth=1";
        EXPECT_TRUE(question.Navigate(szPage));
        EXPECT_EQ(szPage, question.Address());
        question.MoveWindow(0, 0, 500, 300);
        HWND hWeb = ::GetDlgItem(question.m_hWnd, IDC_QUESTION_WEB);
        ASSERT_NE(nullptr, hWeb);
        RECT rc{};
        ::GetWindowRect(hWeb, &rc);
        EXPECT_EQ(500, rc.right - rc.left);
        EXPECT_EQ(300, rc.bottom - rc.top);
        question.DestroyWindow();
    }
    mainView.DestroyWindow();
}
