// The wide printf-style formatter shared by every object, identical on every C library.
#include "confclient/library/LMFormat.h"

#include <cstdint>
#include <cwchar>

namespace
{

struct Conversion
{
    bool bLeft = false, bPlus = false, bSpace = false, bAlt = false, bZero = false;
    int nWidth = 0;
    int nPrecision = -1;
    enum Length
    {
        Int,
        Char,
        Short,
        Long,
        LongLong,
        Size
    } length = Int;
};

// Pads a converted field to its width: sign and prefix stay in front of zero padding.
void Emit(std::wstring& out, const Conversion& conv, const std::wstring& prefix, const std::wstring& body)
{
    size_t nUsed = prefix.size() + body.size();
    size_t nPad = conv.nWidth > 0 && static_cast<size_t>(conv.nWidth) > nUsed ? conv.nWidth - nUsed : 0;
    if (conv.bLeft)
    {
        out += prefix;
        out += body;
        out.append(nPad, L' ');
    }
    else if (conv.bZero && conv.nPrecision < 0)
    {
        out += prefix;
        out.append(nPad, L'0');
        out += body;
    }
    else
    {
        out.append(nPad, L' ');
        out += prefix;
        out += body;
    }
}

std::wstring Digits(uint64_t nValue, unsigned nBase, bool bUpper, int nPrecision)
{
    const wchar_t* szDigits = bUpper ? L"0123456789ABCDEF" : L"0123456789abcdef";
    std::wstring digits;
    while (nValue)
    {
        digits.insert(digits.begin(), szDigits[nValue % nBase]);
        nValue /= nBase;
    }
    int nMin = nPrecision < 0 ? 1 : nPrecision;
    if (digits.size() < static_cast<size_t>(nMin)) digits.insert(0, nMin - digits.size(), L'0');
    return digits;
}

int64_t SignedArg(Conversion::Length length, va_list& args)
{
    switch (length)
    {
    case Conversion::Char:
        return static_cast<signed char>(va_arg(args, int));
    case Conversion::Short:
        return static_cast<short>(va_arg(args, int));
    case Conversion::Long:
        return va_arg(args, long);
    case Conversion::LongLong:
        return va_arg(args, long long);
    case Conversion::Size:
        return static_cast<int64_t>(va_arg(args, size_t));
    default:
        return va_arg(args, int);
    }
}

uint64_t UnsignedArg(Conversion::Length length, va_list& args)
{
    switch (length)
    {
    case Conversion::Char:
        return static_cast<unsigned char>(va_arg(args, unsigned));
    case Conversion::Short:
        return static_cast<unsigned short>(va_arg(args, unsigned));
    case Conversion::Long:
        return va_arg(args, unsigned long);
    case Conversion::LongLong:
        return va_arg(args, unsigned long long);
    case Conversion::Size:
        return va_arg(args, size_t);
    default:
        return va_arg(args, unsigned);
    }
}

std::wstring Truncated(std::wstring text, int nPrecision)
{
    if (nPrecision >= 0 && text.size() > static_cast<size_t>(nPrecision)) text.resize(nPrecision);
    return text;
}

// Narrow strings are taken byte by byte (ASCII in practice: source names and library texts).
std::wstring Widened(const char* sz)
{
    std::wstring text;
    for (; *sz; ++sz)
        text += static_cast<wchar_t>(static_cast<unsigned char>(*sz));
    return text;
}

} // namespace

std::wstring LMFormatV(const wchar_t* szFormat, va_list argsIn)
{
    std::wstring out;
    if (!szFormat) return out;
    va_list args;
    va_copy(args, argsIn);
    for (const wchar_t* p = szFormat; *p; ++p)
    {
        if (*p != L'%')
        {
            out += *p;
            continue;
        }
        const wchar_t* szStart = p++;
        Conversion conv;
        for (;; ++p)
        {
            if (*p == L'-')
                conv.bLeft = true;
            else if (*p == L'+')
                conv.bPlus = true;
            else if (*p == L' ')
                conv.bSpace = true;
            else if (*p == L'#')
                conv.bAlt = true;
            else if (*p == L'0')
                conv.bZero = true;
            else
                break;
        }
        if (*p == L'*')
        {
            conv.nWidth = va_arg(args, int);
            if (conv.nWidth < 0)
            {
                conv.bLeft = true;
                conv.nWidth = -conv.nWidth;
            }
            ++p;
        }
        else
            for (; *p >= L'0' && *p <= L'9'; ++p)
                conv.nWidth = conv.nWidth * 10 + (*p - L'0');
        if (*p == L'.')
        {
            ++p;
            conv.nPrecision = 0;
            if (*p == L'*')
            {
                conv.nPrecision = va_arg(args, int);
                ++p;
            }
            else
                for (; *p >= L'0' && *p <= L'9'; ++p)
                    conv.nPrecision = conv.nPrecision * 10 + (*p - L'0');
        }
        bool bNarrow = false, bWide = false;
        if (*p == L'h')
        {
            conv.length = p[1] == L'h' ? Conversion::Char : Conversion::Short;
            bNarrow = true;
            p += p[1] == L'h' ? 2 : 1;
        }
        else if (*p == L'l')
        {
            conv.length = p[1] == L'l' ? Conversion::LongLong : Conversion::Long;
            bWide = true;
            p += p[1] == L'l' ? 2 : 1;
        }
        else if (*p == L'I' && p[1] == L'6' && p[2] == L'4')
        {
            conv.length = Conversion::LongLong;
            p += 3;
        }
        else if (*p == L'z')
        {
            conv.length = Conversion::Size;
            ++p;
        }
        switch (*p)
        {
        case L'd':
        case L'i':
        {
            int64_t nValue = SignedArg(conv.length, args);
            uint64_t nMagnitude =
                nValue < 0 ? 0 - static_cast<uint64_t>(nValue) : static_cast<uint64_t>(nValue);
            std::wstring sign = nValue < 0 ? L"-" : conv.bPlus ? L"+" : conv.bSpace ? L" " : L"";
            Emit(out, conv, sign, Digits(nMagnitude, 10, false, conv.nPrecision));
            break;
        }
        case L'u':
        case L'x':
        case L'X':
        case L'o':
        {
            uint64_t nValue = UnsignedArg(conv.length, args);
            unsigned nBase = *p == L'u' ? 10 : *p == L'o' ? 8 : 16;
            std::wstring prefix;
            if (conv.bAlt && nValue && nBase == 16)
                prefix = *p == L'X' ? L"0X" : L"0x";
            else if (conv.bAlt && nBase == 8)
                prefix = L"0";
            Emit(out, conv, prefix, Digits(nValue, nBase, *p == L'X', conv.nPrecision));
            break;
        }
        case L'p':
        {
            auto nValue = reinterpret_cast<uintptr_t>(va_arg(args, void*));
            conv.nPrecision = static_cast<int>(sizeof(void*) * 2);
            Emit(out, conv, L"", Digits(nValue, 16, true, conv.nPrecision));
            break;
        }
        case L'c':
        {
            wchar_t ch = bNarrow ? static_cast<wchar_t>(static_cast<unsigned char>(va_arg(args, int)))
                                 : static_cast<wchar_t>(va_arg(args, int));
            Emit(out, conv, L"", std::wstring(1, ch));
            break;
        }
        case L's':
        case L'S':
        {
            bool bTakeNarrow = bNarrow || (*p == L'S' && !bWide);
            std::wstring text;
            if (bTakeNarrow)
            {
                const char* sz = va_arg(args, const char*);
                text = sz ? Widened(sz) : L"(null)";
            }
            else
            {
                const wchar_t* sz = va_arg(args, const wchar_t*);
                text = sz ? sz : L"(null)";
            }
            conv.bZero = false;
            Emit(out, conv, L"", Truncated(text, conv.nPrecision));
            break;
        }
        case L'%':
            out += L'%';
            break;
        default:
            // Unknown or cut-off conversion: copied as it stands.
            if (!*p)
            {
                out.append(szStart, p);
                va_end(args);
                return out;
            }
            out.append(szStart, p + 1);
            break;
        }
    }
    va_end(args);
    return out;
}

std::wstring LMFormat(const wchar_t* szFormat, ...)
{
    va_list args;
    va_start(args, szFormat);
    std::wstring text = LMFormatV(szFormat, args);
    va_end(args);
    return text;
}
