// Conversion of 8-bit text through the system's code pages (MultiByteToWideChar).
#pragma once
#include "lmboard2/textfile/CodePageConverter.h"

class CWinCodePageConverter : public ICodePageConverter
{
public:
    std::u16string ToUtf16(unsigned nCodePage, std::string_view bytes) override;
};
