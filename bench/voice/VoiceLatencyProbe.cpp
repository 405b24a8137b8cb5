// Mouth-to-ear latency on a test session's sound server: plays a click a second into one sink
// (a user's microphone feed) and finds each click on a source (another user's speaker monitor),
// both timed on one monotonic clock and corrected by each stream's own latency.
//   quillon-voice-latency-probe SERVER PLAY_SINK RECORD_SOURCE SECONDS
// Prints one delay per click heard (ms), then their count, median and 95th percentile.
#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <numbers>
#include <thread>
#include <vector>

namespace
{
constexpr int kRate = 16000;
constexpr int kBlock = kRate / 100; // 10 ms
constexpr double kBlockMs = 10.0;

using Clock = std::chrono::steady_clock;

double NowMs()
{
    return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

pa_simple* Open(const char* pszServer, pa_stream_direction_t dir, const char* pszDevice, int& nError)
{
    pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
    pa_buffer_attr attr{};
    uint32_t nBlockBytes = kBlock * 2;
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = 2 * nBlockBytes;
    attr.prebuf = static_cast<uint32_t>(-1);
    attr.minreq = nBlockBytes;
    attr.fragsize = nBlockBytes;
    return pa_simple_new(pszServer, "voice latency probe", dir, pszDevice,
                         dir == PA_STREAM_PLAYBACK ? "clicks" : "ears", &format, nullptr, &attr, &nError);
}

double Percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(std::ceil(p * double(v.size()))) - 1;
    return v[std::min(i, v.size() - 1)];
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 5)
    {
        std::fprintf(stderr, "usage: %s SERVER PLAY_SINK RECORD_SOURCE SECONDS\n", argv[0]);
        return 2;
    }
    int nSeconds = std::atoi(argv[4]);
    int nError = 0;
    pa_simple* pPlay = Open(argv[1], PA_STREAM_PLAYBACK, argv[2], nError);
    pa_simple* pRecord = pPlay ? Open(argv[1], PA_STREAM_RECORD, argv[3], nError) : nullptr;
    if (!pPlay || !pRecord)
    {
        std::fprintf(stderr, "voice latency probe: %s\n", pa_strerror(nError));
        return 1;
    }

    std::mutex lock;
    std::vector<double> played, heard;
    std::atomic<bool> bStop{false};
    std::thread ears(
        [&]
        {
            std::vector<int16_t> block(kBlock);
            double dLastHeard = -1e9;
            int nError = 0;
            while (!bStop)
            {
                if (pa_simple_read(pRecord, block.data(), block.size() * 2, &nError) < 0) break;
                double dNow = NowMs();
                pa_usec_t latency = pa_simple_get_latency(pRecord, &nError);
                for (int j = 0; j < kBlock; ++j)
                {
                    // When this sample reached the source: the newest one read is latency old.
                    double dAt = dNow - double(latency) / 1000 - double(kBlock - j) * kBlockMs / kBlock;
                    if (std::abs(block[j]) > 4000 && dAt - dLastHeard > 500)
                    {
                        dLastHeard = dAt;
                        std::lock_guard<std::mutex> g(lock);
                        heard.push_back(dAt);
                    }
                }
            }
        });

    // A click: 5 ms of 2 kHz at the start of each second, silence between.
    std::vector<int16_t> click(kBlock, 0), silence(kBlock, 0);
    for (int j = 0; j < kBlock / 2; ++j)
        click[j] = static_cast<int16_t>(16000 * std::sin(2 * std::numbers::pi * 2000 * j / kRate));
    for (int b = 0; b < nSeconds * 100; ++b)
    {
        bool bClick = b % 100 == 0;
        if (pa_simple_write(pPlay, bClick ? click.data() : silence.data(), kBlock * 2, &nError) < 0) break;
        if (!bClick) continue;
        // The newest sample written plays latency from now; this block's first one a block sooner.
        double dAt = NowMs() + double(pa_simple_get_latency(pPlay, &nError)) / 1000 - kBlockMs;
        std::lock_guard<std::mutex> g(lock);
        played.push_back(dAt);
    }
    pa_simple_drain(pPlay, &nError);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    bStop = true;
    ears.join();
    pa_simple_free(pPlay);
    pa_simple_free(pRecord);

    // Each click heard belongs to the last one played before it, within 900 ms.
    std::vector<double> delays;
    for (double dHeard : heard)
    {
        auto it = std::upper_bound(played.begin(), played.end(), dHeard);
        if (it == played.begin()) continue;
        double dDelay = dHeard - *(it - 1);
        if (dDelay < 900) delays.push_back(dDelay);
    }
    for (double d : delays)
        std::printf("%.1f\n", d);
    if (delays.empty())
    {
        std::fprintf(stderr, "voice latency probe: no click of %zu was heard\n", played.size());
        return 1;
    }
    std::printf("clicks: %zu played, %zu heard; median %.1f ms, p95 %.1f ms\n", played.size(), delays.size(),
                Percentile(delays, 0.5), Percentile(delays, 0.95));
    return 0;
}
