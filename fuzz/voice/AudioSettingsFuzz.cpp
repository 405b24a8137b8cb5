// The 535 audio settings record as the room's voice reads it, from any bytes.
#include <cstddef>
#include <cstdint>

#include "confclient/network/QNRoomPayloads.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* p, size_t n)
{
    QNAudioSettings r;
    if (DecodeAudioSettings(p, n, r))
    {
        Bytes again;
        EncodeAudioSettings(r, again);
        if (again.size() != kAudioSettingsBytes) __builtin_trap();
    }
    return 0;
}
