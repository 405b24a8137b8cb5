// The framing of every RTP fuzz input: blocks (packets or stream pieces), each a big-endian
// 16-bit length and that many bytes; a length past the end takes what is left. Mutating
// the framing cuts, joins, duplicates and reorders packets.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lmvideo/rtp/AccessUnit.h"

template <class Fn> void ForEachBlock(const uint8_t* p, size_t n, Fn&& fn)
{
    while (n >= 2)
    {
        size_t nBlock = size_t(p[0]) << 8 | p[1];
        p += 2;
        n -= 2;
        if (nBlock > n) nBlock = n;
        fn(p, nBlock);
        p += nBlock;
        n -= nBlock;
    }
}

// Every picture handed out must respect the bound that keeps a hostile stream small.
template <class Source> void DrainPictures(Source& source)
{
    AccessUnit unit;
    while (source.Pop(unit))
        if (unit.data.empty() || unit.data.size() > kMaxAccessUnitBytes) std::abort();
}
