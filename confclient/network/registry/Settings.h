// Per-user settings as portable code sees them: named values under the shared key or the program's key.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

enum class SettingsKey : uint8_t
{
    Common,  // shared by the program and its controls
    Program, // the program's own key
};

// The longest text a string setting can hold; a longer stored value reads as the default.
constexpr size_t kMaxSettingChars = 259;

class ISettings
{
public:
    virtual ~ISettings() = default;
    // The stored 32-bit value, or dwDefault when the key or value is missing or unreadable.
    virtual uint32_t ReadDword(SettingsKey key, std::u16string_view name, uint32_t dwDefault) = 0;
    // The stored text, or a copy of szDefault when the key or value is missing or too long.
    virtual std::u16string ReadString(SettingsKey key, std::u16string_view name,
                                      std::u16string_view szDefault) = 0;
    // Stores the value, creating the key when missing; false when it could not be stored.
    virtual bool WriteDword(SettingsKey key, std::u16string_view name, uint32_t dwValue) = 0;
    virtual bool WriteString(SettingsKey key, std::u16string_view name, std::u16string_view szValue) = 0;
};

// Settings kept in memory, with the registry's reading rules: a value of the other
// kind reads as the default for numbers, and texts longer than the limit read as the default.
class CMapSettings : public ISettings
{
public:
    uint32_t ReadDword(SettingsKey key, std::u16string_view name, uint32_t dwDefault) override;
    std::u16string ReadString(SettingsKey key, std::u16string_view name,
                              std::u16string_view szDefault) override;
    bool WriteDword(SettingsKey key, std::u16string_view name, uint32_t dwValue) override;
    bool WriteString(SettingsKey key, std::u16string_view name, std::u16string_view szValue) override;

    size_t Count() const { return m_values.size(); }

private:
    using Name = std::pair<SettingsKey, std::u16string>;
    std::map<Name, std::variant<uint32_t, std::u16string>> m_values;
};
