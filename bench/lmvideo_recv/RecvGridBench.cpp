// 49 receive controls in a 7 x 7 grid of one window, fed from one thread as the program's network
// thread will: 49 CIF H.264 RTP streams at 15 fps, each started at another key picture. Prints
// the process's CPU over wall time, the feeding thread's cost (decoding) and the window thread's
// (converting and drawing) per stream and picture, the pictures the in-flight rule dropped, and
// the first-picture latency of key pictures beside the time of the call that decoded them.
//   bench_recv_grid [SECONDS] [spread]
// With "spread" the streams' pictures are handed over one after another across the frame time,
// as packets arrive from the network; without it, all 49 in one burst at the start of each.
#include "comkit/ControlHost.h"
#include "comkit/DispatchTable.h"
#include "lmvideo/module/LMVideoGuids.h"
#include "lmvideo/recv/RecvVideo.h"
#include "lmvideo/rtp/AnnexB.h"
#include "lmvideo/rtp/H264Packetizer.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;
constexpr int kCx = 352, kCy = 288, kColumns = 7, kStreams = 49, kFps = 15, kGop = 30;
constexpr DISPID ID_ON_RECV_DATA = 2, ID_INIT = 7, ID_LOAD_CODEC = 11, ID_GET_LOADER = 13;

std::wstring Folder()
{
    wchar_t szPath[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring path(szPath, n);
    return path.substr(0, path.find_last_of(L"\\/"));
}

Bytes ReadFile(const std::wstring& path)
{
    Bytes bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb"))
    {
        uint8_t chunk[65536];
        for (size_t got; (got = fread(chunk, 1, sizeof chunk, file)) > 0;)
            bytes.insert(bytes.end(), chunk, chunk + got);
        fclose(file);
    }
    return bytes;
}

// Each picture of the stream as its RTP packets.
std::vector<std::vector<Bytes>> PacketsPerPicture(const Bytes& stream)
{
    std::vector<Bytes> pictures;
    Bytes picture;
    bool bHasSlice = false;
    for (const NalSpan& nal : SplitAnnexB(stream.data(), stream.size()))
    {
        if (bHasSlice && NalOpensPicture(nal.p, nal.n))
        {
            pictures.push_back(std::move(picture));
            picture.clear();
            bHasSlice = false;
        }
        const uint8_t nType = NalType(nal.p[0]);
        bHasSlice = bHasSlice || (nType >= 1 && nType <= 5);
        AppendAnnexBNal(picture, nal.p, nal.n);
    }
    if (!picture.empty()) pictures.push_back(std::move(picture));
    std::vector<std::vector<Bytes>> result;
    H264Packetizer packetizer(0xB3C4, 1, false);
    Bytes buffer(1 << 20);
    std::vector<uint32_t> sizes(1024);
    for (size_t i = 0; i < pictures.size(); ++i)
    {
        RtpUnitWriter writer(buffer.data(), buffer.size(), sizes.data(), sizes.size());
        packetizer.Packetize(pictures[i].data(), pictures[i].size(), static_cast<uint32_t>(i * 6000), writer);
        std::vector<Bytes> packets;
        const uint8_t* p = buffer.data();
        for (size_t u = 0; u < writer.UnitCount(); p += sizes[u++])
            packets.emplace_back(p, p + sizes[u]);
        result.push_back(std::move(packets));
    }
    return result;
}

long CallLong(IDispatch* pDisp, DISPID dispid, std::initializer_list<CVar> args = {})
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

double Seconds(const FILETIME& ft)
{
    return static_cast<double>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 1e7;
}

double ThreadCpu(HANDLE hThread)
{
    FILETIME c, e, k, u;
    GetThreadTimes(hThread, &c, &e, &k, &u);
    return Seconds(k) + Seconds(u);
}

// The value below which the given share of the samples lie.
double Percentile(std::vector<double> samples, double dShare)
{
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, static_cast<size_t>(dShare * samples.size()))];
}

double Now()
{
    static LARGE_INTEGER frequency = []
    {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER n;
    QueryPerformanceCounter(&n);
    return static_cast<double>(n.QuadPart) / frequency.QuadPart;
}
} // namespace

int main(int argc, char** argv)
{
    const int nSeconds = argc > 1 ? std::max(1, atoi(argv[1])) : 60;
    const bool bSpread = argc > 2 && std::string(argv[2]) == "spread";
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    const std::vector<std::vector<Bytes>> pictures =
        PacketsPerPicture(ReadFile(Folder() + L"\\recv-bench.h264"));
    if (pictures.size() < 2 * kGop)
    {
        fprintf(stderr, "bench_recv_grid: recv-bench.h264 is missing beside the program\n");
        return 1;
    }
    const int nPictures = static_cast<int>(pictures.size());

    RECT frame{0, 0, kColumns * kCx, kColumns * kCy};
    AdjustWindowRect(&frame, WS_POPUP, FALSE);
    HWND hWnd =
        CreateWindowExW(0, L"STATIC", L"grid", WS_POPUP | WS_CLIPCHILDREN, 0, 0, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    std::vector<std::unique_ptr<CControlHost>> hosts;
    std::vector<IDispatch*> controls;
    for (int i = 0; i < kStreams; ++i)
    {
        auto host = std::make_unique<CControlHost>();
        const int x = (i % kColumns) * kCx, y = (i / kColumns) * kCy;
        if (FAILED(host->Create(kRecvProgId, hWnd, RECT{x, y, x + kCx, y + kCy})))
        {
            fprintf(stderr, "bench_recv_grid: %ls is not registered\n", kRecvProgId);
            return 1;
        }
        IDispatch* pDisp = host->Dispatch();
        CallLong(pDisp, ID_INIT, {CVar(short{0})});
        CallLong(pDisp, ID_LOAD_CODEC, {CVar(L"LMLibrary01U.dll"), CVar(short{4}), CVar(L"")});
        controls.push_back(pDisp);
        hosts.push_back(std::move(host));
    }
    CVar loader;
    DispInvoke(controls[0], ID_GET_LOADER, DISPATCH_METHOD, loader.Ptr(), nullptr, 0);
    std::wstring loaderName;
    loader.ToString(loaderName);

    // Each stream starts at another key picture and goes round the recording.
    const int nTicks = nSeconds * kFps;
    std::atomic<bool> bDone{false};
    double dFeedWall = 0;
    int nLateTicks = 0;
    double dFeedCpu = 0;
    // When the call carrying each stream's latest key picture's last packet began, and how long
    // such calls (which decode the picture) took.
    std::vector<std::atomic<double>> keyFed(kStreams);
    std::vector<double> keyDecode;
    std::thread feeder(
        [&]
        {
            const double dCpuStart = ThreadCpu(GetCurrentThread());
            HANDLE hTimer = CreateWaitableTimerW(nullptr, FALSE, nullptr);
            const double tStart = Now();
            auto waitUntil = [&](double tDue)
            {
                const double tWait = tDue - Now();
                if (tWait <= 0) return false;
                LARGE_INTEGER due;
                due.QuadPart = -static_cast<LONGLONG>(tWait * 1e7);
                SetWaitableTimer(hTimer, &due, 0, nullptr, nullptr, FALSE);
                WaitForSingleObject(hTimer, INFINITE);
                return true;
            };
            for (int tick = 0; tick < nTicks; ++tick)
            {
                const double tDue = tStart + static_cast<double>(tick) / kFps;
                if (!waitUntil(tDue) && tick > 0) ++nLateTicks;
                double t0 = Now();
                for (int s = 0; s < kStreams; ++s)
                {
                    if (bSpread && s > 0)
                    {
                        dFeedWall += Now() - t0;
                        waitUntil(tDue + static_cast<double>(s) / (kFps * kStreams));
                        t0 = Now();
                    }
                    const int nPicture = ((s % (nPictures / kGop)) * kGop + tick) % nPictures;
                    const std::vector<Bytes>& packets = pictures[nPicture];
                    for (size_t i = 0; i < packets.size(); ++i)
                    {
                        CVar result;
                        CVar args[] = {CVar::IntPtr(reinterpret_cast<INT_PTR>(packets[i].data())),
                                       CVar(static_cast<long>(packets[i].size()))};
                        VARIANT raw[] = {args[0].Get(), args[1].Get()};
                        const bool bKeyEnd = nPicture % kGop == 0 && i + 1 == packets.size();
                        const double tCall = Now();
                        if (bKeyEnd) keyFed[s] = tCall;
                        DispInvoke(controls[s], ID_ON_RECV_DATA, DISPATCH_METHOD, result.Ptr(), raw, 2);
                        if (bKeyEnd) keyDecode.push_back((Now() - tCall) * 1000);
                    }
                }
                dFeedWall += Now() - t0;
            }
            CloseHandle(hTimer);
            // Read here: Wine gives no times of another thread.
            dFeedCpu = ThreadCpu(GetCurrentThread()) - dCpuStart;
            bDone = true;
        });

    // The window thread draws every posted picture; the ones it draws are counted here.
    const double tStart = Now();
    FILETIME c0, e0, k0, u0;
    GetProcessTimes(GetCurrentProcess(), &c0, &e0, &k0, &u0);
    const double dGuiStart = ThreadCpu(GetCurrentThread());
    long long nDrawn = 0;
    std::vector<double> keyLatency;
    std::vector<HWND> windows;
    for (const auto& host : hosts)
        windows.push_back(host->ControlWindow());
    // A posted record is the engine's own; it is read here before its handler draws and frees it.
    auto dispatch = [&](const MSG& msg)
    {
        if (msg.message != kRecvDrawFrame)
        {
            DispatchMessageW(&msg);
            return;
        }
        ++nDrawn;
        const auto* pFrame = reinterpret_cast<const S_RECVFRAME*>(msg.wParam);
        const bool bKey = pFrame->bKeyFrame && !pFrame->bRaw;
        DispatchMessageW(&msg);
        const auto it = std::find(windows.begin(), windows.end(), msg.hwnd);
        if (bKey && it != windows.end()) keyLatency.push_back((Now() - keyFed[it - windows.begin()]) * 1000);
    };
    while (!bDone)
    {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            dispatch(msg);
    }
    feeder.join();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        dispatch(msg);
    const double dWall = Now() - tStart;
    FILETIME c1, e1, k1, u1;
    GetProcessTimes(GetCurrentProcess(), &c1, &e1, &k1, &u1);
    const double dCpu = Seconds(k1) + Seconds(u1) - Seconds(k0) - Seconds(u0);
    const double dGuiCpu = ThreadCpu(GetCurrentThread()) - dGuiStart;
    const double nStreamPictures = static_cast<double>(nTicks) * kStreams;

    printf("renderer %ls, %d streams of %dx%d at %d fps for %d s (%d pictures each), fed %s\n",
           loaderName.c_str(), kStreams, kCx, kCy, kFps, nSeconds, nTicks,
           bSpread ? "spread over the frame time" : "in one burst a frame");
    printf("process CPU %.1f s over %.1f s wall: %.2f cores\n", dCpu, dWall, dCpu / dWall);
    printf("feeding thread (decode): %.3f ms CPU, %.3f ms wall per stream picture\n",
           dFeedCpu * 1000 / nStreamPictures, dFeedWall * 1000 / nStreamPictures);
    printf("window thread (convert and draw): %.3f ms CPU per stream picture\n",
           dGuiCpu * 1000 / nStreamPictures);
    printf("all: %.3f ms CPU per stream picture\n", dCpu * 1000 / nStreamPictures);
    printf("pictures drawn %lld of %.0f, dropped by the in-flight rule %.0f; feeding ticks late %d of %d\n",
           nDrawn, nStreamPictures, nStreamPictures - static_cast<double>(nDrawn), nLateTicks, nTicks);
    printf("key pictures: %zu drawn; from the call with the last packet to the end of the draw p50 %.2f ms, "
           "p99 %.2f ms; that call alone (decoding) p50 %.2f ms, p99 %.2f ms\n",
           keyLatency.size(), Percentile(keyLatency, 0.5), Percentile(keyLatency, 0.99),
           Percentile(keyDecode, 0.5), Percentile(keyDecode, 0.99));
    controls.clear();
    hosts.clear();
    DestroyWindow(hWnd);
    CoUninitialize();
    return 0;
}
