// Decodes JPEG pictures as webcams send them (often without Huffman tables, which the decoder
// then takes from the standard) into planar 4:2:0, full range kept.
#pragma once
#include <cstdint>

#include "lmvideo/codecs/PlanarCopy.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

class MjpegDecoder : public CodecError
{
public:
    MjpegDecoder() = default;
    ~MjpegDecoder();
    MjpegDecoder(const MjpegDecoder&) = delete;
    MjpegDecoder& operator=(const MjpegDecoder&) = delete;

    // Decodes one picture into pOutput, which holds a 4:2:0 picture of nMaxWidth x nMaxHeight;
    // a larger picture is refused. On success the decoded size is in nWidth, nHeight.
    bool Decode(const uint8_t* pSource, int32_t nLength, uint8_t* pOutput, int32_t nMaxWidth,
                int32_t nMaxHeight, int32_t& nWidth, int32_t& nHeight);

private:
    bool Open();

    AVCodecContext* m_pContext = nullptr;
    AVFrame* m_pFrame = nullptr;
    AVPacket* m_pPacket = nullptr;
    PlanarCopy m_copy;
};
