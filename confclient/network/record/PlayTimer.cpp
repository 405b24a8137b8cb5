// The playback thread.
#include "confclient/network/record/PlayTimer.h"

#include <algorithm>
#include <chrono>

#include "confclient/network/record/TimerResolution.h"

namespace
{
// The timer whose tick runs on this thread, so that a Stop from inside a tick does not wait for itself.
thread_local const CPlaybackThread* t_pTicking = nullptr;
} // namespace

void CPlaybackThread::Start(uint32_t nPeriodMs, std::function<bool()> onTick)
{
    std::lock_guard<std::mutex> control(m_control);
    Signal();
    if (m_thread.joinable()) m_thread.join();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = false;
    }
    m_thread = std::thread(&CPlaybackThread::Run, this, nPeriodMs ? nPeriodMs : 1, std::move(onTick));
}

void CPlaybackThread::Signal()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
}

void CPlaybackThread::Stop()
{
    if (t_pTicking == this)
    {
        Signal();
        return;
    }
    std::lock_guard<std::mutex> control(m_control);
    Signal();
    if (m_thread.joinable()) m_thread.join();
}

void CPlaybackThread::Run(uint32_t nPeriodMs, std::function<bool()> onTick)
{
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::milliseconds(nPeriodMs);
    // Without it a tick may come up to 15.6 ms late on Windows, and a period below that
    // (fast playback) cannot be kept.
    CFineTimerScope fineTimer;
    auto next = Clock::now() + period;
    t_pTicking = this;
    for (;;)
    {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            if (m_wake.wait_until(lock, next, [this] { return m_bStop; })) return;
        }
        if (!onTick()) return;
        // A late tick does not queue up the missed ones: playback catches up by time anyway.
        next = std::max(next + period, Clock::now());
    }
}
