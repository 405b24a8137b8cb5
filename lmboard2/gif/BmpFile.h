// Bitmap files: reading one that comes from outside (every size, offset and palette count is
// checked against the file before a pixel is read) into 24-bit rows, and writing 24-bit rows as
// a bitmap file; and the canvas a clipboard metafile is played on.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

#include "lmboard2/gif/Pixels24.h"

// A picture as 24-bit rows, bottom row first, B G R, rows padded to 4 bytes.
struct S_PICTURE24
{
    int nWidth = 0;
    int nHeight = 0;
    std::vector<uint8_t> bits;

    S_PIXELS24 View() const { return {bits.data(), bits.size(), nWidth, nHeight}; }
};

// The largest 24-bit picture a bitmap file may turn into (bytes of rows).
constexpr uint64_t kMaxBmpPictureBytes = 256u << 20;

// Reads a whole bitmap file: "BM", a BITMAPINFOHEADER or a later one, 1, 4, 8, 16 (5-5-5), 24 or
// 32 bits per pixel without compression, bottom-up or top-down (negative height), the palette
// of biClrUsed entries or 2^bits, pixels at bfOffBits. Nothing when a field does not hold: a
// compressed file, pixels or palette past the end, sides above 65535, or a picture larger than
// kMaxBmpPictureBytes.
std::optional<S_PICTURE24> DecodeBmpFile(const uint8_t* pData, size_t nLen);

// Writes the picture as a 24-bit bottom-up bitmap file; false when the stream fails or the
// picture is shorter than its size says.
bool WriteBmpFile(const S_PIXELS24& pic, std::ostream& out);

// Where an enhanced metafile from the clipboard is played: its frame (hundredths of a
// millimetre) in pixels at the screen's resolution, moved 30 pixels right and down, on a
// white page at least the given size and 60 pixels wider and taller than the frame's far edge.
struct MetafileCanvas
{
    int nWidth = 0, nHeight = 0;                  // the page
    int left = 0, top = 0, right = 0, bottom = 0; // the frame on it
};
MetafileCanvas MetafileCanvasFor(int32_t frameLeft, int32_t frameTop, int32_t frameRight, int32_t frameBottom,
                                 int nDpiX, int nDpiY, int nMinWidth, int nMinHeight);
