// Lookups over the command list.
#include "confclient/network/QNCommands.h"

#include <algorithm>
#include <array>

namespace
{
constexpr QNCommandInfo kCommands[] = {
#define QN_COMMAND(code, name, cipher, table, list) {code, #name, QNCipher::cipher, QNKeyTable::table, list},
#include "confclient/network/QNCommands.def"
#undef QN_COMMAND
};

constexpr bool SortedByCode()
{
    for (size_t i = 1; i < std::size(kCommands); ++i)
        if (kCommands[i - 1].wCode >= kCommands[i].wCode) return false;
    return true;
}
static_assert(SortedByCode(), "QNCommands.def must list each code once, in rising order");
} // namespace

const QNCommandInfo* FindCommandInfo(uint16_t wCommand)
{
    auto it = std::lower_bound(std::begin(kCommands), std::end(kCommands), wCommand,
                               [](const QNCommandInfo& info, uint16_t code) { return info.wCode < code; });
    return (it != std::end(kCommands) && it->wCode == wCommand) ? it : nullptr;
}

QNCipher CipherOf(uint16_t wCommand)
{
    const QNCommandInfo* p = FindCommandInfo(wCommand);
    return p ? p->cipher : QNCipher::Seed;
}

QNKeyTable InboundTableOf(uint16_t wCommand)
{
    const QNCommandInfo* p = FindCommandInfo(wCommand);
    return p ? p->inboundTable : QNKeyTable::Client;
}

uint8_t SendListOf(uint16_t wCommand)
{
    const QNCommandInfo* p = FindCommandInfo(wCommand);
    return p ? p->bySendList : 0;
}

bool IsLobbyCommand(uint16_t c)
{
    return c >= 1 && c <= INFO_LOBY_BROADCAST && c != INFO_CONF_CLOSE;
}

bool IsMediaCommand(uint16_t c)
{
    return c == DAT_VIDEO || c == DAT_VIDEO_FRAME || c == DAT_VIDEO_2020 || c == DAT_VIDEO_2030 ||
           c == DAT_MOVIE_VIDEO;
}

bool IsSoundCommand(uint16_t c)
{
    return c == DAT_VOICE || c == DAT_MOVIE_AUDIO;
}

bool IsBoardCommand(uint16_t c)
{
    return c == DAT_BOARD_ROOM || c == DAT_BOARD_LOBBY;
}

bool IsRoomPacketCommand(uint16_t c)
{
    return !IsSoundCommand(c) && !IsMediaCommand(c) && !IsBoardCommand(c) && !IsLobbyCommand(c);
}

bool IsRecordableCommand(uint16_t c)
{
    return (c >= 300 && c <= 332 && c != 331) || c == 360 || (c >= 370 && c <= 391) ||
           (c >= 410 && c <= 506) || (c >= 533 && c <= 540) || (c >= 550 && c <= 569) || c == 1000 ||
           c == 2010 || c == 2020 || c == 2201 || c == 2202 || c == 3000 || c == 3100 ||
           (c >= 3010 && c <= 3012);
}
