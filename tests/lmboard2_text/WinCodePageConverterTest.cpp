// The system's code-page conversion: Windows-1252 agrees with the table, double-byte code pages work.
#include <gtest/gtest.h>

#include <string>

#include "lmboard2/textfile/WinCodePageConverter.h"

TEST(WinCodePageConverter, AgreesWithTheTableAndConvertsDoubleByteText)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    CWinCodePageConverter win;
    EXPECT_EQ(CTableCodePageConverter::Instance().ToUtf16(1252, all), win.ToUtf16(1252, all));
    EXPECT_EQ(u"\uD55C\uAE00", win.ToUtf16(949, "\xC7\xD1\xB1\xDB"));
    EXPECT_EQ(u"", win.ToUtf16(1252, ""));
}
