// An encoder alone, with the settings our encoders give their library: openh264 as kind 2 sets it
// at "speed=1;", libavcodec's h263 as kind 1 does. Planar 4:2:0 pictures in, the coded bytes
// thrown away. Builds for Windows (the cross-built libraries) and natively (the system's).
#pragma once
#include <cstdint>
#include <memory>

struct SBareSettings
{
    bool bH264;
    int nWidth, nHeight, nFrameRate, nBitRate;
};

class CBareEncoder
{
public:
    explicit CBareEncoder(const SBareSettings& settings);
    ~CBareEncoder();
    CBareEncoder(const CBareEncoder&) = delete;
    CBareEncoder& operator=(const CBareEncoder&) = delete;

    // False when the library refused the settings.
    bool IsOpen() const;
    // Codes the next picture (planar 4:2:0 at the settings' size); the coded bytes, or -1.
    int64_t Encode(const uint8_t* pPlanar);

private:
    struct SState;
    std::unique_ptr<SState> m_state;
};
