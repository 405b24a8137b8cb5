// Reduces a 24-bit picture to 256 colours with a six-level colour tree and maps it with error diffusion.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "lmboard2/gif/Pixels24.h"

struct S_PALETTE_RGB
{
    uint8_t r = 0, g = 0, b = 0;
};

class CColorQuantizer
{
public:
    // Builds the palette from the picture and maps every pixel to it. The indices come out top row
    // first, nWidth per row, unpadded. The picture must be valid (size checked by the caller).
    // Throws std::bad_alloc when a table cannot be allocated.
    void Quantize(const S_PIXELS24& pic, std::vector<uint8_t>& indices);

    // The palette of the last Quantize; entries past ColorCount() are black.
    const std::array<S_PALETTE_RGB, 256>& Palette() const { return m_palette; }
    int ColorCount() const { return m_nColors; }

private:
    struct Node
    {
        uint64_t nTotal = 0; // pixels in the whole subtree, fixed once counted: the heap key
        uint64_t nCount = 0; // pixels this node holds itself (its own and merged children)
        uint64_t nSumR = 0, nSumG = 0, nSumB = 0;
        uint8_t bMask = 0;  // children that still hold pixels
        uint8_t nIndex = 0; // palette index once assigned
    };

    void CountPixels(const S_PIXELS24& pic);
    void ReduceTo256();
    void AssignPalette(uint32_t nNode, int nDepth);
    void MapPixels(const S_PIXELS24& pic, std::vector<uint8_t>& indices);
    uint8_t CellColor(uint32_t nCell);
    void SiftDown(size_t i);

    std::vector<Node> m_nodes;
    std::vector<uint32_t> m_heap;
    std::vector<int16_t> m_cellCache;
    std::array<S_PALETTE_RGB, 256> m_palette{};
    int m_nColors = 0;
};
