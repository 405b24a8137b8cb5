// Flipping and mirroring pictures.
#include "lmvideo/codecs/PictureFlipper.h"

#include <cstring>

namespace
{
// One row, optionally mirrored by units of unitBytes (a pixel, or a 4:2:2 macropixel whose two
// luma bytes also swap).
void CopyRow(const uint8_t* from, uint8_t* to, int bytes, int unitBytes, bool bMirror, AVPixelFormat format)
{
    if (!bMirror)
    {
        std::memcpy(to, from, bytes);
        return;
    }
    const int units = bytes / unitBytes;
    for (int i = 0; i < units; ++i)
    {
        const uint8_t* s = from + (units - 1 - i) * unitBytes;
        uint8_t* d = to + i * unitBytes;
        std::memcpy(d, s, unitBytes);
        if (format == AV_PIX_FMT_YUYV422)
            d[0] = s[2], d[2] = s[0];
        else if (format == AV_PIX_FMT_UYVY422)
            d[1] = s[3], d[3] = s[1];
    }
}
} // namespace

bool PictureFlipper::Flip(const uint8_t* pSource, int32_t nSourceBytes, const S_LMPICTURE& source,
                          uint8_t* pTarget, int32_t nTargetBytes, const S_LMPICTURE& target)
{
    PictureLayout from, to;
    std::string why;
    if (!LayOutPicture(pSource, nSourceBytes, source, from, why))
        return Fail(kCodecInvalidArgument, "source: " + why);
    if (!LayOutPicture(pTarget, nTargetBytes, target, to, why))
        return Fail(kCodecInvalidArgument, "target: " + why);
    if (from.format != to.format || from.width != to.width || from.height != to.height)
        return Fail(kCodecInvalidArgument, "a flip keeps the format and size");
    if (pSource == pTarget) return Fail(kCodecInvalidArgument, "a flip needs a separate target");
    const bool bMirror = (source.nWidth < 0) != (target.nWidth < 0);
    const bool bPacked422 = from.format == AV_PIX_FMT_YUYV422 || from.format == AV_PIX_FMT_UYVY422;
    const int unitBytes = from.bytesPerPixel ? (bPacked422 ? 4 : from.bytesPerPixel) : 1;
    // The layouts' strides already run upwards for bottom-up pictures, so copying row i to
    // row i turns the picture exactly when one side is bottom-up.
    for (int plane = 0; plane < from.planes; ++plane)
    {
        const int rows = plane == 0 ? from.height : from.height / 2;
        const int bytes = from.stride[plane] < 0 ? -from.stride[plane] : from.stride[plane];
        for (int row = 0; row < rows; ++row)
            CopyRow(from.data[plane] + static_cast<int64_t>(row) * from.stride[plane],
                    to.data[plane] + static_cast<int64_t>(row) * to.stride[plane], bytes, unitBytes, bMirror,
                    from.format);
    }
    return true;
}
