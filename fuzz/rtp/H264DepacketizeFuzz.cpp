// Any packets to the H.264 depacketizer: no read out of bounds, no picture beyond the bound.
#include "fuzz/rtp/FuzzBlocks.h"
#include "lmvideo/rtp/H264Depacketizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    H264Depacketizer depacketizer;
    ForEachBlock(data, size,
                 [&](const uint8_t* p, size_t n)
                 {
                     depacketizer.Push(p, n);
                     DrainPictures(depacketizer);
                 });
    depacketizer.Flush();
    DrainPictures(depacketizer);
    return 0;
}
