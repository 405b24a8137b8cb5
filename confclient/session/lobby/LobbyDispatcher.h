// The lobby command dispatcher: decodes each lobby command once, by the rows of
// QNLobbyHandlers.def, and hands the record to the lobby's handler.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "confclient/network/QNPayloads.h"

// What the main window does with the lobby commands; a method per handled row.
class ILobbyHandler
{
public:
    virtual ~ILobbyHandler() = default;

    virtual void OnKeepAliveAnswer() = 0;
    virtual void OnSeedKeyAnswer() = 0;
    virtual void OnLobbyUserLogin(const QNLobbyUser& user) = 0;
    virtual void OnLobbyUserLogout(const QNLobbyUser& user) = 0;
    virtual void OnLobbyConfRecord(const QNLobbyConf& conf) = 0;
    virtual void OnLobbyLoginAck(const QNLoginAck& ack) = 0;
    virtual void OnLobbyLoginRefused() = 0;
    virtual void OnLobbyBanishAnswer() = 0;
    virtual void OnForcedLogout() = 0;
    virtual void OnLobbyUserList(const std::vector<QNLobbyUser>& users) = 0;
    virtual void OnLobbyUserListChanged() = 0;
    virtual void OnLobbyConfList(const std::vector<QNLobbyConf>& confs) = 0;
    // The room index, absent when the payload does not carry one.
    virtual void OnInviteAccepted(const std::optional<uint16_t>& room) = 0;
    virtual void OnSystemOption(const QNSystemOption& option) = 0;
    virtual void OnConfEntryText(const std::u16string& text) = 0;
    virtual void OnAgendaLocked() = 0;
    virtual void OnLobbyBroadcast(const uint32_t& value) = 0;
    // The server finds this client's connection very slow (30).
    virtual void OnNetworkWarning() = 0;

    // A payload its decoder refused: the command was dropped.
    virtual void OnDroppedPayload(uint16_t wCommand, size_t nLength) = 0;
};

// Hands one lobby command to the handler; p may be null when there is no payload.
void DispatchLobbyCommand(uint16_t wCommand, const uint8_t* p, size_t n, ILobbyHandler& handler);

// Whether QNLobbyHandlers.def has a row, handled or ignored, for the command.
bool HasLobbyRow(uint16_t wCommand);
