// Recording as the room hears of it: who records, the server's recording of this client's
// room, its refusals and the server recorder's state, told in the chat and on the control bar.
#pragma once
#include <cstdint>
#include <string>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"
#include "core/LogSink.h"

// The control bar and room window as recording sees them; without a control bar its calls do nothing.
class IRecordingView
{
public:
    virtual ~IRecordingView() = default;
    // True when this client owns or presides over the room.
    virtual bool IsChief() const = 0;
    // The control bar's own recording stops because the server records the room.
    virtual void StopRecordForServer() = 0;
    // The control bar's server-record menu item is offered or not.
    virtual void EnableServerRecordMenu(bool bEnable) = 0;
    // The control bar's record buttons are usable or not.
    virtual void EnableRecordButtons(bool bEnable) = 0;
    // The room's windows are laid out again.
    virtual void LayoutRoom() = 0;
    // The folder a recording the server starts is written to, with its trailing separator.
    virtual std::u16string RecordFolder() = 0;
    // The server's target is recorded as MP4 by the bar's recording; a refusal is reported there.
    virtual void StartServerMp4Record(const std::u16string& szTarget) = 0;
};

class CRecordingFeature
{
public:
    CRecordingFeature(CRoomState& room, IRoomNotices& notices, IRecordingView& view, ILogSink* pLog)
        : m_room(room), m_notices(notices), m_view(view), m_pLog(pLog)
    {
    }

    // A member's own recording (INFO_CONF_RECORD) or the server's (INFO_CONF_SERVERRECORD)
    // started, stopped or failed: one chat notice and one log line.
    void OnRecordNotice(uint16_t wCommand, const QNRecordNotice& r);
    // The server would not start or stop its recording.
    void OnServerRecordRefused();
    // The server starts or stops recording this client's room.
    void OnServerRecordLocal(const QNServerRecordLocal& r);
    // The server recorder is idle (0) or busy: recording is offered only while it is idle.
    void OnRecorderState(const QNRecorderState& s);

private:
    std::u16string ServerFailText() const;

    CRoomState& m_room;
    IRoomNotices& m_notices;
    IRecordingView& m_view;
    ILogSink* m_pLog;
};
