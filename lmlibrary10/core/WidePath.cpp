// Wide text to UTF-8.
#include "lmlibrary10/core/WidePath.h"

#include <cstdint>

namespace
{
void AppendUtf8(std::string& text, uint32_t nCode)
{
    if (nCode < 0x80)
        text += static_cast<char>(nCode);
    else if (nCode < 0x800)
    {
        text += static_cast<char>(0xC0 | (nCode >> 6));
        text += static_cast<char>(0x80 | (nCode & 0x3F));
    }
    else if (nCode < 0x10000)
    {
        text += static_cast<char>(0xE0 | (nCode >> 12));
        text += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (nCode & 0x3F));
    }
    else
    {
        text += static_cast<char>(0xF0 | (nCode >> 18));
        text += static_cast<char>(0x80 | ((nCode >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((nCode >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (nCode & 0x3F));
    }
}
} // namespace

std::string LMWideToUtf8(const wchar_t* szWide)
{
    std::string text;
    if (!szWide) return text;
    for (const wchar_t* p = szWide; *p; ++p)
    {
        uint32_t nCode = static_cast<uint32_t>(*p);
        if (sizeof(wchar_t) == 2) nCode &= 0xFFFF;
        if (nCode >= 0xD800 && nCode < 0xDC00 && sizeof(wchar_t) == 2)
        {
            const uint32_t nLow = static_cast<uint32_t>(p[1]) & 0xFFFF;
            if (nLow >= 0xDC00 && nLow < 0xE000)
            {
                nCode = 0x10000 + ((nCode - 0xD800) << 10) + (nLow - 0xDC00);
                ++p;
            }
            else
                nCode = 0xFFFD;
        }
        else if ((nCode >= 0xD800 && nCode < 0xE000) || nCode > 0x10FFFF)
            nCode = 0xFFFD;
        AppendUtf8(text, nCode);
    }
    return text;
}
