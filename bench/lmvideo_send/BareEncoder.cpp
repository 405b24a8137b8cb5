#include "bench/lmvideo_send/BareEncoder.h"

#include <algorithm>

#include <wels/codec_api.h>

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

namespace
{
constexpr int kLargestUnit = 1350; // the largest RTP unit our encoders make
} // namespace

struct CBareEncoder::SState
{
    SBareSettings settings{};
    int64_t nFrames = 0;
    ISVCEncoder* pH264 = nullptr;
    AVCodecContext* pH263 = nullptr;
    AVFrame* pFrame = nullptr;
    AVPacket* pPacket = nullptr;
    bool bOpen = false;
};

CBareEncoder::CBareEncoder(const SBareSettings& s) : m_state(std::make_unique<SState>())
{
    m_state->settings = s;
    if (s.bH264)
    {
        if (WelsCreateSVCEncoder(&m_state->pH264) != 0 || !m_state->pH264) return;
        ISVCEncoder* pEncoder = m_state->pH264;
        SEncParamExt param{};
        pEncoder->GetDefaultParams(&param);
        param.iUsageType = CAMERA_VIDEO_REAL_TIME;
        param.iPicWidth = s.nWidth;
        param.iPicHeight = s.nHeight;
        param.fMaxFrameRate = static_cast<float>(s.nFrameRate);
        param.iTargetBitrate = s.nBitRate;
        param.iMaxBitrate = UNSPECIFIED_BIT_RATE;
        param.iRCMode = RC_BITRATE_MODE;
        param.bEnableFrameSkip = false;
        param.uiIntraPeriod = static_cast<unsigned>(s.nFrameRate) * 10;
        param.iMultipleThreadIdc = 1;
        param.iEntropyCodingModeFlag = 0;
        param.iComplexityMode = LOW_COMPLEXITY;
        param.iSpatialLayerNum = 1;
        param.iTemporalLayerNum = 1;
        SSpatialLayerConfig& layer = param.sSpatialLayers[0];
        layer.iVideoWidth = s.nWidth;
        layer.iVideoHeight = s.nHeight;
        layer.fFrameRate = static_cast<float>(s.nFrameRate);
        layer.iSpatialBitrate = s.nBitRate;
        layer.iMaxSpatialBitrate = UNSPECIFIED_BIT_RATE;
        layer.uiProfileIdc = PRO_BASELINE;
        layer.sSliceArgument.uiSliceMode = SM_SINGLE_SLICE;
        if (pEncoder->InitializeExt(&param) != 0) return;
        int format = videoFormatI420;
        pEncoder->SetOption(ENCODER_OPTION_DATAFORMAT, &format);
        m_state->bOpen = true;
        return;
    }
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_H263);
    if (!codec) return;
    AVCodecContext* context = m_state->pH263 = avcodec_alloc_context3(codec);
    m_state->pFrame = av_frame_alloc();
    m_state->pPacket = av_packet_alloc();
    if (!context || !m_state->pFrame || !m_state->pPacket) return;
    context->width = s.nWidth;
    context->height = s.nHeight;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = AVRational{1, s.nFrameRate};
    context->framerate = AVRational{s.nFrameRate, 1};
    context->bit_rate = s.nBitRate;
    context->gop_size = s.nFrameRate * 10;
    context->max_b_frames = 0;
    context->thread_count = 1;
    context->qmin = 4;
    av_opt_set_int(context->priv_data, "mb_info", kLargestUnit - 12 - 8 - 2, 0);
    if (avcodec_open2(context, codec, nullptr) < 0) return;
    m_state->pFrame->format = AV_PIX_FMT_YUV420P;
    m_state->pFrame->width = s.nWidth;
    m_state->pFrame->height = s.nHeight;
    m_state->bOpen = av_frame_get_buffer(m_state->pFrame, 0) >= 0;
}

CBareEncoder::~CBareEncoder()
{
    if (m_state->pH264)
    {
        m_state->pH264->Uninitialize();
        WelsDestroySVCEncoder(m_state->pH264);
    }
    avcodec_free_context(&m_state->pH263);
    av_frame_free(&m_state->pFrame);
    av_packet_free(&m_state->pPacket);
}

bool CBareEncoder::IsOpen() const
{
    return m_state->bOpen;
}

int64_t CBareEncoder::Encode(const uint8_t* pPlanar)
{
    if (!m_state->bOpen) return -1;
    const SBareSettings& s = m_state->settings;
    const int64_t n = m_state->nFrames++;
    const int nLuma = s.nWidth * s.nHeight;
    if (m_state->pH264)
    {
        SSourcePicture source{};
        source.iColorFormat = videoFormatI420;
        source.iPicWidth = s.nWidth;
        source.iPicHeight = s.nHeight;
        source.iStride[0] = s.nWidth;
        source.iStride[1] = source.iStride[2] = s.nWidth / 2;
        // openh264 reads the planes only.
        source.pData[0] = const_cast<uint8_t*>(pPlanar);
        source.pData[1] = source.pData[0] + nLuma;
        source.pData[2] = source.pData[1] + nLuma / 4;
        source.uiTimeStamp = n * 1000 / s.nFrameRate;
        SFrameBSInfo info{};
        if (m_state->pH264->EncodeFrame(&source, &info) != 0) return -1;
        return info.iFrameSizeInBytes;
    }
    // A caller with packed pictures copies each into the encoder's frame, as ours does.
    AVFrame* frame = m_state->pFrame;
    if (av_frame_make_writable(frame) < 0) return -1;
    const uint8_t* pPlane = pPlanar;
    for (int k = 0; k < 3; ++k)
    {
        const int w = k ? s.nWidth / 2 : s.nWidth, h = k ? s.nHeight / 2 : s.nHeight;
        for (int row = 0; row < h; ++row)
            std::copy(pPlane + row * w, pPlane + (row + 1) * w, frame->data[k] + row * frame->linesize[k]);
        pPlane += w * h;
    }
    frame->pts = n;
    if (avcodec_send_frame(m_state->pH263, frame) < 0) return -1;
    int64_t nBytes = 0;
    while (avcodec_receive_packet(m_state->pH263, m_state->pPacket) >= 0)
    {
        nBytes += m_state->pPacket->size;
        av_packet_unref(m_state->pPacket);
    }
    return nBytes;
}
