// The RTP fixed header of our video units.
#include "lmvideo/rtp/RtpPacket.h"

#include "lmvideo/rtp/RtpReaders.h"

bool ParseRtpPacket(const uint8_t* p, size_t n, RtpPacketView& out)
{
    BigEndianReader r(p, n);
    uint8_t b0 = r.U8();
    uint8_t b1 = r.U8();
    out.nSequence = r.U16();
    out.nTimestamp = r.U32();
    out.nSsrc = r.U32();
    if (!r.Ok() || (b0 >> 6) != 2) return false;
    out.bMarker = (b1 & 0x80) != 0;
    out.nPayloadType = b1 & 0x7F;
    r.Skip(4 * size_t(b0 & 0x0F));
    if (b0 & 0x10)
    {
        r.Skip(2);
        r.Skip(4 * size_t(r.U16()));
    }
    size_t nPayload = r.Remaining();
    const uint8_t* pPayload = r.Span(nPayload);
    if (!r.Ok()) return false;
    if (b0 & 0x20)
    {
        // The last byte counts the padding, itself included.
        size_t nPad = nPayload ? pPayload[nPayload - 1] : 0;
        if (nPad == 0 || nPad > nPayload) return false;
        nPayload -= nPad;
    }
    out.pPayload = pPayload;
    out.nPayload = nPayload;
    return true;
}

void WriteRtpHeader(uint8_t* p, bool bMarker, uint8_t nPayloadType, uint16_t nSequence, uint32_t nTimestamp,
                    uint32_t nSsrc)
{
    p[0] = 0x80;
    p[1] = static_cast<uint8_t>((bMarker ? 0x80 : 0) | (nPayloadType & 0x7F));
    p[2] = static_cast<uint8_t>(nSequence >> 8);
    p[3] = static_cast<uint8_t>(nSequence);
    for (int i = 0; i < 4; ++i)
    {
        p[4 + i] = static_cast<uint8_t>(nTimestamp >> (24 - 8 * i));
        p[8 + i] = static_cast<uint8_t>(nSsrc >> (24 - 8 * i));
    }
}
