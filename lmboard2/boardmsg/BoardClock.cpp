// The monotonic clock behind upload pacing.
#include "lmboard2/boardmsg/BoardClock.h"

#include <chrono>
#include <thread>

uint32_t CSteadyBoardClock::TickCount()
{
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(ms.count());
}

void CSteadyBoardClock::Sleep(uint32_t nMs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(nMs));
}
