// Plain-text files: the encoding found by mark or validity, UTF-8 with a mark written.
#include "core/TextFile.h"

#include <cstdint>

#include "core/Utf8Text.h"

namespace
{
// Decodes UTF-8; a byte that starts no valid sequence fails the decoding, or with bReplace
// becomes U+FFFD and the decoding goes on after it.
bool Utf8ToUtf16(std::string_view bytes, std::u16string& out, bool bReplace)
{
    out.clear();
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();)
    {
        const auto b0 = static_cast<uint8_t>(bytes[i]);
        const size_t n = b0 < 0x80                  ? 1
                         : b0 >= 0xC2 && b0 <= 0xDF ? 2
                         : b0 >= 0xE0 && b0 <= 0xEF ? 3
                         : b0 >= 0xF0 && b0 <= 0xF4 ? 4
                                                    : 0;
        uint32_t cp = n == 1 ? b0 : b0 & (0x7F >> n);
        bool bValid = n != 0 && i + n <= bytes.size();
        for (size_t k = 1; bValid && k < n; ++k)
        {
            const auto b = static_cast<uint8_t>(bytes[i + k]);
            bValid = (b & 0xC0) == 0x80;
            cp = (cp << 6) | (b & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        bValid = bValid && cp >= kLeast[n] && (cp < 0xD800 || cp > 0xDFFF) && cp <= 0x10FFFF;
        if (!bValid)
        {
            if (!bReplace) return false;
            out.push_back(u'\xFFFD');
            ++i;
            continue;
        }
        if (cp >= 0x10000)
        {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
        else
            out.push_back(static_cast<char16_t>(cp));
        i += n;
    }
    return true;
}
} // namespace

std::u16string DecodeTextFile(std::string_view bytes, const AnsiDecoder& ansi)
{
    const bool bLittle = bytes.substr(0, 2) == "\xFF\xFE";
    std::u16string text;
    if (bLittle || bytes.substr(0, 2) == "\xFE\xFF")
    {
        text.reserve(bytes.size() / 2);
        // A last odd byte is half a unit: left out.
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        {
            const auto lo = static_cast<uint8_t>(bytes[i + (bLittle ? 0 : 1)]);
            const auto hi = static_cast<uint8_t>(bytes[i + (bLittle ? 1 : 0)]);
            text.push_back(static_cast<char16_t>(lo | (hi << 8)));
        }
        return text;
    }
    // A marked file is UTF-8 even where a sequence is broken; an unmarked one only when valid.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        Utf8ToUtf16(bytes.substr(3), text, true);
    else if (!Utf8ToUtf16(bytes, text, false))
        text = ansi(bytes);
    return text;
}

std::string EncodeTextFile(std::u16string_view text)
{
    return "\xEF\xBB\xBF" + Utf8Of(text);
}
