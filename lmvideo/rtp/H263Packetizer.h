// Cuts H.263 pictures into RTP units (RFC 2190): a unit starts at the picture or a group of
// blocks (mode A) and takes as many whole groups as fit; a group too large for one unit is
// split between macroblocks the encoder reported (mode B), at any bit.
#pragma once
#include <cstddef>
#include <cstdint>

#include "lmvideo/rtp/H263MacroblockInfo.h"
#include "lmvideo/rtp/RtpUnitWriter.h"

class H263Packetizer
{
public:
    H263Packetizer(uint32_t nSsrc, uint16_t nFirstSequence) : m_nSsrc(nSsrc), m_nSequence(nFirstSequence) {}

    // Writes one picture as units of at most kRtpMaxUnitBytes, the marker on the last.
    // False, with the sequence numbers untouched, when the bytes are not a baseline H.263
    // picture without PB-frames, when a stretch between split points does not fit one unit,
    // or when the writer runs out of room.
    bool Packetize(const uint8_t* pPicture, size_t n, uint32_t nTimestamp,
                   const H263MacroblockInfo* pMacroblocks, size_t nMacroblocks, RtpUnitWriter& out);

private:
    uint32_t m_nSsrc;
    uint16_t m_nSequence;
};
