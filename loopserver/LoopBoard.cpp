// The room board on the loopback server: board messages (command 3000) go to the room's other
// members and are kept, so that a member who joins later receives the room's pages and drawing
// in the order they were sent, as from a real server.
#include "loopserver/LoopServer.h"

#include "confclient/network/QNCommands.h"

namespace
{
// A room's kept board traffic stops growing here; later messages are only relayed.
constexpr size_t kBoardLogLimit = 64u << 20;
} // namespace

void CLoopServer::OnRoomBoard(Client& c, const uint8_t* p, size_t n)
{
    Relay(c, DAT_BOARD_ROOM, p, n);
    // An agenda order (53) or rename (56) comes back to its sender as well: every board,
    // the requester's too, applies it when it arrives.
    if (n > 0 && (p[0] == 53 || p[0] == 56)) Send(c, DAT_BOARD_ROOM, c.wChannel, Bytes(p, p + n));
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
