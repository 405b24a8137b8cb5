// The board view in this process: every record type drawn into the drawing bitmap (sampled
// pixels, antialiased and plain), and mouse input in each draw mode giving the right records.
#include <gtest/gtest.h>

#include <map>

#include "lmboard2/boardmsg/BoardMessage.h"
#include "lmboard2/control/BoardCursors.h"
#include "lmboard2/control/ClipSources.h"
#include "lmboard2/control/LMView.h"
#include "lmboard2/gif/BmpFile.h"
#include "tests/lmboard2_control/BoardTestKit.h"

#include <objidl.h> // gdiplus.h needs PROPID, which a lean windows.h leaves out
#include <gdiplus.h>

#include <fstream>
#include <iterator>

namespace
{
class CEventLog : public CQuietBoardEvents
{
public:
    std::vector<std::pair<int, std::u16string>> ebookLines;
    void AddEbook(int nKind, int, const std::u16string& text) override
    {
        ebookLines.emplace_back(nKind, text);
    }
    std::u16string pageText = u"page 2";
    std::vector<int> pageAsked;
    std::u16string GetCurrentEBookPage(int nIndex) override
    {
        pageAsked.push_back(nIndex);
        return pageText;
    }

    // The record types of the code-60 messages sent, and the shape kinds of 171s.
    std::vector<int> RecordTypes() const
    {
        std::vector<int> types;
        for (const auto& m : sent)
            if (m[0] == BMSG_RECORD) types.push_back(m[kBoardMsgHeaderSize + 2]);
        return types;
    }
};

bool IsNear(COLORREF c, COLORREF want, int nTolerance = 40)
{
    return abs(GetRValue(c) - GetRValue(want)) <= nTolerance &&
           abs(GetGValue(c) - GetGValue(want)) <= nTolerance &&
           abs(GetBValue(c) - GetBValue(want)) <= nTolerance;
}

constexpr COLORREF kWhite = RGB(255, 255, 255);

class BoardDraw : public testing::TestWithParam<bool>
{
protected:
    CEventLog events;
    CLMView view{events};
    void SetUp() override { view.SetAntialiased(GetParam()); }
    void Draw(std::vector<uint8_t> rec) { view.DrawRecord(rec.data(), rec.size()); }
    COLORREF At(int x, int y) { return view.DrawingBitmap().Pixel(x, y); }
};

TEST_P(BoardDraw, EveryRecordTypeReachesTheDrawingBitmap)
{
    Draw(RecordBytes(REC_PEN)
             .Pen(0, RGB(255, 0, 0), 5)
             .U16(100)
             .U16(100)
             .U16(200)
             .U16(100)
             .U16(200)
             .U16(160)
             .Done());
    EXPECT_TRUE(IsNear(At(150, 100), RGB(255, 0, 0))) << std::hex << At(150, 100);
    EXPECT_TRUE(IsNear(At(200, 130), RGB(255, 0, 0))) << "the second segment";
    EXPECT_EQ(At(150, 110), kWhite);

    Draw(RecordBytes(REC_SHAPE)
             .Pen(0, RGB(0, 0, 255), 3)
             .U8(DRAW_FILL_RECT)
             .U16(300)
             .U16(300)
             .U16(400)
             .U16(400)
             .Done());
    EXPECT_TRUE(IsNear(At(350, 350), RGB(0, 0, 255))) << std::hex << At(350, 350);
    Draw(RecordBytes(REC_SHAPE)
             .Pen(0, RGB(0, 160, 0), 4)
             .U8(DRAW_ELLIPSE)
             .U16(500)
             .U16(100)
             .U16(700)
             .U16(300)
             .Done());
    EXPECT_EQ(At(600, 200), kWhite) << "an outline ellipse is hollow";
    EXPECT_TRUE(IsNear(At(500, 200), RGB(0, 130, 0), 60)) << std::hex << At(500, 200);
    Draw(RecordBytes(REC_SHAPE)
             .Pen(0, RGB(20, 20, 20), 3)
             .U8(DRAW_FILL_TRIANGLE)
             .U16(800)
             .U16(100)
             .U16(1000)
             .U16(300)
             .Done());
    EXPECT_TRUE(IsNear(At(900, 250), RGB(20, 20, 20))) << "inside the triangle";
    EXPECT_EQ(At(810, 110), kWhite) << "beside the apex";

    std::vector<uint8_t> segments =
        RecordBytes(REC_SEGMENTS).Pen(0, RGB(255, 0, 255), 4).U16(100).U16(500).U16(300).U16(500).Done();
    Draw(segments);
    EXPECT_TRUE(IsNear(At(200, 500), RGB(255, 0, 255))) << std::hex << At(200, 500);

    RecordBytes text(REC_TEXT);
    text.U32(RGB(0, 0, 0)).U16(600).U16(600).U16(900).U16(700);
    text.U32(static_cast<uint32_t>(-60))
        .U32(0)
        .U32(0)
        .U32(0)
        .U32(FW_BOLD)
        .U8(0)
        .U8(0)
        .U8(0)
        .U8(0)
        .U8(0)
        .U8(0)
        .U8(0)
        .U8(0);
    const char16_t face[32] = u"Arial";
    for (char16_t ch : face)
        text.U16(ch);
    for (char16_t ch : std::u16string(u"MMMM"))
        text.U16(ch);
    Draw(text.U16(0).Done());
    int nDark = 0;
    for (int y = 600; y < 680; y += 2)
        for (int x = 600; x < 800; x += 2)
            nDark += GetRValue(At(x, y)) < 100;
    EXPECT_GT(nDark, 20) << "the text's strokes";

    Draw(RecordBytes(REC_STAMP).U16(1000).U16(600).Done());
    int nStamp = 0;
    for (int y = 600; y < 632; y++)
        for (int x = 1000; x < 1032; x++)
            nStamp += At(x, y) != kWhite;
    EXPECT_GT(nStamp, 50);

    Draw(RecordBytes(REC_ERASER).U16(130).U16(80).Done());
    EXPECT_EQ(At(150, 100), kWhite) << "the eraser restores the background";
    EXPECT_TRUE(IsNear(At(190, 100), RGB(255, 0, 0))) << "outside its 55-pixel square";

    Draw(RecordBytes(REC_CLEAR).Done());
    for (auto [x, y] : {std::pair{350, 350}, std::pair{200, 500}, std::pair{900, 250}})
        EXPECT_EQ(At(x, y), kWhite) << x << "," << y;
}

TEST_P(BoardDraw, MalformedRecordsDrawNothing)
{
    std::vector<uint8_t> pen =
        RecordBytes(REC_PEN).Pen(0, RGB(255, 0, 0), 5).U16(10).U16(10).U16(60).U16(10).Done();
    std::vector<uint8_t> cut(pen.begin(), pen.end() - 3);
    Draw(cut);
    std::vector<uint8_t> lengthOne = {1, 0, REC_PEN};
    Draw(lengthOne);
    EXPECT_EQ(At(30, 10), kWhite);
}

INSTANTIATE_TEST_SUITE_P(Painters, BoardDraw, testing::Values(true, false),
                         [](const testing::TestParamInfo<bool>& i)
                         { return i.param ? "Antialiased" : "Plain"; });

// The view in a window: the left button in each draw mode makes its record; a locked board
// makes none.
class BoardInputWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        m_hParent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1600, 1200, nullptr, nullptr, nullptr,
                                    nullptr);
        ASSERT_NE(m_hParent, nullptr);
        ASSERT_TRUE(view.Create(m_hParent, RECT{0, 0, 1200, 1000}));
        view.SetConfCode(u"h29input");
        ASSERT_TRUE(view.SetZoomValue(100, false, true));
        view.SetLock(false);
        events.sent.clear();
    }
    void TearDown() override
    {
        view.Destroy();
        DestroyWindow(m_hParent);
    }
    void Drag(int nMode, POINT a, POINT b, WPARAM keys = 0)
    {
        view.SetDrawMode(nMode);
        SendMessageW(view.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(a.x, a.y));
        SendMessageW(view.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON | keys,
                     MAKELPARAM((a.x + b.x) / 2, (a.y + b.y) / 2));
        SendMessageW(view.Hwnd(), WM_MOUSEMOVE, MK_LBUTTON | keys, MAKELPARAM(b.x, b.y));
        SendMessageW(view.Hwnd(), WM_LBUTTONUP, keys, MAKELPARAM(b.x, b.y));
    }

    CEventLog events;
    CLMView view{events};
    HWND m_hParent = nullptr;
};

TEST_F(BoardInputWindow, EachDrawModeSendsItsRecord)
{
    const std::map<int, int> expected = {{0, REC_PEN},    {1, REC_PEN},    {2, REC_ERASER}, {4, REC_POINTER},
                                         {5, REC_STAMP},  {7, REC_SHAPE},  {8, REC_SHAPE},  {9, REC_SHAPE},
                                         {10, REC_SHAPE}, {11, REC_SHAPE}, {12, REC_SHAPE}, {13, REC_PEN}};
    for (auto [nMode, nType] : expected)
    {
        events.sent.clear();
        Drag(nMode, {100, 100}, {300, 220});
        ASSERT_EQ(events.RecordTypes(), std::vector<int>{nType}) << "mode " << nMode;
        if (nType == REC_SHAPE)
        {
            EXPECT_EQ(events.sent[0][kBoardMsgHeaderSize + 9], nMode);
        }
    }
    // The pen's stroke is in the drawing at page coordinates (zoom 100, page at the top-left).
    EXPECT_NE(view.DrawingBitmap().Pixel(200, 160), kWhite);
}

TEST(BoardCursors, EachDrawModeShowsItsCursor)
{
    // The control's cursors are in this test's own module, as in the control's.
    auto own = [](int nId) { return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nId)); };
    const HCURSOR hCross = LoadCursorW(nullptr, IDC_CROSS);
    struct Row
    {
        int nMode;
        bool bDragging;
        HCURSOR hWant;
    };
    const Row rows[] = {{DRAW_PEN, false, own(221)},          {DRAW_RECT, false, own(221)},
                        {DRAW_FILL_TRIANGLE, true, own(221)}, {DRAW_TEXT, false, own(224)},
                        {DRAW_POINTER, false, own(220)},      {DRAW_STAMP, false, own(227)},
                        {DRAW_SCROLL, false, own(223)},       {DRAW_SCROLL, true, own(390)},
                        {DRAW_LINE, false, hCross},           {DRAW_STRAIGHT, true, hCross}};
    for (const Row& r : rows)
    {
        ASSERT_NE(r.hWant, nullptr) << r.nMode;
        EXPECT_EQ(CursorForMode(r.nMode, r.bDragging, 1.0), r.hWant) << r.nMode << " " << r.bDragging;
    }
    // The eraser's square is made once for a scale.
    HCURSOR hEraser = CursorForMode(DRAW_ERASER, false, 1.0);
    EXPECT_NE(hEraser, nullptr);
    EXPECT_EQ(CursorForMode(DRAW_ERASER, true, 1.0), hEraser);
}

TEST_F(BoardInputWindow, LockedBoardTakesNoDrawing)
{
    view.SetLock(true);
    for (int nMode : {0, 2, 5, 7})
        Drag(nMode, {100, 100}, {300, 220});
    EXPECT_TRUE(events.sent.empty());
}

// A GIF decoded by GDI+, as 0x00BBGGRR pixels from the top row down.
struct Decoded
{
    int cx = 0, cy = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * cx + x]; }
};
Decoded DecodeWithGdiPlus(const std::filesystem::path& path)
{
    Decoded d;
    if (!StartGdiPlus()) return d;
    Gdiplus::Bitmap bitmap(path.wstring().c_str());
    if (bitmap.GetLastStatus() != Gdiplus::Ok) return d;
    d.cx = static_cast<int>(bitmap.GetWidth());
    d.cy = static_cast<int>(bitmap.GetHeight());
    for (int y = 0; y < d.cy; ++y)
        for (int x = 0; x < d.cx; ++x)
        {
            Gdiplus::Color c;
            bitmap.GetPixel(x, y, &c);
            d.pixels.push_back(RGB(c.GetR(), c.GetG(), c.GetB()));
        }
    return d;
}

bool Near(COLORREF a, COLORREF b)
{
    return abs(GetRValue(a) - GetRValue(b)) + abs(GetGValue(a) - GetGValue(b)) +
               abs(GetBValue(a) - GetBValue(b)) <=
           48;
}

std::filesystem::path TempFile(const char* pszName)
{
    return std::filesystem::temp_directory_path() / pszName;
}

TEST_F(BoardInputWindow, SaveWritesTheDrawingAsGifOrBitmapFile)
{
    view.SetLineColor(RGB(200, 0, 0));
    view.SetLineThick(8);
    Drag(0, {100, 100}, {300, 220});
    const CSurfaceBitmap& drawing = view.DrawingBitmap();

    std::filesystem::path gif = TempFile("board-save.gif"), bmp = TempFile("board-save.bmp");
    ASSERT_TRUE(view.SavePage(gif, true));
    Decoded d = DecodeWithGdiPlus(gif);
    ASSERT_EQ(d.cx, drawing.Width());
    ASSERT_EQ(d.cy, drawing.Height());
    int nFar = 0;
    for (int y = 0; y < d.cy; y += 7)
        for (int x = 0; x < d.cx; x += 7)
            nFar += !Near(d.At(x, y), drawing.Pixel(x, y));
    EXPECT_EQ(nFar, 0);
    EXPECT_TRUE(Near(d.At(200, 160), RGB(200, 0, 0)));

    // The bitmap file holds the drawing exactly.
    ASSERT_TRUE(view.SavePage(bmp, false));
    std::ifstream in(bmp, std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    in.close();
    std::optional<S_PICTURE24> back = DecodeBmpFile(bytes.data(), bytes.size());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->bits, drawing.Picture24().bits);

    // LoadBmpFile turns it into a GIF and deletes it when asked.
    std::filesystem::remove(gif);
    EXPECT_EQ(LoadBmpFile(bmp, gif, true), 1);
    EXPECT_FALSE(std::filesystem::exists(bmp));
    EXPECT_EQ(DecodeWithGdiPlus(gif).cx, drawing.Width());
    EXPECT_EQ(LoadBmpFile(bmp, gif, false), 0); // gone
    std::filesystem::remove(gif);
}

TEST(BoardClipboard, BitmapAndMetafileBecomeGifs)
{
    HWND hOwner =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::filesystem::path gif = TempFile("board-clip.gif");

    // A bitmap: left half green, right half blue.
    HDC hScreen = GetDC(nullptr);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, 64, 40);
    HDC hdc = CreateCompatibleDC(hScreen);
    HGDIOBJ hOld = SelectObject(hdc, hBitmap);
    RECT left{0, 0, 32, 40}, right{32, 0, 64, 40};
    HBRUSH hGreen = CreateSolidBrush(RGB(0, 160, 0)), hBlue = CreateSolidBrush(RGB(0, 0, 220));
    FillRect(hdc, &left, hGreen);
    FillRect(hdc, &right, hBlue);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    ASSERT_TRUE(OpenClipboard(hOwner));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, hBitmap);
    CloseClipboard();
    ASSERT_EQ(SaveClipboard(hOwner, gif, 0, 0), 1);
    Decoded d = DecodeWithGdiPlus(gif);
    ASSERT_EQ(d.cx, 64);
    ASSERT_EQ(d.cy, 40);
    EXPECT_TRUE(Near(d.At(5, 5), RGB(0, 160, 0)));
    EXPECT_TRUE(Near(d.At(60, 35), RGB(0, 0, 220)));
    // The clipboard is emptied: nothing is left to save.
    EXPECT_EQ(SaveClipboard(hOwner, gif, 0, 0), 0);

    // A metafile with a blue rectangle: played on white, 30 pixels in, 60 larger than its frame.
    HDC hMeta = CreateEnhMetaFileW(hScreen, nullptr, nullptr, nullptr);
    FillRect(hMeta, &right, hBlue);
    HENHMETAFILE hEmf = CloseEnhMetaFile(hMeta);
    ENHMETAHEADER head{};
    GetEnhMetaFileHeader(hEmf, sizeof head, &head);
    MetafileCanvas c =
        MetafileCanvasFor(head.rclFrame.left, head.rclFrame.top, head.rclFrame.right, head.rclFrame.bottom,
                          GetDeviceCaps(hScreen, LOGPIXELSX), GetDeviceCaps(hScreen, LOGPIXELSY), 0, 0);
    ASSERT_TRUE(OpenClipboard(hOwner));
    EmptyClipboard();
    SetClipboardData(CF_ENHMETAFILE, hEmf);
    CloseClipboard();
    ASSERT_EQ(SaveClipboard(hOwner, gif, 0, 0), 1);
    d = DecodeWithGdiPlus(gif);
    EXPECT_EQ(d.cx, c.nWidth);
    EXPECT_EQ(d.cy, c.nHeight);
    EXPECT_TRUE(Near(d.At(2, 2), RGB(255, 255, 255)));
    EXPECT_TRUE(Near(d.At((c.left + c.right) / 2, (c.top + c.bottom) / 2), RGB(0, 0, 220)));

    ReleaseDC(nullptr, hScreen);
    DeleteObject(hGreen);
    DeleteObject(hBlue);
    DestroyWindow(hOwner);
    std::filesystem::remove(gif);
}

TEST_F(BoardInputWindow, EBookIndexFillsTheCombosAndSendsTheChosenPage)
{
    // The index beside the host program (this test program).
    wchar_t szExe[MAX_PATH];
    GetModuleFileNameW(nullptr, szExe, MAX_PATH);
    std::filesystem::path index = std::filesystem::path(szExe).parent_path() / L"ebook.txt";
    ASSERT_EQ(view.EBookIndexPath(), index);
    std::ofstream(index) << "; test books\n[phys]\ntitle=Physics\n1:Motion/phys\\p1.gif/3\n1/phys\\p2.gif/0\n"
                            "3/dropped/1\n[chem]\n1/c.gif/1\n";
    view.LoadEBook();
    std::filesystem::remove(index);
    using Lines = std::vector<std::pair<int, std::u16string>>;
    EXPECT_EQ(events.ebookLines, (Lines{{0, u"Physics"}, {0, u"chem"}}));

    events.ebookLines.clear();
    view.EBookSelectCombo(0, 0, u"Physics");
    view.EBookSelectCombo(1, 0, u"");
    view.EBookSelectCombo(2, 0, u"");
    EXPECT_EQ(
        events.ebookLines,
        (Lines{
            {1, u"Motion"}, {2, u"Motion"}, {2, u"step 2"}, {3, u"page 1"}, {3, u"page 2"}, {3, u"page 3"}}));
    EXPECT_EQ(view.EBookTitle(u"phys"), u"Physics");

    // The page combo's entry 1 reads "page 2": code 90 carries the whole selection.
    events.sent.clear();
    view.EBookSelectCombo(3, 1, u"");
    EXPECT_EQ(events.pageAsked, std::vector<int>{1});
    ASSERT_EQ(events.sent.size(), 1u);
    const std::vector<uint8_t>& m = events.sent[0];
    EXPECT_EQ(m[0], 90);
    EXPECT_EQ(S_BOARD_FILEHDR::Text(*reinterpret_cast<const char16_t(*)[32]>(m.data() + 8)), u"Physics");
    auto u32 = [&](size_t at) { return m[at] | (m[at + 1] << 8) | (m[at + 2] << 16) | (m[at + 3] << 24); };
    EXPECT_EQ(u32(72), 1);
    EXPECT_EQ(u32(76), 1);
    EXPECT_EQ(u32(80), 2);

    // An empty page text sends nothing; move kind 3 sends the last selection again.
    events.pageText.clear();
    events.sent.clear();
    view.EBookPageMove(0, 4);
    EXPECT_TRUE(events.sent.empty());
    view.EBookPageMove(3, 0);
    ASSERT_EQ(events.sent.size(), 1u);
    EXPECT_EQ(events.sent[0][80], 2);
}

TEST_F(BoardInputWindow, PrintedPageHasItsCaptionAndItsDrawingScaled)
{
    view.SetLineColor(RGB(0, 0, 200));
    view.SetLineThick(30);
    Drag(0, {100, 100}, {1500, 1100}); // across the whole 1600 x 1200 page
    CSurfaceBitmap paper;
    ASSERT_TRUE(paper.Make(800, 1000)); // a portrait printable area
    RECT all{0, 0, 800, 1000};
    FillRect(paper.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_FALSE(view.DrawPrintedPage(paper.Dc(), 5, 800, 1000)); // no such page
    ASSERT_TRUE(view.DrawPrintedPage(paper.Dc(), 0, 800, 1000));
    // The caption band (1000 / 16 high) holds the page's caption in black.
    int nInk = 0;
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 800; ++x)
            nInk += paper.Pixel(x, y) == RGB(0, 0, 0) || GetRValue(paper.Pixel(x, y)) < 100;
    EXPECT_GT(nInk, 20);
    // The page fills the width below it at 800 / 1600: the stroke's middle is at (400, 62 + 300).
    EXPECT_LT(GetRValue(paper.Pixel(400, 362)), 100);
    EXPECT_GT(GetBValue(paper.Pixel(400, 362)), 120);
    // Below the page (62 + 600) the paper stays white.
    EXPECT_EQ(paper.Pixel(400, 700), RGB(255, 255, 255));
}

TEST_F(BoardInputWindow, PreviewShowsThePageFittedOnWhite)
{
    EXPECT_FALSE(view.SetPreviewPage(0)); // no preview window yet
    view.SetLineColor(RGB(0, 0, 200));
    view.SetLineThick(40);
    Drag(0, {700, 500}, {900, 700}); // around the middle of the 1600 x 1200 page
    ASSERT_TRUE(view.CreatePreview(m_hParent, RECT{0, 0, 214, 312}));
    EXPECT_TRUE(view.SetPreviewPage(0));
    EXPECT_FALSE(view.SetPreviewPage(3));
    CSurfaceBitmap shot;
    ASSERT_TRUE(shot.Make(214, 312));
    SendMessageW(view.PreviewWindow(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.Dc()), PRF_CLIENT);
    // 200 x 150 inside the 7 x 6 border, centred: the page runs from y = 81 to 231, white
    // above and below, the stroke blue at its middle.
    EXPECT_EQ(shot.Pixel(107, 40), RGB(255, 255, 255));
    EXPECT_EQ(shot.Pixel(107, 280), RGB(255, 255, 255));
    EXPECT_GT(GetBValue(shot.Pixel(107, 156)), 120);
    EXPECT_LT(GetRValue(shot.Pixel(107, 156)), 100);
    EXPECT_TRUE(view.SetPreviewSize(100, 100));
}
} // namespace
