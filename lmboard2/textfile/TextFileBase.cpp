// Byte-order mark detection, the read buffer and decoding of UTF-16 and UTF-8 characters.
#include "lmboard2/textfile/TextFileBase.h"

namespace
{
constexpr char32_t kReplacement = 0xFFFD;
}

CTextFileBase::CTextFileBase(const std::filesystem::path& path, ICodePageConverter* pConverter)
    : m_pConverter(pConverter ? pConverter : &CTableCodePageConverter::Instance())
{
    if (!m_file.open(path, std::ios::in | std::ios::binary))
    {
        m_bEof = true;
        return;
    }
    DetectEncoding();
}

bool CTextFileBase::Refill()
{
    m_nPos = 0;
    m_nFill = m_file.is_open() ? static_cast<size_t>(m_file.sgetn(m_buffer, kBufferSize)) : 0;
    if (!m_nFill) m_bEof = true;
    return m_nFill != 0;
}

bool CTextFileBase::ReadByte(uint8_t& b)
{
    if (m_nPos >= m_nFill && !Refill()) return false;
    b = static_cast<uint8_t>(m_buffer[m_nPos++]);
    return true;
}

// FF FE: UTF-16 little-endian; FE FF: big-endian; EF BB BF: UTF-8; anything else is 8-bit text from the
// start.
void CTextFileBase::DetectEncoding()
{
    m_nEncoding = TEXT_ANSI;
    m_bPositioned = true;
    if (!Refill()) return;
    const auto at = [this](size_t i) { return i < m_nFill ? static_cast<uint8_t>(m_buffer[i]) : -1; };
    if (at(0) == 0xFF && at(1) == 0xFE)
    {
        m_nEncoding = TEXT_UTF16LE;
        m_nPos = 2;
    }
    else if (at(0) == 0xFE && at(1) == 0xFF)
    {
        m_nEncoding = TEXT_UTF16BE;
        m_nPos = 2;
    }
    else if (at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF)
    {
        m_nEncoding = TEXT_UTF8;
        m_nPos = 3;
    }
}

bool CTextFileBase::ReadChar(char32_t& c)
{
    uint8_t b0 = 0, b1 = 0;
    if (!ReadByte(b0)) return false;
    switch (m_nEncoding)
    {
    case TEXT_UTF16LE:
    case TEXT_UTF16BE:
        if (!ReadByte(b1))
        {
            c = kReplacement; // a lone last byte
            return true;
        }
        c = m_nEncoding == TEXT_UTF16LE ? char32_t(b0 | b1 << 8) : char32_t(b0 << 8 | b1);
        return true;
    case TEXT_UTF8:
        c = b0 < 0x80 ? char32_t(b0) : DecodeUtf8(b0);
        return true;
    default:
        c = b0;
        return true;
    }
}

// One UTF-8 sequence after its lead byte. A malformed sequence gives one U+FFFD and leaves a byte that is
// not a continuation byte for the next character; overlong forms and surrogates are malformed too.
char32_t CTextFileBase::DecodeUtf8(uint8_t nLead)
{
    int nMore = 0;
    char32_t c = 0, nMin = 0;
    if (nLead >= 0xC2 && nLead <= 0xDF)
        nMore = 1, c = nLead & 0x1F, nMin = 0x80;
    else if (nLead >= 0xE0 && nLead <= 0xEF)
        nMore = 2, c = nLead & 0x0F, nMin = 0x800;
    else if (nLead >= 0xF0 && nLead <= 0xF4)
        nMore = 3, c = nLead & 0x07, nMin = 0x10000;
    else
        return kReplacement;
    for (int i = 0; i < nMore; ++i)
    {
        uint8_t b = 0;
        if (!ReadByte(b)) return kReplacement;
        if ((b & 0xC0) != 0x80)
        {
            --m_nPos; // ReadByte just took it from the buffer
            return kReplacement;
        }
        c = c << 6 | (b & 0x3F);
    }
    if (c < nMin || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return kReplacement;
    return c;
}

bool CTextFileBase::Seek(int64_t nOffset, TextSeekOrigin origin)
{
    // The file runs ahead of the reader by what the buffer still holds: count from the reader's position.
    if (origin == TEXT_SEEK_CURRENT)
    {
        nOffset += GetPosition();
        origin = TEXT_SEEK_BEGIN;
    }
    m_nFill = m_nPos = 0;
    m_bHeld = false;
    m_bEof = false;
    m_bPositioned = true;
    if (!m_file.is_open())
    {
        m_bEof = true;
        return false;
    }
    const std::ios_base::seekdir dir = origin == TEXT_SEEK_BEGIN ? std::ios::beg : std::ios::end;
    const std::streamoff nResult = m_file.pubseekoff(nOffset, dir, std::ios::in);
    if (nResult < 0) return false;
    if (nResult == 0) DetectEncoding();
    return true;
}

int64_t CTextFileBase::GetPosition()
{
    if (!m_file.is_open()) return -1;
    const std::streamoff nFilePos = m_file.pubseekoff(0, std::ios::cur, std::ios::in);
    if (nFilePos < 0) return -1;
    const int64_t nHeldBytes = !m_bHeld                                                       ? 0
                               : (m_nEncoding == TEXT_UTF16LE || m_nEncoding == TEXT_UTF16BE) ? 2
                                                                                              : 1;
    return static_cast<int64_t>(nFilePos) - static_cast<int64_t>(m_nFill - m_nPos) - nHeldBytes;
}
