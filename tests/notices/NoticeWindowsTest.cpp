// The notice windows under Wine through a recording session: the notice box in its modes with
// short time-outs, the invitation notice, the share notice bar and the zoom dialog; each window
// is also saved as a picture for a look at it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ResourceIds.h"
#include "confclient/notices/InfoDlg2.h"
#include "confclient/notices/InputDlg.h"
#include "confclient/notices/InviteNoticeDlg.h"
#include "confclient/notices/NoticeDlg.h"
#include "tests/notices/ModalSteps.h"
#include "tests/notices/TestNoticeHost.h"
#include "tests/winui/ScreenPicture.h"
#include "tests/winui/TestResources.h"

namespace
{
// The session as the notices see it: Bob, user 4, with the owner window as the main dialog.
class RecordingHost : public CTestNoticeHost
{
public:
    explicit RecordingHost(HWND hMain) : CTestNoticeHost(hMain)
    {
        wMyIndex = 4;
        szMyName = L"Bob";
    }
};

struct RecordingZoomOwner : IZoomOwner
{
    std::vector<std::wstring> calls;
    int nStored = 100;
    int nBoard = 100;
    void CheckZoomItem(uint16_t wCommand, int nValue, bool bChecked, bool bApply) override
    {
        calls.push_back(std::to_wstring(wCommand) + L" " + std::to_wstring(nValue));
        if (bChecked && bApply && nValue != nStored) nStored = nBoard = nValue;
    }
    int StoredZoom() const override { return nStored; }
    int BoardZoomPercent() const override { return nBoard; }
    void OnZoomDialogClosed() override { calls.push_back(L"closed"); }
};

std::wstring TextOf(HWND h)
{
    wchar_t buf[512] = {};
    ::GetWindowTextW(h, buf, 511);
    return buf;
}

// The highest visible invitation notice of this thread: the rectangle in *l is raised to it.
BOOL CALLBACK RaiseToNotice(HWND h, LPARAM l)
{
    RECT r;
    auto* pTop = reinterpret_cast<RECT*>(l);
    if (::GetDlgItem(h, IDC_INVITE_ACCEPT) && ::IsWindowVisible(h) && ::GetWindowRect(h, &r) &&
        r.top < pTop->top)
        *pTop = r;
    return TRUE;
}

// Saves the window as it shows now, for a look at it (build/windows/screenshots/NAME.bmp).
void SavePicture(HWND hWnd, const char* pszName)
{
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SaveWindowPicture(hWnd, QUILLON_SCREENSHOT_DIR, pszName);
}

bool GoneSoon(HWND h)
{
    for (int i = 0; i < 1000 && ::IsWindow(h); ++i)
        PumpMessages(20);
    return !::IsWindow(h);
}

class NoticeWindowsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(LoadTestResources(), nullptr);
        ASSERT_TRUE(owner.Create(IDD_CONTROL_SAMPLE));
        owner.ShowWindow(SW_SHOW);
        host = std::make_unique<RecordingHost>(owner.m_hWnd);
    }
    void TearDown() override { owner.DestroyWindow(); }

    CDialog owner;
    std::unique_ptr<RecordingHost> host;
};
} // namespace

TEST_F(NoticeWindowsTest, ModalBoxAnswersByItsButtonsEscapeAndOwner)
{
    const struct
    {
        const char* pszCase;
        int nButtons;
        std::vector<UINT> keysThenButton; // keys posted first, then the button (0: none)
        int nAnswer;
    } cases[] = {
        {"box1", 1, {VK_RETURN, VK_ESCAPE, IDOK}, NOTICEBOX_FIRST},
        {"box2", 2, {VK_ESCAPE, IDCANCEL}, NOTICEBOX_SECOND},
        {"box3", 3, {VK_ESCAPE}, NOTICEBOX_THIRD},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        std::vector<int> shownButtons;
        size_t nStep = 0;
        StepDuringModal step(
            [&]
            {
                HWND hBox = ThreadWindowWith(IDC_INFO_MESSAGE);
                if (!hBox) return;
                if (nStep == 0)
                {
                    for (int id : {IDOK, IDCANCEL, IDC_INFO_THIRD})
                        if (::IsWindowVisible(::GetDlgItem(hBox, id))) shownButtons.push_back(id);
                    SavePicture(hBox, c.pszCase);
                }
                // One key or button a step: Enter and a lone Escape must leave the box up.
                if (nStep < c.keysThenButton.size())
                {
                    const UINT v = c.keysThenButton[nStep];
                    if (v == VK_RETURN || v == VK_ESCAPE)
                        ::PostMessageW(::GetFocus() ? ::GetFocus() : hBox, WM_KEYDOWN, v, 0);
                    else
                        ::PostMessageW(hBox, WM_COMMAND, v, 0);
                }
                ++nStep;
            });
        const int nAnswer = CInfoDlg2::Ask(*host, &owner, L"Leave the room now? The others stay.", c.nButtons,
                                           0, NOTICEBOX_MODAL);
        EXPECT_EQ(c.nAnswer, nAnswer);
        EXPECT_EQ(static_cast<size_t>(c.nButtons), shownButtons.size());
        EXPECT_GE(nStep, c.keysThenButton.size());
    }

    // The owner going ends a waiting box as the third answer.
    CDialog room;
    ASSERT_TRUE(room.Create(IDD_CONTROL_SAMPLE));
    room.ShowWindow(SW_SHOW);
    StepDuringModal closer([&] { room.DestroyWindow(); });
    EXPECT_EQ(NOTICEBOX_THIRD, CInfoDlg2::Ask(*host, &room, L"Present now?", 2, 0, NOTICEBOX_MODAL));
}

TEST_F(NoticeWindowsTest, TimeOutsEndWaitingBoxesCloseTheOthersAndCountDown)
{
    EXPECT_EQ(NOTICEBOX_FIRST, CInfoDlg2::Ask(*host, &owner, L"One second.", 2, 1, NOTICEBOX_MODAL));

    // A long message grows the box rather than losing its end.
    std::vector<int> heights; // one per box, taken while it is up
    std::wstring szLong;
    for (int i = 0; i < 30; ++i)
        szLong += L"The server will restart in a few minutes. ";
    for (const std::wstring& text : {std::wstring(L"Short."), szLong})
    {
        int nHeight = 0;
        StepDuringModal measure(
            [&]
            {
                HWND hBox = ThreadWindowWith(IDC_INFO_MESSAGE);
                RECT r;
                if (!hBox || !::GetWindowRect(hBox, &r)) return;
                nHeight = r.bottom - r.top;
                ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
            });
        CInfoDlg2::Ask(*host, &owner, text, 1, 0, NOTICEBOX_MODAL);
        heights.push_back(nHeight);
    }
    EXPECT_GT(heights[0], 0);
    EXPECT_GT(heights[1], heights[0]);

    // The reconnection box counts its seconds down, never up, and ends as OK.
    std::vector<std::wstring> texts;
    StepDuringModal watch(
        [&]
        {
            HWND hBox = ThreadWindowWith(IDC_INFO_MESSAGE);
            if (!hBox) return;
            std::wstring text = TextOf(::GetDlgItem(hBox, IDC_INFO_MESSAGE));
            if (texts.empty()) SavePicture(hBox, "box_reconnect");
            if (texts.empty() || texts.back() != text) texts.push_back(text);
        });
    EXPECT_EQ(NOTICEBOX_FIRST, CInfoDlg2::Ask(*host, &owner, L"", 1, 3, NOTICEBOX_RECONNECT));
    ASSERT_FALSE(texts.empty());
    EXPECT_NE(std::wstring::npos, texts.front().find(L"3")) << texts.front();
    for (size_t i = 1; i < texts.size(); ++i)
    {
        const wchar_t before = texts[i - 1][texts[i - 1].find_first_of(L"0123456789")];
        const wchar_t after = texts[i][texts[i].find_first_of(L"0123456789")];
        EXPECT_LT(after, before);
    }

    // A box that does not wait frees itself at its time-out; the share question counts as declined.
    ASSERT_TRUE(
        CInfoDlg2::ShowModeless(new CInfoDlg2(*host, NOTICEBOX_NOTICE, L"Noticed.", 1, 0xFFFF, &owner)));
    HWND hNotice = ThreadWindowWith(IDC_INFO_MESSAGE);
    ASSERT_TRUE(
        CInfoDlg2::ShowModeless(new CInfoDlg2(*host, NOTICEBOX_SHARE_QUESTION, L"Share?", 1, 9, &owner)));
    EXPECT_TRUE(GoneSoon(hNotice));
    for (int i = 0; i < 1000 && host->calls.size() < 2; ++i)
        PumpMessages(20);
    EXPECT_EQ((std::vector<std::wstring>{L"notice closed", L"share 9 1"}), host->calls);
}

TEST_F(NoticeWindowsTest, ShareQuestionAnswersWithItsCodes)
{
    ASSERT_TRUE(
        CInfoDlg2::Tell(*host, &owner, L"Alice asks to see your screen.", 2, NOTICEBOX_SHARE_QUESTION, 9));
    HWND hBox = ThreadWindowWith(IDC_INFO_MESSAGE);
    ASSERT_NE(nullptr, hBox);
    ::SendMessageW(hBox, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(::IsWindow(hBox));
    EXPECT_EQ(4, host->wSharing); // nobody shared: the local user now does
    host->wSharing = 5;
    ASSERT_TRUE(CInfoDlg2::Tell(*host, &owner, L"Again?", 2, NOTICEBOX_SHARE_QUESTION, 9));
    ::SendMessageW(ThreadWindowWith(IDC_INFO_MESSAGE), WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(CInfoDlg2::Tell(*host, &owner, L"Again?", 2, NOTICEBOX_SHARE_QUESTION, 9));
    ::SendMessageW(ThreadWindowWith(IDC_INFO_MESSAGE), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ((std::vector<std::wstring>{L"share 9 0", L"share 9 3", L"share 9 1"}), host->calls);
    PumpMessages(50);
}

TEST_F(NoticeWindowsTest, InvitationStacksInTheCornerAndGoesOnlyByItsButtons)
{
    ASSERT_TRUE(CInviteNoticeDlg::Show(new CInviteNoticeDlg(*host, 7, 2, L"Maths", 0), nullptr));
    HWND hFirst = ThreadWindowWith(IDC_INVITE_ACCEPT);
    ASSERT_NE(nullptr, hFirst);
    ASSERT_TRUE(CInviteNoticeDlg::Show(new CInviteNoticeDlg(*host, 8, 3, L"Physics", 1), nullptr));
    PumpMessages(50);
    RECT work{}, r1{}, r2{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::GetWindowRect(hFirst, &r1);
    EXPECT_EQ(work.right - 230, r1.left);
    EXPECT_EQ(work.bottom - 170, r1.top);
    EXPECT_EQ(230, r1.right - r1.left);
    r2 = r1;
    ::EnumThreadWindows(::GetCurrentThreadId(), &RaiseToNotice, reinterpret_cast<LPARAM>(&r2));
    EXPECT_EQ(r1.top - 170, r2.top) << "the second notice stacks above the first";

    EXPECT_NE(std::wstring::npos, TextOf(::GetDlgItem(hFirst, IDC_INVITE_MESSAGE)).find(L"Alice"));
    EXPECT_NE(std::wstring::npos, TextOf(::GetDlgItem(hFirst, IDC_INVITE_MESSAGE)).find(L"Maths"));
    SavePicture(hFirst, "invitation");
    // Keys and closing requests leave it up.
    for (UINT v : {VK_ESCAPE, VK_RETURN})
        ::PostMessageW(::GetDlgItem(hFirst, IDC_INVITE_ACCEPT), WM_KEYDOWN, v, 0);
    ::PostMessageW(hFirst, WM_CLOSE, 0, 0);
    ::PostMessageW(hFirst, WM_COMMAND, IDCANCEL, 0);
    PumpMessages(100);
    EXPECT_TRUE(::IsWindow(hFirst));

    ::SendMessageW(hFirst, WM_COMMAND, IDC_INVITE_DECLINE, 0);
    EXPECT_FALSE(::IsWindow(hFirst));
    HWND hRest = ThreadWindowWith(IDC_INVITE_ACCEPT);
    ASSERT_NE(nullptr, hRest);
    EXPECT_NE(std::wstring::npos, TextOf(::GetDlgItem(hRest, IDC_INVITE_MESSAGE)).find(L"Physics"));
    EXPECT_EQ(std::wstring::npos, TextOf(::GetDlgItem(hRest, IDC_INVITE_MESSAGE)).find(L"%"));
    ::SendMessageW(hRest, WM_COMMAND, IDC_INVITE_ACCEPT, 0);
    EXPECT_FALSE(::IsWindow(hRest));
    EXPECT_EQ((std::vector<std::wstring>{L"decline 7", L"removed 7 2", L"removed 8 3", L"accept 3"}),
              host->calls);
}

TEST_F(NoticeWindowsTest, ShareBarTogglesTheDrawingToolAndStaysOnEscape)
{
    ASSERT_TRUE(CNoticeDlg::Show(new CNoticeDlg(*host, 0)));
    HWND hBar = ThreadWindowWith(IDC_SHARE_TEXT);
    ASSERT_NE(nullptr, hBar);
    EXPECT_EQ(host->NoticeText("IDMS_SHARE_REMOTECTRL") + L" (Bob)",
              TextOf(::GetDlgItem(hBar, IDC_SHARE_TEXT)));
    RECT r;
    ::GetWindowRect(hBar, &r);
    EXPECT_EQ(0, r.top);
    EXPECT_TRUE(::GetWindowLongPtrW(hBar, GWL_EXSTYLE) & WS_EX_TOPMOST);
    SavePicture(hBar, "share_bar");

    HWND hToggle = ::GetDlgItem(hBar, IDC_SHARE_DRAWTOOL);
    BYTE byAlpha = 0;
    DWORD dwFlags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(hBar, nullptr, &byAlpha, &dwFlags));
    EXPECT_EQ(150, byAlpha);
    // A press asks the main dialog to show the drawing tool. (Wine finds no window under the
    // pointer of a translucent bar, so the release that keeps the toggle down is not checked.)
    RECT rt;
    ::GetWindowRect(hToggle, &rt);
    ::SetCursorPos(rt.left + 4, rt.top + 4);
    ::SendMessageW(hToggle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    ::SendMessageW(hToggle, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    MSG msg{};
    for (int j = 0;
         j < 100 && !::PeekMessageW(&msg, owner.m_hWnd, kMsgShowDrawTool, kMsgShowDrawTool, PM_REMOVE); ++j)
        PumpMessages(10);
    EXPECT_EQ(kMsgShowDrawTool, msg.message);
    EXPECT_EQ(1u, msg.wParam);

    ::PostMessageW(hToggle, WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(hBar, WM_COMMAND, IDCANCEL, 0);
    PumpMessages(50);
    EXPECT_TRUE(::IsWindow(hBar));
    host->wSharing = 6;
    ::SendMessageW(hBar, WM_COMMAND, IDC_SHARE_CLOSE, 0);
    EXPECT_EQ((std::vector<std::wstring>{L"end share 6"}), host->calls);
    ::DestroyWindow(hBar);
}

TEST_F(NoticeWindowsTest, ZoomChoicesApplyAtOnceAndCancelRestores)
{
    RecordingZoomOwner zoom;
    ASSERT_TRUE(CInputDlg::Show(new CInputDlg(*host, zoom, 32944, 100), &owner));
    HWND hDlg = ThreadWindowWith(IDC_ZOOM_EDIT);
    ASSERT_NE(nullptr, hDlg);
    EXPECT_EQ(BST_CHECKED, ::SendDlgItemMessageW(hDlg, IDC_ZOOM_FIRST + 3, BM_GETCHECK, 0, 0));
    EXPECT_EQ(L"100", TextOf(::GetDlgItem(hDlg, IDC_ZOOM_EDIT)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(hDlg, IDC_ZOOM_EDIT)));
    SavePicture(hDlg, "zoom");

    ::SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_ZOOM_FIRST + 8, BN_CLICKED), 0); // fit width
    EXPECT_EQ(4096, zoom.nBoard);
    EXPECT_EQ(BST_CHECKED, ::SendDlgItemMessageW(hDlg, IDC_ZOOM_FIRST + 8, BM_GETCHECK, 0, 0));
    ::SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDC_ZOOM_LAST, BN_CLICKED), 0); // the user's own
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(hDlg, IDC_ZOOM_EDIT)));
    ::SetDlgItemTextW(hDlg, IDC_ZOOM_EDIT, L"250");
    ::PostMessageW(::GetDlgItem(hDlg, IDC_ZOOM_EDIT), WM_KEYDOWN, VK_RETURN, 0);
    PumpMessages(50);
    EXPECT_EQ(250, zoom.nBoard);

    ::SendMessageW(hDlg, WM_COMMAND, IDC_ZOOM_CANCEL, 0);
    EXPECT_FALSE(::IsWindow(hDlg));
    EXPECT_EQ(100, zoom.nBoard);
    ASSERT_FALSE(zoom.calls.empty());
    EXPECT_EQ(L"closed", zoom.calls.back());
    EXPECT_EQ(L"32944 100", zoom.calls[zoom.calls.size() - 2]);
}
