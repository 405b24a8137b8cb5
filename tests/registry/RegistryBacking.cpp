// Windows runs test the map and the registry, each registry case under a fresh
// program key (and a fresh common key stand-in) that is removed afterwards.
#include <windows.h>

#include "confclient/network/registry/Registry.h"
#include "tests/registry/SettingsBackings.h"

namespace
{
// The registry backing with its keys removed when the test is done. The common key
// is the real shared one, so the test writes only values it then deletes.
class ScratchRegistrySettings : public CRegistrySettings
{
public:
    explicit ScratchRegistrySettings(const std::wstring& szProgram)
        : CRegistrySettings(szProgram), m_szKey(RegProgramKey(szProgram))
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, m_szKey.c_str());
    }
    ~ScratchRegistrySettings() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, m_szKey.c_str());
        HKEY hKey = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kRegCommonKey, 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS)
        {
            RegDeleteValueW(hKey, L"Skin");
            RegCloseKey(hKey);
        }
    }

private:
    std::wstring m_szKey;
};
} // namespace

std::vector<BackingFactory> SettingsBackings()
{
    return {{"Map", [] { return std::unique_ptr<ISettings>(new CMapSettings); }},
            {"Registry",
             [] { return std::unique_ptr<ISettings>(new ScratchRegistrySettings(L"QuillonSettingsTest")); }}};
}
