// The visible countdown before each reconnect attempt: it runs once a second
// and asks for a login when it reaches zero; a failed attempt starts it again,
// until a login succeeds or the user cancels.
#pragma once
#include <cstdint>

class CReconnectCountdown
{
public:
    static constexpr int kSeconds = 5;

    // Starts (or restarts after a failed attempt) the countdown from kSeconds.
    void Start()
    {
        m_nLeft = kSeconds;
        m_bRunning = true;
    }
    // One second passed. True when the countdown reached zero: attempt the login now.
    bool Tick();
    // The login succeeded or the user cancelled.
    void Stop()
    {
        m_bRunning = false;
        m_nLeft = 0;
    }
    bool Running() const { return m_bRunning; }
    int SecondsLeft() const { return m_nLeft; }

private:
    int m_nLeft = 0;
    bool m_bRunning = false;
};
