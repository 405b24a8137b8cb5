// What outside programs may ask of the main program through the registered
// control-agent message, and the conference-entry text the server sends as 261.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// wParam of the control-agent message. Anything may post a registered message:
// only these codes act.
enum class AgentCommand : uint32_t
{
    Show = 1,      // restore and bring the main window to the front
    LeaveRoom = 2, // leave the current room, stay in the lobby
    Logout = 3,    // log out and end the program
    Restart = 4,   // log out, end, and start the program again
    JoinRoom = 5,  // lParam: the index of a room of the lobby list to join
};

std::optional<AgentCommand> AgentCommandOf(uintptr_t wParam);

// The payload of 261: a u16 count of UTF-16 units, then the text. A count that
// runs past the payload is refused rather than cut.
std::optional<std::u16string> DecodeConfEntryText(const uint8_t* p, size_t n);

// A join asked by text: "<room index>\n<conference code>" (the code may be missing).
struct S_AGENTJOIN
{
    uint16_t wRoomIndex = 0;
    std::u16string szConfCode;
};

// The room index must be decimal digits only, 1 to 65534.
std::optional<S_AGENTJOIN> ParseAgentJoinText(const std::u16string& text);
