// Bitmap files read with every field checked, written as 24-bit rows; the metafile canvas.
#include "lmboard2/gif/BmpFile.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr size_t kFileHeader = 14;
constexpr uint32_t kInfoHeader = 40;
constexpr int kMaxSide = 65535;

uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void PutU16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v)
{
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}
} // namespace

std::optional<S_PICTURE24> DecodeBmpFile(const uint8_t* pData, size_t nLen)
{
    if (!pData || nLen < kFileHeader + kInfoHeader || pData[0] != 'B' || pData[1] != 'M') return std::nullopt;
    const uint32_t nOffBits = U32(pData + 10);
    const uint32_t nInfo = U32(pData + 14);
    const auto nWidth = static_cast<int32_t>(U32(pData + 18));
    const auto nRawHeight = static_cast<int32_t>(U32(pData + 22));
    const uint16_t nPlanes = U16(pData + 26);
    const uint16_t nBits = U16(pData + 28);
    const uint32_t nCompression = U32(pData + 30);
    const uint32_t nClrUsed = U32(pData + 46);

    if (nInfo < kInfoHeader || nInfo > nLen - kFileHeader || nPlanes != 1 || nCompression != 0)
        return std::nullopt;
    if (nBits != 1 && nBits != 4 && nBits != 8 && nBits != 16 && nBits != 24 && nBits != 32)
        return std::nullopt;
    // A negative height is a top-down picture; INT32_MIN has no positive twin.
    if (nWidth <= 0 || nWidth > kMaxSide || nRawHeight == 0 || nRawHeight < -kMaxSide ||
        nRawHeight > kMaxSide)
        return std::nullopt;
    const bool bTopDown = nRawHeight < 0;
    const int nHeight = bTopDown ? -nRawHeight : nRawHeight;

    // The palette sits behind the info header and before the pixels.
    uint32_t nColours = 0;
    if (nBits <= 8)
    {
        const uint32_t nMax = 1u << nBits;
        if (nClrUsed > nMax) return std::nullopt;
        nColours = nClrUsed ? nClrUsed : nMax;
    }
    const uint64_t nPaletteEnd = kFileHeader + uint64_t(nInfo) + uint64_t(nColours) * 4;
    if (nPaletteEnd > nOffBits || nOffBits > nLen) return std::nullopt;

    const uint64_t nStride = ((uint64_t(nWidth) * nBits + 31) / 32) * 4;
    if (nStride * uint64_t(nHeight) > nLen - nOffBits) return std::nullopt;
    const uint64_t nOutStride = Dib24Stride(nWidth);
    if (nOutStride * uint64_t(nHeight) > kMaxBmpPictureBytes) return std::nullopt;

    S_PICTURE24 pic;
    pic.nWidth = nWidth;
    pic.nHeight = nHeight;
    pic.bits.assign(static_cast<size_t>(nOutStride * uint64_t(nHeight)), 0);
    const uint8_t* pPalette = pData + kFileHeader + nInfo;
    for (int y = 0; y < nHeight; ++y)
    {
        // Output rows are bottom-up: row 0 is the picture's bottom row.
        const int nSourceRow = bTopDown ? nHeight - 1 - y : y;
        const uint8_t* pRow = pData + nOffBits + static_cast<size_t>(nStride * uint64_t(nSourceRow));
        uint8_t* pOut = pic.bits.data() + static_cast<size_t>(nOutStride * uint64_t(y));
        for (int x = 0; x < nWidth; ++x, pOut += 3)
        {
            switch (nBits)
            {
            case 1:
            case 4:
            case 8:
            {
                const size_t nBit = size_t(x) * nBits;
                const unsigned nShift = 8 - nBits - (nBit % 8);
                const uint32_t nIndex = (pRow[nBit / 8] >> nShift) & ((1u << nBits) - 1);
                // An index past the palette is black.
                if (nIndex < nColours) memcpy(pOut, pPalette + nIndex * 4, 3);
                break;
            }
            case 16:
            {
                const uint16_t v = U16(pRow + size_t(x) * 2);
                pOut[0] = static_cast<uint8_t>(((v & 0x1F) * 255 + 15) / 31);
                pOut[1] = static_cast<uint8_t>((((v >> 5) & 0x1F) * 255 + 15) / 31);
                pOut[2] = static_cast<uint8_t>((((v >> 10) & 0x1F) * 255 + 15) / 31);
                break;
            }
            default:
                memcpy(pOut, pRow + size_t(x) * (nBits / 8), 3);
                break;
            }
        }
    }
    return pic;
}

bool WriteBmpFile(const S_PIXELS24& pic, std::ostream& out)
{
    if (!pic.pBits || pic.nWidth <= 0 || pic.nHeight <= 0) return false;
    const uint64_t nBytes = Dib24Stride(pic.nWidth) * uint64_t(pic.nHeight);
    if (nBytes > pic.cbBits || nBytes > UINT32_MAX - kFileHeader - kInfoHeader) return false;
    uint8_t head[kFileHeader + kInfoHeader] = {};
    head[0] = 'B';
    head[1] = 'M';
    PutU32(head + 2, static_cast<uint32_t>(sizeof head + nBytes));
    PutU32(head + 10, sizeof head);
    PutU32(head + 14, kInfoHeader);
    PutU32(head + 18, static_cast<uint32_t>(pic.nWidth));
    PutU32(head + 22, static_cast<uint32_t>(pic.nHeight));
    PutU16(head + 26, 1);
    PutU16(head + 28, 24);
    PutU32(head + 34, static_cast<uint32_t>(nBytes));
    out.write(reinterpret_cast<const char*>(head), sizeof head);
    out.write(reinterpret_cast<const char*>(pic.pBits), static_cast<std::streamsize>(nBytes));
    return static_cast<bool>(out.flush());
}

MetafileCanvas MetafileCanvasFor(int32_t frameLeft, int32_t frameTop, int32_t frameRight, int32_t frameBottom,
                                 int nDpiX, int nDpiY, int nMinWidth, int nMinHeight)
{
    auto px = [](int32_t v, int nDpi) { return static_cast<int>(int64_t(v) * nDpi / 2540); };
    MetafileCanvas c;
    c.left = px(frameLeft, nDpiX) + 30;
    c.top = px(frameTop, nDpiY) + 30;
    c.right = px(frameRight, nDpiX) + 30;
    c.bottom = px(frameBottom, nDpiY) + 30;
    c.nWidth = std::clamp(std::max(nMinWidth, c.right + 30), 1, kMaxSide);
    c.nHeight = std::clamp(std::max(nMinHeight, c.bottom + 30), 1, kMaxSide);
    return c;
}
