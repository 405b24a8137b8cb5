// The heap-formatted wide string.
#include "confclient/library/LMFormatString.h"

#include "confclient/library/LMFormat.h"

#include <cstdlib>
#include <cwchar>
#include <string>

CLMFormatString::CLMFormatString(const wchar_t* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    FormatV(szFormat, args);
    va_end(args);
}

CLMFormatString::~CLMFormatString()
{
    free(m_szText);
}

const wchar_t* CLMFormatString::FormatV(const wchar_t* szFormat, va_list args)
{
    std::wstring text = LMFormatV(szFormat, args);
    free(m_szText);
    m_szText = static_cast<wchar_t*>(calloc(text.size() + 1, sizeof(wchar_t)));
    if (m_szText) wmemcpy(m_szText, text.c_str(), text.size());
    return m_szText;
}

const wchar_t* CLMFormatString::Format(const wchar_t* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    const wchar_t* szText = FormatV(szFormat, args);
    va_end(args);
    return szText;
}
