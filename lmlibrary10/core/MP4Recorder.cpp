// The MP4 writer over libavformat and libavcodec.
#include "lmlibrary10/core/MP4Recorder.h"

#include <algorithm>
#include <cstring>

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
}

CMP4Recorder::~CMP4Recorder()
{
    Free();
}

bool CMP4Recorder::Open(const S_MP4RECORDERSTART& start)
{
    if (m_bOpened || start.nOutputWidth <= 0 || start.nOutputHeight <= 0 || start.nFrameRate <= 0 ||
        start.nSampleRate <= 0)
        return false;
    if (avformat_alloc_output_context2(&m_pFormat, nullptr, "mp4", start.sPath.c_str()) < 0 || !m_pFormat)
        return false;
    if (!OpenStreams(start))
    {
        Free();
        return false;
    }
    if (!(m_pFormat->oformat->flags & AVFMT_NOFILE) &&
        avio_open(&m_pFormat->pb, start.sPath.c_str(), AVIO_FLAG_WRITE) < 0)
    {
        Free();
        return false;
    }
    if (avformat_write_header(m_pFormat, nullptr) < 0)
    {
        Free();
        return false;
    }
    m_audio.reserve(kAudioBufferBytes);
    m_bOpened = true;
    m_pCallback = start.pCallback;
    if (m_pCallback) m_pCallback->OnOpened();
    return true;
}

bool CMP4Recorder::OpenStreams(const S_MP4RECORDERSTART& start)
{
    // The cross-built FFmpeg has no H.264 encoder, so the mp4 muxer's default codecs there are
    // mpeg4 and aac; they are named here so that every build writes the same file.
    const AVCodec* pVideo = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    const AVCodec* pAudio = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!pVideo || !pAudio) return false;
    const bool bGlobalHeader = (m_pFormat->oformat->flags & AVFMT_GLOBALHEADER) != 0;

    m_pVideoStream = avformat_new_stream(m_pFormat, nullptr);
    m_pVideoCodec = avcodec_alloc_context3(pVideo);
    if (!m_pVideoStream || !m_pVideoCodec) return false;
    m_pVideoCodec->bit_rate = int64_t{start.nVideoKbps} * 1000;
    m_pVideoCodec->width = start.nOutputWidth;
    m_pVideoCodec->height = start.nOutputHeight;
    m_pVideoCodec->time_base = AVRational{1, start.nFrameRate};
    m_pVideoCodec->framerate = AVRational{start.nFrameRate, 1};
    m_pVideoCodec->gop_size = kGopSize;
    m_pVideoCodec->pix_fmt = AV_PIX_FMT_YUV420P;
    m_pVideoCodec->thread_count = 1;
    if (bGlobalHeader) m_pVideoCodec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(m_pVideoCodec, pVideo, nullptr) < 0) return false;
    if (avcodec_parameters_from_context(m_pVideoStream->codecpar, m_pVideoCodec) < 0) return false;
    m_pVideoStream->time_base = m_pVideoCodec->time_base;

    // aac takes planar float samples; the 16-bit input is converted frame by frame.
    m_pAudioStream = avformat_new_stream(m_pFormat, nullptr);
    m_pAudioCodec = avcodec_alloc_context3(pAudio);
    if (!m_pAudioStream || !m_pAudioCodec) return false;
    m_pAudioCodec->bit_rate = int64_t{start.nAudioKbps} * 1000;
    m_pAudioCodec->sample_rate = start.nSampleRate;
    m_pAudioCodec->sample_fmt = AV_SAMPLE_FMT_FLTP;
    av_channel_layout_default(&m_pAudioCodec->ch_layout, 1);
    m_pAudioCodec->time_base = AVRational{1, start.nSampleRate};
    m_pAudioCodec->thread_count = 1;
    if (bGlobalHeader) m_pAudioCodec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(m_pAudioCodec, pAudio, nullptr) < 0) return false;
    if (avcodec_parameters_from_context(m_pAudioStream->codecpar, m_pAudioCodec) < 0) return false;
    m_pAudioStream->time_base = m_pAudioCodec->time_base;
    m_nAudioFrameSize = m_pAudioCodec->frame_size > 1 ? m_pAudioCodec->frame_size : 1024;

    m_pVideoFrame = av_frame_alloc();
    m_pAudioFrame = av_frame_alloc();
    m_pPacket = av_packet_alloc();
    if (!m_pVideoFrame || !m_pAudioFrame || !m_pPacket) return false;
    m_pAudioFrame->format = AV_SAMPLE_FMT_FLTP;
    m_pAudioFrame->nb_samples = m_nAudioFrameSize;
    m_pAudioFrame->sample_rate = start.nSampleRate;
    if (av_channel_layout_copy(&m_pAudioFrame->ch_layout, &m_pAudioCodec->ch_layout) < 0) return false;
    return av_frame_get_buffer(m_pAudioFrame, 0) >= 0;
}

bool CMP4Recorder::Encode(AVCodecContext* pContext, AVStream* pStream, AVFrame* pFrame)
{
    if (avcodec_send_frame(pContext, pFrame) < 0) return false;
    for (;;)
    {
        const int nResult = avcodec_receive_packet(pContext, m_pPacket);
        if (nResult == AVERROR(EAGAIN) || nResult == AVERROR_EOF) return true;
        if (nResult < 0) return false;
        // A picture lasts one frame, so the track's duration counts its last picture too.
        if (pContext == m_pVideoCodec && m_pPacket->duration == 0) m_pPacket->duration = 1;
        av_packet_rescale_ts(m_pPacket, pContext->time_base, pStream->time_base);
        m_pPacket->stream_index = pStream->index;
        // The muxer takes the packet's reference in every case.
        if (av_interleaved_write_frame(m_pFormat, m_pPacket) < 0) return false;
        if (m_pFormat->pb) avio_flush(m_pFormat->pb);
    }
}

void CMP4Recorder::WriteVideo(const uint8_t* pPicture, size_t nBytes, int64_t nFrame)
{
    if (!m_bOpened) return;
    const int nWidth = m_pVideoCodec->width, nHeight = m_pVideoCodec->height;
    const int nNeeded = av_image_get_buffer_size(AV_PIX_FMT_YUV420P, nWidth, nHeight, 1);
    if (nNeeded < 0 || nBytes < static_cast<size_t>(nNeeded)) return;
    av_frame_unref(m_pVideoFrame);
    m_pVideoFrame->format = AV_PIX_FMT_YUV420P;
    m_pVideoFrame->width = nWidth;
    m_pVideoFrame->height = nHeight;
    av_image_fill_arrays(m_pVideoFrame->data, m_pVideoFrame->linesize, pPicture, AV_PIX_FMT_YUV420P, nWidth,
                         nHeight, 1);
    m_pVideoFrame->pts = nFrame;
    Encode(m_pVideoCodec, m_pVideoStream, m_pVideoFrame);
    av_frame_unref(m_pVideoFrame);
}

void CMP4Recorder::WriteAudio(const uint8_t* pSamples, size_t nBytes, size_t nSilenceBytes)
{
    if (!m_bOpened) return;
    // Whole samples only, and never past the accumulation buffer's size.
    nSilenceBytes = std::min(nSilenceBytes & ~size_t{1}, kAudioBufferBytes - m_audio.size());
    m_audio.insert(m_audio.end(), nSilenceBytes, 0);
    nBytes = std::min(nBytes, kAudioBufferBytes - m_audio.size());
    m_audio.insert(m_audio.end(), pSamples, pSamples + nBytes);

    const size_t nFrameBytes = static_cast<size_t>(m_nAudioFrameSize) * 2;
    size_t nOffset = 0;
    while (m_audio.size() - nOffset >= nFrameBytes)
    {
        if (av_frame_make_writable(m_pAudioFrame) < 0) break;
        float* pOut = reinterpret_cast<float*>(m_pAudioFrame->data[0]);
        const uint8_t* pIn = m_audio.data() + nOffset;
        for (int i = 0; i < m_nAudioFrameSize; ++i)
        {
            const int16_t nSample = static_cast<int16_t>(pIn[2 * i] | (pIn[2 * i + 1] << 8));
            pOut[i] = nSample / 32768.0f;
        }
        m_pAudioFrame->pts = m_nAudioSamples;
        if (!Encode(m_pAudioCodec, m_pAudioStream, m_pAudioFrame)) break;
        m_nAudioSamples += m_nAudioFrameSize;
        nOffset += nFrameBytes;
    }
    m_audio.erase(m_audio.begin(), m_audio.begin() + static_cast<std::ptrdiff_t>(nOffset));
}

bool CMP4Recorder::Close()
{
    if (!m_bOpened) return false;
    m_bOpened = false;
    Encode(m_pVideoCodec, m_pVideoStream, nullptr);
    Encode(m_pAudioCodec, m_pAudioStream, nullptr);
    av_write_trailer(m_pFormat);
    Free();
    return true;
}

void CMP4Recorder::Free()
{
    m_bOpened = false;
    av_packet_free(&m_pPacket);
    av_frame_free(&m_pVideoFrame);
    av_frame_free(&m_pAudioFrame);
    avcodec_free_context(&m_pVideoCodec);
    avcodec_free_context(&m_pAudioCodec);
    if (m_pFormat)
    {
        if (!(m_pFormat->oformat->flags & AVFMT_NOFILE)) avio_closep(&m_pFormat->pb);
        avformat_free_context(m_pFormat);
        m_pFormat = nullptr;
    }
    m_pVideoStream = m_pAudioStream = nullptr;
    m_audio.clear();
}
