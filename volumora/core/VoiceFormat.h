// The voice engine's fixed audio format: 16 kHz mono 16-bit, 20-ms codec frames, 10-ms device blocks.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int kVoiceSampleRate = 16000;
constexpr uint32_t kVoiceFrameMs = 20;
constexpr size_t kVoiceFrameSamples = 320;
constexpr size_t kVoiceBlockSamples = 160;
// Recorders take two frames at a time: 640 samples, 1280 bytes.
constexpr size_t kVoiceRecordSamples = 640;
// Own-clock time of the engine in milliseconds; wraps after 49 days, compared by difference.
using VoiceMs = uint32_t;

// The clock every arrival and tick of the engine is measured on.
class IVoiceClock
{
public:
    virtual ~IVoiceClock() = default;
    // Milliseconds on one monotonic clock; callable from any thread.
    virtual VoiceMs NowMs() const = 0;
};
