// Receiving 16 speakers at once: queue, jitter buffers, Opus decoding, mixing and levels per
// 20-ms frame, beside a bare libopus decode of the same packets.
#include <benchmark/benchmark.h>

#include <opus/opus.h>
#include <vector>

#include "bench/voice/VoicePackets.h"
#include "volumora/core/VoiceReceiver.h"

namespace
{
using namespace voicebench;

struct BenchClock : IVoiceClock
{
    VoiceMs now = 0;
    VoiceMs NowMs() const override { return now; }
};

void BM_ReceiveSixteenSpeakers(benchmark::State& state)
{
    Packets();
    BenchClock clock;
    CVoiceReceiver receiver(clock, 100);
    int16_t frame[kVoiceFrameSamples];
    VoiceMixEvents events;
    uint32_t nFrame = 0;
    std::vector<uint8_t> packet;
    for (auto _ : state)
    {
        for (int s = 0; s < kSpeakers; ++s)
        {
            NextPacket(s, nFrame, packet);
            receiver.Queue(packet.data(), packet.size());
        }
        receiver.Mix(frame, events);
        events.levels.clear();
        benchmark::DoNotOptimize(frame);
        clock.now += kVoiceFrameMs;
        ++nFrame;
    }
    state.counters["frames"] = nFrame;
}
BENCHMARK(BM_ReceiveSixteenSpeakers);

void BM_BareOpusDecodeSixteen(benchmark::State& state)
{
    const auto& all = Packets();
    std::vector<OpusDecoder*> decoders;
    for (int s = 0; s < kSpeakers; ++s)
        decoders.push_back(opus_decoder_create(kVoiceSampleRate, 1, nullptr));
    int16_t pcm[kVoiceFrameSamples];
    uint32_t nFrame = 0;
    for (auto _ : state)
    {
        for (int s = 0; s < kSpeakers; ++s)
        {
            const std::vector<uint8_t>& p = all[s][nFrame % kFrames];
            opus_decode(decoders[s], p.data() + kVoiceHeaderBytes,
                        static_cast<opus_int32>(p.size() - kVoiceHeaderBytes), pcm, kVoiceFrameSamples, 0);
            benchmark::DoNotOptimize(pcm);
        }
        ++nFrame;
    }
    for (OpusDecoder* d : decoders)
        opus_decoder_destroy(d);
}
BENCHMARK(BM_BareOpusDecodeSixteen);
} // namespace

BENCHMARK_MAIN();
