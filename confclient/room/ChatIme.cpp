// The chat input's input-method context: the native mode and finishing an open composition.
#include "confclient/room/ChatIme.h"

#include <imm.h>

namespace
{
constexpr LANGID kKoreanLanguage = 1042;

// The edit's input context, released when it goes.
class CImeContext
{
public:
    explicit CImeContext(HWND hWnd) : m_hWnd(hWnd), m_hImc(::ImmGetContext(hWnd)) {}
    ~CImeContext()
    {
        if (m_hImc) ::ImmReleaseContext(m_hWnd, m_hImc);
    }
    CImeContext(const CImeContext&) = delete;
    CImeContext& operator=(const CImeContext&) = delete;
    HIMC Get() const { return m_hImc; }

private:
    HWND m_hWnd;
    HIMC m_hImc;
};
} // namespace

bool UserLanguageIsKorean()
{
    return ::GetUserDefaultLangID() == kKoreanLanguage;
}

void SetNativeImeMode(HWND hEdit)
{
    CImeContext imc(hEdit);
    DWORD dwConversion = 0, dwSentence = 0;
    if (!imc.Get() || !::ImmGetConversionStatus(imc.Get(), &dwConversion, &dwSentence)) return;
    dwConversion = (dwConversion | IME_CMODE_NATIVE) & ~static_cast<DWORD>(IME_CMODE_KATAKANA);
    ::ImmSetConversionStatus(imc.Get(), dwConversion, dwSentence);
}

bool CompleteImeComposition(HWND hEdit)
{
    CImeContext imc(hEdit);
    if (!imc.Get() || ::ImmGetCompositionStringW(imc.Get(), GCS_COMPSTR, nullptr, 0) <= 0) return false;
    // The method hands the syllable to the edit (WM_IME_COMPOSITION with the result) before
    // this returns.
    return ::ImmNotifyIME(imc.Get(), NI_COMPOSITIONSTR, CPS_COMPLETE, 0) != FALSE;
}
