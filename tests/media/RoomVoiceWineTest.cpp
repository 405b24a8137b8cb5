// The room's voice on the program's own engine under Wine: without sound devices both fail
// and the user is told; with the session's sound server each user opens his own devices by name; over fake
// sound devices one member's microphone reaches the other through the bar, the network's voice frames, the
// sender check and the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "confclient/media/VoiceDevicesWin32.h"
#include "tests/media/RoomVoiceRig.h"
#include "core/Utf8Text.h"
#include "volumora/core/FakeVoiceDevice.h"

namespace
{
struct Bar : IVoiceRoomOwner
{
    CRoomVoice* pVoice = nullptr;
    std::atomic<int> nPosts{0};
    void SendCapturedVoice(const uint8_t* p, size_t n) override { pVoice->SendCapturedVoice(p, n); }
    void QueueVoiceForRecording(int, const int16_t*, size_t) override {}
    void PostVoiceLevels() override { ++nPosts; }
};

// Voice frames sent live reach the other member as from the sender's channel.
struct Wire : FakeVoiceNetwork
{
    using FakeVoiceNetwork::FakeVoiceNetwork;
    void SendVoice(const uint8_t* p, size_t n, uint8_t bFlag) override
    {
        if (bFlag == VOICE_SEND_LIVE && pTo) pTo->PlayReceivedVoice(wFromChannel, p, n);
    }
    CRoomVoice* pTo = nullptr;
    uint16_t wFromChannel = 0;
};
} // namespace

TEST(RoomVoiceWine, WithoutSoundDevicesTheUserIsTold)
{
    RoomVoiceRig rig;
    Bar bar;
    CWin32VoiceDevices devices(bar, nullptr);
    if (!devices.MicrophoneNames().empty() || !devices.SpeakerDevices().empty())
        GTEST_SKIP() << "this Wine session has sound devices";
    CRoomVoice voice(rig.room, rig.notices, {devices, rig.mixer, rig.network, rig.settings, rig.view},
                     &rig.log);
    voice.SetMyUser(RoomVoiceRig::kMe, 1);
    voice.InitVoiceEngine();
    EXPECT_EQ(voice.InitResult(), 0);
    EXPECT_EQ(voice.InitError(), VOICE_ERROR_BOTH);
    EXPECT_EQ(rig.notices.chatNotices, std::vector<std::u16string>{u"<IDS_CANT_VOICEINIT_BOTH>"});
    EXPECT_EQ(rig.view.talkImages, "unavailable");
    EXPECT_FALSE(rig.view.bSpeakerEnabled);
}

TEST(RoomVoiceWine, EachUserOpensHisOwnNamedDevices)
{
    RoomVoiceRig rig;
    Bar bar;
    CWin32VoiceDevices devices(bar, nullptr);
    std::vector<std::u16string> mics = devices.MicrophoneNames();
    if (mics.empty()) GTEST_SKIP() << "this Wine session has no sound server";
    for (const char16_t* pszName : {u"alice-mic", u"bob-mic", u"carol-mic", u"dave-mic"})
        EXPECT_NE(std::find(mics.begin(), mics.end(), pszName), mics.end()) << Utf8Of(pszName);
    std::vector<std::u16string> speakers;
    for (const VoiceSpeakerDevice& d : devices.SpeakerDevices())
        speakers.push_back(d.szDescription);
    EXPECT_NE(std::find(speakers.begin(), speakers.end(), u"carol-spk"), speakers.end());

    rig.settings.WriteString(SettingsKey::Common, u"DeviceMicName", u"carol-mic");
    rig.settings.WriteString(SettingsKey::Common, u"DeviceSpkName", u"carol-spk");
    CRoomVoice voice(rig.room, rig.notices, {devices, rig.mixer, rig.network, rig.settings, rig.view},
                     &rig.log);
    voice.SetMyUser(RoomVoiceRig::kMe, 1);
    voice.InitVoiceEngine();
    EXPECT_EQ(voice.InitResult(), 1);
    EXPECT_TRUE(rig.notices.chatNotices.empty());
    // The names chosen stay remembered as they were.
    EXPECT_EQ(rig.settings.ReadString(SettingsKey::Common, u"DeviceMicName", u""), u"carol-mic");
    EXPECT_EQ(rig.settings.ReadString(SettingsKey::Common, u"DeviceSpkName", u""), u"carol-spk");
    voice.CloseVoice();
}

TEST(RoomVoiceWine, OneMembersMicrophoneReachesTheOther)
{
    RoomVoiceRig aliceRig, bobRig;
    aliceRig.room.wMyChannel = RoomVoiceRig::kOtherChannel;
    CFakeVoiceDeviceFactory aliceSound, bobSound;
    Bar aliceBar, bobBar;
    CWin32VoiceDevices aliceDevices(aliceBar, nullptr, &aliceSound), bobDevices(bobBar, nullptr, &bobSound);
    Wire aliceWire(aliceRig.calls);
    CRoomVoice alice(aliceRig.room, aliceRig.notices,
                     {aliceDevices, aliceRig.mixer, aliceWire, aliceRig.settings, aliceRig.view},
                     &aliceRig.log);
    CRoomVoice bob(bobRig.room, bobRig.notices,
                   {bobDevices, bobRig.mixer, bobRig.network, bobRig.settings, bobRig.view}, &bobRig.log);
    aliceBar.pVoice = &alice;
    bobBar.pVoice = &bob;
    aliceWire.pTo = &bob;
    aliceWire.wFromChannel = RoomVoiceRig::kOtherChannel;
    alice.SetMyUser(RoomVoiceRig::kOther, 1);
    bob.SetMyUser(RoomVoiceRig::kMe, 1);
    alice.InitVoiceEngine();
    bob.InitVoiceEngine();
    bob.PublishChannels();
    ASSERT_EQ(alice.InitResult(), 1);
    ASSERT_EQ(bob.InitResult(), 1);
    alice.SetVoiceSendFlag(true);
    alice.SetTalkState(true, true, false);
    ASSERT_TRUE(alice.StartStopTalk(true, false));

    std::vector<int16_t> block(kVoiceBlockSamples), silence(kVoiceBlockSamples, 0);
    for (int i = 0; i < 100; ++i)
    {
        for (size_t k = 0; k < block.size(); ++k)
            block[k] = static_cast<int16_t>(
                6000 * std::sin(2 * std::numbers::pi * 300 * double(i * 160 + k) / 16000));
        aliceSound.clock.Advance(10);
        bobSound.clock.Advance(10);
        aliceSound.pLast->Step(block.data());
        bobSound.pLast->Step(silence.data());
    }
    double energy = 0;
    const std::vector<int16_t>& played = bobSound.pLast->Played();
    for (size_t k = played.size() / 2; k < played.size(); ++k)
        energy += double(played[k]) * played[k];
    EXPECT_GT(energy / double(played.size() / 2), 1e6) << "alice is heard at bob's speaker";

    ASSERT_GE(bobBar.nPosts.load(), 1);
    bobRig.calls.Take();
    bob.OnVoiceLevelsPosted();
    std::vector<std::string> calls = bobRig.calls.Take();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].rfind("icon 3 speaking", 0), 0u) << calls[0];

    alice.CloseVoice();
    bob.CloseVoice();
}
