// SEED block cipher (RFC 4269), ECB over 16-byte blocks: the payload cipher of
// conference frames. Round-key tables are 32 native words in key-schedule order.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

using SeedRoundKeys = std::array<uint32_t, 32>;

namespace SeedCipher
{
constexpr size_t kBlockSize = 16;

// Runs the key schedule over a 16-byte key.
SeedRoundKeys KeySchedule(const uint8_t key[16]);

// One block in place.
void EncryptBlock(uint8_t block[16], const SeedRoundKeys& rk);
void DecryptBlock(uint8_t block[16], const SeedRoundKeys& rk);

// Copies nLen source bytes to the target (unless they are the same buffer), then
// transforms whole blocks in place from offset 0 while the offset is below nLen.
// The target must hold RoundUp(nLen) bytes. Returns the bytes transformed (a
// multiple of 16), 0 for an empty buffer.
size_t EncryptBuffer(const uint8_t* pSrc, size_t nLen, uint8_t* pDst, const SeedRoundKeys& rk);
size_t DecryptBuffer(const uint8_t* pSrc, size_t nLen, uint8_t* pDst, const SeedRoundKeys& rk);

// Rounds up to the next multiple of 16; multiples of 16 and 0 stay as they are.
constexpr size_t RoundUp(size_t nLen)
{
    return (nLen + 15) & ~size_t(15);
}
} // namespace SeedCipher
