// Test pictures: top-down RGB images and their bottom-up padded 24-bit form as the writer takes it.
#pragma once
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "lmboard2/gif/Pixels24.h"

struct Rgb
{
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Image
{
    int nWidth = 0;
    int nHeight = 0;
    std::vector<Rgb> px; // top row first
    Rgb& At(int x, int y) { return px[static_cast<size_t>(y) * nWidth + x]; }
    const Rgb& At(int x, int y) const { return px[static_cast<size_t>(y) * nWidth + x]; }
};

// Bottom-up B G R rows padded to 4 bytes; the padding holds nPad so that reading it would show.
struct Dib
{
    std::vector<uint8_t> bits;
    S_PIXELS24 pic;

    explicit Dib(const Image& img, uint8_t nPad = 0xCD)
    {
        const size_t nStride = static_cast<size_t>(Dib24Stride(img.nWidth));
        bits.assign(nStride * img.nHeight, nPad);
        for (int y = 0; y < img.nHeight; ++y)
        {
            uint8_t* row = bits.data() + nStride * (img.nHeight - 1 - y);
            for (int x = 0; x < img.nWidth; ++x)
            {
                row[x * 3] = img.At(x, y).b;
                row[x * 3 + 1] = img.At(x, y).g;
                row[x * 3 + 2] = img.At(x, y).r;
            }
        }
        pic = {bits.data(), bits.size(), img.nWidth, img.nHeight};
    }
};

// nColors colours, each in its own 5-bit cell (any value inside the cell), drawn at random positions.
inline Image DistinctCellColors(int nWidth, int nHeight, int nColors, uint32_t nSeed)
{
    std::mt19937 rng(nSeed);
    std::vector<uint32_t> cells(32768);
    for (uint32_t i = 0; i < cells.size(); ++i)
        cells[i] = i;
    std::shuffle(cells.begin(), cells.end(), rng);
    std::vector<Rgb> colors;
    for (int i = 0; i < nColors; ++i)
    {
        const uint32_t c = cells[i];
        auto inCell = [&](uint32_t v5) { return static_cast<uint8_t>(v5 * 8 + rng() % 8); };
        colors.push_back({inCell(c >> 10), inCell((c >> 5) & 31), inCell(c & 31)});
    }
    Image img{nWidth, nHeight, std::vector<Rgb>(static_cast<size_t>(nWidth) * nHeight)};
    for (size_t i = 0; i < img.px.size(); ++i)
        img.px[i] = colors[i < colors.size() ? i : rng() % colors.size()];
    std::shuffle(img.px.begin(), img.px.end(), rng);
    return img;
}

// Smooth colour ramps with a little noise, like a photograph: far more than 256 colours.
inline Image PhotoLike(int nWidth, int nHeight, uint32_t nSeed)
{
    std::mt19937 rng(nSeed);
    Image img{nWidth, nHeight, std::vector<Rgb>(static_cast<size_t>(nWidth) * nHeight)};
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
        {
            const int n = static_cast<int>(rng() % 9) - 4;
            auto ch = [&](int v) { return static_cast<uint8_t>(std::clamp(v + n, 0, 255)); };
            img.At(x, y) = {ch(x * 255 / nWidth), ch(y * 255 / nHeight),
                            ch(((x + y) * 200) / (nWidth + nHeight) + 30)};
        }
    return img;
}
