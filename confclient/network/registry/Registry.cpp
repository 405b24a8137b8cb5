// Registry access: each call opens its key, does one operation and closes the key; nothing is cached.
#include "confclient/network/registry/Registry.h"
#include "winui/WideText.h"

#include <cstring>

const wchar_t kRegCommonKey[] = L"Software\\LumoraSoft\\Common\\";

std::wstring RegProgramKey(const std::wstring& szProgram)
{
    return L"Software\\LumoraSoft\\" + szProgram + L"\\";
}

DWORD RegReadDword(HKEY hRoot, const wchar_t* pszSubKey, const wchar_t* pszName, DWORD dwDefault)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(hRoot, pszSubKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return dwDefault;
    BYTE data[4] = {}; // zeroed, so a shorter value reads zero-extended
    DWORD cb = sizeof data;
    LONG rc = RegQueryValueExW(hKey, pszName, nullptr, nullptr, data, &cb);
    RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS) return dwDefault;
    return DWORD(data[0]) | DWORD(data[1]) << 8 | DWORD(data[2]) << 16 | DWORD(data[3]) << 24;
}

std::wstring RegReadString(HKEY hRoot, const wchar_t* pszSubKey, const wchar_t* pszName,
                           const wchar_t* pszDefault)
{
    std::wstring szDefault = pszDefault ? pszDefault : L"";
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(hRoot, pszSubKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return szDefault;
    wchar_t buf[260] = {};
    DWORD cb = sizeof buf;
    LONG rc = RegQueryValueExW(hKey, pszName, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &cb);
    RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS) return szDefault;
    // A value stored without its terminator may fill the buffer: take only what was read.
    size_t nUnits = cb / sizeof(wchar_t);
    size_t n = 0;
    while (n < nUnits && buf[n])
        ++n;
    if (n > kMaxSettingChars) return szDefault;
    return std::wstring(buf, n);
}

BOOL RegWriteDword(HKEY hRoot, const wchar_t* pszSubKey, const wchar_t* pszName, DWORD dwValue)
{
    HKEY hKey = nullptr;
    if (RegCreateKeyExW(hRoot, pszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &hKey,
                        nullptr) != ERROR_SUCCESS)
        return FALSE;
    LONG rc =
        RegSetValueExW(hKey, pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof dwValue);
    RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

BOOL RegWriteString(HKEY hRoot, const wchar_t* pszSubKey, const wchar_t* pszName, const wchar_t* pszText)
{
    if (!pszText) pszText = L"";
    HKEY hKey = nullptr;
    if (RegCreateKeyExW(hRoot, pszSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &hKey,
                        nullptr) != ERROR_SUCCESS)
        return FALSE;
    DWORD cb = DWORD((std::wcslen(pszText) + 1) * sizeof(wchar_t));
    LONG rc = RegSetValueExW(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszText), cb);
    RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

const wchar_t* CRegistrySettings::KeyOf(SettingsKey key) const
{
    return key == SettingsKey::Common ? kRegCommonKey : m_szProgramKey.c_str();
}

uint32_t CRegistrySettings::ReadDword(SettingsKey key, std::u16string_view name, uint32_t dwDefault)
{
    return RegReadDword(HKEY_CURRENT_USER, KeyOf(key), WideOf(name).c_str(), dwDefault);
}

std::u16string CRegistrySettings::ReadString(SettingsKey key, std::u16string_view name,
                                             std::u16string_view szDefault)
{
    return U16Of(
        RegReadString(HKEY_CURRENT_USER, KeyOf(key), WideOf(name).c_str(), WideOf(szDefault).c_str()));
}

bool CRegistrySettings::WriteDword(SettingsKey key, std::u16string_view name, uint32_t dwValue)
{
    return RegWriteDword(HKEY_CURRENT_USER, KeyOf(key), WideOf(name).c_str(), dwValue);
}

bool CRegistrySettings::WriteString(SettingsKey key, std::u16string_view name, std::u16string_view szValue)
{
    return RegWriteString(HKEY_CURRENT_USER, KeyOf(key), WideOf(name).c_str(), WideOf(szValue).c_str());
}
