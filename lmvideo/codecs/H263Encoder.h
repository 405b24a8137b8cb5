// Encodes pictures as H.263 (libavcodec) in RFC 2190 RTP units: any pixel format and size in,
// converted to the size given at Init (one of H.263's picture sizes).
#pragma once
#include <cstdint>
#include <vector>

#include "lmvideo/codecs/PictureConverter.h"
#include "lmvideo/rtp/H263Packetizer.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

class H263Encoder : public CodecError
{
public:
    H263Encoder();
    ~H263Encoder();
    H263Encoder(const H263Encoder&) = delete;
    H263Encoder& operator=(const H263Encoder&) = delete;

    bool Init(int32_t nFrameRate, int32_t nBitRate, int32_t nMaxUnit, int32_t nWidth, int32_t nHeight);
    // One picture; picture.nKeyFrame asks for an intra picture.
    bool Encode(const uint8_t* pSource, int32_t nSourceBytes, const S_LMPICTURE& picture, int32_t nCapacity,
                uint8_t* pOutput, S_ENCODEROUTPUT& result);

private:
    void Close();

    AVCodecContext* m_pContext = nullptr;
    AVFrame* m_pFrame = nullptr;
    AVPacket* m_pPacket = nullptr;
    PictureConverter m_converter;
    H263Packetizer m_packetizer;
    std::vector<uint8_t> m_packed; // the picture converted to the encoder's size
    int64_t m_nFrames = 0;
};
