// Decodes H.264 or H.263 video on the caller's thread, single-threaded and without delay,
// into packed planar 4:2:0. Input is whole RTP packets (RFC 6184 or RFC 2190), or, where plain
// streams are allowed, blocks of any size of an Annex-B H.264 or H.263 stream; a stream's
// picture is known whole when the next one starts. Until the first key picture, and for
// input that completes no picture, there is no picture (LM_E_NOPICTURE); a picture lost in
// transit costs only that picture.
#pragma once
#include <cstdint>
#include <memory>

#include "lmvideo/codecs/PlanarCopy.h"
#include "lmvideo/rtp/AccessUnit.h"
#include "lmvideo/rtp/RtpDepacketizer.h"
#include "lmvideo/rtp/VideoCodec.h"
#include "lmvideo/rtp/VideoInputFront.h"

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

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
    // Hands the block to the depacketizer or the front; false when it is no input of ours.
    bool Take(const uint8_t* pSource, size_t nLength);
    bool PopUnit(AccessUnit& unit);
    // Decodes one access unit; its picture, if it gives one, becomes the newest.
    bool DecodeUnit(const AccessUnit& unit);

    VideoCodec m_codec;
    bool m_bStarted = false;                          // a key picture went in
    std::unique_ptr<RtpDepacketizer> m_pDepacketizer; // RTP only
    std::unique_ptr<VideoInputFront> m_pFront;        // RTP or a plain stream
    AVCodecContext* m_pContext = nullptr;
    AVFrame* m_pFrame = nullptr;
    AVFrame* m_pNewest = nullptr; // the newest picture of the call, until it is copied out
    AVPacket* m_pPacket = nullptr;
    PlanarCopy m_copy;
};
