// The wide printf-style formatter shared by every object, identical on every C library.
#include "confclient/library/LMFormat.h"

#include <cstdint>
#include <cwchar>

namespace
{

struct Spec
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
void Emit(std::wstring& out, const Spec& spec, const std::wstring& prefix, const std::wstring& body)
{
    size_t nUsed = prefix.size() + body.size();
    size_t nPad = spec.nWidth > 0 && static_cast<size_t>(spec.nWidth) > nUsed ? spec.nWidth - nUsed : 0;
    if (spec.bLeft)
    {
        out += prefix;
        out += body;
        out.append(nPad, L' ');
    }
    else if (spec.bZero && spec.nPrecision < 0)
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

int64_t SignedArg(Spec::Length length, va_list& args)
{
    switch (length)
    {
    case Spec::Char:
        return static_cast<signed char>(va_arg(args, int));
    case Spec::Short:
        return static_cast<short>(va_arg(args, int));
    case Spec::Long:
        return va_arg(args, long);
    case Spec::LongLong:
        return va_arg(args, long long);
    case Spec::Size:
        return static_cast<int64_t>(va_arg(args, size_t));
    default:
        return va_arg(args, int);
    }
}

uint64_t UnsignedArg(Spec::Length length, va_list& args)
{
    switch (length)
    {
    case Spec::Char:
        return static_cast<unsigned char>(va_arg(args, unsigned));
    case Spec::Short:
        return static_cast<unsigned short>(va_arg(args, unsigned));
    case Spec::Long:
        return va_arg(args, unsigned long);
    case Spec::LongLong:
        return va_arg(args, unsigned long long);
    case Spec::Size:
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
        Spec spec;
        for (;; ++p)
        {
            if (*p == L'-')
                spec.bLeft = true;
            else if (*p == L'+')
                spec.bPlus = true;
            else if (*p == L' ')
                spec.bSpace = true;
            else if (*p == L'#')
                spec.bAlt = true;
            else if (*p == L'0')
                spec.bZero = true;
            else
                break;
        }
        if (*p == L'*')
        {
            spec.nWidth = va_arg(args, int);
            if (spec.nWidth < 0)
            {
                spec.bLeft = true;
                spec.nWidth = -spec.nWidth;
            }
            ++p;
        }
        else
            for (; *p >= L'0' && *p <= L'9'; ++p)
                spec.nWidth = spec.nWidth * 10 + (*p - L'0');
        if (*p == L'.')
        {
            ++p;
            spec.nPrecision = 0;
            if (*p == L'*')
            {
                spec.nPrecision = va_arg(args, int);
                ++p;
            }
            else
                for (; *p >= L'0' && *p <= L'9'; ++p)
                    spec.nPrecision = spec.nPrecision * 10 + (*p - L'0');
        }
        bool bNarrow = false, bWide = false;
        if (*p == L'h')
        {
            spec.length = p[1] == L'h' ? Spec::Char : Spec::Short;
            bNarrow = true;
            p += p[1] == L'h' ? 2 : 1;
        }
        else if (*p == L'l')
        {
            spec.length = p[1] == L'l' ? Spec::LongLong : Spec::Long;
            bWide = true;
            p += p[1] == L'l' ? 2 : 1;
        }
        else if (*p == L'I' && p[1] == L'6' && p[2] == L'4')
        {
            spec.length = Spec::LongLong;
            p += 3;
        }
        else if (*p == L'z')
        {
            spec.length = Spec::Size;
            ++p;
        }
        switch (*p)
        {
        case L'd':
        case L'i':
        {
            int64_t nValue = SignedArg(spec.length, args);
            uint64_t nMagnitude =
                nValue < 0 ? 0 - static_cast<uint64_t>(nValue) : static_cast<uint64_t>(nValue);
            std::wstring sign = nValue < 0 ? L"-" : spec.bPlus ? L"+" : spec.bSpace ? L" " : L"";
            Emit(out, spec, sign, Digits(nMagnitude, 10, false, spec.nPrecision));
            break;
        }
        case L'u':
        case L'x':
        case L'X':
        case L'o':
        {
            uint64_t nValue = UnsignedArg(spec.length, args);
            unsigned nBase = *p == L'u' ? 10 : *p == L'o' ? 8 : 16;
            std::wstring prefix;
            if (spec.bAlt && nValue && nBase == 16)
                prefix = *p == L'X' ? L"0X" : L"0x";
            else if (spec.bAlt && nBase == 8)
                prefix = L"0";
            Emit(out, spec, prefix, Digits(nValue, nBase, *p == L'X', spec.nPrecision));
            break;
        }
        case L'p':
        {
            auto nValue = reinterpret_cast<uintptr_t>(va_arg(args, void*));
            spec.nPrecision = static_cast<int>(sizeof(void*) * 2);
            Emit(out, spec, L"", Digits(nValue, 16, true, spec.nPrecision));
            break;
        }
        case L'c':
        {
            wchar_t ch = bNarrow ? static_cast<wchar_t>(static_cast<unsigned char>(va_arg(args, int)))
                                 : static_cast<wchar_t>(va_arg(args, int));
            Emit(out, spec, L"", std::wstring(1, ch));
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
            spec.bZero = false;
            Emit(out, spec, L"", Truncated(text, spec.nPrecision));
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
