// The control bar's view items as rules: from the room's state, whether each view-mode,
// full-screen, maximise and restore item is enabled, checked and shown.
#pragma once
#include <cstdint>
#include <vector>

// Item ids of the bar: buttons and menu commands share them.
enum : int
{
    BARITEM_VIEW_MEDIASHARE = 1136,
    BARITEM_VIEW_VIDEO = 1137,
    BARITEM_VIEW_BOARD = 1138,
    BARITEM_VIEW_QUESTION = 1144,
    BARITEM_VIDEO_FLOAT = 1389,
    BARITEM_MAXIMIZE = 1410,
    BARITEM_RESTORE = 1411,
    BARITEM_FULLSCREEN = 1414,
};

struct S_BARSTATE
{
    uint16_t wViewMode = 1;
    uint16_t wRoomType = 0;
    bool bPlayer = false;
    bool bControlRight = false; // the chief or whoever holds the control right
    bool bPresenter = false;
    bool bHasVideo = false;
    bool bVideoFloating = false;
    bool bFullScreen = false;
    bool bMaximised = false;
};

struct S_BARITEM
{
    int nId;
    bool bEnabled;
    bool bChecked;
    bool bShown;
    bool operator==(const S_BARITEM&) const = default;
};

// The bar's item for a view mode (0 video, 1 board, 2 media share, 3 question); 0 for another.
int ViewModeItem(uint16_t wMode);
// The view mode of a bar item; -1 for an item that is no view mode.
int ViewModeOfItem(int nId);

// Whether the local user may switch the room's view: never in player mode nor in rooms of
// type 8 or 1, else the control right or the presenter.
bool CanSwitchViewMode(const S_BARSTATE& s);

// The view items of the bar in a fixed order: 1137, 1138, 1136, 1144, 1389, 1414, 1410, 1411.
std::vector<S_BARITEM> BarItems(const S_BARSTATE& s);
