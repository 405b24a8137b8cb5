// The codec libraries as the program uses them (LMLibrary01U.dll and LMLibrary04U.dll loaded by
// name, objects made by their factories) beside the bare cross-built libraries they wrap, in one
// run on the same pictures and streams: H.264 and H.263 decoding from RTP, H.264 and H.263
// encoding into RTP units, conversion to 32-bit RGB upright and bottom-up.
//   bench_codecs_wine FIXTURES [REPETITIONS] [SECONDS] [ONLY]
// FIXTURES is the folder scripts/make-fixtures.sh filled. Each of REPETITIONS (default 15) times a
// block of about SECONDS (default 0.5) of ours and one of bare, in alternating order, by the
// thread's CPU time and by the wall clock; the lines give medians per picture and the median of
// the paired ratios. Many short pairs stand a shared machine's load better than a few long ones;
// thread times under Wine move in 10-ms steps, so the wall-clock ratio is the finer one. With
// ONLY, just the lines whose name holds it.
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

double ThreadCpu()
{
    FILETIME c, e, k, u;
    GetThreadTimes(GetCurrentThread(), &c, &e, &k, &u);
    auto seconds = [](const FILETIME& ft) {
        return static_cast<double>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) /
               1e7;
    };
    return seconds(k) + seconds(u);
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

// A capture file: each packet as a 16-bit big-endian length and its bytes.
std::vector<Bytes> ReadCapture(const char* szName)
{
    const Bytes all = ReadFixture(szName);
    std::vector<Bytes> packets;
    for (size_t at = 0; at + 2 <= all.size();)
    {
        const size_t n = static_cast<size_t>(all[at] << 8 | all[at + 1]);
        if (n < 12 || at + 2 + n > all.size()) break; // not an RTP packet, or cut short
        packets.emplace_back(all.begin() + at + 2, all.begin() + at + 2 + n);
        at += 2 + n;
    }
    if (packets.empty())
    {
        fprintf(stderr, "bench_codecs_wine: %s holds no RTP packets\n", szName);
        exit(1);
    }
    return packets;
}

uint32_t Timestamp(const Bytes& p)
{
    return static_cast<uint32_t>(p[4]) << 24 | p[5] << 16 | p[6] << 8 | p[7];
}

// The captured packets over and over as one stream: each pass continues the sequence numbers
// and the time stamps where the last one ended, as a sender would go on.
class RtpLoop
{
public:
    explicit RtpLoop(std::vector<Bytes> packets) : m_packets(std::move(packets))
    {
        uint32_t step = 0;
        for (size_t i = 1; i < m_packets.size(); ++i)
        {
            const uint32_t d = Timestamp(m_packets[i]) - Timestamp(m_packets[i - 1]);
            if (d && (!step || d < step)) step = d;
        }
        m_nSpan = Timestamp(m_packets.back()) - Timestamp(m_packets.front()) + step;
        size_t nLargest = 0;
        for (const Bytes& p : m_packets)
            nLargest = std::max(nLargest, p.size());
        m_packet.resize(nLargest);
    }
    // Calls f(packet, bytes) for every packet of pass nPass.
    template <class F> void Pass(uint32_t nPass, F&& f)
    {
        uint8_t* packet = m_packet.data();
        const uint16_t nSeqAdd = static_cast<uint16_t>(nPass * m_packets.size());
        const uint32_t nTsAdd = nPass * m_nSpan;
        for (const Bytes& p : m_packets)
        {
            std::copy(p.begin(), p.end(), packet);
            const uint16_t seq = static_cast<uint16_t>((p[2] << 8 | p[3]) + nSeqAdd);
            const uint32_t ts = Timestamp(p) + nTsAdd;
            packet[2] = static_cast<uint8_t>(seq >> 8), packet[3] = static_cast<uint8_t>(seq);
            for (int i = 0; i < 4; ++i)
                packet[4 + i] = static_cast<uint8_t>(ts >> (24 - 8 * i));
            f(packet, static_cast<int32_t>(p.size()));
        }
    }

private:
    std::vector<Bytes> m_packets;
    Bytes m_packet; // the packet being handed over, with its new numbers
    uint32_t m_nSpan = 0;
};

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
    return 0;
}
