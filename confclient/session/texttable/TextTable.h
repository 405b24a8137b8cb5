// The keyed text table: KEY=VALUE lines of the language library's "INI" resources, looked up by key.
#pragma once
#include "core/LogSink.h"
#include "core/Utf8Text.h"
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>

class CTextTable
{
public:
    // Turns the bytes of a table into text: UTF-16LE (with or without its byte-order mark) or UTF-8
    // (with or without its mark). Malformed UTF-8 becomes U+FFFD; an odd last byte of UTF-16 is dropped.
    static std::u16string Decode(const uint8_t* data, size_t size);

    // Replaces the table with the lines of `data` (see Decode). A line "[name]" makes the keys after
    // it carry "name_" in front; lines starting with ';' and lines without '=' are skipped. The key is
    // trimmed of blanks, the value is kept as written except that "\n" becomes a line break and "\\"
    // a backslash. When a key repeats, its first value stays.
    void Parse(const uint8_t* data, size_t size);
    void ParseText(std::u16string_view text);

    // The text of `key`; a missing key yields an empty text and a DEBUG line in the log.
    std::u16string GetText(std::u16string_view key) const;
    // The text of `key`, or null when the table has no such key.
    const std::u16string* Find(std::u16string_view key) const;
    size_t GetCount() const { return m_texts.size(); }

    // Where missing and repeated keys are reported; null reports nothing.
    void SetLogSink(ILogSink* pLog) { m_pLog = pLog; }

private:
    std::map<std::u16string, std::u16string, std::less<>> m_texts;
    ILogSink* m_pLog = nullptr;
};

// The longest text Formatted gives, in units: a longer result is cut there.
constexpr size_t kMaxFormattedUnits = 2048;

// Fills the placeholders of a table text in order: "%s" takes a text argument, "%d" an integer,
// "%%" stands for '%'. The text is never handed to a C format. A text whose placeholders do not
// match the arguments (another kind after '%', too few or too many, a text for "%d" or a number
// for "%s") is refused: it comes back as written, unfilled, and pLog (may be null) is told.
// The result is cut to kMaxFormattedUnits, never inside a surrogate pair.
template <class Char, class... Args>
std::basic_string<Char> Formatted(ILogSink* pLog, const std::basic_string<Char>& text, const Args&... args)
{
    using String = std::basic_string<Char>;
    struct Arg
    {
        bool bNumber;
        long long nValue;
        String szValue;
    };
    auto toArg = []<class T>(const T& a) -> Arg
    {
        if constexpr (std::is_integral_v<T>)
            return {true, static_cast<long long>(a), {}};
        else
            return {false, 0, String(a)};
    };
    const Arg list[] = {toArg(args)..., Arg{}};
    const size_t nArgs = sizeof...(Args);

    String out;
    size_t nUsed = 0;
    const char* pszWhy = nullptr;
    for (size_t i = 0; i < text.size() && !pszWhy; ++i)
    {
        if (text[i] != Char('%'))
        {
            out.push_back(text[i]);
            continue;
        }
        const Char kind = i + 1 < text.size() ? text[i + 1] : Char(0);
        ++i;
        if (kind == Char('%'))
            out.push_back(kind);
        else if (kind != Char('s') && kind != Char('d'))
            pszWhy = "a placeholder of another kind";
        else if (nUsed == nArgs)
            pszWhy = "more placeholders than arguments";
        else if (list[nUsed].bNumber != (kind == Char('d')))
            pszWhy = "an argument of the wrong kind";
        else
        {
            const Arg& a = list[nUsed++];
            if (!a.bNumber)
                out += a.szValue;
            else
            {
                const std::string digits = std::to_string(a.nValue);
                out.append(digits.begin(), digits.end());
            }
        }
    }
    if (!pszWhy && nUsed != nArgs) pszWhy = "fewer placeholders than arguments";
    if (pszWhy)
    {
        LogF(pLog, LOG_ERROR, "[TEXT] not filled (%s, %u arguments): %s", pszWhy,
             static_cast<unsigned>(nArgs), Utf8Of(std::u16string(text.begin(), text.end())).c_str());
        out = text;
    }
    if (out.size() > kMaxFormattedUnits)
    {
        size_t nCut = kMaxFormattedUnits;
        if ((out[nCut - 1] & 0xFC00) == 0xD800) --nCut; // a high surrogate without its pair goes too
        out.resize(nCut);
    }
    return out;
}
