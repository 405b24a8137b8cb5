// Synthetic coded pictures for the RTP tests: NAL units and packets built in the test, with
// bodies that never imitate a start code.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lmvideo/rtp/H263MacroblockInfo.h"
#include "lmvideo/rtp/RtpDepacketizer.h"

using Bytes = std::vector<uint8_t>;
using Packets = std::vector<Bytes>;

// A NAL unit of the given type and total size (header included), body from the seed.
Bytes MakeNal(uint8_t type, size_t n, uint32_t seed);
// A slice of the given type; bFirst puts it at macroblock 0, the start of a picture.
Bytes MakeSlice(uint8_t type, bool bFirst, size_t n, uint32_t seed);
// The NAL units behind four-byte start codes.
Bytes MakeAnnexB(const std::vector<Bytes>& nals);
// Bytes 1..255 from a seed: no run of zeros, so no start code.
void FillNonZero(uint8_t* p, size_t n, uint32_t seed);

// Every unit the writer holds, split by its sizes.
Packets SplitUnits(const uint8_t* p, const uint32_t* sizes, size_t count);

// An RTP packet of ours around a payload.
Bytes MakeRtp(uint16_t seq, uint32_t ts, bool marker, uint8_t pt, const Bytes& payload, uint32_t ssrc = 7);

// Pushes every packet and returns the pictures that came out, flushed at the end.
std::vector<AccessUnit> Depacketize(RtpDepacketizer& d, const Packets& packets);

// A synthetic H.263 picture: header, groups of blocks behind byte-aligned start codes,
// bodies of nonzero bytes at odd bit offsets (no start code inside), and a macroblock
// record every nMacroblockBits bits of each group's body.
struct H263TestPicture
{
    Bytes bits;
    std::vector<H263MacroblockInfo> macroblocks;
};
H263TestPicture MakeH263Picture(bool bIntra, uint8_t nTemporalReference,
                                const std::vector<size_t>& groupBytes, size_t nMacroblockBits);
