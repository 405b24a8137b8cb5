// Where a side panel goes when it floats, how it collapses to its title and how a border drag
// sizes it: the rules the chat, user list, agenda and e-book panels share.
#pragma once
#include <cstdint>

#include "confclient/room/RoomViewLayout.h"

constexpr int32_t kPanelFloatWidth = 208;
constexpr int32_t kPanelFloatHeight = 150;
constexpr int32_t kPanelTitleHeight = 19;
constexpr int kPanelMinAlpha = 70;
constexpr int kPanelMaxAlpha = 255;

// The panels that float, each with its first place below the one before.
enum SidePanelKind : int
{
    SIDEPANEL_AGENDA,
    SIDEPANEL_USERLIST,
    SIDEPANEL_CHAT,
    SIDEPANEL_EBOOK,
};

// The side panels' origin: the left of the room's monitor work area, the top below the bar.
S_POINT PanelOrigin(const S_RECT& workArea, int32_t nRoomTop, int32_t nBarHeight);

// The first floating rectangle of a panel: 208 x 150 towards the right of the screen, each kind
// below the one before (150 lower again with the tall-list option); only its title when collapsed.
S_RECT FirstFloatRect(SidePanelKind kind, S_POINT origin, int32_t nScreenWidth, bool bTallList,
                      bool bExpanded);

// A collapsed panel keeps its top and width and shows its title only; expanding gives it back
// nExpandedHeight.
S_RECT CollapsedRect(const S_RECT& r);
S_RECT ExpandedRect(const S_RECT& r, int32_t nExpandedHeight);

// A floating panel's border drag: at least 208 x 150, at most the work area; a collapsed panel
// only widens or narrows.
S_RECT DragPanelBorder(const S_RECT& r, int nEdge, S_POINT cursor, const S_RECT& workArea, bool bExpanded);

// The transparency a slider value gives: 70..255.
int PanelAlpha(int nValue);
