// Frame header fields and the payload mask.
#include "confclient/network/PacketHeader.h"

#include "confclient/network/QNCommands.h"

PacketHeader PacketHeader::Read(const uint8_t* p)
{
    PacketHeader h;
    h.byMask = p[0];
    h.byPadding = p[1];
    h.wCommand = static_cast<uint16_t>(p[2] | (p[3] << 8));
    h.dwTotalLength =
        uint32_t(p[4]) | (uint32_t(p[5]) << 8) | (uint32_t(p[6]) << 16) | (uint32_t(p[7]) << 24);
    h.wSub = static_cast<uint16_t>(p[8] | (p[9] << 8));
    return h;
}

void PacketHeader::Write(uint8_t* p) const
{
    p[0] = byMask;
    p[1] = byPadding;
    p[2] = static_cast<uint8_t>(wCommand);
    p[3] = static_cast<uint8_t>(wCommand >> 8);
    for (int i = 0; i < 4; ++i)
        p[4 + i] = static_cast<uint8_t>(dwTotalLength >> (8 * i));
    p[8] = static_cast<uint8_t>(wSub);
    p[9] = static_cast<uint8_t>(wSub >> 8);
}

size_t XorPayload(const uint8_t* pSrc, size_t nLen, uint8_t* pDst)
{
    for (size_t i = 0; i < nLen; ++i)
        pDst[i] = pSrc[i] ^ kFrameMask;
    return nLen;
}

void BuildPacketHeader(uint16_t wCommand, uint32_t nPayloadLen, uint8_t* pFrame, uint16_t wSub)
{
    PacketHeader h;
    h.wCommand = wCommand;
    h.dwTotalLength = nPayloadLen + static_cast<uint32_t>(kFrameHeaderSize);
    h.wSub = (wCommand == DAT_MSG_FILE) ? wSub : 0;
    h.Write(pFrame);
}
