// The room window as the room's commands shape it: the room type, the view mode everyone
// sees, the maximised room window, this client's floating video and the room's state.
#pragma once
#include <cstdint>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"
#include "core/LogSink.h"

// The room window as the feature sees it.
class IRoomView
{
public:
    virtual ~IRoomView() = default;
    // The session plays a recording: live-only commands are not taken.
    virtual bool IsPlayerMode() const = 0;
    // The room's type or flags changed: video view count, participants, presenter button, layout.
    virtual void OnRoomTypeChanged() = 0;
    // The control bar shows the view mode; the room is laid out for it.
    virtual void ShowViewMode(uint16_t wViewMode) = 0;
    // The recorder's state is asked of the server (the view mode that shows it was chosen).
    virtual void QueryRecorderState() = 0;
    // The room records itself (mode value 4): the chief's automatic recording starts.
    virtual void StartChiefAutoRecord() = 0;
    // The room window is maximised (true) or restored by the control bar.
    virtual void MaximizeRoom(bool bMaximize) = 0;
    // This client's video view floats (non-zero mode) or docks, if it is not so already.
    virtual void SetOwnVideoFloating(int nMode) = 0;
    // Whether the room window covers its monitor.
    virtual bool IsRoomFullScreen() const = 0;
    // The room window takes (true) or leaves full screen as the room asks.
    virtual void SetRoomFullScreen(bool bOn) = 0;
    // The lecture started or ended: the conference time starts again from it.
    virtual void OnLectureChanged() = 0;
};

class CRoomViewFeature
{
public:
    CRoomViewFeature(CRoomState& room, IRoomView& view, IRoomNotices& notices, ILogSink* pLog)
        : m_room(room), m_view(view), m_notices(notices), m_pLog(pLog)
    {
    }

    // The current room's new type and flags; another room's is not this room's.
    void OnRoomType(const QNRoomType& type);
    // The server refused a type change: a box and an ERROR line.
    void OnRoomTypeRefused();
    // The view mode and full screen everyone sees; mode value 4 also asks for the recorder's state.
    void OnViewMode(const QNViewMode& mode);
    void OnMaximize(const QNMaximize& m);
    void OnFloatVideo(const QNFloatVideo& f);
    // The room's state word; a notification of it is not replayed into a player.
    void OnRoomState(uint16_t wCommand, const QNRoomState& state);

private:
    CRoomState& m_room;
    IRoomView& m_view;
    IRoomNotices& m_notices;
    ILogSink* m_pLog;
};
