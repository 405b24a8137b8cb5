// The engine library's client on clocked fake devices: one client's microphone is heard at
// another's speaker through the callbacks; InitVoice's failures keep what opened working.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/voice/VoiceTestRig.h"
#include "volumora/client/VoiceClient.h"
#include "volumora/core/FakeVoiceDevice.h"

namespace
{
struct RecordingClient : CVoiceClient
{
    explicit RecordingClient(IVoiceDeviceFactory& f) : CVoiceClient(f) {}
    ~RecordingClient() override { Shutdown(); }
    void OnVoiceEvent(int nUser, int nLevel) override { levels.push_back({nUser, nLevel}); }
    void OnCapturedVoice(const uint8_t* p, int n) override
    {
        if (pPeer) pPeer->OnRecvVoice(const_cast<uint8_t*>(p), n);
    }
    void OnDecodedVoice(int nChannel, const int16_t*, int nBytes) override
    {
        decoded.push_back({nChannel, nBytes});
    }
    CVoiceClient* pPeer = nullptr;
    std::vector<std::pair<int, int>> levels, decoded;
};

std::vector<int16_t> Tone(size_t nSamples)
{
    std::vector<int16_t> s(nSamples);
    for (size_t i = 0; i < nSamples; ++i)
        s[i] =
            static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * 440 * double(i) / kVoiceSampleRate));
    return s;
}
} // namespace

TEST(VoiceClient, OneMicrophoneIsHeardAtTheOtherSpeaker)
{
    CFakeVoiceDeviceFactory aliceDevices, bobDevices;
    RecordingClient alice(aliceDevices), bob(bobDevices);
    alice.pPeer = &bob;
    uint8_t guid[16] = {7};
    ASSERT_EQ(alice.InitVoice(1, kVoiceMicMapper, nullptr, 100, 30), 1);
    ASSERT_EQ(bob.InitVoice(2, 3, guid, 100, 30), 1);
    EXPECT_EQ(bobDevices.pLast->MicDevice(), 3u);
    EXPECT_EQ(bobDevices.pLast->Speaker()[0], 7);
    alice.TalkStart();
    bob.SetVoicePlayerFlag(1);

    std::vector<int16_t> tone = Tone(2 * 16000);
    std::vector<int16_t> silence(kVoiceBlockSamples, 0);
    for (size_t i = 0; i + kVoiceBlockSamples <= tone.size(); i += kVoiceBlockSamples)
    {
        aliceDevices.clock.Advance(10);
        bobDevices.clock.Advance(10);
        aliceDevices.pLast->Step(&tone[i]);
        bobDevices.pLast->Step(silence.data());
    }
    EXPECT_GE(BestCorrelation(tone, 8000, 16000, bobDevices.pLast->Played(), 3200), 0.9);
    EXPECT_FALSE(alice.levels.empty()) << "own levels while talking";
    ASSERT_FALSE(bob.levels.empty());
    EXPECT_EQ(bob.levels.back().first, 1);
    ASSERT_GE(bob.decoded.size(), 40u);
    EXPECT_EQ(bob.decoded[0], (std::pair<int, int>{0, 1280}));
    EXPECT_NE(bob.LogText().find(u"User 1: packets "), std::u16string::npos);
}

TEST(VoiceClient, InitFailuresNameTheDeviceAndKeepTheOtherWorking)
{
    struct
    {
        bool bMic, bSpeaker;
        uint32_t nMicDevice;
        int nResult;
        uint32_t dwError;
    } cases[] = {
        {true, true, 0, 1, 0},
        {false, true, 0, 0, VOLUMORA_ERROR_MIC},
        {true, false, 0, 0, VOLUMORA_ERROR_SPEAKER},
        {false, false, 0, 0, VOLUMORA_ERROR_BOTH},
        {false, true, kVoiceMicAbsent, 1, 0}, // a listener opens no microphone
    };
    for (const auto& c : cases)
    {
        CFakeVoiceDeviceFactory devices;
        devices.bMicWorks = c.bMic;
        devices.bSpeakerWorks = c.bSpeaker;
        RecordingClient client(devices);
        SetVoiceLastError(0);
        EXPECT_EQ(client.InitVoice(1, c.nMicDevice, nullptr, 100, 30), c.nResult);
        EXPECT_EQ(VoiceLastError(), c.dwError);
    }
}
