// RFC 2190 depacketization into H.263 pictures.
#include "lmvideo/rtp/H263Depacketizer.h"

#include "lmvideo/rtp/H263Picture.h"

bool H263Depacketizer::AppendPayload(const RtpPacketView& packet, AccessUnit& unit)
{
    if (packet.nPayload < 4) return false;
    const uint8_t* p = packet.pPayload;
    const bool bF = (p[0] & 0x80) != 0, bP = (p[0] & 0x40) != 0;
    const size_t nHeader = !bF ? 4 : (!bP ? 8 : 12);
    const unsigned sbit = (p[0] >> 3) & 7, ebit = p[0] & 7;
    if (packet.nPayload <= nHeader) return false;
    if (unit.data.empty()) unit.bKey = (bF ? (p[4] & 0x80) : (p[1] & 0x10)) == 0;

    const uint8_t* body = p + nHeader;
    size_t nBody = packet.nPayload - nHeader;
    // A unit that starts inside a byte completes the last byte of the unit before; both must
    // agree on where the split lies.
    if ((sbit + m_nOpenBits) % 8 != 0 || (sbit != 0 && unit.data.empty())) return false;
    if (sbit != 0)
    {
        const uint8_t own = static_cast<uint8_t>((1u << m_nOpenBits) - 1);
        unit.data.back() = static_cast<uint8_t>((unit.data.back() & ~own) | (body[0] & own));
        ++body;
        --nBody;
    }
    unit.data.insert(unit.data.end(), body, body + nBody);
    m_nOpenBits = ebit;
    return true;
}

bool H263Depacketizer::OpensPicture(const RtpPacketView& packet) const
{
    // Mode A, no start bits, and the picture start code first.
    const uint8_t* p = packet.pPayload;
    return packet.nPayload >= 7 && (p[0] & 0xB8) == 0 && IsH263PictureStart(p + 4);
}

bool H263Depacketizer::FinishPicture(AccessUnit& unit)
{
    // Bits the last unit disowned are none of the picture's.
    if (m_nOpenBits != 0 && !unit.data.empty()) unit.data.back() &= static_cast<uint8_t>(0xFF << m_nOpenBits);
    return true;
}
