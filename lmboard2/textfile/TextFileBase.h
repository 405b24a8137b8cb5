// Buffered character reading of a text file in one of four encodings, told apart by the byte-order mark.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "lmboard2/textfile/CodePageConverter.h"

enum TextEncoding
{
    TEXT_ANSI = 0, // 8-bit text in the code page set by SetCodePage
    TEXT_UTF16BE = 1,
    TEXT_UTF16LE = 2,
    TEXT_UTF8 = 3,
};

enum TextSeekOrigin
{
    TEXT_SEEK_BEGIN = 0,
    TEXT_SEEK_CURRENT = 1,
    TEXT_SEEK_END = 2,
};

class CTextFileBase
{
public:
    virtual ~CTextFileBase() = default; // the file closes with its buffer
    CTextFileBase(const CTextFileBase&) = delete;
    CTextFileBase& operator=(const CTextFileBase&) = delete;

    // Code page of 8-bit text; 0 is the system's ANSI code page.
    void SetCodePage(unsigned nCodePage) { m_nCodePage = nCodePage; }

    // Moves in the file and empties the buffer; seeking to 0 from the start detects the byte-order mark
    // again. False when the file is not open or the position is not valid.
    bool Seek(int64_t nOffset, TextSeekOrigin origin);

    // Byte offset of the next unread character; -1 when the file is not open.
    int64_t GetPosition();

protected:
    // Opens the file for reading; end of file is marked when it cannot be opened. A null converter
    // means the built-in table converter.
    CTextFileBase(const std::filesystem::path& path, ICodePageConverter* pConverter);

    // The next character of the file (a byte of 8-bit text), or false at its end (which marks end of file).
    bool ReadChar(char32_t& c);

    void DetectEncoding();

    static constexpr size_t kBufferSize = 1024;

    std::filebuf m_file;
    ICodePageConverter* m_pConverter;
    TextEncoding m_nEncoding = TEXT_ANSI;
    unsigned m_nCodePage = 0;
    bool m_bEof = false;
    char m_buffer[kBufferSize] = {};
    size_t m_nFill = 0;
    size_t m_nPos = 0;
    bool m_bHeld = false; // a line's stopping character, kept for the next line
    char32_t m_nHeld = 0;
    bool m_bPositioned = false; // nothing of a previous line end is left to skip

private:
    bool Refill();
    bool ReadByte(uint8_t& b);
    char32_t DecodeUtf8(uint8_t nLead);
};
