// Window-free rules of the skinned controls.
#include "confclient/toolkit/controls/ControlRules.h"
#include <algorithm>
#include <cstdint>

FontStyle DecodeFontStyle(int style)
{
    int flags = style % 100;
    return FontStyle{style / 100 * 100, (flags & 2) != 0, (flags & 4) != 0, (flags & 8) != 0};
}

int BarLength(int pos, int lower, int upper, int extent)
{
    if (lower >= upper || extent <= 0) return 0;
    double fraction = (static_cast<double>(pos) - lower) / (static_cast<double>(upper) - lower);
    fraction = std::clamp(fraction, 0.0, 1.0);
    return static_cast<int>(extent * fraction);
}

int SnakeStep(int pos, int delta, int lower, int upper, int size, bool bounce, int& dir)
{
    int64_t span = static_cast<int64_t>(upper) + size - lower;
    if (span <= 0)
    {
        dir = 1;
        return lower;
    }
    int64_t offset = std::clamp<int64_t>(static_cast<int64_t>(pos) - lower, 0, span);
    if (!bounce)
    {
        dir = 1;
        int64_t moved = ((offset + delta) % span + span) % span;
        return static_cast<int>(lower + moved);
    }
    // On the unfolded path 0..2*span the first half runs forward, the second back.
    int64_t period = 2 * span;
    int64_t unfolded = dir < 0 ? period - offset : offset;
    int64_t moved = ((unfolded + delta) % period + period) % period;
    if (moved <= span)
    {
        dir = 1;
        return static_cast<int>(lower + moved);
    }
    dir = -1;
    return static_cast<int>(lower + period - moved);
}
