// The room window's layout: which mode a room shows, where each window goes in each mode and
// in full screen, border drags, the second monitor, and the bar's view items.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "confclient/room/RoomBarRules.h"
#include "confclient/room/RoomViewLayout.h"
#include "confclient/session/roomstate/RoomFlags.h"

namespace
{
std::optional<S_PANEPLACE> Find(const std::vector<S_PANEPLACE>& places, RoomPane pane)
{
    for (const S_PANEPLACE& p : places)
        if (p.pane == pane) return p;
    return std::nullopt;
}

bool Shown(const std::vector<S_PANEPLACE>& places, RoomPane pane)
{
    auto p = Find(places, pane);
    return p && (p->flags & PLACE_SHOW);
}

bool Hidden(const std::vector<S_PANEPLACE>& places, RoomPane pane)
{
    auto p = Find(places, pane);
    return p && (p->flags & PLACE_HIDE);
}

// A meeting room of nine videos with every window the room can have.
S_ROOMVIEWSTATE FullRoom()
{
    S_ROOMVIEWSTATE s;
    s.wRoomType = 4;
    s.bLayoutDone = true;
    s.bHasVideo = s.bHasMediaShare = s.bHasQuestion = s.bHasBoardTool = s.bHasProgress = true;
    s.nBoardToolWidth = 40;
    return s;
}
} // namespace

TEST(RoomViewMode, RoomsWithoutVideoOrMediaShowTheBoard)
{
    struct Row
    {
        uint16_t wAsked, wType;
        uint32_t dwFlags;
        uint16_t wShown;
    } rows[] = {
        {0, 8, 0, 1},                         // a document room asked for video
        {2, 1, 0, 1},                         // a seminar room without media sharing
        {0, 8, ROOMFLAG_MEDIASHARE_MOVIE, 0}, // media options keep the asked mode
        {2, 8, ROOMFLAG_MEDIASHARE_SOUND, 2},
        {0, 4, ROOMFLAG_NOVIDEOVIEW, 1}, // a room without video windows
        {3, 4, ROOMFLAG_NOVIDEOVIEW, 3},
        {0, 4, 0, 0},
        {7, 4, 0, 1}, // no such mode
    };
    for (const Row& r : rows)
        EXPECT_EQ(ResolveViewMode(r.wAsked, r.wType, r.dwFlags), r.wShown)
            << r.wAsked << " in type " << r.wType;
}

TEST(RoomLayout, EachModeShowsItsViewAndHidesTheOthers)
{
    struct Row
    {
        uint16_t wMode;
        RoomPane shown;
        std::vector<RoomPane> hidden;
    } rows[] = {
        {0, PANE_VIDEO, {PANE_BOARD, PANE_BOARDTOOL, PANE_MEDIASHARE, PANE_QUESTION, PANE_TRANSFER}},
        {1, PANE_BOARD, {PANE_VIDEO, PANE_MEDIASHARE, PANE_QUESTION}},
        {2, PANE_MEDIASHARE, {PANE_VIDEO, PANE_BOARD, PANE_QUESTION, PANE_TRANSFER}},
        {3, PANE_QUESTION, {PANE_VIDEO, PANE_BOARD, PANE_MEDIASHARE, PANE_TRANSFER}},
    };
    for (bool bFullScreen : {false, true})
        for (const Row& r : rows)
        {
            S_ROOMVIEWSTATE s = FullRoom();
            s.wViewMode = r.wMode;
            s.bFullScreen = bFullScreen;
            auto places = LayoutRoomWindow(s, 1280, 800);
            EXPECT_TRUE(Shown(places, r.shown)) << "mode " << r.wMode << " full screen " << bFullScreen;
            for (RoomPane p : r.hidden)
                EXPECT_TRUE(Hidden(places, p)) << "pane " << p << " in mode " << r.wMode;
        }
}

TEST(RoomLayout, NormalWindowPlacesBarPanelHostAndBoard)
{
    S_ROOMVIEWSTATE s = FullRoom();
    s.wViewMode = 1;
    auto places = LayoutRoomWindow(s, 1280, 800);
    // The bar across the top, the host at the left under it, the board beside the host less the palette.
    EXPECT_EQ(Find(places, PANE_CTRLBAR)->rect, (S_RECT{0, -1, 1280, 59}));
    EXPECT_EQ(Find(places, PANE_CTRLBAR)->flags, PLACE_NOZORDER);
    EXPECT_EQ(Find(places, PANE_MANAGETOOL)->rect, (S_RECT{0, 59, 207, 800}));
    EXPECT_EQ(Find(places, PANE_BOARD)->rect, (S_RECT{214, 60, 214 + 1061 - 40, 60 + 735}));
    EXPECT_EQ(Find(places, PANE_BOARDTOOL)->rect, (S_RECT{214 + 1061 - 40, 60, 214 + 1061, 795}));
    EXPECT_EQ(Find(places, PANE_MEDIASHARE)->rect, (S_RECT{213, 59, 1275, 796}));
    EXPECT_EQ(Find(places, PANE_TRANSFER)->rect, (S_RECT{215, 769, 215 + 1060, 795}));

    // A closed host keeps a 5-pixel strip; the views take its place.
    s.bPanelShown = false;
    places = LayoutRoomWindow(s, 1280, 800);
    EXPECT_EQ(Find(places, PANE_MANAGETOOL)->rect, (S_RECT{0, 59, 5, 800}));
    EXPECT_EQ(Find(places, PANE_BOARD)->rect.left, 7);

    // Before the layout is done the bar is also shown.
    s.bLayoutDone = false;
    EXPECT_EQ(Find(LayoutRoomWindow(s, 1280, 800), PANE_CTRLBAR)->flags, PLACE_SHOW | PLACE_NOZORDER);
}

TEST(RoomLayout, FloatingVideoLetsTheBoardFillTheRoom)
{
    S_ROOMVIEWSTATE s = FullRoom();
    s.wViewMode = 0;
    s.bVideoFloating = true;
    auto places = LayoutRoomWindow(s, 1280, 800);
    EXPECT_FALSE(Find(places, PANE_VIDEO)); // its own window, not placed here
    EXPECT_TRUE(Shown(places, PANE_BOARD));
    EXPECT_EQ(Find(places, PANE_BOARD)->rect, (S_RECT{214, 60, 1275 - 40, 795}));
    EXPECT_TRUE(BoardIsShown(s));
    s.bVideoFloating = false;
    EXPECT_FALSE(BoardIsShown(s));
}

TEST(RoomLayout, FullScreenWithAndWithoutThePinnedPanel)
{
    S_ROOMVIEWSTATE s = FullRoom();
    s.wViewMode = 0;
    s.bFullScreen = true;
    auto places = LayoutRoomWindow(s, 1920, 1080);
    EXPECT_TRUE(Hidden(places, PANE_CTRLBAR));
    EXPECT_EQ(Find(places, PANE_MANAGETOOL)->rect, (S_RECT{0, 0, 207, 1080}));
    EXPECT_TRUE(Shown(places, PANE_MANAGETOOL));
    auto video = *Find(places, PANE_VIDEO);
    EXPECT_EQ(video.rect, (S_RECT{207, -1, 1920, 1080}));
    EXPECT_TRUE(video.bBottom);

    s.bPanelShown = false;
    places = LayoutRoomWindow(s, 1920, 1080);
    EXPECT_TRUE(Hidden(places, PANE_MANAGETOOL));
    EXPECT_EQ(Find(places, PANE_VIDEO)->rect, (S_RECT{0, -1, 1920, 1080}));
    s.wViewMode = 1;
    places = LayoutRoomWindow(s, 1920, 1080);
    EXPECT_EQ(Find(places, PANE_BOARD)->rect, (S_RECT{0, 0, 1920 - 40, 1080}));
    EXPECT_EQ(Find(places, PANE_TRANSFER)->rect, (S_RECT{6, 1054, 1920, 1080}));
    EXPECT_EQ(FullScreenWindowRect({1920, 0, 3840, 1080}), (S_RECT{1919, -1, 3841, 1081}));
}

TEST(RoomLayout, DockedDeskShareHidesTheBoardAndThePlayerKeepsItsStrip)
{
    S_ROOMVIEWSTATE s = FullRoom();
    s.wViewMode = 1;
    s.bDeskShareDocked = true;
    auto places = LayoutRoomWindow(s, 1280, 800);
    EXPECT_TRUE(Hidden(places, PANE_BOARD));
    EXPECT_EQ(Find(places, PANE_DESKSHARE)->rect, (S_RECT{214, 60, 214 + 1063, 795}));
    EXPECT_FALSE(BoardIsShown(s));

    s = FullRoom();
    s.bPlayer = true;
    s.bHasPlayer = true;
    s.nPlayerHeight = 50;
    places = LayoutRoomWindow(s, 1280, 800);
    EXPECT_EQ(Find(places, PANE_PLAYER)->rect, (S_RECT{0, 750, 1280, 800}));
    EXPECT_EQ(Find(places, PANE_BOARD)->rect.bottom, 745);
    EXPECT_FALSE(Find(places, PANE_TRANSFER)); // no transfers in a player
}

TEST(RoomLayout, HiddenPaletteGivesTheBoardItsWidthAndEmptyAreasStayEmpty)
{
    S_ROOMVIEWSTATE s = FullRoom();
    s.bBoardToolHidden = true;
    auto places = LayoutRoomWindow(s, 1280, 800);
    EXPECT_EQ(Find(places, PANE_BOARD)->rect.right, 1275);
    EXPECT_TRUE(Hidden(places, PANE_BOARDTOOL));
    EXPECT_TRUE(LayoutRoomWindow(s, 0, 800).empty());
    for (const S_PANEPLACE& p : LayoutRoomWindow(s, 100, 40))
        EXPECT_LE(p.rect.left, p.rect.right) << "pane " << p.pane;
}

TEST(RoomBorder, HitTestAndDragClamp)
{
    EXPECT_EQ(HitTestBorder(800, 600, {0, 300}), BORDER_LEFT);
    EXPECT_EQ(HitTestBorder(800, 600, {797, 300}), BORDER_RIGHT);
    EXPECT_EQ(HitTestBorder(800, 600, {2, 2}), BORDER_TOPLEFT);
    EXPECT_EQ(HitTestBorder(800, 600, {799, 599}), BORDER_BOTTOMRIGHT);
    EXPECT_EQ(HitTestBorder(800, 600, {400, 10}), BORDER_CAPTION);
    EXPECT_EQ(HitTestBorder(800, 600, {400, 300}), BORDER_NONE);
    EXPECT_EQ(HitTestBorder(800, 600, {900, 300}), BORDER_NONE);

    const S_RECT work{0, 0, 1920, 1040};
    const S_RECT win{100, 100, 1100, 800}; // 1000 x 700
    // A left drag to 700 wide stops at 800, moving the left side only.
    EXPECT_EQ(DragBorder(win, BORDER_LEFT, {400, 0}, {800, 600}, work), (S_RECT{300, 100, 1100, 800}));
    // Past the work area the width stops at the work area's.
    EXPECT_EQ(DragBorder(win, BORDER_RIGHT, {2500, 0}, {800, 600}, work), (S_RECT{100, 100, 2020, 800}));
    EXPECT_EQ(DragBorder(win, BORDER_TOPLEFT, {50, 400}, {800, 600}, work), (S_RECT{50, 200, 1100, 800}));
    EXPECT_EQ(DragBorder(win, BORDER_BOTTOM, {0, 3000}, {800, 600}, work), (S_RECT{100, 100, 1100, 1140}));
    // A panel collapsed to its title takes the same rule with its own minimum.
    EXPECT_EQ(DragBorder({0, 0, 300, 19}, BORDER_RIGHT, {100, 0}, {208, 150}, work), (S_RECT{0, 0, 208, 19}));
}

TEST(RoomMonitors, MoveToSecondMonitor)
{
    const S_RECT primary{0, 0, 1920, 1080}, right{1920, 0, 3200, 1024}, left{-1280, 0, 0, 1024};
    const S_RECT win{100, 100, 1124, 868}; // 1024 x 768 on the primary
    std::vector<S_RECT> table{primary, right};

    auto move = MoveToSecondMonitor(table, 2, win, false, false, false);
    EXPECT_EQ(move.kind, S_MONITORMOVE::MOVE);
    EXPECT_EQ(move.target, (S_RECT{1920 + 128, 128, 1920 + 128 + 1024, 128 + 768}));
    move = MoveToSecondMonitor(table, 2, win, true, false, false);
    EXPECT_EQ(move.kind, S_MONITORMOVE::MAXIMISE);
    EXPECT_EQ(move.target, right);
    // Already there: nothing.
    EXPECT_EQ(MoveToSecondMonitor(table, 2, {2000, 0, 3000, 700}, false, false, false).kind,
              S_MONITORMOVE::STAY);
    std::vector<S_RECT> leftTable{primary, left};
    EXPECT_EQ(MoveToSecondMonitor(leftTable, 2, {-1000, 0, 0, 700}, false, false, false).kind,
              S_MONITORMOVE::STAY);
    EXPECT_EQ(MoveToSecondMonitor(leftTable, 2, win, false, false, false).kind, S_MONITORMOVE::MOVE);
    // One monitor, a player, a screen recording, or a table shorter than the count: nothing.
    EXPECT_EQ(MoveToSecondMonitor(table, 1, win, false, false, false).kind, S_MONITORMOVE::STAY);
    EXPECT_EQ(MoveToSecondMonitor(table, 2, win, false, true, false).kind, S_MONITORMOVE::STAY);
    EXPECT_EQ(MoveToSecondMonitor(table, 2, win, false, false, true).kind, S_MONITORMOVE::STAY);
    EXPECT_EQ(MoveToSecondMonitor(std::vector<S_RECT>{primary}, 2, win, false, false, false).kind,
              S_MONITORMOVE::STAY);
    EXPECT_EQ(MoveToSecondMonitor(table, 3, win, false, false, false).kind, S_MONITORMOVE::STAY);
}

TEST(RoomBar, ViewItemsFollowRightsRoomTypeAndWindowState)
{
    auto item = [](const std::vector<S_BARITEM>& items, int nId)
    {
        for (const S_BARITEM& i : items)
            if (i.nId == nId) return i;
        return S_BARITEM{0, false, false, false};
    };
    S_BARSTATE s;
    s.wRoomType = 4;
    s.wViewMode = 1;
    s.bHasVideo = true;
    // Without the control right nothing switches; the current mode is checked.
    auto items = BarItems(s);
    EXPECT_EQ(item(items, 1138), (S_BARITEM{1138, false, true, true}));
    EXPECT_FALSE(item(items, 1137).bEnabled);
    EXPECT_FALSE(item(items, 1389).bEnabled); // video docked outside video mode

    s.bControlRight = true;
    items = BarItems(s);
    EXPECT_TRUE(item(items, 1137).bEnabled && item(items, 1136).bEnabled && item(items, 1144).bEnabled);
    EXPECT_FALSE(item(items, 1138).bEnabled); // the current mode
    s.bVideoFloating = true;
    EXPECT_TRUE(item(BarItems(s), 1389).bEnabled);

    // A document room: no video mode, the others for the chief or presenter.
    s.wRoomType = 8;
    s.bControlRight = false;
    s.bPresenter = true;
    items = BarItems(s);
    EXPECT_FALSE(item(items, 1137).bEnabled);
    EXPECT_TRUE(item(items, 1136).bEnabled);
    EXPECT_FALSE(CanSwitchViewMode(s));
    s.bPlayer = true;
    items = BarItems(s);
    EXPECT_FALSE(item(items, 1136).bEnabled);
    EXPECT_FALSE(item(items, 1414).bEnabled);

    // Maximise and restore take turns; full screen checks 1414 and stills both.
    S_BARSTATE w;
    w.bMaximised = true;
    items = BarItems(w);
    EXPECT_FALSE(item(items, 1410).bShown);
    EXPECT_TRUE(item(items, 1411).bShown);
    w.bFullScreen = true;
    items = BarItems(w);
    EXPECT_TRUE(item(items, 1414).bChecked);
    EXPECT_FALSE(item(items, 1411).bEnabled);

    for (uint16_t m = 0; m < 4; ++m)
        EXPECT_EQ(ViewModeOfItem(ViewModeItem(m)), m);
    EXPECT_EQ(ViewModeOfItem(1414), -1);
}

// The background skips the child areas a view mode shows; a video view under the board or
// floating, and a floating desktop share, are painted over; full screen paints everything black.
TEST(RoomViewLayout, BackgroundLeavesTheShownChildAreasAlone)
{
    struct Row
    {
        uint16_t wMode;
        bool bVideoFloating, bDeskShareDocked, bFullScreen;
        bool bVideo, bDeskShare, bAny;
    } rows[] = {
        {0, false, false, false, true, false, true},
        {1, false, false, false, false, false, true}, // the board covers the video view's place
        {0, true, false, false, false, false, true},  // floating: another window's area
        {2, false, true, false, true, true, true},
        {0, false, true, true, false, false, false}, // full screen: nothing left out
    };
    for (const Row& r : rows)
    {
        S_ROOMVIEWSTATE s;
        s.wViewMode = r.wMode;
        s.bVideoFloating = r.bVideoFloating;
        s.bDeskShareDocked = r.bDeskShareDocked;
        s.bFullScreen = r.bFullScreen;
        std::vector<RoomPane> panes = EraseExclusions(s);
        auto has = [&](RoomPane p) { return std::find(panes.begin(), panes.end(), p) != panes.end(); };
        EXPECT_EQ(has(PANE_VIDEO), r.bVideo) << r.wMode;
        EXPECT_EQ(has(PANE_DESKSHARE), r.bDeskShare) << r.wMode;
        EXPECT_EQ(!panes.empty(), r.bAny) << r.wMode;
        for (RoomPane always : {PANE_BOARD, PANE_CTRLBAR, PANE_MANAGETOOL, PANE_MEDIASHARE})
            EXPECT_EQ(has(always), r.bAny) << r.wMode << " " << always;
        EXPECT_FALSE(has(PANE_PLAYER) || has(PANE_TRANSFER) || has(PANE_QUESTION) || has(PANE_BOARDTOOL));
    }
}
