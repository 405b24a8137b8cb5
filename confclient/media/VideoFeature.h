// The room's video traffic that reaches the session as room commands: camera control asked of
// this client and the desktop-sharing commands. Until cameras and the desktop sharer are
// driven here, each command is noted in the log.
#pragma once
#include <cstdint>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/transport/QNOwner.h"
#include "core/LogSink.h"

class CVideoFeature
{
public:
    explicit CVideoFeature(ILogSink* pLog) : m_pLog(pLog) {}

    void OnCamControl(const QNCamControl& c);
    // NAK and INFO of desktop sharing and desktop control: command and payload size.
    void OnDesktopShare(uint16_t wCommand, const QNPacketDesc& desc);

private:
    ILogSink* m_pLog;
};
