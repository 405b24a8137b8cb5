// Opus for voice: 16 kHz mono, 20-ms frames, variable rate about 24 kbit/s, in-band FEC.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct OpusEncoder;
struct OpusDecoder;

class COpusEncoder
{
public:
    COpusEncoder();
    ~COpusEncoder();
    COpusEncoder(const COpusEncoder&) = delete;
    COpusEncoder& operator=(const COpusEncoder&) = delete;

    bool Ok() const { return m_pEncoder != nullptr; }
    // One frame of kVoiceFrameSamples samples into an Opus packet; false when the encoder failed.
    bool Encode(const int16_t* pFrame, std::vector<uint8_t>& packet);

private:
    OpusEncoder* m_pEncoder = nullptr;
};

class COpusDecoder
{
public:
    COpusDecoder();
    ~COpusDecoder();
    COpusDecoder(const COpusDecoder&) = delete;
    COpusDecoder& operator=(const COpusDecoder&) = delete;

    bool Ok() const { return m_pDecoder != nullptr; }
    // Each fills one frame of kVoiceFrameSamples samples; a packet that does not decode is
    // concealed instead, so the frame is always filled.
    void Decode(const std::vector<uint8_t>& packet, int16_t* pFrame);
    // The frame before this packet, from its forward error correction (concealed when it has none).
    void DecodeFec(const std::vector<uint8_t>& nextPacket, int16_t* pFrame);
    void Conceal(int16_t* pFrame);

private:
    void Run(const std::vector<uint8_t>* pPacket, bool bFec, int16_t* pFrame);

    OpusDecoder* m_pDecoder = nullptr;
};
