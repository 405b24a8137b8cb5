// Where an encoder writes its RTP units: the host's buffer and output record, checked.
#pragma once
#include <cstdint>

#include "confclient/library/LMVideoCodecs.h"
#include "lmvideo/rtp/RtpUnitWriter.h"

// Frames per second and bits per second an encoder accepts.
inline constexpr int32_t kMaxFrameRate = 120;
inline constexpr int32_t kMaxBitRate = 100'000'000;

// A writer over the host's buffer and the record's unit sizes; the record is cleared.
inline RtpUnitWriter UnitsInto(uint8_t* pOutput, int32_t nCapacity, S_ENCODEROUTPUT& result)
{
    result.nCount = 0;
    result.bKeyFrame = 0;
    return RtpUnitWriter(pOutput, nCapacity > 0 ? static_cast<size_t>(nCapacity) : 0, result.nSizes,
                         LM_MAX_ENCODED_UNITS);
}
