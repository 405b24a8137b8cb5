// The drawing functions both menu styles share: radio dot, check mark, disabled image, checked frame.
#pragma once
#include <windows.h>
#include <commctrl.h>

void FillSolid(HDC hDC, const RECT& r, COLORREF colour);
// A one-pixel frame just inside `r`.
void FrameSolid(HDC hDC, const RECT& r, COLORREF colour);
// A filled 6 by 6 dot with its top left at (x, y).
void DrawRadioDot(HDC hDC, int x, int y, COLORREF colour);
// A tick of seven one-pixel strokes, columns x .. x+6, one row higher when `bRaise`.
void DrawCheckMark(HDC hDC, int x, int y, COLORREF colour, bool bRaise);
// The image as a flat shape: in the highlight colour one pixel down and right, then in the shadow
// colour in place.
void DrawDisabledImage(HDC hDC, HIMAGELIST hList, int nIndex, int x, int y);

enum class CheckMark
{
    None,
    Tick,
    Radio,
};
// The frame behind a checked item's image: `base` lightened by 0.6 unless selected, a sunken edge
// when `bEdge`, and the mark in the menu-text colour.
void DrawCheckedFrame(HDC hDC, const RECT& r, COLORREF base, bool bSelected, bool bEdge, CheckMark mark);
