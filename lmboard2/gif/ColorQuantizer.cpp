// Colour tree quantiser: 5-bit cells merged smallest first up a six-level tree, then error-diffused mapping.
#include "lmboard2/gif/ColorQuantizer.h"

#include <algorithm>

namespace
{
constexpr int kLevels = 6; // depth 0 (root) to depth 5 (the 32768 cells)
constexpr uint32_t kLevelStart[kLevels] = {0, 1, 9, 73, 585, 4681};
constexpr uint32_t kNodeCount = 4681 + 32768;
constexpr uint32_t kCellCount = 32768;
constexpr size_t kMaxColors = 256;
constexpr int kMaxError = 20; // error carried on, per channel

// Spreads a 5-bit channel value over every third bit, starting at bit nShift.
constexpr uint32_t Spread(uint32_t v, int nShift)
{
    uint32_t out = 0;
    for (int bit = 0; bit < 5; ++bit)
        out |= ((v >> bit) & 1u) << (bit * 3 + nShift);
    return out;
}

struct SpreadTables
{
    uint32_t r[32], g[32], b[32];
    constexpr SpreadTables() : r(), g(), b()
    {
        for (uint32_t v = 0; v < 32; ++v)
        {
            r[v] = Spread(v, 2);
            g[v] = Spread(v, 1);
            b[v] = Spread(v, 0);
        }
    }
};
constexpr SpreadTables kSpread;

// The 15-bit cell of a colour: top bits of red, green and blue interleaved, most significant first.
inline uint32_t CellOf(int r, int g, int b)
{
    return kSpread.r[r >> 3] | kSpread.g[g >> 3] | kSpread.b[b >> 3];
}

// Channel value (0..31) of a cell, for the channel whose bits start at nShift.
inline int Gather(uint32_t nCell, int nShift)
{
    int v = 0;
    for (int bit = 0; bit < 5; ++bit)
        v |= static_cast<int>((nCell >> (bit * 3 + nShift)) & 1u) << bit;
    return v;
}

struct Squares
{
    int v[511];
    constexpr Squares() : v()
    {
        for (int d = -255; d <= 255; ++d)
            v[d + 255] = d * d;
    }
    int operator()(int d) const { return v[d + 255]; }
};
constexpr Squares kSquare;

inline uint8_t Mean(uint64_t nSum, uint64_t nCount)
{
    return static_cast<uint8_t>((nSum + nCount / 2) / nCount);
}
} // namespace

void CColorQuantizer::Quantize(const S_PIXELS24& pic, std::vector<uint8_t>& indices)
{
    m_palette = {};
    m_nColors = 0;
    m_nodes.assign(kNodeCount, Node{});
    CountPixels(pic);
    ReduceTo256();
    AssignPalette(0, 0);
    MapPixels(pic, indices);
    // The tables are only needed for one picture: give their memory back.
    std::vector<Node>().swap(m_nodes);
    std::vector<uint32_t>().swap(m_heap);
    std::vector<int16_t>().swap(m_cellCache);
}

void CColorQuantizer::CountPixels(const S_PIXELS24& pic)
{
    const uint64_t nStride = Dib24Stride(pic.nWidth);
    for (int y = 0; y < pic.nHeight; ++y)
    {
        const uint8_t* p = pic.pBits + static_cast<size_t>(nStride * static_cast<uint64_t>(y));
        for (int x = 0; x < pic.nWidth; ++x, p += 3)
        {
            Node& cell = m_nodes[kLevelStart[5] + CellOf(p[2], p[1], p[0])];
            ++cell.nCount;
            cell.nSumB += p[0];
            cell.nSumG += p[1];
            cell.nSumR += p[2];
        }
    }

    // Every cell that holds pixels is a leaf; its count goes up the tree and marks the path.
    m_heap.clear();
    m_heap.reserve(kCellCount + 1);
    for (uint32_t nCell = 0; nCell < kCellCount; ++nCell)
    {
        Node& cell = m_nodes[kLevelStart[5] + nCell];
        if (!cell.nCount) continue;
        cell.nTotal = cell.nCount;
        m_heap.push_back(kLevelStart[5] + nCell);
        uint32_t n = nCell;
        for (int d = 5; d > 0; --d)
        {
            Node& parent = m_nodes[kLevelStart[d - 1] + (n >> 3)];
            parent.nTotal += cell.nCount;
            parent.bMask |= static_cast<uint8_t>(1u << (n & 7));
            n >>= 3;
        }
    }
}

void CColorQuantizer::SiftDown(size_t i)
{
    const size_t nSize = m_heap.size();
    const uint32_t nItem = m_heap[i];
    const uint64_t nKey = m_nodes[nItem].nTotal;
    for (;;)
    {
        size_t c = 2 * i + 1;
        if (c >= nSize) break;
        if (c + 1 < nSize && m_nodes[m_heap[c + 1]].nTotal < m_nodes[m_heap[c]].nTotal) ++c;
        if (m_nodes[m_heap[c]].nTotal >= nKey) break;
        m_heap[i] = m_heap[c];
        i = c;
    }
    m_heap[i] = nItem;
}

// Folds the smallest leaf into its parent until 256 leaves remain. A node's key is the pixel count of its
// whole subtree, which is larger than any child's, so a node only leaves the heap after all its children.
void CColorQuantizer::ReduceTo256()
{
    for (size_t i = m_heap.size() / 2; i-- > 0;)
        SiftDown(i);

    while (m_heap.size() > kMaxColors)
    {
        const uint32_t nLeaf = m_heap[0];
        int nDepth = kLevels - 1;
        while (nLeaf < kLevelStart[nDepth])
            --nDepth;
        if (nDepth == 0) break; // the root cannot be folded further
        const uint32_t n = nLeaf - kLevelStart[nDepth];
        const uint32_t nParent = kLevelStart[nDepth - 1] + (n >> 3);
        Node& leaf = m_nodes[nLeaf];
        Node& parent = m_nodes[nParent];
        const bool bParentWasLeaf = parent.nCount != 0;
        parent.nCount += leaf.nCount;
        parent.nSumR += leaf.nSumR;
        parent.nSumG += leaf.nSumG;
        parent.nSumB += leaf.nSumB;
        parent.bMask &= static_cast<uint8_t>(~(1u << (n & 7)));
        leaf = Node{};
        if (bParentWasLeaf)
        {
            m_heap[0] = m_heap.back();
            m_heap.pop_back();
        }
        else
            m_heap[0] = nParent;
        if (!m_heap.empty()) SiftDown(0);
    }
}

// Depth first, children from bit 7 down to bit 0 before the node itself.
void CColorQuantizer::AssignPalette(uint32_t nNode, int nDepth)
{
    Node& node = m_nodes[nNode];
    if (nDepth < kLevels - 1)
    {
        const uint32_t nFirstChild = kLevelStart[nDepth + 1] + ((nNode - kLevelStart[nDepth]) << 3);
        for (int bit = 7; bit >= 0; --bit)
            if (node.bMask & (1u << bit)) AssignPalette(nFirstChild + static_cast<uint32_t>(bit), nDepth + 1);
    }
    if (node.nCount && m_nColors < static_cast<int>(kMaxColors))
    {
        node.nIndex = static_cast<uint8_t>(m_nColors);
        m_palette[m_nColors] = {Mean(node.nSumR, node.nCount), Mean(node.nSumG, node.nCount),
                                Mean(node.nSumB, node.nCount)};
        ++m_nColors;
    }
}

// The palette entry for every colour of a cell. A cell that kept its own entry maps to it, so a colour the
// palette holds exactly is never replaced by a neighbour; other cells take the entry nearest to their
// centre, the first of equal distances winning.
uint8_t CColorQuantizer::CellColor(uint32_t nCell)
{
    int16_t& cached = m_cellCache[nCell];
    if (cached >= 0) return static_cast<uint8_t>(cached);
    const Node& cell = m_nodes[kLevelStart[5] + nCell];
    int nBest = 0;
    if (cell.nCount)
        nBest = cell.nIndex;
    else
    {
        const int r = Gather(nCell, 2) * 8 + 4;
        const int g = Gather(nCell, 1) * 8 + 4;
        const int b = Gather(nCell, 0) * 8 + 4;
        int nBestDist = 3 * 255 * 255 + 1;
        for (int i = 0; i < m_nColors; ++i)
        {
            const int nDist =
                kSquare(r - m_palette[i].r) + kSquare(g - m_palette[i].g) + kSquare(b - m_palette[i].b);
            if (nDist < nBestDist)
            {
                nBestDist = nDist;
                nBest = i;
            }
        }
    }
    cached = static_cast<int16_t>(nBest);
    return static_cast<uint8_t>(nBest);
}

// Serpentine rows from the top: each channel gets half the error carried from the previous pixel and from
// the pixel above, and passes its own error (limited to +-20) on to both.
void CColorQuantizer::MapPixels(const S_PIXELS24& pic, std::vector<uint8_t>& indices)
{
    const size_t nWidth = static_cast<size_t>(pic.nWidth);
    const uint64_t nStride = Dib24Stride(pic.nWidth);
    indices.resize(nWidth * static_cast<size_t>(pic.nHeight));
    m_cellCache.assign(kCellCount, -1);
    std::vector<int> rowError(nWidth * 3, 0);

    for (int y = 0; y < pic.nHeight; ++y)
    {
        const uint8_t* pRow =
            pic.pBits + static_cast<size_t>(nStride * static_cast<uint64_t>(pic.nHeight - 1 - y));
        uint8_t* pOut = indices.data() + nWidth * static_cast<size_t>(y);
        const bool bForward = (y & 1) == 0;
        int prev[3] = {0, 0, 0};
        for (size_t i = 0; i < nWidth; ++i)
        {
            const size_t x = bForward ? i : nWidth - 1 - i;
            const uint8_t* p = pRow + x * 3;
            int* above = &rowError[x * 3];
            const int want[3] = {std::clamp(p[2] + (prev[0] + above[0]) / 2, 0, 255),
                                 std::clamp(p[1] + (prev[1] + above[1]) / 2, 0, 255),
                                 std::clamp(p[0] + (prev[2] + above[2]) / 2, 0, 255)};
            const uint8_t nIndex = CellColor(CellOf(want[0], want[1], want[2]));
            pOut[x] = nIndex;
            const S_PALETTE_RGB& got = m_palette[nIndex];
            const int have[3] = {got.r, got.g, got.b};
            for (int c = 0; c < 3; ++c)
            {
                prev[c] = std::clamp(want[c] - have[c], -kMaxError, kMaxError);
                above[c] = prev[c];
            }
        }
    }
}
