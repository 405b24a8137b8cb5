// Receiving 16 speakers inside VOLumora.dll under Wine: the exported client takes each 20-ms
// frame's 16 packets (the receive thread's work) and mixes them on clocked fake devices, for
// 60 s of voice; beside it, in the same run, a bare libopus decode of the same packets. Prints
// each one's CPU time per frame (median of five runs) and the share of one core.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <opus/opus.h>
#include <vector>

#include "bench/voice/VoicePackets.h"
#include "volumora/client/VoiceClient.h"
#include "volumora/core/FakeVoiceDevice.h"

namespace
{
using namespace voicebench;
constexpr uint32_t kBenchFrames = 3000; // 60 s
constexpr int kRuns = 5;

double ThreadCpuMs()
{
    FILETIME created, ended, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user);
    auto ms = [](const FILETIME& f)
    { return double((uint64_t(f.dwHighDateTime) << 32) | f.dwLowDateTime) / 1e4; };
    return ms(kernel) + ms(user);
}

struct QuietClient : CVoiceClient
{
    using CVoiceClient::CVoiceClient;
    ~QuietClient() override { Shutdown(); }
};

// CPU per frame of the client in the library: queue the frame's packets, then two 10-ms steps
// of the devices, in which the engine mixes.
double EngineFrameUs()
{
    CFakeVoiceDeviceFactory devices;
    QuietClient client(devices);
    if (client.InitVoice(1, kVoiceMicAbsent, nullptr, 100, 30) != 1) return -1;
    std::vector<uint8_t> packet;
    int16_t silence[kVoiceBlockSamples] = {};
    double t0 = ThreadCpuMs();
    for (uint32_t f = 0; f < kBenchFrames; ++f)
    {
        for (int s = 0; s < kSpeakers; ++s)
        {
            NextPacket(s, f, packet);
            client.OnRecvVoice(packet.data(), static_cast<int>(packet.size()));
        }
        for (int b = 0; b < 2; ++b)
        {
            devices.clock.Advance(10);
            devices.pLast->Step(silence);
        }
    }
    return (ThreadCpuMs() - t0) * 1000 / kBenchFrames;
}

double BareDecodeFrameUs()
{
    std::vector<OpusDecoder*> decoders;
    for (int s = 0; s < kSpeakers; ++s)
        decoders.push_back(opus_decoder_create(kVoiceSampleRate, 1, nullptr));
    int16_t pcm[kVoiceFrameSamples];
    int64_t nDecoded = 0;
    double t0 = ThreadCpuMs();
    for (uint32_t f = 0; f < kBenchFrames; ++f)
        for (int s = 0; s < kSpeakers; ++s)
        {
            const std::vector<uint8_t>& p = Packets()[s][f % kFrames];
            nDecoded += opus_decode(decoders[s], p.data() + kVoiceHeaderBytes,
                                    static_cast<opus_int32>(p.size() - kVoiceHeaderBytes), pcm,
                                    kVoiceFrameSamples, 0);
        }
    if (nDecoded != int64_t(kBenchFrames) * kSpeakers * kVoiceFrameSamples) return -1;
    double us = (ThreadCpuMs() - t0) * 1000 / kBenchFrames;
    for (OpusDecoder* d : decoders)
        opus_decoder_destroy(d);
    return us;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main()
{
    Packets();
    std::vector<double> engine, bare;
    for (int r = 0; r < kRuns; ++r)
    {
        engine.push_back(EngineFrameUs());
        bare.push_back(BareDecodeFrameUs());
    }
    if (Median(engine) < 0)
    {
        std::fprintf(stderr, "the client did not start on the fake devices\n");
        return 1;
    }
    std::printf("16 speakers, %u frames of 20 ms, median of %d runs (CPU time per frame):\n", kBenchFrames,
                kRuns);
    std::printf("  VOLumora.dll client: %.0f us, %.2f %% of one core\n", Median(engine),
                Median(engine) / 200);
    std::printf("  bare libopus decode: %.0f us, %.2f %% of one core\n", Median(bare), Median(bare) / 200);
    std::printf("  client / bare: %.2f x\n", Median(engine) / Median(bare));
    return 0;
}
