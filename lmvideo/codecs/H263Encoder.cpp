// H.263 encoding through libavcodec, packetized by our RFC 2190 packetizer.
#include "lmvideo/codecs/H263Encoder.h"

#include <algorithm>
#include <random>
#include <vector>

#include "confclient/library/LMPixelFormat.h"
#include "lmvideo/codecs/EncodedUnits.h"
#include "lmvideo/rtp/RtpPacket.h"

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

namespace
{
bool IsH263Size(int32_t w, int32_t h)
{
    return (w == 128 && h == 96) || (w == 176 && h == 144) || (w == 352 && h == 288) ||
           (w == 704 && h == 576) || (w == 1408 && h == 1152);
}

uint32_t RandomWord()
{
    return std::random_device{}();
}
} // namespace

H263Encoder::H263Encoder() : m_packetizer(RandomWord(), static_cast<uint16_t>(RandomWord())) {}

H263Encoder::~H263Encoder()
{
    Close();
}

void H263Encoder::Close()
{
    av_packet_free(&m_pPacket);
    av_frame_free(&m_pFrame);
    avcodec_free_context(&m_pContext);
}

bool H263Encoder::Init(int32_t nFrameRate, int32_t nBitRate, int32_t nMaxUnit, int32_t nWidth,
                       int32_t nHeight)
{
    if (nFrameRate <= 0 || nFrameRate > kMaxFrameRate || nBitRate <= 0 || nBitRate > kMaxBitRate)
        return Fail(kCodecInvalidArgument, "frame rate or bit rate out of range");
    if (nMaxUnit < static_cast<int32_t>(kRtpMaxUnitBytes))
        return Fail(kCodecInvalidArgument, "units are up to 1350 bytes");
    if (!IsH263Size(nWidth, nHeight)) return Fail(kCodecInvalidArgument, "not an H.263 picture size");
    Close();
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_H263);
    if (!codec) return Fail(kCodecFailed, "no H.263 encoder");
    m_pContext = avcodec_alloc_context3(codec);
    m_pFrame = av_frame_alloc();
    m_pPacket = av_packet_alloc();
    if (!m_pContext || !m_pFrame || !m_pPacket) return Fail(kCodecFailed, "out of memory");
    m_pContext->width = nWidth;
    m_pContext->height = nHeight;
    m_pContext->pix_fmt = AV_PIX_FMT_YUV420P;
    m_pContext->time_base = AVRational{1, nFrameRate};
    m_pContext->framerate = AVRational{nFrameRate, 1};
    m_pContext->bit_rate = nBitRate;
    m_pContext->gop_size = nFrameRate * 10;
    m_pContext->max_b_frames = 0;
    m_pContext->thread_count = 1;
    // Baseline H.263 codes a coefficient level in -127..127. Below quantizer 4 a sharp edge that
    // motion cannot predict (new content at the picture's border) needs larger levels: they are
    // clipped and the edge shows grey until later pictures mend it. From 4 up an intra block's
    // levels always fit, and an inter block's unless it changes by most of the range.
    m_pContext->qmin = 4;
    // Macroblock records for splitting groups of blocks too large for one unit (mode B): the
    // stretch between two records must fit a unit less the RTP and mode B headers, and it may
    // start and end inside a byte, each shared with its neighbour: two bytes below that.
    av_opt_set_int(m_pContext->priv_data, "mb_info", kRtpMaxUnitBytes - 12 - 8 - 2, 0);
    int error = avcodec_open2(m_pContext, codec, nullptr);
    if (error < 0)
    {
        Close();
        return FailAv(error, "opening the H.263 encoder");
    }
    m_pFrame->format = AV_PIX_FMT_YUV420P;
    m_pFrame->width = nWidth;
    m_pFrame->height = nHeight;
    error = av_frame_get_buffer(m_pFrame, 0);
    if (error < 0)
    {
        Close();
        return FailAv(error, "picture buffer");
    }
    m_nFrames = 0;
    return true;
}

bool H263Encoder::Encode(const uint8_t* pSource, int32_t nSourceBytes, const S_LMPICTURE& picture,
                         int32_t nCapacity, uint8_t* pOutput, S_ENCODEROUTPUT& result)
{
    if (!m_pContext) return Fail(LM_E_NOTINITIALIZED, "The object is not initialized.");
    RtpUnitWriter units = UnitsInto(pOutput, nCapacity, result);
    int error = av_frame_make_writable(m_pFrame);
    if (error < 0) return FailAv(error, "picture buffer");
    // The frame's planes are padded: convert into a packed picture, then copy its rows. The
    // packed picture is kept: a fresh one per call costs a large allocation and its page faults.
    const int w = m_pContext->width, h = m_pContext->height;
    m_packed.resize(static_cast<size_t>(w) * h * 3 / 2);
    const S_LMPICTURE target{w, h, LM_FMT_YUV420, 0};
    if (!m_converter.Convert(pSource, nSourceBytes, picture, m_packed.data(),
                             static_cast<int32_t>(m_packed.size()), target, false))
        return Fail(m_converter.ErrorCode(), m_converter.ErrorText());
    const uint8_t* plane = m_packed.data();
    for (int i = 0; i < 3; ++i)
    {
        const int pw = i ? w / 2 : w, ph = i ? h / 2 : h;
        for (int row = 0; row < ph; ++row)
            std::copy(plane + row * pw, plane + (row + 1) * pw,
                      m_pFrame->data[i] + row * m_pFrame->linesize[i]);
        plane += pw * ph;
    }
    m_pFrame->pts = m_nFrames;
    m_pFrame->pict_type = picture.nKeyFrame ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    error = avcodec_send_frame(m_pContext, m_pFrame);
    if (error < 0) return FailAv(error, "encoding");
    const uint32_t timestamp = static_cast<uint32_t>(m_nFrames * 90000 / m_pContext->framerate.num);
    ++m_nFrames;
    bool ok = true;
    while ((error = avcodec_receive_packet(m_pContext, m_pPacket)) >= 0)
    {
        size_t infoBytes = 0;
        const uint8_t* info = av_packet_get_side_data(m_pPacket, AV_PKT_DATA_H263_MB_INFO, &infoBytes);
        const std::vector<H263MacroblockInfo> blocks = ReadH263MacroblockInfo(info, info ? infoBytes : 0);
        if (!m_packetizer.Packetize(m_pPacket->data, static_cast<size_t>(m_pPacket->size), timestamp,
                                    blocks.data(), blocks.size(), units))
            ok = units.Ok() ? Fail(kCodecFailed, "the picture does not split into units")
                            : Fail(LM_E_BUFFERTOOSMALL, "output buffer or record too small");
        if (m_pPacket->flags & AV_PKT_FLAG_KEY) result.bKeyFrame = 1;
        av_packet_unref(m_pPacket);
    }
    if (error != AVERROR(EAGAIN)) return FailAv(error, "encoding");
    result.nCount = static_cast<uint32_t>(units.UnitCount());
    return ok;
}
