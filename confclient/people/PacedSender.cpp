// The paced, one-block-in-flight send loop.
#include "confclient/people/PacedSender.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <vector>

uint64_t CSteadyPaceClock::NowMs()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CSteadyPaceClock::WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint32_t ms,
                               const std::function<bool()>& wake)
{
    cv.wait_for(lock, std::chrono::milliseconds(ms), wake);
}

CPacedSender::Result CPacedSender::Run(ISendFile& file)
{
    std::vector<uint8_t> block(m_pace.nBlock);
    // The blocks sent within the last second: whatever second one looks at holds at most the
    // pace, also when a stall bunched a period's blocks at its end.
    std::deque<std::pair<uint64_t, size_t>> recent;
    uint64_t nRecent = 0;
    // The earliest the next block may go, in microseconds of the clock.
    uint64_t nNextUs = 0;
    std::unique_lock<std::mutex> lock(m_lock);
    for (;;)
    {
        // The budget is checked before the block goes.
        uint64_t nNow = 0;
        for (;;)
        {
            if (m_bCancel) return SEND_CANCELLED;
            nNow = m_clock.NowMs();
            // Whole milliseconds: a block stamped s went at s or later, so it is a second old
            // only from s + 1001 on.
            while (!recent.empty() && recent.front().first + 1000 < nNow)
            {
                nRecent -= recent.front().second;
                recent.pop_front();
            }
            uint64_t nWaitMs = 0;
            if (nRecent + m_pace.nBlock > m_pace.dwBytesPerSecond)
                nWaitMs = recent.front().first + 1001 - nNow;
            else if (nNow * 1000 < nNextUs)
                nWaitMs = (nNextUs - nNow * 1000 + 999) / 1000;
            else
                break;
            m_clock.WaitFor(lock, m_wake, static_cast<uint32_t>(nWaitMs), [this] { return m_bCancel; });
        }
        // Blocks go one block's time apart, and a late one earns at most one block of credit: a
        // late wake does not slow the pace, and after a stall the loop does not catch up in a
        // burst, which any later delay of part of it would crowd into one second.
        const uint64_t nBlockUs = m_pace.nBlock * 1000000ull / m_pace.dwBytesPerSecond;
        nNextUs = std::max(nNextUs + nBlockUs, nNow * 1000);
        lock.unlock();
        const size_t n = file.Read(block.data(), block.size());
        lock.lock();
        if (m_bCancel) return SEND_CANCELLED;
        m_bInFlight = true;
        lock.unlock();
        const bool bSent = m_link.SendBlock(block.data(), n);
        lock.lock();
        if (bSent) m_wake.wait(lock, [this] { return !m_bInFlight || m_bCancel; });
        m_bInFlight = false;
        if (m_bCancel) return SEND_CANCELLED;
        // Counted from when it left the socket, the nearest the peer's side sees it.
        recent.emplace_back(m_clock.NowMs(), n);
        nRecent += n;
        if (n < m_pace.nBlock) return SEND_DONE;
    }
}

bool CPacedSender::OnBlockSent(uint32_t nBytes)
{
    std::lock_guard<std::mutex> g(m_lock);
    if (!m_bInFlight || m_bCancel) return false;
    m_bInFlight = false;
    m_nSent += nBytes;
    m_wake.notify_all();
    return true;
}

void CPacedSender::Cancel()
{
    std::lock_guard<std::mutex> g(m_lock);
    m_bCancel = true;
    m_wake.notify_all();
}

bool CPacedSender::Cancelled() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_bCancel;
}

uint64_t CPacedSender::BytesSent() const
{
    std::lock_guard<std::mutex> g(m_lock);
    return m_nSent;
}
