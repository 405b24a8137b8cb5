// Encodes pictures as constrained-baseline H.264 with openh264 in RFC 6184 RTP units: any pixel
// format and size in, converted to the size given at Init. Options: "speed=N;" (1: the fastest
// real-time settings) and "compat;" (slices small enough for one NAL unit per unit, for
// terminals).
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "lmvideo/codecs/PictureConverter.h"
#include "lmvideo/rtp/H264Packetizer.h"

class ISVCEncoder;

class H264Encoder : public CodecError
{
public:
    H264Encoder();
    ~H264Encoder();
    H264Encoder(const H264Encoder&) = delete;
    H264Encoder& operator=(const H264Encoder&) = delete;

    // Takes effect at the next Init.
    bool SetOptions(const std::string& options);
    bool Init(int32_t nFrameRate, int32_t nBitRate, int32_t nMaxUnit, int32_t nWidth, int32_t nHeight);
    // One picture; picture.nKeyFrame asks for an IDR picture.
    bool Encode(const uint8_t* pSource, int32_t nSourceBytes, const S_LMPICTURE& picture, int32_t nCapacity,
                uint8_t* pOutput, S_ENCODEROUTPUT& result);

private:
    void Close();

    ISVCEncoder* m_pEncoder = nullptr;
    int m_nSpeed = 0;
    bool m_bCompat = false;
    int32_t m_nWidth = 0, m_nHeight = 0, m_nFrameRate = 0;
    int64_t m_nFrames = 0;
    std::vector<uint8_t> m_picture;    // the converted input
    std::vector<uint8_t> m_accessUnit; // the coded picture as Annex-B
    std::unique_ptr<H264Packetizer> m_pPacketizer;
    PictureConverter m_converter;
};
