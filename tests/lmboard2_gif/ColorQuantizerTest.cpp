// Colour quantiser: few colours stay exact, many colours stay close on average, strong colours survive.
#include <gtest/gtest.h>

#include <cstdlib>

#include "lmboard2/gif/ColorQuantizer.h"
#include "tests/lmboard2_gif/TestPictures.h"

namespace
{
struct Quantized
{
    Image img;
    int nColors = 0;
    std::vector<uint8_t> indices;
};

Quantized Quantize(const Image& src, uint8_t nPad = 0xCD)
{
    Dib dib(src, nPad);
    CColorQuantizer q;
    Quantized out;
    q.Quantize(dib.pic, out.indices);
    out.nColors = q.ColorCount();
    out.img = {src.nWidth, src.nHeight, {}};
    for (uint8_t i : out.indices)
    {
        EXPECT_LT(i, q.ColorCount());
        const S_PALETTE_RGB& c = q.Palette()[i];
        out.img.px.push_back({c.r, c.g, c.b});
    }
    return out;
}

int MaxChannelError(const Rgb& a, const Rgb& b)
{
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}
} // namespace

TEST(ColorQuantizer, ColoursInTheirOwnCellsAreKeptExactly)
{
    struct Case
    {
        int nWidth, nHeight, nColors;
    } cases[] = {{1, 1, 1}, {3, 5, 7}, {5, 2, 10}, {7, 9, 60}, {33, 17, 256}, {64, 64, 256}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.nWidth << "x" << c.nHeight << ", " << c.nColors << " colours");
        const Image src = DistinctCellColors(c.nWidth, c.nHeight, c.nColors, c.nWidth * 131 + c.nHeight);
        const Quantized q = Quantize(src);
        EXPECT_EQ(c.nColors, q.nColors);
        EXPECT_TRUE(q.img.px == src.px);
    }
}

TEST(ColorQuantizer, ColoursSharingACellStayWithinTheCell)
{
    Image src{6, 4, {}};
    const Rgb a{10, 200, 41}, b{13, 207, 46};
    for (int i = 0; i < 24; ++i)
        src.px.push_back(i % 3 ? a : b);
    const Quantized q = Quantize(src);
    EXPECT_EQ(1, q.nColors);
    for (size_t i = 0; i < src.px.size(); ++i)
        EXPECT_LE(MaxChannelError(src.px[i], q.img.px[i]), 7) << i;
}

TEST(ColorQuantizer, RowPaddingIsNotPartOfThePicture)
{
    const Image src = PhotoLike(13, 7, 5);
    EXPECT_EQ(Quantize(src, 0x00).indices, Quantize(src, 0xFF).indices);
}

// A photograph: 256 colours, every pixel near its original, and the diffusion keeps the colour of areas
// (8 x 8 block averages) closer still; only blocks at the edge of what the palette spans stay further off.
TEST(ColorQuantizer, ManyColoursStayCloseAndKeepAreaColour)
{
    const Image src = PhotoLike(160, 120, 9);
    const Quantized q = Quantize(src);
    EXPECT_EQ(256, q.nColors);
    double nSum = 0;
    for (size_t i = 0; i < src.px.size(); ++i)
    {
        const int nErr = MaxChannelError(src.px[i], q.img.px[i]);
        EXPECT_LE(nErr, 40) << i;
        nSum += nErr;
    }
    EXPECT_LT(nSum / src.px.size(), 9.0);

    double nBlockSum = 0;
    int nBlocks = 0;
    for (int by = 0; by < src.nHeight; by += 8)
        for (int bx = 0; bx < src.nWidth; bx += 8)
        {
            int sumSrc[3] = {}, sumOut[3] = {};
            for (int y = by; y < by + 8; ++y)
                for (int x = bx; x < bx + 8; ++x)
                {
                    const Rgb& s = src.At(x, y);
                    const Rgb& o = q.img.At(x, y);
                    sumSrc[0] += s.r, sumSrc[1] += s.g, sumSrc[2] += s.b;
                    sumOut[0] += o.r, sumOut[1] += o.g, sumOut[2] += o.b;
                }
            for (int c = 0; c < 3; ++c)
            {
                const int nErr = std::abs(sumSrc[c] - sumOut[c]) / 64;
                EXPECT_LE(nErr, 16) << bx << "," << by;
                nBlockSum += nErr;
                ++nBlocks;
            }
        }
    EXPECT_LT(nBlockSum / nBlocks, 1.0);
}

// The colours that cover most of the picture keep palette entries of their own.
TEST(ColorQuantizer, StrongColoursSurviveTheReduction)
{
    Image src = PhotoLike(100, 100, 3);
    const Rgb white{255, 255, 255}, red{220, 20, 30}, blue{16, 40, 200};
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            if (x < 30)
                src.At(x, y) = white;
            else if (y < 30)
                src.At(x, y) = red;
            else if (y > 80)
                src.At(x, y) = blue;
    const Quantized q = Quantize(src);
    EXPECT_EQ(256, q.nColors);
    EXPECT_EQ(white, q.img.At(5, 50));
    EXPECT_EQ(red, q.img.At(60, 5));
    EXPECT_EQ(blue, q.img.At(60, 95));
}
