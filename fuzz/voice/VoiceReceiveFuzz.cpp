// Mutated sequences of voice packets through the receive path: packet reader, jitter buffers,
// Opus decoder and mixer. Each record of the input: u8 clock step, u16 length, the bytes.
#include <cstddef>
#include <cstdint>

#include "volumora/core/VoiceReceiver.h"

namespace
{
struct StepClock : IVoiceClock
{
    VoiceMs now = 0;
    VoiceMs NowMs() const override { return now; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p, size_t n)
{
    StepClock clock;
    CVoiceReceiver receiver(clock, 100);
    receiver.SetRecording(true);
    int16_t frame[kVoiceFrameSamples];
    VoiceMixEvents events;
    size_t i = 0;
    while (i + 3 <= n)
    {
        clock.now += p[i];
        size_t nLen = p[i + 1] | (p[i + 2] << 8);
        i += 3;
        nLen = nLen < n - i ? nLen : n - i;
        receiver.Queue(p + i, nLen);
        i += nLen;
        receiver.Mix(frame, events);
    }
    for (int k = 0; k < 10; ++k)
    {
        clock.now += 20;
        receiver.Mix(frame, events);
    }
    return 0;
}
