// Any picture: the written GIF must parse, and its LZW data must decode to exactly the quantiser's indices.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "lmboard2/gif/ClipToGif.h"
#include "lmboard2/gif/ColorQuantizer.h"

namespace
{
void Check(bool b)
{
    if (!b) std::abort();
}

// The image data after the descriptor: sub-blocks gathered, then variable-length LZW codes decoded.
std::vector<uint8_t> DecodeImageData(const std::string& gif, size_t at, size_t nPixels)
{
    Check(at < gif.size() && gif[at] == 8);
    ++at;
    std::vector<uint8_t> data;
    for (;;)
    {
        Check(at < gif.size());
        const size_t n = static_cast<uint8_t>(gif[at++]);
        if (!n) break;
        Check(n <= 254 && at + n <= gif.size());
        data.insert(data.end(), gif.begin() + at, gif.begin() + at + n);
        at += n;
    }
    Check(at + 1 == gif.size() && gif[at] == ';');

    std::vector<std::vector<uint8_t>> table;
    auto reset = [&]
    {
        table.assign(258, {});
        for (int i = 0; i < 256; ++i)
            table[i] = {static_cast<uint8_t>(i)};
    };
    reset();
    std::vector<uint8_t> out;
    size_t nBit = 0;
    int nBits = 9;
    int nPrev = -1;
    for (;;)
    {
        Check(nBit + nBits <= data.size() * 8);
        int nCode = 0;
        for (int i = 0; i < nBits; ++i, ++nBit)
            nCode |= ((data[nBit / 8] >> (nBit % 8)) & 1) << i;
        if (nCode == 256)
        {
            reset();
            nBits = 9;
            nPrev = -1;
            continue;
        }
        if (nCode == 257) break;
        std::vector<uint8_t> entry;
        if (nCode < static_cast<int>(table.size()) && !(nCode >= 256 && nCode < 258))
            entry = table[nCode];
        else
        {
            Check(nCode == static_cast<int>(table.size()) && nPrev >= 0);
            entry = table[nPrev];
            entry.push_back(table[nPrev][0]);
        }
        if (nPrev >= 0 && table.size() < 4096)
        {
            std::vector<uint8_t> added = table[nPrev];
            added.push_back(entry[0]);
            table.push_back(added);
        }
        out.insert(out.end(), entry.begin(), entry.end());
        Check(out.size() <= nPixels);
        nPrev = nCode;
        if (static_cast<int>(table.size()) == (1 << nBits) && nBits < 12) ++nBits;
    }
    Check((nBit + 7) / 8 == data.size()); // nothing after the end code but padding
    return out;
}
} // namespace

// First byte: width 1..256; the rest: the picture's bottom-up padded rows, as many whole rows as there are.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    const int nWidth = data[0] + 1;
    const size_t nStride = static_cast<size_t>(Dib24Stride(nWidth));
    const int nHeight = static_cast<int>((size - 1) / nStride);
    if (nHeight < 1) return 0;
    const S_PIXELS24 pic{data + 1, size - 1, nWidth, nHeight};

    std::ostringstream out;
    Check(CClipToGif().WriteGif(pic, out) == 1);
    const std::string gif = out.str();
    Check(gif.size() > 13 + 768 + 10 && gif.compare(0, 6, "GIF87a") == 0);

    CColorQuantizer q;
    std::vector<uint8_t> expected;
    q.Quantize(pic, expected);
    Check(q.ColorCount() >= 1 && q.ColorCount() <= 256);
    for (uint8_t i : expected)
        Check(i < q.ColorCount());
    Check(DecodeImageData(gif, 13 + 768 + 10, expected.size()) == expected);
    return 0;
}
