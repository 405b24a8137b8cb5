// The four entry points of a control library, over its own GetServerInfo(); linked into each library.
#include "comkit/ServerModule.h"

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    return ServerGetClassObject(GetServerInfo(), rclsid, riid, ppv);
}

STDAPI DllCanUnloadNow()
{
    return ServerCanUnloadNow();
}

STDAPI DllRegisterServer()
{
    return ServerRegister(GetServerInfo());
}

STDAPI DllUnregisterServer()
{
    return ServerUnregister(GetServerInfo());
}
