// The playback thread.
#include "confclient/network/record/PlayTimer.h"

#include <algorithm>
#include <chrono>

void CPlaybackThread::Start(uint32_t nPeriodMs, std::function<bool()> onTick)
{
    Stop();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = false;
    }
    m_thread = std::thread(&CPlaybackThread::Run, this, nPeriodMs ? nPeriodMs : 1, std::move(onTick));
}

void CPlaybackThread::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bStop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}

void CPlaybackThread::Run(uint32_t nPeriodMs, std::function<bool()> onTick)
{
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::milliseconds(nPeriodMs);
    auto next = Clock::now() + period;
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
