// The lobby dispatcher's switch, expanded from QNLobbyHandlers.def.
#include "confclient/session/lobby/LobbyDispatcher.h"

#include "confclient/network/QNCommands.h"
#include "confclient/session/agent/AgentCommands.h"

namespace
{
constexpr std::nullptr_t kNoPayload = nullptr;

// A short login answer still logs the user in: its fields are read as far as
// the payload goes, and an answer without payload leaves them at their defaults.
bool DecodeLoginAckOrDefaults(const uint8_t* p, size_t n, QNLoginAck& ack)
{
    if (p) DecodeLoginAck(p, n, ack);
    return true;
}

// An invitation whose room cannot be read is still answered, as a failed join.
bool DecodeInvitedRoom(const uint8_t* p, size_t n, std::optional<uint16_t>& room)
{
    uint16_t w = 0;
    if (DecodeU16(p, n, w)) room = w;
    return true;
}

bool DecodeConfEntry(const uint8_t* p, size_t n, std::u16string& text)
{
    std::optional<std::u16string> decoded = DecodeConfEntryText(p, n);
    if (!decoded) return false;
    text = std::move(*decoded);
    return true;
}

template <class Record>
void Deliver(ILobbyHandler& handler, uint16_t wCommand, const uint8_t* p, size_t n,
             bool (*decode)(const uint8_t*, size_t, Record&), void (ILobbyHandler::*handle)(const Record&))
{
    Record record{};
    if (!decode(p, n, record))
    {
        handler.OnDroppedPayload(wCommand, n);
        return;
    }
    (handler.*handle)(record);
}

void Deliver(ILobbyHandler& handler, uint16_t, const uint8_t*, size_t, std::nullptr_t,
             void (ILobbyHandler::*handle)())
{
    (handler.*handle)();
}
} // namespace

void DispatchLobbyCommand(uint16_t wCommand, const uint8_t* p, size_t n, ILobbyHandler& handler)
{
    if (!p) n = 0;
    switch (wCommand)
    {
#define QN_LOBBY_HANDLER(command, decoder, method)                                                           \
    case command:                                                                                            \
        Deliver(handler, command, p, n, decoder, &ILobbyHandler::method);                                    \
        return;
#define QN_LOBBY_IGNORED(command, reason)                                                                    \
    case command:                                                                                            \
        return;
#include "confclient/network/QNLobbyHandlers.def"
#undef QN_LOBBY_IGNORED
#undef QN_LOBBY_HANDLER
    default:
        return;
    }
}

bool HasLobbyRow(uint16_t wCommand)
{
    switch (wCommand)
    {
#define QN_LOBBY_HANDLER(command, decoder, method) case command:
#define QN_LOBBY_IGNORED(command, reason) case command:
#include "confclient/network/QNLobbyHandlers.def"
#undef QN_LOBBY_IGNORED
#undef QN_LOBBY_HANDLER
        return true;
    default:
        return false;
    }
}
