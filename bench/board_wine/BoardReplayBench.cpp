// Times the board's two drawing roads under Wine with 10,000 mixed records (pen strokes,
// figures, segments, texts, eraser squares, stamps): inbound messages read one by one into
// the current page (page file and drawing bitmap), then the replay of that page from its file
// into the drawing bitmap, antialiased and plain; beside the same strokes drawn with plain GDI
// calls into a bitmap of the page's size, in alternating rounds. Prints medians and ratios.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "lmboard2/boardmsg/BoardMessage.h"
#include "lmboard2/control/LMView.h"
#include "tests/lmboard2_control/BoardTestKit.h"

namespace
{
constexpr int kRecords = 10000;
constexpr int kRounds = 7;

// One stroke as both roads draw it.
struct Stroke
{
    uint8_t byType = 0;
    uint8_t byKind = 0; // figures: the draw mode
    COLORREF colour = 0;
    uint8_t byWidth = 1;
    std::vector<POINT> pts;
    std::u16string text;
};

constexpr LONG kTextHeight = -24;

std::vector<uint8_t> RecordOf(const Stroke& s)
{
    RecordBytes r(s.byType);
    auto pen = [&] { r.Pen(0, s.colour, s.byWidth); };
    auto points = [&]
    {
        for (const POINT& p : s.pts)
            r.U16(static_cast<uint16_t>(p.x)).U16(static_cast<uint16_t>(p.y));
    };
    switch (s.byType)
    {
    case REC_PEN:
    case REC_SEGMENTS:
        pen();
        points();
        break;
    case REC_SHAPE:
        pen();
        r.U8(s.byKind);
        points();
        break;
    case REC_TEXT:
    {
        r.U32(s.colour);
        points();
        r.U32(static_cast<uint32_t>(kTextHeight)).U32(0).U32(0).U32(0).U32(FW_NORMAL);
        for (int i = 0; i < 8; ++i)
            r.U8(0);
        const char16_t face[32] = u"Arial";
        for (char16_t ch : face)
            r.U16(ch);
        for (char16_t ch : s.text)
            r.U16(ch);
        r.U16(0);
        break;
    }
    default: // eraser and stamp: one point
        points();
        break;
    }
    return r.Done();
}

// 10,000 strokes over the page: 40% pen, 25% figures, 10% segments, 10% text, 10% eraser, 5% stamp.
std::vector<Stroke> MakeStrokes(int cx, int cy)
{
    std::mt19937 rng(29);
    auto x = [&] { return static_cast<LONG>(rng() % static_cast<unsigned>(cx - 300)); };
    auto y = [&] { return static_cast<LONG>(rng() % static_cast<unsigned>(cy - 200)); };
    std::vector<Stroke> strokes(kRecords);
    for (int i = 0; i < kRecords; ++i)
    {
        Stroke& s = strokes[i];
        s.colour = RGB(rng() % 256, rng() % 256, rng() % 256);
        s.byWidth = static_cast<uint8_t>(1 + rng() % 10);
        const int nKind = i % 20;
        LONG x0 = x(), y0 = y();
        if (nKind < 8)
        {
            s.byType = REC_PEN;
            for (int k = 0; k < 8; ++k)
                s.pts.push_back({x0 + k * 25, y0 + static_cast<LONG>(rng() % 120)});
        }
        else if (nKind < 13)
        {
            static const uint8_t kinds[] = {DRAW_RECT, DRAW_ELLIPSE, DRAW_TRIANGLE, DRAW_FILL_RECT,
                                            DRAW_FILL_ELLIPSE};
            s.byType = REC_SHAPE;
            s.byKind = kinds[nKind - 8];
            s.pts = {{x0, y0},
                     {x0 + 40 + static_cast<LONG>(rng() % 200), y0 + 30 + static_cast<LONG>(rng() % 150)}};
        }
        else if (nKind < 15)
        {
            s.byType = REC_SEGMENTS;
            s.pts = {{x0, y0}, {x0 + 200, y0}, {x0, y0 + 40}, {x0 + 200, y0 + 60}};
        }
        else if (nKind < 17)
        {
            s.byType = REC_TEXT;
            s.byWidth = 1;
            s.pts = {{x0, y0}, {x0 + 280, y0 + 60}};
            s.text = u"Board text " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
        }
        else if (nKind < 19)
        {
            s.byType = REC_ERASER;
            s.pts = {{x0, y0}};
        }
        else
        {
            s.byType = REC_STAMP;
            s.pts = {{x0, y0}};
        }
    }
    return strokes;
}

// The same strokes with plain GDI calls: a pen or brush made per stroke, as the board makes them.
class CRawGdi
{
public:
    explicit CRawGdi(HDC hdc) : m_hdc(hdc)
    {
        m_stamp.Make(32, 32);
        PatBlt(m_stamp.Dc(), 0, 0, 32, 32, BLACKNESS);
    }
    void Draw(const Stroke& s)
    {
        HPEN hPen = CreatePen(PS_SOLID, s.byWidth, s.colour);
        HGDIOBJ hOldPen = SelectObject(m_hdc, hPen);
        const bool bFill = s.byKind == DRAW_FILL_RECT || s.byKind == DRAW_FILL_ELLIPSE;
        HBRUSH hBrush = bFill ? CreateSolidBrush(s.colour) : nullptr;
        HGDIOBJ hOldBrush =
            SelectObject(m_hdc, hBrush ? static_cast<HGDIOBJ>(hBrush) : GetStockObject(NULL_BRUSH));
        const POINT* p = s.pts.data();
        switch (s.byType)
        {
        case REC_PEN:
            Polyline(m_hdc, p, static_cast<int>(s.pts.size()));
            break;
        case REC_SEGMENTS:
            for (size_t i = 0; i + 1 < s.pts.size(); i += 2)
                Polyline(m_hdc, p + i, 2);
            break;
        case REC_SHAPE:
            if (s.byKind == DRAW_RECT || s.byKind == DRAW_FILL_RECT)
                Rectangle(m_hdc, p[0].x, p[0].y, p[1].x, p[1].y);
            else if (s.byKind == DRAW_TRIANGLE)
            {
                POINT tri[3] = {{(p[0].x + p[1].x) / 2, p[0].y}, {p[1].x, p[1].y}, {p[0].x, p[1].y}};
                Polygon(m_hdc, tri, 3);
            }
            else
                Ellipse(m_hdc, p[0].x, p[0].y, p[1].x, p[1].y);
            break;
        case REC_TEXT:
        {
            LOGFONTW lf{};
            lf.lfHeight = kTextHeight;
            lf.lfWeight = FW_NORMAL;
            wcscpy(lf.lfFaceName, L"Arial");
            HFONT hFont = CreateFontIndirectW(&lf);
            HGDIOBJ hOldFont = SelectObject(m_hdc, hFont);
            SetTextColor(m_hdc, s.colour);
            SetBkMode(m_hdc, TRANSPARENT);
            RECT rc{p[0].x, p[0].y, p[1].x, p[1].y};
            std::wstring w(s.text.begin(), s.text.end());
            DrawTextW(m_hdc, w.c_str(), static_cast<int>(w.size()), &rc, DT_LEFT | DT_WORDBREAK);
            SelectObject(m_hdc, hOldFont);
            DeleteObject(hFont);
            break;
        }
        case REC_ERASER:
        {
            RECT rc{p[0].x - kEraserMargin, p[0].y - kEraserMargin, p[0].x - kEraserMargin + kEraserSize,
                    p[0].y - kEraserMargin + kEraserSize};
            FillRect(m_hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            break;
        }
        default:
            BitBlt(m_hdc, p[0].x, p[0].y, 32, 32, m_stamp.Dc(), 0, 0, SRCAND);
            break;
        }
        SelectObject(m_hdc, hOldBrush);
        SelectObject(m_hdc, hOldPen);
        if (hBrush) DeleteObject(hBrush);
        DeleteObject(hPen);
    }

private:
    HDC m_hdc;
    CSurfaceBitmap m_stamp;
};

double Ms(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}
} // namespace

int main()
{
    const std::filesystem::path temp = std::filesystem::temp_directory_path() / "quillon-board-bench";
    std::error_code ec;
    std::filesystem::remove_all(temp, ec);
    std::filesystem::create_directories(temp, ec);
    HWND hParent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 800, nullptr,
                                   nullptr, nullptr, nullptr);
    CQuietBoardEvents events; // its own sent messages name the page
    auto view = std::make_unique<CLMView>(events, temp);
    if (!view->Create(hParent, RECT{0, 0, 1000, 800})) return 1;
    view->SetConfCode(u"bench");
    view->SetZoomValue(100, false, true);
    view->SetLock(false);
    view->SetDrawMode(DRAW_PEN);

    // One local stroke makes the page; its record message names it.
    HWND hView = view->Hwnd();
    SendMessageW(hView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(hView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 20));
    SendMessageW(hView, WM_LBUTTONUP, 0, MAKELPARAM(40, 20));
    std::u16string page;
    for (const std::vector<uint8_t>& m : events.sent)
        if (std::optional<BoardMessageView> v = ReadBoardMessage(m.data(), m.size());
            v && v->hdr.byCode == BMSG_RECORD)
            page = v->SafeName().value_or(u"");
    if (page.empty()) return 2;

    const int cx = view->DrawingBitmap().Width(), cy = view->DrawingBitmap().Height();
    const std::vector<Stroke> strokes = MakeStrokes(cx, cy);
    std::vector<std::vector<uint8_t>> messages;
    for (const Stroke& s : strokes)
    {
        CBoardMessage msg(BMSG_RECORD, page);
        std::vector<uint8_t> rec = RecordOf(s);
        msg.AppendBytes(rec.data(), rec.size());
        if (std::optional<std::vector<uint8_t>> bytes = msg.Finish()) messages.push_back(std::move(*bytes));
    }

    // Inbound: every message read into the current page (page file and drawing bitmap), then one paint.
    auto t0 = std::chrono::steady_clock::now();
    int nDrawn = 0;
    for (const std::vector<uint8_t>& m : messages)
        nDrawn += view->Read(m.data(), m.size()) > 0;
    UpdateWindow(hView);
    const double dInbound = Ms(t0);

    CSurfaceBitmap raw;
    raw.Make(cx, cy);
    CRawGdi gdi(raw.Dc());
    std::vector<double> replayAa, replayPlain, rawGdi;
    for (int round = 0; round < kRounds; ++round)
    {
        for (bool bAa : {true, false})
        {
            view->SetAntialiased(bAa);
            t0 = std::chrono::steady_clock::now();
            view->SelectPage(0, false);
            (bAa ? replayAa : replayPlain).push_back(Ms(t0));
        }
        t0 = std::chrono::steady_clock::now();
        PatBlt(raw.Dc(), 0, 0, cx, cy, WHITENESS);
        for (const Stroke& s : strokes)
            gdi.Draw(s);
        GdiFlush();
        rawGdi.push_back(Ms(t0));
        Pump();
    }
    // The inbound road's raw cost: the same strokes once, as they came.
    t0 = std::chrono::steady_clock::now();
    for (const Stroke& s : strokes)
        gdi.Draw(s);
    GdiFlush();
    const double dRawOnce = Ms(t0);

    // Where the raw cost goes: each kind of stroke alone.
    struct Kind
    {
        const char* pszName;
        uint8_t byType;
        double dMs = 0;
        int n = 0;
    } kinds[] = {{"pen", REC_PEN},   {"figures", REC_SHAPE}, {"segments", REC_SEGMENTS},
                 {"text", REC_TEXT}, {"eraser", REC_ERASER}, {"stamp", REC_STAMP}};
    for (Kind& k : kinds)
    {
        t0 = std::chrono::steady_clock::now();
        for (const Stroke& s : strokes)
            if (s.byType == k.byType)
            {
                gdi.Draw(s);
                ++k.n;
            }
        GdiFlush();
        k.dMs = Ms(t0);
    }
    const double dRaw = Median(rawGdi);
    std::printf("records %d (drawn inbound %d), page %dx%d, rounds %d\n", kRecords, nDrawn, cx, cy, kRounds);
    std::printf("inbound: %.1f ms, %.0f records/s (raw GDI once %.1f ms, ratio %.2fx)\n", dInbound,
                kRecords / (dInbound / 1000.0), dRawOnce, dInbound / dRawOnce);
    std::printf("replay antialiased: %.1f ms (ratio %.2fx)\n", Median(replayAa), Median(replayAa) / dRaw);
    std::printf("replay plain GDI:   %.1f ms (ratio %.2fx)\n", Median(replayPlain),
                Median(replayPlain) / dRaw);
    std::printf("raw GDI:            %.1f ms\n", dRaw);
    for (const Kind& k : kinds)
        std::printf("  raw %-8s %5d strokes %7.1f ms\n", k.pszName, k.n, k.dMs);

    view->Destroy();
    view.reset();
    DestroyWindow(hParent);
    std::filesystem::remove_all(temp, ec);
    return 0;
}
