// The voice benchmarks' input: 16 speakers' packets, made once by the engine's own sender from
// tones whose pitch and loudness wander as a voice's do, and restamped as a long talk goes on.
#pragma once
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "volumora/core/VoicePacket.h"
#include "volumora/core/VoiceSender.h"

namespace voicebench
{
constexpr int kSpeakers = 16;
constexpr int kFrames = 250; // 5 s of voice per speaker, played round

using SpeakerPackets = std::vector<std::vector<uint8_t>>;

inline const std::vector<SpeakerPackets>& Packets()
{
    static const std::vector<SpeakerPackets> s_packets = []
    {
        std::vector<SpeakerPackets> all(kSpeakers);
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

// Speaker s's packet of frame nFrame: numbering and time go on across the rounds.
inline void NextPacket(int s, uint32_t nFrame, std::vector<uint8_t>& packet)
{
    packet = Packets()[s][nFrame % kFrames];
    packet[4] = static_cast<uint8_t>(nFrame);
    packet[5] = static_cast<uint8_t>(nFrame >> 8);
    uint32_t dwTimestamp = nFrame * 320;
    for (int b = 0; b < 4; ++b)
        packet[6 + b] = static_cast<uint8_t>(dwTimestamp >> (8 * b));
    packet[10] = 0;
}
} // namespace voicebench
