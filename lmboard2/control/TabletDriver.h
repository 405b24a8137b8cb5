// The pen-tablet driver library: loaded by name, used only when its version, its companion
// files and their signer are those the board supports, and only with every entry point present.
#pragma once
#include <filesystem>
#include <string>

#include "lmboard2/control/WintabApi.h"

// The simple display name of the first signer of a file's embedded signature; empty when the
// file carries none.
std::wstring FileSignerName(const std::filesystem::path& file);

class CWintab
{
public:
    CWintab() = default;
    CWintab(const CWintab&) = delete;
    CWintab& operator=(const CWintab&) = delete;
    ~CWintab() { UnloadWintab(); }

    // Loads "Wintab32.dll" and checks it against the driver files in driverFolder (the system
    // folder). True when the library and all its entry points are usable. A check that fails
    // leaves the library loaded but unused.
    bool LoadTablet(const std::filesystem::path& driverFolder);
    void UnloadWintab();
    bool IsUsable() const { return m_bUsable; }

    PFN_WTInfoA WTInfoA = nullptr;
    PFN_WTOpenA WTOpenA = nullptr;
    PFN_WTClose WTClose = nullptr;
    PFN_WTPacket WTPacket = nullptr;

private:
    bool DriverFilesSupported(const std::filesystem::path& driverFolder) const;
    bool ResolveEntryPoints();

    HMODULE m_hModule = nullptr;
    bool m_bUsable = false;
};
