// The send engine's rate limiter: which queued pictures become RecordData events, by the send
// state and the frame rate, on times from the caller's clock (milliseconds, wrapping).
#pragma once
#include <cstdint>

// 0: events are fired; 1: the timing runs but no event is fired; 2: pictures are ignored.
enum ESendState : int32_t
{
    SEND_FIRE = 0,
    SEND_SILENT = 1,
    SEND_IGNORE = 2,
};

enum class ESendVerdict
{
    Drop,
    PassSilently,
    Fire,
};

class CSendRateLimiter
{
public:
    static constexpr int32_t kDefaultFrameRate = 5;
    // At this rate every picture passes.
    static constexpr int32_t kEveryPicture = 60;

    // A picture taken off the list at nNow.
    ESendVerdict Judge(uint32_t nNow);
    // State 0 also restarts the timing.
    void SetState(int32_t nState);
    int32_t GetState() const { return m_nState; }
    // Restarts the timing; a positive rate replaces the present one (0 or less keeps it).
    void SetFrameRate(int32_t nFrameRate);
    // Forgets the last passed picture: the next one passes.
    void Restart() { m_bHaveLast = false; }

private:
    int32_t m_nState = SEND_SILENT;
    int32_t m_nFrameRate = kDefaultFrameRate;
    bool m_bHaveLast = false;
    uint32_t m_nLastTick = 0;
    uint32_t m_nInterval = 0;
};
