// Any packets to the H.263 depacketizer: no read out of bounds, no picture beyond the bound.
#include "fuzz/rtp/FuzzBlocks.h"
#include "lmvideo/rtp/H263Depacketizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    H263Depacketizer depacketizer;
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
