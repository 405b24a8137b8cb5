// Class factory, object count and registration from data for our in-process control servers.
#include "comkit/ServerModule.h"
#include "comkit/ComLog.h"

#include <atomic>
#include <cwchar>
#include <new>
#include <olectl.h>
#include <oleauto.h>
#include <string>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace
{
std::atomic<long> g_cLocks{0};

class CClassFactory final : public IClassFactory
{
public:
    explicit CClassFactory(const ControlClassInfo& cls) : m_cls(cls) { ServerLock(); }
    ~CClassFactory() { ServerUnlock(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory)
        {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_cRef; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG n = --m_cRef;
        if (n == 0) delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override
    {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (pOuter) return CLASS_E_NOAGGREGATION;
        HRESULT hr = m_cls.pfnCreate(riid, ppv);
        if (FAILED(hr)) ComKitLog(LOG_ERROR, "[COM_CREATE] %ls: 0x%08lx", m_cls.szProgId, hr);
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL bLock) override
    {
        bLock ? ServerLock() : ServerUnlock();
        return S_OK;
    }

private:
    const ControlClassInfo& m_cls;
    std::atomic<ULONG> m_cRef{1};
};

std::wstring GuidText(REFGUID guid)
{
    wchar_t sz[40] = {};
    StringFromGUID2(guid, sz, 40);
    return sz;
}

bool SetKeyValue(const std::wstring& key, const wchar_t* szName, const std::wstring& value)
{
    HKEY hKey = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExW(hKey, szName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

bool RegisterOneClass(const ServerInfo& info, const ControlClassInfo& cls, const std::wstring& path)
{
    std::wstring clsid = GuidText(*cls.pClsid);
    std::wstring key = L"CLSID\\" + clsid;
    wchar_t szVersion[16];
    swprintf(szVersion, 16, L"%u.%u", info.wMajor, info.wMinor);
    return SetKeyValue(key, nullptr, cls.szDescription) &&
           SetKeyValue(key + L"\\InprocServer32", nullptr, path) &&
           SetKeyValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
           SetKeyValue(key + L"\\ProgID", nullptr, cls.szProgId) &&
           SetKeyValue(key + L"\\Control", nullptr, L"") &&
           SetKeyValue(key + L"\\MiscStatus", nullptr, L"0") &&
           SetKeyValue(key + L"\\MiscStatus\\1", nullptr, std::to_wstring(cls.dwMiscStatus)) &&
           SetKeyValue(key + L"\\TypeLib", nullptr, GuidText(*info.pLibId)) &&
           SetKeyValue(key + L"\\Version", nullptr, szVersion) &&
           SetKeyValue(cls.szProgId, nullptr, cls.szDescription) &&
           SetKeyValue(std::wstring(cls.szProgId) + L"\\CLSID", nullptr, clsid);
}

bool DeleteTree(const std::wstring& key)
{
    LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}
} // namespace

void ServerLock()
{
    ++g_cLocks;
}

void ServerUnlock()
{
    --g_cLocks;
}

long ServerLockCount()
{
    return g_cLocks.load();
}

HINSTANCE ServerModuleHandle()
{
    return reinterpret_cast<HINSTANCE>(&__ImageBase);
}

bool ServerModulePath(wchar_t* szPath, DWORD cchPath)
{
    wchar_t szModule[MAX_PATH];
    DWORD n = GetModuleFileNameW(ServerModuleHandle(), szModule, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    DWORD nLong = GetLongPathNameW(szModule, szPath, cchPath);
    if (nLong == 0 || nLong >= cchPath)
    {
        if (n >= cchPath) return false;
        wcscpy(szPath, szModule);
    }
    return true;
}

HRESULT ServerGetClassObject(const ServerInfo& info, REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    for (size_t i = 0; i < info.nClasses; i++)
    {
        if (*info.pClasses[i].pClsid != rclsid) continue;
        CClassFactory* pFactory = new (std::nothrow) CClassFactory(info.pClasses[i]);
        if (!pFactory) return E_OUTOFMEMORY;
        HRESULT hr = pFactory->QueryInterface(riid, ppv);
        pFactory->Release();
        return hr;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ServerCanUnloadNow()
{
    return ServerLockCount() == 0 ? S_OK : S_FALSE;
}

HRESULT ServerRegister(const ServerInfo& info)
{
    wchar_t szPath[MAX_PATH];
    if (!ServerModulePath(szPath, MAX_PATH)) return SELFREG_E_CLASS;
    ITypeLib* pLib = nullptr;
    HRESULT hr = LoadTypeLibEx(szPath, REGKIND_REGISTER, &pLib);
    if (FAILED(hr))
    {
        ComKitLog(LOG_ERROR, "[COM_REGISTER] type library of %ls: 0x%08lx", szPath, hr);
        return SELFREG_E_TYPELIB;
    }
    pLib->Release();
    try
    {
        for (size_t i = 0; i < info.nClasses; i++)
        {
            if (!RegisterOneClass(info, info.pClasses[i], szPath))
            {
                ComKitLog(LOG_ERROR, "[COM_REGISTER] class %ls failed", info.pClasses[i].szProgId);
                return SELFREG_E_CLASS;
            }
        }
    }
    catch (...)
    {
        return SELFREG_E_CLASS;
    }
    return S_OK;
}

HRESULT ServerUnregister(const ServerInfo& info)
{
    // The reverse of registration's contract: the type library first, then the classes.
    // The type library was registered under the system kind of the binary that loaded it.
#ifdef _WIN64
    constexpr SYSKIND kThisSystem = SYS_WIN64;
#else
    constexpr SYSKIND kThisSystem = SYS_WIN32;
#endif
    HRESULT hrLib = UnRegisterTypeLib(*info.pLibId, info.wMajor, info.wMinor, LOCALE_NEUTRAL, kThisSystem);
    if (FAILED(hrLib) && hrLib != TYPE_E_REGISTRYACCESS && hrLib != TYPE_E_CANTLOADLIBRARY)
        return SELFREG_E_TYPELIB;
    HRESULT hr = S_OK;
    try
    {
        for (size_t i = 0; i < info.nClasses; i++)
        {
            const ControlClassInfo& cls = info.pClasses[i];
            if (!DeleteTree(L"CLSID\\" + GuidText(*cls.pClsid)) || !DeleteTree(cls.szProgId))
                hr = SELFREG_E_CLASS;
        }
    }
    catch (...)
    {
        hr = SELFREG_E_CLASS;
    }
    return hr;
}
