// One speaker's adaptive jitter buffer: packets in by arrival, one frame out per mixer tick.
// The playout delay follows the measured arrival jitter (one frame up to the maximum);
// late and duplicate packets are dropped, a missing frame is concealed or rebuilt from the
// next packet's FEC, and a gap of more than a second starts the speaker afresh.
#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "volumora/core/VoiceFormat.h"

struct JitterPacket
{
    uint16_t wSequence = 0;
    uint32_t dwTimestamp = 0;
    uint8_t bFlags = 0;
    VoiceMs dwArrivalMs = 0;
    std::vector<uint8_t> opus;
};

enum class Playout
{
    Idle,    // nothing to play: the speaker is silent
    Packet,  // decode the packet handed out
    Fec,     // the frame is missing: decode the FEC of the next packet handed out
    Conceal, // the frame is missing: let the decoder conceal it
};

struct JitterStats
{
    uint32_t nPackets = 0; // accepted
    uint32_t nLate = 0;    // arrived after their frame was played
    uint32_t nDuplicates = 0;
    uint32_t nOverflow = 0;  // dropped to keep the delay under the maximum
    uint32_t nFec = 0;       // missing frames rebuilt from FEC
    uint32_t nConcealed = 0; // missing frames concealed
    uint32_t nResets = 0;
    uint32_t dwDelayMs = 0; // buffer delay of the last frame played
    // Buffer delays of every packet played (arrival to its tick), for the mean and the largest.
    uint64_t qwDelaySumMs = 0;
    uint32_t nDelayFrames = 0;
    uint32_t dwMaxDelayMs = 0;
    uint32_t dwTargetMs = 0; // playout delay wanted now
};

class CJitterBuffer
{
public:
    explicit CJitterBuffer(uint32_t dwMaxDelayMs);

    void Push(JitterPacket&& packet);
    // The frame due at this tick; for Packet and Fec, the bytes to decode go to opus.
    Playout Pull(VoiceMs now, std::vector<uint8_t>& opus);
    const JitterStats& Stats() const { return m_stats; }
    uint32_t TargetMs() const;

private:
    struct Slot
    {
        bool bFull = false;
        JitterPacket packet;
    };
    // A second of frames: a sequence further ahead than this is a new stream.
    static constexpr int kWindowFrames = 50;
    static constexpr size_t kSlots = 64;

    Slot& SlotOf(uint16_t wSequence) { return m_slots[wSequence % kSlots]; }
    bool Holds(uint16_t wSequence) const;
    void Restart();
    void MeasureJitter(const JitterPacket& packet);
    void DropOverflow();
    Playout Missing(std::vector<uint8_t>& opus);

    const int m_nMaxFrames;
    std::array<Slot, kSlots> m_slots{};
    int m_nHeld = 0;
    // The frame to play next while playing; before that, the oldest packet held.
    uint16_t m_wCursor = 0;
    uint16_t m_wNewest = 0;
    bool m_bPlaying = false;
    bool m_bStartPending = false;
    VoiceMs m_dwStartAt = 0;
    // The last frame played while idle between talk spurts: older packets are late.
    bool m_bHavePlayed = false;
    uint16_t m_wLastPlayed = 0;
    int m_nEmptyRun = 0;
    // Arrival jitter in 1/16 ms (the interarrival estimate of RTP), from the previous arrival.
    bool m_bHaveArrival = false;
    VoiceMs m_dwLastArrival = 0;
    int64_t m_nLastTransit = 0;
    uint32_t m_nJitter16 = 0;
    JitterStats m_stats;
};
