// What the object system needs of the operating system, behind plain functions: the thread's last
// error, an error's system text, and loading a library's factory by name. One implementation for
// Windows, one for the native tree.
#pragma once
#include "confclient/library/LMObject.h"

#include <cstdint>
#include <string>

// The calling thread's last Win32-style error.
uint32_t LMGetThreadError();
void LMSetThreadError(uint32_t nError);

// The system's text for a code, without trailing line breaks; "Unknown error 0x%08X" when the
// system has none.
std::wstring LMErrorText(int32_t nCode);

// Loads libraries and finds their factories. Each failure returns null and sets the thread's last
// error; a library once loaded stays loaded.
class ILMLibraryLoader
{
public:
    // Loads a library by its (bare) name; null on failure.
    virtual void* LoadLibraryByName(const wchar_t* szLibrary) = 0;
    // Looks up an export by name, converted to the system code page; null on failure.
    virtual LMFactoryFunction FindFactory(void* hLibrary, const wchar_t* szFactory) = 0;

protected:
    ~ILMLibraryLoader() = default;
};

// The process-wide loader of the platform.
ILMLibraryLoader& LMDefaultLoader();
