// The RTP fixed header of our video units: reading a received packet and writing our own.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kRtpMaxUnitBytes = 1350; // whole packet, header included
constexpr size_t kRtpHeaderBytes = 12;    // ours carry no CSRC, extension or padding
constexpr size_t kRtpMaxPayloadBytes = kRtpMaxUnitBytes - kRtpHeaderBytes;
constexpr uint32_t kRtpVideoClockRate = 90000;
constexpr uint8_t kRtpPayloadH264 = 96;
constexpr uint8_t kRtpPayloadH263 = 34;

struct RtpPacketView
{
    bool bMarker = false;
    uint8_t nPayloadType = 0;
    uint16_t nSequence = 0;
    uint32_t nTimestamp = 0;
    uint32_t nSsrc = 0;
    const uint8_t* pPayload = nullptr; // inside the packet; CSRCs, extension and padding removed
    size_t nPayload = 0;
};

// False unless the bytes are a whole version 2 packet whose CSRC list, extension and
// padding all lie within it.
bool ParseRtpPacket(const uint8_t* p, size_t n, RtpPacketView& out);

// Writes kRtpHeaderBytes at p.
void WriteRtpHeader(uint8_t* p, bool bMarker, uint8_t nPayloadType, uint16_t nSequence, uint32_t nTimestamp,
                    uint32_t nSsrc);

// Whether the bytes start like an RTP packet (version 2), which no elementary stream does.
inline bool LooksLikeRtp(const uint8_t* p, size_t n)
{
    return n >= kRtpHeaderBytes && (p[0] >> 6) == 2;
}
