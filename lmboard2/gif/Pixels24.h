// A 24-bit picture as a device-independent bitmap holds it: bottom row first, B G R, rows padded to 4 bytes.
#pragma once
#include <cstddef>
#include <cstdint>

struct S_PIXELS24
{
    const uint8_t* pBits = nullptr; // first byte of the bottom row
    size_t cbBits = 0;              // bytes available at pBits
    int nWidth = 0;
    int nHeight = 0;
};

// Bytes of one padded row; 64-bit so that the size of a large picture cannot wrap on a 32-bit build.
inline uint64_t Dib24Stride(int nWidth)
{
    return (static_cast<uint64_t>(nWidth) * 3 + 3) & ~uint64_t(3);
}
