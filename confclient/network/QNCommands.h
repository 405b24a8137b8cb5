// Command codes of the conference protocol and the tables derived from QNCommands.def.
#pragma once
#include <cstdint>

enum QNCommand : uint16_t
{
#define QN_COMMAND(code, name, cipher, table, list) name = code,
#include "confclient/network/QNCommands.def"
#undef QN_COMMAND
};

enum class QNCipher : uint8_t
{
    Mask, // XOR mask only, padding count 0
    Seed, // XOR mask, then SEED with zero padding to whole blocks
};

enum class QNKeyTable : uint8_t
{
    Client,
    Server,
};

struct QNCommandInfo
{
    uint16_t wCode;
    const char* pszName;
    QNCipher cipher;
    QNKeyTable inboundTable;
    uint8_t bySendList;
};

// The listed entry of a code, or null for a code the list does not name.
const QNCommandInfo* FindCommandInfo(uint16_t wCommand);

QNCipher CipherOf(uint16_t wCommand);
QNKeyTable InboundTableOf(uint16_t wCommand);
uint8_t SendListOf(uint16_t wCommand);

// Commands the network object hands the main window as lobby commands: 1 to 271
// except 110, which belongs to the room.
bool IsLobbyCommand(uint16_t wCommand);

// Video and shared-movie video: 2000, 2010, 2020, 2030 and 2201.
bool IsMediaCommand(uint16_t wCommand);

// Sound: 1000 and 2202, handed over on the receive thread.
bool IsSoundCommand(uint16_t wCommand);

// Board data: 3000 and 3100.
bool IsBoardCommand(uint16_t wCommand);

// What the owner gets as a room packet: every code that is not sound, video,
// board data or a lobby packet.
bool IsRoomPacketCommand(uint16_t wCommand);

// Commands that recordings keep: 300-332 except 331; 360; 370-391; 410-506;
// 533-540; 550-569; 1000; 2010; 2020; 2201; 2202; 3000; 3100; 3010-3012.
bool IsRecordableCommand(uint16_t wCommand);
