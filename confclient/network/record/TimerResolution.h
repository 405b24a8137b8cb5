// Holds the system timer at 1 ms for as long as an object lives, where the platform's
// default is coarse: a Windows wait with a timeout ends on a timer tick, 15.6 ms unless
// some program asks for finer ones. Only the playback clock needs it, and only while playing.
#pragma once

class CFineTimerScope
{
public:
    CFineTimerScope();
    ~CFineTimerScope();
    CFineTimerScope(const CFineTimerScope&) = delete;
    CFineTimerScope& operator=(const CFineTimerScope&) = delete;

private:
    bool m_bRaised = false;
};
