// The side panels' floating places, collapse and border drags.
#include "confclient/room/SidePanelGeometry.h"

#include <algorithm>

namespace
{
// The first floating place of each kind below the origin, with the tall-list option's extra step.
int32_t TopOffset(SidePanelKind kind, bool bTallList)
{
    const int32_t nTall = bTallList ? kPanelFloatHeight : 0;
    switch (kind)
    {
    case SIDEPANEL_AGENDA:
        return 0;
    case SIDEPANEL_USERLIST:
        return 149 + nTall;
    case SIDEPANEL_CHAT:
        return 299 + nTall;
    case SIDEPANEL_EBOOK:
        return 449 + nTall;
    }
    return 0;
}
} // namespace

S_POINT PanelOrigin(const S_RECT& workArea, int32_t nRoomTop, int32_t nBarHeight)
{
    return {workArea.left, std::max(workArea.top, nRoomTop + nBarHeight)};
}

S_RECT FirstFloatRect(SidePanelKind kind, S_POINT origin, int32_t nScreenWidth, bool bTallList,
                      bool bExpanded)
{
    const int32_t x = origin.x + nScreenWidth - 150;
    const int32_t top = origin.y + TopOffset(kind, bTallList);
    S_RECT r{x - 225, top, x - 17, top + kPanelFloatHeight};
    return bExpanded ? r : CollapsedRect(r);
}

S_RECT CollapsedRect(const S_RECT& r)
{
    return {r.left, r.top, r.right, r.top + kPanelTitleHeight};
}

S_RECT ExpandedRect(const S_RECT& r, int32_t nExpandedHeight)
{
    return {r.left, r.top, r.right, r.top + std::max(nExpandedHeight, kPanelFloatHeight)};
}

S_RECT DragPanelBorder(const S_RECT& r, int nEdge, S_POINT cursor, const S_RECT& workArea, bool bExpanded)
{
    if (!bExpanded)
    {
        // Only the sides move; the title keeps its height.
        bool bLeft = nEdge == BORDER_LEFT || nEdge == BORDER_TOPLEFT || nEdge == BORDER_BOTTOMLEFT;
        bool bRight = nEdge == BORDER_RIGHT || nEdge == BORDER_TOPRIGHT || nEdge == BORDER_BOTTOMRIGHT;
        if (!bLeft && !bRight) return r;
        S_RECT w = DragBorder(r, bLeft ? BORDER_LEFT : BORDER_RIGHT, cursor, {kPanelFloatWidth, 0}, workArea);
        return {w.left, r.top, w.right, r.bottom};
    }
    return DragBorder(r, nEdge, cursor, {kPanelFloatWidth, kPanelFloatHeight}, workArea);
}

int PanelAlpha(int nValue)
{
    return std::clamp(nValue, kPanelMinAlpha, kPanelMaxAlpha);
}
