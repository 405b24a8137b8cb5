// The control bar's view, full-screen, maximise and restore items from the room's state.
#include "confclient/room/RoomBarRules.h"

namespace
{
constexpr int kViewItems[] = {BARITEM_VIEW_VIDEO, BARITEM_VIEW_BOARD, BARITEM_VIEW_MEDIASHARE,
                              BARITEM_VIEW_QUESTION};

bool IsDocOrSeminarRoom(uint16_t wType)
{
    return wType == 8 || wType == 1;
}
} // namespace

int ViewModeItem(uint16_t wMode)
{
    return wMode < 4 ? kViewItems[wMode] : 0;
}

int ViewModeOfItem(int nId)
{
    for (int i = 0; i < 4; ++i)
        if (kViewItems[i] == nId) return i;
    return -1;
}

bool CanSwitchViewMode(const S_BARSTATE& s)
{
    if (s.bPlayer || IsDocOrSeminarRoom(s.wRoomType)) return false;
    return s.bControlRight || s.bPresenter;
}

std::vector<S_BARITEM> BarItems(const S_BARSTATE& s)
{
    std::vector<S_BARITEM> items;
    const bool bChiefOrPresenter = s.bControlRight || s.bPresenter;
    for (uint16_t mode = 0; mode < 4; ++mode)
    {
        bool bCurrent = mode == s.wViewMode;
        bool bEnabled;
        // Rooms of type 8 or 1 have no video mode; their other modes follow the chief or presenter.
        if (IsDocOrSeminarRoom(s.wRoomType))
            bEnabled = mode != 0 && !bCurrent && bChiefOrPresenter && !s.bPlayer;
        else
            bEnabled = !bCurrent && CanSwitchViewMode(s);
        items.push_back({ViewModeItem(mode), bEnabled, bCurrent, true});
    }
    items.push_back(
        {BARITEM_VIDEO_FLOAT, s.bHasVideo && (s.wViewMode == 0 || s.bVideoFloating), false, s.bHasVideo});
    items.push_back({BARITEM_FULLSCREEN, !s.bPlayer, s.bFullScreen, true});
    items.push_back({BARITEM_MAXIMIZE, !s.bFullScreen, false, !s.bMaximised});
    items.push_back({BARITEM_RESTORE, !s.bFullScreen, false, s.bMaximised});
    return items;
}
