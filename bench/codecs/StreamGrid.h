// Many receivers' worth of decoding from one thread, natively and under Wine: nStreams decoders
// each fed the RTP capture in real time (nFps pictures a second) for dSeconds; the figure is
// the process's CPU time over the wall time, in cores. The streams start spread over one pass
// of the capture, so their key pictures do not all fall on the same tick.
#pragma once
#include <chrono>
#include <cstdint>
#include <thread>

#include "bench/codecs/RtpLoop.h"

struct GridLoad
{
    double dCores = 0;       // process CPU time / wall time
    double dWallSeconds = 0; // from the first tick to the last picture's end
    int64_t nPackets = 0;
    int64_t nPictures = 0;  // pictures the decoders gave
    int64_t nLateTicks = 0; // ticks that started after the next one was due
};

// decode(stream, packet, bytes) feeds stream's decoder and says whether a picture came out;
// processCpu() is the process's CPU time in seconds.
template <class Decode, class ProcessCpu>
GridLoad FeedGrid(RtpLoop& loop, int nStreams, int nFps, double dSeconds, Decode&& decode,
                  ProcessCpu&& processCpu)
{
    using Clock = std::chrono::steady_clock;
    const auto tick = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / nFps));
    const auto nTicks = static_cast<int64_t>(dSeconds * nFps);
    const auto nPass = static_cast<int64_t>(loop.PicturesPerPass());
    GridLoad load;
    const double dCpu0 = processCpu();
    const Clock::time_point start = Clock::now();
    for (int64_t t = 0; t < nTicks; ++t)
    {
        const Clock::time_point due = start + t * tick;
        if (Clock::now() < due)
            std::this_thread::sleep_until(due);
        else if (Clock::now() > due + tick)
            ++load.nLateTicks;
        for (int s = 0; s < nStreams; ++s)
        {
            const int64_t nFirst = s * nPass / nStreams; // the tick this stream starts on
            if (t < nFirst) continue;
            loop.Picture(static_cast<uint64_t>(t - nFirst),
                         [&](const uint8_t* p, int32_t nBytes)
                         {
                             ++load.nPackets;
                             load.nPictures += decode(s, p, nBytes) ? 1 : 0;
                         });
        }
    }
    load.dWallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    load.dCores = (processCpu() - dCpu0) / load.dWallSeconds;
    return load;
}
