// In-memory settings with the registry's reading rules.
#include "confclient/network/registry/Settings.h"

uint32_t CMapSettings::ReadDword(SettingsKey key, std::u16string_view name, uint32_t dwDefault)
{
    auto it = m_values.find({key, std::u16string(name)});
    if (it == m_values.end()) return dwDefault;
    const uint32_t* p = std::get_if<uint32_t>(&it->second);
    return p ? *p : dwDefault;
}

std::u16string CMapSettings::ReadString(SettingsKey key, std::u16string_view name,
                                        std::u16string_view szDefault)
{
    auto it = m_values.find({key, std::u16string(name)});
    if (it == m_values.end()) return std::u16string(szDefault);
    const std::u16string* p = std::get_if<std::u16string>(&it->second);
    if (!p || p->size() > kMaxSettingChars) return std::u16string(szDefault);
    return *p;
}

bool CMapSettings::WriteDword(SettingsKey key, std::u16string_view name, uint32_t dwValue)
{
    m_values[{key, std::u16string(name)}] = dwValue;
    return true;
}

bool CMapSettings::WriteString(SettingsKey key, std::u16string_view name, std::u16string_view szValue)
{
    m_values[{key, std::u16string(name)}] = std::u16string(szValue);
    return true;
}
