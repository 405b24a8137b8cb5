// Line reading: skips what is left of the previous line's end, collects up to CR or LF, holds that back.
#include "lmboard2/textfile/TextFileRead.h"

namespace
{
void AppendUtf16(std::u16string& s, char32_t c)
{
    if (c < 0x10000)
    {
        s.push_back(static_cast<char16_t>(c));
        return;
    }
    c -= 0x10000;
    s.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    s.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}
} // namespace

CTextFileRead::CTextFileRead(const std::filesystem::path& path, ICodePageConverter* pConverter)
    : CTextFileBase(path, pConverter)
{
}

// A line ends at CR, LF or CR LF. The end of the file after a line end is not a further empty line, so
// "a CR LF" is one line and an empty file has none.
bool CTextFileRead::ReadLine(std::u16string& line)
{
    line.clear();
    if (m_bEof && !m_bHeld) return false;

    char32_t c = 0;
    bool bHave = true;
    if (m_bHeld)
    {
        c = m_nHeld;
        m_bHeld = false;
    }
    else
        bHave = ReadChar(c);
    if (!m_bPositioned)
    {
        if (bHave && c == U'\r') bHave = ReadChar(c);
        if (bHave && c == U'\n') bHave = ReadChar(c);
    }
    m_bPositioned = false;
    if (!bHave) return false;

    // 8-bit text is converted as a whole line, so that a double-byte code page sees both bytes of a
    // character.
    std::string ansi;
    while (bHave && c != U'\r' && c != U'\n')
    {
        if (m_nEncoding == TEXT_ANSI)
            ansi.push_back(static_cast<char>(c));
        else
            AppendUtf16(line, c);
        bHave = ReadChar(c);
    }
    if (bHave)
    {
        m_bHeld = true;
        m_nHeld = c;
    }
    if (m_nEncoding == TEXT_ANSI) line = m_pConverter->ToUtf16(m_nCodePage, ansi);
    return true;
}
