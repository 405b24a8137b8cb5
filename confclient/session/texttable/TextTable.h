// The keyed text table: KEY=VALUE lines of the language library's "INI" resources, looked up by key.
#pragma once
#include "core/LogSink.h"
#include "core/Utf8Text.h"
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

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

// A text of the table with its first "%s" replaced by arg; the text is never used as a format.
template <class Char>
std::basic_string<Char> Formatted(std::basic_string<Char> text, const std::basic_string<Char>& arg)
{
    const Char placeholder[] = {'%', 's', 0};
    const size_t at = text.find(placeholder);
    if (at != std::basic_string<Char>::npos) text.replace(at, 2, arg);
    return text;
}
