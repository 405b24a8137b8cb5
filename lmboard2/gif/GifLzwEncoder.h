// Variable-length LZW coder of GIF image data (8-bit pixels), written in length-prefixed sub-blocks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <vector>

class CGifLzwEncoder
{
public:
    // Encodes the pixels and writes the sub-blocks to out, without the block terminator.
    // Returns false when the stream failed. Throws std::bad_alloc when the tables cannot be allocated.
    bool Encode(const uint8_t* pPixels, size_t nPixels, std::ostream& out);

private:
    void Emit(int nCode);
    void PutByte(uint8_t b);
    void FlushBlock();
    void ClearTable();

    static constexpr int kInitBits = 9;
    static constexpr int kMaxBits = 12;
    static constexpr int kMaxCode = 1 << kMaxBits; // 4096: no code at or above it
    static constexpr int kClearCode = 256;
    static constexpr int kEndCode = 257;
    static constexpr int kHashSize = 5003; // prime, a little above 4096

    std::vector<int32_t> m_hashKeys; // (pixel << 12) + prefix, -1 when free
    std::vector<uint16_t> m_hashCodes;
    int m_nBits = kInitBits;
    int m_nLargest = (1 << kInitBits) - 1;
    int m_nFreeCode = kEndCode + 1;
    uint32_t m_nAccum = 0;
    int m_nAccumBits = 0;
    uint8_t m_block[255] = {};
    int m_nBlockFill = 0;
    std::ostream* m_pOut = nullptr;
};
