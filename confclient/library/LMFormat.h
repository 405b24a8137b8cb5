// One printf-style formatter for wide text, so a message reads the same natively and under Wine:
// the C libraries disagree on what "%s" means in a wide format.
#pragma once
#include <cstdarg>
#include <string>

// Conversions: d i u x X o c s S p %, flags "-+ #0", width and precision (also '*'), lengths
// h hh l ll I64 z. "%s" and "%ls" take a wide string, "%S" and "%hs" a narrow one, "%c" a wide
// character; a null string prints "(null)". An unknown conversion is copied as it stands.
std::wstring LMFormatV(const wchar_t* szFormat, va_list args);
std::wstring LMFormat(const wchar_t* szFormat, ...);
