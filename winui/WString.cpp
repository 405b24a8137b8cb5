// CString formatting and replacement.
#include "winui/WString.h"
#include <cstdarg>
#include <cwchar>
#include <vector>

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    // Grow until the text fits: the wide vsnprintf of the runtime reports -1 on overflow.
    std::vector<wchar_t> buffer(256);
    for (;;)
    {
        va_list copy;
        va_copy(copy, args);
        int n = _vsnwprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size())
        {
            assign(buffer.data(), n);
            return;
        }
        if (buffer.size() > (1u << 24))
        {
            clear();
            return;
        }
        buffer.resize(buffer.size() * 2);
    }
}

int CString::Replace(const wchar_t* from, const wchar_t* to)
{
    std::wstring f(from), t(to);
    if (f.empty()) return 0;
    int count = 0;
    for (size_t pos = find(f); pos != npos; pos = find(f, pos + t.size()))
    {
        replace(pos, f.size(), t);
        ++count;
    }
    return count;
}

CString GetWindowTextString(HWND hWnd)
{
    int length = GetWindowTextLengthW(hWnd);
    if (length <= 0) return CString();
    std::vector<wchar_t> buffer(length + 1);
    int got = GetWindowTextW(hWnd, buffer.data(), length + 1);
    return CString(buffer.data(), got > 0 ? got : 0);
}
