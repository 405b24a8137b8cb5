// What the board host tells the room's user of the board's traffic: the board's pages have all arrived.
#pragma once
#include "confclient/session/roomstate/RoomNotices.h"
#include "core/LogSink.h"

class CBoardNoticeFeature
{
public:
    CBoardNoticeFeature(IRoomNotices& notices, ILogSink* pLog) : m_notices(notices), m_pLog(pLog) {}

    // INFO_CONF_BOARDCOMPLETE: a chat notice and an INFO log line.
    void OnBoardComplete();

private:
    IRoomNotices& m_notices;
    ILogSink* m_pLog;
};
