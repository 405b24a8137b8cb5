// The test camera's pictures: the stamped pattern at every size the camera offers, in the
// formats it offers. A picture narrower than the pattern is the pattern's right-hand part, where
// the stamp's low bits are.
#pragma once
#include <cstdint>
#include <vector>

enum class ECameraFormat
{
    I420,
    YUY2,
    RGB24, // B, G, R bytes, rows bottom-up
    MJPG,
};

// The camera repeats this many pictures, stamped 0 and up.
inline constexpr int kCameraFrames = 30;

// Frame n as planar 4:2:0; false for a size the camera cannot make.
bool MakeCameraPlanar(uint32_t nFrame, int nWidth, int nHeight, std::vector<uint8_t>& out);
// Frame n in an uncompressed format.
bool MakeCameraFrame(ECameraFormat format, uint32_t nFrame, int nWidth, int nHeight,
                     std::vector<uint8_t>& out);
// The stamp of a camera picture's luma plane, or -1.
int32_t ReadCameraStamp(const uint8_t* pLuma, int nWidth, int nHeight);
