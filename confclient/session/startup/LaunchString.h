// What the program was started with: a player word, a recording path, the
// settings word, the panel-port word, or the comma-separated launch string,
// parsed once into one record.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/TextNoCase.h"

// The fields of the comma-separated launch string (docs/launch-string.md).
struct S_LAUNCHFIELDS
{
    std::u16string szServerAddress; // 0: conference server, dotted address or host name
    uint16_t nServerPort = 0;       // 1
    std::u16string szUserId;        // 2: lobby login ID
    std::u16string szLoginKey;      // 3: second login string (password or ticket)
    uint16_t nLoginKind = 0;        // 4: 16-bit value sent with the login
    uint32_t hLauncherWnd = 0;      // 5: launcher window handle, decimal; 0 = none to watch
    std::u16string szConfCode;      // 6: room to join once logged in; empty = stay in the lobby
    std::u16string szEditionKind;   // 7: "0" first edition, "1" second; empty counts as "0"
    std::u16string szResourceDll;   // 8: language resource library file name
    bool bNoLauncherWatch = false;  // 9: "1" = the launcher's window is not watched
};

enum class LaunchKind
{
    Empty,         // no command line
    Player,        // "qnplayer" or "rvplayer": play a recording
    RecordingPath, // a path (holds '/' or '\'): play that recording
    AVSetting,     // "AVSetting": the audio and video settings
    PanelPort,     // "QuillonPort <port>": serve an outside control panel
    LaunchString,  // the comma-separated session fields
};

struct S_LAUNCH
{
    LaunchKind kind = LaunchKind::Empty;
    S_LAUNCHFIELDS fields;   // for LaunchString (and the edition of a player word)
    std::u16string szPath;   // for RecordingPath
    uint16_t nPanelPort = 0; // for PanelPort
};

// Parses a command line. Missing fields keep their defaults; a number that
// does not parse leaves its field 0. Returns nothing for a "QuillonPort" word
// without a valid port (1-65535).
std::optional<S_LAUNCH> ParseCommandLine(std::u16string_view cmdLine);

// Field i of a comma-separated list (from 0), empty when there are fewer fields.
std::u16string LaunchField(std::u16string_view list, size_t i);
