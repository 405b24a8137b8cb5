// The object system on Windows: thread errors, system texts, the critical section and LoadLibraryW.
#include "confclient/library/LMLock.h"
#include "confclient/library/LMFormat.h"
#include "confclient/library/LMPlatform.h"

#include <windows.h>

uint32_t LMGetThreadError()
{
    return GetLastError();
}

void LMSetThreadError(uint32_t nError)
{
    SetLastError(nError);
}

std::wstring LMErrorText(int32_t nCode)
{
    wchar_t* szText = nullptr;
    DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(nCode), 0, reinterpret_cast<wchar_t*>(&szText), 0, nullptr);
    if (n == 0 || !szText) return LMFormat(L"Unknown error 0x%08X", static_cast<uint32_t>(nCode));
    std::wstring text(szText, n);
    LocalFree(szText);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
        text.pop_back();
    return text;
}

namespace
{

class CWin32Loader : public ILMLibraryLoader
{
public:
    void* LoadLibraryByName(const wchar_t* szLibrary) override { return LoadLibraryW(szLibrary); }

    LMFactoryFunction FindFactory(void* hLibrary, const wchar_t* szFactory) override
    {
        char szName[MAX_PATH * 2];
        if (!WideCharToMultiByte(CP_ACP, 0, szFactory, -1, szName, sizeof szName, nullptr, nullptr))
            return nullptr;
        FARPROC pProc = GetProcAddress(static_cast<HMODULE>(hLibrary), szName);
        // Through the generic function pointer type: the export's real type is the factory's.
        return reinterpret_cast<LMFactoryFunction>(reinterpret_cast<void (*)()>(pProc));
    }
};

} // namespace

ILMLibraryLoader& LMDefaultLoader()
{
    static CWin32Loader loader;
    return loader;
}

static_assert(sizeof(CRITICAL_SECTION) <= 64, "CLMLockCS keeps its critical section inline");

CLMLockCS::CLMLockCS(uint32_t nSpinCount)
{
    InitializeCriticalSectionAndSpinCount(reinterpret_cast<CRITICAL_SECTION*>(m_section), nSpinCount);
}

CLMLockCS::~CLMLockCS()
{
    DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_section));
}

void CLMLockCS::Lock()
{
    EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_section));
}

void CLMLockCS::Unlock()
{
    LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_section));
}
