// Conversion against the ffmpeg command line's, flips, and the checks of what hosts pass.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "CodecFixtures.h"
#include "confclient/library/LMPixelFormat.h"
#include "lmvideo/codecs/PictureConverter.h"
#include "lmvideo/codecs/PictureFlipper.h"
#include "lmvideo/fixtures/StampedPattern.h"

namespace
{
struct FormatCase
{
    const wchar_t* szFormat;
    const char* szCliName;
    int bytesPerPixel;
};

const FormatCase kFormats[] = {
    {LM_FMT_RGB24, "bgr24", 3},     {LM_FMT_RGB32, "bgra", 4},   {LM_FMT_RGB555, "rgb555le", 2},
    {LM_FMT_RGB565, "rgb565le", 2}, {LM_FMT_YUY2, "yuyv422", 2}, {LM_FMT_UYVY, "uyvy422", 2},
};

// The channels of a 16-bit pixel, each in its own units.
void Channels16(const uint8_t* p, bool b565, int out[3])
{
    const int v = p[0] | p[1] << 8;
    out[0] = v & 0x1F;
    out[1] = b565 ? (v >> 5) & 0x3F : (v >> 5) & 0x1F;
    out[2] = b565 ? v >> 11 : (v >> 10) & 0x1F;
}

// Largest difference of any channel between two pictures of a format.
int MaxChannelDifference(const FormatCase& format, const Bytes& a, const Bytes& b)
{
    int worst = 0;
    if (format.bytesPerPixel == 2 && std::wcsncmp(format.szFormat, L"16RGB", 5) == 0)
    {
        const bool b565 = std::wcscmp(format.szFormat, LM_FMT_RGB565) == 0;
        for (size_t i = 0; i + 1 < a.size(); i += 2)
        {
            int ca[3], cb[3];
            Channels16(&a[i], b565, ca);
            Channels16(&b[i], b565, cb);
            for (int c = 0; c < 3; ++c)
                worst = std::max(worst, std::abs(ca[c] - cb[c]));
        }
        return worst;
    }
    for (size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
    return worst;
}

Bytes RowsReversed(const Bytes& picture, int rowBytes)
{
    Bytes out(picture.size());
    const size_t rows = picture.size() / rowBytes;
    for (size_t r = 0; r < rows; ++r)
        std::memcpy(&out[r * rowBytes], &picture[(rows - 1 - r) * rowBytes], rowBytes);
    return out;
}
} // namespace

TEST(PictureConverter, MatchesTheCommandLineWithinOneAndWritesBottomUp)
{
    const Bytes source = ReadFixture("cif-1.yuv");
    ASSERT_EQ(source.size(), kCifBytes);
    PictureConverter converter;
    for (const FormatCase& format : kFormats)
    {
        SCOPED_TRACE(format.szCliName);
        const Bytes expected = ReadFixture(std::string("cif-1.") + format.szCliName);
        Bytes upright(expected.size()), flipped(expected.size());
        const S_LMPICTURE from{kCifWidth, kCifHeight, LM_FMT_YUV420, 0};
        ASSERT_TRUE(converter.Convert(source.data(), static_cast<int32_t>(source.size()), from,
                                      upright.data(), static_cast<int32_t>(upright.size()),
                                      {kCifWidth, kCifHeight, format.szFormat, 0}, true));
        EXPECT_LE(MaxChannelDifference(format, upright, expected), 1);
        ASSERT_TRUE(converter.Convert(source.data(), static_cast<int32_t>(source.size()), from,
                                      flipped.data(), static_cast<int32_t>(flipped.size()),
                                      {kCifWidth, -kCifHeight, format.szFormat, 0}, true));
        EXPECT_EQ(flipped, RowsReversed(upright, kCifWidth * format.bytesPerPixel));
    }
}

TEST(PictureConverter, ResizesAndBackToPlanar)
{
    Bytes source(PatternBytes(kCifWidth, kCifHeight)), small(176 * 144 * 4), back(PatternBytes(176, 144));
    ASSERT_TRUE(MakeStampedPattern(0x2A5, kCifWidth, kCifHeight, source.data()));
    PictureConverter converter;
    ASSERT_TRUE(converter.Convert(source.data(), static_cast<int32_t>(source.size()),
                                  {kCifWidth, kCifHeight, LM_FMT_YUV420, 0}, small.data(),
                                  static_cast<int32_t>(small.size()), {176, 144, LM_FMT_RGB32, 0}, false));
    ASSERT_TRUE(converter.Convert(small.data(), static_cast<int32_t>(small.size()),
                                  {176, 144, LM_FMT_RGB32, 0}, back.data(), static_cast<int32_t>(back.size()),
                                  {176, 144, LM_FMT_YUV420, 0}, true));
    // Half size: the stamp's blocks are 8 pixels now, so read it from a doubled-up copy.
    Bytes luma(kCifWidth * kCifHeight);
    for (int y = 0; y < kCifHeight; ++y)
        for (int x = 0; x < kCifWidth; ++x)
            luma[y * kCifWidth + x] = back[(y / 2) * 176 + x / 2];
    EXPECT_EQ(ReadPatternStamp(luma.data(), kCifWidth, kCifHeight), 0x2A5);
    // Same size asked for, different sizes given.
    EXPECT_FALSE(converter.Convert(source.data(), static_cast<int32_t>(source.size()),
                                   {kCifWidth, kCifHeight, LM_FMT_YUV420, 0}, small.data(),
                                   static_cast<int32_t>(small.size()), {176, 144, LM_FMT_RGB32, 0}, true));
    EXPECT_EQ(converter.ErrorCode(), kCodecInvalidArgument);
}

TEST(PictureFlipper, TwiceIsIdentityAndOnceTurnsOrMirrors)
{
    const Bytes planar = ReadFixture("cif-1.yuv");
    PictureConverter converter;
    PictureFlipper flipper;
    for (const FormatCase& format : kFormats)
    {
        SCOPED_TRACE(format.szCliName);
        Bytes picture(static_cast<size_t>(kCifWidth) * kCifHeight * format.bytesPerPixel);
        ASSERT_TRUE(converter.Convert(planar.data(), static_cast<int32_t>(planar.size()),
                                      {kCifWidth, kCifHeight, LM_FMT_YUV420, 0}, picture.data(),
                                      static_cast<int32_t>(picture.size()),
                                      {kCifWidth, kCifHeight, format.szFormat, 0}, true));
        const int32_t n = static_cast<int32_t>(picture.size());
        Bytes once(picture.size()), twice(picture.size());
        const S_LMPICTURE up{kCifWidth, kCifHeight, format.szFormat, 0};
        ASSERT_TRUE(flipper.Flip(picture.data(), n, up, once.data(), n,
                                 {kCifWidth, -kCifHeight, format.szFormat, 0}));
        EXPECT_EQ(once, RowsReversed(picture, kCifWidth * format.bytesPerPixel));
        ASSERT_TRUE(
            flipper.Flip(once.data(), n, {kCifWidth, -kCifHeight, format.szFormat, 0}, twice.data(), n, up));
        EXPECT_EQ(twice, picture);
        // Mirrored twice, by pixel or by macropixel.
        ASSERT_TRUE(flipper.Flip(picture.data(), n, up, once.data(), n,
                                 {-kCifWidth, kCifHeight, format.szFormat, 0}));
        EXPECT_NE(once, picture);
        ASSERT_TRUE(
            flipper.Flip(once.data(), n, {-kCifWidth, kCifHeight, format.szFormat, 0}, twice.data(), n, up));
        EXPECT_EQ(twice, picture);
    }
    // Planar 4:2:0 plane by plane.
    Bytes once(planar.size()), twice(planar.size());
    const int32_t n = static_cast<int32_t>(planar.size());
    const S_LMPICTURE up{kCifWidth, kCifHeight, LM_FMT_YUV420, 0},
        down{kCifWidth, -kCifHeight, LM_FMT_YUV420, 0};
    ASSERT_TRUE(flipper.Flip(planar.data(), n, up, once.data(), n, down));
    EXPECT_EQ(0, std::memcmp(once.data(), planar.data() + (kCifHeight - 1) * kCifWidth, kCifWidth));
    EXPECT_EQ(0, std::memcmp(once.data() + kCifWidth * kCifHeight,
                             planar.data() + kCifWidth * kCifHeight + (kCifHeight / 2 - 1) * kCifWidth / 2,
                             kCifWidth / 2));
    ASSERT_TRUE(flipper.Flip(once.data(), n, down, twice.data(), n, up));
    EXPECT_EQ(twice, planar);
}

TEST(PictureFlipper, MirrorsYuy2ByMacropixel)
{
    // Two macropixels: Y0 U Y1 V | Y2 U' Y3 V'.
    const uint8_t row[8] = {1, 100, 2, 200, 3, 101, 4, 201};
    uint8_t out[8] = {};
    PictureFlipper flipper;
    ASSERT_TRUE(flipper.Flip(row, 8, {4, 1, LM_FMT_YUY2, 0}, out, 8, {-4, 1, LM_FMT_YUY2, 0}));
    const uint8_t expected[8] = {4, 101, 3, 201, 2, 100, 1, 200};
    EXPECT_EQ(0, std::memcmp(out, expected, 8));
}

TEST(PictureChecks, RefuseWhatDoesNotFit)
{
    Bytes buffer(kCifBytes * 4);
    const int32_t full = static_cast<int32_t>(buffer.size());
    struct Case
    {
        const char* szWhy;
        S_LMPICTURE source;
        int32_t nSourceBytes;
        S_LMPICTURE target;
    };
    const S_LMPICTURE cif{kCifWidth, kCifHeight, LM_FMT_YUV420, 0};
    const Case cases[] = {
        {"zero width", {0, kCifHeight, LM_FMT_YUV420, 0}, full, cif},
        {"zero height target", cif, full, {kCifWidth, 0, LM_FMT_RGB24, 0}},
        {"odd planar size", {kCifWidth, 287, LM_FMT_YUV420, 0}, full, cif},
        {"odd YUY2 width", {351, kCifHeight, LM_FMT_YUY2, 0}, full, {351, kCifHeight, LM_FMT_YUY2, 0}},
        {"short source", cif, static_cast<int32_t>(kCifBytes) - 1, {kCifWidth, kCifHeight, LM_FMT_RGB24, 0}},
        {"unknown format", {kCifWidth, kCifHeight, L"24BGR", 0}, full, cif},
        {"no format", {kCifWidth, kCifHeight, nullptr, 0}, full, cif},
        {"no usable format", {kCifWidth, kCifHeight, LM_FMT_NONE, 0}, full, cif},
        {"huge", {100000, 100000, LM_FMT_RGB32, 0}, full, cif},
    };
    PictureConverter converter;
    PictureFlipper flipper;
    Bytes target(buffer.size());
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szWhy);
        EXPECT_FALSE(
            converter.Convert(buffer.data(), c.nSourceBytes, c.source, target.data(), full, c.target, false));
        EXPECT_EQ(converter.ErrorCode(), kCodecInvalidArgument);
        EXPECT_FALSE(flipper.Flip(buffer.data(), c.nSourceBytes, c.source, target.data(), full, c.target));
        EXPECT_EQ(flipper.ErrorCode(), kCodecInvalidArgument);
    }
    // A target short by one byte, and a null source.
    EXPECT_FALSE(converter.Convert(buffer.data(), full, cif, target.data(), kCifWidth * kCifHeight * 3 - 1,
                                   {kCifWidth, kCifHeight, LM_FMT_RGB24, 0}, true));
    EXPECT_FALSE(converter.Convert(nullptr, full, cif, target.data(), full, cif, true));
    // A flip keeps the format.
    EXPECT_FALSE(flipper.Flip(buffer.data(), full, cif, target.data(), full,
                              {kCifWidth, kCifHeight, LM_FMT_RGB24, 0}));
}
