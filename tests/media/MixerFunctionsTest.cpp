// The mixer rules over a fake mixer: which control each kind reaches, the volume scale and its
// clamp, the microphone selected or deselected in a MUX, and the switch fallback's limits.
#include <gtest/gtest.h>

#include <map>

#include "confclient/media/MixerFunctions.h"
#include "confclient/media/VoiceMixer.h"

namespace
{
constexpr uint32_t kVolume = 0x50030001, kMute = 0x20010002, kMux = 0x70010001;

// Speakers (line 100: wave-out 101, microphone monitor 102) and wave-in (line 200: wave-out
// 201, microphone 202, line 203), with a MUX on the wave-in destination choosing among them.
struct FakeMixer : IMixerApi
{
    std::vector<MixerLineInfo> destinations = {{100, 4, 2, 2}, {200, 7, 3, 1}};
    std::map<uint32_t, std::vector<MixerLineInfo>> sources = {
        {0, {{101, 0x1008, 0, 2}, {102, 0x1003, 0, 0}}},
        {1, {{201, 0x1008, 0, 1}, {202, 0x1003, 0, 0}, {203, 0x1002, 0, 1}}},
    };
    // (line, type) -> control
    std::map<std::pair<uint32_t, uint32_t>, MixerControlInfo> byType = {
        {{101, kVolume}, {1, kVolume, 0, 0}}, {{101, kMute}, {2, kMute, 0, 0}},
        {{200, kVolume}, {3, kVolume, 0, 0}}, {{201, kMute}, {4, kMute, 0, 0}},
        {{203, kVolume}, {5, kVolume, 0, 0}},
    };
    bool bMux = true;
    MixerControlInfo mux{50, kMux, 3, 3};
    std::map<uint32_t, std::vector<uint32_t>> values = {{1, {65535}}, {50, {0, 1, 0}}, {2, {0}}, {4, {0}}};
    bool bOpens = true, bWaveInMixer = true;
    int nOpen = 0;

    bool MixerOf(uint32_t, bool bWaveIn, uint32_t& n) override
    {
        n = bWaveIn ? 2 : 1;
        return !bWaveIn || bWaveInMixer;
    }
    bool Open(uint32_t) override
    {
        if (bOpens) ++nOpen;
        return bOpens;
    }
    void Close() override { --nOpen; }
    bool DestinationCount(uint32_t& n) override
    {
        n = static_cast<uint32_t>(destinations.size());
        return true;
    }
    bool Destination(uint32_t i, MixerLineInfo& l) override
    {
        l = destinations.at(i);
        return true;
    }
    bool Source(uint32_t d, uint32_t i, MixerLineInfo& l) override
    {
        if (i >= sources[d].size()) return false;
        l = sources[d][i];
        return true;
    }
    uint32_t ControlOfType(uint32_t dwLine, uint32_t dwType, MixerControlInfo& c) override
    {
        auto it = byType.find({dwLine, dwType});
        if (it == byType.end()) return 1025;
        c = it->second;
        return 0;
    }
    bool Controls(const MixerLineInfo& line, std::vector<MixerControlInfo>& out) override
    {
        out.clear();
        if (line.dwLineId == 200 && bMux) out.push_back(mux);
        return true;
    }
    bool ListItems(const MixerControlInfo&, std::vector<uint32_t>& items) override
    {
        items = {201, 202, 203};
        return true;
    }
    bool GetValues(const MixerControlInfo& c, uint32_t, std::vector<uint32_t>& v) override
    {
        v = values[c.dwControlId];
        return true;
    }
    bool SetValues(const MixerControlInfo& c, const std::vector<uint32_t>& v) override
    {
        values[c.dwControlId] = v;
        return true;
    }
};
} // namespace

TEST(MixerFunctions, VolumesReachTheKindsControlOnTheScaleOf655)
{
    FakeMixer mixer;
    CMixerFunctions f(mixer);
    ASSERT_TRUE(f.MixerInit(0, 0));
    int n = -1;
    EXPECT_TRUE(f.MixerGetVolume(2, &n));
    EXPECT_EQ(n, 100) << "65535 reads as 100";
    struct
    {
        int nKind, nValue;
        bool bOk;
        uint32_t dwControl, dwWritten;
    } cases[] = {
        {2, 50, true, 1, 32750},
        {2, 255, true, 1, 65500}, // clamped to 100 before scaling
        {2, -5, true, 1, 0},
        {16, 40, true, 3, 26200}, // the microphone has no volume: the wave-in destination's
        {32, 10, true, 5, 6550},
        {4, 10, false, 0, 0}, // no control, no fallback
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(f.MixerSetVolume(c.nKind, c.nValue), c.bOk) << c.nKind << " " << c.nValue;
        if (c.bOk) EXPECT_EQ(mixer.values[c.dwControl], std::vector<uint32_t>{c.dwWritten}) << c.nKind;
    }
    EXPECT_EQ(mixer.nOpen, 0) << "every open mixer closed";
}

TEST(MixerFunctions, TheMicrophoneIsSelectedOrDeselectedInTheMux)
{
    FakeMixer mixer;
    CMixerFunctions f(mixer);
    ASSERT_TRUE(f.MixerInit(0, 0));
    mixer.values[50] = {1, 0, 1};
    EXPECT_TRUE(f.MixerSetMute(16, false));
    EXPECT_EQ(mixer.values[50], (std::vector<uint32_t>{0, 1, 0})) << "the microphone alone";
    bool bMute = true;
    EXPECT_TRUE(f.MixerGetMute(16, &bMute));
    EXPECT_FALSE(bMute);
    EXPECT_TRUE(f.MixerSetMute(16, true));
    EXPECT_EQ(mixer.values[50], (std::vector<uint32_t>{0, 0, 0})) << "muted: nothing selected";
    EXPECT_TRUE(f.MixerGetMute(16, &bMute));
    EXPECT_TRUE(bMute);
    EXPECT_EQ(mixer.nOpen, 0);
}

TEST(MixerFunctions, WithoutAListTheLinesOwnSwitchMutes)
{
    FakeMixer mixer;
    mixer.bMux = false;
    CMixerFunctions f(mixer);
    ASSERT_TRUE(f.MixerInit(0, 0));
    EXPECT_TRUE(f.MixerSetMute(2, true));
    EXPECT_EQ(mixer.values[2], std::vector<uint32_t>{1});
    EXPECT_TRUE(f.MixerSetMute(8, true)) << "kind 8 on a wave-out source";
    EXPECT_EQ(mixer.values[4], std::vector<uint32_t>{1});

    // Without a wave-out source on the wave-in side kind 8 finds only the destination, whose
    // type is neither wave-out nor analog: refused rather than muting all recording.
    mixer.sources[1].erase(mixer.sources[1].begin());
    mixer.byType[{200, kMute}] = {6, kMute, 0, 0};
    EXPECT_FALSE(f.MixerSetMute(8, true));
    EXPECT_EQ(mixer.values.count(6), 0u);
    EXPECT_EQ(mixer.nOpen, 0);
}

TEST(MixerFunctions, FailuresAnswerFalse)
{
    FakeMixer mixer;
    mixer.bWaveInMixer = false;
    CMixerFunctions f(mixer);
    EXPECT_FALSE(f.MixerInit(0, 0));
    mixer.bOpens = false;
    int n = 0;
    bool b = false;
    EXPECT_FALSE(f.MixerGetVolume(2, &n));
    EXPECT_FALSE(f.MixerSetVolume(2, 10));
    EXPECT_FALSE(f.MixerGetMute(16, &b));
    EXPECT_FALSE(f.MixerGetVolume(2, nullptr));
}

TEST(MixerFunctions, TheRoomVoiceMixerReadsZeroWhereTheMixerFails)
{
    FakeMixer mixer;
    CVoiceMixer voiceMixer(mixer);
    voiceMixer.Open(0, -1);
    EXPECT_EQ(voiceMixer.Volume(2), 100);
    voiceMixer.SetVolume(2, 30);
    EXPECT_EQ(mixer.values[1], std::vector<uint32_t>{19650});
    EXPECT_EQ(voiceMixer.Volume(4), 0) << "no such control";
    voiceMixer.SetMute(16, true);
    EXPECT_TRUE(voiceMixer.Muted(16));
    mixer.bOpens = false;
    EXPECT_FALSE(voiceMixer.Muted(16));
}
