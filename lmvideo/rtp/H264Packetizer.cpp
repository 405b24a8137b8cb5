// RFC 6184 packetization of H.264 pictures.
#include "lmvideo/rtp/H264Packetizer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "lmvideo/rtp/AnnexB.h"
#include "lmvideo/rtp/RtpPacket.h"

namespace
{
constexpr uint8_t kTypeStapA = 24;
constexpr uint8_t kTypeFuA = 28;
constexpr size_t kFuHeaderBytes = 2;

// Types 1-23 are NAL units proper; 0 and 24-31 would be read as packetization structures.
bool CarriesAlone(uint8_t header)
{
    uint8_t type = NalType(header);
    return type >= 1 && type <= 23;
}

class UnitSequence
{
public:
    UnitSequence(RtpUnitWriter& out, uint16_t& nSequence, uint32_t nTimestamp, uint32_t nSsrc)
        : m_out(out), m_nSequence(nSequence), m_nTimestamp(nTimestamp), m_nSsrc(nSsrc)
    {
    }

    // Room for a payload of n bytes after the header, or null.
    uint8_t* Begin(size_t n, bool bLast)
    {
        uint8_t* p = m_out.BeginUnit(kRtpHeaderBytes + n);
        if (!p) return nullptr;
        WriteRtpHeader(p, bLast, kRtpPayloadH264, m_nSequence++, m_nTimestamp, m_nSsrc);
        m_nSize = kRtpHeaderBytes + n;
        return p + kRtpHeaderBytes;
    }
    void End() { m_out.EndUnit(m_nSize); }

private:
    RtpUnitWriter& m_out;
    uint16_t& m_nSequence;
    uint32_t m_nTimestamp;
    uint32_t m_nSsrc;
    size_t m_nSize = 0;
};

bool WriteSingle(UnitSequence& units, const NalSpan& nal, bool bLast)
{
    uint8_t* p = units.Begin(nal.n, bLast);
    if (!p) return false;
    std::memcpy(p, nal.p, nal.n);
    units.End();
    return true;
}

bool WriteStapA(UnitSequence& units, const NalSpan* nals, size_t count, size_t nPayload, bool bLast)
{
    uint8_t* p = units.Begin(nPayload, bLast);
    if (!p) return false;
    // The aggregate's F bit and importance are the strongest of its units'.
    uint8_t nri = 0, forbidden = 0;
    for (size_t i = 0; i < count; ++i)
    {
        nri = std::max<uint8_t>(nri, nals[i].p[0] & 0x60);
        forbidden |= nals[i].p[0] & 0x80;
    }
    *p++ = static_cast<uint8_t>(forbidden | nri | kTypeStapA);
    for (size_t i = 0; i < count; ++i)
    {
        *p++ = static_cast<uint8_t>(nals[i].n >> 8);
        *p++ = static_cast<uint8_t>(nals[i].n);
        std::memcpy(p, nals[i].p, nals[i].n);
        p += nals[i].n;
    }
    units.End();
    return true;
}

bool WriteFuA(UnitSequence& units, const NalSpan& nal, bool bLastNal)
{
    const uint8_t header = nal.p[0];
    const uint8_t* body = nal.p + 1;
    size_t nLeft = nal.n - 1;
    bool bFirst = true;
    while (nLeft > 0)
    {
        size_t nChunk = std::min(nLeft, kRtpMaxPayloadBytes - kFuHeaderBytes);
        bool bEnd = nChunk == nLeft;
        uint8_t* p = units.Begin(kFuHeaderBytes + nChunk, bLastNal && bEnd);
        if (!p) return false;
        p[0] = static_cast<uint8_t>((header & 0xE0) | kTypeFuA);
        p[1] = static_cast<uint8_t>((bFirst ? 0x80 : 0) | (bEnd ? 0x40 : 0) | NalType(header));
        std::memcpy(p + kFuHeaderBytes, body, nChunk);
        units.End();
        body += nChunk;
        nLeft -= nChunk;
        bFirst = false;
    }
    return true;
}
} // namespace

bool H264Packetizer::Packetize(const uint8_t* pAccessUnit, size_t n, uint32_t nTimestamp, RtpUnitWriter& out)
{
    std::vector<NalSpan> nals = SplitAnnexB(pAccessUnit, n);
    if (nals.empty()) return false;
    for (const NalSpan& nal : nals)
    {
        if (!CarriesAlone(nal.p[0])) return false;
        if (m_bCompat && nal.n > kRtpMaxPayloadBytes) return false;
    }

    uint16_t nSequence = m_nSequence;
    UnitSequence units(out, nSequence, nTimestamp, m_nSsrc);
    for (size_t i = 0; i < nals.size();)
    {
        if (nals[i].n > kRtpMaxPayloadBytes)
        {
            if (!WriteFuA(units, nals[i], i + 1 == nals.size())) return false;
            ++i;
            continue;
        }
        // Take as many following small units as fit in one aggregate.
        size_t count = 1, nStap = 1 + 2 + nals[i].n;
        while (!m_bCompat && i + count < nals.size() && nStap + 2 + nals[i + count].n <= kRtpMaxPayloadBytes)
            nStap += 2 + nals[i + count++].n;
        bool bLast = i + count == nals.size();
        bool bOk = count == 1 ? WriteSingle(units, nals[i], bLast)
                              : WriteStapA(units, &nals[i], count, nStap, bLast);
        if (!bOk) return false;
        i += count;
    }
    m_nSequence = nSequence;
    return true;
}
