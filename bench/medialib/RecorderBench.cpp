// The MP4 recorder fed bottom-up RGB32 frames and 16 kHz audio as fast as it takes them (never
// more than its pending limit), beside Debian's ffmpeg command line (-threads 1, mpeg4 and aac,
// the same settings) encoding the same raw frames in the same run. Quality rows: 3 (1024 x 738,
// 15 fps, 1200 kbit/s) and 1 (resized to 640 x 480).
#include "bench/medialib/MediaBenchInputs.h"
#include "lmlibrary10/core/MP4RecorderWrapper.h"
#include "tests/medialib/MediaTestObjects.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{
namespace fs = std::filesystem;

fs::path BenchDir()
{
    static const fs::path dir = fs::temp_directory_path() / ("quillon-bench-rec-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir;
}

const std::vector<std::vector<uint8_t>>& Frames()
{
    static const std::vector<std::vector<uint8_t>> frames = []
    {
        std::vector<std::vector<uint8_t>> all;
        for (int n = 0; n < kFrames; ++n)
            all.push_back(ScreenFrame(n));
        return all;
    }();
    return frames;
}

class CCounting : public ILMMP4RecorderCB
{
public:
    void OnReserved(int32_t, int32_t) override {}
    void OnOpened() override {}
    void OnVideoWritten() override
    {
        signal.Notify([&] { ++nVideo; });
    }
    void OnAudioWritten() override
    {
        signal.Notify([&] { ++nAudio; });
    }
    void OnClosed() override
    {
        signal.Notify([&] { ++nClosed; });
    }
    CTestSignal signal;
    int nVideo = 0, nAudio = 0, nClosed = 0;
};

double ProcessCpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Recorder(benchmark::State& state)
{
    const int nOutputWidth = static_cast<int>(state.range(0)),
              nOutputHeight = static_cast<int>(state.range(1));
    const auto& frames = Frames();
    std::vector<int16_t> audio(kSampleRate / kRate, 1000);
    CTestCodecLoader loader;
    double dCpu = 0;
    for (auto _ : state)
    {
        CCounting events;
        CMP4RecorderWrapper recorder(&loader);
        const double dStart = ProcessCpuSeconds(RUSAGE_SELF);
        const std::wstring path = (BenchDir() / "ours.mp4").wstring();
        recorder.Start(path.c_str(), kCaptureWidth, kCaptureHeight, nOutputWidth, nOutputHeight, kKbps, 32,
                       kRate, kSampleRate, &events);
        for (int n = 0; n < kFrames; ++n)
        {
            // As fast as the recorder takes them: never past its pending limit, so nothing drops.
            events.signal.WaitUntil([&]
                                    { return n - events.nVideo < CMP4RecorderWrapper::kVideoPendingLimit; });
            recorder.AddVideoFrame(frames[n].data(), static_cast<int32_t>(frames[n].size()), 32);
            recorder.AddAudio(reinterpret_cast<const uint8_t*>(audio.data()),
                              static_cast<int32_t>(audio.size() * 2));
        }
        recorder.Stop();
        events.signal.WaitUntil([&] { return events.nClosed == 1; });
        dCpu += ProcessCpuSeconds(RUSAGE_SELF) - dStart;
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.counters["cpu_ms_per_frame"] = dCpu * 1000 / (static_cast<double>(state.iterations()) * kFrames);
}

// The same frames as one raw file, made once, and the same audio.
void CommandLine(benchmark::State& state)
{
    const int nOutputWidth = static_cast<int>(state.range(0)),
              nOutputHeight = static_cast<int>(state.range(1));
    const fs::path raw = BenchDir() / "frames.bgra", pcm = BenchDir() / "audio.s16";
    if (!fs::exists(raw))
    {
        std::ofstream out(raw, std::ios::binary);
        // The recorder's frames are bottom-up; the command line flips them with vflip as the
        // recorder's converter does.
        for (const auto& frame : Frames())
            out.write(reinterpret_cast<const char*>(frame.data()),
                      static_cast<std::streamsize>(frame.size()));
        std::ofstream sound(pcm, std::ios::binary);
        std::vector<int16_t> audio(static_cast<size_t>(kSampleRate) * kFrames / kRate, 1000);
        sound.write(reinterpret_cast<const char*>(audio.data()),
                    static_cast<std::streamsize>(audio.size() * 2));
    }
    const std::string scale = nOutputWidth == kCaptureWidth
                                  ? "vflip"
                                  : "vflip,scale=" + std::to_string(nOutputWidth) + ":" +
                                        std::to_string(nOutputHeight) + ":flags=bilinear";
    const std::string command =
        "ffmpeg -hide_banner -loglevel error -nostdin -y -threads 1 -f rawvideo -pix_fmt bgra -s " +
        std::to_string(kCaptureWidth) + "x" + std::to_string(kCaptureHeight) + " -r " +
        std::to_string(kRate) + " -i " + raw.string() + " -f s16le -ar " + std::to_string(kSampleRate) +
        " -ac 1 -i " + pcm.string() + " -vf " + scale + " -pix_fmt yuv420p -c:v mpeg4 -b:v " +
        std::to_string(kKbps) + "k -g 12 -c:a aac -b:a 32k -threads 1 -filter_threads 1 " +
        (BenchDir() / "cli.mp4").string();
    double dCpu = 0;
    for (auto _ : state)
    {
        const double dStart = ProcessCpuSeconds(RUSAGE_CHILDREN);
        if (std::system(command.c_str()) != 0)
        {
            state.SkipWithError("ffmpeg failed");
            return;
        }
        dCpu += ProcessCpuSeconds(RUSAGE_CHILDREN) - dStart;
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.counters["cpu_ms_per_frame"] = dCpu * 1000 / (static_cast<double>(state.iterations()) * kFrames);
}
} // namespace

BENCHMARK(Recorder)
    ->Name("record/ours/q3")
    ->Args({kCaptureWidth, kCaptureHeight})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(CommandLine)
    ->Name("record/ffmpeg_cli/q3")
    ->Args({kCaptureWidth, kCaptureHeight})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(Recorder)->Name("record/ours/q1")->Args({640, 480})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CommandLine)
    ->Name("record/ffmpeg_cli/q1")
    ->Args({640, 480})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
