// The bare encoders natively, on the test camera's pictures (built by bench/send-video.sh against
// the system's openh264 and libavcodec):
//   bare-encode encode h264|h263 WIDTHxHEIGHT FPS BITRATE PICTURES   CPU per picture
//   bare-encode frames I420|YUY2 WIDTHxHEIGHT                        the camera's pictures, raw
#include "bench/lmvideo_send/BareEncoder.h"
#include "tests/lmvideo_send/CameraFrames.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

int main(int argc, char** argv)
{
    int nWidth = 0, nHeight = 0;
    if (argc >= 4) sscanf(argv[3], "%dx%d", &nWidth, &nHeight);
    if (argc == 4 && strcmp(argv[1], "frames") == 0)
    {
        const bool bPacked = strcmp(argv[2], "YUY2") == 0;
        std::vector<uint8_t> frame;
        for (uint32_t n = 0; n < kCameraFrames; ++n)
        {
            if (!(bPacked ? MakeCameraFrame(ECameraFormat::YUY2, n, nWidth, nHeight, frame)
                          : MakeCameraPlanar(n, nWidth, nHeight, frame)))
                return 2;
            if (fwrite(frame.data(), 1, frame.size(), stdout) != frame.size()) return 1;
        }
        return 0;
    }
    if (argc != 7 || strcmp(argv[1], "encode") != 0)
    {
        fprintf(stderr,
                "usage: bare-encode encode h264|h263 WxH FPS BITRATE PICTURES | frames I420|YUY2 WxH\n");
        return 2;
    }
    const int nFps = atoi(argv[4]), nBitRate = atoi(argv[5]);
    const long nPictures = atol(argv[6]);
    CBareEncoder encoder({strcmp(argv[2], "h263") != 0, nWidth, nHeight, nFps, nBitRate});
    std::vector<std::vector<uint8_t>> pictures(kCameraFrames);
    for (uint32_t n = 0; n < pictures.size(); ++n)
        if (!MakeCameraPlanar(n, nWidth, nHeight, pictures[n])) return 2;
    if (!encoder.IsOpen() || nPictures <= 0) return 1;
    int64_t nBytes = 0;
    const std::clock_t c0 = std::clock();
    for (long n = 0; n < nPictures; ++n)
        nBytes += encoder.Encode(pictures[n % pictures.size()].data());
    const double dCpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
    printf(
        "bare native loop: %.3f ms CPU per picture (%ld pictures), %.3f cores at %d fps, %.0f kbit/s coded\n",
        dCpu * 1000 / nPictures, nPictures, dCpu / nPictures * nFps, nFps,
        static_cast<double>(nBytes) * 8 * nFps / nPictures / 1000);
    return 0;
}
