// Writes a decoded frame into a caller's buffer as packed planar 4:2:0 (Y, U, V back to back).
#pragma once
#include <cstdint>

#include "lmvideo/codecs/CodecError.h"

struct AVFrame;
struct SwsContext;

class PlanarCopy : public CodecError
{
public:
    PlanarCopy() = default;
    ~PlanarCopy();
    PlanarCopy(const PlanarCopy&) = delete;
    PlanarCopy& operator=(const PlanarCopy&) = delete;

    // Bytes of a packed 4:2:0 picture of the frame's size.
    static int64_t PackedBytes(const AVFrame& frame);
    // Copies the planes of a 4:2:0 frame, or converts another layout to 4:2:0 of the same
    // range. False when nCapacity is short (LM_E_BUFFERTOOSMALL) or the conversion fails.
    bool Write(const AVFrame& frame, uint8_t* pOutput, int64_t nCapacity);

private:
    SwsContext* m_pConverter = nullptr;
};
