// Bitmap files from outside: every depth read into 24-bit rows, every untrusted field refused,
// and the writer's files read back; the clipboard metafile's canvas.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "lmboard2/gif/BmpFile.h"

namespace
{
void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    Put16(b, at, v);
    Put16(b, at + 2, v >> 16);
}

// A bitmap file of the given depth: headers, palette, then rows as given (already padded).
std::vector<uint8_t> BmpFile(int32_t cx, int32_t cy, uint16_t bits, const std::vector<uint32_t>& palette,
                             const std::vector<uint8_t>& rows, uint32_t clrUsed = 0)
{
    std::vector<uint8_t> b(54 + palette.size() * 4);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, static_cast<uint32_t>(b.size()));
    Put32(b, 14, 40);
    Put32(b, 18, static_cast<uint32_t>(cx));
    Put32(b, 22, static_cast<uint32_t>(cy));
    Put16(b, 26, 1);
    Put16(b, 28, bits);
    Put32(b, 46, clrUsed);
    for (size_t i = 0; i < palette.size(); ++i)
        Put32(b, 54 + i * 4, palette[i]);
    b.insert(b.end(), rows.begin(), rows.end());
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
}

// The decoded pixel (x, y counted from the top) as 0xRRGGBB.
uint32_t PixelAt(const S_PICTURE24& p, int x, int y)
{
    const uint8_t* q = p.bits.data() + Dib24Stride(p.nWidth) * uint64_t(p.nHeight - 1 - y) + size_t(x) * 3;
    return (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
}

TEST(BmpFile, EveryDepthReadsItsPixels)
{
    // 2 x 2 pictures; rows bottom-up unless the height is negative.
    struct Row
    {
        const char* what;
        std::vector<uint8_t> file;
        uint32_t topLeft, topRight, bottomLeft, bottomRight;
    };
    const std::vector<uint32_t> two = {0x000000, 0xFF8000};
    const Row rows[] = {
        {"1 bit", BmpFile(2, 2, 1, two, {0x40, 0, 0, 0, 0x80, 0, 0, 0}), 0xFF8000, 0, 0, 0xFF8000},
        {"4 bits, 3 colours used",
         BmpFile(2, 2, 4, {0x112233, 0x445566, 0x778899}, {0x12, 0, 0, 0, 0x20, 0, 0, 0}, 3), 0x778899,
         0x112233, 0x445566, 0x778899},
        {"8 bits, index past the palette is black", BmpFile(2, 2, 8, two, {1, 7, 0, 0, 0, 1, 0, 0}, 2), 0,
         0xFF8000, 0xFF8000, 0},
        {"16 bits 5-5-5", BmpFile(2, 2, 16, {}, {0x1F, 0, 0xE0, 0x03, 0x00, 0x7C, 0xFF, 0x7F}), 0xFF0000,
         0xFFFFFF, 0x0000FF, 0x00FF00},
        {"24 bits", BmpFile(2, 2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}), 0x090807,
         0x0C0B0A, 0x030201, 0x060504},
        {"24 bits top-down", BmpFile(2, -2, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0}),
         0x030201, 0x060504, 0x090807, 0x0C0B0A},
        {"32 bits", BmpFile(2, 2, 32, {}, {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0}), 0x090807,
         0x0C0B0A, 0x030201, 0x060504},
    };
    for (const Row& r : rows)
    {
        std::optional<S_PICTURE24> p = DecodeBmpFile(r.file.data(), r.file.size());
        ASSERT_TRUE(p) << r.what;
        EXPECT_EQ(p->nWidth, 2) << r.what;
        EXPECT_EQ(p->nHeight, 2) << r.what;
        EXPECT_EQ(PixelAt(*p, 0, 0), r.topLeft) << r.what;
        EXPECT_EQ(PixelAt(*p, 1, 0), r.topRight) << r.what;
        EXPECT_EQ(PixelAt(*p, 0, 1), r.bottomLeft) << r.what;
        EXPECT_EQ(PixelAt(*p, 1, 1), r.bottomRight) << r.what;
    }
}

TEST(BmpFile, UntrustedFieldsAreRefused)
{
    const std::vector<uint8_t> rows24(16, 0x55);
    const std::vector<uint8_t> good = BmpFile(2, 2, 24, {}, rows24);
    ASSERT_TRUE(DecodeBmpFile(good.data(), good.size()));
    struct Row
    {
        const char* what;
        size_t at;
        int nBytes;
        uint32_t value;
    };
    const Row rows[] = {
        {"not BM", 0, 1, 'X'},
        {"pixels past the end", 10, 4, 60},
        {"offset past the end", 10, 4, 0xFFFFFFF0},
        {"offset inside the headers", 10, 4, 20},
        {"info header too small", 14, 4, 12},
        {"info header past the end", 14, 4, 0x7FFFFFFF},
        {"zero width", 18, 4, 0},
        {"negative width", 18, 4, 0xFFFFFFFE},
        {"width above 65535", 18, 4, 65536},
        {"height above 65535", 22, 4, 70000},
        {"height INT_MIN", 22, 4, 0x80000000},
        {"zero height", 22, 4, 0},
        {"wider than the rows", 18, 4, 3},
        {"two planes", 26, 2, 2},
        {"2 bits", 28, 2, 2},
        {"run-length compressed", 30, 4, 1},
        {"bit fields", 30, 4, 3},
    };
    for (const Row& r : rows)
    {
        std::vector<uint8_t> f = good;
        if (r.nBytes == 1)
            f[r.at] = static_cast<uint8_t>(r.value);
        else if (r.nBytes == 2)
            Put16(f, r.at, r.value);
        else
            Put32(f, r.at, r.value);
        EXPECT_FALSE(DecodeBmpFile(f.data(), f.size())) << r.what;
    }
    // A palette larger than the depth allows, or running into the pixels.
    std::vector<uint8_t> f = BmpFile(2, 2, 1, {0, 0xFFFFFF}, std::vector<uint8_t>(8), 3);
    EXPECT_FALSE(DecodeBmpFile(f.data(), f.size()));
    f = BmpFile(2, 2, 8, {0, 0xFFFFFF}, std::vector<uint8_t>(8));
    EXPECT_FALSE(DecodeBmpFile(f.data(), f.size())); // 256 entries claimed, 2 present
    EXPECT_FALSE(DecodeBmpFile(good.data(), 53));
    EXPECT_FALSE(DecodeBmpFile(nullptr, 100));
    // 65535 x 65535 at one bit fits a file, not the picture limit.
    f = BmpFile(65535, 65535, 1, {0, 0xFFFFFF}, {});
    Put32(f, 2, 0xFFFFFFFF);
    EXPECT_FALSE(DecodeBmpFile(f.data(), f.size()));
}

TEST(BmpFile, WrittenFilesReadBack)
{
    for (int cx : {1, 3, 4, 5})
    {
        S_PICTURE24 pic;
        pic.nWidth = cx;
        pic.nHeight = 3;
        pic.bits.resize(Dib24Stride(cx) * 3);
        for (size_t i = 0; i < pic.bits.size(); ++i)
            pic.bits[i] = static_cast<uint8_t>(i * 37);
        // The padding bytes are not part of the picture.
        for (int y = 0; y < 3; ++y)
            for (uint64_t i = uint64_t(cx) * 3; i < Dib24Stride(cx); ++i)
                pic.bits[Dib24Stride(cx) * y + i] = 0;
        std::ostringstream out;
        ASSERT_TRUE(WriteBmpFile(pic.View(), out));
        std::string s = out.str();
        std::optional<S_PICTURE24> back = DecodeBmpFile(reinterpret_cast<const uint8_t*>(s.data()), s.size());
        ASSERT_TRUE(back) << cx;
        EXPECT_EQ(back->bits, pic.bits) << cx;
    }
    S_PICTURE24 shortPic;
    shortPic.nWidth = 4;
    shortPic.nHeight = 4;
    shortPic.bits.resize(10);
    std::ostringstream out;
    EXPECT_FALSE(WriteBmpFile(shortPic.View(), out));
}

TEST(BmpFile, MetafileCanvas)
{
    // A frame of 10 x 5 cm from (1 cm, 2 cm) at 96 dpi: 37, 75, 415, 264 pixels, moved by 30.
    MetafileCanvas c = MetafileCanvasFor(1000, 2000, 11000, 7000, 96, 96, 0, 0);
    EXPECT_EQ(c.left, 67);
    EXPECT_EQ(c.top, 105);
    EXPECT_EQ(c.right, 445);
    EXPECT_EQ(c.bottom, 294);
    EXPECT_EQ(c.nWidth, 475);
    EXPECT_EQ(c.nHeight, 324);
    // The minimum wins when larger; a huge frame stays within a GIF's sides.
    c = MetafileCanvasFor(0, 0, 100, 100, 96, 96, 800, 600);
    EXPECT_EQ(c.nWidth, 800);
    EXPECT_EQ(c.nHeight, 600);
    c = MetafileCanvasFor(0, 0, 0x7FFFFFFF, 0x7FFFFFFF, 96, 96, 0, 0);
    EXPECT_EQ(c.nWidth, 65535);
}
} // namespace
