// The room dispatcher: each command the network hands the owner as a room packet is
// looked up in the handler rows (QNRoomHandlers.def), its payload read once by the
// row's decoder, and the row's method called on the feature the row names.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "confclient/network/QNPayloads.h"
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/transport/QNOwner.h"
#include "core/LogSink.h"

// What the session itself does with the room commands that enter, leave or reshape the
// room and its windows: one method per handler named by the rows.
class IRoomCommands
{
public:
    virtual ~IRoomCommands() = default;

    virtual void OnRoomAck(uint16_t wCommand, const QNPacketDesc& desc) = 0;
    virtual void OnRoomNak(uint16_t wCommand, const QNPacketDesc& desc) = 0;
    virtual void OnRoomRecord(uint16_t wCommand, const QNPacketDesc& desc) = 0;
    virtual void OnRoomEnd(uint16_t wCommand, const QNPacketDesc& desc) = 0;
    virtual void OnSessionValueCleared(uint16_t wCommand, const QNPacketDesc& desc) = 0;
    virtual void OnBanished(uint16_t wCommand, const QNPacketDesc& desc) = 0;
    virtual void OnRoomRights(uint16_t wCommand, const QNPacketDesc& desc) = 0;

    virtual void OnSessionValue(uint16_t wCommand, const QNPacketDesc& desc, const uint16_t& wValue) = 0;
};

class CChatFeature;
class CRoomViewFeature;
class CVideoFeature;
class CMediaShareFeature;
class CMessengerFeature;
class CCallFeature;
class CPrivateDataFeature;
class CRoomVoice;
class CRecordingFeature;
class CPushReceiveFeature;
class CBoardNoticeFeature;
class CParticipantsFeature;
class CPresenterFeature;

// Whom the rows call: the session's own handlers and each room feature. A row whose
// target is not set is skipped.
struct RoomHandlers
{
    IRoomCommands* pSession = nullptr;
    CChatFeature* pChat = nullptr;
    CRoomViewFeature* pRoomView = nullptr;
    CVideoFeature* pVideo = nullptr;
    CMediaShareFeature* pMediaShare = nullptr;
    CMessengerFeature* pMessenger = nullptr;
    CCallFeature* pCall = nullptr;
    CPrivateDataFeature* pPrivateData = nullptr;
    CRoomVoice* pVoice = nullptr;
    CRecordingFeature* pRecording = nullptr;
    CPushReceiveFeature* pPushReceive = nullptr;
    CBoardNoticeFeature* pBoardNotice = nullptr;
    CParticipantsFeature* pParticipants = nullptr;
    CPresenterFeature* pPresenter = nullptr;
};

// One handler row: the command, what is done with it, and for an ignored or checked row why.
struct RoomHandlerRow
{
    uint16_t wCommand;
    void (*pfnDispatch)(const RoomHandlers& handlers, ILogSink* pLog, uint16_t wCommand,
                        const QNPacketDesc& desc);
    const char* pszIgnoredBecause; // null for a row that calls a handler
};

// The row of a command, or null for a command without one.
const RoomHandlerRow* FindRoomHandlerRow(uint16_t wCommand);

// Runs the command's row; a command without a row is left alone.
void DispatchRoomCommand(const RoomHandlers& handlers, ILogSink* pLog, uint16_t wCommand,
                         const QNPacketDesc& desc);
