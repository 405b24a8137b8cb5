// Conversion, decoding and encoding per picture, each beside the bare library call it wraps:
// the wrapping (checks, cached contexts, depacketizing, packetizing) should cost next to nothing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <wels/codec_api.h>

#include "bench/codecs/StreamGrid.h"
#include "confclient/library/LMPixelFormat.h"
#include "lmvideo/codecs/H263Encoder.h"
#include "lmvideo/codecs/H264Encoder.h"
#include "lmvideo/codecs/PictureConverter.h"
#include "lmvideo/codecs/VideoDecoder.h"
#include "lmvideo/fixtures/StampedPattern.h"

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace
{
using Bytes = std::vector<uint8_t>;

Bytes ReadFixture(const char* name)
{
    std::ifstream in(std::string(QUILLON_FIXTURES) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fixture stream a hundred times over: one long stream, as the command line is timed on.
Bytes HundredTimes(const char* szStream)
{
    const Bytes once = ReadFixture(szStream);
    Bytes all;
    for (int i = 0; i < 100; ++i)
        all.insert(all.end(), once.begin(), once.end());
    return all;
}

std::vector<Bytes> ReadCapture(const char* name)
{
    return RtpLoop::ReadCapture(ReadFixture(name));
}

// args: width, height, flipped
void BM_ConvertToRgb32(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    Bytes source(PatternBytes(w, h)), target(static_cast<size_t>(w) * h * 4);
    MakeStampedPattern(1, w, h, source.data());
    PictureConverter converter;
    const int32_t th = state.range(2) ? -h : h;
    for (auto _ : state)
        converter.Convert(source.data(), static_cast<int32_t>(source.size()), {w, h, LM_FMT_YUV420, 0},
                          target.data(), static_cast<int32_t>(target.size()), {w, th, LM_FMT_RGB32, 0}, true);
}
BENCHMARK(BM_ConvertToRgb32)
    ->Args({352, 288, 0})
    ->Args({352, 288, 1})
    ->Args({1280, 720, 0})
    ->Args({1280, 720, 1});

void BM_BareSwsScale(benchmark::State& state)
{
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    Bytes source(PatternBytes(w, h)), target(static_cast<size_t>(w) * h * 4);
    MakeStampedPattern(1, w, h, source.data());
    SwsContext* context = sws_getContext(w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_BGRA, SWS_BICUBIC,
                                         nullptr, nullptr, nullptr);
    const uint8_t* planes[3] = {source.data(), source.data() + w * h, source.data() + w * h * 5 / 4};
    const int strides[3] = {w, w / 2, w / 2};
    uint8_t* out[1] = {target.data()};
    int outStride[1] = {w * 4};
    if (state.range(2)) out[0] += static_cast<size_t>(h - 1) * w * 4, outStride[0] = -w * 4;
    for (auto _ : state)
        sws_scale(context, planes, strides, 0, h, out, outStride);
    sws_freeContext(context);
}
BENCHMARK(BM_BareSwsScale)
    ->Args({352, 288, 0})
    ->Args({352, 288, 1})
    ->Args({1280, 720, 0})
    ->Args({1280, 720, 1});

// Every RTP packet of the stream through our kind-4 (H.264) or kind-3 (H.263) decoder; items
// are pictures.
void BM_DecodeRtp(benchmark::State& state, VideoCodec codec, const char* szCapture, int w, int h)
{
    const std::vector<Bytes> packets = ReadCapture(szCapture);
    Bytes picture(PatternBytes(w, h));
    int64_t pictures = 0;
    for (auto _ : state)
    {
        VideoDecoder decoder(codec, false);
        DecodedPicture info;
        for (const Bytes& packet : packets)
            pictures += decoder.Decode(packet.data(), static_cast<int32_t>(packet.size()), picture.data(),
                                       static_cast<int32_t>(picture.size()), info);
    }
    state.SetItemsProcessed(pictures); // pictures per second
}
BENCHMARK_CAPTURE(BM_DecodeRtp, cif, VideoCodec::H264, "cif.h264.rtp", 352, 288);
BENCHMARK_CAPTURE(BM_DecodeRtp, hd720, VideoCodec::H264, "720p.h264.rtp", 1280, 720);
BENCHMARK_CAPTURE(BM_DecodeRtp, h263_cif, VideoCodec::H263, "cif.h263.rtp", 352, 288);

// 49 receivers at CIF, 15 pictures a second, for a minute: 49 kind-4 decoders fed in real time
// by one thread, each writing into its own picture. cores is the process's CPU time over the
// wall time (under one is the aim); the time shown is the wall time of the minute.
void BM_DecodeGrid(benchmark::State& state)
{
    constexpr int kStreams = 49, kFps = 15, kSeconds = 60;
    RtpLoop loop(ReadCapture("cif.h264.rtp"));
    for (auto _ : state)
    {
        std::vector<std::unique_ptr<VideoDecoder>> decoders;
        std::vector<Bytes> pictures(kStreams, Bytes(PatternBytes(352, 288)));
        for (int s = 0; s < kStreams; ++s)
            decoders.push_back(std::make_unique<VideoDecoder>(VideoCodec::H264, false));
        DecodedPicture info;
        const GridLoad load = FeedGrid(
            loop, kStreams, kFps, kSeconds,
            [&](int s, const uint8_t* p, int32_t nBytes)
            {
                Bytes& picture = pictures[static_cast<size_t>(s)];
                return decoders[static_cast<size_t>(s)]->Decode(p, nBytes, picture.data(),
                                                                static_cast<int32_t>(picture.size()), info);
            },
            [] { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; });
        state.counters["cores"] = load.dCores;
        state.counters["pictures"] = static_cast<double>(load.nPictures);
        state.counters["late_ticks"] = static_cast<double>(load.nLateTicks);
    }
}
BENCHMARK(BM_DecodeGrid)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

// The pictures of a plain stream as libavcodec's parser splits it.
std::vector<Bytes> SplitStream(AVCodecID codecId, const Bytes& stream)
{
    std::vector<Bytes> units;
    AVCodecParserContext* parser = av_parser_init(codecId);
    AVCodecContext* parse = avcodec_alloc_context3(nullptr);
    for (size_t at = 0; at <= stream.size();)
    {
        uint8_t* out = nullptr;
        int n = 0;
        const bool bEnd = at == stream.size();
        const int used =
            av_parser_parse2(parser, parse, &out, &n, bEnd ? nullptr : stream.data() + at,
                             static_cast<int>(stream.size() - at), AV_NOPTS_VALUE, AV_NOPTS_VALUE, 0);
        if (n > 0) units.emplace_back(out, out + n);
        at += static_cast<size_t>(used);
        if (bEnd) break;
    }
    av_parser_close(parser);
    avcodec_free_context(&parse);
    return units;
}

// The same pictures as a plain stream through our kind-8 decoder.
void BM_DecodePlain(benchmark::State& state, const char* szStream, int w, int h)
{
    const std::vector<Bytes> units = SplitStream(AV_CODEC_ID_H264, ReadFixture(szStream));
    Bytes picture(PatternBytes(w, h));
    int64_t pictures = 0;
    for (auto _ : state)
    {
        VideoDecoder decoder(VideoCodec::H264, true);
        DecodedPicture info;
        for (const Bytes& unit : units)
            pictures += decoder.Decode(unit.data(), static_cast<int32_t>(unit.size()), picture.data(),
                                       static_cast<int32_t>(picture.size()), info);
    }
    state.SetItemsProcessed(pictures);
}
BENCHMARK_CAPTURE(BM_DecodePlain, cif, "cif.h264", 352, 288);

// Bare libavcodec over the same pictures; the long stream is the fixture a hundred times over.
// With bCopyOut each picture is also copied into a packed buffer, as our decoders hand it over.
void BM_BareDecode(benchmark::State& state, AVCodecID codecId, const char* szStream, bool bLong,
                   bool bCopyOut = false)
{
    const std::vector<Bytes> units =
        SplitStream(codecId, bLong ? HundredTimes(szStream) : ReadFixture(szStream));
    Bytes packed;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    int64_t pictures = 0;
    for (auto _ : state)
    {
        const AVCodec* codec = avcodec_find_decoder(codecId);
        AVCodecContext* context = avcodec_alloc_context3(codec);
        context->thread_count = 1;
        context->flags |= AV_CODEC_FLAG_LOW_DELAY;
        avcodec_open2(context, codec, nullptr);
        for (const Bytes& unit : units)
        {
            av_new_packet(packet, static_cast<int>(unit.size()));
            std::copy(unit.begin(), unit.end(), packet->data);
            avcodec_send_packet(context, packet);
            av_packet_unref(packet);
            while (avcodec_receive_frame(context, frame) >= 0)
            {
                if (bCopyOut)
                {
                    const auto format = static_cast<AVPixelFormat>(frame->format);
                    packed.resize(static_cast<size_t>(
                        av_image_get_buffer_size(format, frame->width, frame->height, 1)));
                    av_image_copy_to_buffer(packed.data(), static_cast<int>(packed.size()), frame->data,
                                            frame->linesize, format, frame->width, frame->height, 1);
                }
                ++pictures, av_frame_unref(frame);
            }
        }
        avcodec_free_context(&context);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    state.SetItemsProcessed(pictures); // pictures per second
}
BENCHMARK_CAPTURE(BM_BareDecode, cif, AV_CODEC_ID_H264, "cif.h264", false);
BENCHMARK_CAPTURE(BM_BareDecode, hd720, AV_CODEC_ID_H264, "720p.h264", false);
BENCHMARK_CAPTURE(BM_BareDecode, h263_cif, AV_CODEC_ID_H263, "cif.h263", false);
BENCHMARK_CAPTURE(BM_BareDecode, long_cif, AV_CODEC_ID_H264, "cif.h264", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareDecode, long_hd720, AV_CODEC_ID_H264, "720p.h264", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareDecode, long_h263_cif, AV_CODEC_ID_H263, "cif.h263", true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareDecode, long_cif_copy, AV_CODEC_ID_H264, "cif.h264", true, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareDecode, long_hd720_copy, AV_CODEC_ID_H264, "720p.h264", true, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_BareDecode, long_h263_cif_copy, AV_CODEC_ID_H263, "cif.h263", true, true)
    ->Unit(benchmark::kMillisecond);

// One decoder over the fixture stream a hundred times over, as `ffmpeg -threads 1` decodes
// it: ours (kinds 7/8) fed in blocks of 1350 bytes, beside bare libavcodec over the parser's
// pictures. A block may complete several pictures and give the newest (only that one is copied
// out), so the time is per pass of 3000 (CIF) or 1000 (720p) pictures.
void BM_DecodeLongStream(benchmark::State& state, VideoCodec codec, const char* szStream, int w, int h)
{
    const Bytes stream = HundredTimes(szStream);
    Bytes picture(PatternBytes(w, h));
    for (auto _ : state)
    {
        VideoDecoder decoder(codec, true);
        DecodedPicture info;
        for (size_t at = 0; at < stream.size(); at += 1350)
            decoder.Decode(stream.data() + at,
                           static_cast<int32_t>(std::min<size_t>(1350, stream.size() - at)), picture.data(),
                           static_cast<int32_t>(picture.size()), info);
    }
}
// One kind-4 (H.264) or kind-3 (H.263) decoder over the RTP capture played a hundred times as
// one stream: one picture per marker packet, each copied out, as the receivers decode. The time
// is per pass of 3000 (CIF) or 1000 (720p) pictures, as the command line's over the plain stream.
void BM_DecodeRtpLong(benchmark::State& state, VideoCodec codec, const char* szCapture, int w, int h)
{
    RtpLoop loop(ReadCapture(szCapture));
    Bytes picture(PatternBytes(w, h));
    int64_t pictures = 0;
    for (auto _ : state)
    {
        VideoDecoder decoder(codec, false);
        DecodedPicture info;
        for (uint32_t pass = 0; pass < 100; ++pass)
            loop.Pass(pass,
                      [&](const uint8_t* p, int32_t nBytes) {
                          pictures += decoder.Decode(p, nBytes, picture.data(),
                                                     static_cast<int32_t>(picture.size()), info);
                      });
    }
    state.SetItemsProcessed(pictures);
}
BENCHMARK_CAPTURE(BM_DecodeRtpLong, cif, VideoCodec::H264, "cif.h264.rtp", 352, 288)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeRtpLong, hd720, VideoCodec::H264, "720p.h264.rtp", 1280, 720)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeRtpLong, h263_cif, VideoCodec::H263, "cif.h263.rtp", 352, 288)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_DecodeLongStream, cif, VideoCodec::H264, "cif.h264", 352, 288)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeLongStream, hd720, VideoCodec::H264, "720p.h264", 1280, 720)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_DecodeLongStream, h263_cif, VideoCodec::H263, "cif.h263", 352, 288)
    ->Unit(benchmark::kMillisecond);

// Our kind-1 encoder (RFC 2190 packetizing included) per picture at CIF, 384 kbit/s, as the
// command line's h263 at the same rate and key interval.
void BM_EncodeH263(benchmark::State& state)
{
    H263Encoder encoder;
    encoder.Init(15, 384000, 1350, 352, 288);
    std::vector<Bytes> pictures(30, Bytes(PatternBytes(352, 288)));
    for (uint32_t n = 0; n < pictures.size(); ++n)
        MakeStampedPattern(n, 352, 288, pictures[n].data());
    Bytes output(512 * 1024);
    auto result = std::make_unique<S_ENCODEROUTPUT>();
    size_t n = 0;
    for (auto _ : state)
    {
        const Bytes& p = pictures[n++ % pictures.size()];
        encoder.Encode(p.data(), static_cast<int32_t>(p.size()), {352, 288, LM_FMT_YUV420, 0},
                       static_cast<int32_t>(output.size()), output.data(), *result);
    }
}
BENCHMARK(BM_EncodeH263);

// Our kind-2 encoder (conversion from planar is a copy, packetizing included) per picture at CIF.
void BM_EncodeH264(benchmark::State& state)
{
    H264Encoder encoder;
    encoder.SetOptions("speed=1;");
    encoder.Init(15, 384000, 1350, 352, 288);
    std::vector<Bytes> pictures(30, Bytes(PatternBytes(352, 288)));
    for (uint32_t n = 0; n < pictures.size(); ++n)
        MakeStampedPattern(n, 352, 288, pictures[n].data());
    Bytes output(512 * 1024);
    auto result = std::make_unique<S_ENCODEROUTPUT>();
    size_t n = 0;
    for (auto _ : state)
    {
        const Bytes& p = pictures[n++ % pictures.size()];
        encoder.Encode(p.data(), static_cast<int32_t>(p.size()), {352, 288, LM_FMT_YUV420, 0},
                       static_cast<int32_t>(output.size()), output.data(), *result);
    }
}
BENCHMARK(BM_EncodeH264);

// openh264 alone with the same parameters.
void BM_BareOpenh264(benchmark::State& state)
{
    ISVCEncoder* encoder = nullptr;
    WelsCreateSVCEncoder(&encoder);
    SEncParamExt param{};
    encoder->GetDefaultParams(&param);
    param.iUsageType = CAMERA_VIDEO_REAL_TIME;
    param.iPicWidth = 352;
    param.iPicHeight = 288;
    param.fMaxFrameRate = 15;
    param.iTargetBitrate = 384000;
    param.iRCMode = RC_BITRATE_MODE;
    param.bEnableFrameSkip = false;
    param.uiIntraPeriod = 150;
    param.iMultipleThreadIdc = 1;
    param.iComplexityMode = LOW_COMPLEXITY;
    param.iSpatialLayerNum = 1;
    param.iTemporalLayerNum = 1;
    param.sSpatialLayers[0].iVideoWidth = 352;
    param.sSpatialLayers[0].iVideoHeight = 288;
    param.sSpatialLayers[0].fFrameRate = 15;
    param.sSpatialLayers[0].iSpatialBitrate = 384000;
    param.sSpatialLayers[0].uiProfileIdc = PRO_BASELINE;
    param.sSpatialLayers[0].sSliceArgument.uiSliceMode = SM_SINGLE_SLICE;
    encoder->InitializeExt(&param);
    std::vector<Bytes> pictures(30, Bytes(PatternBytes(352, 288)));
    for (uint32_t n = 0; n < pictures.size(); ++n)
        MakeStampedPattern(n, 352, 288, pictures[n].data());
    size_t n = 0;
    for (auto _ : state)
    {
        Bytes& p = pictures[n % pictures.size()];
        SSourcePicture source{};
        source.iColorFormat = videoFormatI420;
        source.iPicWidth = 352;
        source.iPicHeight = 288;
        source.iStride[0] = 352;
        source.iStride[1] = source.iStride[2] = 176;
        source.pData[0] = p.data();
        source.pData[1] = p.data() + 352 * 288;
        source.pData[2] = p.data() + 352 * 288 * 5 / 4;
        source.uiTimeStamp = static_cast<long long>(n++) * 1000 / 15;
        SFrameBSInfo info{};
        encoder->EncodeFrame(&source, &info);
    }
    encoder->Uninitialize();
    WelsDestroySVCEncoder(encoder);
}
BENCHMARK(BM_BareOpenh264);

// A libavcodec encoder over the 30 CIF pattern pictures at 15 fps, 384 kbit/s, a key picture
// every 150, one thread; each picture copied into the encoder's frame, as a caller with packed
// pictures must. Items are pictures.
void BareAvEncode(benchmark::State& state, const char* szEncoder, AVDictionary* options)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(szEncoder);
    if (!codec)
    {
        state.SkipWithError("no such encoder in this libavcodec");
        return;
    }
    av_log_set_level(AV_LOG_ERROR); // libx264 reports its statistics on closing
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->width = 352;
    context->height = 288;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = AVRational{1, 15};
    context->framerate = AVRational{15, 1};
    context->bit_rate = 384000;
    context->gop_size = 150;
    context->max_b_frames = 0;
    context->thread_count = 1;
    if (avcodec_open2(context, codec, &options) < 0)
    {
        av_dict_free(&options);
        avcodec_free_context(&context);
        state.SkipWithError("the encoder did not open");
        return;
    }
    av_dict_free(&options);
    AVFrame* frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = 352;
    frame->height = 288;
    av_frame_get_buffer(frame, 0);
    AVPacket* packet = av_packet_alloc();
    std::vector<Bytes> pictures(30, Bytes(PatternBytes(352, 288)));
    for (uint32_t n = 0; n < pictures.size(); ++n)
        MakeStampedPattern(n, 352, 288, pictures[n].data());
    int64_t n = 0;
    for (auto _ : state)
    {
        av_frame_make_writable(frame);
        const uint8_t* plane = pictures[static_cast<size_t>(n) % pictures.size()].data();
        for (int k = 0; k < 3; ++k)
        {
            const int pw = k ? 176 : 352, ph = k ? 144 : 288;
            for (int row = 0; row < ph; ++row)
                std::copy(plane + row * pw, plane + (row + 1) * pw,
                          frame->data[k] + row * frame->linesize[k]);
            plane += pw * ph;
        }
        frame->pts = n++;
        avcodec_send_frame(context, frame);
        while (avcodec_receive_packet(context, packet) >= 0)
            av_packet_unref(packet);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&context);
}

// libavcodec's h263 with our kind-1 encoder's settings (quantizer 4 and up, macroblock records).
void BM_BareH263Encode(benchmark::State& state)
{
    AVDictionary* options = nullptr;
    av_dict_set(&options, "qmin", "4", 0);
    av_dict_set(&options, "mb_info", "1328", 0);
    BareAvEncode(state, "h263", options);
}
BENCHMARK(BM_BareH263Encode);

// Debian's libx264 at the settings nearest ours: baseline, zerolatency, the same rate and key
// interval, one thread; at its default preset and at the fastest.
void BM_BareLibx264(benchmark::State& state, const char* szPreset)
{
    AVDictionary* options = nullptr;
    av_dict_set(&options, "profile", "baseline", 0);
    av_dict_set(&options, "tune", "zerolatency", 0);
    av_dict_set(&options, "preset", szPreset, 0);
    BareAvEncode(state, "libx264", options);
}
BENCHMARK_CAPTURE(BM_BareLibx264, medium, "medium");
BENCHMARK_CAPTURE(BM_BareLibx264, ultrafast, "ultrafast");
} // namespace

BENCHMARK_MAIN();
