// Menu drawing functions shared by the flat and the raised style.
#include "confclient/toolkit/menu/MenuPaint.h"
#include "confclient/toolkit/menurules/MenuRules.h"
#include "winui/Gdi.h"

void FillSolid(HDC hDC, const RECT& r, COLORREF colour)
{
    COLORREF old = ::SetBkColor(hDC, colour);
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(hDC, old);
}

void FrameSolid(HDC hDC, const RECT& r, COLORREF colour)
{
    CBrush brush;
    if (brush.CreateSolidBrush(colour)) ::FrameRect(hDC, &r, brush);
}

void DrawRadioDot(HDC hDC, int x, int y, COLORREF colour)
{
    CBrush brush;
    CPen pen;
    if (!brush.CreateSolidBrush(colour) || !pen.CreatePen(PS_SOLID, 1, colour)) return;
    CSelectObject selectBrush(hDC, brush);
    CSelectObject selectPen(hDC, pen);
    ::Ellipse(hDC, x, y, x + 6, y + 6);
}

void DrawCheckMark(HDC hDC, int x, int y, COLORREF colour, bool bRaise)
{
    static const int kStart[7] = {2, 3, 4, 3, 2, 1, 0};
    CPen pen;
    if (!pen.CreatePen(PS_SOLID, 1, colour)) return;
    CSelectObject select(hDC, pen);
    int lift = bRaise ? 1 : 0;
    for (int i = 0; i < 7; ++i)
    {
        ::MoveToEx(hDC, x + i, y + kStart[i] - lift, nullptr);
        ::LineTo(hDC, x + i, y + kStart[i] + 3 - lift);
    }
}

void DrawDisabledImage(HDC hDC, HIMAGELIST hList, int nIndex, int x, int y)
{
    int cx = kMenuIconWidth, cy = kMenuIconHeight;
    // The image over white, then as a monochrome shape: 1 for white (background), 0 for the picture.
    CMemDC colourDC(hDC);
    CBitmap colourBitmap;
    if (!colourBitmap.CreateCompatibleBitmap(hDC, cx, cy)) return;
    CSelectObject selectColour(colourDC, colourBitmap);
    ::PatBlt(colourDC, 0, 0, cx, cy, WHITENESS);
    ::ImageList_Draw(hList, nIndex, colourDC, 0, 0, ILD_TRANSPARENT);
    CMemDC monoDC(hDC);
    CBitmap mono;
    mono.Attach(::CreateBitmap(cx, cy, 1, 1, nullptr));
    if (mono.IsNull()) return;
    CSelectObject selectMono(monoDC, mono);
    ::SetBkColor(colourDC, RGB(255, 255, 255));
    ::BitBlt(monoDC, 0, 0, cx, cy, colourDC, 0, 0, SRCCOPY);

    COLORREF oldBack = ::SetBkColor(hDC, RGB(255, 255, 255));
    COLORREF oldText = ::SetTextColor(hDC, RGB(0, 0, 0));
    for (auto [offset, index] : {std::pair{1, COLOR_3DHILIGHT}, std::pair{0, COLOR_3DSHADOW}})
    {
        CBrush brush;
        if (!brush.CreateSolidBrush(::GetSysColor(index))) continue;
        CSelectObject selectBrush(hDC, brush);
        // Where the shape is 0 the brush shows, elsewhere the target stays.
        ::BitBlt(hDC, x + offset, y + offset, cx, cy, monoDC, 0, 0, 0x00B8074A);
    }
    ::SetTextColor(hDC, oldText);
    ::SetBkColor(hDC, oldBack);
}

void DrawCheckedFrame(HDC hDC, const RECT& r, COLORREF base, bool bSelected, bool bEdge, CheckMark mark)
{
    FillSolid(hDC, r, bSelected ? base : LightenColour(base, 0.6));
    if (bEdge)
    {
        RECT edge = r;
        ::DrawEdge(hDC, &edge, BDR_SUNKENOUTER, BF_RECT);
    }
    COLORREF colour = ::GetSysColor(COLOR_MENUTEXT);
    if (mark == CheckMark::Radio) DrawRadioDot(hDC, r.left + 5, r.top + 4, colour);
    if (mark == CheckMark::Tick) DrawCheckMark(hDC, r.left + 4, r.top + 4, colour, false);
}
