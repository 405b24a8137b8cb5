// Owner-drawn menu rules.
#include "confclient/toolkit/menurules/MenuRules.h"

#include <algorithm>

namespace
{
template <class F> MenuColour MapComponents(MenuColour c, F f)
{
    MenuColour out = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= MenuColour(f((c >> shift) & 0xff) & 0xff) << shift;
    return out;
}

char16_t Lower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}
} // namespace

MenuColour LightenColour(MenuColour c, double f)
{
    if (f < 0.0 || f > 1.0) return c;
    return MapComponents(c, [f](uint32_t x) { return static_cast<uint32_t>(x + (255 - x) * f); });
}

MenuColour DarkenColour(MenuColour c, double f)
{
    if (f < 0.0 || f > 1.0) return c;
    return MapComponents(c, [f](uint32_t x) { return static_cast<uint32_t>(x - x * f); });
}

int MenuVersionCode(PlatformLine line, uint32_t nMajor, uint32_t nMinor)
{
    if (line == PlatformLine::Win9x)
    {
        if (nMajor < 4) return 0;
        if (nMajor == 4 && nMinor == 10) return 3;
        if (nMajor == 4 && nMinor == 90) return 4;
        return 2;
    }
    if (nMajor == 4) return 5;
    if (nMajor == 5 && nMinor == 0) return 6;
    if (nMajor == 5 && nMinor == 1) return 7;
    return 1;
}

bool IsClassicThemeName(std::u16string_view path)
{
    constexpr std::u16string_view kClassic = u"Windows Classic.theme";
    if (path.size() < kClassic.size()) return false;
    std::u16string_view tail = path.substr(path.size() - kClassic.size());
    return std::equal(tail.begin(), tail.end(), kClassic.begin(),
                      [](char16_t a, char16_t b) { return Lower(a) == Lower(b); });
}

uint32_t AppendFlags(uint32_t nFlags, uintptr_t nId)
{
    if (nId == 0) return (nFlags & kMenuByPosition) | kMenuSeparator | kMenuOwnerDraw;
    return nFlags | kMenuOwnerDraw;
}

int MenuGap(bool bFlat, bool bDisabledImages)
{
    return (bFlat && bDisabledImages) ? 7 : 4;
}

MenuItemSize MeasureSeparator(bool bFlat, int nGap, int nSystemMenuHeight)
{
    if (bFlat) return {0, 3};
    return {0, std::max(nSystemMenuHeight / 2, (kMenuIconHeight + nGap) / 2)};
}

MenuItemSize MeasureTextItem(bool bFlat, int nGap, int nTextWidth, int nSystemMenuHeight)
{
    int width = bFlat ? kMenuIconWidth + nTextWidth + nGap + 8 : nTextWidth + 2 * kMenuIconWidth + 1;
    return {width, std::max(nSystemMenuHeight, kMenuIconHeight + nGap)};
}
