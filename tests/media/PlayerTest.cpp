// The program's voice client under Wine over fake devices: in a room its callbacks reach the
// bar (levels one message at a time), in the microphone test the tester hears themself, and
// the test sound fails cleanly without its resource.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "confclient/media/Player.h"
#include "volumora/core/FakeVoiceDevice.h"

namespace
{
struct RecordedBar : IVoiceRoomOwner
{
    void SendCapturedVoice(const uint8_t*, size_t) override { ++nSent; }
    void QueueVoiceForRecording(int nChannel, const int16_t*, size_t nBytes) override
    {
        ++nRecorded;
        EXPECT_EQ(nBytes, 1280u);
    }
    void PostVoiceLevels() override { ++nPosts; }
    int nSent = 0, nRecorded = 0, nPosts = 0;
};

struct RecordedTest : IVoiceTestOwner
{
    int TestKind() override { return nKind; }
    bool HasLevelDialog() override { return true; }
    void PostVoiceLevels() override { ++nPosts; }
    int nKind = 3;
    int nPosts = 0;
};

void RunBlocks(CFakeVoiceDeviceFactory& devices, int nBlocks)
{
    std::vector<int16_t> block(kVoiceBlockSamples);
    for (int i = 0; i < nBlocks; ++i)
    {
        for (size_t k = 0; k < block.size(); ++k)
            block[k] = static_cast<int16_t>(
                6000 * std::sin(2 * std::numbers::pi * 300 * double(i * 160 + k) / 16000));
        devices.clock.Advance(10);
        devices.pLast->Step(block.data());
    }
}
} // namespace

TEST(Player, InARoomTheBarGetsVoiceRecordingAndOneLevelMessageAtATime)
{
    CFakeVoiceDeviceFactory devices;
    RecordedBar bar;
    CPlayer player(bar, nullptr, &devices);
    ASSERT_EQ(player.InitVoice(4, kVoiceMicMapper, nullptr, 100, 30), 1);
    player.TalkStart();
    RunBlocks(devices, 50);
    EXPECT_EQ(bar.nSent, 25) << "one packet per 20 ms";
    EXPECT_EQ(bar.nPosts, 1) << "no new message until the bar took the levels";
    auto levels = player.TakeLevels();
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0].first, 4);
    RunBlocks(devices, 20);
    EXPECT_EQ(bar.nPosts, 2);
    EXPECT_EQ(bar.nRecorded, 0) << "nothing received";
}

TEST(Player, TheMicrophoneTestHearsItself)
{
    CFakeVoiceDeviceFactory devices;
    RecordedTest test;
    CPlayer player(test, nullptr, &devices);
    ASSERT_EQ(player.InitVoice(4, kVoiceMicMapper, nullptr, 100, 30), 1);
    player.TalkStart();
    RunBlocks(devices, 100);
    double energy = 0;
    const std::vector<int16_t>& played = devices.pLast->Played();
    for (size_t k = played.size() / 2; k < played.size(); ++k)
        energy += double(played[k]) * played[k];
    EXPECT_GT(energy / double(played.size() / 2), 1e6);
    EXPECT_GE(test.nPosts, 1);
}

TEST(Player, TheTestSoundFailsWithoutItsResource)
{
    CFakeVoiceDeviceFactory devices;
    RecordedTest test;
    test.nKind = 2;
    CPlayer player(test, nullptr, &devices);
    // This program carries no WAVE 10514; with or without a sound device the answer is FALSE.
    EXPECT_FALSE(player.InitSound(nullptr, GetModuleHandleW(nullptr)));
    EXPECT_TRUE(player.PlayTestSound());
    player.StopTestSound();
}
