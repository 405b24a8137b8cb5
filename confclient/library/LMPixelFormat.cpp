// Byte counts of pictures by pixel-format name.
#include "confclient/library/LMPixelFormat.h"

#include <cstdlib>
#include <cwchar>

int64_t LMPictureBytes(const wchar_t* szFormat, int32_t nWidth, int32_t nHeight)
{
    if (!szFormat || nWidth == 0 || nHeight == 0) return -1;
    int64_t cx = std::llabs(nWidth), cy = std::llabs(nHeight);
    if (wcscmp(szFormat, LM_FMT_YUV420) == 0) return cx % 2 || cy % 2 ? -1 : cx * cy * 3 / 2;
    if (wcscmp(szFormat, LM_FMT_RGB555) == 0 || wcscmp(szFormat, LM_FMT_RGB565) == 0 ||
        wcscmp(szFormat, LM_FMT_YUY2) == 0 || wcscmp(szFormat, LM_FMT_UYVY) == 0)
        return cx * cy * 2;
    if (wcscmp(szFormat, LM_FMT_RGB24) == 0) return cx * cy * 3;
    if (wcscmp(szFormat, LM_FMT_RGB32) == 0) return cx * cy * 4;
    return -1;
}
