// Cuts H.264 pictures into RTP units (RFC 6184, non-interleaved): a NAL unit that fits goes
// alone, consecutive small ones share an aggregation packet (STAP-A), a large one is split
// into fragments (FU-A). In compat mode every unit carries exactly one NAL unit, as
// terminals expect; the encoder keeps its slices small enough for that.
#pragma once
#include <cstddef>
#include <cstdint>

#include "lmvideo/rtp/RtpUnitWriter.h"

class H264Packetizer
{
public:
    H264Packetizer(uint32_t nSsrc, uint16_t nFirstSequence, bool bCompat)
        : m_nSsrc(nSsrc), m_nSequence(nFirstSequence), m_bCompat(bCompat)
    {
    }

    // Writes one picture (an Annex-B access unit) as units of at most kRtpMaxUnitBytes,
    // the marker on the last. False, with the sequence numbers untouched, when the picture
    // holds no NAL unit or one of a packetization type, when a NAL unit is too large for
    // compat mode, or when the writer runs out of room.
    bool Packetize(const uint8_t* pAccessUnit, size_t n, uint32_t nTimestamp, RtpUnitWriter& out);

private:
    uint32_t m_nSsrc;
    uint16_t m_nSequence;
    bool m_bCompat;
};
