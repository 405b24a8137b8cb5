// Safe and unique names for received files.
#include "confclient/people/ReceiveNames.h"

#include <algorithm>
#include <array>

namespace
{
bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Characters Windows refuses in a name, controls (C0, DEL, C1) and the bidi controls that make a
// name read differently from what it is.
bool IsUnsafe(char16_t c)
{
    static constexpr std::u16string_view kInvalid = u"<>:\"/\\|?*";
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
    if (kInvalid.find(c) != std::u16string_view::npos) return true;
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

void TrimTrailingDotsAndSpaces(std::u16string& s)
{
    while (!s.empty() && (s.back() == u'.' || s.back() == u' '))
        s.pop_back();
}

char16_t Upper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9 (also with the superscript digits Windows counts), as the
// whole name or before its first dot, trailing spaces ignored.
bool IsDeviceName(const std::u16string& s)
{
    std::u16string stem = s.substr(0, s.find(u'.'));
    while (!stem.empty() && stem.back() == u' ')
        stem.pop_back();
    std::u16string up;
    for (char16_t c : stem)
        up.push_back(Upper(c));
    static const std::array<std::u16string_view, 4> kPlain = {u"CON", u"PRN", u"AUX", u"NUL"};
    if (std::find(kPlain.begin(), kPlain.end(), up) != kPlain.end()) return true;
    if (up.size() != 4 || (up.compare(0, 3, u"COM") != 0 && up.compare(0, 3, u"LPT") != 0)) return false;
    const char16_t d = up[3];
    return (d >= u'1' && d <= u'9') || d == 0x00B9 || d == 0x00B2 || d == 0x00B3;
}

// The position of the extension's dot, or npos when the name has none worth keeping.
size_t ExtensionDot(const std::u16string& s, size_t nMaxUnits)
{
    const size_t nDot = s.rfind(u'.');
    if (nDot == std::u16string::npos || nDot == 0) return std::u16string::npos;
    // An extension that would leave no room for a base is not kept whole.
    if (s.size() - nDot > nMaxUnits / 2) return std::u16string::npos;
    return nDot;
}

// Cuts the base so that base + ext fits, never between the halves of a surrogate pair.
std::u16string FitName(std::u16string base, const std::u16string& ext, size_t nMaxUnits)
{
    if (base.size() + ext.size() > nMaxUnits)
    {
        size_t nKeep = nMaxUnits > ext.size() ? nMaxUnits - ext.size() : 0;
        if (nKeep > 0 && nKeep < base.size() && IsLowSurrogate(base[nKeep])) --nKeep;
        base.resize(nKeep);
        TrimTrailingDotsAndSpaces(base);
        if (base.empty()) base = u"file";
    }
    std::u16string s = base + ext;
    if (s.size() > nMaxUnits) s.resize(nMaxUnits);
    return s;
}
} // namespace

std::u16string SafeReceiveName(std::u16string_view szRaw, size_t nMaxUnits)
{
    szRaw = szRaw.substr(0, szRaw.find(u'\0'));
    const size_t nSlash = szRaw.find_last_of(u"\\/");
    if (nSlash != std::u16string_view::npos) szRaw = szRaw.substr(nSlash + 1);

    std::u16string s;
    for (size_t i = 0; i < szRaw.size(); ++i)
    {
        const char16_t c = szRaw[i];
        if (IsHighSurrogate(c) && i + 1 < szRaw.size() && IsLowSurrogate(szRaw[i + 1]))
        {
            s.push_back(c);
            s.push_back(szRaw[++i]);
            continue;
        }
        const bool bLoneHalf = IsHighSurrogate(c) || IsLowSurrogate(c);
        s.push_back(bLoneHalf || IsUnsafe(c) ? u'_' : c);
    }
    TrimTrailingDotsAndSpaces(s);
    if (s.empty()) s = u"file";
    if (IsDeviceName(s)) s.insert(s.begin(), u'_');

    const size_t nMax = std::max<size_t>(nMaxUnits, 8);
    if (s.size() <= nMax) return s;
    const size_t nDot = ExtensionDot(s, nMax);
    if (nDot == std::u16string::npos) return FitName(s, u"", nMax);
    return FitName(s.substr(0, nDot), s.substr(nDot), nMax);
}

std::u16string NumberedName(const std::u16string& szName, unsigned n, size_t nMaxUnits)
{
    const size_t nMax = std::max<size_t>(nMaxUnits, 16);
    size_t nDot = szName.rfind(u'.');
    if (nDot == 0) nDot = std::u16string::npos;
    std::u16string base = szName.substr(0, nDot);
    const std::u16string ext = nDot == std::u16string::npos ? u"" : szName.substr(nDot);

    // "name(3)" numbered again becomes "name(4)", not "name(3)(1)".
    if (base.size() >= 3 && base.back() == u')')
    {
        const size_t nOpen = base.rfind(u'(');
        if (nOpen != std::u16string::npos && nOpen + 2 < base.size() &&
            std::all_of(base.begin() + nOpen + 1, base.end() - 1,
                        [](char16_t c) { return c >= u'0' && c <= u'9'; }))
            base.resize(nOpen);
    }
    const std::string digits = std::to_string(n);
    std::u16string suffix = u"(";
    suffix.append(digits.begin(), digits.end());
    suffix += u")";
    if (ext.size() + suffix.size() >= nMax) return FitName(base, suffix, nMax);
    std::u16string fitted = FitName(base, suffix + ext, nMax);
    return fitted;
}

std::unique_ptr<IReceiveFile> CreateReceiveFile(IDownloadFolder& folder, std::u16string& szName)
{
    // Room for the largest number tried.
    constexpr unsigned kTries = 9999;
    constexpr size_t kNumberRoom = 6;
    const size_t nRoom = folder.NameRoom();
    if (nRoom < 16) return nullptr;
    const std::u16string szSafe = SafeReceiveName(szName, nRoom - kNumberRoom);
    for (unsigned n = 0; n <= kTries; ++n)
    {
        const std::u16string szTry = n == 0 ? szSafe : NumberedName(szSafe, n, nRoom);
        std::unique_ptr<IReceiveFile> file;
        switch (folder.CreateNew(szTry, file))
        {
        case IDownloadFolder::CREATE_MADE:
            szName = szTry;
            return file;
        case IDownloadFolder::CREATE_EXISTS:
            break;
        case IDownloadFolder::CREATE_FAILED:
            return nullptr;
        }
    }
    return nullptr;
}
