// A wide string formatted printf-style onto the heap (the formatter of LMFormat.h).
#pragma once
#include <cstdarg>

class CLMFormatString
{
public:
    CLMFormatString() = default;
    explicit CLMFormatString(const wchar_t* szFormat, ...);
    virtual ~CLMFormatString();
    CLMFormatString(const CLMFormatString&) = delete;
    CLMFormatString& operator=(const CLMFormatString&) = delete;

    // Frees the old text and formats anew; returns the text (null when memory ran out).
    virtual const wchar_t* FormatV(const wchar_t* szFormat, va_list args);
    virtual const wchar_t* Format(const wchar_t* szFormat, ...);

    const wchar_t* GetText() const { return m_szText; }

private:
    wchar_t* m_szText = nullptr;
};
