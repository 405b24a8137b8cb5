// The 10-byte frame header of the conference protocol, read and written field by
// field (little-endian, no padding), and the one-byte payload mask.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr uint8_t kFrameMask = 0xA6; // first byte of every frame, and the payload XOR mask
constexpr size_t kFrameHeaderSize = 10;
constexpr uint32_t kMaxFrameLength = 0x80000; // the receive buffer: no frame can be longer

struct PacketHeader
{
    uint8_t byMask = kFrameMask;
    uint8_t byPadding = 0; // zero bytes added to reach whole cipher blocks
    uint16_t wCommand = 0;
    uint32_t dwTotalLength = 0; // header included
    uint16_t wSub = 0;

    // pFrame must hold kFrameHeaderSize bytes.
    static PacketHeader Read(const uint8_t* pFrame);
    void Write(uint8_t* pFrame) const;
};

// Writes nLen source bytes XORed with the mask to the target (which may be the
// source). Returns nLen; an empty range does nothing.
size_t XorPayload(const uint8_t* pSrc, size_t nLen, uint8_t* pDst);

// Writes a header with padding 0 and total length nPayloadLen + 10; the sub is
// kept only for command 640 (the transfer identifier), else 0.
void BuildPacketHeader(uint16_t wCommand, uint32_t nPayloadLen, uint8_t* pFrame, uint16_t wSub);
