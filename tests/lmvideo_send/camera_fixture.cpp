// camera-fixture WIDTH HEIGHT: writes the test camera's pictures (planar 4:2:0) to standard
// output, for ffmpeg to code as the camera's MJPG pictures.
#include "tests/lmvideo_send/CameraFrames.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    const int nWidth = std::atoi(argv[1]), nHeight = std::atoi(argv[2]);
    std::vector<uint8_t> frame;
    for (int n = 0; n < kCameraFrames; ++n)
    {
        if (!MakeCameraPlanar(static_cast<uint32_t>(n), nWidth, nHeight, frame)) return 2;
        if (std::fwrite(frame.data(), 1, frame.size(), stdout) != frame.size()) return 1;
    }
    return 0;
}
