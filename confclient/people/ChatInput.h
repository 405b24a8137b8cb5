// The chat's input line: whether the local user may write (and which grey hint it shows), and
// what Enter does with a typed line.
#pragma once
#include <cstdint>
#include <string>

#include "confclient/people/ChatCommands.h"

enum ChatInputMode : int
{
    CHATINPUT_HIDDEN = -1, // playback: no input at all
    CHATINPUT_PLAIN = 0,   // no hint shown
    CHATINPUT_ENABLED = 1, // writable, the enable hint while empty and unfocused
    CHATINPUT_DISABLED = 2 // read-only, the disable hint
};

struct SChatInputRights
{
    bool bPlayerMode = false;
    uint16_t wMyLevel = 0; // its low byte modulo 10 is the grade; 4 is a listener
    bool bControlRight = false;
    bool bPresenter = false;
    bool bRoomChatRight = true;
};

// A listener may not write; nor may one who is neither chief nor presenter while the room's chat
// right is off.
ChatInputMode ChatInputModeOf(const SChatInputRights& rights);

struct SChatEnter
{
    enum Action
    {
        NOTHING, // empty, a hint, or a listener's line: the input is left as it is, nothing goes out
        LOCAL,   // a local command: run here, never sent
        SEND     // a chat line to the room
    } action = NOTHING;
    SChatCommand command; // for LOCAL
};

// What Enter does with the typed text. The hints are the texts the input shows greyed.
SChatEnter ChatEnterOf(const std::u16string& szInput, const std::u16string& szEnableHint,
                       const std::u16string& szDisableHint, uint16_t wMyLevel);
