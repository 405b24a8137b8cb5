// Seek latency of the movie player in a one-hour movie (640 x 360 H.264/AAC, a key frame every
// 10 s, made once by Debian's ffmpeg into the bench tree): from Seek to the first picture at
// the target delivered, 50 random targets, beside a bare libavformat loop that makes the same
// seek and decodes to that picture, on the same file in the same run.
#include "bench/medialib/MediaBenchInputs.h"
#include "lmlibrary10/core/VideoShare.h"
#include "tests/medialib/MediaTestObjects.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;

const std::string& HourMovie()
{
    static const std::string path = []
    {
        const std::string file = std::string(QUILLON_BENCH_MOVIES) + "/hour.mp4";
        if (!std::filesystem::exists(file))
        {
            std::filesystem::create_directories(QUILLON_BENCH_MOVIES);
            const std::string command =
                "ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i testsrc2=size=640x360:rate=25 "
                "-f lavfi -i sine=frequency=600:sample_rate=44100 -t 3600 -c:v libx264 -preset ultrafast "
                "-g 250 -keyint_min 250 -sc_threshold 0 -b:v 600k -c:a aac -b:a 64k -f mp4 " +
                file + ".part && mv " + file + ".part " + file;
            if (std::system(command.c_str()) != 0) return std::string();
        }
        return file;
    }();
    return path;
}

void Report(benchmark::State& state, std::vector<double> latencies)
{
    std::sort(latencies.begin(), latencies.end());
    state.counters["p50_ms"] = latencies[latencies.size() / 2];
    state.counters["p99_ms"] = latencies[latencies.size() * 99 / 100];
}

class CFirstPicture : public ILMVideoShareCB
{
public:
    void OnError(int32_t, const wchar_t*) override {}
    void OnVideoFrame(const uint8_t* pData, int32_t, int32_t nSeconds, int32_t, int32_t,
                      const wchar_t*) override
    {
        if (!pData) return;
        signal.Notify(
            [&]
            {
                if (nWanted >= 0 && nSeconds >= nWanted && nSeconds < nWanted + 12 &&
                    arrived == Clock::time_point())
                    arrived = Clock::now();
            });
    }
    void OnAudio(const uint8_t*, int32_t, int32_t) override {}
    CTestSignal signal;
    int nWanted = -1;
    Clock::time_point arrived;
};

void Player(benchmark::State& state)
{
    if (HourMovie().empty())
    {
        state.SkipWithError("no movie");
        return;
    }
    CTestCodecLoader loader;
    std::vector<double> latencies;
    for (auto _ : state)
    {
        CFirstPicture events;
        CVideoShare2 player(&loader);
        const std::wstring path(HourMovie().begin(), HourMovie().end());
        S_VIDEOSHAREINFO info{};
        player.Init(&events, 1, 0);
        player.Load(path.c_str(), &info.nDuration);
        player.Play();
        for (int nTarget : SeekTargets())
        {
            events.signal.Notify(
                [&]
                {
                    events.nWanted = nTarget;
                    events.arrived = Clock::time_point();
                });
            const auto start = Clock::now();
            player.Seek(nTarget);
            events.signal.WaitUntil([&] { return events.arrived != Clock::time_point(); });
            latencies.push_back(std::chrono::duration<double, std::milli>(events.arrived - start).count());
        }
    }
    Report(state, latencies);
}

// libavformat's own: seek back to the key frame before the target, decode to the target.
void BareLoop(benchmark::State& state)
{
    if (HourMovie().empty())
    {
        state.SkipWithError("no movie");
        return;
    }
    std::vector<double> latencies;
    for (auto _ : state)
        latencies = BareSeekLatencies(HourMovie());
    if (latencies.empty())
    {
        state.SkipWithError("libavformat cannot open the movie");
        return;
    }
    Report(state, latencies);
}
} // namespace

BENCHMARK(Player)->Name("seek/ours")->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BareLoop)->Name("seek/libavformat")->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
