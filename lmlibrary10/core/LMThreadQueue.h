// A thread's message queue, as a window system keeps one per thread: any thread posts
// (message, wParam, lParam); the owning thread takes them in order or waits for one.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

inline constexpr uint32_t LM_WM_QUIT = 0x0012;

struct LMThreadMessage
{
    uint32_t nMessage = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

class CLMThreadQueue
{
public:
    // Appends a message and wakes the owner; false once the queue was closed.
    bool Post(uint32_t nMessage, uintptr_t wParam = 0, intptr_t lParam = 0);
    // Takes the oldest message; false when none waits.
    bool Take(LMThreadMessage& message);
    // True when a message waits (long work checks between steps, so a command is not held up).
    bool HasMessage();
    // Waits until a message waits, Wake was called or the time is up; true when a message waits.
    bool WaitFor(std::chrono::microseconds timeout);
    // Ends a wait at once (a producer of other work than messages tells the owner).
    void Wake();
    // Refuses later posts; the messages already queued stay to be taken.
    void Close();

private:
    std::mutex m_lock;
    std::condition_variable m_posted;
    std::deque<LMThreadMessage> m_messages;
    bool m_bClosed = false;
    bool m_bWoken = false;
};
