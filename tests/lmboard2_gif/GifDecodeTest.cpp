// Written GIFs decoded by outside decoders (giflib's gif2rgb, ImageMagick's convert) give back the picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "lmboard2/gif/ClipToGif.h"
#include "lmboard2/gif/ColorQuantizer.h"
#include "tests/lmboard2_gif/TestPictures.h"

namespace
{
namespace fs = std::filesystem;

struct Decoder
{
    const char* pName;
    const char* pTool;
    std::string (*pCommand)(const fs::path& gif, const fs::path& rgb);
};

const Decoder kDecoders[] = {
    {"giflib", "/usr/bin/gif2rgb",
     [](const fs::path& gif, const fs::path& rgb)
     { return "/usr/bin/gif2rgb -1 -o '" + rgb.string() + "' '" + gif.string() + "'"; }},
    {"ImageMagick", "/usr/bin/convert",
     [](const fs::path& gif, const fs::path& rgb)
     { return "/usr/bin/convert '" + gif.string() + "' -depth 8 'rgb:" + rgb.string() + "'"; }},
};

class GifDecode : public testing::Test
{
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() /
                ("board_gif_decode_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Writes the picture as a GIF and decodes it with the decoder; empty on failure.
    std::vector<Rgb> RoundTrip(const Image& img, const Decoder& dec)
    {
        const fs::path gif = m_dir / "picture.gif";
        const fs::path rgb = m_dir / "picture.rgb";
        Dib dib(img);
        EXPECT_EQ(1, CClipToGif().SaveBits(dib.pic, gif));
        fs::remove(rgb);
        EXPECT_TRUE(fs::exists(dec.pTool)) << dec.pTool << " is missing: scripts/setup.sh installs it";
        EXPECT_EQ(0, std::system((dec.pCommand(gif, rgb) + " >/dev/null 2>&1").c_str()));
        std::ifstream in(rgb, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        std::vector<Rgb> out;
        for (size_t i = 0; i + 2 < bytes.size(); i += 3)
            out.push_back({static_cast<uint8_t>(bytes[i]), static_cast<uint8_t>(bytes[i + 1]),
                           static_cast<uint8_t>(bytes[i + 2])});
        return out;
    }

    fs::path m_dir;
};

// What the quantiser made of the picture: its palette colour at every pixel.
std::vector<Rgb> Quantized(const Image& img)
{
    Dib dib(img);
    CColorQuantizer q;
    std::vector<uint8_t> indices;
    q.Quantize(dib.pic, indices);
    std::vector<Rgb> out;
    for (uint8_t i : indices)
        out.push_back({q.Palette()[i].r, q.Palette()[i].g, q.Palette()[i].b});
    return out;
}
} // namespace

// Up to 256 colours in cells of their own come back exactly, whatever the width; 30000 pixels of random
// colours make more than 4096 codes, so the coder clears its table several times.
TEST_F(GifDecode, FewColoursComeBackExactly)
{
    const struct
    {
        int nWidth, nHeight, nColors;
    } cases[] = {{1, 1, 1},   {1, 9, 5}, {2, 3, 6},      {3, 3, 9},      {5, 4, 17},
                 {6, 11, 40}, {7, 1, 7}, {301, 13, 256}, {200, 150, 256}};
    for (const Decoder& dec : kDecoders)
        for (const auto& c : cases)
        {
            SCOPED_TRACE(testing::Message() << dec.pName << ", " << c.nWidth << "x" << c.nHeight);
            const Image img = DistinctCellColors(c.nWidth, c.nHeight, c.nColors, c.nWidth * 7 + c.nHeight);
            EXPECT_TRUE(RoundTrip(img, dec) == img.px);
        }
}

// Photographs and long runs of one colour decode to exactly what the quantiser chose, and that stays
// within the quantiser's error of the original.
TEST_F(GifDecode, ManyColoursAndLongRunsDecodeToTheQuantisedPicture)
{
    Image runs{1000, 50, std::vector<Rgb>(50000, Rgb{255, 255, 255})};
    for (int x = 0; x < 1000; ++x)
        runs.At(x, 25) = {0, 0, 0};
    const Image cases[] = {PhotoLike(301, 97, 4), PhotoLike(640, 480, 8), runs};
    for (const Decoder& dec : kDecoders)
        for (const Image& img : cases)
        {
            SCOPED_TRACE(testing::Message() << dec.pName << ", " << img.nWidth << "x" << img.nHeight);
            const std::vector<Rgb> decoded = RoundTrip(img, dec);
            ASSERT_TRUE(decoded == Quantized(img));
            for (size_t i = 0; i < decoded.size(); ++i)
            {
                const Rgb& a = decoded[i];
                const Rgb& b = img.px[i];
                ASSERT_LE(std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}), 40) << i;
            }
        }
}
