// The page header's byte layout.
#include "lmboard2/boardbase/BoardFileHeader.h"

#include <algorithm>

namespace
{
uint32_t GetU32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

void PutU32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

void GetField(const uint8_t* p, char16_t (&field)[32])
{
    for (size_t i = 0; i < 32; ++i)
        field[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
}

void PutField(uint8_t* p, const char16_t (&field)[32])
{
    for (size_t i = 0; i < 32; ++i)
    {
        p[2 * i] = static_cast<uint8_t>(field[i]);
        p[2 * i + 1] = static_cast<uint8_t>(field[i] >> 8);
    }
}
} // namespace

S_BOARD_FILEHDR S_BOARD_FILEHDR::Read(const uint8_t* p)
{
    S_BOARD_FILEHDR h;
    h.dwSize = GetU32(p);
    h.dwReserved = GetU32(p + 4);
    h.byKind = p[8];
    h.bySubPage = p[9];
    h.dwNumber = GetU32(p + 12);
    GetField(p + 16, h.szName);
    GetField(p + 80, h.szTitle);
    GetField(p + 144, h.szCaption);
    return h;
}

void S_BOARD_FILEHDR::Write(uint8_t* p) const
{
    PutU32(p, dwSize);
    PutU32(p + 4, dwReserved);
    p[8] = byKind;
    p[9] = bySubPage;
    p[10] = 0;
    p[11] = 0;
    PutU32(p + 12, dwNumber);
    PutField(p + 16, szName);
    PutField(p + 80, szTitle);
    PutField(p + 144, szCaption);
}

std::u16string S_BOARD_FILEHDR::Text(const char16_t (&field)[32])
{
    size_t n = 0;
    while (n < 32 && field[n])
        ++n;
    return std::u16string(field, n);
}

void S_BOARD_FILEHDR::SetText(char16_t (&field)[32], std::u16string_view text)
{
    size_t n = std::min<size_t>(text.size(), 31);
    std::fill(std::begin(field), std::end(field), u'\0');
    std::copy_n(text.begin(), n, field);
}
