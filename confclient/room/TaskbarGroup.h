// The registry entries that group the program's windows under one taskbar button with the
// program's group icon and name, from what the skin folder and the program's settings give.
#pragma once
#include <optional>
#include <string>
#include <vector>

struct S_TASKBARGROUPINPUT
{
    std::u16string szProgram;     // the program's name, without ".exe"
    std::u16string szProgramPath; // the program's "ProgramPath" setting; may be empty
    // The skin folder's group icon, when the file exists.
    std::optional<std::u16string> groupIconPath;
    // The skin folder's name file (KEY=VALUE lines), when it exists.
    std::optional<std::u16string> nameFileText;
};

struct S_REGWRITE
{
    bool bMachine = false; // the machine's hive, else the current user's
    std::u16string szKey;
    std::u16string szName;
    std::u16string szValue;
    bool operator==(const S_REGWRITE&) const = default;
};

// The longest group name taken from the name file, in units.
constexpr size_t kMaxTaskbarGroupName = 256;

// The group icon under the program's application key and the group name in the shell's name
// cache. A value that would be empty, or named by an empty path (the cache key's default value),
// is left out rather than written.
std::vector<S_REGWRITE> TaskbarGroupEntries(const S_TASKBARGROUPINPUT& in);
