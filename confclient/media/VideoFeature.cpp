// Camera control and desktop-sharing commands, noted.
#include "confclient/media/VideoFeature.h"

void CVideoFeature::OnCamControl(const QNCamControl& c)
{
    LogF(m_pLog, LOG_INFO, "[CAMCONTROL] CH:%d, Action:%d, Value:%d", c.wTargetChannel, c.wAction, c.wValue);
}

void CVideoFeature::OnDesktopShare(uint16_t wCommand, const QNPacketDesc& desc)
{
    LogF(m_pLog, LOG_INFO, "[DESKTOPSHARE] command %d, %u bytes", wCommand,
         static_cast<unsigned>(desc.pData ? desc.nLength : 0));
}
