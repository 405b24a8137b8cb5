// quillon-pattern WIDTH HEIGHT COUNT: writes COUNT stamped pattern frames (planar 4:2:0) to
// standard output, for the fixture script to feed to ffmpeg.
#include "lmvideo/fixtures/StampedPattern.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: quillon-pattern WIDTH HEIGHT COUNT\n");
        return 2;
    }
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]), count = std::atoi(argv[3]);
    std::vector<uint8_t> frame(PatternBytes(width, height));
    for (int n = 0; n < count; ++n)
    {
        if (!MakeStampedPattern(static_cast<uint32_t>(n), width, height, frame.data()))
        {
            std::fprintf(stderr, "quillon-pattern: %dx%d is too small or odd\n", width, height);
            return 2;
        }
        if (std::fwrite(frame.data(), 1, frame.size(), stdout) != frame.size()) return 1;
    }
    return 0;
}
