// RFC 6184 depacketization into Annex-B pictures.
#include "lmvideo/rtp/H264Depacketizer.h"

#include "lmvideo/rtp/AnnexB.h"
#include "lmvideo/rtp/RtpReaders.h"

namespace
{
void AppendNal(AccessUnit& unit, const uint8_t* p, size_t n)
{
    if (NalType(p[0]) == kNalTypeIdr) unit.bKey = true;
    AppendAnnexBNal(unit.data, p, n);
}
} // namespace

bool H264Depacketizer::AppendPayload(const RtpPacketView& packet, AccessUnit& unit)
{
    if (packet.nPayload == 0) return false;
    const uint8_t* p = packet.pPayload;
    uint8_t type = NalType(p[0]);
    // A fragmented unit must run on in consecutive packets.
    if (m_bInFragment && type != 28) return false;
    if (type >= 1 && type <= 23)
    {
        AppendNal(unit, p, packet.nPayload);
        return true;
    }
    if (type == 24) return AppendStapA(p + 1, packet.nPayload - 1, unit);
    if (type == 28) return AppendFuA(p, packet.nPayload, unit);
    // Reserved types are ignored as the RFC asks; the interleaved-mode types cannot be
    // ordered in this mode, so the picture is lost.
    return type == 0 || type >= 30;
}

bool H264Depacketizer::OpensPicture(const RtpPacketView& packet) const
{
    const uint8_t* p = packet.pPayload;
    const size_t n = packet.nPayload;
    if (n == 0) return false;
    const uint8_t type = NalType(p[0]);
    if (type == 24) return n > 3 && NalOpensPicture(p + 3, n - 3);
    if (type == 28)
    {
        // A first fragment: its unit's header rebuilt, then the body.
        if (n < 3 || !(p[1] & 0x80)) return false;
        const uint8_t nal[2] = {static_cast<uint8_t>((p[0] & 0xE0) | NalType(p[1])), p[2]};
        return NalOpensPicture(nal, 2);
    }
    return NalOpensPicture(p, n);
}

bool H264Depacketizer::AppendStapA(const uint8_t* p, size_t n, AccessUnit& unit)
{
    BigEndianReader r(p, n);
    bool bAny = false;
    while (r.Remaining() > 0)
    {
        size_t nNal = r.U16();
        const uint8_t* pNal = r.Span(nNal);
        if (!r.Ok() || nNal == 0) return false;
        AppendNal(unit, pNal, nNal);
        bAny = true;
    }
    return bAny;
}

bool H264Depacketizer::AppendFuA(const uint8_t* p, size_t n, AccessUnit& unit)
{
    if (n < 2) return false;
    const bool bStart = (p[1] & 0x80) != 0;
    const bool bEnd = (p[1] & 0x40) != 0;
    const uint8_t type = NalType(p[1]);
    if (bStart == m_bInFragment || (bStart && bEnd)) return false;
    if (bStart)
    {
        const uint8_t header = static_cast<uint8_t>((p[0] & 0xE0) | type);
        AppendNal(unit, &header, 1);
        m_nFragmentType = type;
        m_bInFragment = true;
    }
    else if (type != m_nFragmentType)
    {
        return false;
    }
    unit.data.insert(unit.data.end(), p + 2, p + n);
    if (bEnd) m_bInFragment = false;
    return true;
}
