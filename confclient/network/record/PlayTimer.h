// The periodic signal that drives playback, and the playback thread that gives it.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

class IPlayTimer
{
public:
    virtual ~IPlayTimer() = default;
    // Calls onTick every nPeriodMs on a thread of the timer's own, until Stop or until onTick
    // returns false. Not to be called from inside a tick.
    virtual void Start(uint32_t nPeriodMs, std::function<bool()> onTick) = 0;
    // Ends the ticks; from any other thread it also waits for a tick in progress.
    virtual void Stop() = 0;
};

// One thread that sleeps to the next period and then plays; it never touches a window,
// so stopping it from the window's thread cannot deadlock against it.
class CPlaybackThread : public IPlayTimer
{
public:
    ~CPlaybackThread() override { Stop(); }
    void Start(uint32_t nPeriodMs, std::function<bool()> onTick) override;
    void Stop() override;

private:
    void Run(uint32_t nPeriodMs, std::function<bool()> onTick);
    void Signal();

    std::mutex m_control; // Start and Stop from outside the thread, one at a time
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_bStop = false;
};
