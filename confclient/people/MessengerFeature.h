// One-to-one messages, files and invitations between lobby users: which delivery goes to whose
// messenger window, with which text, and the invitation this client may answer.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/transport/QNOwner.h"
#include "confclient/people/MessengerLog.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"
#include "core/LogSink.h"

// The messenger windows and the lobby as the messenger sees them.
class IMessengerView
{
public:
    virtual ~IMessengerView() = default;
    // A delivery of the kind (MessengerLineKind) to the messenger window of a lobby user, opening
    // the window when needed; value: the room of an invitation.
    virtual void DeliverToMessenger(int nKind, uint16_t wUserIndex, const std::u16string& szText,
                                    uint32_t dwValue) = 0;
    // A file offer to the sender's messenger window, opening it when needed.
    virtual void OnMessengerFileOffer(const QNFileOffer& offer) = 0;
    // The answer to an offer, or the end of a transfer, to the sender's window when one is open.
    virtual void OnMessengerFileReply(uint16_t wUserIndex, bool bAccepted) = 0;
    // Hands a block of a file to the sender's messenger window, when one is open.
    virtual void OnMessengerFileData(const QNFileData& data) = 0;
    // Opens the notice of an invitation into a room, unless one of that inviter and room is open;
    // it goes when the user answers it.
    virtual void ShowInviteNotice(uint16_t wInviter, uint16_t wRoomIndex,
                                  const std::u16string& szRoomTitle) = 0;
    // The name of a logged-in lobby user; empty for an unknown one.
    virtual std::u16string LobbyName(uint16_t wUserIndex) const = 0;
    // The title of a room of the lobby's list; none for an unknown room.
    virtual std::optional<std::u16string> ConfTitle(uint16_t wRoomIndex) const = 0;
};

class CMessengerFeature
{
public:
    CMessengerFeature(CRoomState& room, IRoomNotices& notices, IMessengerView& view, ILogSink* pLog)
        : m_room(room), m_notices(notices), m_view(view), m_pLog(pLog)
    {
    }

    // A message, file or invitation the server could not deliver: an addressee who is not
    // logged in (status 1000 or 1204) is told of in their messenger.
    void OnUndelivered(uint16_t wCommand, const QNPacketDesc& desc, const uint16_t& wUserIndex);
    void OnText(const QNMessage& message);
    void OnFileOffer(const QNFileOffer& offer);
    void OnFileAnswer(const QNFileReply& answer);
    void OnFileData(const QNFileData& data);
    // An invitation from a known user into a known room becomes the one being answered.
    void OnInvitation(const QNInvitation& invitation);
    // The invited user's reply (662: the replying user at 4).
    void OnInviteAnswer(const QNInviteReply& answer);

private:
    CRoomState& m_room;
    IRoomNotices& m_notices;
    IMessengerView& m_view;
    ILogSink* m_pLog;
};
