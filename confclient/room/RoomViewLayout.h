// The room window's layout as a pure function: the session's view state, the client size and
// the monitors in, one placement per room window out; the window side applies the list in one
// deferred batch. Also the rules around it: the view mode a room can show, border drags,
// the move to the second monitor and the hit test of a room dialog's border.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

#include "confclient/session/layout/RoomLayout.h"

// SetWindowPos flags, with the platform's values so the window side passes them through.
enum : uint32_t
{
    PLACE_NOSIZE = 0x0001,
    PLACE_NOMOVE = 0x0002,
    PLACE_NOZORDER = 0x0004,
    PLACE_SHOW = 0x0040,
    PLACE_HIDE = 0x0080,
};

// The windows the room window places.
enum RoomPane : int
{
    PANE_CTRLBAR,
    PANE_MANAGETOOL, // the side-panel host at the left
    PANE_VIDEO,
    PANE_MEDIASHARE,
    PANE_BOARD,
    PANE_BOARDTOOL, // the board palette docked at the board's right edge
    PANE_QUESTION,
    PANE_DESKSHARE,
    PANE_TRANSFER, // the board transfer's progress strip
    PANE_PLAYER,
    ROOM_PANE_COUNT,
};

struct S_POINT
{
    int32_t x, y;
    bool operator==(const S_POINT&) const = default;
};

struct S_PANEPLACE
{
    RoomPane pane;
    S_RECT rect; // left, top, right, bottom in the room window's client area
    uint32_t flags;
    bool bBottom = false; // placed at the bottom of the z-order
    bool operator==(const S_PANEPLACE&) const = default;
};

// What the layout reads of the session and the room's windows.
struct S_ROOMVIEWSTATE
{
    uint16_t wViewMode = 1; // 0 video, 1 board, 2 media share, 3 question
    uint16_t wRoomType = 0;
    bool bFullScreen = false;
    bool bPlayer = false;
    bool bLayoutDone = false;
    bool bPanelShown = true; // the side-panel host is open (pinned)
    int32_t nBarHeight = 60;
    S_POINT videoOrigin{7, 60};
    S_POINT contentOrigin{7, 60};
    bool bHasBar = true;
    bool bHasPanelHost = true;
    bool bHasVideo = false;
    bool bVideoFloating = false;
    bool bHasMediaShare = false;
    bool bHasQuestion = false;
    bool bHasBoard = true;
    bool bDeskShareDocked = false; // a remote desktop share lies docked in the room window
    bool bHasBoardTool = false;
    bool bBoardToolDocked = true;
    bool bBoardToolHidden = false; // by rights or the slide show
    int32_t nBoardToolWidth = 0;
    bool bHasProgress = false;
    bool bHasPlayer = false;
    int32_t nPlayerHeight = 0;
};

// Widths and heights the layout keeps.
constexpr int32_t kPanelHostWidth = 207;
constexpr int32_t kPanelHostClosedWidth = 5;
constexpr int32_t kRoomMinWidth = 800;
constexpr int32_t kRoomMinHeight = 600;

// The view mode a room shows when mode is asked: rooms of type 8 or 1 without media sharing
// show the board, as does a room without video windows asked for video.
uint16_t ResolveViewMode(uint16_t wMode, uint16_t wRoomType, uint32_t dwRoomFlags);

// Whether the board is told it is seen: in mode 1, and in mode 0 while the video floats;
// never under a docked remote desktop share.
bool BoardIsShown(const S_ROOMVIEWSTATE& s);

// Every room window's placement for a client area of cx x cy: the bar across the top, the
// side-panel host at the left, the views of the mode in the rest, the pop-up strips.
std::vector<S_PANEPLACE> LayoutRoomWindow(const S_ROOMVIEWSTATE& s, int32_t cx, int32_t cy);

// The panes whose rectangles the room window's background leaves alone (each when its window is
// shown): none in full screen, where the whole area goes black.
std::vector<RoomPane> EraseExclusions(const S_ROOMVIEWSTATE& s);

// The room window's own rectangle in full screen: one pixel past each edge of its monitor.
S_RECT FullScreenWindowRect(const S_RECT& monitor);

// Border codes of a room dialog: the values of the system's HTLEFT..HTBOTTOMRIGHT.
enum : int
{
    BORDER_NONE = 0,
    BORDER_CAPTION = 1,
    BORDER_LEFT = 10,
    BORDER_RIGHT,
    BORDER_TOP,
    BORDER_TOPLEFT,
    BORDER_TOPRIGHT,
    BORDER_BOTTOM,
    BORDER_BOTTOMLEFT,
    BORDER_BOTTOMRIGHT,
};
// The border under pt (window coordinates of a w x h window): an edge within 4 pixels,
// the caption band 1 <= y < 32, else none.
int HitTestBorder(int32_t w, int32_t h, S_POINT pt);

// The window rectangle while edge is dragged to the cursor: each moving side keeps the size
// between the minimum and the work area's size.
S_RECT DragBorder(const S_RECT& window, int nEdge, S_POINT cursor, S_POINT minSize, const S_RECT& workArea);

// The move to the second monitor of full screen with the dual-monitor option.
struct S_MONITORMOVE
{
    enum Kind
    {
        STAY,     // nothing to do
        MOVE,     // the window moves to target's top-left
        MAXIMISE, // the window takes target and is maximised again
    } kind = STAY;
    S_RECT target{};
};
// monitors: the session's table, the secondary at index 1; nCount: how many the system
// reports. A table shorter than the count is not trusted.
S_MONITORMOVE MoveToSecondMonitor(std::span<const S_RECT> monitors, int nCount, const S_RECT& window,
                                  bool bMaximised, bool bPlayer, bool bScreenRecording);
