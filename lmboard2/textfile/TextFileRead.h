// Reads a text file line by line as UTF-16, whatever its encoding.
#pragma once
#include "lmboard2/textfile/TextFileBase.h"

class CTextFileRead : public CTextFileBase
{
public:
    // Opens the file (shared for reading) and detects its encoding; a file that cannot be opened reads
    // as empty. 8-bit text is converted through pConverter (null: the built-in table converter).
    explicit CTextFileRead(const std::filesystem::path& path, ICodePageConverter* pConverter = nullptr);

    // The next line without its end (CR, LF or CR LF); false at the end of the file.
    bool ReadLine(std::u16string& line);
};
