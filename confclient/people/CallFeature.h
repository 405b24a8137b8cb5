// Calls to phones as the room hears of them: a call that failed is told with its reason.
#pragma once
#include <cstdint>

#include "confclient/network/transport/QNOwner.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "core/LogSink.h"

class CCallFeature
{
public:
    CCallFeature(IRoomNotices& notices, ILogSink* pLog) : m_notices(notices), m_pLog(pLog) {}

    // The server could not place the call: the failure code is the descriptor's extra value.
    void OnCallFailed(uint16_t wCommand, const QNPacketDesc& desc);

private:
    IRoomNotices& m_notices;
    ILogSink* m_pLog;
};
