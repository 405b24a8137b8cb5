// The clock that paces file sending: milliseconds since some start, and sleeping.
#pragma once
#include <cstdint>

class IBoardClock
{
public:
    virtual ~IBoardClock() = default;
    // Milliseconds from a fixed start; wraps like a tick count.
    virtual uint32_t TickCount() = 0;
    // Blocks the calling thread for about nMs milliseconds.
    virtual void Sleep(uint32_t nMs) = 0;
};

// The machine's monotonic clock.
class CSteadyBoardClock : public IBoardClock
{
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t nMs) override;
};
