// The test camera's pictures from the stamped pattern.
#include "tests/lmvideo_send/CameraFrames.h"

#include "lmvideo/fixtures/StampedPattern.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
constexpr int kPatternWidth = kStampBits * kStampBlock;

uint8_t Clamp(double value)
{
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}
} // namespace

bool MakeCameraPlanar(uint32_t nFrame, int nWidth, int nHeight, std::vector<uint8_t>& out)
{
    if (nWidth <= 0 || nWidth % 2 || nHeight % 2) return false;
    out.resize(PatternBytes(nWidth, nHeight));
    if (nWidth >= kPatternWidth) return MakeStampedPattern(nFrame, nWidth, nHeight, out.data());
    std::vector<uint8_t> full(PatternBytes(kPatternWidth, nHeight));
    if (!MakeStampedPattern(nFrame, kPatternWidth, nHeight, full.data())) return false;
    const int nSkip = kPatternWidth - nWidth;
    uint8_t* pOut = out.data();
    const uint8_t* pIn = full.data();
    for (int row = 0; row < nHeight; ++row, pOut += nWidth, pIn += kPatternWidth)
        memcpy(pOut, pIn + nSkip, static_cast<size_t>(nWidth));
    for (int plane = 0; plane < 2; ++plane)
        for (int row = 0; row < nHeight / 2; ++row, pOut += nWidth / 2, pIn += kPatternWidth / 2)
            memcpy(pOut, pIn + nSkip / 2, static_cast<size_t>(nWidth / 2));
    return true;
}

bool MakeCameraFrame(ECameraFormat format, uint32_t nFrame, int nWidth, int nHeight,
                     std::vector<uint8_t>& out)
{
    std::vector<uint8_t> planar;
    if (!MakeCameraPlanar(nFrame, nWidth, nHeight, planar)) return false;
    if (format == ECameraFormat::I420)
    {
        out = std::move(planar);
        return true;
    }
    const uint8_t* y = planar.data();
    const uint8_t* u = y + static_cast<size_t>(nWidth) * nHeight;
    const uint8_t* v = u + static_cast<size_t>(nWidth / 2) * (nHeight / 2);
    auto At = [&](const uint8_t* plane, int x, int row) { return plane[(row / 2) * (nWidth / 2) + x / 2]; };
    if (format == ECameraFormat::YUY2)
    {
        out.resize(static_cast<size_t>(nWidth) * nHeight * 2);
        for (int row = 0; row < nHeight; ++row)
            for (int x = 0; x < nWidth; x += 2)
            {
                uint8_t* p = &out[(static_cast<size_t>(row) * nWidth + x) * 2];
                p[0] = y[row * nWidth + x];
                p[1] = At(u, x, row);
                p[2] = y[row * nWidth + x + 1];
                p[3] = At(v, x, row);
            }
        return true;
    }
    if (format != ECameraFormat::RGB24) return false;
    // Limited-range BT.601, as the pattern is coded.
    out.resize(static_cast<size_t>(nWidth) * nHeight * 3);
    for (int row = 0; row < nHeight; ++row)
        for (int x = 0; x < nWidth; ++x)
        {
            const double c = 1.164 * (y[row * nWidth + x] - 16), d = At(u, x, row) - 128.0,
                         e = At(v, x, row) - 128.0;
            uint8_t* p = &out[(static_cast<size_t>(nHeight - 1 - row) * nWidth + x) * 3];
            p[0] = Clamp(c + 2.017 * d);
            p[1] = Clamp(c - 0.392 * d - 0.813 * e);
            p[2] = Clamp(c + 1.596 * e);
        }
    return true;
}

int32_t ReadCameraStamp(const uint8_t* pLuma, int nWidth, int nHeight)
{
    if (nWidth >= kPatternWidth) return ReadPatternStamp(pLuma, nWidth, nHeight);
    if (nHeight < kStampBlock) return -1;
    const int nSkip = kPatternWidth - nWidth;
    int32_t nFrame = 0;
    for (int bit = (nSkip + kStampBlock - 1) / kStampBlock; bit < kStampBits; ++bit)
    {
        const uint8_t level = pLuma[static_cast<size_t>(kStampBlock / 2) * nWidth + bit * kStampBlock -
                                    nSkip + kStampBlock / 2];
        if (level > 180)
            nFrame |= 1 << (kStampBits - 1 - bit);
        else if (level > 70)
            return -1;
    }
    return nFrame;
}
