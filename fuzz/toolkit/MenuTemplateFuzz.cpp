// Any bytes as a menu template or a toolbar resource: read within bounds or refuse.
#include <vector>

#include "confclient/toolkit/menurules/MenuResources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    std::vector<uint8_t> copy(pData, pData + nSize);
    ParseMenuTemplate(copy.data(), copy.size());
    if (auto tb = ParseToolbarResource(copy.data(), copy.size())) tb->ImageOffsetOf(1);
    return 0;
}
