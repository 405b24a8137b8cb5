// Copies a picture into another layout of the same format and size: upside down when the two
// heights differ in sign, mirrored when the widths do. 4:2:2 formats move by macropixel (two
// pixels sharing their chroma), planar 4:2:0 plane by plane.
#pragma once
#include <cstdint>

#include "lmvideo/codecs/CodecError.h"
#include "lmvideo/codecs/PictureLayout.h"

class PictureFlipper : public CodecError
{
public:
    bool Flip(const uint8_t* pSource, int32_t nSourceBytes, const S_LMPICTURE& source, uint8_t* pTarget,
              int32_t nTargetBytes, const S_LMPICTURE& target);
};
