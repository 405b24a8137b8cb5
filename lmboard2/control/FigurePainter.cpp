// Figures in GDI+ (antialiased, alpha, round or flat caps) and in plain GDI.
#include "lmboard2/control/FigurePainter.h"

#include <objidl.h> // gdiplus.h needs PROPID, which a lean windows.h leaves out
#include <gdiplus.h>
#include <memory>
#include <mutex>
#include <string>

namespace
{
Gdiplus::Color ColorOf(uint32_t dwColor, uint8_t byAlpha)
{
    return Gdiplus::Color(byAlpha, GetRValue(dwColor), GetGValue(dwColor), GetBValue(dwColor));
}

// A plain GDI pen and brush selected for one figure, with the figure's raster operation.
class CPlainTools
{
public:
    CPlainTools(HDC hdc, const DrawStyle& style, bool bFill) : m_hdc(hdc)
    {
        LOGBRUSH lb{BS_SOLID, style.dwColor, 0};
        m_hPen = ExtCreatePen(PS_GEOMETRIC | PS_SOLID |
                                  (style.bFluorescent ? PS_ENDCAP_FLAT : PS_ENDCAP_ROUND) | PS_JOIN_ROUND,
                              style.byWidth ? style.byWidth : 1, &lb, 0, nullptr);
        m_hBrush = bFill ? CreateSolidBrush(style.dwFill) : nullptr;
        m_hOldPen = SelectObject(hdc, m_hPen);
        m_hOldBrush =
            SelectObject(hdc, m_hBrush ? static_cast<HGDIOBJ>(m_hBrush) : GetStockObject(NULL_BRUSH));
        m_nOldRop = SetROP2(hdc, style.bFluorescent ? R2_MASKPEN : R2_COPYPEN);
    }
    ~CPlainTools()
    {
        SetROP2(m_hdc, m_nOldRop);
        SelectObject(m_hdc, m_hOldBrush);
        SelectObject(m_hdc, m_hOldPen);
        DeleteObject(m_hPen);
        if (m_hBrush) DeleteObject(m_hBrush);
    }

private:
    HDC m_hdc;
    HPEN m_hPen;
    HBRUSH m_hBrush;
    HGDIOBJ m_hOldPen, m_hOldBrush;
    int m_nOldRop;
};

std::unique_ptr<Gdiplus::Pen> PenOf(const DrawStyle& style)
{
    auto pen = std::make_unique<Gdiplus::Pen>(ColorOf(style.dwColor, style.byAlpha),
                                              static_cast<Gdiplus::REAL>(style.byWidth ? style.byWidth : 1));
    Gdiplus::LineCap cap = style.bFluorescent ? Gdiplus::LineCapFlat : Gdiplus::LineCapRound;
    pen->SetLineCap(cap, cap, Gdiplus::DashCapRound);
    pen->SetLineJoin(Gdiplus::LineJoinRound);
    return pen;
}

struct AntialiasedGraphics : Gdiplus::Graphics
{
    explicit AntialiasedGraphics(HDC hdc) : Gdiplus::Graphics(hdc)
    {
        SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    }
};
} // namespace

bool StartGdiPlus()
{
    static std::once_flag s_once;
    static bool s_bStarted = false;
    std::call_once(s_once,
                   []
                   {
                       ULONG_PTR token = 0;
                       Gdiplus::GdiplusStartupInput input;
                       s_bStarted = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
                   });
    return s_bStarted;
}

void CFigurePainter::Line(HDC hdc, const DrawStyle& style, DrawPt a, DrawPt b) const
{
    if (!m_bAntialiased)
    {
        CPlainTools tools(hdc, style, false);
        MoveToEx(hdc, a.x, a.y, nullptr);
        LineTo(hdc, b.x, b.y);
        return;
    }
    AntialiasedGraphics g(hdc);
    g.DrawLine(PenOf(style).get(), a.x, a.y, b.x, b.y);
}

void CFigurePainter::Rectangle(HDC hdc, const DrawStyle& style, DrawBox box) const
{
    if (!m_bAntialiased)
    {
        CPlainTools tools(hdc, style, style.bFilled);
        ::Rectangle(hdc, box.left, box.top, box.right, box.bottom);
        return;
    }
    AntialiasedGraphics g(hdc);
    if (style.bFilled)
    {
        Gdiplus::SolidBrush brush(ColorOf(style.dwFill, style.byAlpha));
        g.FillRectangle(&brush, box.left, box.top, box.right - box.left, box.bottom - box.top);
    }
    g.DrawRectangle(PenOf(style).get(), box.left, box.top, box.right - box.left, box.bottom - box.top);
}

void CFigurePainter::Ellipse(HDC hdc, const DrawStyle& style, DrawBox box) const
{
    if (!m_bAntialiased)
    {
        CPlainTools tools(hdc, style, style.bFilled);
        ::Ellipse(hdc, box.left, box.top, box.right, box.bottom);
        return;
    }
    AntialiasedGraphics g(hdc);
    if (style.bFilled)
    {
        Gdiplus::SolidBrush brush(ColorOf(style.dwFill, style.byAlpha));
        g.FillEllipse(&brush, box.left, box.top, box.right - box.left, box.bottom - box.top);
    }
    g.DrawEllipse(PenOf(style).get(), box.left, box.top, box.right - box.left, box.bottom - box.top);
}

void CFigurePainter::Triangle(HDC hdc, const DrawStyle& style, const std::array<DrawPt, 3>& pts) const
{
    if (!m_bAntialiased)
    {
        POINT p[3] = {{pts[0].x, pts[0].y}, {pts[1].x, pts[1].y}, {pts[2].x, pts[2].y}};
        CPlainTools tools(hdc, style, style.bFilled);
        Polygon(hdc, p, 3);
        return;
    }
    Gdiplus::Point p[3] = {{pts[0].x, pts[0].y}, {pts[1].x, pts[1].y}, {pts[2].x, pts[2].y}};
    AntialiasedGraphics g(hdc);
    if (style.bFilled)
    {
        Gdiplus::SolidBrush brush(ColorOf(style.dwFill, style.byAlpha));
        g.FillPolygon(&brush, p, 3);
    }
    g.DrawPolygon(PenOf(style).get(), p, 3);
}

LOGFONTW LogFontOf(const S_BOARD_LOGFONT& font)
{
    LOGFONTW lf{};
    lf.lfHeight = font.lfHeight;
    lf.lfWidth = font.lfWidth;
    lf.lfEscapement = font.lfEscapement;
    lf.lfOrientation = font.lfOrientation;
    lf.lfWeight = font.lfWeight;
    lf.lfItalic = font.lfItalic;
    lf.lfUnderline = font.lfUnderline;
    lf.lfStrikeOut = font.lfStrikeOut;
    lf.lfCharSet = font.lfCharSet;
    lf.lfOutPrecision = font.lfOutPrecision;
    lf.lfClipPrecision = font.lfClipPrecision;
    lf.lfQuality = font.lfQuality;
    lf.lfPitchAndFamily = font.lfPitchAndFamily;
    for (size_t i = 0; i < 32; i++)
        lf.lfFaceName[i] = static_cast<wchar_t>(font.lfFaceName[i]);
    lf.lfFaceName[31] = 0;
    return lf;
}

S_BOARD_LOGFONT BoardFontOf(const LOGFONTW& lf)
{
    S_BOARD_LOGFONT font;
    font.lfHeight = lf.lfHeight;
    font.lfWidth = lf.lfWidth;
    font.lfEscapement = lf.lfEscapement;
    font.lfOrientation = lf.lfOrientation;
    font.lfWeight = lf.lfWeight;
    font.lfItalic = lf.lfItalic;
    font.lfUnderline = lf.lfUnderline;
    font.lfStrikeOut = lf.lfStrikeOut;
    font.lfCharSet = lf.lfCharSet;
    font.lfOutPrecision = lf.lfOutPrecision;
    font.lfClipPrecision = lf.lfClipPrecision;
    font.lfQuality = lf.lfQuality;
    font.lfPitchAndFamily = lf.lfPitchAndFamily;
    for (size_t i = 0; i < 31; i++)
        font.lfFaceName[i] = static_cast<char16_t>(lf.lfFaceName[i]);
    font.lfFaceName[31] = 0;
    return font;
}

void CFigurePainter::Text(HDC hdc, const DrawRecord& rec)
{
    LOGFONTW lf = LogFontOf(rec.font);
    HFONT hFont = CreateFontIndirectW(&lf);
    HGDIOBJ hOld = SelectObject(hdc, hFont);
    int nOldMode = SetBkMode(hdc, TRANSPARENT);
    COLORREF crOld = SetTextColor(hdc, rec.dwTextColor & 0x00FFFFFF);
    RECT rc{rec.rcText[0], rec.rcText[1], rec.rcText[2], rec.rcText[3]};
    std::wstring text(rec.text.begin(), rec.text.end());
    DrawTextW(hdc, text.c_str(), static_cast<int>(text.size()), &rc,
              DT_WORDBREAK | DT_NOCLIP | DT_EDITCONTROL);
    SetTextColor(hdc, crOld);
    SetBkMode(hdc, nOldMode);
    SelectObject(hdc, hOld);
    DeleteObject(hFont);
}
