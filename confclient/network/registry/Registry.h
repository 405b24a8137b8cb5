// Single registry values under the current user's keys: read with a default, write with a result.
#pragma once
#include <windows.h>

#include <string>

#include "confclient/network/registry/Settings.h"

// The key shared with the controls, and the program's own key.
extern const wchar_t kRegCommonKey[];
std::wstring RegProgramKey(const std::wstring& szProgram);

// The value as a 32-bit number (a shorter value is zero-extended), or dwDefault
// when the key cannot be opened or the value is missing or longer than 4 bytes.
DWORD RegReadDword(HKEY hRoot, const wchar_t* pszSubKey, const wchar_t* pszName, DWORD dwDefault);
// The value's text (at most 259 characters), or a copy of pszDefault when the key
// cannot be opened or the value is missing or longer.
std::wstring RegReadString(HKEY hRoot, const wchar_t* pszSubKey, const wchar_t* pszName,
                           const wchar_t* pszDefault);
// Creates or opens the key and stores the value (REG_DWORD, REG_SZ with its terminator); 1 on success.
BOOL RegWriteDword(HKEY hRoot, const wchar_t* pszSubKey, const wchar_t* pszName, DWORD dwValue);
BOOL RegWriteString(HKEY hRoot, const wchar_t* pszSubKey, const wchar_t* pszName, const wchar_t* pszText);

// The settings interface over HKEY_CURRENT_USER: the common key and the program's key.
class CRegistrySettings : public ISettings
{
public:
    explicit CRegistrySettings(const std::wstring& szProgram) : m_szProgramKey(RegProgramKey(szProgram)) {}

    uint32_t ReadDword(SettingsKey key, std::u16string_view name, uint32_t dwDefault) override;
    std::u16string ReadString(SettingsKey key, std::u16string_view name,
                              std::u16string_view szDefault) override;
    bool WriteDword(SettingsKey key, std::u16string_view name, uint32_t dwValue) override;
    bool WriteString(SettingsKey key, std::u16string_view name, std::u16string_view szValue) override;

private:
    const wchar_t* KeyOf(SettingsKey key) const;
    std::wstring m_szProgramKey;
};
