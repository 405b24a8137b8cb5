// The engine library as the program loads it under Wine: the exported client runs over fake
// devices given to it, and over the system's devices it either opens them or names what failed;
// with the session's sound server, a missing microphone, speaker or both is named exactly.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "volumora/client/VoiceClient.h"
#include "volumora/core/FakeVoiceDevice.h"

namespace
{
struct LoopClient : CVoiceClient
{
    using CVoiceClient::CVoiceClient;
    ~LoopClient() override { Shutdown(); }
    void OnVoiceEvent(int nUser, int nLevel) override { ++nLevels; }
    // Captured voice straight back in, as the device test does.
    void OnCapturedVoice(const uint8_t* p, int n) override { OnRecvVoice(const_cast<uint8_t*>(p), n); }
    int nLevels = 0;
};
} // namespace

TEST(VoiceDll, ExportedClientLoopsItsOwnVoice)
{
    CFakeVoiceDeviceFactory devices;
    LoopClient client(devices);
    ASSERT_EQ(client.InitVoice(4, kVoiceMicMapper, nullptr, 100, 30), 1);
    client.TalkStart();
    std::vector<int16_t> block(kVoiceBlockSamples);
    for (int i = 0; i < 100; ++i)
    {
        for (size_t k = 0; k < block.size(); ++k)
            block[k] = static_cast<int16_t>(
                6000 * std::sin(2 * std::numbers::pi * 300 * double(i * 160 + k) / 16000));
        devices.clock.Advance(10);
        devices.pLast->Step(block.data());
    }
    double energy = 0;
    const std::vector<int16_t>& played = devices.pLast->Played();
    for (size_t k = played.size() / 2; k < played.size(); ++k)
        energy += double(played[k]) * played[k];
    EXPECT_GT(energy / double(played.size() / 2), 1e6) << "the tone came back";
    EXPECT_GT(client.nLevels, 10);
    EXPECT_STREQ(client.GetRuntimeClass(), "CVoiceClient");
}

TEST(VoiceDll, SystemDevicesOpenOrNameWhatFailed)
{
    LoopClient client;
    SetLastError(0);
    int nResult = client.InitVoice(4, kVoiceMicMapper, nullptr, 100, 30);
    DWORD dwError = GetLastError();
    if (nResult == 0)
    {
        EXPECT_TRUE(dwError == VOLUMORA_ERROR_MIC || dwError == VOLUMORA_ERROR_SPEAKER ||
                    dwError == VOLUMORA_ERROR_BOTH)
            << dwError;
    }
    client.TalkStart();
    client.TalkStop();
    client.ShowLogDialog();
    client.Shutdown();
}

namespace
{
BOOL CALLBACK FirstSpeaker(LPGUID pGuid, LPCWSTR, LPCWSTR, LPVOID p)
{
    if (!pGuid) return TRUE;
    *static_cast<GUID*>(p) = *pGuid;
    return FALSE;
}
} // namespace

TEST(VoiceDll, AMissingMicrophoneOrSpeakerIsNamed)
{
    GUID speaker{};
    DirectSoundEnumerateW(&FirstSpeaker, &speaker);
    if (waveInGetNumDevs() == 0 || speaker == GUID{}) GTEST_SKIP() << "this Wine session has no sound server";
    GUID noSpeaker = {0x0badf00d, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
    const uint32_t nNoMic = waveInGetNumDevs() + 7;
    struct
    {
        uint32_t nMic;
        GUID* pSpeaker;
        int nResult;
        DWORD dwError;
    } cases[] = {
        {0, &speaker, 1, 0},
        {kVoiceMicAbsent, &speaker, 1, 0}, // a listener opens no microphone
        {nNoMic, &speaker, 0, VOLUMORA_ERROR_MIC},
        {0, &noSpeaker, 0, VOLUMORA_ERROR_SPEAKER},
        {nNoMic, &noSpeaker, 0, VOLUMORA_ERROR_BOTH},
    };
    for (const auto& c : cases)
    {
        LoopClient client;
        SetLastError(0);
        EXPECT_EQ(c.nResult, client.InitVoice(4, c.nMic, c.pSpeaker, 100, 30)) << c.nMic;
        if (c.nResult == 0)
        {
            EXPECT_EQ(c.dwError, GetLastError()) << c.nMic;
        }
        client.Shutdown();
    }
}
