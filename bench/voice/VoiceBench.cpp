// Receiving 16 speakers at once: queue, jitter buffers, Opus decoding, mixing and levels per
// 20-ms frame, beside a bare libopus decode of the same packets.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <opus/opus.h>
#include <vector>

#include "volumora/core/VoicePacket.h"
#include "volumora/core/VoiceReceiver.h"
#include "volumora/core/VoiceSender.h"

namespace
{
constexpr int kSpeakers = 16;
constexpr int kFrames = 250; // 5 s of voice per speaker, played round

struct BenchClock : IVoiceClock
{
    VoiceMs now = 0;
    VoiceMs NowMs() const override { return now; }
};

// Each speaker's packets: a tone whose pitch and loudness wander, as a voice does.
const std::vector<std::vector<std::vector<uint8_t>>>& Packets()
{
    static const std::vector<std::vector<std::vector<uint8_t>>> s_packets = []
    {
        std::vector<std::vector<std::vector<uint8_t>>> all(kSpeakers);
        for (int s = 0; s < kSpeakers; ++s)
        {
            CVoiceSender sender(static_cast<uint16_t>(100 + s));
            sender.SetTalking(true);
            CaptureResult r;
            double phase = 0;
            for (int f = 0; f < kFrames * 2; ++f)
            {
                int16_t block[kVoiceBlockSamples];
                for (size_t k = 0; k < kVoiceBlockSamples; ++k)
                {
                    double t = (f * 160.0 + k) / kVoiceSampleRate;
                    phase += 2 * std::numbers::pi * (150 + 20 * s + 40 * std::sin(3 * t)) / kVoiceSampleRate;
                    block[k] = static_cast<int16_t>((4000 + 3000 * std::sin(5 * t + s)) * std::sin(phase));
                }
                sender.Capture(static_cast<VoiceMs>(f * 10), block, r);
                if (r.bPacket) all[s].push_back(r.packet);
            }
        }
        return all;
    }();
    return s_packets;
}

void BM_ReceiveSixteenSpeakers(benchmark::State& state)
{
    const auto& packets = Packets();
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
            packet = packets[s][nFrame % kFrames];
            // Numbering and time go on across the rounds, as a long talk's would.
            packet[4] = static_cast<uint8_t>(nFrame);
            packet[5] = static_cast<uint8_t>(nFrame >> 8);
            uint32_t dwTimestamp = nFrame * 320;
            for (int b = 0; b < 4; ++b)
                packet[6 + b] = static_cast<uint8_t>(dwTimestamp >> (8 * b));
            packet[10] = 0;
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
