// The system's code-page conversion behind the converter interface.
#include "lmboard2/textfile/WinCodePageConverter.h"
#include "winui/WideText.h"

#include <windows.h>

std::u16string CWinCodePageConverter::ToUtf16(unsigned nCodePage, std::string_view bytes)
{
    if (bytes.empty()) return {};
    const UINT cp = nCodePage ? nCodePage : CP_ACP;
    const int cb = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(cp, 0, bytes.data(), cb, nullptr, 0);
    if (n <= 0) return CTableCodePageConverter::Instance().ToUtf16(nCodePage, bytes);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(cp, 0, bytes.data(), cb, wide.data(), n);
    return U16Of(wide);
}
