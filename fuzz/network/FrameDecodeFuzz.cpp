// Any bytes as a received frame: decoding must refuse or decode within bounds,
// and whatever it accepts must decode to a payload that re-encodes to the same length.
#include <cstring>
#include <vector>

#include "confclient/network/FrameCodec.h"
#include "confclient/network/PacketHeader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    SeedRoundKeys rk{};
    for (size_t i = 0; i < rk.size(); ++i)
        rk[i] = 0x9e3779b9u * uint32_t(i + 1);

    // Exact-size copies so that any read past the frame is caught.
    std::vector<uint8_t> frame(pData, pData + nSize);
    std::optional<size_t> nPlain = DecodeFrame(frame.data(), frame.size(), rk);
    if (!nPlain) return 0;
    if (*nPlain > nSize - kFrameHeaderSize) __builtin_trap();

    PacketHeader h = PacketHeader::Read(frame.data());
    std::vector<uint8_t> again =
        EncodeFrame(h.wCommand, h.wSub, frame.data() + kFrameHeaderSize, *nPlain, rk);
    if (again.size() != nSize) __builtin_trap();
    return 0;
}
