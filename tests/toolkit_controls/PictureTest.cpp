// Skin pictures through the system's picture loader: GIF, JPEG and BMP, from files and from the language
// library.
#include "tests/resources/SampleIds.h"
#include "confclient/toolkit/controls/LMPictureEx.h"
#include "resources/ResourceIds.h"
#include "tests/toolkit_controls/Pixels.h"
#include "tests/winui/TestResources.h"
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// A picture of the program's skin, or of the tests' sample pages.
std::wstring SkinFile(const wchar_t* name)
{
    return std::wstring(QUILLON_SKIN_DIR) + L"/" + name;
}

std::wstring SampleFile(const wchar_t* name)
{
    return std::wstring(QUILLON_SAMPLE_DIR) + L"/" + name;
}
} // namespace

TEST(SkinPicture, LoadsEveryFormatFromFileAndResource)
{
    ComInit com;
    HINSTANCE res = LoadTestResources();
    ASSERT_NE(res, nullptr);
    struct Case
    {
        std::wstring file;
        UINT id;
        LONG width, height;
    };
    const Case cases[] = {
        {SkinFile(L"back_intro.gif"), IDR_BACK_INTRO, 400, 250},
        {SampleFile(L"back_sample.jpg"), IDR_BACK_SAMPLE, 360, 240},
        {SkinFile(L"title_bar.bmp"), IDR_BACK_TITLEBAR, 360, 28},
    };
    for (const Case& c : cases)
    {
        CLMPictureEx fromFile;
        EXPECT_TRUE(fromFile.LoadFromFile(c.file.c_str())) << c.id;
        EXPECT_EQ(fromFile.m_nWidth, c.width) << c.id;
        EXPECT_EQ(fromFile.m_nHeight, c.height) << c.id;
        EXPECT_EQ(fromFile.m_pStream, nullptr);

        CLMPictureEx fromResource;
        EXPECT_TRUE(fromResource.LoadFromResource(res, L"BACKIMAGE", c.id)) << c.id;
        EXPECT_EQ(fromResource.m_nWidth, c.width) << c.id;
        EXPECT_EQ(fromResource.m_nHeight, c.height) << c.id;
        EXPECT_NE(fromResource.m_pStream, nullptr);
    }
}

TEST(SkinPicture, FailuresLeaveNoPicture)
{
    ComInit com;
    HINSTANCE res = LoadTestResources();
    CLMPictureEx picture;
    EXPECT_FALSE(picture.LoadFromFile(nullptr));
    EXPECT_FALSE(picture.LoadFromFile(SkinFile(L"no_such_picture.gif").c_str()));
    EXPECT_EQ(picture.m_pPicture, nullptr);

    ASSERT_TRUE(picture.LoadFromResource(res, L"BACKIMAGE", IDR_BACK_INTRO));
    EXPECT_FALSE(picture.LoadFromResource(res, L"BACKIMAGE", 31999));
    EXPECT_EQ(picture.m_pPicture, nullptr);
    EXPECT_EQ(picture.m_pStream, nullptr);
    // A resource that is not a picture.
    EXPECT_FALSE(picture.LoadFromResource(res, L"INI", IDR_INI_TEXT));
    EXPECT_EQ(picture.m_pPicture, nullptr);

    MemoryCanvas canvas(10, 10);
    EXPECT_FALSE(picture.Render(canvas.hDC, 0, 0, -1, -1, 0));

    // A second load replaces the first picture.
    ASSERT_TRUE(picture.LoadFromResource(res, L"BACKIMAGE", IDR_BACK_INTRO));
    ASSERT_TRUE(picture.LoadFromResource(res, L"BACKIMAGE", IDR_BACK_TITLEBAR));
    EXPECT_EQ(picture.m_nWidth, 360);
    EXPECT_EQ(picture.m_nHeight, 28);
}

TEST(SkinPicture, HimetricToPixelsAtNinetySixPerInch)
{
    ComInit com;
    // A 96 x 8 bitmap file is one inch wide: 2540 HIMETRIC.
    const int w = 96, h = 8, stride = w * 3;
    std::vector<uint8_t> file(54 + stride * h, 0x80);
    auto put32 = [&](size_t at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B', file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(6, 0);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    file[26] = 1, file[27] = 0, file[28] = 24, file[29] = 0;
    for (size_t at : {30, 34, 38, 42, 46, 50})
        put32(at, 0);
    wchar_t dir[MAX_PATH], path[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    ::GetTempFileNameW(dir, L"qpic", 0, path);
    FILE* out = _wfopen(path, L"wb");
    ASSERT_NE(out, nullptr);
    fwrite(file.data(), 1, file.size(), out);
    fclose(out);

    CLMPictureEx picture;
    ASSERT_TRUE(picture.LoadFromFile(path));
    EXPECT_EQ(picture.m_nHimetricWidth, 2540);
    EXPECT_EQ(picture.m_nWidth, 96);
    EXPECT_EQ(picture.m_nHeight, 8);
    picture.UnLoad();
    ::DeleteFileW(path);
}

TEST(SkinPicture, RenderStretchesRemembersTheSizeAndFlips)
{
    ComInit com;
    HINSTANCE res = LoadTestResources();
    CLMPictureEx bar; // navy strip with a teal line in its bottom two rows
    ASSERT_TRUE(bar.LoadFromResource(res, L"BACKIMAGE", IDR_BACK_TITLEBAR));

    MemoryCanvas canvas(720, 80);
    ASSERT_TRUE(bar.Render(canvas.hDC, 0, 0, -1, -1, 0));
    EXPECT_TRUE(Near(canvas.Pixel(5, 5), kNavy));
    EXPECT_TRUE(Near(canvas.Pixel(5, 27), kTeal));
    EXPECT_TRUE(Near(canvas.Pixel(400, 5), canvas.kBlank)) << "drawn beyond its own width";

    canvas.Clear();
    ASSERT_TRUE(bar.Render(canvas.hDC, 0, 0, 720, 56, 0));
    EXPECT_TRUE(Near(canvas.Pixel(700, 54), kTeal));
    EXPECT_EQ(bar.m_nWidth, 720);
    canvas.Clear();
    ASSERT_TRUE(bar.Render(canvas.hDC, 0, 0, -1, -1, 0)); // the size of the last call
    EXPECT_TRUE(Near(canvas.Pixel(700, 54), kTeal));
    EXPECT_TRUE(Near(canvas.Pixel(700, 20), kNavy));

    canvas.Clear();
    ASSERT_TRUE(bar.Render(canvas.hDC, 0, 0, 360, 28, 1));
    // Upside down: the teal line is at the top (the system's loader may shift it by a row).
    EXPECT_TRUE(Near(canvas.Pixel(5, 1), kTeal));
    EXPECT_TRUE(Near(canvas.Pixel(5, 26), kNavy));
}
