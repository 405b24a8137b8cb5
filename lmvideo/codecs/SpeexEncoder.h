// Encodes 20 ms frames of 16-bit mono sound with libspeex: narrowband at 8 kHz, wideband at
// 16 kHz (320 samples), ultra-wideband at 32 kHz; quality 8.
#pragma once
#include <cstdint>
#include <vector>

#include "lmvideo/codecs/CodecError.h"

class SpeexEncoder : public CodecError
{
public:
    static constexpr int kQuality = 8;

    SpeexEncoder() = default;
    ~SpeexEncoder();
    SpeexEncoder(const SpeexEncoder&) = delete;
    SpeexEncoder& operator=(const SpeexEncoder&) = delete;

    bool Init(int32_t nSampleRate, int32_t nFrameMilliseconds);
    // One frame of little-endian samples (exactly a frame's bytes) into at most nSpace bytes.
    bool Encode(const uint8_t* pSamples, int32_t nBytes, uint8_t* pOutput, int32_t nSpace, int32_t& nWritten);

private:
    void Close();

    void* m_pState = nullptr;
    void* m_pBits = nullptr; // SpeexBits, kept opaque here
    int m_nFrameSamples = 0;
    std::vector<int16_t> m_samples;
};
