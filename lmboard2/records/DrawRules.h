// The board's drawing rules shared by local input and replay: draw modes, how a pen
// looks, clamping and snapping of points, shape outlines, triangles, the eraser
// square and where the pointer goes.
#pragma once
#include <array>
#include <cstdint>

#include "lmboard2/boardbase/BoardRecord.h"

enum BoardDrawMode : uint8_t
{
    DRAW_PEN = 0,
    DRAW_LINE = 1,
    DRAW_ERASER = 2,
    DRAW_TEXT = 3,
    DRAW_POINTER = 4,
    DRAW_STAMP = 5,
    DRAW_SCROLL = 6,
    DRAW_RECT = 7,
    DRAW_ELLIPSE = 8,
    DRAW_TRIANGLE = 9,
    DRAW_FILL_RECT = 10,
    DRAW_FILL_ELLIPSE = 11,
    DRAW_FILL_TRIANGLE = 12,
    DRAW_STRAIGHT = 13, // horizontal or vertical line
};

constexpr int kEraserSize = 55;
constexpr int kEraserMargin = 27;

struct DrawPt
{
    int x = 0;
    int y = 0;
    bool operator==(const DrawPt&) const = default;
};

struct DrawBox
{
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const DrawBox&) const = default;
};

// How a figure's lines and fill look. Plain rendering uses the colour and width with
// a masking raster operation when fluorescent; antialiased rendering uses the alpha
// and the caps.
struct DrawStyle
{
    uint32_t dwColor = 0;  // line colour (0x00BBGGRR)
    uint32_t dwFill = 0;   // fill colour of filled shapes
    uint8_t byAlpha = 255; // 100 when fluorescent
    uint8_t byWidth = 1;
    bool bFluorescent = false; // flat caps and a masking pen
    bool bFilled = false;
};

// The style of a pen line.
DrawStyle LineStyle(const BoardPen& pen);
// The style of a shape: the fill has the pen's colour, the outline each channel less 30 (0 below 30).
DrawStyle ShapeStyle(const BoardPen& pen, bool bFilled);
uint32_t OutlineColor(uint32_t dwColor);

bool IsLineMode(uint8_t byMode);  // 0, 1, 13
bool IsShapeMode(uint8_t byMode); // 7..12

// The margin a point keeps from the page's right and bottom edges: half the pen width,
// or the eraser's.
int ClampMargin(uint8_t byMode, uint8_t byWidth);
// x into [0, width − margin], y into [0, height − margin].
DrawPt ClampToPage(DrawPt pt, int nPageWidth, int nPageHeight, int nMargin);
// The end point moved so that the line from start is horizontal (|dx| ≥ |dy|) or vertical.
DrawPt SnapStraight(DrawPt start, DrawPt end);

// The bounding box of two points.
DrawBox BoxOf(DrawPt a, DrawPt b);
// Apex at the box's horizontal middle on the start's y; base on the end's y.
std::array<DrawPt, 3> TriangleOf(DrawPt start, DrawPt end);
// The square of background the eraser restores at a point.
DrawBox EraserBox(DrawPt pt);

// Where the pointer goes for a point in window terms on a page scaled to the given size:
// the point clamped to [32, width] × [5, height − 11], and the pointer window's top-left
// 32 left of and 5 above it.
struct PointerPlace
{
    DrawPt pt;
    DrawPt window;
};
PointerPlace PlacePointer(DrawPt pt, int nScaledWidth, int nScaledHeight);
