// The reconnect countdown.
#include "confclient/session/lobby/ReconnectCountdown.h"

bool CReconnectCountdown::Tick()
{
    if (!m_bRunning) return false;
    if (m_nLeft > 0) --m_nLeft;
    if (m_nLeft > 0) return false;
    m_bRunning = false; // the attempt's outcome restarts or stops it
    return true;
}
