// The codec libraries as the program uses them (LMLibrary01U.dll and LMLibrary04U.dll loaded by
// name, objects made by their factories) beside the bare cross-built libraries they wrap, in one
// run on the same pictures and streams: H.264 and H.263 decoding from RTP, H.264 and H.263
// encoding into RTP units, conversion to 32-bit RGB upright and bottom-up; then 49 CIF streams
// decoded in real time from one thread for a minute.
//   bench_codecs_wine FIXTURES [REPETITIONS] [SECONDS] [ONLY]
// FIXTURES is the folder scripts/make-fixtures.sh filled. Each of REPETITIONS (default 15) times a
// block of about SECONDS (default 0.5) of ours and one of bare, in alternating order, by the
// thread's CPU time and by the wall clock; the lines give medians per picture and the median of
// the paired ratios. Many short pairs stand a shared machine's load better than a few long ones;
// thread times under Wine move in 10-ms steps, so the wall-clock ratio is the finer one. With
// ONLY, just the lines whose name holds it.
#include "bench/codecs/RtpLoop.h"
#include "bench/codecs/StreamGrid.h"
#include "confclient/library/LMObjectPtr.h"
#include "confclient/library/LMPixelFormat.h"
#include "confclient/library/LMVideoCodecs.h"
#include "lmvideo/fixtures/StampedPattern.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wels/codec_api.h>

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace
{
using Bytes = std::vector<uint8_t>;
const wchar_t kLibrary01[] = L"LMLibrary01U.dll";
const wchar_t kLibrary04[] = L"LMLibrary04U.dll";
constexpr int kFps = 15, kBitRate = 384000, kUnit = 1350, kCifW = 352, kCifH = 288;

std::string g_fixtures, g_only;

Bytes ReadFixture(const char* szName)
{
    Bytes bytes;
    if (FILE* file = fopen((g_fixtures + "\\" + szName).c_str(), "rb"))
    {
        uint8_t chunk[65536];
        for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0;)
            bytes.insert(bytes.end(), chunk, chunk + got);
        fclose(file);
    }
    if (bytes.empty())
    {
        fprintf(stderr, "bench_codecs_wine: %s\\%s is missing\n", g_fixtures.c_str(), szName);
        exit(1);
    }
    return bytes;
}

int32_t Size(const Bytes& b)
{
    return static_cast<int32_t>(b.size());
}

double Now()
{
    static const double dFrequency = []
    {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER n;
    QueryPerformanceCounter(&n);
    return static_cast<double>(n.QuadPart) / dFrequency;
}

double Seconds(const FILETIME& ft)
{
    return static_cast<double>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 1e7;
}

double ThreadCpu()
{
    FILETIME c, e, k, u;
    GetThreadTimes(GetCurrentThread(), &c, &e, &k, &u);
    return Seconds(k) + Seconds(u);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Work of N units (passes over a stream, or pictures); answers the pictures it made.
using Work = std::function<int64_t(int nUnits)>;

struct Timed
{
    double dCpu = 0, dWall = 0; // per picture
    int64_t nPictures = 0;
};

Timed TimeBlock(const Work& work, int nUnits)
{
    const double c0 = ThreadCpu(), t0 = Now();
    const int64_t nPictures = work(nUnits);
    const double c1 = ThreadCpu(), t1 = Now();
    if (nPictures <= 0)
    {
        fprintf(stderr, "bench_codecs_wine: a block made no pictures\n");
        exit(1);
    }
    return {(c1 - c0) / nPictures, (t1 - t0) / nPictures, nPictures};
}

// Ours beside bare: one warm-up unit sizes the block, then the repetitions alternate the order.
void Compare(const char* szWhat, const Work& ours, const Work& bare, int nRepetitions, double dSeconds)
{
    if (!g_only.empty() && std::string(szWhat).find(g_only) == std::string::npos) return;
    // The first unit opens codecs and makes key pictures: warm up, then size the block on ours.
    ours(1);
    bare(1);
    int nProbe = 1;
    double dProbe = 0;
    for (;; nProbe *= 2)
    {
        const double t0 = Now();
        ours(nProbe);
        dProbe = Now() - t0;
        bare(nProbe); // the encoders stay at the same picture of the sequence
        if (dProbe >= 0.05) break;
    }
    const int nUnits = std::max(1, static_cast<int>(std::ceil(dSeconds * nProbe / dProbe)));
    std::vector<double> oursCpu, bareCpu, oursWall, bareWall, cpuRatio, wallRatio;
    int64_t nOurs = 0, nBare = 0;
    for (int r = 0; r < nRepetitions; ++r)
    {
        Timed a, b;
        if (r % 2)
            b = TimeBlock(bare, nUnits), a = TimeBlock(ours, nUnits);
        else
            a = TimeBlock(ours, nUnits), b = TimeBlock(bare, nUnits);
        oursCpu.push_back(a.dCpu), bareCpu.push_back(b.dCpu);
        oursWall.push_back(a.dWall), bareWall.push_back(b.dWall);
        cpuRatio.push_back(a.dCpu / b.dCpu), wallRatio.push_back(a.dWall / b.dWall);
        nOurs = a.nPictures, nBare = b.nPictures;
    }
    const auto [lo, hi] = std::minmax_element(cpuRatio.begin(), cpuRatio.end());
    printf("%-34s CPU %9.1f us %9.1f us  x%.3f (%.3f-%.3f)   wall %9.1f us %9.1f us  x%.3f   "
           "pictures %lld / %lld\n",
           szWhat, Median(oursCpu) * 1e6, Median(bareCpu) * 1e6, Median(cpuRatio), *lo, *hi,
           Median(oursWall) * 1e6, Median(bareWall) * 1e6, Median(wallRatio), static_cast<long long>(nOurs),
           static_cast<long long>(nBare));
    fflush(stdout);
}

// ---- decoding ------------------------------------------------------------------------------

// The packets of a capture file; leaves when it holds none.
std::vector<Bytes> ReadCapture(const char* szName)
{
    std::vector<Bytes> packets = RtpLoop::ReadCapture(ReadFixture(szName));
    if (packets.empty())
    {
        fprintf(stderr, "bench_codecs_wine: %s holds no RTP packets\n", szName);
        exit(1);
    }
    return packets;
}

// Our RTP decoder (made by name) over N passes of the capture, opened once for the block.
Work OursDecode(const wchar_t* szFactory, const char* szCapture, int w, int h)
{
    auto loop = std::make_shared<RtpLoop>(ReadCapture(szCapture));
    auto picture = std::make_shared<Bytes>(PatternBytes(w, h));
    return [=](int nUnits) -> int64_t
    {
        CLMObjectPtr<ILMVideoDecoder> decoder(1, kLibrary01, szFactory);
        if (!decoder)
        {
            fprintf(stderr, "bench_codecs_wine: %ls has no %ls\n", kLibrary01, szFactory);
            exit(1);
        }
        int64_t nPictures = 0;
        S_DECODEDFRAME frame{};
        for (int n = 0; n < nUnits; ++n)
            loop->Pass(static_cast<uint32_t>(n),
                       [&](const uint8_t* p, int32_t nBytes) {
                           nPictures +=
                               decoder->Decode(p, nBytes, 0, picture->data(), Size(*picture), &frame) != 0;
                       });
        return nPictures;
    };
}

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

// Bare libavcodec (one thread, low delay, as ours opens it) over N passes of the stream's pictures;
// with bCopyOut each picture is also copied into a packed buffer, as our decoders hand it over.
Work BareDecode(AVCodecID codecId, const char* szStream, bool bCopyOut = false)
{
    auto units = std::make_shared<std::vector<Bytes>>(SplitStream(codecId, ReadFixture(szStream)));
    auto packed = std::make_shared<Bytes>();
    return [=](int nUnits) -> int64_t
    {
        const AVCodec* codec = avcodec_find_decoder(codecId);
        AVCodecContext* context = avcodec_alloc_context3(codec);
        context->thread_count = 1;
        context->flags |= AV_CODEC_FLAG_LOW_DELAY;
        avcodec_open2(context, codec, nullptr);
        AVFrame* frame = av_frame_alloc();
        AVPacket* packet = av_packet_alloc();
        int64_t nPictures = 0;
        for (int n = 0; n < nUnits; ++n)
            for (const Bytes& unit : *units)
            {
                av_new_packet(packet, Size(unit));
                std::copy(unit.begin(), unit.end(), packet->data);
                avcodec_send_packet(context, packet);
                av_packet_unref(packet);
                while (avcodec_receive_frame(context, frame) >= 0)
                {
                    if (bCopyOut)
                    {
                        const auto format = static_cast<AVPixelFormat>(frame->format);
                        packed->resize(static_cast<size_t>(
                            av_image_get_buffer_size(format, frame->width, frame->height, 1)));
                        av_image_copy_to_buffer(packed->data(), Size(*packed), frame->data, frame->linesize,
                                                format, frame->width, frame->height, 1);
                    }
                    ++nPictures, av_frame_unref(frame);
                }
            }
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&context);
        return nPictures;
    };
}

// 49 receivers at CIF, 15 pictures a second, for a minute: 49 kind-4 decoders made by name and
// fed in real time by one thread, each writing into its own picture; the process's CPU time over
// the wall time, in cores.
void DecodeGrid()
{
    constexpr int kStreams = 49, kSeconds = 60;
    const char szWhat[] = "49 CIF streams at 15 fps, kind 4";
    if (!g_only.empty() && std::string(szWhat).find(g_only) == std::string::npos) return;
    RtpLoop loop(ReadCapture("cif.h264.rtp"));
    std::vector<std::unique_ptr<CLMObjectPtr<ILMVideoDecoder>>> decoders;
    std::vector<Bytes> pictures(kStreams, Bytes(PatternBytes(kCifW, kCifH)));
    for (int s = 0; s < kStreams; ++s)
    {
        decoders.push_back(
            std::make_unique<CLMObjectPtr<ILMVideoDecoder>>(1, kLibrary01, L"GetH264RtpDecoder"));
        if (!*decoders.back())
        {
            fprintf(stderr, "bench_codecs_wine: %ls has no GetH264RtpDecoder\n", kLibrary01);
            exit(1);
        }
    }
    S_DECODEDFRAME frame{};
    const GridLoad load = FeedGrid(
        loop, kStreams, kFps, kSeconds,
        [&](int s, const uint8_t* p, int32_t nBytes)
        {
            Bytes& picture = pictures[static_cast<size_t>(s)];
            return (*decoders[static_cast<size_t>(s)])
                       ->Decode(p, nBytes, 0, picture.data(), Size(picture), &frame) != 0;
        },
        []
        {
            FILETIME c, e, k, u;
            GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u);
            return Seconds(k) + Seconds(u);
        });
    printf("%-34s %.3f cores (process CPU / wall over %.1f s), %lld pictures of %lld packets, %lld late "
           "ticks\n",
           szWhat, load.dCores, load.dWallSeconds, static_cast<long long>(load.nPictures),
           static_cast<long long>(load.nPackets), static_cast<long long>(load.nLateTicks));
    fflush(stdout);
}

// ---- encoding ------------------------------------------------------------------------------

std::shared_ptr<std::vector<Bytes>> CifPictures()
{
    auto pictures = std::make_shared<std::vector<Bytes>>(30, Bytes(PatternBytes(kCifW, kCifH)));
    for (uint32_t n = 0; n < pictures->size(); ++n)
        MakeStampedPattern(n, kCifW, kCifH, (*pictures)[n].data());
    return pictures;
}

// Our encoder (made by name, Init as the send engine calls it) over N planar CIF pictures.
Work OursEncode(const wchar_t* szLibrary, const wchar_t* szFactory, const wchar_t* szOptions)
{
    auto encoder = std::make_shared<CLMObjectPtr<ILMVideoEncoder>>(1, szLibrary, szFactory);
    if (!*encoder || !(*encoder)->SetOptions(szOptions) ||
        !(*encoder)->Init(kFps, kBitRate, kUnit, kCifW, kCifH))
    {
        fprintf(stderr, "bench_codecs_wine: %ls %ls did not start\n", szLibrary, szFactory);
        exit(1);
    }
    auto pictures = CifPictures();
    auto output = std::make_shared<Bytes>(512 * 1024);
    auto result = std::make_shared<S_ENCODEROUTPUT>();
    auto next = std::make_shared<size_t>(0);
    return [=](int nUnits) -> int64_t
    {
        for (int i = 0; i < nUnits; ++i)
        {
            const Bytes& p = (*pictures)[(*next)++ % pictures->size()];
            (*encoder)->Encode(p.data(), Size(p), {kCifW, kCifH, LM_FMT_YUV420, 0}, Size(*output),
                               output->data(), result.get());
        }
        return nUnits;
    };
}

// openh264 alone with the parameters our kind-2 encoder gives it at "speed=1;".
Work BareOpenh264()
{
    ISVCEncoder* pEncoder = nullptr;
    WelsCreateSVCEncoder(&pEncoder);
    SEncParamExt param{};
    pEncoder->GetDefaultParams(&param);
    param.iUsageType = CAMERA_VIDEO_REAL_TIME;
    param.iPicWidth = kCifW;
    param.iPicHeight = kCifH;
    param.fMaxFrameRate = kFps;
    param.iTargetBitrate = kBitRate;
    param.iMaxBitrate = UNSPECIFIED_BIT_RATE;
    param.iRCMode = RC_BITRATE_MODE;
    param.bEnableFrameSkip = false;
    param.uiIntraPeriod = kFps * 10;
    param.iMultipleThreadIdc = 1;
    param.iEntropyCodingModeFlag = 0;
    param.iComplexityMode = LOW_COMPLEXITY;
    param.iSpatialLayerNum = 1;
    param.iTemporalLayerNum = 1;
    SSpatialLayerConfig& layer = param.sSpatialLayers[0];
    layer.iVideoWidth = kCifW;
    layer.iVideoHeight = kCifH;
    layer.fFrameRate = kFps;
    layer.iSpatialBitrate = kBitRate;
    layer.iMaxSpatialBitrate = UNSPECIFIED_BIT_RATE;
    layer.uiProfileIdc = PRO_BASELINE;
    layer.sSliceArgument.uiSliceMode = SM_SINGLE_SLICE;
    pEncoder->InitializeExt(&param);
    int format = videoFormatI420;
    pEncoder->SetOption(ENCODER_OPTION_DATAFORMAT, &format);
    auto pictures = CifPictures();
    auto next = std::make_shared<uint32_t>(0);
    return [=](int nUnits) -> int64_t
    {
        for (int i = 0; i < nUnits; ++i)
        {
            const uint32_t n = (*next)++;
            Bytes& p = (*pictures)[n % pictures->size()];
            SSourcePicture source{};
            source.iColorFormat = videoFormatI420;
            source.iPicWidth = kCifW;
            source.iPicHeight = kCifH;
            source.iStride[0] = kCifW;
            source.iStride[1] = source.iStride[2] = kCifW / 2;
            source.pData[0] = p.data();
            source.pData[1] = p.data() + kCifW * kCifH;
            source.pData[2] = p.data() + kCifW * kCifH * 5 / 4;
            source.uiTimeStamp = static_cast<long long>(n) * 1000 / kFps;
            SFrameBSInfo info{};
            pEncoder->EncodeFrame(&source, &info);
        }
        return nUnits;
    };
}

// libavcodec's h263 alone with our kind-1 encoder's settings; each picture copied into the
// encoder's frame, as a caller with packed pictures must.
Work BareH263Encode()
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_H263);
    AVCodecContext* context = avcodec_alloc_context3(codec);
    context->width = kCifW;
    context->height = kCifH;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = AVRational{1, kFps};
    context->framerate = AVRational{kFps, 1};
    context->bit_rate = kBitRate;
    context->gop_size = kFps * 10;
    context->max_b_frames = 0;
    context->thread_count = 1;
    context->qmin = 4;
    av_opt_set_int(context->priv_data, "mb_info", kUnit - 12 - 8 - 2, 0);
    if (avcodec_open2(context, codec, nullptr) < 0)
    {
        fprintf(stderr, "bench_codecs_wine: the bare h263 encoder did not open\n");
        exit(1);
    }
    AVFrame* frame = av_frame_alloc();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = kCifW;
    frame->height = kCifH;
    av_frame_get_buffer(frame, 0);
    AVPacket* packet = av_packet_alloc();
    auto pictures = CifPictures();
    auto next = std::make_shared<int64_t>(0);
    return [=](int nUnits) -> int64_t
    {
        for (int i = 0; i < nUnits; ++i)
        {
            const int64_t n = (*next)++;
            av_frame_make_writable(frame);
            const uint8_t* plane = (*pictures)[static_cast<size_t>(n) % pictures->size()].data();
            for (int k = 0; k < 3; ++k)
            {
                const int pw = k ? kCifW / 2 : kCifW, ph = k ? kCifH / 2 : kCifH;
                for (int row = 0; row < ph; ++row)
                    std::copy(plane + row * pw, plane + (row + 1) * pw,
                              frame->data[k] + row * frame->linesize[k]);
                plane += pw * ph;
            }
            frame->pts = n;
            avcodec_send_frame(context, frame);
            while (avcodec_receive_packet(context, packet) >= 0)
                av_packet_unref(packet);
        }
        return nUnits;
    };
}

// ---- conversion ----------------------------------------------------------------------------

Work OursConvert(int w, int h, bool bFlipped)
{
    auto converter =
        std::make_shared<CLMObjectPtr<IIppColorSpaceConverter>>(1, kLibrary01, L"GetColorSpaceConverter");
    if (!*converter)
    {
        fprintf(stderr, "bench_codecs_wine: %ls has no converter\n", kLibrary01);
        exit(1);
    }
    auto source = std::make_shared<Bytes>(PatternBytes(w, h));
    auto target = std::make_shared<Bytes>(static_cast<size_t>(w) * h * 4);
    MakeStampedPattern(1, w, h, source->data());
    return [=](int nUnits) -> int64_t
    {
        for (int i = 0; i < nUnits; ++i)
            (*converter)
                ->Convert(source->data(), Size(*source), {w, h, LM_FMT_YUV420, 0}, target->data(),
                          Size(*target), {w, bFlipped ? -h : h, LM_FMT_RGB32, 0});
        return nUnits;
    };
}

// sws_scale with the converter's flags, its context made once; bottom-up by a negative stride.
Work BareConvert(int w, int h, bool bFlipped)
{
    auto source = std::make_shared<Bytes>(PatternBytes(w, h));
    auto target = std::make_shared<Bytes>(static_cast<size_t>(w) * h * 4);
    MakeStampedPattern(1, w, h, source->data());
    SwsContext* context = sws_getContext(w, h, AV_PIX_FMT_YUV420P, w, h, AV_PIX_FMT_BGRA, SWS_BICUBIC,
                                         nullptr, nullptr, nullptr);
    return [=](int nUnits) -> int64_t
    {
        const uint8_t* planes[3] = {source->data(), source->data() + w * h, source->data() + w * h * 5 / 4};
        const int strides[3] = {w, w / 2, w / 2};
        uint8_t* out[1] = {target->data()};
        int outStride[1] = {w * 4};
        if (bFlipped) out[0] += static_cast<size_t>(h - 1) * w * 4, outStride[0] = -w * 4;
        for (int i = 0; i < nUnits; ++i)
            sws_scale(context, planes, strides, 0, h, out, outStride);
        return nUnits;
    };
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        fprintf(stderr, "usage: bench_codecs_wine FIXTURES [REPETITIONS] [SECONDS] [ONLY]\n");
        return 2;
    }
    g_fixtures = argv[1];
    const int nReps = argc > 2 ? std::max(1, atoi(argv[2])) : 15;
    const double dSeconds = argc > 3 ? std::max(0.05, atof(argv[3])) : 0.5;
    if (argc > 4) g_only = argv[4];
    printf("%d repetitions of about %.1f s each; per picture, ours then bare; x = ours / bare "
           "(median of pairs, range)\n",
           nReps, dSeconds);
    Compare("H.264 decode CIF kind 4 (RTP)", OursDecode(L"GetH264RtpDecoder", "cif.h264.rtp", 352, 288),
            BareDecode(AV_CODEC_ID_H264, "cif.h264"), nReps, dSeconds);
    Compare("H.264 decode 720p kind 4 (RTP)", OursDecode(L"GetH264RtpDecoder", "720p.h264.rtp", 1280, 720),
            BareDecode(AV_CODEC_ID_H264, "720p.h264"), nReps, dSeconds);
    Compare("H.263 decode CIF kind 3 (RTP)", OursDecode(L"GetH263RtpDecoder", "cif.h263.rtp", 352, 288),
            BareDecode(AV_CODEC_ID_H263, "cif.h263"), nReps, dSeconds);
    // The same decodes beside bare libavcodec that also copies each picture out: what the
    // decoders' interface (a packed picture in the caller's buffer) costs by itself.
    Compare("H.264 decode CIF beside bare+copy", OursDecode(L"GetH264RtpDecoder", "cif.h264.rtp", 352, 288),
            BareDecode(AV_CODEC_ID_H264, "cif.h264", true), nReps, dSeconds);
    Compare("H.264 decode 720p beside bare+copy",
            OursDecode(L"GetH264RtpDecoder", "720p.h264.rtp", 1280, 720),
            BareDecode(AV_CODEC_ID_H264, "720p.h264", true), nReps, dSeconds);
    Compare("H.263 decode CIF beside bare+copy", OursDecode(L"GetH263RtpDecoder", "cif.h263.rtp", 352, 288),
            BareDecode(AV_CODEC_ID_H263, "cif.h263", true), nReps, dSeconds);
    // And that copy alone: bare libavcodec with the copy beside without it.
    Compare("copy out: H.264 CIF bare+copy/bare", BareDecode(AV_CODEC_ID_H264, "cif.h264", true),
            BareDecode(AV_CODEC_ID_H264, "cif.h264"), nReps, dSeconds);
    Compare("copy out: H.264 720p bare+copy/bare", BareDecode(AV_CODEC_ID_H264, "720p.h264", true),
            BareDecode(AV_CODEC_ID_H264, "720p.h264"), nReps, dSeconds);
    Compare("copy out: H.263 CIF bare+copy/bare", BareDecode(AV_CODEC_ID_H263, "cif.h263", true),
            BareDecode(AV_CODEC_ID_H263, "cif.h263"), nReps, dSeconds);
    Compare("H.264 encode CIF kind 2 speed=1", OursEncode(kLibrary04, L"GetH264RtpEncoder", L"speed=1;"),
            BareOpenh264(), nReps, dSeconds);
    Compare("H.263 encode CIF kind 1", OursEncode(kLibrary01, L"GetH263RtpEncoder", L""), BareH263Encode(),
            nReps, dSeconds);
    for (const auto& [w, h] : {std::pair{352, 288}, std::pair{1280, 720}})
        for (bool bFlipped : {false, true})
        {
            char szWhat[64];
            snprintf(szWhat, sizeof szWhat, "I420 -> 32RGB32 %dx%d %s", w, h,
                     bFlipped ? "bottom-up" : "upright");
            Compare(szWhat, OursConvert(w, h, bFlipped), BareConvert(w, h, bFlipped), nReps, dSeconds);
        }
    DecodeGrid();
    return 0;
}
