// The media library's benchmark inputs and the bare seek loop.
#include "bench/medialib/MediaBenchInputs.h"

#include <chrono>
#include <cstdlib>
#include <random>

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

std::vector<uint8_t> ScreenFrame(int n)
{
    std::vector<uint8_t> frame(static_cast<size_t>(kCaptureWidth) * kCaptureHeight * 4);
    for (int y = 0; y < kCaptureHeight; ++y)
        for (int x = 0; x < kCaptureWidth; ++x)
        {
            uint8_t* p = &frame[(static_cast<size_t>(y) * kCaptureWidth + x) * 4];
            p[0] = static_cast<uint8_t>(x + 4 * n);
            p[1] = static_cast<uint8_t>(y);
            p[2] = static_cast<uint8_t>((x / 64 + y / 64 + n / 5) % 2 ? 200 : 40);
            p[3] = 0;
        }
    return frame;
}

std::vector<int> SeekTargets()
{
    std::mt19937 random(12345);
    std::vector<int> targets;
    int nLast = 0;
    while (targets.size() < 50)
    {
        const int n = static_cast<int>(random() % 3500) + 30;
        if (std::abs(n - nLast) <= 60) continue;
        targets.push_back(n);
        nLast = n;
    }
    return targets;
}

std::vector<double> BareSeekLatencies(const std::string& movie)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> latencies;
    AVFormatContext* pFormat = nullptr;
    if (avformat_open_input(&pFormat, movie.c_str(), nullptr, nullptr) < 0) return latencies;
    const int nStream = avformat_find_stream_info(pFormat, nullptr) < 0
                            ? -1
                            : av_find_best_stream(pFormat, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (nStream < 0)
    {
        avformat_close_input(&pFormat);
        return latencies;
    }
    const AVStream* pStream = pFormat->streams[nStream];
    AVCodecContext* pCodec = avcodec_alloc_context3(avcodec_find_decoder(pStream->codecpar->codec_id));
    avcodec_parameters_to_context(pCodec, pStream->codecpar);
    pCodec->thread_count = 1;
    avcodec_open2(pCodec, nullptr, nullptr);
    AVPacket* pPacket = av_packet_alloc();
    AVFrame* pFrame = av_frame_alloc();
    for (int nTarget : SeekTargets())
    {
        const auto start = Clock::now();
        const int64_t nTime =
            av_rescale_q(int64_t{nTarget} * 1000000, AVRational{1, 1000000}, pStream->time_base);
        av_seek_frame(pFormat, nStream, nTime, AVSEEK_FLAG_BACKWARD);
        avcodec_flush_buffers(pCodec);
        bool bDone = false;
        while (!bDone && av_read_frame(pFormat, pPacket) >= 0)
        {
            if (pPacket->stream_index == nStream && avcodec_send_packet(pCodec, pPacket) >= 0)
                while (!bDone && avcodec_receive_frame(pCodec, pFrame) >= 0)
                    bDone = pFrame->best_effort_timestamp >= nTime;
            av_packet_unref(pPacket);
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    av_frame_free(&pFrame);
    av_packet_free(&pPacket);
    avcodec_free_context(&pCodec);
    avformat_close_input(&pFormat);
    return latencies;
}
