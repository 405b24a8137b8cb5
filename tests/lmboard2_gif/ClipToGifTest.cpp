// GIF87a writer: the file's layout, its sub-block chain, and the pictures and files it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "lmboard2/gif/ClipToGif.h"
#include "tests/lmboard2_gif/TestPictures.h"

namespace
{
std::string Write(const S_PIXELS24& pic, int* pResult = nullptr)
{
    std::ostringstream out;
    const int nResult = CClipToGif().WriteGif(pic, out);
    if (pResult) *pResult = nResult;
    return out.str();
}

int U16(const std::string& s, size_t at)
{
    return static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8;
}
} // namespace

TEST(ClipToGif, LayoutAndSubBlockChain)
{
    const struct
    {
        Image img;
    } cases[] = {{DistinctCellColors(1, 1, 1, 1)}, {PhotoLike(7, 3, 2)}, {PhotoLike(301, 97, 4)}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.img.nWidth << "x" << c.img.nHeight);
        Dib dib(c.img);
        int nResult = 0;
        const std::string gif = Write(dib.pic, &nResult);
        ASSERT_EQ(1, nResult);
        ASSERT_GT(gif.size(), 13u + 768 + 10 + 1 + 2);
        EXPECT_EQ("GIF87a", gif.substr(0, 6));
        EXPECT_EQ(c.img.nWidth, U16(gif, 6));
        EXPECT_EQ(c.img.nHeight, U16(gif, 8));
        EXPECT_EQ(0xE7, static_cast<uint8_t>(gif[10]));
        EXPECT_EQ(0, gif[11]);
        EXPECT_EQ(0, gif[12]);
        size_t at = 13 + 768; // the 256-entry palette always follows
        EXPECT_EQ(',', gif[at]);
        EXPECT_EQ(0, U16(gif, at + 1));
        EXPECT_EQ(0, U16(gif, at + 3));
        EXPECT_EQ(c.img.nWidth, U16(gif, at + 5));
        EXPECT_EQ(c.img.nHeight, U16(gif, at + 7));
        EXPECT_EQ(0, gif[at + 9]);
        EXPECT_EQ(8, gif[at + 10]);
        at += 11;
        while (at < gif.size() && gif[at] != 0)
        {
            EXPECT_LE(static_cast<uint8_t>(gif[at]), 254);
            at += 1 + static_cast<uint8_t>(gif[at]);
        }
        ASSERT_EQ(gif.size() - 2, at) << "the sub-blocks end with a terminator just before the trailer";
        EXPECT_EQ(';', gif.back());
    }
}

TEST(ClipToGif, RefusesPicturesAGifCannotHoldOrTheBufferDoesNotCover)
{
    std::vector<uint8_t> bits(4 * 65536 * 2, 0x80);
    const struct
    {
        const char* pName;
        S_PIXELS24 pic;
        int nResult;
    } cases[] = {
        {"no bits", {nullptr, 0, 1, 1}, 0},
        {"zero width", {bits.data(), bits.size(), 0, 1}, 0},
        {"zero height", {bits.data(), bits.size(), 1, 0}, 0},
        {"negative width", {bits.data(), bits.size(), -4, 1}, 0},
        {"width 65536", {bits.data(), bits.size(), 65536, 1}, 0},
        {"height 65536", {bits.data(), bits.size(), 1, 65536}, 0},
        {"buffer one byte short", {bits.data(), 12 * 3 - 1, 3, 3}, 0},
        {"buffer without the last row's padding", {bits.data(), 16 + 5 * 3, 5, 2}, 0},
        {"width 65535", {bits.data(), bits.size(), 65535, 1}, 1},
        {"height 65535", {bits.data(), bits.size(), 1, 65535}, 1},
    };
    for (const auto& c : cases)
    {
        int nResult = -1;
        const std::string gif = Write(c.pic, &nResult);
        EXPECT_EQ(c.nResult, nResult) << c.pName;
        if (!c.nResult)
        {
            EXPECT_TRUE(gif.empty()) << c.pName;
        }
    }
}

// A stream that takes only so many bytes, like a full disk.
class LimitedBuf : public std::streambuf
{
public:
    explicit LimitedBuf(size_t nLimit) : m_nLeft(nLimit) {}

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        if (!m_nLeft) return traits_type::eof();
        --m_nLeft;
        return c;
    }

private:
    size_t m_nLeft;
};

TEST(ClipToGif, AStreamThatFailsPartWayGivesFailure)
{
    Dib dib(PhotoLike(200, 100, 6));
    ASSERT_GT(Write(dib.pic).size(), 12000u);
    for (size_t nLimit : {size_t(0), size_t(5), size_t(13 + 768), size_t(2000), size_t(12000)})
    {
        LimitedBuf buf(nLimit);
        std::ostream out(&buf);
        EXPECT_EQ(0, CClipToGif().WriteGif(dib.pic, out)) << nLimit;
    }
}

TEST(ClipToGif, SavesToAFileAndFailsOnAnUnwritablePath)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "board_gif_file_test";
    std::filesystem::create_directories(dir);
    Dib dib(PhotoLike(20, 10, 1));
    std::ostringstream expected;
    ASSERT_EQ(1, CClipToGif().WriteGif(dib.pic, expected));

    const std::filesystem::path path = dir / u"bild\u00e4.gif";
    ASSERT_EQ(1, CClipToGif().SaveBits(dib.pic, path));
    EXPECT_EQ(expected.str().size(), std::filesystem::file_size(path));
    EXPECT_EQ(0, CClipToGif().SaveBits(dib.pic, dir / "missing" / "x.gif"));
    std::filesystem::remove_all(dir);
}
