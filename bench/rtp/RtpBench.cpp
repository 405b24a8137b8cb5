// Packetizing and depacketizing throughput of our RTP units: an H.264 IDR picture of one
// large slice (fragments), a P picture of small slices (aggregates), an H.263 picture of
// whole groups and one with a group split between macroblocks, and the decoders' front
// cutting a plain H.264 stream that arrives in 4 KiB blocks.
#include <benchmark/benchmark.h>

#include <vector>

#include "lmvideo/rtp/H263Depacketizer.h"
#include "lmvideo/rtp/H263Packetizer.h"
#include "lmvideo/rtp/H264Depacketizer.h"
#include "lmvideo/rtp/H264Packetizer.h"
#include "lmvideo/rtp/VideoInputFront.h"
#include "tests/rtp/RtpTestStreams.h"

namespace
{
struct Units
{
    Bytes buffer = Bytes(1 << 20);
    std::vector<uint32_t> sizes = std::vector<uint32_t>(1024);
};

Bytes H264Picture(bool bIdr)
{
    if (bIdr) return MakeAnnexB({MakeNal(7, 12, 1), MakeNal(8, 5, 2), MakeSlice(5, true, 30000, 3)});
    std::vector<Bytes> slices;
    for (uint32_t i = 0; i < 8; ++i)
        slices.push_back(MakeSlice(1, i == 0, 400, 10 + i));
    return MakeAnnexB(slices);
}

H263TestPicture H263Picture(bool bSplitGroup)
{
    if (bSplitGroup) return MakeH263Picture(true, 1, {20000}, 997);
    return MakeH263Picture(true, 1, std::vector<size_t>(18, 1100), 0);
}

Packets PacketizeH264(const Bytes& picture)
{
    Units units;
    H264Packetizer packetizer(1, 0, false);
    RtpUnitWriter writer(units.buffer.data(), units.buffer.size(), units.sizes.data(), units.sizes.size());
    packetizer.Packetize(picture.data(), picture.size(), 0, writer);
    return SplitUnits(units.buffer.data(), units.sizes.data(), writer.UnitCount());
}

Packets PacketizeH263(const H263TestPicture& pic)
{
    Units units;
    H263Packetizer packetizer(1, 0);
    RtpUnitWriter writer(units.buffer.data(), units.buffer.size(), units.sizes.data(), units.sizes.size());
    packetizer.Packetize(pic.bits.data(), pic.bits.size(), 0, pic.macroblocks.data(), pic.macroblocks.size(),
                         writer);
    return SplitUnits(units.buffer.data(), units.sizes.data(), writer.UnitCount());
}

// Feeds the packets of one picture again and again, with fresh sequence numbers and times.
template <class Depacketizer> void Depacketize(benchmark::State& state, Packets packets, size_t nPictureBytes)
{
    Depacketizer depacketizer;
    AccessUnit unit;
    uint16_t seq = 0;
    uint32_t ts = 0;
    for (auto _ : state)
    {
        ts += 3000;
        for (Bytes& p : packets)
        {
            p[2] = uint8_t(seq >> 8), p[3] = uint8_t(seq), ++seq;
            p[4] = uint8_t(ts >> 24), p[5] = uint8_t(ts >> 16), p[6] = uint8_t(ts >> 8), p[7] = uint8_t(ts);
            depacketizer.Push(p.data(), p.size());
        }
        if (!depacketizer.Pop(unit)) state.SkipWithError("no picture");
        benchmark::DoNotOptimize(unit.data.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations() * nPictureBytes));
}

void BM_H264Packetize(benchmark::State& state)
{
    Bytes picture = H264Picture(state.range(0) != 0);
    Units units;
    H264Packetizer packetizer(1, 0, false);
    for (auto _ : state)
    {
        RtpUnitWriter writer(units.buffer.data(), units.buffer.size(), units.sizes.data(),
                             units.sizes.size());
        if (!packetizer.Packetize(picture.data(), picture.size(), 0, writer)) state.SkipWithError("refused");
    }
    state.SetBytesProcessed(int64_t(state.iterations() * picture.size()));
}
BENCHMARK(BM_H264Packetize)->ArgName("idr")->Arg(1)->Arg(0);

void BM_H264Depacketize(benchmark::State& state)
{
    Bytes picture = H264Picture(state.range(0) != 0);
    Depacketize<H264Depacketizer>(state, PacketizeH264(picture), picture.size());
}
BENCHMARK(BM_H264Depacketize)->ArgName("idr")->Arg(1)->Arg(0);

void BM_H263Packetize(benchmark::State& state)
{
    H263TestPicture pic = H263Picture(state.range(0) != 0);
    Units units;
    H263Packetizer packetizer(1, 0);
    for (auto _ : state)
    {
        RtpUnitWriter writer(units.buffer.data(), units.buffer.size(), units.sizes.data(),
                             units.sizes.size());
        if (!packetizer.Packetize(pic.bits.data(), pic.bits.size(), 0, pic.macroblocks.data(),
                                  pic.macroblocks.size(), writer))
            state.SkipWithError("refused");
    }
    state.SetBytesProcessed(int64_t(state.iterations() * pic.bits.size()));
}
BENCHMARK(BM_H263Packetize)->ArgName("split_group")->Arg(0)->Arg(1);

void BM_H263Depacketize(benchmark::State& state)
{
    H263TestPicture pic = H263Picture(state.range(0) != 0);
    Depacketize<H263Depacketizer>(state, PacketizeH263(pic), pic.bits.size());
}
BENCHMARK(BM_H263Depacketize)->ArgName("split_group")->Arg(0)->Arg(1);

void BM_FrontH264Stream(benchmark::State& state)
{
    Bytes stream;
    for (int i = 0; i < 30; ++i)
    {
        Bytes picture = H264Picture(i % 15 == 0);
        stream.insert(stream.end(), picture.begin(), picture.end());
    }
    constexpr size_t kBlock = 4096;
    VideoInputFront front(VideoCodec::H264);
    AccessUnit unit;
    for (auto _ : state)
    {
        for (size_t i = 0; i < stream.size(); i += kBlock)
        {
            front.Push(stream.data() + i, std::min(kBlock, stream.size() - i));
            while (front.Pop(unit))
                benchmark::DoNotOptimize(unit.data.data());
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations() * stream.size()));
}
BENCHMARK(BM_FrontH264Stream);
} // namespace

BENCHMARK_MAIN();
