// The object system in the native tree: a thread-local last error, no system texts, dlopen and a
// recursive mutex in place of the critical section.
#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMFormat.h"
#include "confclient/library/LMLock.h"
#include "confclient/library/LMPlatform.h"

#include <dlfcn.h>
#include <mutex>
#include <new>

namespace
{
thread_local uint32_t tlsLastError = 0;

std::string Narrow(const wchar_t* sz)
{
    std::string text;
    for (; *sz; ++sz)
        text += *sz < 0x80 ? static_cast<char>(*sz) : '?';
    return text;
}

class CDlLoader : public ILMLibraryLoader
{
public:
    void* LoadLibraryByName(const wchar_t* szLibrary) override
    {
        void* hLibrary = dlopen(Narrow(szLibrary).c_str(), RTLD_NOW);
        if (!hLibrary) LMSetThreadError(LM_ERROR_MOD_NOT_FOUND);
        return hLibrary;
    }

    LMFactoryFunction FindFactory(void* hLibrary, const wchar_t* szFactory) override
    {
        void* pSymbol = dlsym(hLibrary, Narrow(szFactory).c_str());
        if (!pSymbol) LMSetThreadError(LM_ERROR_PROC_NOT_FOUND);
        return reinterpret_cast<LMFactoryFunction>(pSymbol);
    }
};

std::recursive_mutex& Mutex(unsigned char* pStorage)
{
    return *std::launder(reinterpret_cast<std::recursive_mutex*>(pStorage));
}
} // namespace

uint32_t LMGetThreadError()
{
    return tlsLastError;
}

void LMSetThreadError(uint32_t nError)
{
    tlsLastError = nError;
}

std::wstring LMErrorText(int32_t nCode)
{
    return LMFormat(L"Unknown error 0x%08X", static_cast<uint32_t>(nCode));
}

ILMLibraryLoader& LMDefaultLoader()
{
    static CDlLoader loader;
    return loader;
}

static_assert(sizeof(std::recursive_mutex) <= 64, "CLMLockCS keeps its mutex inline");

CLMLockCS::CLMLockCS(uint32_t)
{
    new (m_section) std::recursive_mutex;
}

CLMLockCS::~CLMLockCS()
{
    Mutex(m_section).~recursive_mutex();
}

void CLMLockCS::Lock()
{
    Mutex(m_section).lock();
}

void CLMLockCS::Unlock()
{
    Mutex(m_section).unlock();
}
