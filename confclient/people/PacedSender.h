// The send loop of a file transfer: blocks read from the file go out one at a time, the next only
// once the network reports the last one left the socket, one block's time apart at the pace, and
// no more than the pace's bytes in any second. Runs on the transfer's own thread; the report and
// the cancel come from the GUI thread.
#pragma once
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

#include "confclient/people/ReceiveNames.h"

// The time the loop paces itself by.
class IPaceClock
{
public:
    virtual ~IPaceClock() = default;
    // Milliseconds of a steady clock.
    virtual uint64_t NowMs() = 0;
    // Waits on cv (lock held) until wake() is true or ms have passed.
    virtual void WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint32_t ms,
                         const std::function<bool()>& wake) = 0;
};

// The steady clock and real waits.
class CSteadyPaceClock : public IPaceClock
{
public:
    uint64_t NowMs() override;
    void WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& cv, uint32_t ms,
                 const std::function<bool()>& wake) override;
};

// Where the blocks go.
class IBlockLink
{
public:
    virtual ~IBlockLink() = default;
    // Hands one block to the network; false when there is no network (no report will come).
    virtual bool SendBlock(const uint8_t* p, size_t n) = 0;
};

struct STransferPace
{
    size_t nBlock = 1372;
    uint32_t dwBytesPerSecond = 131072;
};

class CPacedSender
{
public:
    enum Result
    {
        SEND_DONE,      // the last block (shorter than a whole one, maybe empty) went
        SEND_CANCELLED, // stopped by Cancel
    };

    CPacedSender(IPaceClock& clock, IBlockLink& link, STransferPace pace)
        : m_clock(clock), m_link(link), m_pace(pace)
    {
    }

    // The loop: reads and sends until the file's end or a cancel.
    Result Run(ISendFile& file);
    // A block of n bytes left the socket: the loop may go on. False (nothing done) when no block
    // is waited for: a report after the end or after a cancel.
    bool OnBlockSent(uint32_t nBytes);
    // Stops the loop at once, also from a wait; idempotent.
    void Cancel();
    bool Cancelled() const;
    // Bytes reported sent.
    uint64_t BytesSent() const;

private:
    IPaceClock& m_clock;
    IBlockLink& m_link;
    const STransferPace m_pace;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_bCancel = false;
    bool m_bInFlight = false;
    uint64_t m_nSent = 0;
};
