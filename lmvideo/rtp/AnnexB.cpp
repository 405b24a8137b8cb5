// H.264 byte streams: NAL units between start codes.
#include "lmvideo/rtp/AnnexB.h"

namespace
{
// Offset of the first 00 00 01 at or after from, or n.
size_t FindStartCode(const uint8_t* p, size_t n, size_t from)
{
    for (size_t i = from; i + 3 <= n; ++i)
        if (p[i] == 0 && p[i + 1] == 0 && p[i + 2] == 1) return i;
    return n;
}
} // namespace

bool NalOpensPicture(const uint8_t* p, size_t n)
{
    if (n == 0) return false;
    const uint8_t type = NalType(p[0]);
    if ((type >= 6 && type <= 9) || (type >= 14 && type <= 18)) return true;
    // first_mb_in_slice, exp-Golomb coded: "1" is 0.
    return (type == 1 || type == kNalTypeIdr) && n >= 2 && (p[1] & 0x80) != 0;
}

std::vector<NalSpan> SplitAnnexB(const uint8_t* p, size_t n)
{
    std::vector<NalSpan> nals;
    size_t start = FindStartCode(p, n, 0);
    while (start < n)
    {
        size_t begin = start + 3;
        size_t next = FindStartCode(p, n, begin);
        // A unit never ends in a zero byte: zeros before the next start code are its
        // leading zero or the stream's trailing zeros.
        size_t end = next;
        while (end > begin && p[end - 1] == 0)
            --end;
        if (end > begin) nals.push_back({p + begin, end - begin});
        start = next;
    }
    return nals;
}

void AppendAnnexBNal(std::vector<uint8_t>& out, const uint8_t* p, size_t n)
{
    static const uint8_t kStartCode[4] = {0, 0, 0, 1};
    out.insert(out.end(), kStartCode, kStartCode + 4);
    out.insert(out.end(), p, p + n);
}
