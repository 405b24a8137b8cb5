// The board preview window's rules that need no window: where it opens from the stored
// "Board_PreviewPos" value, which page buttons are enabled, which page a key goes to, where its
// controls sit and how far a border drag may size it.
#pragma once
#include <optional>
#include <string>

struct PreviewBox
{
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PreviewBox&) const = default;
};

// The stored place: four comma-separated decimal numbers x, y, width, height; a missing or
// unreadable number reads as 0 (and so falls back to its default).
struct PreviewPos
{
    int x = 0, y = 0, cx = 0, cy = 0;
    bool operator==(const PreviewPos&) const = default;
};
PreviewPos ParsePreviewPos(const std::string& text);

// Each stored value is checked against the room main view (view) and the work area (work);
// one out of its range takes its default beside the view.
PreviewPos PlacePreview(const PreviewPos& stored, const PreviewBox& view, const PreviewBox& work);

// With more than one page: previous from the second page on, next up to the page before the last.
struct PreviewPageButtons
{
    bool bPrevious = false;
    bool bNext = false;
};
PreviewPageButtons PreviewButtonState(int nCount, int nCurrent);

// The page keys of the preview.
enum class PreviewKey
{
    Next,  // Enter, Space, Page Down, Right, Down
    Back,  // Page Up, Left, Up
    First, // Home
    Last,  // End
};
// The page a key selects; none when it would leave the list or stay on the page.
std::optional<int> PreviewKeyPage(PreviewKey key, int nCurrent, int nCount);

// The controls' places for a client area cx wide.
struct PreviewControlPlaces
{
    int comboX = 0, comboWidth = 0;               // at y 2, 23 high
    int nextX = 0, previousX = 0;                 // at y 1
    int minimizeX = 0, maximizeX = 0, closeX = 0; // at y 6 (restore with maximize)
};
PreviewControlPlaces PreviewLayout(int cx);

// A border being dragged (hit codes of the room dialogs' frame).
enum PreviewEdge
{
    EDGE_LEFT = 10,
    EDGE_RIGHT = 11,
    EDGE_TOP = 12,
    EDGE_TOP_LEFT = 13,
    EDGE_TOP_RIGHT = 14,
    EDGE_BOTTOM = 15,
    EDGE_BOTTOM_LEFT = 16,
    EDGE_BOTTOM_RIGHT = 17,
};
// The border at a point of the window (within 4 pixels of its edge); 0 inside.
int PreviewEdgeAt(int x, int y, int cx, int cy);
// The window after its border followed the cursor: at least 500 x 200, at most the work area.
PreviewBox ResizePreview(const PreviewBox& window, int nEdge, int cursorX, int cursorY,
                         const PreviewBox& work);
