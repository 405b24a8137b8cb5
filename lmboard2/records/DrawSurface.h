// What replay draws into: the board's bitmaps, a printer or export target, or a test
// recorder. Figures arrive already worked out by the drawing rules.
#pragma once
#include <array>
#include <string>

#include "lmboard2/records/DrawRecord.h"
#include "lmboard2/records/DrawRules.h"

class IDrawSurface
{
public:
    virtual ~IDrawSurface() = default;
    // Resets the drawing to the page's background (record 161 on the board itself).
    virtual void ClearToBackground() = 0;
    // A line from a to b.
    virtual void DrawLine(const DrawStyle& style, DrawPt a, DrawPt b) = 0;
    // A rectangle or ellipse in the box: outline in style.dwColor, filled with style.dwFill when bFilled.
    virtual void DrawRectangle(const DrawStyle& style, DrawBox box) = 0;
    virtual void DrawEllipse(const DrawStyle& style, DrawBox box) = 0;
    virtual void DrawTriangle(const DrawStyle& style, const std::array<DrawPt, 3>& pts) = 0;
    // Restores the box from the background.
    virtual void Erase(DrawBox box) = 0;
    // Word-wrapped text in the box, transparent background, no clipping.
    virtual void DrawText(const DrawRecord& rec) = 0;
    // The stamp at a point, when the whole stamp fits the page.
    virtual void PlaceStamp(DrawPt pt) = 0;
    // View state: pointer position, scroll position, zoom value.
    virtual void MovePointer(DrawPt pt) = 0;
    virtual void ScrollTo(DrawPt pt) = 0;
    virtual void SetZoom(uint16_t nZoom) = 0;
    // Browser mode with the address; the three further strings are kept.
    virtual void OpenBrowser(const std::u16string (&strings)[4]) = 0;
};
