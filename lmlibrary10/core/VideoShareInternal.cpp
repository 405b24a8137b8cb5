// The movie player's engine over libavformat, libavcodec, swscale and swresample.
#include "lmlibrary10/core/VideoShareInternal.h"

#include "confclient/library/LMPixelFormat.h"

#include <algorithm>
#include <cstring>

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace
{
constexpr AVRational kMicroseconds{1, 1000000};

int64_t ToMicroseconds(int64_t nTime, AVRational timeBase)
{
    return av_rescale_q(nTime, timeBase, kMicroseconds);
}

void PutBigEndian(uint8_t* p, uint32_t nValue, int nBytes)
{
    for (int i = nBytes - 1; i >= 0; --i, nValue >>= 8)
        p[i] = static_cast<uint8_t>(nValue & 0xFF);
}

AVCodecContext* OpenDecoder(const AVStream* pStream)
{
    const AVCodec* pCodec = avcodec_find_decoder(pStream->codecpar->codec_id);
    if (!pCodec) return nullptr;
    AVCodecContext* pContext = avcodec_alloc_context3(pCodec);
    if (!pContext) return nullptr;
    pContext->thread_count = 1;
    if (avcodec_parameters_to_context(pContext, pStream->codecpar) < 0 ||
        avcodec_open2(pContext, pCodec, nullptr) < 0)
        avcodec_free_context(&pContext);
    return pContext;
}
} // namespace

CVideoShareInternal::CVideoShareInternal(ILMVideoShareCB* pCallback, int32_t nSourceId, int32_t nQueueReserve,
                                         ILMLibraryLoader* pLoader, std::function<void()> wake,
                                         std::function<bool()> commandWaiting)
    : m_pCallback(pCallback), m_wake(std::move(wake)), m_commandWaiting(std::move(commandWaiting)),
      m_speex(1, L"LMLibrary01U.dll", L"GetSpeexEncoder", pLoader), m_nSourceId(nSourceId),
      m_nQueueReserve(static_cast<size_t>(std::clamp(nQueueReserve, 0, kAudioSlots - 1)))
{
    m_bSpeexReady = m_speex && m_speex->Init(kSampleRate, 20);
    for (S_VIDEOSLOT& slot : m_videoSlots)
        slot.buffer.Alloc(4608);
    for (S_AUDIOSLOT& slot : m_audioSlots)
        slot.buffer.Alloc(kAudioSlotBytes);
    m_pFrame = av_frame_alloc();
    m_pPacket = av_packet_alloc();
}

CVideoShareInternal::~CVideoShareInternal()
{
    Close();
    av_frame_free(&m_pFrame);
    av_packet_free(&m_pPacket);
}

void CVideoShareInternal::Close()
{
    EndPlayback();
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bPlaying = false;
        m_video.clear();
        m_audio.clear();
        // A new movie's end is told again.
        m_bVideoEndSent = m_bAudioEndSent = false;
        m_nClock = m_nStartBase = 0;
        m_bClockUnset = true;
    }
    avcodec_free_context(&m_pVideoCodec);
    avcodec_free_context(&m_pAudioCodec);
    avformat_close_input(&m_pFormat);
    swr_free(&m_pConvert);
    swr_free(&m_pResample);
    av_channel_layout_uninit(&m_soundLayout);
    m_nSoundFormat = m_nSoundRate = -1;
    sws_freeContext(m_pScale);
    m_pScale = nullptr;
    m_nVideoStream = m_nAudioStream = -1;
    m_nDuration = 0;
    m_nAudioClock = INT64_MIN;
    m_nDropBefore = INT64_MIN;
    m_bEndOfFile = m_bMarkersDue = false;
    m_pending.clear();
    FreeBacklog();
}

void CVideoShareInternal::FreeBacklog()
{
    for (AVFrame*& pFrame : m_backlog)
        av_frame_free(&pFrame);
    m_backlog.clear();
}

void CVideoShareInternal::Load(const std::string& sPath, S_VIDEOSHAREINFO& info)
{
    Close();
    info = S_VIDEOSHAREINFO{0, LM_SHARE_NOSTREAM, LM_SHARE_NOSTREAM, 0, 0, 0};
    if (!m_pFrame || !m_pPacket || avformat_open_input(&m_pFormat, sPath.c_str(), nullptr, nullptr) < 0)
    {
        info.nAudioStatus = info.nVideoStatus = LM_SHARE_NOFILE;
        return;
    }
    if (avformat_find_stream_info(m_pFormat, nullptr) < 0)
    {
        avformat_close_input(&m_pFormat);
        info.nAudioStatus = info.nVideoStatus = LM_SHARE_NOSTREAMINFO;
        return;
    }
    // An unknown duration stays 0: the end then comes from the file.
    if (m_pFormat->duration != AV_NOPTS_VALUE && m_pFormat->duration > 0) m_nDuration = m_pFormat->duration;
    info.nDuration = static_cast<int32_t>(m_nDuration / 1000000);
    {
        // Position 0 is where the movie's first stream starts.
        std::lock_guard<std::mutex> guard(m_lock);
        m_nStartBase = m_nClock = m_pFormat->start_time != AV_NOPTS_VALUE ? m_pFormat->start_time : 0;
    }

    m_nVideoStream = av_find_best_stream(m_pFormat, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (m_nVideoStream >= 0)
    {
        const AVStream* pStream = m_pFormat->streams[m_nVideoStream];
        m_pVideoCodec = OpenDecoder(pStream);
        if (!m_pVideoCodec || m_pVideoCodec->width <= 0 || m_pVideoCodec->height <= 0)
        {
            avcodec_free_context(&m_pVideoCodec);
            m_nVideoStream = -1;
            info.nVideoStatus = LM_SHARE_NODECODER;
        }
        else
        {
            AVRational rate = pStream->avg_frame_rate.num > 0 && pStream->avg_frame_rate.den > 0
                                  ? pStream->avg_frame_rate
                                  : pStream->r_frame_rate;
            info.nVideoStatus = LM_SHARE_READY;
            // Pictures are delivered at even sizes, which the 4:2:0 layout needs.
            info.nWidth = std::max(2, m_pVideoCodec->width & ~1);
            info.nHeight = std::max(2, m_pVideoCodec->height & ~1);
            info.nFrameRate =
                rate.den > 0 ? static_cast<int32_t>((int64_t{rate.num} + rate.den - 1) / rate.den) : 0;
        }
    }
    else
        m_nVideoStream = -1;

    m_nAudioStream = av_find_best_stream(m_pFormat, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (m_nAudioStream >= 0)
    {
        m_pAudioCodec = OpenDecoder(m_pFormat->streams[m_nAudioStream]);
        if (!m_pAudioCodec ||
            !ConfigureSound(m_pAudioCodec->sample_fmt, m_pAudioCodec->ch_layout, m_pAudioCodec->sample_rate))
        {
            avcodec_free_context(&m_pAudioCodec);
            swr_free(&m_pConvert);
            swr_free(&m_pResample);
            m_nAudioStream = -1;
            info.nAudioStatus = LM_SHARE_NODECODER;
        }
        else
            info.nAudioStatus = LM_SHARE_READY;
    }
    else
        m_nAudioStream = -1;
}

bool CVideoShareInternal::ConfigureSound(int nFormat, const AVChannelLayout& layout, int nRate)
{
    if (nRate <= 0 || layout.nb_channels <= 0 || nFormat < 0) return false;
    if (m_pConvert && nFormat == m_nSoundFormat && nRate == m_nSoundRate &&
        !av_channel_layout_compare(&layout, &m_soundLayout))
        return true;
    swr_free(&m_pConvert);
    av_channel_layout_uninit(&m_soundLayout);
    m_nSoundFormat = -1;
    // The decoded sound as 16-bit interleaved samples of its own channels and rate.
    AVChannelLayout channels{};
    if (av_channel_layout_copy(&channels, &layout) < 0) return false;
    const bool bMade = swr_alloc_set_opts2(&m_pConvert, &channels, AV_SAMPLE_FMT_S16, nRate, &channels,
                                           static_cast<AVSampleFormat>(nFormat), nRate, 0, nullptr) >= 0 &&
                       swr_init(m_pConvert) >= 0;
    av_channel_layout_uninit(&channels);
    if (!bMade)
    {
        swr_free(&m_pConvert);
        return false;
    }
    if (!m_pResample || nRate != m_nSoundRate)
    {
        // The folded mono sound to 16 kHz.
        swr_free(&m_pResample);
        AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
        if (swr_alloc_set_opts2(&m_pResample, &mono, AV_SAMPLE_FMT_S16, kSampleRate, &mono, AV_SAMPLE_FMT_S16,
                                nRate, 0, nullptr) < 0)
            return false;
        av_opt_set_int(m_pResample, "filter_size", 16, 0);
        av_opt_set_int(m_pResample, "phase_shift", 10, 0);
        av_opt_set_int(m_pResample, "linear_interp", 0, 0);
        av_opt_set_double(m_pResample, "cutoff", 0.8, 0);
        if (swr_init(m_pResample) < 0)
        {
            swr_free(&m_pResample);
            return false;
        }
    }
    m_nSoundFormat = nFormat;
    m_nSoundRate = nRate;
    return av_channel_layout_copy(&m_soundLayout, &layout) >= 0;
}

// ---- The clock and the playback thread

int64_t CVideoShareInternal::ClockLocked() const
{
    if (!m_bPlaying) return m_nClock;
    const auto elapsed = std::chrono::steady_clock::now() - m_startTick;
    return m_nClock + std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count();
}

int32_t CVideoShareInternal::Position()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return static_cast<int32_t>(std::max<int64_t>(0, ClockLocked() - m_nStartBase) / 1000000);
}

bool CVideoShareInternal::IsPlaying()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_bPlaying;
}

void CVideoShareInternal::Play()
{
    if (!m_pFormat) return;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_bPlaying)
        {
            m_bMarkNextAudio = true;
            m_startTick = std::chrono::steady_clock::now();
            m_bPlaying = true;
        }
    }
    StartPlayback();
}

void CVideoShareInternal::Pause()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_nClock = ClockLocked();
        m_bPlaying = false;
    }
    EndPlayback();
}

void CVideoShareInternal::StartPlayback()
{
    if (m_playback.joinable()) return;
    m_bStop = m_bHold = m_bHoldAcknowledged = false;
    m_playback = std::thread(&CVideoShareInternal::PlaybackThread, this);
}

void CVideoShareInternal::EndPlayback()
{
    if (!m_playback.joinable()) return;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bStop = true;
    }
    m_changed.notify_all();
    m_playback.join();
}

void CVideoShareInternal::HoldPlayback()
{
    if (!m_playback.joinable()) return;
    std::unique_lock<std::mutex> guard(m_lock);
    m_bHold = true;
    m_changed.notify_all();
    m_changed.wait(guard, [this] { return m_bHoldAcknowledged; });
}

void CVideoShareInternal::ReleaseHold()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bHold = false;
    }
    m_changed.notify_all();
}

bool CVideoShareInternal::DeliverVideo(std::unique_lock<std::mutex>& lock)
{
    if (m_video.size() <= m_nQueueReserve) return false;
    const S_ENTRY entry = m_video.front();
    if (entry.nSlot < 0)
    {
        m_video.pop_front();
        if (m_bVideoEndSent) return true;
        m_bVideoEndSent = true;
        lock.unlock();
        m_pCallback->OnVideoFrame(nullptr, 0, 0, 0, 0, LM_FMT_NONE);
        lock.lock();
        return true;
    }
    if (entry.nTime > ClockLocked()) return false;
    const S_VIDEOSLOT& slot = m_videoSlots[entry.nSlot];
    const int32_t nSeconds = static_cast<int32_t>(std::max<int64_t>(0, entry.nTime - m_nStartBase) / 1000000);
    m_bVideoEndSent = false;
    // The entry stays in the list during the call, so the player thread leaves its slot alone.
    lock.unlock();
    m_pCallback->OnVideoFrame(slot.buffer.GetData(), 12 * slot.nWidth * slot.nHeight / 8, nSeconds,
                              slot.nWidth, slot.nHeight, LM_FMT_YUV420);
    lock.lock();
    m_video.pop_front();
    return true;
}

bool CVideoShareInternal::DeliverAudio(std::unique_lock<std::mutex>& lock)
{
    if (m_audio.size() <= m_nQueueReserve) return false;
    const S_ENTRY entry = m_audio.front();
    if (entry.nSlot < 0)
    {
        m_audio.pop_front();
        if (m_bAudioEndSent) return true;
        m_bAudioEndSent = true;
        lock.unlock();
        m_pCallback->OnAudio(nullptr, 0, 0);
        lock.lock();
        return true;
    }
    if (entry.nTime > ClockLocked()) return false;
    S_AUDIOSLOT& slot = m_audioSlots[entry.nSlot];
    if (m_bMarkNextAudio) slot.buffer.GetData()[1] |= 0x80;
    m_bMarkNextAudio = false;
    m_bAudioEndSent = false;
    const int32_t nSeconds = static_cast<int32_t>(std::max<int64_t>(0, entry.nTime - m_nStartBase) / 1000000);
    lock.unlock();
    m_pCallback->OnAudio(slot.buffer.GetData(), slot.nLength, nSeconds);
    lock.lock();
    m_audio.pop_front();
    return true;
}

void CVideoShareInternal::PlaybackThread()
{
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_bStop)
    {
        if (m_bHold)
        {
            m_bHoldAcknowledged = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_bStop || !m_bHold; });
            m_bHoldAcknowledged = false;
            continue;
        }
        const bool bVideo = DeliverVideo(lock);
        const bool bAudio = !m_bStop && !m_bHold && DeliverAudio(lock);
        if (bVideo || bAudio)
        {
            lock.unlock();
            m_wake();
            lock.lock();
            continue;
        }
        // Wait until the earlier head is due, or until the lists or the commands change.
        int64_t nDue = INT64_MAX;
        if (m_video.size() > m_nQueueReserve) nDue = std::min(nDue, m_video.front().nTime);
        if (m_audio.size() > m_nQueueReserve) nDue = std::min(nDue, m_audio.front().nTime);
        const int64_t nWait =
            nDue == INT64_MAX ? 100000 : std::clamp<int64_t>(nDue - ClockLocked(), 0, 100000);
        m_changed.wait_for(lock, std::chrono::microseconds(nWait));
    }
}

// ---- Commands

void CVideoShareInternal::ClearLists(bool bSignalEnds, bool bEnd)
{
    bool bVideoEnd = false, bAudioEnd = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        bVideoEnd = (bEnd || !m_video.empty()) && !m_bVideoEndSent;
        bAudioEnd = (bEnd || !m_audio.empty()) && !m_bAudioEndSent;
        m_video.clear();
        m_audio.clear();
        m_bVideoEndSent = m_bAudioEndSent = false;
    }
    if (m_pVideoCodec) avcodec_flush_buffers(m_pVideoCodec);
    if (m_pAudioCodec) avcodec_flush_buffers(m_pAudioCodec);
    // The resampler's delayed samples belong to the old position.
    if (m_pResample) swr_init(m_pResample);
    m_pending.clear();
    m_nAudioClock = INT64_MIN;
    m_bEndOfFile = m_bMarkersDue = false;
    FreeBacklog();
    if (bSignalEnds && bVideoEnd) m_pCallback->OnVideoFrame(nullptr, 0, 0, 0, 0, LM_FMT_NONE);
    if (bSignalEnds && bAudioEnd) m_pCallback->OnAudio(nullptr, 0, 0);
}

void CVideoShareInternal::Stop(bool bEnd)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bPlaying = false;
    }
    EndPlayback();
    if (!m_pFormat) return;
    ClearLists(true, bEnd);
    int64_t nStart;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        nStart = m_nStartBase;
    }
    SeekTo(nStart, true);
}

void CVideoShareInternal::Seek(int32_t nSeconds)
{
    if (!m_pFormat) return;
    int64_t nTarget, nClock;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        nClock = ClockLocked();
        nTarget = m_nStartBase + int64_t{std::max(nSeconds, 0)} * 1000000;
    }
    SeekTo(nTarget, nTarget < nClock);
}

void CVideoShareInternal::SeekRelatively(int32_t nSeconds)
{
    if (!m_pFormat) return;
    int64_t nTarget, nStart;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        nStart = m_nStartBase;
        nTarget = std::max(nStart, ClockLocked() + int64_t{nSeconds} * 1000000);
    }
    if (m_nDuration > 0 && nTarget - nStart > m_nDuration)
    {
        Stop(true);
        return;
    }
    SeekTo(nTarget, nSeconds < 0);
}

void CVideoShareInternal::SeekTo(int64_t nTarget, bool bBackward)
{
    HoldPlayback();
    const int nStream = m_nVideoStream >= 0 ? m_nVideoStream : m_nAudioStream;
    if (nStream >= 0)
    {
        const AVStream* pStream = m_pFormat->streams[nStream];
        const int64_t nStreamTime = av_rescale_q(nTarget, kMicroseconds, pStream->time_base);
        // Forward: the next key frame at or after the target; where there is none, the one before.
        if (av_seek_frame(m_pFormat, nStream, nStreamTime, bBackward ? AVSEEK_FLAG_BACKWARD : 0) < 0 &&
            !bBackward)
            av_seek_frame(m_pFormat, nStream, nStreamTime, AVSEEK_FLAG_BACKWARD);
    }
    ClearLists(false);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_nClock = nTarget;
        m_startTick = std::chrono::steady_clock::now();
        m_bClockUnset = true;
    }
    // Pictures and sound decoded on the way to the target are not delivered. The playback thread
    // goes on at once, so the first picture at the target is shown as soon as it is decoded.
    m_nDropBefore = nTarget;
    ReleaseHold();
    DecodePass();
}

// ---- Decoding ahead

void CVideoShareInternal::AppendLocked(std::deque<S_ENTRY>& list, S_ENTRY entry)
{
    list.push_back(entry);
    // After a load or seek the clock starts at the first entry queued, when that is later.
    if (!m_bClockUnset) return;
    m_nClock = std::max(ClockLocked(), entry.nTime);
    m_startTick = std::chrono::steady_clock::now();
    m_bClockUnset = false;
}

size_t CVideoShareInternal::VideoCount()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_video.size();
}

size_t CVideoShareInternal::AudioCount()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_audio.size();
}

bool CVideoShareInternal::HasWork()
{
    if (!m_pFormat) return false;
    const bool bVideoRoom = VideoCount() < kVideoSlots;
    if (!m_backlog.empty()) return bVideoRoom;
    return m_bMarkersDue || (!m_bEndOfFile && bVideoRoom && AudioCount() < kAudioSlots);
}

bool CVideoShareInternal::ReadPacket()
{
    const int nResult = av_read_frame(m_pFormat, m_pPacket);
    if (nResult < 0)
    {
        // The end (or an unreadable rest): drain both decoders; the lists' end markers follow
        // the last picture.
        if (m_pVideoCodec) DecodeVideo(nullptr);
        if (m_pAudioCodec) DecodeAudio(nullptr);
        m_bEndOfFile = m_bMarkersDue = true;
        return false;
    }
    if (m_pPacket->stream_index == m_nVideoStream)
    {
        // On the way to a seek's target, pictures that no other picture refers to are not decoded:
        // they would be dropped.
        const AVStream* pStream = m_pFormat->streams[m_nVideoStream];
        const bool bBefore = m_nDropBefore != INT64_MIN && m_pPacket->pts != AV_NOPTS_VALUE &&
                             ToMicroseconds(m_pPacket->pts, pStream->time_base) < m_nDropBefore;
        m_pVideoCodec->skip_frame = bBefore ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
        DecodeVideo(m_pPacket);
    }
    else if (m_pPacket->stream_index == m_nAudioStream)
    {
        // On the way to a seek's target, sound well before it is not decoded at all; the last
        // 200 ms are, so the decoder has its overlap.
        const AVStream* pStream = m_pFormat->streams[m_nAudioStream];
        const bool bLongBefore =
            m_nAudioClock == INT64_MIN && m_nDropBefore != INT64_MIN && m_pPacket->pts != AV_NOPTS_VALUE &&
            ToMicroseconds(m_pPacket->pts + m_pPacket->duration, pStream->time_base) < m_nDropBefore - 200000;
        if (!bLongBefore) DecodeAudio(m_pPacket);
    }
    av_packet_unref(m_pPacket);
    return true;
}

void CVideoShareInternal::DecodeVideo(AVPacket* pPacket)
{
    if (avcodec_send_packet(m_pVideoCodec, pPacket) < 0 && pPacket) return;
    while (avcodec_receive_frame(m_pVideoCodec, m_pFrame) >= 0)
    {
        // A packet can give more pictures than the list has room for: the rest wait their turn.
        if (m_backlog.empty() && VideoCount() < kVideoSlots)
            QueuePicture(m_pFrame);
        else if (AVFrame* pCopy = av_frame_clone(m_pFrame))
            m_backlog.push_back(pCopy);
        av_frame_unref(m_pFrame);
    }
}

void CVideoShareInternal::QueuePicture(const AVFrame* pFrame)
{
    const AVStream* pStream = m_pFormat->streams[m_nVideoStream];
    // FFmpeg's choice between the decoding and the presentation time stamp, whichever keeps rising.
    const int64_t nStamp = pFrame->best_effort_timestamp;
    if (nStamp == AV_NOPTS_VALUE) return;
    const int64_t nTime = ToMicroseconds(nStamp, pStream->time_base);
    if (nTime < m_nDropBefore) return;

    const int nWidth = std::max(2, pFrame->width & ~1), nHeight = std::max(2, pFrame->height & ~1);
    S_VIDEOSLOT& slot = m_videoSlots[m_nVideoRing];
    const size_t nBytes = static_cast<size_t>(nWidth) * nHeight * 3 / 2;
    if (!slot.buffer.Reserve(static_cast<size_t>(nWidth) * nHeight * 4)) return;
    m_pScale = sws_getCachedContext(m_pScale, pFrame->width, pFrame->height,
                                    static_cast<AVPixelFormat>(pFrame->format), nWidth, nHeight,
                                    AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!m_pScale) return;
    uint8_t* pPlanes[4] = {slot.buffer.GetData(), slot.buffer.GetData() + nWidth * nHeight,
                           slot.buffer.GetData() + nWidth * nHeight + (nWidth / 2) * (nHeight / 2), nullptr};
    int nStrides[4] = {nWidth, nWidth / 2, nWidth / 2, 0};
    if (sws_scale(m_pScale, pFrame->data, pFrame->linesize, 0, pFrame->height, pPlanes, nStrides) <= 0)
        return;
    slot.buffer.SetLength(nBytes);
    slot.nTime = nTime;
    slot.nWidth = nWidth;
    slot.nHeight = nHeight;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        AppendLocked(m_video, {m_nVideoRing, nTime});
    }
    m_changed.notify_all();
    m_nVideoRing = (m_nVideoRing + 1) % kVideoSlots;
}

void CVideoShareInternal::DecodeAudio(AVPacket* pPacket)
{
    if (avcodec_send_packet(m_pAudioCodec, pPacket) < 0 && pPacket) return;
    const AVStream* pStream = m_pFormat->streams[m_nAudioStream];
    while (avcodec_receive_frame(m_pAudioCodec, m_pFrame) >= 0)
    {
        // A stream may change its format, channels or rate on the way.
        if (!ConfigureSound(m_pFrame->format, m_pFrame->ch_layout, m_pFrame->sample_rate))
        {
            av_frame_unref(m_pFrame);
            continue;
        }
        const int nChannels = m_pFrame->ch_layout.nb_channels;
        const int nIn = m_pFrame->nb_samples;
        const int64_t nTime = m_pFrame->best_effort_timestamp == AV_NOPTS_VALUE
                                  ? AV_NOPTS_VALUE
                                  : ToMicroseconds(m_pFrame->best_effort_timestamp, pStream->time_base);
        // 16-bit interleaved at the stream's rate, taken in whole (output may exceed input a little).
        const int nOutMax = swr_get_out_samples(m_pConvert, nIn);
        if (nOutMax <= 0)
        {
            av_frame_unref(m_pFrame);
            continue;
        }
        m_decoded.resize(static_cast<size_t>(nOutMax) * nChannels);
        uint8_t* pOut[1] = {reinterpret_cast<uint8_t*>(m_decoded.data())};
        const int nConverted =
            swr_convert(m_pConvert, pOut, nOutMax, const_cast<const uint8_t**>(m_pFrame->extended_data), nIn);
        av_frame_unref(m_pFrame);
        if (nConverted <= 0) continue;
        // Every frame's channels folded into one sample, scaled by the volume and clamped.
        m_folded.resize(static_cast<size_t>(nConverted));
        for (int i = 0; i < nConverted; ++i)
        {
            int64_t nSum = 0;
            for (int c = 0; c < nChannels; ++c)
                nSum += m_decoded[static_cast<size_t>(i) * nChannels + c];
            m_folded[i] = static_cast<int16_t>(std::clamp<int64_t>(nSum * m_nVolume / 100, -32768, 32767));
        }
        const int nResampleMax = swr_get_out_samples(m_pResample, nConverted);
        if (nResampleMax <= 0) continue;
        m_resampled.resize(static_cast<size_t>(nResampleMax));
        uint8_t* pResampled[1] = {reinterpret_cast<uint8_t*>(m_resampled.data())};
        const uint8_t* pFolded[1] = {reinterpret_cast<const uint8_t*>(m_folded.data())};
        const int nResampled = swr_convert(m_pResample, pResampled, nResampleMax, pFolded, nConverted);
        if (nResampled > 0) TakeSamples(m_resampled.data(), nResampled, nTime);
    }
}

void CVideoShareInternal::TakeSamples(const int16_t* pSamples, int nSamples, int64_t nTime)
{
    if (m_nAudioClock == INT64_MIN)
    {
        // The first sound after a load or seek: its own time, less what lies before the target.
        if (nTime == AV_NOPTS_VALUE) nTime = m_nDropBefore == INT64_MIN ? 0 : m_nDropBefore;
        if (nTime < m_nDropBefore)
        {
            const int64_t nSkip =
                std::min<int64_t>(nSamples, ((m_nDropBefore - nTime) * kSampleRate + 999999) / 1000000);
            pSamples += nSkip;
            nSamples -= static_cast<int>(nSkip);
            nTime = std::max(m_nDropBefore, nTime + nSkip * 1000000 / kSampleRate);
            if (nSamples <= 0) return;
        }
        m_nAudioClock = nTime;
    }
    m_pending.insert(m_pending.end(), pSamples, pSamples + nSamples);
    PackPending();
}

void CVideoShareInternal::PackPending()
{
    size_t nOffset = 0;
    while (m_pending.size() - nOffset >= kBlockSamples && AudioCount() < kAudioSlots)
    {
        PackBlock(m_pending.data() + nOffset);
        nOffset += kBlockSamples;
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(nOffset));
}

void CVideoShareInternal::PackBlock(const int16_t* pBlock)
{
    const int64_t nTime = m_nAudioClock;
    // Silence is not sent, but its time passes, so the sound after it keeps its place.
    m_nAudioClock += kBlockMicroseconds;
    if (std::all_of(pBlock, pBlock + kBlockSamples, [](int16_t v) { return v == 0; })) return;
    if (!m_bSpeexReady) return;
    S_AUDIOSLOT& slot = m_audioSlots[m_nAudioRing];
    uint8_t* p = slot.buffer.GetData();
    p[0] = 0x80;
    p[1] = 0x61;
    PutBigEndian(p + 2, m_nSequence, 2);
    PutBigEndian(p + 4, m_nTimeStamp, 4);
    PutBigEndian(p + 8, static_cast<uint32_t>(m_nSourceId), 4);
    int nLength = kHeaderBytes;
    uint8_t pcm[kBlockSamples * 2];
    for (int i = 0; i < kBlockSamples; ++i)
    {
        pcm[2 * i] = static_cast<uint8_t>(pBlock[i] & 0xFF);
        pcm[2 * i + 1] = static_cast<uint8_t>((pBlock[i] >> 8) & 0xFF);
    }
    for (int nFrame = 0; nFrame < 2; ++nFrame)
    {
        int32_t nWritten = 0;
        if (!m_speex->Encode(pcm + nFrame * kBlockSamples, kBlockSamples, 0, p + nLength,
                             kAudioSlotBytes - nLength, &nWritten))
            return;
        nLength += std::clamp(nWritten, 0, kAudioSlotBytes - nLength);
    }
    slot.nLength = nLength;
    slot.nTime = nTime;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        AppendLocked(m_audio, {m_nAudioRing, nTime});
    }
    m_changed.notify_all();
    m_nAudioRing = (m_nAudioRing + 1) % kAudioSlots;
    ++m_nSequence;
    m_nTimeStamp += kBlockSamples;
}

void CVideoShareInternal::DecodePass()
{
    if (!m_pFormat) return;
    while (!m_backlog.empty() && VideoCount() < kVideoSlots)
    {
        QueuePicture(m_backlog.front());
        av_frame_free(&m_backlog.front());
        m_backlog.pop_front();
    }
    const size_t nAudioBefore = AudioCount();
    PackPending();
    if (AudioCount() == nAudioBefore && m_backlog.empty())
        while (!m_bEndOfFile && m_backlog.empty() && VideoCount() < kVideoSlots &&
               AudioCount() < kAudioSlots && !m_commandWaiting())
            ReadPacket();
    if (m_bMarkersDue && m_backlog.empty())
    {
        m_bMarkersDue = false;
        std::lock_guard<std::mutex> guard(m_lock);
        // One more marker than the reserve, so that the playback thread reaches one.
        for (size_t i = 0; i <= m_nQueueReserve; ++i)
        {
            m_video.push_back({-1, 0});
            m_audio.push_back({-1, 0});
        }
    }

    bool bStop = false;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_bPlaying)
        {
            const int64_t nPosition = ClockLocked() - m_nStartBase;
            const int64_t nEnd = m_nStartBase + m_nDuration;
            const auto onlyMarkers = [](const std::deque<S_ENTRY>& list)
            { return std::all_of(list.begin(), list.end(), [](const S_ENTRY& e) { return e.nSlot < 0; }); };
            const auto holdsOverdue = [nEnd](const std::deque<S_ENTRY>& list)
            {
                return std::any_of(list.begin(), list.end(),
                                   [nEnd](const S_ENTRY& e) { return e.nSlot >= 0 && e.nTime <= nEnd; });
            };
            // Past the duration, what is queued up to the end is overdue and still delivered (a slow
            // machine shows the last pictures late rather than losing them), and a decoder that lags
            // is waited for; only entries stamped beyond the end, as damaged files have, are dropped.
            const bool bPastDuration = m_nDuration > 0 && nPosition > m_nDuration && !holdsOverdue(m_video) &&
                                       !holdsOverdue(m_audio) &&
                                       (m_bEndOfFile || !m_video.empty() || !m_audio.empty());
            // The end: past the duration, or the file ended and everything was delivered.
            bStop = bPastDuration ||
                    (m_bEndOfFile && !m_bMarkersDue && onlyMarkers(m_video) && onlyMarkers(m_audio));
        }
    }
    if (bStop) Stop(true);
}
