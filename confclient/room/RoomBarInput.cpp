// The control bar's key and press rules.
#include "confclient/room/RoomBarInput.h"

namespace
{
// Virtual keys, as the platform numbers them.
constexpr unsigned kVkReturn = 0x0D, kVkSpace = 0x20, kVkLeft = 0x25, kVkDown = 0x28;
constexpr int kCaptionTop = 1, kCaptionBottom = 31;
} // namespace

BarKeyAction BarKeyOf(unsigned nKey, bool bEditFocus)
{
    if (!bEditFocus) return nKey == kVkSpace ? BARKEY_EAT : BARKEY_ROOM;
    if (nKey == kVkReturn) return BARKEY_LOAD_WEB;
    // The arrows move in the field and its list, never through the room's hot keys.
    if (nKey >= kVkLeft && nKey <= kVkDown) return BARKEY_DIALOG_ONLY;
    return BARKEY_ROOM;
}

BarPressAction BarPressOf(const S_BARPRESS& p)
{
    bool bOnCaption = p.x >= 0 && p.x < p.nBarWidth && p.y >= kCaptionTop && p.y <= kCaptionBottom;
    if (!bOnCaption || p.bFullScreen) return BARPRESS_NONE;
    if (p.bDoubleClick) return BARPRESS_TOGGLE_MAXIMISED;
    return p.bMaximised ? BARPRESS_NONE : BARPRESS_MOVE;
}
