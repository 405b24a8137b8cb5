// JPEG pictures through libavcodec's MJPEG decoder.
#include "lmvideo/codecs/MjpegDecoder.h"

#include <cstring>

#include "lmvideo/codecs/PictureLayout.h"

extern "C"
{
#include <libavcodec/avcodec.h>
}

MjpegDecoder::~MjpegDecoder()
{
    av_packet_free(&m_pPacket);
    av_frame_free(&m_pFrame);
    avcodec_free_context(&m_pContext);
}

bool MjpegDecoder::Open()
{
    if (m_pContext) return true;
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_MJPEG);
    if (!codec) return Fail(kCodecFailed, "no MJPEG decoder");
    m_pContext = avcodec_alloc_context3(codec);
    m_pFrame = av_frame_alloc();
    m_pPacket = av_packet_alloc();
    if (!m_pContext || !m_pFrame || !m_pPacket) return Fail(kCodecFailed, "out of memory");
    m_pContext->thread_count = 1;
    const int error = avcodec_open2(m_pContext, codec, nullptr);
    if (error < 0)
    {
        avcodec_free_context(&m_pContext);
        return FailAv(error, "opening the MJPEG decoder");
    }
    return true;
}

bool MjpegDecoder::Decode(const uint8_t* pSource, int32_t nLength, uint8_t* pOutput, int32_t nMaxWidth,
                          int32_t nMaxHeight, int32_t& nWidth, int32_t& nHeight)
{
    if (!pSource || nLength <= 0 || !pOutput) return Fail(kCodecInvalidArgument, "no picture or no output");
    if (nMaxWidth <= 0 || nMaxHeight <= 0 || nMaxWidth > kMaxPictureSide || nMaxHeight > kMaxPictureSide)
        return Fail(kCodecInvalidArgument, "output size out of range");
    if (!Open()) return false;
    // The decoder reads up to AV_INPUT_BUFFER_PADDING_SIZE bytes past the end: a padded copy.
    int error = av_new_packet(m_pPacket, nLength);
    if (error < 0) return FailAv(error, "packet");
    std::memcpy(m_pPacket->data, pSource, static_cast<size_t>(nLength));
    error = avcodec_send_packet(m_pContext, m_pPacket);
    av_packet_unref(m_pPacket);
    if (error < 0) return FailAv(error, "decoding the JPEG picture");
    error = avcodec_receive_frame(m_pContext, m_pFrame);
    if (error < 0) return FailAv(error, "decoding the JPEG picture");
    const AVFrame& frame = *m_pFrame;
    bool ok;
    if (frame.width > nMaxWidth || frame.height > nMaxHeight)
        ok = Fail(LM_E_BUFFERTOOSMALL, "picture larger than the output");
    else if (!m_copy.Write(frame, pOutput, static_cast<int64_t>(nMaxWidth) * nMaxHeight * 3 / 2))
        ok = Fail(m_copy.ErrorCode(), m_copy.ErrorText());
    else
    {
        nWidth = frame.width;
        nHeight = frame.height;
        ok = true;
    }
    av_frame_unref(m_pFrame);
    return ok;
}
