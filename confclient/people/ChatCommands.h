// The chat's local slash commands: which typed lines they are and the values they carry.
// They are never sent to the room.
#pragma once
#include <cstdint>
#include <string>

struct SChatCommand
{
    enum Id
    {
        NONE, // not a local command: the line goes to the room
        STATE,
        TIME,
        PROFILE,
        VIDEO,
        BITRATE, // nValue 0..5000
        JQ,      // nValue 0..9
        MF,      // nValue 0..6
        COLOR,   // nValue 0..2
        VOICE,
        WMV,       // nValue: the second blank-separated field
        CODEC,     // szArg: the codec option text; nothing to do when empty
        SENDSIZE,  // nWidth x nHeight, szArg the size as typed; nothing to do when szArg is empty
        DSPROFILE, // nValue 0..2; bIgnored for any other value
        RESET,
    } id = NONE;
    int32_t nValue = 0;
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    bool bIgnored = false;
    std::u16string szArg;
};

// A level whose low byte modulo 10 is 4 (a listener) has no local commands.
SChatCommand ParseChatCommand(const std::u16string& szLine, uint16_t wMyLevel);

// Decimal value of the text as the C library's atoi reads it: leading blanks, a sign, digits;
// 0 for anything else. Saturates instead of overflowing.
int32_t ChatDecimal(std::u16string_view text);
