// Recording throughput for a stream of mixed frames next to dd writing blocks of the
// recorder's buffer size, the index pass that opening a never-closed one-hour recording
// makes, and seek time in that recording with its own index and with the built one.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "confclient/network/record/Record.h"

namespace fs = std::filesystem;

namespace
{
struct Owner : IRecordOwner
{
    uint32_t TickCount() override { return dwTick; }
    uint32_t WallClock() override { return 1700000000; }
    fs::path TempFolder() override { return base; }
    std::u16string AgendaSubFolder() override { return u""; }
    fs::path SkinBaseFolder() override { return base / "prog"; }
    std::u16string MeetingName() override { return u""; }
    double PlaySpeed() override { return 1; }
    void OnPlayClock(uint32_t) override {}
    fs::path base;
    uint32_t dwTick = 0;
};

struct Timer : IPlayTimer
{
    void Start(uint32_t, std::function<bool()>) override {}
    void Stop() override {}
};

class Engine : public CRecord
{
public:
    Engine(Owner& owner, Timer& timer) : CRecord(owner, nullptr, &timer) {}
    ~Engine() override
    {
        StopPlay(true);
        StopRecord(REC_SUCCESS);
    }
    size_t nPlayed = 0;
    uint32_t keys[8] = {};

protected:
    void OnPlayFileInfo(uint32_t, uint32_t) override {}
    void OnRecordStatus(int) override {}
    void PlayPacket(uint16_t, const uint8_t*, size_t, bool, uint32_t) override { ++nPlayed; }
    void AddIndexEntry(uint16_t wSub, uint32_t dwPosition, uint16_t) override { keys[wSub & 7] = dwPosition; }
    uint32_t FindIndexEntry(uint16_t, uint16_t wSub) override
    {
        return keys[wSub & 7] ? keys[wSub & 7] : 0xFFFFFFFFu;
    }
};

fs::path Scratch()
{
    static fs::path base = []
    {
        fs::path p = fs::temp_directory_path() / ("quillon-bench-record-" + std::to_string(getpid()));
        fs::create_directories(p);
        return p;
    }();
    return base;
}

// One second of a meeting with two cameras: 15 pictures a second each (a key frame every
// 2 s), 50 voice packets, a chat line every 5 s.
void RecordSecond(Engine& engine, Owner& owner, uint32_t nSecond)
{
    static std::vector<uint8_t> video(500, 0x11), voice(100, 0x22), chat(120, 0x33);
    for (uint32_t ms = 0; ms < 1000; ms += 20)
    {
        owner.dwTick = nSecond * 1000 + ms;
        engine.RecordPacket(1000, voice.data(), voice.size(), false);
        if (ms % 60 == 0 && ms < 900)
            for (uint16_t ch = 1; ch <= 2; ++ch)
            {
                video[0] = uint8_t(ch);
                engine.RecordPacket(2010, video.data(), video.size(), ms == 0 && nSecond % 2 == 0);
            }
    }
    if (nSecond % 5 == 0) engine.RecordPacket(460, chat.data(), chat.size(), false);
}

void BM_RecordMixedFrames(benchmark::State& state)
{
    Owner owner;
    owner.base = Scratch();
    Timer timer;
    Engine engine(owner, timer);
    fs::path file = Scratch() / "throughput.qn";
    engine.StartRecord(file, 0);
    uint32_t nSecond = 0;
    const int64_t nBytesPerSecond = 50 * (100 + 10) + 30 * (500 + 10);
    for (auto _ : state)
    {
        RecordSecond(engine, owner, nSecond++);
        if (nSecond == 3600) // keep the file at most an hour long
        {
            state.PauseTiming();
            engine.StopRecord(REC_SUCCESS);
            engine.StartRecord(file, 0);
            nSecond = 0;
            state.ResumeTiming();
        }
    }
    state.SetBytesProcessed(state.iterations() * nBytesPerSecond);
    engine.StopRecord(REC_SUCCESS);
    fs::remove(file);
}
BENCHMARK(BM_RecordMixedFrames)->Unit(benchmark::kMicrosecond);

// dd writing 64 MiB in blocks of the recorder's buffer size into the same folder: the
// floor for buffered writes to the page cache (includes dd's start, about a millisecond).
void BM_DdSameBlockSize(benchmark::State& state)
{
    const int nBlocks = 1024;
    static_assert(kRecordWriteBuffer == 64 * 1024, "dd's block size below follows the recorder's buffer");
    std::string cmd = "dd if=/dev/zero of='" + (Scratch() / "dd.out").string() +
                      "' bs=64K count=" + std::to_string(nBlocks) + " status=none";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
        {
            state.SkipWithError("dd failed");
            break;
        }
    state.SetBytesProcessed(state.iterations() * int64_t(nBlocks) * int64_t(kRecordWriteBuffer));
}
BENCHMARK(BM_DdSameBlockSize)->Unit(benchmark::kMillisecond)->UseRealTime();

// The one-hour recording, made once; the copy without index has index offset 0 and no terminator.
const fs::path& HourRecording(bool bIndexed)
{
    static fs::path indexed = Scratch() / "hour.qn", neverClosed = Scratch() / "hour-never-closed.qn";
    static bool bMade = false;
    if (!bMade)
    {
        Owner owner;
        owner.base = Scratch();
        Timer timer;
        Engine engine(owner, timer);
        engine.StartRecord(indexed, 0);
        for (uint32_t s = 0; s < 3600; ++s)
            RecordSecond(engine, owner, s);
        engine.StopRecord(REC_SUCCESS);
        fs::copy_file(indexed, neverClosed, fs::copy_options::overwrite_existing);
        CBinFile f;
        f.Open(neverClosed, CBinFile::Mode::ReadWrite);
        uint8_t head[16];
        f.ReadAll(head, sizeof head);
        uint32_t dwIndex = head[10] | head[11] << 8 | head[12] << 16 | uint32_t(head[13]) << 24;
        std::memset(head + 10, 0, 4);
        f.Seek(0);
        f.Write(head, sizeof head);
        f.Close();
        fs::resize_file(neverClosed, dwIndex - kRecordHeadSize);
        bMade = true;
    }
    return bIndexed ? indexed : neverClosed;
}

// Opening the never-closed hour: the header and the one forward pass that builds the index.
void BM_IndexPass(benchmark::State& state)
{
    const fs::path& file = HourRecording(false);
    for (auto _ : state)
    {
        CRecordFileReader reader;
        if (reader.Open(file) != 1) state.SkipWithError("cannot open");
    }
    state.SetBytesProcessed(state.iterations() * int64_t(fs::file_size(file)));
}
BENCHMARK(BM_IndexPass)->Unit(benchmark::kMillisecond);

void BM_Seek(benchmark::State& state)
{
    bool bIndexed = state.range(0) != 0;
    uint32_t nSeconds = uint32_t(state.range(1));
    Owner owner;
    owner.base = Scratch();
    Timer timer;
    Engine engine(owner, timer);
    engine.OpenPlayFile(HourRecording(bIndexed));
    for (auto _ : state)
        engine.SeekPlay(true, nSeconds);
    state.counters["replayed"] = double(engine.nPlayed) / double(state.iterations());
}
BENCHMARK(BM_Seek)
    ->ArgNames({"own_index", "to_s"})
    ->Args({1, 600})
    ->Args({1, 1800})
    ->Args({1, 3599})
    ->Args({0, 600})
    ->Args({0, 1800})
    ->Args({0, 3599})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(Scratch(), ec);
    return 0;
}
