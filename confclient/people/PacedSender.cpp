// The paced, one-block-in-flight send loop.
#include "confclient/people/PacedSender.h"

#include <chrono>
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
    std::unique_lock<std::mutex> lock(m_lock);
    uint64_t nPeriodStart = m_clock.NowMs();
    uint64_t nPeriodBytes = 0;
    for (;;)
    {
        if (m_bCancel) return SEND_CANCELLED;
        // The budget is checked before the block goes, so no second carries more than the pace.
        if (nPeriodBytes + m_pace.nBlock > m_pace.dwBytesPerSecond)
        {
            const uint64_t nElapsed = m_clock.NowMs() - nPeriodStart;
            if (nElapsed < 1000)
                m_clock.WaitFor(lock, m_wake, static_cast<uint32_t>(1000 - nElapsed),
                                [this] { return m_bCancel; });
            if (m_bCancel) return SEND_CANCELLED;
            nPeriodStart = m_clock.NowMs();
            nPeriodBytes = 0;
        }
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
        nPeriodBytes += n;
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
