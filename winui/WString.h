// CString: the wide string of the window layer, a std::wstring with printf-style formatting.
#pragma once
#include <string>
#include <windows.h>

class CString : public std::wstring
{
public:
    CString() = default;
    CString(const wchar_t* text) : std::wstring(text ? text : L"") {}
    CString(const std::wstring& text) : std::wstring(text) {}
    CString(const wchar_t* text, size_t count) : std::wstring(text, count) {}

    int GetLength() const { return static_cast<int>(size()); }
    bool IsEmpty() const { return empty(); }
    void Empty() { clear(); }
    const wchar_t* GetString() const { return c_str(); }
    explicit operator const wchar_t*() const { return c_str(); }

    // Replaces the contents with the formatted text (printf rules, wide).
    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);
    // Replaces every occurrence of `from` with `to`; returns how many were replaced.
    int Replace(const wchar_t* from, const wchar_t* to);
};

// The text of a window as a CString.
CString GetWindowTextString(HWND hWnd);
