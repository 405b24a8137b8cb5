// Decoding and parsing of the keyed text table.
#include "confclient/session/texttable/TextTable.h"

namespace
{
constexpr char16_t kReplacement = 0xFFFD;

void AppendCodePoint(std::u16string& out, uint32_t cp)
{
    if (cp < 0x10000)
    {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

std::u16string DecodeUtf8(const uint8_t* p, size_t size)
{
    std::u16string out;
    out.reserve(size);
    size_t i = 0;
    while (i < size)
    {
        uint8_t b = p[i];
        size_t extra;
        uint32_t cp, min;
        if (b < 0x80)
        {
            out.push_back(b);
            ++i;
            continue;
        }
        if ((b & 0xE0) == 0xC0)
            extra = 1, cp = b & 0x1F, min = 0x80;
        else if ((b & 0xF0) == 0xE0)
            extra = 2, cp = b & 0x0F, min = 0x800;
        else if ((b & 0xF8) == 0xF0)
            extra = 3, cp = b & 0x07, min = 0x10000;
        else
        {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        size_t j = 1;
        for (; j <= extra && i + j < size && (p[i + j] & 0xC0) == 0x80; ++j)
            cp = (cp << 6) | (p[i + j] & 0x3F);
        if (j <= extra || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        {
            // A broken sequence costs one replacement for the bytes read so far.
            out.push_back(kReplacement);
            i += j;
            continue;
        }
        AppendCodePoint(out, cp);
        i += j;
    }
    return out;
}

std::u16string DecodeUtf16Le(const uint8_t* p, size_t size)
{
    std::u16string out;
    out.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2)
        out.push_back(static_cast<char16_t>(p[i] | (p[i + 1] << 8)));
    return out;
}

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == 0xFEFF;
}

std::u16string_view Trim(std::u16string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::u16string Unescape(std::u16string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i)
    {
        if (s[i] == u'\\' && i + 1 < s.size() && (s[i + 1] == u'n' || s[i + 1] == u'\\'))
        {
            out.push_back(s[i + 1] == u'n' ? u'\n' : u'\\');
            ++i;
        }
        else
            out.push_back(s[i]);
    }
    return out;
}
} // namespace

std::u16string CTextTable::Decode(const uint8_t* data, size_t size)
{
    if (!data || size == 0) return {};
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) return DecodeUtf16Le(data + 2, size - 2);
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
        return DecodeUtf8(data + 3, size - 3);
    // Without a mark, an ASCII first character followed by a zero byte is UTF-16LE.
    if (size >= 2 && data[0] != 0 && data[0] < 0x80 && data[1] == 0) return DecodeUtf16Le(data, size);
    return DecodeUtf8(data, size);
}

void CTextTable::Parse(const uint8_t* data, size_t size)
{
    ParseText(Decode(data, size));
}

void CTextTable::ParseText(std::u16string_view text)
{
    m_texts.clear();
    std::u16string section;
    while (!text.empty())
    {
        size_t end = text.find(u'\n');
        std::u16string_view line = text.substr(0, end);
        text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);

        std::u16string_view trimmed = Trim(line);
        if (trimmed.empty() || trimmed.front() == u';') continue;
        if (trimmed.front() == u'[' && trimmed.back() == u']' && trimmed.size() >= 2)
        {
            section = std::u16string(Trim(trimmed.substr(1, trimmed.size() - 2)));
            continue;
        }
        size_t eq = line.find(u'=');
        if (eq == std::u16string_view::npos) continue;
        std::u16string_view key = Trim(line.substr(0, eq));
        if (key.empty()) continue;
        std::u16string fullKey = section.empty() ? std::u16string(key) : section + u'_' + std::u16string(key);
        auto [it, added] = m_texts.try_emplace(fullKey, Unescape(line.substr(eq + 1)));
        if (!added)
            LogF(m_pLog, LOG_DEBUG, "[TEXT] key %s repeats; the first value stays", Utf8Of(fullKey).c_str());
    }
}

const std::u16string* CTextTable::Find(std::u16string_view key) const
{
    auto it = m_texts.find(key);
    return it == m_texts.end() ? nullptr : &it->second;
}

std::u16string CTextTable::GetText(std::u16string_view key) const
{
    if (const std::u16string* text = Find(key)) return *text;
    LogF(m_pLog, LOG_DEBUG, "[TEXT] no text for key %s", Utf8Of(key).c_str());
    return {};
}
