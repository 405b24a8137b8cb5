// What a decoder of a plain stream is fed, turned into whole pictures: either RTP packets
// (depacketized, losses marked) or blocks of a plain H.264 byte stream or H.263 stream.
// The first block that is recognisably one or the other decides for the rest.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "lmvideo/rtp/AccessUnit.h"
#include "lmvideo/rtp/RtpDepacketizer.h"
#include "lmvideo/rtp/StreamSplitter.h"
#include "lmvideo/rtp/VideoCodec.h"

class VideoInputFront
{
public:
    enum class Input
    {
        Unknown,
        Rtp,
        Stream,
    };

    explicit VideoInputFront(VideoCodec codec);

    // One block as the host delivered it: a whole RTP packet or the next piece of a stream.
    void Push(const uint8_t* p, size_t n);
    // Ends the open picture, as at the end of the input.
    void Flush();
    // Takes the oldest complete picture; false when none is waiting.
    bool Pop(AccessUnit& out);

    Input InputKind() const { return m_input; }
    // Pictures lost to gaps, malformed units or excess size.
    uint32_t DroppedPictures() const;
    // Blocks that were neither RTP nor a stream's, before the input was known, and packets
    // that were not RTP after.
    uint32_t RejectedBlocks() const;

private:
    VideoCodec m_codec;
    Input m_input = Input::Unknown;
    std::unique_ptr<RtpDepacketizer> m_rtp;
    StreamSplitter m_stream;
    std::vector<uint8_t> m_prefix; // zero bytes that may begin a stream's start code
    uint32_t m_nUnknownBlocks = 0;
};
