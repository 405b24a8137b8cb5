// Either input of a decoder, as whole pictures.
#include "lmvideo/rtp/VideoInputFront.h"

#include <algorithm>

#include "lmvideo/rtp/H263Depacketizer.h"
#include "lmvideo/rtp/H263Picture.h"
#include "lmvideo/rtp/H264Depacketizer.h"
#include "lmvideo/rtp/RtpPacket.h"

namespace
{
// A stream's first start code: 00 00 01 or 00 00 00 01 (H.264), 00 00 1000 00xx (H.263).
bool StartsStream(VideoCodec codec, const uint8_t* p, size_t n)
{
    if (codec == VideoCodec::H263) return n >= 3 && IsH263PictureStart(p);
    return (n >= 3 && p[0] == 0 && p[1] == 0 && p[2] == 1) ||
           (n >= 4 && p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 1);
}

// Zero bytes too few to tell yet: the stream may be arriving in very small blocks.
bool MayStartStream(VideoCodec codec, const uint8_t* p, size_t n)
{
    if (n >= (codec == VideoCodec::H263 ? 3u : 4u)) return false;
    for (size_t i = 0; i < n; ++i)
        if (p[i] != 0) return false;
    return true;
}
} // namespace

VideoInputFront::VideoInputFront(VideoCodec codec) : m_codec(codec), m_stream(codec)
{
    if (codec == VideoCodec::H264)
        m_rtp = std::make_unique<H264Depacketizer>();
    else
        m_rtp = std::make_unique<H263Depacketizer>();
}

void VideoInputFront::Push(const uint8_t* p, size_t n)
{
    if (!p || n == 0) return;
    if (m_input == Input::Unknown)
    {
        // A stream begins with a zero byte, an RTP packet with version 2: never both.
        if (m_prefix.empty() && LooksLikeRtp(p, n))
        {
            m_input = Input::Rtp;
        }
        else
        {
            std::vector<uint8_t> head = m_prefix;
            head.insert(head.end(), p, p + std::min<size_t>(n, 4));
            m_prefix.clear();
            if (MayStartStream(m_codec, head.data(), head.size()))
            {
                m_prefix = head;
                return;
            }
            if (!StartsStream(m_codec, head.data(), head.size()))
            {
                ++m_nUnknownBlocks;
                return;
            }
            m_input = Input::Stream;
            m_stream.Push(head.data(), head.size() - std::min<size_t>(n, 4));
        }
    }
    if (m_input == Input::Rtp)
        m_rtp->Push(p, n);
    else
        m_stream.Push(p, n);
}

void VideoInputFront::Flush()
{
    m_rtp->Flush();
    m_stream.Flush();
}

bool VideoInputFront::Pop(AccessUnit& out)
{
    return m_input == Input::Rtp ? m_rtp->Pop(out) : m_stream.Pop(out);
}

uint32_t VideoInputFront::DroppedPictures() const
{
    return m_rtp->DroppedPictures() + m_stream.DroppedPictures();
}

uint32_t VideoInputFront::RejectedBlocks() const
{
    return m_nUnknownBlocks + m_rtp->RejectedPackets();
}
