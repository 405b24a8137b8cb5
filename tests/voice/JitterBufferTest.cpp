// The jitter buffer's playout of arrival scripts: order, duplicates, late packets, loss with
// FEC and concealment, the one-second reset, overflow, and the delay following the jitter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "volumora/core/JitterBuffer.h"
#include "volumora/core/VoicePacket.h"

namespace
{
struct Arrival
{
    uint16_t wSeq;
    VoiceMs dwAt;
    uint8_t bFlags = 0;
};

// Ticks every frame from 0 ms, pushing what arrived by then first; returns what each
// non-idle tick played: "P<seq>" a packet, "F<seq>" FEC taken from that packet, "C" concealed.
std::string Play(CJitterBuffer& jb, const std::vector<Arrival>& arrivals)
{
    std::string played;
    size_t next = 0;
    VoiceMs dwEnd = arrivals.empty() ? 0 : arrivals.back().dwAt + 400;
    for (VoiceMs t = 0; t <= dwEnd; t += kVoiceFrameMs)
    {
        for (; next < arrivals.size() && arrivals[next].dwAt <= t; ++next)
        {
            const Arrival& a = arrivals[next];
            // Capture time runs with the numbering from the first packet.
            uint32_t dwTimestamp = static_cast<uint16_t>(a.wSeq - arrivals[0].wSeq) * 320u;
            jb.Push({a.wSeq, dwTimestamp, a.bFlags, a.dwAt, {static_cast<uint8_t>(a.wSeq)}});
        }
        std::vector<uint8_t> opus;
        switch (jb.Pull(t, opus))
        {
        case Playout::Idle:
            continue;
        case Playout::Packet:
            played += "P" + std::to_string(opus.at(0));
            break;
        case Playout::Fec:
            played += "F" + std::to_string(opus.at(0));
            break;
        case Playout::Conceal:
            played += "C";
            break;
        }
        played += " ";
    }
    return played;
}

std::vector<Arrival> Steady(uint16_t wFirst, uint16_t wCount, VoiceMs dwAt)
{
    std::vector<Arrival> a;
    for (uint16_t i = 0; i < wCount; ++i)
        a.push_back({static_cast<uint16_t>(wFirst + i), dwAt + i * kVoiceFrameMs});
    return a;
}
} // namespace

TEST(JitterBuffer, PlaysArrivalScripts)
{
    constexpr uint8_t kStart = kVoiceFlagTalkSpurtStart;
    struct
    {
        const char* what;
        std::vector<Arrival> arrivals;
        std::string played;
        uint32_t nLate, nDuplicates, nFec, nConcealed, nResets;
    } cases[] = {
        {"in order; the spurt ends after one concealed frame", Steady(0, 5, 5), "P0 P1 P2 P3 P4 C ", 0, 0, 0,
         1, 0},
        {"reordered within the delay",
         {{0, 5}, {2, 25}, {1, 30}, {3, 65}, {4, 85}},
         "P0 P1 P2 P3 P4 C ",
         0,
         0,
         0,
         1,
         0},
        {"duplicate dropped", {{0, 5}, {1, 25}, {1, 30}, {2, 45}}, "P0 P1 P2 C ", 0, 1, 0, 1, 0},
        {"missing frame rebuilt from the next packet's FEC; the original comes late",
         {{0, 5}, {2, 45}, {3, 65}, {1, 70}},
         "P0 F2 P2 P3 C ",
         1,
         0,
         1,
         1,
         0},
        {"missing frame with nothing after it concealed, the next from FEC",
         {{0, 5}, {1, 25}, {4, 85}, {5, 105}},
         "P0 P1 C F4 P4 P5 C ",
         0,
         0,
         1,
         2,
         0},
        {"numbering restarted within a second: late",
         {{10, 5}, {11, 25}, {0, 505}, {1, 525}},
         "P10 P11 C ",
         2,
         0,
         0,
         1,
         0},
        {"numbering restarted with a talk-spurt start: a new stream",
         {{10, 5}, {11, 25}, {0, 505, kStart}, {1, 525}},
         "P10 P11 C P0 P1 C ",
         0,
         0,
         0,
         2,
         0},
        {"a gap of over a second resets",
         {{10, 5}, {11, 25}, {0, 1100}, {1, 1120}},
         "P10 P11 C P0 P1 C ",
         0,
         0,
         0,
         2,
         1},
        {"a second ahead of the cursor resets",
         {{0, 5}, {1, 25}, {60, 45}, {61, 65}},
         "P0 P60 P61 C ",
         0,
         0,
         0,
         1,
         1},
        {"numbering wraps", Steady(65534, 4, 5), "P254 P255 P0 P1 C ", 0, 0, 0, 1, 0},
    };
    for (const auto& c : cases)
    {
        CJitterBuffer jb(100);
        EXPECT_EQ(Play(jb, c.arrivals), c.played) << c.what;
        const JitterStats& s = jb.Stats();
        EXPECT_EQ(s.nLate, c.nLate) << c.what;
        EXPECT_EQ(s.nDuplicates, c.nDuplicates) << c.what;
        EXPECT_EQ(s.nFec, c.nFec) << c.what;
        EXPECT_EQ(s.nConcealed, c.nConcealed) << c.what;
        EXPECT_EQ(s.nResets, c.nResets) << c.what;
    }
}

TEST(JitterBuffer, BurstBeyondTheMaximumDelayKeepsTheNewest)
{
    std::vector<Arrival> burst;
    for (uint16_t i = 0; i < 10; ++i)
        burst.push_back({i, 5});
    CJitterBuffer jb(60);
    // The burst reads as jitter: the spurt's end is concealed over the longer delay.
    EXPECT_EQ(Play(jb, burst), "P7 P8 P9 C C ");
    EXPECT_EQ(jb.Stats().nOverflow, 7u);
}

TEST(JitterBuffer, DelayFollowsTheArrivalJitterUpToTheMaximum)
{
    struct
    {
        VoiceMs dwSwing; // every other packet arrives this much late
        uint32_t dwMaxMs;
        uint32_t dwTargetMs;
    } cases[] = {
        {0, 100, 20}, {2, 100, 20}, {30, 100, 60}, {200, 100, 100}, {200, 300, 300},
    };
    for (const auto& c : cases)
    {
        CJitterBuffer jb(c.dwMaxMs);
        for (uint16_t i = 0; i < 200; ++i)
            jb.Push({i, i * 320u, 0, i * kVoiceFrameMs + (i % 2 ? c.dwSwing : 0), {1}});
        EXPECT_EQ(jb.TargetMs(), c.dwTargetMs) << c.dwSwing;
    }
}
