// The in-process server of a control library: its classes, object count, class factory and registration.
#pragma once
#include <objbase.h>

// Makes a new object of one class and asks it for riid.
using CreateObjectFn = HRESULT (*)(REFIID riid, void** ppv);

struct ControlClassInfo
{
    const CLSID* pClsid;
    const wchar_t* szProgId;      // such as "LMBOARD2.LMBoard2Ctrl.1"
    const wchar_t* szDescription; // the class's user type name
    DWORD dwMiscStatus;           // OLEMISC_ bits, registered under MiscStatus\1
    CreateObjectFn pfnCreate;
};

struct ServerInfo
{
    const GUID* pLibId; // the type library embedded as resource TYPELIB 1
    WORD wMajor;
    WORD wMinor;
    const ControlClassInfo* pClasses;
    size_t nClasses;
};

// Each control library defines this: the description of its own server.
const ServerInfo& GetServerInfo();

// Objects and server locks alive in this module; the library may unload at zero.
void ServerLock();
void ServerUnlock();
long ServerLockCount();

// This module's handle and its file path in long form.
HINSTANCE ServerModuleHandle();
bool ServerModulePath(wchar_t* szPath, DWORD cchPath);

HRESULT ServerGetClassObject(const ServerInfo& info, REFCLSID rclsid, REFIID riid, void** ppv);
HRESULT ServerCanUnloadNow();
// Type library first (SELFREG_E_TYPELIB on failure), then every class (SELFREG_E_CLASS).
HRESULT ServerRegister(const ServerInfo& info);
HRESULT ServerUnregister(const ServerInfo& info);
