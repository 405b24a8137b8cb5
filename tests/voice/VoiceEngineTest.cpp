// The engine end to end on a clocked link: what the talker captures is what the listener
// hears, through loss, with levels, recording blocks and many speakers.
#include <gtest/gtest.h>

#include <set>

#include "tests/voice/VoiceTestRig.h"

namespace
{
constexpr size_t kSecond = 16000;
constexpr size_t kMaxLag = 3200; // 200 ms

std::vector<int> LevelsOf(const RecordedVoiceEvents& e, uint16_t wUser)
{
    std::vector<int> out;
    for (const auto& [u, n] : e.levels)
        if (u == wUser) out.push_back(n);
    return out;
}
} // namespace

TEST(VoiceEngine, TheTalkersToneReachesTheListenerWithLevelsUntilTalkStops)
{
    VoiceRig rig;
    Talker& alice = rig.AddTalker(7, 440);
    rig.Run(200);
    EXPECT_GE(BestCorrelation(alice.signal, kSecond / 2, kSecond, rig.heard, kMaxLag), 0.9);

    // Levels every 100 ms from both sides: 2 s gives about 20, none of them 0 while talking.
    std::vector<int> heardLevels = LevelsOf(rig.listenerEvents, 7);
    std::vector<int> ownLevels = LevelsOf(alice.events, 7);
    EXPECT_GE(heardLevels.size(), 18u);
    EXPECT_LE(heardLevels.size(), 21u);
    EXPECT_GE(ownLevels.size(), 19u);
    EXPECT_LE(ownLevels.size(), 21u);
    EXPECT_EQ(ownLevels.back(), 80) << "an 8000 peak is -12 dBFS";
    EXPECT_GT(heardLevels.back(), 60);

    size_t nPackets = alice.events.packets.size();
    alice.engine.TalkStop();
    size_t nHeard = rig.heard.size();
    rig.Run(50);
    EXPECT_EQ(alice.events.packets.size(), nPackets) << "no packet leaves after talk stops";
    EXPECT_EQ(LevelsOf(alice.events, 7).back(), 0);
    EXPECT_EQ(LevelsOf(rig.listenerEvents, 7).back(), 0);
    EXPECT_EQ(Energy(rig.heard, nHeard + kSecond / 5, kSecond / 5), 0.0) << "silence once the spurt ended";
}

TEST(VoiceEngine, LostPacketsAreRebuiltOrConcealed)
{
    struct
    {
        const char* what;
        std::function<int(size_t)> link;
        uint32_t nFec, nConcealedAtMost, nDuplicates;
    } cases[] = {
        {"every seventh lost", [](size_t n) { return n % 7 == 3 ? 0 : 1; }, 14, 1, 0},
        {"two in a row lost every twenty", [](size_t n) { return n % 20 == 5 || n % 20 == 6 ? 0 : 1; }, 5, 6,
         0},
        // The last pair still waits in the inbox for the next frame's mix.
        {"every packet twice", [](size_t) { return 2; }, 0, 1, 99},
    };
    for (const auto& c : cases)
    {
        VoiceRig rig;
        rig.link = c.link;
        Talker& alice = rig.AddTalker(7, 440);
        rig.Run(200);
        std::vector<SpeakerStats> stats = rig.listener.Stats();
        ASSERT_EQ(stats.size(), 1u) << c.what;
        EXPECT_EQ(stats[0].jitter.nFec, c.nFec) << c.what;
        EXPECT_LE(stats[0].jitter.nConcealed, c.nConcealedAtMost) << c.what;
        EXPECT_EQ(stats[0].jitter.nDuplicates, c.nDuplicates) << c.what;
        EXPECT_GE(BestCorrelation(alice.signal, kSecond / 2, kSecond, rig.heard, kMaxLag), 0.8) << c.what;
    }
}

TEST(VoiceEngine, LoudSpeakersSumWithoutWrapping)
{
    VoiceRig rig;
    Talker& a = rig.AddTalker(7, 300, 24000);
    rig.AddTalker(8, 300, 24000);
    rig.Run(100);
    // Two equal tones in phase: the clamped sum still follows the tone.
    EXPECT_GE(BestCorrelation(a.signal, kSecond / 4, kSecond / 2, rig.heard, kMaxLag), 0.9);
}

TEST(VoiceEngine, RecordingBlocksPerSpeakerChannelWhileTheFlagIsOn)
{
    VoiceRig rig;
    for (uint16_t u = 0; u < 21; ++u)
        rig.AddTalker(static_cast<uint16_t>(100 + u), 200 + 40 * u, 1000);
    rig.Run(20);
    EXPECT_TRUE(rig.listenerEvents.recordBlocks.empty()) << "flag off";

    rig.listener.SetVoicePlayerFlag(true);
    rig.Run(80);
    std::set<int> channels;
    for (const auto& [ch, n] : rig.listenerEvents.recordBlocks)
    {
        channels.insert(ch);
        EXPECT_GE(n, 9u) << ch;
    }
    std::set<int> speakerSlots;
    for (int ch = 0; ch < 20; ++ch)
        speakerSlots.insert(ch);
    EXPECT_EQ(channels, speakerSlots) << "twenty speaker slots; the twenty-first speaker is not recorded";
    for (size_t n : rig.listenerEvents.recordSizes)
        EXPECT_EQ(n, 1280u);

    std::vector<SpeakerStats> stats = rig.listener.Stats();
    ASSERT_EQ(stats.size(), 21u);
    EXPECT_EQ(stats.back().nChannel, -1);
    EXPECT_GT(stats.back().jitter.nPackets, 40u) << "but still played";

    // A speaker who leaves frees its slot for the next one to arrive.
    rig.talkers[3]->engine.TalkStop();
    rig.Run(2);
    rig.listener.OnUserOut(103);
    rig.AddTalker(200, 1000, 1000);
    rig.Run(20);
    for (const SpeakerStats& s : rig.listener.Stats())
        if (s.wUser == 200) EXPECT_EQ(s.nChannel, 3);
}
