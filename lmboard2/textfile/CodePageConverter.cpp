// Table conversion of Windows-1252 and ISO 8859-1 to UTF-16.
#include "lmboard2/textfile/CodePageConverter.h"

namespace
{
// 0x80..0x9F of Windows-1252; the five unassigned bytes map to the C1 control of the same value, as the
// system's own conversion does.
constexpr char16_t kWindows1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

std::u16string CTableCodePageConverter::ToUtf16(unsigned nCodePage, std::string_view bytes)
{
    const bool b1252 = nCodePage == 0 || nCodePage == kWindows1252;
    const bool bLatin1 = nCodePage == kLatin1;
    std::u16string out;
    out.reserve(bytes.size());
    for (char ch : bytes)
    {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b < 0x80 || bLatin1)
            out.push_back(b);
        else if (b1252)
            out.push_back(b < 0xA0 ? kWindows1252High[b - 0x80] : b);
        else
            out.push_back(u'\uFFFD');
    }
    return out;
}

CTableCodePageConverter& CTableCodePageConverter::Instance()
{
    static CTableCodePageConverter converter;
    return converter;
}
