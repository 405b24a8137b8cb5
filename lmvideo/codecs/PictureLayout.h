// A host's picture (bytes, byte count, size, pixel-format name) checked and laid out as the
// plane pointers and strides libav* takes: a negative height means bottom-up rows, which are
// reached by starting at the last row with a negative stride.
#pragma once
#include <cstdint>
#include <string>

#include "confclient/library/LMVideoCodecs.h"

extern "C"
{
#include <libavutil/pixfmt.h>
}

// Larger pictures than this are refused, so no size product can overflow.
inline constexpr int32_t kMaxPictureSide = 8192;

struct PictureLayout
{
    AVPixelFormat format = AV_PIX_FMT_NONE;
    int width = 0, height = 0; // magnitudes
    int planes = 0;
    uint8_t* data[3] = {};
    int stride[3] = {};
    int bytesPerPixel = 0; // packed formats; 0 for planar 4:2:0
};

// The libav* format of a pixel-format name, or AV_PIX_FMT_NONE.
AVPixelFormat PixelFormatOf(const wchar_t* szFormat);

// Checks the picture against what the host says it holds (a known format, sizes not 0 and
// within kMaxPictureSide, even where the format needs it, enough bytes) and lays it out.
// False with the reason in why.
bool LayOutPicture(const uint8_t* p, int32_t nBytes, const S_LMPICTURE& picture, PictureLayout& out,
                   std::string& why);
