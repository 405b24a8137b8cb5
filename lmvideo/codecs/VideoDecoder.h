// Decodes H.264 or H.263 video on the caller's thread, single-threaded and without delay,
// into packed planar 4:2:0. Input is whole RTP packets (RFC 6184 or RFC 2190), or, where plain
// streams are allowed, blocks of the plain stream that each hold whole pictures. Until the
// first key picture, and for input that completes no picture, there is no picture
// (LM_E_NOPICTURE); a picture lost in transit costs only that picture.
#pragma once
#include <cstdint>
#include <memory>

#include "lmvideo/codecs/PlanarCopy.h"
#include "lmvideo/rtp/AccessUnit.h"
#include "lmvideo/rtp/RtpDepacketizer.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

enum class VideoCodec
{
    H264,
    H263,
};

struct DecodedPicture
{
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    bool bKey = false;
};

class VideoDecoder : public CodecError
{
public:
    VideoDecoder(VideoCodec codec, bool bPlainStreams);
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // Takes one packet or block; writes the picture it completes into pOutput (nCapacity bytes).
    bool Decode(const uint8_t* pSource, int32_t nLength, uint8_t* pOutput, int32_t nCapacity,
                DecodedPicture& picture);

private:
    bool Open();
    bool DecodeUnit(const AccessUnit& unit, uint8_t* pOutput, int32_t nCapacity, DecodedPicture& picture);

    VideoCodec m_codec;
    bool m_bPlainStreams;
    bool m_bStarted = false; // a key picture went in
    std::unique_ptr<RtpDepacketizer> m_pDepacketizer;
    AVCodecContext* m_pContext = nullptr;
    AVFrame* m_pFrame = nullptr;
    AVPacket* m_pPacket = nullptr;
    PlanarCopy m_copy;
};

// Whether a coded picture (Annex-B H.264 or an H.263 picture) can be decoded on its own.
bool IsKeyPicture(VideoCodec codec, const uint8_t* p, size_t n);
