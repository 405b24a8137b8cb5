// Conversion of 8-bit text in a code page to UTF-16.
#pragma once
#include <string>
#include <string_view>

class ICodePageConverter
{
public:
    virtual ~ICodePageConverter() = default;
    // Converts bytes of the code page (0: the system's ANSI code page) to UTF-16; what it cannot map becomes
    // U+FFFD.
    virtual std::u16string ToUtf16(unsigned nCodePage, std::string_view bytes) = 0;
};

// Windows-1252 (also for code page 0) and ISO 8859-1 by table; other code pages keep ASCII and turn every
// other byte into U+FFFD. Stands where the system offers no conversion of its own.
class CTableCodePageConverter : public ICodePageConverter
{
public:
    static constexpr unsigned kWindows1252 = 1252;
    static constexpr unsigned kLatin1 = 28591;

    std::u16string ToUtf16(unsigned nCodePage, std::string_view bytes) override;

    // One shared instance: the converter keeps no state.
    static CTableCodePageConverter& Instance();
};
