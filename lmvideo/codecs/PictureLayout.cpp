// Checking and laying out host pictures.
#include "lmvideo/codecs/PictureLayout.h"

#include <cstdlib>
#include <cwchar>

#include "confclient/library/LMPixelFormat.h"

namespace
{
struct FormatRow
{
    const wchar_t* szName;
    AVPixelFormat format;
    int bytesPerPixel;
};

// The names' byte orders: "24RGB24" is B, G, R; "32RGB32" B, G, R, A; 555 and 565 little-endian.
const FormatRow kFormats[] = {
    {LM_FMT_YUV420, AV_PIX_FMT_YUV420P, 0},  {LM_FMT_RGB555, AV_PIX_FMT_RGB555LE, 2},
    {LM_FMT_RGB565, AV_PIX_FMT_RGB565LE, 2}, {LM_FMT_YUY2, AV_PIX_FMT_YUYV422, 2},
    {LM_FMT_UYVY, AV_PIX_FMT_UYVY422, 2},    {LM_FMT_RGB24, AV_PIX_FMT_BGR24, 3},
    {LM_FMT_RGB32, AV_PIX_FMT_BGRA, 4},
};

const FormatRow* FindFormat(const wchar_t* szFormat)
{
    if (!szFormat) return nullptr;
    for (const FormatRow& row : kFormats)
        if (std::wcscmp(row.szName, szFormat) == 0) return &row;
    return nullptr;
}
} // namespace

AVPixelFormat PixelFormatOf(const wchar_t* szFormat)
{
    const FormatRow* row = FindFormat(szFormat);
    return row ? row->format : AV_PIX_FMT_NONE;
}

bool LayOutPicture(const uint8_t* p, int32_t nBytes, const S_LMPICTURE& picture, PictureLayout& out,
                   std::string& why)
{
    const FormatRow* row = FindFormat(picture.szFormat);
    if (!row) return why = "unknown pixel format", false;
    const int64_t width = std::llabs(picture.nWidth), height = std::llabs(picture.nHeight);
    if (width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return why = "picture size out of range", false;
    if ((row->bytesPerPixel == 0 && (width % 2 || height % 2)) ||
        ((row->format == AV_PIX_FMT_YUYV422 || row->format == AV_PIX_FMT_UYVY422) && width % 2))
        return why = "odd picture size for a subsampled format", false;
    const int64_t need =
        LMPictureBytes(picture.szFormat, static_cast<int32_t>(width), static_cast<int32_t>(height));
    if (!p || need <= 0 || nBytes < need) return why = "byte count short of the picture's size", false;

    out = PictureLayout{};
    out.format = row->format;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.bytesPerPixel = row->bytesPerPixel;
    uint8_t* base = const_cast<uint8_t*>(p);
    if (row->bytesPerPixel)
    {
        out.planes = 1;
        out.data[0] = base;
        out.stride[0] = out.width * row->bytesPerPixel;
    }
    else
    {
        out.planes = 3;
        out.data[0] = base;
        out.stride[0] = out.width;
        out.data[1] = base + width * height;
        out.data[2] = out.data[1] + width * height / 4;
        out.stride[1] = out.stride[2] = out.width / 2;
    }
    if (picture.nHeight < 0)
        for (int i = 0; i < out.planes; ++i)
        {
            const int rows = i == 0 ? out.height : out.height / 2;
            out.data[i] += static_cast<int64_t>(rows - 1) * out.stride[i];
            out.stride[i] = -out.stride[i];
        }
    return true;
}
