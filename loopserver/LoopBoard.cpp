// The room board on the loopback server: board messages (command 3000) go to the room's other
// members and are kept, so that a member who joins later receives the room's pages and drawing
// in the order they were sent, as from a real server.
#include "loopserver/LoopServer.h"

#include "confclient/network/QNCommands.h"

namespace
{
// A room's kept board traffic stops growing here; later messages are only relayed.
constexpr size_t kBoardLogLimit = 64u << 20;

// A mode request (code 1) naming "Edit_Del": a board's delete check.
bool IsDeleteCheck(const uint8_t* p, size_t n)
{
    static constexpr char kName[] = "Edit_Del"; // with its terminator
    if (n < 8 + sizeof kName * 2 || p[0] != 1) return false;
    for (size_t i = 0; i < sizeof kName; ++i)
        if (p[8 + i * 2] != static_cast<uint8_t>(kName[i]) || p[9 + i * 2] != 0) return false;
    return true;
}
} // namespace

void CLoopServer::OnRoomBoard(Client& c, const uint8_t* p, size_t n)
{
    Relay(c, DAT_BOARD_ROOM, p, n);
    // An agenda order (53) or rename (56) comes back to its sender as well: every board,
    // the requester's too, applies it when it arrives.
    if (n > 0 && (p[0] == 53 || p[0] == 56)) Send(c, DAT_BOARD_ROOM, c.wChannel, Bytes(p, p + n));
    // The host grants a delete check with the mode change (code 2) of that name to its sender,
    // whose board then sends the deletions.
    if (IsDeleteCheck(p, n))
    {
        Bytes grant(p, p + n);
        grant[0] = 2;
        Send(c, DAT_BOARD_ROOM, c.wChannel, std::move(grant));
    }
    if (!m_rooms.count(c.wRoomIndex)) return;
    BoardLog& log = m_boardLogs[c.wRoomIndex];
    if (log.nBytes + n > kBoardLogLimit) return;
    log.messages.push_back({c.wChannel, Bytes(p, p + n)});
    log.nBytes += n;
}

void CLoopServer::SendBoardLog(Client& c, uint16_t wRoomIndex)
{
    auto it = m_boardLogs.find(wRoomIndex);
    if (it == m_boardLogs.end()) return;
    for (const auto& [wChannel, message] : it->second.messages)
        Send(c, DAT_BOARD_ROOM, wChannel, message);
}
