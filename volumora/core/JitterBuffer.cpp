// The jitter buffer's arrival, playout and adaptation rules.
#include "volumora/core/JitterBuffer.h"

#include <algorithm>
#include <cstdlib>

#include "volumora/core/VoicePacket.h"

namespace
{
constexpr VoiceMs kGapResetMs = 1000;

int Distance(uint16_t wFrom, uint16_t wTo)
{
    return static_cast<int16_t>(static_cast<uint16_t>(wTo - wFrom));
}
} // namespace

CJitterBuffer::CJitterBuffer(uint32_t dwMaxDelayMs)
    : m_nMaxFrames(std::max<int>(1, static_cast<int>(dwMaxDelayMs / kVoiceFrameMs)))
{
    m_stats.dwTargetMs = TargetMs();
}

uint32_t CJitterBuffer::TargetMs() const
{
    // One frame plus one and a half times the mean deviation between consecutive arrivals.
    uint32_t dwCoverMs = m_nJitter16 * 3 / 32;
    int nFrames = 1 + static_cast<int>((dwCoverMs + kVoiceFrameMs / 2) / kVoiceFrameMs);
    return static_cast<uint32_t>(std::clamp(nFrames, 1, m_nMaxFrames)) * kVoiceFrameMs;
}

bool CJitterBuffer::Holds(uint16_t wSequence) const
{
    const Slot& s = m_slots[wSequence % kSlots];
    return s.bFull && s.packet.wSequence == wSequence;
}

void CJitterBuffer::Restart()
{
    for (Slot& s : m_slots)
    {
        s.bFull = false;
        s.packet.opus.clear();
    }
    m_nHeld = 0;
    m_bPlaying = false;
    m_bStartPending = false;
    m_bHavePlayed = false;
    m_nEmptyRun = 0;
    m_bHaveArrival = false;
}

void CJitterBuffer::MeasureJitter(const JitterPacket& packet)
{
    int64_t nTransit = static_cast<int64_t>(packet.dwArrivalMs) * 16 -
                       static_cast<int64_t>(packet.dwTimestamp) / (kVoiceSampleRate / 1000) * 16;
    if (m_bHaveArrival)
    {
        int64_t d = std::llabs(nTransit - m_nLastTransit);
        // The estimate moves a sixteenth of the way to each new deviation.
        m_nJitter16 = static_cast<uint32_t>(m_nJitter16 + (d - static_cast<int64_t>(m_nJitter16)) / 16);
    }
    m_nLastTransit = nTransit;
    m_bHaveArrival = true;
    m_dwLastArrival = packet.dwArrivalMs;
}

void CJitterBuffer::Push(JitterPacket&& packet)
{
    if (m_bHaveArrival && packet.dwArrivalMs - m_dwLastArrival > kGapResetMs)
    {
        Restart();
        ++m_stats.nResets;
    }
    const uint16_t wSeq = packet.wSequence;
    const bool bBusy = m_bPlaying || m_nHeld > 0;
    // A talk spurt that starts while the speaker is silent is a fresh stream (the sender may
    // have restarted its numbering); otherwise a frame at or before the one played is late.
    const bool bFreshSpurt = !bBusy && (packet.bFlags & kVoiceFlagTalkSpurtStart);
    int dPlayed = m_bPlaying ? Distance(m_wCursor, wSeq) + 1 : Distance(m_wLastPlayed, wSeq);
    if ((m_bPlaying || (m_bHavePlayed && !bFreshSpurt)) && dPlayed <= 0 && dPlayed > -kWindowFrames)
    {
        ++m_stats.nLate;
        return;
    }
    if (bFreshSpurt || (bBusy && std::abs(Distance(m_wCursor, wSeq)) >= kWindowFrames))
    {
        if (!bFreshSpurt) ++m_stats.nResets;
        Restart();
    }
    if (Holds(wSeq))
    {
        ++m_stats.nDuplicates;
        return;
    }
    MeasureJitter(packet);
    m_stats.dwTargetMs = TargetMs();
    if (m_nHeld == 0 && !m_bPlaying)
    {
        m_wCursor = wSeq;
        m_wNewest = wSeq;
    }
    else
    {
        // Before playing starts, an earlier packet that arrives late becomes the first frame.
        if (!m_bPlaying && Distance(m_wCursor, wSeq) < 0) m_wCursor = wSeq;
        if (Distance(m_wNewest, wSeq) > 0) m_wNewest = wSeq;
    }
    if (!m_bPlaying && !m_bStartPending)
    {
        m_bStartPending = true;
        m_dwStartAt = packet.dwArrivalMs + m_stats.dwTargetMs;
    }
    Slot& slot = SlotOf(wSeq);
    slot.bFull = true;
    slot.packet = std::move(packet);
    ++m_nHeld;
    ++m_stats.nPackets;
}

void CJitterBuffer::DropOverflow()
{
    while (m_nHeld > 0 && Distance(m_wCursor, m_wNewest) + 1 > m_nMaxFrames)
    {
        if (Holds(m_wCursor))
        {
            Slot& s = SlotOf(m_wCursor);
            s.bFull = false;
            s.packet.opus.clear();
            --m_nHeld;
            ++m_stats.nOverflow;
        }
        ++m_wCursor;
    }
}

Playout CJitterBuffer::Missing(std::vector<uint8_t>& opus)
{
    if (m_nHeld == 0)
    {
        // Nothing more came: after as many empty frames as the delay covers, the talk spurt is over.
        if (++m_nEmptyRun > static_cast<int>(m_stats.dwTargetMs / kVoiceFrameMs))
        {
            m_bPlaying = false;
            m_bHavePlayed = true;
            m_wLastPlayed = static_cast<uint16_t>(m_wCursor - 1);
            return Playout::Idle;
        }
    }
    ++m_wCursor;
    if (Holds(m_wCursor))
    {
        opus = SlotOf(m_wCursor).packet.opus;
        ++m_stats.nFec;
        return Playout::Fec;
    }
    ++m_stats.nConcealed;
    return Playout::Conceal;
}

Playout CJitterBuffer::Pull(VoiceMs now, std::vector<uint8_t>& opus)
{
    if (!m_bPlaying)
    {
        if (!m_bStartPending || static_cast<int32_t>(now - m_dwStartAt) < 0) return Playout::Idle;
        m_bPlaying = true;
        m_bStartPending = false;
        m_nEmptyRun = 0;
    }
    DropOverflow();
    if (!Holds(m_wCursor)) return Missing(opus);
    Slot& slot = SlotOf(m_wCursor);
    opus = std::move(slot.packet.opus);
    slot.packet.opus.clear();
    slot.bFull = false;
    --m_nHeld;
    m_stats.dwDelayMs = now - slot.packet.dwArrivalMs;
    m_stats.qwDelaySumMs += m_stats.dwDelayMs;
    ++m_stats.nDelayFrames;
    m_stats.dwMaxDelayMs = std::max(m_stats.dwMaxDelayMs, m_stats.dwDelayMs);
    m_bHavePlayed = true;
    m_wLastPlayed = m_wCursor;
    ++m_wCursor;
    m_nEmptyRun = 0;
    return Playout::Packet;
}
