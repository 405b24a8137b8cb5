// The bitmap slider in the sample page of the language library, driven by real mouse and key messages
// under Wine: the notices it posts, what it draws, and its bitmaps.
#include "tests/toolkit_controls/Pixels.h"
#include "tests/toolkit_slider/SliderSample.h"
#include "tests/winui/TestResources.h"
#include <gtest/gtest.h>

namespace
{
constexpr UINT kMoving = CBitmapSlider::kMsgMoving;
constexpr UINT kMoved = CBitmapSlider::kMsgMoved;
constexpr WPARAM kId = IDC_SAMPLE_SLIDER;

class Slider : public ::testing::Test
{
protected:
    SliderSample dlg;

    void SetUp() override
    {
        ASSERT_NE(LoadTestResources(), nullptr);
        ASSERT_TRUE(dlg.Create(IDD_MENU_SLIDER_SAMPLE));
        dlg.SetWindowPos(HWND_TOPMOST, 40, 760, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
        dlg.UpdateWindow();
        PumpMessages(20);
        dlg.notices.clear();
    }
    void TearDown() override { dlg.DestroyWindow(); }

    // The horizontal slider: 120 x 16 (its channel), thumb 12 wide, 0..100 at 30, so the thumb centre
    // is at 6 + trunc(pos * 108 / 100 + 0.9).
    CBitmapSlider& h() { return dlg.m_slider; }

    static void Mouse(CBitmapSlider& slider, UINT msg, int x, int y = 8)
    {
        slider.SendMessage(msg, msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }
    // The notices posted since the last call.
    std::vector<SliderNotice> Notices()
    {
        PumpMessages();
        std::vector<SliderNotice> out;
        out.swap(dlg.notices);
        return out;
    }
    static MemoryCanvas Print(CBitmapSlider& slider)
    {
        RECT r;
        slider.GetClientRect(&r);
        MemoryCanvas canvas(r.right, r.bottom);
        slider.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.hDC), PRF_CLIENT);
        return canvas;
    }
};
} // namespace

TEST_F(Slider, LoadsSizedToTheChannel)
{
    RECT r;
    h().GetClientRect(&r);
    EXPECT_EQ(r.right, 120);
    EXPECT_EQ(r.bottom, 16);
    EXPECT_EQ(h().m_sizeThumb.cx, 12);
    EXPECT_TRUE(h().GetStyle() & SS_NOTIFY) << "a static control passes the mouse on without it";
    EXPECT_TRUE(h().SendMessage(WM_GETDLGCODE) & DLGC_WANTARROWS);
}

TEST_F(Slider, SetPosClampsAndAnEmptyRangeDrawsAtTheStart)
{
    struct Case
    {
        int nMin, nMax, nSet, nExpected;
    };
    for (Case c : {Case{0, 100, 150, 100}, Case{0, 100, -5, 0}, Case{10, 20, 5, 10}, Case{50, 50, 70, 50}})
    {
        h().SetRange(c.nMin, c.nMax);
        h().SetPos(c.nSet);
        EXPECT_EQ(h().GetPos(), c.nExpected) << c.nMin << ".." << c.nMax << " set " << c.nSet;
    }
    // Empty range: the thumb sits at the track's start instead of dividing by zero.
    MemoryCanvas canvas = Print(h());
    EXPECT_TRUE(Near(canvas.Pixel(3, 8), kNavy));
    EXPECT_FALSE(Near(canvas.Pixel(60, 8), kNavy));
    // A click on an empty range reports min.
    Mouse(h(), WM_LBUTTONDOWN, 100);
    Mouse(h(), WM_LBUTTONUP, 100);
    EXPECT_EQ(Notices(), (std::vector<SliderNotice>{{kMoving, kId, 50}, {kMoved, kId, 50}}));
}

TEST_F(Slider, DragNearTheThumbKeepsItsOffsetAndTheSamePixelPostsNothing)
{
    // Thumb centre at 39; the press 2 pixels right of it keeps that distance.
    Mouse(h(), WM_LBUTTONDOWN, 41);
    EXPECT_TRUE(Notices().empty()) << "the thumb has not moved";
    EXPECT_EQ(::GetCapture(), h().m_hWnd);
    Mouse(h(), WM_MOUSEMOVE, 41);
    EXPECT_TRUE(Notices().empty());
    Mouse(h(), WM_MOUSEMOVE, 51); // centre 49: trunc(43 * 100 / 108) = 39
    Mouse(h(), WM_MOUSEMOVE, 51);
    EXPECT_EQ(Notices(), (std::vector<SliderNotice>{{kMoving, kId, 39}}));
    // Centre 7 gives position 0, whose own pixel is 6: staying on 7 still posts once only.
    Mouse(h(), WM_MOUSEMOVE, 9);
    Mouse(h(), WM_MOUSEMOVE, 9);
    // Past the end the centre stays on the track.
    Mouse(h(), WM_MOUSEMOVE, 500);
    Mouse(h(), WM_MOUSEMOVE, 400);
    Mouse(h(), WM_LBUTTONUP, 400);
    EXPECT_EQ(Notices(),
              (std::vector<SliderNotice>{{kMoving, kId, 0}, {kMoving, kId, 100}, {kMoved, kId, 100}}));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(h().GetPos(), 100);

    // Losing the mouse to another window ends the drag where it is.
    h().SetPos(30);
    Mouse(h(), WM_LBUTTONDOWN, 39);
    Mouse(h(), WM_MOUSEMOVE, 30);
    ::SetCapture(dlg.m_hWnd);
    ::ReleaseCapture();
    Mouse(h(), WM_MOUSEMOVE, 60);
    Mouse(h(), WM_LBUTTONUP, 60);
    EXPECT_EQ(Notices(), (std::vector<SliderNotice>{{kMoving, kId, 22}, {kMoved, kId, 22}}));

    // A release without a press of its own is no drag.
    Mouse(h(), WM_LBUTTONUP, 10);
    EXPECT_TRUE(Notices().empty());
}

TEST_F(Slider, AClickFarFromTheThumbJumpsAndPostsAtOnce)
{
    Mouse(h(), WM_LBUTTONDOWN, 100); // centre 100: trunc(94 * 100 / 108) = 87
    EXPECT_EQ(Notices(), (std::vector<SliderNotice>{{kMoving, kId, 87}}));
    EXPECT_EQ(h().GetPos(), 87);
    EXPECT_TRUE(Near(Print(h()).Pixel(100, 8), kTeal)) << "the thumb while dragged";
    Mouse(h(), WM_LBUTTONUP, 100);
    EXPECT_EQ(Notices(), (std::vector<SliderNotice>{{kMoved, kId, 87}}));
    EXPECT_TRUE(Near(Print(h()).Pixel(100, 8), kNavy));

    // Vertical: the same along y, with the thumb's height.
    CBitmapSlider& v = dlg.m_sliderV; // 16 x 90, thumb 16 high: centre 8 + trunc(pos * 74 / 100 + 0.9)
    Mouse(v, WM_LBUTTONDOWN, 8, 200); // kept on the track: centre 82, 100
    Mouse(v, WM_LBUTTONUP, 8, 200);
    EXPECT_EQ(Notices(), (std::vector<SliderNotice>{{kMoving, IDC_SAMPLE_SLIDER_V, 100},
                                                    {kMoved, IDC_SAMPLE_SLIDER_V, 100}}));
}

TEST_F(Slider, EachKeyPostsOneNotice)
{
    struct Case
    {
        UINT vk;
        int nExpected;
    };
    for (Case c : {Case{VK_PRIOR, 10}, Case{VK_NEXT, 50}, Case{VK_HOME, 0}, Case{VK_END, 100},
                   Case{VK_LEFT, 29}, Case{VK_UP, 29}, Case{VK_RIGHT, 31}, Case{VK_DOWN, 31}})
    {
        h().SetPos(30);
        h().SendMessage(WM_KEYDOWN, c.vk, 1);
        EXPECT_EQ(Notices(), (std::vector<SliderNotice>{{kMoved, kId, c.nExpected}})) << "key " << c.vk;
    }
    // At the end the position stays, and each key is still reported.
    h().SetPos(100);
    h().SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
    h().SendMessage(WM_KEYDOWN, VK_NEXT, 1);
    EXPECT_EQ(Notices(), (std::vector<SliderNotice>{{kMoved, kId, 100}, {kMoved, kId, 100}}));
    // Other keys pass.
    h().SendMessage(WM_KEYDOWN, VK_SPACE, 1);
    h().SendMessage(WM_KEYDOWN, 'A', 1);
    EXPECT_TRUE(Notices().empty());
}

TEST_F(Slider, ADisabledSliderIgnoresInputAndDrawsTheNormalChannel)
{
    EXPECT_TRUE(Near(Print(h()).Pixel(20, 7), kTeal)) << "active channel before the thumb";
    EXPECT_TRUE(Near(Print(h()).Pixel(80, 7), kGrey)) << "normal channel after it";

    h().EnableSlider(FALSE);
    Mouse(h(), WM_LBUTTONDOWN, 100);
    Mouse(h(), WM_MOUSEMOVE, 110);
    Mouse(h(), WM_LBUTTONUP, 110);
    h().SendMessage(WM_KEYDOWN, VK_END, 1);
    EXPECT_TRUE(Notices().empty());
    EXPECT_EQ(h().GetPos(), 30);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(Near(Print(h()).Pixel(20, 7), kGrey));

    // Disabling in the middle of a drag ends it: the release reports nothing.
    h().EnableSlider(TRUE);
    Mouse(h(), WM_LBUTTONDOWN, 39);
    h().EnableSlider(FALSE);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_FALSE(h().m_bLButtonDown);
    Mouse(h(), WM_LBUTTONUP, 39);
    EXPECT_TRUE(Notices().empty());
}

TEST_F(Slider, DrawsThroughMasksAndAFocusRectangle)
{
    MemoryCanvas canvas = Print(h());
    for (int x = 0; x < canvas.cx; ++x)
        for (int y : {0, 8, 15})
            ASSERT_FALSE(Near(canvas.Pixel(x, y), SliderSample::kMagenta, 8))
                << "key colour at " << x << "," << y;
    EXPECT_TRUE(Near(canvas.Pixel(39, 8), kNavy)) << "thumb on its pixel";
    EXPECT_TRUE(Near(canvas.Pixel(60, 2), kWhite)) << "the target's background around the track";

    // An opaque thumb shows its key colour corners.
    ASSERT_TRUE(h().LoadThumbBitmaps(IDB_SLIDER_KNOB));
    EXPECT_TRUE(Near(Print(h()).Pixel(33, 0), SliderSample::kMagenta));

    h().SendMessage(WM_SETFOCUS);
    EXPECT_TRUE(h().m_bFocus);
    MemoryCanvas focused = Print(h());
    EXPECT_FALSE(Near(focused.Pixel(110, 0), kWhite) && Near(focused.Pixel(111, 0), kWhite))
        << "dotted frame";
    h().SendMessage(WM_KILLFOCUS);
    EXPECT_FALSE(h().m_bFocus);

    // Vertical: the active part above the thumb centre (pixel 31 at 30).
    MemoryCanvas v = Print(dlg.m_sliderV);
    EXPECT_TRUE(Near(v.Pixel(7, 3), kTeal));
    EXPECT_TRUE(Near(v.Pixel(7, 80), kGrey));
    EXPECT_TRUE(Near(v.Pixel(4, 31), kNavy));
}

TEST_F(Slider, BitmapLoadsThatFailKeepWhatWasThere)
{
    EXPECT_FALSE(h().LoadChannelBitmaps(31999, TRUE));
    EXPECT_FALSE(h().LoadChannelBitmaps(IDB_SLIDER_TRACK, TRUE, 31999));
    EXPECT_TRUE(h().m_bChannel && h().m_bChannelActive);
    EXPECT_EQ(h().m_sizeChannel.cx, 120);
    EXPECT_FALSE(h().LoadThumbBitmaps(IDB_SLIDER_KNOB, 31999, TRUE));
    EXPECT_TRUE(h().m_bThumb && h().m_bThumbActive);

    EXPECT_TRUE(h().LoadThumbBitmaps(0));
    EXPECT_FALSE(h().m_bThumb);
    EXPECT_TRUE(h().LoadChannelBitmaps(0, FALSE));
    EXPECT_FALSE(h().m_bChannel);
    Print(h()); // nothing to draw

    // Without sizing, the control keeps its size and the channel is stretched over it.
    h().MoveWindow(16, 50, 60, 16);
    ASSERT_TRUE(h().LoadChannelBitmaps(IDB_SLIDER_TRACK, FALSE, 0, TRUE, SliderSample::kMagenta));
    RECT r;
    h().GetClientRect(&r);
    EXPECT_EQ(r.right, 60);
    MemoryCanvas canvas = Print(h());
    EXPECT_TRUE(Near(canvas.Pixel(2, 7), kGrey));
    EXPECT_TRUE(Near(canvas.Pixel(57, 7), kGrey));
}

TEST_F(Slider, SamplePagePicture)
{
    MemoryCanvas canvas(SliderSample::kWidth, SliderSample::kHeight);
    dlg.Render(canvas.hDC);
    EXPECT_TRUE(Near(canvas.Pixel(120, 10), kNavy)) << "title";
    EXPECT_TRUE(Near(canvas.Pixel(16 + 39, 50 + 8), kNavy)) << "horizontal thumb";
    EXPECT_TRUE(SaveBitmapFile(canvas.hDC, canvas.hBitmap, canvas.cx, canvas.cy, QUILLON_SCREENSHOT));
}
