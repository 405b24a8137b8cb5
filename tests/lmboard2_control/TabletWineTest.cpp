// The board's pen tablet under Wine against the Wintab32.dll stand-in: the driver checks with
// signed driver files, the context the board opens, and scripted packets drawing strokes whose
// width follows the pressure.
#include <gtest/gtest.h>

#include "lmboard2/boardmsg/BoardMessage.h"
#include "lmboard2/control/LMView.h"
#include "tests/lmboard2_control/wintab/WintabStandIn.h"
#include "tests/lmboard2_view/BoardViewFakes.h"

namespace
{
// The view's events as the portable tests record them, with the bytes sent, the tools the board
// chose and the windows a pen press selected.
class CTabletEvents : public CRecordedEvents
{
public:
    std::vector<std::vector<uint8_t>> sent;
    std::vector<int> drawModes;
    std::vector<intptr_t> selected;
    void SendData(const uint8_t* p, size_t n) override { sent.emplace_back(p, p + n); }
    void ResultDrawMode(int nMode) override { drawModes.push_back(nMode); }
    void TabletSelectButton(intptr_t hWnd) override { selected.push_back(hWnd); }

    // (record type, pen width) of each drawing record sent: the width follows the type byte,
    // the translucency flag and the colour.
    std::vector<std::pair<int, int>> Strokes() const
    {
        std::vector<std::pair<int, int>> out;
        for (const auto& m : sent)
            if (m[0] == BMSG_RECORD) out.emplace_back(m[kBoardMsgHeaderSize + 2], m[kBoardMsgHeaderSize + 8]);
        return out;
    }
};

const std::filesystem::path kDrivers = TABLET_DRIVERS;

WT_BOARD_PACKET Pen(DWORD dwButtons, LONG x, LONG y, UINT nPressure, int nAltitude = 900)
{
    return WT_BOARD_PACKET{dwButtons, x, y, nPressure, {0, nAltitude, 0}};
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class BoardTablet : public testing::Test
{
protected:
    void SetUp() override
    {
        m_hParent = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600,
                                    nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hParent, nullptr);
        ASSERT_TRUE(view.Create(m_hParent, RECT{0, 0, 800, 600}));
        view.SetConfCode(u"h30tablet");
        ASSERT_TRUE(view.SetZoomValue(100, false, true));
        view.SetLock(false);
        view.SetDrawMode(DRAW_PEN);
        view.SetLineThick(5);
        PumpMessages();
        events.sent.clear();
    }
    void TearDown() override
    {
        view.Destroy();
        DestroyWindow(m_hParent);
    }
    // The stand-in loaded by the board's own LoadLibrary call.
    template <class F> F StandIn(const char* name)
    {
        HMODULE h = GetModuleHandleW(L"Wintab32.dll");
        return h ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(h, name))) : nullptr;
    }
    void Play(std::initializer_list<WT_BOARD_PACKET> packets)
    {
        auto play = StandIn<PFN_StandInPlay>("StandInPlay");
        ASSERT_NE(play, nullptr);
        std::vector<WT_BOARD_PACKET> v(packets);
        ASSERT_TRUE(play(v.data(), static_cast<UINT>(v.size())));
        PumpMessages();
    }

    CTabletEvents events;
    CLMView view{events};
    HWND m_hParent = nullptr;
};
} // namespace

TEST_F(BoardTablet, StandInPacketsDrawStrokesWithPressureWidths)
{
    ASSERT_TRUE(view.StartTablet(kDrivers / L"accepted"));
    ASSERT_NE(view.Tablet(), nullptr);
    EXPECT_EQ(view.Tablet()->DeviceName(), kStandInDeviceName);

    WT_LOGCONTEXTA lc{};
    ASSERT_TRUE(StandIn<PFN_StandInContext>("StandInContext")(&lc));
    EXPECT_EQ(lc.lcPktData, 0x15C0u);
    EXPECT_EQ(lc.lcMoveMask, 0x15C0u);
    EXPECT_EQ(lc.lcPktMode, 0u);
    EXPECT_TRUE(lc.lcOptions & kCxoMessages);
    EXPECT_EQ(lc.lcInExtX, kStandInAxisMax);
    // The pen's points are the view's client pixels, y downwards.
    RECT client;
    GetClientRect(view.Hwnd(), &client);
    EXPECT_EQ(lc.lcOutExtX, client.right + view.TopMargin());
    EXPECT_EQ(lc.lcOutExtY, -client.bottom);

    // Pressure 850 on width 5 draws with 7; the next stroke starts again from 5.
    Play({Pen(0, 100, 100, 0), Pen(1, 100, 100, 850), Pen(1, 200, 100, 850), Pen(1, 300, 100, 850),
          Pen(0, 300, 100, 0)});
    EXPECT_EQ(view.LineThick(), 5);
    Play({Pen(1, 100, 300, 100), Pen(1, 300, 300, 100), Pen(0, 300, 300, 0)});
    std::vector<std::pair<int, int>> want{{REC_PEN, 7}, {REC_PEN, 5}};
    EXPECT_EQ(events.Strokes(), want);
    EXPECT_EQ(events.drawModes, (std::vector<int>{DRAW_PEN, DRAW_PEN}));

    // The stroke is in the drawing, three pixels either side of its middle.
    const COLORREF kWhite = RGB(255, 255, 255);
    EXPECT_NE(view.DrawingBitmap().Pixel(200, 100), kWhite);
    EXPECT_NE(view.DrawingBitmap().Pixel(200, 102), kWhite);
    EXPECT_EQ(view.DrawingBitmap().Pixel(200, 110), kWhite);

    // The pen turned over erases.
    events.sent.clear();
    Play({Pen(1, 150, 100, 600, -900), Pen(1, 160, 100, 600, -900), Pen(0, 160, 100, 0, -900)});
    EXPECT_EQ(view.DrawMode(), DRAW_ERASER);
    EXPECT_EQ(events.Strokes().front().first, REC_ERASER);
}

TEST_F(BoardTablet, PressOverAnotherWindowSelectsIt)
{
    ASSERT_TRUE(view.StartTablet(kDrivers / L"accepted"));
    HWND hOver = CreateWindowExW(WS_EX_TOPMOST, L"BUTTON", L"", WS_POPUP | WS_VISIBLE, 400, 400, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hOver, nullptr);
    PumpMessages();
    Play({Pen(0, 450, 450, 0), Pen(1, 450, 450, 900), Pen(0, 450, 450, 0)});
    DestroyWindow(hOver);
    EXPECT_EQ(events.selected, std::vector<intptr_t>{reinterpret_cast<intptr_t>(hOver)});
    EXPECT_TRUE(events.Strokes().empty());
}

TEST_F(BoardTablet, DriverSignedByAnotherMakerIsNotUsedAndTheMouseStillDraws)
{
    EXPECT_FALSE(view.StartTablet(kDrivers / L"other"));
    EXPECT_EQ(view.Tablet(), nullptr);
    SendMessageW(view.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    SendMessageW(view.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 100));
    SendMessageW(view.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(200, 100));
    EXPECT_EQ(events.Strokes(), (std::vector<std::pair<int, int>>{{REC_PEN, 5}}));
}

TEST(TabletDriverFiles, SignerNameComesFromTheEmbeddedSignature)
{
    EXPECT_NE(FileSignerName(kDrivers / L"accepted" / L"Pen_Touch_Tablet.dll").find(L"Wacom"),
              std::wstring::npos);
    EXPECT_EQ(FileSignerName(kDrivers / L"other" / L"Pen_Touch_Tablet.dll"), L"Other Pen Maker");
    EXPECT_EQ(FileSignerName(kDrivers / L"other" / L"Pen_Tablet.dll"), L"") << "not signed";
}
