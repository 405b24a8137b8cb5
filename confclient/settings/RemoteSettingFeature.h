// What the room's chief sets remotely on this client: the camera's send frame rate, whether
// its video stops, and sound settings, which are told in the chat with the setter's name.
#pragma once
#include "confclient/network/QNRoomPayloads.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"
#include "core/LogSink.h"

class CRemoteSettingFeature
{
public:
    CRemoteSettingFeature(CRoomState& room, IRoomNotices& notices, ILogSink* pLog)
        : m_room(room), m_notices(notices), m_pLog(pLog)
    {
    }

    void OnRemoteSetting(const QNRemoteSetting& setting);

private:
    CRoomState& m_room;
    IRoomNotices& m_notices;
    ILogSink* m_pLog;
};
