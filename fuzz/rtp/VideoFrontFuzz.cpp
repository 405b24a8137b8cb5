// Any blocks to the decoders' front (first byte: 0 H.264, else H.263), RTP or stream alike.
#include "fuzz/rtp/FuzzBlocks.h"
#include "lmvideo/rtp/VideoInputFront.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    VideoInputFront front(data[0] == 0 ? VideoCodec::H264 : VideoCodec::H263);
    ForEachBlock(data + 1, size - 1,
                 [&](const uint8_t* p, size_t n)
                 {
                     front.Push(p, n);
                     DrainPictures(front);
                 });
    front.Flush();
    DrainPictures(front);
    return 0;
}
