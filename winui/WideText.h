// The portable code's UTF-16 text (char16_t) as the Windows API's wide text (wchar_t) and back:
// on Windows both are UTF-16 code units, so each conversion is a copy, written once here.
#pragma once
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide text is UTF-16 on Windows");

inline std::wstring WideOf(std::u16string_view s)
{
    return std::wstring(s.begin(), s.end());
}

inline std::u16string U16Of(std::wstring_view s)
{
    return std::u16string(s.begin(), s.end());
}
