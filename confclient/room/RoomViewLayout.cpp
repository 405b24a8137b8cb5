// The room window's layout by view mode and full screen, border drags and the second monitor.
#include "confclient/room/RoomViewLayout.h"

#include <algorithm>

#include "confclient/session/roomstate/RoomFlags.h"

namespace
{
constexpr uint16_t kSeminarRoomType = 1;
constexpr int32_t kBorder = 4;
constexpr int32_t kCaptionBottom = 32;
constexpr int32_t kProgressHeight = 26;

// A rectangle from its origin and size; a size below zero is an empty window, not a flipped one.
S_RECT At(int32_t x, int32_t y, int32_t cx, int32_t cy)
{
    return {x, y, x + std::max(0, cx), y + std::max(0, cy)};
}

uint32_t Visibility(bool bShow)
{
    return (bShow ? PLACE_SHOW : PLACE_HIDE) | PLACE_NOZORDER;
}

bool BoardIsHidden(const S_ROOMVIEWSTATE& s, bool bVideoDocked)
{
    return s.bDeskShareDocked || s.wViewMode == 2 || (s.wViewMode != 1 && bVideoDocked);
}

// The board and, docked at its right edge, the palette, which takes its width from the board.
void PlaceBoard(const S_ROOMVIEWSTATE& s, const S_RECT& area, uint32_t flags, std::vector<S_PANEPLACE>& out)
{
    int32_t W = 0;
    if (s.bHasBoardTool && s.bBoardToolDocked)
    {
        bool bShown = (flags & PLACE_SHOW) && !s.bBoardToolHidden;
        if (bShown) W = std::min(s.nBoardToolWidth, area.Width());
        // A hidden palette keeps its size for when it shows again.
        out.push_back({PANE_BOARDTOOL, At(area.right - W, area.top, W, area.Height()),
                       bShown ? Visibility(true) : Visibility(false) | PLACE_NOSIZE | PLACE_NOMOVE});
    }
    out.push_back({PANE_BOARD, {area.left, area.top, area.right - W, area.bottom}, flags});
}
} // namespace

uint16_t ResolveViewMode(uint16_t wMode, uint16_t wRoomType, uint32_t dwRoomFlags)
{
    bool bDocOrSeminar = wRoomType == kDocumentRoomType || wRoomType == kSeminarRoomType;
    if (bDocOrSeminar && !(dwRoomFlags & ROOMFLAG_MEDIASHARE_ANY)) return 1;
    if (wMode == 0 && (dwRoomFlags & ROOMFLAG_NOVIDEOVIEW)) return 1;
    return wMode > 3 ? 1 : wMode;
}

bool BoardIsShown(const S_ROOMVIEWSTATE& s)
{
    if (s.bDeskShareDocked) return false;
    return s.wViewMode == 1 || (s.wViewMode == 0 && s.bHasVideo && s.bVideoFloating);
}

std::vector<S_PANEPLACE> LayoutRoomWindow(const S_ROOMVIEWSTATE& s, int32_t cx, int32_t cy)
{
    std::vector<S_PANEPLACE> out;
    if (cx <= 0 || cy <= 0) return out;
    out.reserve(ROOM_PANE_COUNT);
    const bool fs = s.bFullScreen;
    const uint16_t mode = s.wViewMode;
    const int32_t bar = s.nBarHeight;

    // The player keeps its strip at the bottom; the views share what is above it.
    int32_t h = cy;
    if (s.bHasPlayer)
    {
        int32_t nPlayer = std::clamp(s.nPlayerHeight, 0, cy);
        h = cy - nPlayer;
        out.push_back({PANE_PLAYER, At(0, h, cx, nPlayer), PLACE_SHOW | PLACE_NOZORDER});
    }
    if (s.bHasBar)
    {
        uint32_t flags =
            fs ? PLACE_HIDE | PLACE_NOZORDER : (s.bLayoutDone ? PLACE_NOZORDER : PLACE_SHOW | PLACE_NOZORDER);
        out.push_back({PANE_CTRLBAR, At(0, -1, cx, bar), flags});
    }
    const int32_t L = s.bPanelShown ? kPanelHostWidth : 0;
    if (s.bHasPanelHost)
    {
        if (fs)
            out.push_back({PANE_MANAGETOOL, At(0, 0, kPanelHostWidth, h), Visibility(s.bPanelShown)});
        else
            out.push_back(
                {PANE_MANAGETOOL,
                 At(0, bar - 1, s.bPanelShown ? kPanelHostWidth : kPanelHostClosedWidth, h - bar + 1),
                 Visibility(true)});
    }

    const bool bVideoDocked = s.bHasVideo && !s.bVideoFloating;
    const bool bVideoShown = bVideoDocked && mode == 0 && s.wRoomType != kDocumentRoomType;
    const S_RECT content =
        fs ? At(L, 0, cx - L, h) : At(s.contentOrigin.x + L, s.contentOrigin.y, cx - L - 12, h - 65);
    if (bVideoDocked)
    {
        if (!bVideoShown)
            out.push_back({PANE_VIDEO, {}, PLACE_HIDE | PLACE_NOSIZE | PLACE_NOMOVE | PLACE_NOZORDER});
        else if (fs)
            out.push_back({PANE_VIDEO, At(L, -1, cx - L, h + 1), PLACE_SHOW, true});
        else
            out.push_back({PANE_VIDEO, At(s.videoOrigin.x + L, s.videoOrigin.y, cx - L - 12, h - 65),
                           PLACE_SHOW | PLACE_NOZORDER});
    }
    if (s.bHasMediaShare)
    {
        int32_t m = fs ? 0 : 5;
        int32_t x = m + (s.bPanelShown ? kPanelHostWidth + 1 : 0);
        int32_t y = fs ? 0 : bar - 1;
        out.push_back({PANE_MEDIASHARE, At(x, y, cx - m - x, h - y - 4), Visibility(mode == 2)});
    }
    if (s.bHasBoard) PlaceBoard(s, content, Visibility(!BoardIsHidden(s, bVideoDocked)), out);
    if (s.bHasQuestion)
        out.push_back({PANE_QUESTION, fs ? At(L, -1, cx - L, h + 1) : content, Visibility(mode == 3)});
    if (s.bDeskShareDocked)
        out.push_back({PANE_DESKSHARE, fs ? content : At(content.left, content.top, cx - L - 10, h - 65),
                       PLACE_SHOW | PLACE_NOZORDER});
    if (s.bHasProgress && !s.bPlayer)
    {
        S_RECT strip = fs ? At(6 + L, h - kProgressHeight, cx - 6 - L, kProgressHeight)
                          : At(s.contentOrigin.x + L + 1, h - 31, cx - L - 13, kProgressHeight);
        out.push_back({PANE_TRANSFER, strip, Visibility(mode == 1)});
    }
    return out;
}

std::vector<RoomPane> EraseExclusions(const S_ROOMVIEWSTATE& s)
{
    if (s.bFullScreen) return {};
    std::vector<RoomPane> panes{PANE_BOARD, PANE_CTRLBAR, PANE_MANAGETOOL, PANE_MEDIASHARE};
    // The video view left showing under the board (mode 1) or floating elsewhere is no child area.
    if (s.wViewMode != 1 && !s.bVideoFloating) panes.push_back(PANE_VIDEO);
    if (s.bDeskShareDocked) panes.push_back(PANE_DESKSHARE);
    return panes;
}

S_RECT FullScreenWindowRect(const S_RECT& monitor)
{
    return {monitor.left - 1, monitor.top - 1, monitor.right + 1, monitor.bottom + 1};
}

int HitTestBorder(int32_t w, int32_t h, S_POINT pt)
{
    if (pt.x < 0 || pt.y < 0 || pt.x >= w || pt.y >= h) return BORDER_NONE;
    bool bLeft = pt.x < kBorder, bRight = pt.x >= w - kBorder;
    bool bTop = pt.y < kBorder, bBottom = pt.y >= h - kBorder;
    if (bTop) return bLeft ? BORDER_TOPLEFT : bRight ? BORDER_TOPRIGHT : BORDER_TOP;
    if (bBottom) return bLeft ? BORDER_BOTTOMLEFT : bRight ? BORDER_BOTTOMRIGHT : BORDER_BOTTOM;
    if (bLeft) return BORDER_LEFT;
    if (bRight) return BORDER_RIGHT;
    return pt.y >= 1 && pt.y < kCaptionBottom ? BORDER_CAPTION : BORDER_NONE;
}

S_RECT DragBorder(const S_RECT& window, int nEdge, S_POINT cursor, S_POINT minSize, const S_RECT& workArea)
{
    // The work area wins over the minimum: a window never outgrows its screen.
    auto fit = [](int32_t n, int32_t lo, int32_t hi) { return std::min(std::max(n, lo), hi); };
    S_RECT r = window;
    if (nEdge == BORDER_LEFT || nEdge == BORDER_TOPLEFT || nEdge == BORDER_BOTTOMLEFT)
        r.left = r.right - fit(r.right - cursor.x, minSize.x, workArea.Width());
    if (nEdge == BORDER_RIGHT || nEdge == BORDER_TOPRIGHT || nEdge == BORDER_BOTTOMRIGHT)
        r.right = r.left + fit(cursor.x - r.left, minSize.x, workArea.Width());
    if (nEdge == BORDER_TOP || nEdge == BORDER_TOPLEFT || nEdge == BORDER_TOPRIGHT)
        r.top = r.bottom - fit(r.bottom - cursor.y, minSize.y, workArea.Height());
    if (nEdge == BORDER_BOTTOM || nEdge == BORDER_BOTTOMLEFT || nEdge == BORDER_BOTTOMRIGHT)
        r.bottom = r.top + fit(cursor.y - r.top, minSize.y, workArea.Height());
    return r;
}

S_MONITORMOVE MoveToSecondMonitor(std::span<const S_RECT> monitors, int nCount, const S_RECT& window,
                                  bool bMaximised, bool bPlayer, bool bScreenRecording)
{
    if (bPlayer || bScreenRecording || nCount < 2 || monitors.size() < static_cast<size_t>(nCount)) return {};
    const S_RECT& m = monitors[1];
    const int32_t centre = window.left + window.Width() / 2;
    if (m.left > 0 && m.left <= centre) return {};
    if (m.left < 0 && m.right >= centre) return {};
    if (bMaximised) return {S_MONITORMOVE::MAXIMISE, m};
    int32_t x = std::max(0, m.Width() / 2 - window.Width() / 2);
    int32_t y = std::max(0, m.Height() / 2 - window.Height() / 2);
    return {S_MONITORMOVE::MOVE, At(m.left + x, m.top + y, window.Width(), window.Height())};
}
