// Any bytes as a bitmap file: the reader either refuses them or gives a picture whose rows it
// filled within its own size, and that picture writes and reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "lmboard2/gif/BmpFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nLen)
{
    std::optional<S_PICTURE24> pic = DecodeBmpFile(pData, nLen);
    if (!pic) return 0;
    if (pic->bits.size() != Dib24Stride(pic->nWidth) * uint64_t(pic->nHeight)) std::abort();
    std::ostringstream out;
    if (!WriteBmpFile(pic->View(), out)) std::abort();
    std::string s = out.str();
    std::optional<S_PICTURE24> back = DecodeBmpFile(reinterpret_cast<const uint8_t*>(s.data()), s.size());
    if (!back || back->nWidth != pic->nWidth || back->nHeight != pic->nHeight) std::abort();
    return 0;
}
