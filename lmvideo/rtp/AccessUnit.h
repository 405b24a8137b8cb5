// One complete coded picture as a decoder takes it, and the bounded queue that hands
// pictures from a depacketizer or stream splitter to the decoder.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

// No picture of ours comes near this; a unit that grows past it is dropped rather than
// letting a hostile stream take the memory.
constexpr size_t kMaxAccessUnitBytes = 4 << 20;

struct AccessUnit
{
    std::vector<uint8_t> data; // Annex-B (H.264) or the picture's bitstream (H.263)
    uint32_t nTimestamp = 0;   // RTP time stamp; 0 for a plain stream
    bool bKey = false;         // an IDR (H.264) or intra (H.263) picture
    bool bAfterLoss = false;   // pictures were lost or dropped just before this one
};

class AccessUnitQueue
{
public:
    // Pictures nobody takes are not kept for ever: past this many the oldest goes.
    static constexpr size_t kMaxQueued = 4;

    explicit AccessUnitQueue(size_t nMaxQueued = kMaxQueued) : m_nMaxQueued(nMaxQueued) {}
    void Push(AccessUnit&& unit);
    // Drops the oldest pictures past nKeep; the first one kept then carries bAfterLoss.
    void Trim(size_t nKeep);
    // Takes the oldest picture; false when none is waiting.
    bool Pop(AccessUnit& out);
    // The next picture pushed carries bAfterLoss.
    void NoteLoss() { m_bLoss = true; }
    size_t Size() const { return m_units.size(); }
    void Clear();

private:
    size_t m_nMaxQueued;
    std::deque<AccessUnit> m_units;
    bool m_bLoss = false;
};
