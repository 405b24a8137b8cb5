// The send control under Wine, hosted by ProgID, capturing the test camera for a number of seconds
// while its host's RecordData sink encodes each picture as a sending program will; then, in the
// same process, the same encoder DLL fed the camera's pictures in a loop, and the bare encoder
// library under it with the same settings on the same pictures.
//   bench_send_video SUBTYPE WIDTHxHEIGHT FPS h264|h263 BITRATE SECONDS
// SUBTYPE is the camera's format (I420 or YUY2). The test camera and LMVideoU.ocx must be
// registered in the prefix (bench/send-video.sh does it). The capture runs at FPS; the control is
// asked for every picture, so a picture missing from the camera's numbered sequence was dropped
// on the way (pool or frame list). One line of figures per part.
#include "bench/lmvideo_send/BareEncoder.h"
#include "comkit/ControlHost.h"
#include "comkit/DispatchTable.h"
#include "comkit/EventSink.h"
#include "confclient/library/LMObjectPtr.h"
#include "confclient/library/LMPixelFormat.h"
#include "confclient/library/LMVideoCodecs.h"
#include "lmvideo/fixtures/StampedPattern.h"
#include "lmvideo/module/LMVideoGuids.h"
#include "tests/lmvideo_send/CameraFrames.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

enum : DISPID
{
    ID_INIT = 1,
    ID_GET_LAST_ERROR_MESSAGE = 10,
    ID_SET_PAUSE = 26,
    ID_SET_FRAMERATE = 27,
    ID_SET_FRAMERATE_LIMIT = 30,
};
constexpr DISPID EV_RECORD_DATA = 1;
constexpr long kTrue = -1;
constexpr long kCompositeInput = 2;
constexpr short kEveryPicture = 60; // the control's send rate at which every picture passes
constexpr int kMaxUnit = 1350;
constexpr double kWarmUpSeconds = 1.0;

struct SConfig
{
    std::wstring subtype;
    int nWidth = 0, nHeight = 0, nFps = 0, nBitRate = 0;
    bool bH264 = true;
    double dSeconds = 0;
};

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

double CounterSeconds(int64_t nCounter)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(nCounter) / static_cast<double>(f.QuadPart);
}

// User and kernel time of the process so far, in seconds.
double Seconds(const FILETIME& t)
{
    return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
}

double ProcessSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

// User and kernel time of a thread so far; 0 for none.
double ThreadSeconds(HANDLE hThread)
{
    FILETIME created, exited, kernel, user;
    if (!hThread || !GetThreadTimes(hThread, &created, &exited, &kernel, &user)) return 0;
    return Seconds(kernel) + Seconds(user);
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

// A host's message loop for a while: it sleeps until a message comes or the time is up, as a
// polling loop would count its own wake-ups in the process's time.
void PumpFor(double dSeconds)
{
    const double tEnd = Now() + dSeconds;
    for (double tNow = Now(); tNow < tEnd; tNow = Now())
    {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>((tEnd - tNow) * 1000) + 1,
                                  QS_ALLINPUT);
        Pump();
    }
}

long Call(IDispatch* pDisp, DISPID dispid, std::initializer_list<CVar> args = {})
{
    std::vector<VARIANT> raw;
    for (const CVar& v : args)
        raw.push_back(v.Get());
    CVar result;
    DispInvoke(pDisp, dispid, DISPATCH_METHOD, result.Ptr(), raw.data(), static_cast<UINT>(raw.size()));
    long n = 0;
    result.ToLong(n);
    return n;
}

const wchar_t* LibraryOf(bool bH264)
{
    return bH264 ? L"LMLibrary04U.dll" : L"LMLibrary01U.dll";
}

const wchar_t* FactoryOf(bool bH264)
{
    return bH264 ? L"GetH264RtpEncoder" : L"GetH263RtpEncoder";
}

const wchar_t* FormatOf(const std::wstring& subtype)
{
    return subtype == L"YUY2" ? LM_FMT_YUY2 : LM_FMT_YUV420;
}

// The kind-2 or kind-1 encoder as a sending program makes it; exits when it does not start.
std::unique_ptr<CLMObjectPtr<ILMVideoEncoder>> MakeEncoder(const SConfig& c)
{
    auto encoder = std::make_unique<CLMObjectPtr<ILMVideoEncoder>>(1, LibraryOf(c.bH264), FactoryOf(c.bH264));
    if (!*encoder || !(*encoder)->SetOptions(c.bH264 ? L"speed=1;" : L"") ||
        !(*encoder)->Init(c.nFps, c.nBitRate, kMaxUnit, c.nWidth, c.nHeight))
    {
        fprintf(stderr, "bench_send_video: the encoder did not start\n");
        exit(1);
    }
    return encoder;
}

double Percentile(std::vector<double> values, double dShare)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1,
                           static_cast<size_t>(dShare * static_cast<double>(values.size())))];
}

using DeliveredAtFn = int64_t (*)(uint32_t);
using FillTicksFn = int64_t (*)();

// One of the test camera's exports; null without the camera.
template <class Fn> Fn CameraFunction(HMODULE hCamera, const char* szName)
{
    return hCamera ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(hCamera, szName))) : nullptr;
}

// The host's sink: each picture's delay since the camera delivered it, its place in the camera's
// numbered sequence, then the encoder.
class CEncodingSink
{
public:
    explicit CEncodingSink(const SConfig& c) : m_config(c), m_encoder(MakeEncoder(c)), m_output(4 << 20)
    {
        m_hFired = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        m_stampLuma.assign(static_cast<size_t>(c.nWidth) * 2 * kStampBlock, 0);
        m_sink.Attach(new CEventSink(DIID_DLMVideo_SendEvents));
        m_sink->On(EV_RECORD_DATA, [this](const EventArgs& args) { OnRecordData(args); });
    }
    ~CEncodingSink()
    {
        if (m_hSender) CloseHandle(m_hSender);
        CloseHandle(m_hFired);
    }
    CEventSink* Get() { return m_sink.Get(); }
    // The thread the events came on, once one came.
    HANDLE Sender() { return WaitForSingleObject(m_hFired, 0) == WAIT_OBJECT_0 ? m_hSender : nullptr; }
    void SetDeliveredAt(DeliveredAtFn pFn) { m_pDeliveredAt = pFn; }
    // Starts counting: what came before is warm-up.
    void StartCounting()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bCounting = true;
        m_nLast = -1;
    }
    void StopCounting()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bCounting = false;
    }
    long Counted()
    {
        return Locked([&] { return m_nCounted; });
    }
    long Dropped()
    {
        return Locked([&] { return m_nDropped; });
    }
    long Unreadable()
    {
        return Locked([&] { return m_nUnreadable; });
    }
    long Failed()
    {
        return Locked([&] { return m_nFailed; });
    }
    int64_t CodedBytes()
    {
        return Locked([&] { return m_nBytes; });
    }
    double EncodeSeconds()
    {
        return Locked([&] { return m_dEncodeSeconds; });
    }
    std::vector<double> Latencies()
    {
        return Locked([&] { return m_latencies; });
    }

private:
    template <class F> auto Locked(F f) -> decltype(f())
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return f();
    }
    void OnRecordData(const EventArgs& args)
    {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (!m_hSender)
        {
            DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &m_hSender,
                            THREAD_QUERY_INFORMATION, FALSE, 0);
            SetEvent(m_hFired);
        }
        const auto* pData = reinterpret_cast<const uint8_t*>(args.IntPtr(0));
        const long nBytes = args.I4(1);
        const std::wstring format = args.Str(2);
        const long nWidth = args.I4(3), nHeight = args.I4(4);
        const int32_t nStamp = ReadStamp(pData, nBytes, format, nWidth);
        double dLatency = -1;
        if (nStamp >= 0 && m_pDeliveredAt)
            if (const int64_t nAt = m_pDeliveredAt(static_cast<uint32_t>(nStamp)))
                dLatency = CounterSeconds(now.QuadPart - nAt);
        S_ENCODEROUTPUT result{};
        const double tEncode = Now();
        const bool bEncoded =
            (*m_encoder)
                ->Encode(pData, nBytes, {nWidth, nHeight, FormatOf(m_config.subtype), 0},
                         static_cast<int32_t>(m_output.size()), m_output.data(), &result) != 0;
        const double dEncode = Now() - tEncode;
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_bCounting) return;
        ++m_nCounted;
        m_dEncodeSeconds += dEncode;
        if (!bEncoded) ++m_nFailed;
        for (uint32_t i = 0; i < result.nCount && i < LM_MAX_ENCODED_UNITS; ++i)
            m_nBytes += result.nSizes[i];
        if (nStamp < 0)
        {
            ++m_nUnreadable;
            return;
        }
        if (m_nLast >= 0) m_nDropped += (nStamp - m_nLast - 1 + kCameraFrames) % kCameraFrames;
        m_nLast = nStamp;
        if (dLatency >= 0) m_latencies.push_back(dLatency);
    }
    // The camera's number on the picture: the luma of the stamp's row is all it takes.
    int32_t ReadStamp(const uint8_t* pData, long nBytes, const std::wstring& format, long nWidth)
    {
        const size_t nRow = static_cast<size_t>(kStampBlock / 2);
        const bool bPacked = format == LM_FMT_YUY2;
        const size_t nStep = bPacked ? 2 : 1;
        if (static_cast<size_t>(nWidth) != m_stampLuma.size() / (2 * kStampBlock) ||
            static_cast<size_t>(nBytes) < (nRow + 1) * nWidth * nStep)
            return -1;
        for (long x = 0; x < nWidth; ++x)
            m_stampLuma[nRow * nWidth + x] = pData[(nRow * nWidth + x) * nStep];
        return ReadCameraStamp(m_stampLuma.data(), nWidth, 2 * kStampBlock);
    }

    SConfig m_config;
    std::unique_ptr<CLMObjectPtr<ILMVideoEncoder>> m_encoder;
    Bytes m_output, m_stampLuma;
    ComPtr<CEventSink> m_sink;
    DeliveredAtFn m_pDeliveredAt = nullptr;
    HANDLE m_hSender = nullptr, m_hFired = nullptr; // written once, before the event is set
    std::mutex m_lock;
    bool m_bCounting = false;
    int32_t m_nLast = -1;
    long m_nCounted = 0, m_nDropped = 0, m_nUnreadable = 0, m_nFailed = 0;
    int64_t m_nBytes = 0;
    double m_dEncodeSeconds = 0; // wall time inside the encoder's calls
    std::vector<double> m_latencies;
};

// The capture and the host's encoding for the configured time.
bool RunSendControl(const SConfig& c, double& dCpuPerPicture)
{
    const std::wstring setting =
        c.subtype + L";" + std::to_wstring(c.nWidth) + L"x" + std::to_wstring(c.nHeight);
    SetEnvironmentVariableW(L"QUILLON_TEST_CAMERA", setting.c_str());
    HWND hWndHost = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"host", WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                                    c.nWidth, c.nHeight, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(hWndHost, SW_SHOWNOACTIVATE);
    CEncodingSink sink(c);
    CControlHost host;
    if (host.Create(kSendProgId, hWndHost, RECT{0, 0, c.nWidth, c.nHeight}) != S_OK ||
        host.Advise(sink.Get()) != S_OK)
    {
        fprintf(stderr, "bench_send_video: the send control was not made\n");
        return false;
    }
    IDispatch* pDisp = host.Dispatch();
    Call(pDisp, ID_SET_FRAMERATE_LIMIT, {CVar(static_cast<short>(c.nFps))});
    if (Call(pDisp, ID_INIT,
             {CVar(short{0}), CVar(static_cast<short>(c.nWidth)), CVar(static_cast<short>(c.nHeight)),
              CVar(kCompositeInput), CVar(false), CVar(short{0})}) != kTrue)
    {
        CVar result;
        DispInvoke(pDisp, ID_GET_LAST_ERROR_MESSAGE, DISPATCH_METHOD, result.Ptr(), nullptr, 0);
        std::wstring text;
        result.ToString(text);
        fprintf(stderr, "bench_send_video: Init failed: %ls\n", text.c_str());
        return false;
    }
    HMODULE hCamera = GetModuleHandleW(L"QuillonTestCamera.dll");
    sink.SetDeliveredAt(CameraFunction<DeliveredAtFn>(hCamera, "QuillonTestCameraDeliveredAt"));
    const auto pFillTicks = CameraFunction<FillTicksFn>(hCamera, "QuillonTestCameraFillTicks");
    auto FillTicks = [pFillTicks] { return pFillTicks ? pFillTicks() : 0; };
    Call(pDisp, ID_SET_FRAMERATE, {CVar(kEveryPicture)});
    Call(pDisp, ID_SET_PAUSE, {CVar(short{0})});
    PumpFor(kWarmUpSeconds);
    sink.StartCounting();
    const double t0 = Now(), cpu0 = ProcessSeconds(), sender0 = ThreadSeconds(sink.Sender());
    const int64_t nFill0 = FillTicks();
    PumpFor(c.dSeconds);
    sink.StopCounting();
    const double dWall = Now() - t0, dCpu = ProcessSeconds() - cpu0,
                 dSender = ThreadSeconds(sink.Sender()) - sender0,
                 dFill = CounterSeconds(FillTicks() - nFill0);
    host.Destroy();
    DestroyWindow(hWndHost);

    const long nPictures = sink.Counted();
    const std::vector<double> latencies = sink.Latencies();
    dCpuPerPicture = nPictures ? dCpu / nPictures : 0;
    printf("send control + host encoder: %.1f s, %ld pictures (%.2f/s), dropped %ld, unreadable %ld, "
           "encode failures %ld, %.0f kbit/s coded\n",
           dWall, nPictures, nPictures / dWall, sink.Dropped(), sink.Unreadable(), sink.Failed(),
           static_cast<double>(sink.CodedBytes()) * 8 / dWall / 1000);
    printf("  process CPU %.2f s over %.2f s wall: %.3f cores, %.3f ms per picture\n", dCpu, dWall,
           dCpu / dWall, dCpuPerPicture * 1000);
    if (nPictures)
        printf(
            "  of it the sender thread (event, stamp read, encoding) %.2f s, %.3f ms per picture; the rest "
            "(camera, Wine's capture graph, conversion, preview, pool, window) %.3f ms per picture\n",
            dSender, dSender * 1000 / nPictures, (dCpu - dSender) * 1000 / nPictures);
    if (nPictures)
        printf("  of the rest, the test camera filling its samples %.3f ms wall per picture; the send path's "
               "own rest %.3f ms per picture\n",
               dFill * 1000 / nPictures, (dCpu - dSender - dFill) * 1000 / nPictures);
    if (nPictures)
        printf("  the encoder's calls in the sink: %.3f ms wall per picture\n",
               sink.EncodeSeconds() * 1000 / nPictures);
    printf("  camera delivery to RecordData: p50 %.3f ms, p99 %.3f ms, max %.3f ms (%zu pictures)\n",
           Percentile(latencies, 0.50) * 1000, Percentile(latencies, 0.99) * 1000,
           latencies.empty() ? 0.0 : *std::max_element(latencies.begin(), latencies.end()) * 1000,
           latencies.size());
    return !latencies.empty();
}

// The camera's pictures, in its own format and as planar 4:2:0.
std::vector<Bytes> CameraPictures(const SConfig& c, bool bPlanar)
{
    std::vector<Bytes> pictures(kCameraFrames);
    for (uint32_t n = 0; n < pictures.size(); ++n)
    {
        const bool bMade = bPlanar || c.subtype != L"YUY2"
                               ? MakeCameraPlanar(n, c.nWidth, c.nHeight, pictures[n])
                               : MakeCameraFrame(ECameraFormat::YUY2, n, c.nWidth, c.nHeight, pictures[n]);
        if (!bMade)
        {
            fprintf(stderr, "bench_send_video: the camera has no %dx%d\n", c.nWidth, c.nHeight);
            exit(1);
        }
    }
    return pictures;
}

// Times a loop of nPictures calls by the process's CPU time; per picture.
template <class F> double CpuPerPicture(long nPictures, F encode)
{
    const double cpu0 = ProcessSeconds();
    for (long n = 0; n < nPictures; ++n)
        encode(n);
    return (ProcessSeconds() - cpu0) / nPictures;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 7)
    {
        fprintf(stderr, "usage: bench_send_video I420|YUY2 WIDTHxHEIGHT FPS h264|h263 BITRATE SECONDS\n");
        return 2;
    }
    SConfig c;
    c.subtype = std::wstring(argv[1], argv[1] + strlen(argv[1]));
    sscanf(argv[2], "%dx%d", &c.nWidth, &c.nHeight);
    c.nFps = atoi(argv[3]);
    c.bH264 = strcmp(argv[4], "h263") != 0;
    c.nBitRate = atoi(argv[5]);
    c.dSeconds = atof(argv[6]);
    if (c.nWidth <= 0 || c.nHeight <= 0 || c.nFps <= 0 || c.nBitRate <= 0 || c.dSeconds <= 0) return 2;
    printf("== %s %dx%d %d fps, %s %d bit/s, %.0f s\n", argv[1], c.nWidth, c.nHeight, c.nFps, argv[4],
           c.nBitRate, c.dSeconds);
    fflush(stdout);

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    double dSendPerPicture = 0;
    const bool bSent = RunSendControl(c, dSendPerPicture);
    CoUninitialize();
    fflush(stdout);

    // The same number of pictures through the encoder DLL alone, then the bare library.
    const long nPictures = std::max(1L, static_cast<long>(c.dSeconds * c.nFps));
    {
        auto encoder = MakeEncoder(c);
        const std::vector<Bytes> pictures = CameraPictures(c, false);
        Bytes output(4 << 20);
        const double dPerPicture =
            CpuPerPicture(nPictures,
                          [&](long n)
                          {
                              const Bytes& p = pictures[n % pictures.size()];
                              S_ENCODEROUTPUT result{};
                              (*encoder)->Encode(p.data(), static_cast<int32_t>(p.size()),
                                                 {c.nWidth, c.nHeight, FormatOf(c.subtype), 0},
                                                 static_cast<int32_t>(output.size()), output.data(), &result);
                          });
        printf("encoder DLL alone, %ls in: %.3f ms CPU per picture (%ld pictures), %.3f cores at %d fps\n",
               c.subtype.c_str(), dPerPicture * 1000, nPictures, dPerPicture * c.nFps, c.nFps);
    }
    CBareEncoder bare({c.bH264, c.nWidth, c.nHeight, c.nFps, c.nBitRate});
    if (!bare.IsOpen())
    {
        fprintf(stderr, "bench_send_video: the bare encoder did not open\n");
        return 1;
    }
    const std::vector<Bytes> planar = CameraPictures(c, true);
    const double dBare =
        CpuPerPicture(nPictures, [&](long n) { bare.Encode(planar[n % planar.size()].data()); });
    printf("bare library under Wine, I420 in: %.3f ms CPU per picture, %.3f cores at %d fps\n", dBare * 1000,
           dBare * c.nFps, c.nFps);
    if (dBare > 0 && dSendPerPicture > 0)
        printf("send path / bare under Wine, per picture: %.2fx\n", dSendPerPicture / dBare);
    return bSent ? 0 : 1;
}
