// The media library under Wine, loaded by name (LMLibrary10U.dll with its FFmpeg DLLs):
//   bench_medialib_wine record ROW DIR  (ROW 3: 1024 x 738; ROW 1: resized to 640 x 480)
//     records 90 bottom-up RGB32 frames of 1024 x 738 at 15 fps, 1200 kbit/s, with 16 kHz audio,
//     fed as fast as the recorder takes them, into DIR\ours.mp4; writes the same frames and audio
//     as DIR\frames.bgra and DIR\audio.s16 (once) for the command line to encode. Prints frames a
//     second (wall clock) and the process's CPU time a frame.
//   bench_medialib_wine seek MOVIE
//     50 random whole-second targets in MOVIE, from Seek to the first picture of that second
//     delivered by the movie player, beside a bare loop over the cross-built libavformat making
//     the same seek backwards and decoding to that picture. Prints p50 and p99 of each.
#include "bench/medialib/MediaBenchInputs.h"
#include "confclient/library/LMMediaLibrary.h"
#include "confclient/library/LMObjectPtr.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;
const wchar_t kLibrary10[] = L"LMLibrary10U.dll";
// The recorder's pending limit: frames beyond it are dropped, so the caller waits below it.
constexpr int kPendingLimit = 6;

struct CEvents
{
    template <class F> void Change(F f)
    {
        {
            std::lock_guard<std::mutex> guard(lock);
            f();
        }
        changed.notify_all();
    }
    template <class F> bool WaitUntil(F ready)
    {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(60), ready);
    }
    std::mutex lock;
    std::condition_variable changed;
};

class CRecorderEvents : public ILMMP4RecorderCB, public CEvents
{
public:
    void OnReserved(int32_t, int32_t) override {}
    void OnOpened() override {}
    void OnVideoWritten() override
    {
        Change([&] { ++nVideo; });
    }
    void OnAudioWritten() override {}
    void OnClosed() override
    {
        Change([&] { bClosed = true; });
    }
    int nVideo = 0;
    bool bClosed = false;
};

double ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t)
    { return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7; };
    return seconds(kernel) + seconds(user);
}

bool WriteFile(const std::string& path, const void* pData, size_t nBytes, const char* szMode)
{
    FILE* file = fopen(path.c_str(), szMode);
    if (!file) return false;
    const bool bWritten = fwrite(pData, 1, nBytes, file) == nBytes;
    return fclose(file) == 0 && bWritten;
}

int Record(int nRow, const std::string& dir)
{
    const int nOutputWidth = nRow == 1 ? 640 : kCaptureWidth,
              nOutputHeight = nRow == 1 ? 480 : kCaptureHeight;
    std::vector<std::vector<uint8_t>> frames;
    for (int n = 0; n < kFrames; ++n)
        frames.push_back(ScreenFrame(n));
    std::vector<int16_t> audio(kSampleRate / kRate, 1000);
    // The command line's input: the same frames (bottom-up, as the recorder takes them) and audio.
    const std::string raw = dir + "\\frames.bgra", pcm = dir + "\\audio.s16";
    if (GetFileAttributesA(raw.c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        bool bWritten = WriteFile(pcm, audio.data(), 0, "wb");
        for (int n = 0; n < kFrames && bWritten; ++n)
            bWritten = WriteFile(raw, frames[n].data(), frames[n].size(), n ? "ab" : "wb") &&
                       WriteFile(pcm, audio.data(), audio.size() * 2, "ab");
        if (!bWritten)
        {
            fprintf(stderr, "bench_medialib_wine: cannot write %s\n", raw.c_str());
            return 1;
        }
    }

    CLMObjectPtr<ILMMP4Recorder> recorder(1, kLibrary10, L"GetMP4Recorder");
    if (!recorder)
    {
        fprintf(stderr, "bench_medialib_wine: no recorder in %ls\n", kLibrary10);
        return 1;
    }
    CRecorderEvents events;
    const std::wstring path = std::wstring(dir.begin(), dir.end()) + L"\\ours.mp4";
    const double dCpu = ProcessCpuSeconds();
    const auto start = Clock::now();
    if (!recorder->Start(path.c_str(), kCaptureWidth, kCaptureHeight, nOutputWidth, nOutputHeight, kKbps, 32,
                         kRate, kSampleRate, &events))
    {
        fprintf(stderr, "bench_medialib_wine: the recorder did not start\n");
        return 1;
    }
    for (int n = 0; n < kFrames; ++n)
    {
        events.WaitUntil([&] { return n - events.nVideo < kPendingLimit; });
        recorder->AddVideoFrame(frames[n].data(), static_cast<int32_t>(frames[n].size()), 32);
        recorder->AddAudio(reinterpret_cast<const uint8_t*>(audio.data()),
                           static_cast<int32_t>(audio.size() * 2));
    }
    recorder->Stop();
    if (!events.WaitUntil([&] { return events.bClosed; }) || events.nVideo != kFrames)
    {
        fprintf(stderr, "bench_medialib_wine: %d of %d frames written\n", events.nVideo, kFrames);
        return 1;
    }
    const double dSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    printf("row %d ours: %.1f frames/s, %.2f ms CPU a frame\n", nRow, kFrames / dSeconds,
           (ProcessCpuSeconds() - dCpu) * 1000 / kFrames);
    return 0;
}

void Report(const char* szName, std::vector<double> latencies)
{
    std::sort(latencies.begin(), latencies.end());
    printf("seek %s: p50 %.1f ms, p99 %.1f ms\n", szName, latencies[latencies.size() / 2],
           latencies[latencies.size() * 99 / 100]);
}

class CFirstPicture : public ILMVideoShareCB, public CEvents
{
public:
    void OnError(int32_t, const wchar_t*) override {}
    void OnVideoFrame(const uint8_t* pData, int32_t, int32_t nSeconds, int32_t, int32_t,
                      const wchar_t*) override
    {
        if (!pData) return;
        Change(
            [&]
            {
                // A forward seek lands on the next key frame, up to 10 s on.
                if (nWanted >= 0 && nSeconds >= nWanted && nSeconds < nWanted + 12 &&
                    arrived == Clock::time_point())
                    arrived = Clock::now();
            });
    }
    void OnAudio(const uint8_t*, int32_t, int32_t) override {}
    int nWanted = -1;
    Clock::time_point arrived;
};

int SeekPlayer(const std::string& movie)
{
    CLMObjectPtr<ILMVideoShare2> player(1, kLibrary10, L"GetVideoShare2");
    CFirstPicture events;
    const std::wstring path(movie.begin(), movie.end());
    S_VIDEOSHAREINFO info{};
    if (!player || !player->Init(&events, 1, 0) || !player->Load(path.c_str(), &info.nDuration) ||
        info.nVideoStatus != LM_SHARE_READY)
    {
        fprintf(stderr, "bench_medialib_wine: the player cannot open %s\n", movie.c_str());
        return 1;
    }
    player->Play();
    std::vector<double> latencies;
    for (int nTarget : SeekTargets())
    {
        events.Change(
            [&]
            {
                events.nWanted = nTarget;
                events.arrived = Clock::time_point();
            });
        const auto start = Clock::now();
        player->Seek(nTarget);
        if (!events.WaitUntil([&] { return events.arrived != Clock::time_point(); }))
        {
            fprintf(stderr, "bench_medialib_wine: no picture after a seek to %d s\n", nTarget);
            return 1;
        }
        latencies.push_back(std::chrono::duration<double, std::milli>(events.arrived - start).count());
    }
    player->Stop();
    Report("player", latencies);
    return 0;
}

int SeekBare(const std::string& movie)
{
    const std::vector<double> latencies = BareSeekLatencies(movie);
    if (latencies.empty())
    {
        fprintf(stderr, "bench_medialib_wine: libavformat cannot open %s\n", movie.c_str());
        return 1;
    }
    Report("libavformat", latencies);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "record" && argc == 4 && (std::atoi(argv[2]) == 1 || std::atoi(argv[2]) == 3))
        return Record(std::atoi(argv[2]), argv[3]);
    if (mode == "seek" && argc == 3) return SeekPlayer(argv[2]) || SeekBare(argv[2]);
    fprintf(stderr, "usage: bench_medialib_wine record 1|3 DIR | seek MOVIE\n");
    return 2;
}
