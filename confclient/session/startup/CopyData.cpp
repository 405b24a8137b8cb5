// Validation of WM_COPYDATA input.
#include "confclient/session/startup/CopyData.h"

#include <cstring>

#include "confclient/session/startup/StartupRules.h"

std::optional<S_COPYDATA_IN> AcceptCopyData(uint32_t dwCode, size_t cbData, const void* pData)
{
    switch (dwCode)
    {
    case COPYDATA_PLAY:
    case COPYDATA_SECONDSTART:
    case COPYDATA_AVSETTING:
    case CLIENTCMD_JOIN:
        break;
    default:
        return std::nullopt;
    }
    if (cbData % 2 != 0 || cbData > kMaxCopyDataBytes || (cbData && !pData)) return std::nullopt;
    S_COPYDATA_IN in{dwCode, {}};
    const uint8_t* p = static_cast<const uint8_t*>(pData);
    for (size_t i = 0; i + 1 < cbData; i += 2)
    {
        char16_t c = static_cast<char16_t>(p[i] | (p[i + 1] << 8));
        if (c == 0) break;
        in.text.push_back(c);
    }
    return in;
}
