// The 1 ms system timer through the multimedia timer functions; the request is counted by
// the system, so each raise is paired with its own release.
#include "confclient/network/record/TimerResolution.h"

#include <windows.h>

#include <timeapi.h>

CFineTimerScope::CFineTimerScope() : m_bRaised(timeBeginPeriod(1) == TIMERR_NOERROR) {}

CFineTimerScope::~CFineTimerScope()
{
    if (m_bRaised) timeEndPeriod(1);
}
