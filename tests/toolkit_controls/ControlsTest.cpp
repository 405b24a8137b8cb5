// The skinned controls in the sample dialog of the language library, driven by real messages under Wine.
#include "tests/toolkit_controls/Pixels.h"
#include "tests/toolkit_controls/SampleDialog.h"
#include "tests/winui/TestResources.h"
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

namespace
{
const COLORREF kTealDark = RGB(0x1E, 0x71, 0x67);
const COLORREF kHover = RGB(0x3B, 0xB3, 0xA4);
const int kOtherId = 20200;

class Controls : public ::testing::Test
{
protected:
    ComInit com;
    SampleDialog dlg;

    void SetUp() override
    {
        ASSERT_NE(LoadTestResources(), nullptr);
        ASSERT_TRUE(dlg.Create(IDD_CONTROL_SAMPLE));
        // Out of the way of other windows on the shared display, and on top of them.
        dlg.SetWindowPos(HWND_TOPMOST, 880, 700, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        dlg.UpdateWindow();
        PumpMessages(30);
    }
    void TearDown() override { dlg.DestroyWindow(); }

    static MemoryCanvas Print(CWnd& control)
    {
        RECT r;
        control.GetClientRect(&r);
        MemoryCanvas canvas(r.right, r.bottom);
        control.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hDC), PRF_CLIENT);
        return canvas;
    }
    static POINT CentreOf(CWnd& control)
    {
        RECT r;
        control.GetClientRect(&r);
        return POINT{r.right / 2, r.bottom / 2};
    }
    static void PutCursorAt(CWnd& control, POINT client)
    {
        ::ClientToScreen(control.m_hWnd, &client);
        ::SetCursorPos(client.x, client.y);
    }
    static void PutCursorAway() { ::SetCursorPos(2, 2); }
    static void Mouse(CWnd& control, UINT msg, POINT client, WPARAM keys = 0)
    {
        control.SendMessage(msg, keys, MAKELPARAM(client.x, client.y));
    }
    // Clicks with the press inside and the release at `release` (client coordinates), cursor following.
    static void Click(CWnd& control, POINT release)
    {
        POINT centre = CentreOf(control);
        PutCursorAt(control, centre);
        Mouse(control, WM_LBUTTONDOWN, centre, MK_LBUTTON);
        PutCursorAt(control, release);
        Mouse(control, WM_LBUTTONUP, release);
    }
    static bool TimerWasRunning(CWnd& control, UINT_PTR id) { return ::KillTimer(control.m_hWnd, id) != 0; }
    int Clicks(int id) const
    {
        return static_cast<int>(
            std::count(dlg.commands.begin(), dlg.commands.end(), std::make_pair(id, BN_CLICKED)));
    }
};

// A control created at run time beside the template's controls.
bool CreateChild(CWnd& control, CWnd& parent, int x, const wchar_t* className = L"Button")
{
    RECT r{x, 206, x + 40, 230};
    return control.CreateEx(0, className, L"", WS_CHILD | WS_VISIBLE, r, parent.m_hWnd, kOtherId);
}

LOGFONTW FontOf(HFONT font)
{
    LOGFONTW lf{};
    ::GetObjectW(font, sizeof lf, &lf);
    return lf;
}
} // namespace

TEST_F(Controls, StaticShowsAmpersandsLiterallyAndTakesItsColoursAndFont)
{
    EXPECT_EQ(dlg.m_static.GetWindowText(), L"Fish && Chips");
    LOGFONTW lf = FontOf(dlg.m_static.m_font);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_FALSE(lf.lfStrikeOut);
    dlg.m_static.SetTextFontStyle(-12, L"Tahoma", 400);
    lf = FontOf(dlg.m_static.m_font);
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_FALSE(lf.lfItalic || lf.lfUnderline || lf.lfStrikeOut);

    // The parent's WM_CTLCOLORSTATIC is answered by the label's own object.
    CClientDC dc(dlg.m_static.m_hWnd);
    auto colour = [&]
    {
        return reinterpret_cast<HBRUSH>(dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.m_hDC),
                                                        reinterpret_cast<LPARAM>(dlg.m_static.m_hWnd)));
    };
    EXPECT_EQ(colour(), ::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    dlg.m_static.SetColors(RGB(200, 0, 0), RGB(0, 0, 200), OPAQUE);
    EXPECT_EQ(colour(), static_cast<HBRUSH>(dlg.m_static.m_brush));
    EXPECT_EQ(::GetTextColor(dc), RGB(200, 0, 0));
    EXPECT_EQ(::GetBkColor(dc), RGB(0, 0, 200));
    EXPECT_EQ(::GetBkMode(dc), OPAQUE);

    // Opaque, the label paints its blue background and shows the ampersand.
    dlg.m_static.SetText(L"&");
    MemoryCanvas canvas = Print(dlg.m_static);
    EXPECT_TRUE(Near(canvas.Pixel(150, 8), RGB(0, 0, 200)));
    EXPECT_TRUE(canvas.Contains(RECT{0, 0, 30, 16}, RGB(200, 0, 0)));
}

TEST_F(Controls, WrapPutsAWordWiderThanTheLabelOnItsOwnLine)
{
    dlg.m_wrap.SetWrapText(L"a supercalifragilisticexpialidociousness b");
    EXPECT_EQ(dlg.m_wrap.GetWindowText(), L"a \nsupercalifragilisticexpialidociousness\nb ");
    dlg.m_wrap.SetWrapText(nullptr);
    EXPECT_EQ(dlg.m_wrap.GetWindowText(), L"a \nsupercalifragilisticexpialidociousness\nb ");
}

TEST_F(Controls, ProgressFillsByPositionAndRepaintsOnlyOnChange)
{
    CLMProgress& bar = dlg.m_progress; // 200 x 14, 0..100 at 50
    const COLORREF back = ::GetSysColor(COLOR_WINDOW);
    MemoryCanvas canvas = Print(bar);
    EXPECT_TRUE(Near(canvas.Pixel(1, 1), RGB(0x7D, 0xF2, 0x7D)));
    EXPECT_TRUE(Near(canvas.Pixel(99, 1), RGB(0x7D, 0xF2, 0x7D)));
    EXPECT_TRUE(Near(canvas.Pixel(100, 1), back));
    EXPECT_TRUE(Near(canvas.Pixel(198, 1), back));

    bar.UpdateWindow();
    EXPECT_EQ(bar.SetPos(50), 50);
    EXPECT_FALSE(::GetUpdateRect(bar.m_hWnd, nullptr, FALSE)) << "same length, no repaint";
    EXPECT_EQ(bar.SetPos(60), 50);
    EXPECT_TRUE(::GetUpdateRect(bar.m_hWnd, nullptr, FALSE));

    CLMProgress detached;
    EXPECT_EQ(detached.SetPos(5), -1);

    // An empty or reversed range draws an empty bar.
    for (auto range : {std::make_pair(10, 10), std::make_pair(100, 0)})
    {
        bar.SetRange(range.first, range.second);
        bar.SetPos(10);
        MemoryCanvas empty = Print(bar);
        EXPECT_TRUE(Near(empty.Pixel(1, 1), back));
        EXPECT_TRUE(Near(empty.Pixel(198, 1), back));
    }
}

TEST_F(Controls, ProgressCaptionFollowsTheTextContract)
{
    CLMProgress& bar = dlg.m_progress;
    wchar_t small[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(bar.SendMessage(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(small)), 3);
    EXPECT_STREQ(small, L"Upl");
    wchar_t big[32];
    EXPECT_EQ(bar.SendMessage(WM_GETTEXT, 32, reinterpret_cast<LPARAM>(big)), 9);
    EXPECT_STREQ(big, L"Uploading");
    EXPECT_EQ(bar.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(big)), 0);
    bar.SetWindowText(L"Done");
    EXPECT_EQ(bar.m_strCaption, L"Done");
    EXPECT_EQ(bar.GetWindowText(), L"Done");
}

TEST_F(Controls, VerticalBitmapBarFillsFromTheBottom)
{
    CLMProgress& bar = dlg.m_progressV; // 14 x 90 at 70 of 0..100
    const COLORREF back = ::GetSysColor(COLOR_WINDOW);
    MemoryCanvas canvas = Print(bar);
    EXPECT_FALSE(Near(canvas.Pixel(7, 88), back, 4));
    EXPECT_FALSE(Near(canvas.Pixel(7, 30), back, 4));
    EXPECT_TRUE(Near(canvas.Pixel(7, 2), back));
    EXPECT_TRUE(Near(canvas.Pixel(7, 25), back));

    // Every bar measures its own bitmap.
    CLMProgress other;
    ASSERT_TRUE(CreateChild(other, dlg, 200, PROGRESS_CLASSW));
    other.SetBarBitmap(IDB_SLIDER_ACTIVE);
    EXPECT_EQ(other.m_sizeBar.cx, 120);
    EXPECT_EQ(bar.m_sizeBar.cx, 100);
    EXPECT_EQ(bar.m_sizeBar.cy, 14);
}

TEST_F(Controls, ProgressXGradientTextAndMessages)
{
    CProgressCtrlX& bar = dlg.m_progressX; // 200 x 16, teal to navy, 0..100 at 60
    MemoryCanvas canvas = Print(bar);
    // The whole gradient shows over the filled part.
    EXPECT_TRUE(Near(canvas.Pixel(0, 1), kTeal));
    EXPECT_TRUE(Near(canvas.Pixel(119, 1), RGB(0x1F, 0x3A, 0x5F)));
    EXPECT_TRUE(Near(canvas.Pixel(150, 1), RGB(0xE9, 0xEE, 0xF3)));
    EXPECT_TRUE(canvas.Contains(RECT{80, 2, 120, 14}, kWhite)) << "the percentage over the bar";

    EXPECT_EQ(bar.SendMessage(PBM_SETBARCOLOR, 0, RGB(1, 2, 3)), static_cast<LRESULT>(CLR_DEFAULT));
    EXPECT_EQ(bar.m_gradient, (std::vector<COLORREF>{RGB(1, 2, 3), RGB(1, 2, 3)}));
    EXPECT_EQ(bar.SendMessage(PBM_SETBKCOLOR, 0, RGB(4, 5, 6)), static_cast<LRESULT>(CLR_DEFAULT));
    EXPECT_EQ(bar.m_crBack, RGB(4, 5, 6));
    EXPECT_TRUE(bar.SendMessage(WM_GETDLGCODE) & DLGC_BUTTON);
    EXPECT_EQ(bar.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.hDC)), TRUE);

    EXPECT_EQ(bar.SetPos(70), 60);
    EXPECT_EQ(bar.GetPos(), 70);
    EXPECT_EQ(bar.GetWindowText(), L"%d%%");
    EXPECT_EQ(bar.GetStyle() & PBS_TEXTMASK, PBS_SHOW_PERCENT);
    for (const wchar_t* format : {L"", L"%s"})
    {
        bar.SetTextFormat(L"%d", PBS_SHOW_POSITION);
        bar.SetTextFormat(format, PBS_SHOW_POSITION);
        EXPECT_EQ(bar.GetStyle() & PBS_TEXTMASK, 0u);
        EXPECT_EQ(bar.GetWindowText(), L"");
    }

    bar.SendMessage(PBM_SETRANGE32, 5, 5);
    Print(bar); // an empty range paints the background only
}

TEST_F(Controls, ProgressXSnakeStaysInRange)
{
    CProgressCtrlX& bar = dlg.m_progressX;
    for (DWORD style : {PBS_SNAKE, PBS_SNAKE | PBS_REVERSE})
    {
        bar.ModifyStyle(PBS_SNAKE | PBS_REVERSE, style);
        bar.SendMessage(PBM_SETPOS, 0);
        bar.SendMessage(PBM_SETSTEP, 15);
        bool turned = false;
        for (int i = 0; i < 40; ++i)
        {
            bar.SendMessage(i % 3 ? PBM_STEPIT : PBM_DELTAPOS, 9);
            ASSERT_GE(bar.m_nSnakePos, 0);
            ASSERT_LE(bar.m_nSnakePos, 100 + bar.m_nSnakeSize);
            ASSERT_GE(bar.GetPos(), 0);
            ASSERT_LE(bar.GetPos(), 100);
            turned |= bar.m_nSnakeDir < 0;
        }
        EXPECT_EQ(turned, (style & PBS_REVERSE) != 0);
        bar.SendMessage(PBM_SETPOS, 500);
        EXPECT_EQ(bar.m_nSnakePos, 100 + bar.m_nSnakeSize);
        EXPECT_EQ(bar.GetPos(), 100);
        Print(bar);
    }
}

TEST_F(Controls, ToolTipShowsForRelayedHover)
{
    dlg.m_lmButton.SetToolTipText(L"Join the room");
    ASSERT_NE(dlg.m_lmButton.m_ToolTip.m_hWnd, nullptr);
    POINT centre = CentreOf(dlg.m_lmButton);
    PutCursorAt(dlg.m_lmButton, centre);
    Mouse(dlg.m_lmButton, WM_MOUSEMOVE, centre);
    bool shown = false;
    for (int i = 0; i < 40 && !shown; ++i)
    {
        PumpMessages(50);
        shown = dlg.m_lmButton.m_ToolTip.IsWindowVisible();
    }
    EXPECT_TRUE(shown);
    PutCursorAway();
}

TEST_F(Controls, HBitmapButtonDrawsItsStatesAndPollsItsHover)
{
    CHBitmapButton& button = dlg.m_hButton;
    EXPECT_EQ(button.GetBitmapWidth(), 80);
    EXPECT_EQ(button.GetBitmapHeight(), 24);
    RECT r;
    button.GetWindowRect(&r);
    EXPECT_EQ(r.right - r.left, 80);
    EXPECT_TRUE(Near(Print(button).Pixel(40, 12), kTeal));
    button.SendMessage(BM_SETSTATE, TRUE);
    EXPECT_TRUE(Near(Print(button).Pixel(40, 12), kTealDark));
    button.SendMessage(BM_SETSTATE, FALSE);
    button.EnableWindow(FALSE);
    EXPECT_TRUE(Near(Print(button).Pixel(40, 12), kGrey));
    button.EnableWindow(TRUE);

    // Hover: the picture at once, a 50 ms poll that ends itself when the cursor leaves.
    POINT centre = CentreOf(button);
    PutCursorAt(button, centre);
    Mouse(button, WM_MOUSEMOVE, centre);
    EXPECT_TRUE(TimerWasRunning(button, CHBitmapButton::kHoverTimer));
    Mouse(button, WM_MOUSEMOVE, centre);
    PutCursorAway();
    PumpMessages(250);
    EXPECT_FALSE(TimerWasRunning(button, CHBitmapButton::kHoverTimer)) << "the poll removes its timer";

    // Hand cursor only while active; an inactive button swallows the mouse.
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), HTCLIENT), FALSE);
    EXPECT_EQ(::GetCursor(), button.m_hCursor);
    MSG down{button.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, 0, 0, {}};
    EXPECT_FALSE(button.PreTranslateMessage(&down));
    button.SetActive(FALSE);
    EXPECT_TRUE(button.PreTranslateMessage(&down));
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), HTCLIENT);
    EXPECT_NE(::GetCursor(), button.m_hCursor);
}

TEST_F(Controls, CheckedHBitmapButtonStartsNoHoverTimer)
{
    struct CheckedButton : CHBitmapButton
    {
        LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
        {
            return msg == BM_GETCHECK ? BST_CHECKED : CHBitmapButton::WindowProc(msg, wParam, lParam);
        }
    } button;
    ASSERT_TRUE(CreateChild(button, dlg, 300));
    ASSERT_TRUE(button.LoadBitmapsAndSize(IDB_BTN_NORMAL, IDB_BTN_PRESSED, IDB_BTN_HOVER, 0));
    Mouse(button, WM_MOUSEMOVE, POINT{3, 3});
    EXPECT_FALSE(TimerWasRunning(button, CHBitmapButton::kHoverTimer));
    SIZE size;
    CHBitmapButton empty;
    EXPECT_FALSE(empty.GetBitmapSize(size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_FALSE(empty.LoadBitmapsAndSize(31999, 0, 0, 0));
}

TEST_F(Controls, LMBitmapButtonPlacesItsCaption)
{
    CLMBitmapButton& button = dlg.m_lmButton; // 80 wide, no auto-width
    EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(button.GetBitmapWidth(), 80);
    EXPECT_EQ(button.m_nTextFlags, CLMBitmapButton::kCaptionCentred);
    EXPECT_TRUE(Print(button).Contains(RECT{20, 4, 60, 20}, kWhite)) << "the caption in its colour";

    button.SetText(L"A caption much wider than the button");
    EXPECT_EQ(button.m_nTextFlags, CLMBitmapButton::kCaptionLeft);
    RECT r;
    button.GetWindowRect(&r);
    EXPECT_EQ(r.right - r.left, 80);
    button.SetText(L"Go");
    EXPECT_EQ(button.m_nTextFlags, CLMBitmapButton::kCaptionCentred);

    // With auto-width the button grows to the caption instead.
    button.SetTextMargins(1, 1, 1, 1, TRUE);
    button.SetText(L"A caption much wider than the button");
    button.GetWindowRect(&r);
    EXPECT_GT(r.right - r.left, 100);
    EXPECT_EQ(button.m_nTextFlags, CLMBitmapButton::kCaptionCentred);

    // Icon caption: the bitmap at its own size, the text right of it.
    button.SetTextAndPlace(L"Agenda", 100, 170, 150, 40);
    button.GetWindowRect(&r);
    EXPECT_LE(r.right - r.left, 150);
    EXPECT_TRUE(button.m_bIconCaption);
    EXPECT_EQ(button.m_nTextFlags, CLMBitmapButton::kCaptionLeft);
}

TEST_F(Controls, LMCheckButtonTogglesAndAReleaseOutsideCancels)
{
    CLMBitmapButton& check = dlg.m_lmCheck;
    EXPECT_TRUE(check.m_bCheckStyle);
    EXPECT_FALSE(dlg.m_lmButton.m_bCheckStyle);
    POINT centre = CentreOf(check);

    Click(check, centre);
    EXPECT_TRUE(check.GetCheck());
    EXPECT_EQ(Clicks(IDC_SAMPLE_LMCHECK), 1);
    EXPECT_TRUE(Near(Print(check).Pixel(4, 4), kTealDark)) << "checked shows the pressed bitmap";

    Click(check, POINT{-60, -60});
    EXPECT_TRUE(check.GetCheck()) << "released outside: still checked";
    EXPECT_EQ(Clicks(IDC_SAMPLE_LMCHECK), 1);

    Click(check, centre);
    EXPECT_FALSE(check.GetCheck());

    // A push button is pressed only while held.
    CLMBitmapButton& push = dlg.m_lmButton;
    PutCursorAt(push, CentreOf(push));
    Mouse(push, WM_LBUTTONDOWN, CentreOf(push), MK_LBUTTON);
    EXPECT_TRUE(push.GetCheck());
    Mouse(push, WM_LBUTTONUP, CentreOf(push));
    EXPECT_FALSE(push.GetCheck());
    EXPECT_EQ(Clicks(IDC_SAMPLE_LMBUTTON), 1);
    PutCursorAway();

    // The space bar clicks it too.
    push.SendMessage(WM_KEYDOWN, VK_SPACE, 0);
    push.SendMessage(WM_KEYUP, VK_SPACE, 0);
    EXPECT_EQ(Clicks(IDC_SAMPLE_LMBUTTON), 2);
}

TEST_F(Controls, LMBitmapButtonHoverCursorAndInertState)
{
    CLMBitmapButton& button = dlg.m_lmButton;
    Mouse(button, WM_MOUSEMOVE, CentreOf(button));
    EXPECT_TRUE(button.m_bHover);
    EXPECT_TRUE(Near(Print(button).Pixel(4, 4), kHover));
    button.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(button.m_bHover);
    EXPECT_TRUE(Near(Print(button).Pixel(4, 4), kTeal));

    EXPECT_EQ(button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), HTCLIENT), TRUE);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_CURSOR_HAND)));
    EXPECT_TRUE(button.SendMessage(WM_GETDLGCODE) & DLGC_BUTTON);

    // Before its bitmaps load the button ignores the mouse.
    CLMBitmapButton inert;
    ASSERT_TRUE(CreateChild(inert, dlg, 300));
    EXPECT_EQ(inert.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(inert.m_hWnd), HTCLIENT), TRUE);
    Mouse(inert, WM_MOUSEMOVE, POINT{2, 2});
    Mouse(inert, WM_LBUTTONDOWN, POINT{2, 2}, MK_LBUTTON);
    EXPECT_FALSE(inert.m_bHover || inert.m_bPressed);
    EXPECT_FALSE(inert.LoadBitmaps(IDB_BTN_NORMAL, 31999, 0, 0));
    EXPECT_FALSE(inert.m_bLoaded);
    SIZE size;
    EXPECT_FALSE(inert.GetBitmapSize(size));

    // The second set replaces the first while selected.
    ASSERT_TRUE(button.LoadBitmaps2(IDB_CHK_OFF, IDB_CHK_ON, 0, 0));
    button.SelectBitmapSet(1);
    EXPECT_TRUE(Near(Print(button).Pixel(1, 1), RGB(0xE9, 0xEE, 0xF3)));
    button.SelectBitmapSet(0);
}

TEST_F(Controls, DisabledLMBitmapButtonWithoutDisabledBitmapShowsAGreyCaption)
{
    CLMBitmapButton& button = dlg.m_lmButtonOff;
    EXPECT_FALSE(button.IsWindowEnabled());
    MemoryCanvas canvas = Print(button);
    EXPECT_TRUE(Near(canvas.Pixel(4, 4), kTeal)) << "the normal bitmap";
    EXPECT_TRUE(canvas.Contains(RECT{10, 4, 70, 20}, CLMBitmapButton::kDisabledCaption));
    button.EnableButton(TRUE);
    EXPECT_FALSE(Print(button).Contains(RECT{10, 4, 70, 20}, CLMBitmapButton::kDisabledCaption));
}

TEST_F(Controls, BitmapCheckButtonStatesClicksAndHover)
{
    CBitmapCheckButton& check = dlg.m_check;
    EXPECT_EQ(check.GetBitmapWidth(), 24);
    EXPECT_EQ(check.GetBitmapID(), static_cast<UINT>(IDB_CHK_OFF));
    EXPECT_EQ(check.GetCheck(), 1);
    EXPECT_TRUE(Near(Print(check).Pixel(5, 5), kTeal));

    check.EnableButton(FALSE);
    EXPECT_EQ(check.GetCheck(), -1);
    EXPECT_FALSE(check.IsWindowEnabled());
    EXPECT_TRUE(Near(Print(check).Pixel(5, 5), kGrey));
    check.EnableButton(TRUE);

    check.SetCheck(0);
    POINT centre = CentreOf(check);
    Click(check, centre);
    EXPECT_EQ(check.GetCheck(), 1);
    EXPECT_EQ(Clicks(IDC_SAMPLE_CHECK), 1);
    Click(check, POINT{-40, -40});
    EXPECT_EQ(check.GetCheck(), 1) << "released outside: unchanged";
    EXPECT_EQ(Clicks(IDC_SAMPLE_CHECK), 1);

    // Push mode: the checked picture only while held.
    check.SetPushMode(TRUE);
    check.SetCheck(0);
    PutCursorAt(check, centre);
    Mouse(check, WM_LBUTTONDOWN, centre, MK_LBUTTON);
    EXPECT_TRUE(Near(Print(check).Pixel(5, 5), kTeal));
    Mouse(check, WM_LBUTTONUP, centre);
    EXPECT_FALSE(Near(Print(check).Pixel(5, 5), kTeal));
    check.SetPushMode(FALSE);

    // Hover poll, and the hand cursor.
    check.SetCheck(0);
    Mouse(check, WM_MOUSEMOVE, centre);
    EXPECT_TRUE(TimerWasRunning(check, CBitmapCheckButton::kHoverTimer));
    Mouse(check, WM_MOUSEMOVE, centre);
    PutCursorAway();
    PumpMessages(250);
    EXPECT_FALSE(TimerWasRunning(check, CBitmapCheckButton::kHoverTimer));
    EXPECT_EQ(check.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(check.m_hWnd), HTCLIENT), TRUE);
    EXPECT_EQ(::GetCursor(), check.m_hCursor);

    // Without a hover bitmap there is no poll.
    CBitmapCheckButton plain;
    ASSERT_TRUE(CreateChild(plain, dlg, 300));
    ASSERT_TRUE(plain.LoadBitmaps(IDB_CHK_OFF, IDB_CHK_ON, 0, 0));
    Mouse(plain, WM_MOUSEMOVE, POINT{3, 3});
    EXPECT_FALSE(TimerWasRunning(plain, CBitmapCheckButton::kHoverTimer));
    EXPECT_FALSE(plain.LoadBitmaps(IDB_CHK_OFF, 31999, 0, 0));
}

// The check answers the standard check messages, and a click by message toggles and tells the
// parent wherever the pointer is; a disabled button or one the owner checks does not toggle.
TEST_F(Controls, BitmapCheckButtonAnswersTheStandardCheckMessages)
{
    CBitmapCheckButton& check = dlg.m_check;
    PutCursorAway();
    check.SendMessage(BM_SETCHECK, BST_UNCHECKED);
    EXPECT_EQ(check.SendMessage(BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(check.GetCheck(), 0);
    check.SendMessage(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(check.SendMessage(BM_GETCHECK), BST_CHECKED);

    int nClicks = Clicks(IDC_SAMPLE_CHECK);
    check.SendMessage(BM_CLICK);
    EXPECT_EQ(check.SendMessage(BM_GETCHECK), BST_UNCHECKED);
    EXPECT_EQ(Clicks(IDC_SAMPLE_CHECK), nClicks + 1);

    check.m_bAutoToggle = FALSE;
    check.SendMessage(BM_CLICK);
    EXPECT_EQ(check.SendMessage(BM_GETCHECK), BST_UNCHECKED) << "the owner checks it";
    EXPECT_EQ(Clicks(IDC_SAMPLE_CHECK), nClicks + 2);
    check.m_bAutoToggle = TRUE;

    // Disabling the window disables the button's picture and its clicks.
    check.EnableWindow(FALSE);
    EXPECT_EQ(check.GetCheck(), -1);
    check.SendMessage(BM_CLICK);
    EXPECT_EQ(Clicks(IDC_SAMPLE_CHECK), nClicks + 2);
    check.EnableWindow(TRUE);
    EXPECT_EQ(check.GetCheck(), 0);
}

TEST_F(Controls, SampleDialogPicture)
{
    MemoryCanvas canvas(SampleDialog::kWidth, SampleDialog::kHeight);
    dlg.Render(canvas.hDC);
    EXPECT_TRUE(Near(canvas.Pixel(300, 10), RGB(0x1F, 0x3A, 0x5F))) << "title bar";
    EXPECT_TRUE(Near(canvas.Pixel(300, 220), RGB(0xD5, 0xDE, 0xE7), 30)) << "background";
    EXPECT_TRUE(Near(canvas.Pixel(13, 121), RGB(0x7D, 0xF2, 0x7D))) << "progress bar";

    // Saved as a 32-bit top-down bitmap file beside the build for a person to look at.
    BITMAPINFOHEADER info{sizeof info, canvas.cx, -canvas.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint8_t> bits(static_cast<size_t>(canvas.cx) * canvas.cy * 4);
    BITMAPINFO bi{};
    bi.bmiHeader = info;
    ASSERT_EQ(::GetDIBits(canvas.hDC, canvas.hBitmap, 0, canvas.cy, bits.data(), &bi, DIB_RGB_COLORS),
              canvas.cy);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + bits.size()), 0,
                          0, sizeof(BITMAPFILEHEADER) + sizeof info};
    FILE* out = _wfopen(QUILLON_SCREENSHOT, L"wb");
    ASSERT_NE(out, nullptr);
    fwrite(&file, sizeof file, 1, out);
    fwrite(&info, sizeof info, 1, out);
    fwrite(bits.data(), 1, bits.size(), out);
    fclose(out);
}
