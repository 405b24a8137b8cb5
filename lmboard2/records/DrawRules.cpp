// Drawing rules: pen looks, clamping, snapping, outlines, triangles, eraser, pointer.
#include "lmboard2/records/DrawRules.h"

#include <algorithm>
#include <cstdlib>

DrawStyle LineStyle(const BoardPen& pen)
{
    DrawStyle s;
    s.dwColor = pen.dwColor & 0x00FFFFFF;
    s.dwFill = s.dwColor;
    s.bFluorescent = pen.byFluorescent != 0;
    s.byAlpha = s.bFluorescent ? 100 : 255;
    s.byWidth = pen.byWidth;
    return s;
}

uint32_t OutlineColor(uint32_t dwColor)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
    {
        uint32_t c = (dwColor >> shift) & 0xFF;
        out |= (c < 30 ? 0 : c - 30) << shift;
    }
    return out;
}

DrawStyle ShapeStyle(const BoardPen& pen, bool bFilled)
{
    DrawStyle s = LineStyle(pen);
    s.dwColor = OutlineColor(s.dwFill);
    s.bFilled = bFilled;
    return s;
}

bool IsLineMode(uint8_t byMode)
{
    return byMode == DRAW_PEN || byMode == DRAW_LINE || byMode == DRAW_STRAIGHT;
}

bool IsShapeMode(uint8_t byMode)
{
    return byMode >= DRAW_RECT && byMode <= DRAW_FILL_TRIANGLE;
}

int ClampMargin(uint8_t byMode, uint8_t byWidth)
{
    return byMode == DRAW_ERASER ? kEraserMargin : byWidth / 2;
}

DrawPt ClampToPage(DrawPt pt, int nPageWidth, int nPageHeight, int nMargin)
{
    pt.x = std::max(0, std::min(pt.x, nPageWidth - nMargin));
    pt.y = std::max(0, std::min(pt.y, nPageHeight - nMargin));
    return pt;
}

DrawPt SnapStraight(DrawPt start, DrawPt end)
{
    if (std::abs(end.x - start.x) >= std::abs(end.y - start.y))
        end.y = start.y;
    else
        end.x = start.x;
    return end;
}

DrawBox BoxOf(DrawPt a, DrawPt b)
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

std::array<DrawPt, 3> TriangleOf(DrawPt start, DrawPt end)
{
    DrawBox box = BoxOf(start, end);
    return {DrawPt{(box.left + box.right) / 2, start.y}, DrawPt{box.left, end.y}, DrawPt{box.right, end.y}};
}

DrawBox EraserBox(DrawPt pt)
{
    return {pt.x, pt.y, pt.x + kEraserSize, pt.y + kEraserSize};
}

PointerPlace PlacePointer(DrawPt pt, int nScaledWidth, int nScaledHeight)
{
    PointerPlace p;
    p.pt.x = std::max(32, std::min(pt.x, nScaledWidth));
    p.pt.y = std::max(5, std::min(pt.y, nScaledHeight - 11));
    p.window = {p.pt.x - 32, p.pt.y - 5};
    return p;
}
