// H.264 and H.263 decoding through libavcodec behind our depacketizers.
#include "lmvideo/codecs/VideoDecoder.h"

#include <cstring>

#include "lmvideo/rtp/RtpPacket.h"
#include "lmvideo/rtp/H263Depacketizer.h"
#include "lmvideo/rtp/H264Depacketizer.h"

extern "C"
{
#include <libavcodec/avcodec.h>
}

VideoDecoder::VideoDecoder(VideoCodec codec, bool bPlainStreams) : m_codec(codec)
{
    if (bPlainStreams)
        m_pFront = std::make_unique<VideoInputFront>(codec);
    else if (codec == VideoCodec::H264)
        m_pDepacketizer = std::make_unique<H264Depacketizer>();
    else
        m_pDepacketizer = std::make_unique<H263Depacketizer>();
}

VideoDecoder::~VideoDecoder()
{
    av_packet_free(&m_pPacket);
    av_frame_free(&m_pFrame);
    av_frame_free(&m_pNewest);
    avcodec_free_context(&m_pContext);
}

bool VideoDecoder::Open()
{
    if (m_pContext) return true;
    const AVCodec* codec =
        avcodec_find_decoder(m_codec == VideoCodec::H264 ? AV_CODEC_ID_H264 : AV_CODEC_ID_H263);
    if (!codec) return Fail(kCodecFailed, "no decoder for the codec");
    m_pContext = avcodec_alloc_context3(codec);
    m_pFrame = av_frame_alloc();
    m_pNewest = av_frame_alloc();
    m_pPacket = av_packet_alloc();
    if (!m_pContext || !m_pFrame || !m_pNewest || !m_pPacket) return Fail(kCodecFailed, "out of memory");
    // Pictures leave as they come in, on the caller's thread.
    m_pContext->thread_count = 1;
    m_pContext->flags |= AV_CODEC_FLAG_LOW_DELAY;
    const int error = avcodec_open2(m_pContext, codec, nullptr);
    if (error < 0)
    {
        avcodec_free_context(&m_pContext);
        return FailAv(error, "opening the decoder");
    }
    return true;
}

bool VideoDecoder::Decode(const uint8_t* pSource, int32_t nLength, uint8_t* pOutput, int32_t nCapacity,
                          DecodedPicture& picture)
{
    if (!pSource || nLength <= 0 || static_cast<size_t>(nLength) > kMaxAccessUnitBytes)
        return Fail(kCodecInvalidArgument, "no input or input too large");
    if (!pOutput || nCapacity <= 0) return Fail(kCodecInvalidArgument, "no output");
    if (!Open()) return false;
    if (!Take(pSource, static_cast<size_t>(nLength))) return false;
    AccessUnit unit;
    if (!PopUnit(unit)) return Fail(LM_E_NOPICTURE, "no picture completed");
    // One packet or block may complete several pictures (a time-stamp change, a block
    // holding small pictures): each is decoded, so later ones have their references, and
    // only the newest is copied out; the caller would see no other.
    bool bDecoded = false;
    do
        bDecoded = DecodeUnit(unit) || bDecoded;
    while (PopUnit(unit));
    if (!bDecoded) return false;
    const bool ok = m_copy.Write(*m_pNewest, pOutput, nCapacity);
    if (ok)
    {
        picture.nWidth = m_pNewest->width;
        picture.nHeight = m_pNewest->height;
        picture.bKey = m_pNewest->key_frame != 0;
    }
    av_frame_unref(m_pNewest);
    return ok || Fail(m_copy.ErrorCode(), m_copy.ErrorText());
}

bool VideoDecoder::Take(const uint8_t* pSource, size_t nLength)
{
    if (m_pFront)
    {
        const uint32_t nRejected = m_pFront->RejectedBlocks();
        m_pFront->Push(pSource, nLength);
        return m_pFront->RejectedBlocks() == nRejected ||
               Fail(kCodecInvalidArgument, "neither an RTP packet nor a stream");
    }
    if (!LooksLikeRtp(pSource, nLength)) return Fail(kCodecInvalidArgument, "not an RTP packet");
    m_pDepacketizer->Push(pSource, nLength);
    return true;
}

bool VideoDecoder::PopUnit(AccessUnit& unit)
{
    return m_pFront ? m_pFront->Pop(unit) : m_pDepacketizer->Pop(unit);
}

bool VideoDecoder::DecodeUnit(const AccessUnit& unit)
{
    if (!m_bStarted && !unit.bKey) return Fail(LM_E_NOPICTURE, "waiting for a key picture");
    m_bStarted = true;
    int error = av_new_packet(m_pPacket, static_cast<int>(unit.data.size()));
    if (error < 0) return FailAv(error, "packet");
    std::memcpy(m_pPacket->data, unit.data.data(), unit.data.size());
    error = avcodec_send_packet(m_pContext, m_pPacket);
    av_packet_unref(m_pPacket);
    if (error < 0) return FailAv(error, "decoding");
    bool bGot = false;
    while (avcodec_receive_frame(m_pContext, m_pFrame) >= 0)
    {
        bGot = true;
        av_frame_unref(m_pNewest);
        av_frame_move_ref(m_pNewest, m_pFrame);
    }
    return bGot || Fail(LM_E_NOPICTURE, "no picture out of the decoder");
}
