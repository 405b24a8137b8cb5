// The owner-drawn menu's rules that need no window: colour shading, the
// platform version code, the item flags of an append, and item measures.
#pragma once
#include <cstdint>
#include <string_view>

// Colours are 0x00BBGGRR, as the platform keeps them.
using MenuColour = uint32_t;

// Each component x becomes x + (255 - x) * f (truncated); f outside 0..1 changes nothing.
MenuColour LightenColour(MenuColour c, double f);
// Each component x becomes x - x * f (truncated); f outside 0..1 changes nothing.
MenuColour DarkenColour(MenuColour c, double f);

// The platform's version as the menu grades it: 9x line 0 (below 4), 3 (4.10),
// 4 (4.90), else 2; NT line 5 (4.x), 6 (5.0), 7 (5.1), else 1.
enum class PlatformLine
{
    Win9x,
    NT,
};
int MenuVersionCode(PlatformLine line, uint32_t nMajor, uint32_t nMinor);

// True when the current theme file name ends in "Windows Classic.theme" (case ignored).
bool IsClassicThemeName(std::u16string_view themePath);

// The menu-item flags an append really uses: id 0 makes a separator
// (0x800 | owner-draw), keeping only the by-position bit of the given flags;
// any other id adds owner-draw (0x100).
constexpr uint32_t kMenuOwnerDraw = 0x100;
constexpr uint32_t kMenuSeparator = 0x800;
constexpr uint32_t kMenuByPosition = 0x400;
constexpr uint32_t kMenuPopup = 0x10;
uint32_t AppendFlags(uint32_t nFlags, uintptr_t nId);

// Item image size shared by every menu.
constexpr int kMenuIconWidth = 16;
constexpr int kMenuIconHeight = 15;

struct MenuItemSize
{
    int width, height;
};
// The gap between image and text: 7 in the flat style with extra disabled images, else 4.
int MenuGap(bool bFlat, bool bDisabledImages);
MenuItemSize MeasureSeparator(bool bFlat, int nGap, int nSystemMenuHeight);
MenuItemSize MeasureTextItem(bool bFlat, int nGap, int nTextWidth, int nSystemMenuHeight);
