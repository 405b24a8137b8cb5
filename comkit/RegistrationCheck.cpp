// The start-up check that our controls are registered from the program's own folder.
#include "comkit/RegistrationCheck.h"
#include "winui/WideText.h"

#include "core/ControlProgId.h"

namespace
{
// Default value of a HKEY_CLASSES_ROOT key, read into at most MAX_PATH characters; an expandable
// string comes back expanded.
bool ReadClassesDefault(const std::wstring& key, std::wstring& value)
{
    wchar_t buffer[MAX_PATH];
    DWORD cb = sizeof buffer;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &cb) !=
        ERROR_SUCCESS)
        return false;
    value = buffer;
    return !value.empty();
}

// The long form of an existing file's path; false when it cannot be had.
bool LongPath(const std::wstring& path, std::wstring& longPath)
{
    wchar_t buffer[MAX_PATH];
    DWORD n = GetLongPathNameW(path.c_str(), buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return false;
    longPath.assign(buffer, n);
    return true;
}
} // namespace

BOOL IsControlRegisteredHere(const std::wstring& szStem, const std::wstring& szFolder)
{
    std::wstring clsid, server, registered;
    std::u16string key = ControlProgIdClsidKey(U16Of(szStem));
    if (!ReadClassesDefault(WideOf(key), clsid)) return FALSE;
    if (!ReadClassesDefault(L"CLSID\\" + clsid + L"\\InprocServer32", server)) return FALSE;
    if (!LongPath(server, registered)) return FALSE;
    std::wstring expected = szFolder + L"\\" + szStem + L".ocx";
    std::wstring expectedLong;
    // The folder may come in short form; a file that does not exist there is compared as given.
    if (LongPath(expected, expectedLong)) expected = expectedLong;
    return _wcsicmp(registered.c_str(), expected.c_str()) == 0 ? TRUE : FALSE;
}
