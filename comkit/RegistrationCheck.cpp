// The start-up check that our controls are registered from the program's own folder.
#include "comkit/RegistrationCheck.h"

namespace
{
bool EndsWith(const std::wstring& s, const wchar_t* szTail)
{
    size_t n = wcslen(szTail);
    return s.size() >= n && s.compare(s.size() - n, n, szTail) == 0;
}

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

std::wstring ControlProgIdKey(const std::wstring& szStem)
{
    std::wstring stem = szStem;
    if (EndsWith(stem, L"U")) stem.resize(stem.size() - 1);
    if (EndsWith(stem, L"UD")) stem.resize(stem.size() - 2);
    if (_wcsicmp(stem.c_str(), L"LMVideo") == 0) return stem + L"." + stem + L"SendCtrl.1\\CLSID";
    if (_wcsicmp(stem.c_str(), L"LMBoard") == 0) return stem + L"2." + stem + L"2Ctrl.1\\CLSID";
    return stem + L"." + stem + L"Ctrl.1\\CLSID";
}

BOOL IsControlRegisteredHere(const std::wstring& szStem, const std::wstring& szFolder)
{
    std::wstring clsid, server, registered;
    if (!ReadClassesDefault(ControlProgIdKey(szStem), clsid)) return FALSE;
    if (!ReadClassesDefault(L"CLSID\\" + clsid + L"\\InprocServer32", server)) return FALSE;
    if (!LongPath(server, registered)) return FALSE;
    std::wstring expected = szFolder + L"\\" + szStem + L".ocx";
    std::wstring expectedLong;
    // The folder may come in short form; a file that does not exist there is compared as given.
    if (LongPath(expected, expectedLong)) expected = expectedLong;
    return _wcsicmp(registered.c_str(), expected.c_str()) == 0 ? TRUE : FALSE;
}
