// The program's voice client under Wine over fake devices: in a room its callbacks reach the
// bar (levels one message at a time), in the microphone test the tester hears themself, and
// the test sound fails cleanly without its resource; with the session's sound server the test
// sound is heard on the speaker chosen.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "confclient/media/Player.h"
#include "tests/media/ToneShare.h"
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

namespace
{
struct SpeakerByName
{
    const wchar_t* pszName;
    GUID guid{};
    bool bFound = false;
};

BOOL CALLBACK FindSpeaker(LPGUID pGuid, LPCWSTR pszDescription, LPCWSTR, LPVOID p)
{
    auto* s = static_cast<SpeakerByName*>(p);
    if (!pGuid || wcscmp(pszDescription, s->pszName) != 0) return TRUE;
    s->guid = *pGuid;
    s->bFound = true;
    return FALSE;
}

UINT WaveInNamed(const wchar_t* pszName)
{
    for (UINT i = 0; i < waveInGetNumDevs(); ++i)
    {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR &&
            wcscmp(caps.szPname, pszName) == 0)
            return i;
    }
    return WAVE_MAPPER;
}
} // namespace

// The sound settings' test: the tone of the language library, looping on the speaker chosen,
// is what that speaker's monitor hears.
TEST(Player, TheTestSoundPlaysOnTheChosenSpeaker)
{
    SpeakerByName speaker{L"carol-spk"};
    DirectSoundEnumerateW(&FindSpeaker, &speaker);
    UINT nMonitor = WaveInNamed(L"Monitor of carol-spk");
    if (!speaker.bFound || nMonitor == WAVE_MAPPER) GTEST_SKIP() << "this Wine session has no sound server";
    HMODULE hTexts = LoadLibraryExW(QUILLON_RESOURCE_DLL, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, hTexts);
    HWND hOwner =
        CreateWindowW(L"STATIC", L"sound test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);

    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 16000, 32000, 2, 16, 0};
    HWAVEIN hIn = nullptr;
    ASSERT_EQ(MMSYSERR_NOERROR, waveInOpen(&hIn, nMonitor, &format, 0, 0, CALLBACK_NULL));
    std::vector<int16_t> heard(16000 * 3 / 2);
    WAVEHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(heard.data());
    header.dwBufferLength = static_cast<DWORD>(heard.size() * sizeof heard[0]);
    waveInPrepareHeader(hIn, &header, sizeof header);
    waveInAddBuffer(hIn, &header, sizeof header);

    CFakeVoiceDeviceFactory devices;
    RecordedTest test;
    test.nKind = 2;
    CPlayer player(test, hOwner, &devices);
    ASSERT_TRUE(player.InitSound(&speaker.guid, hTexts));
    ASSERT_TRUE(player.PlayTestSound());
    waveInStart(hIn);
    for (int i = 0; i < 200 && !(header.dwFlags & WHDR_DONE); ++i)
        Sleep(50);
    player.StopTestSound();
    waveInReset(hIn);
    waveInUnprepareHeader(hIn, &header, sizeof header);
    waveInClose(hIn);
    ASSERT_TRUE(header.dwFlags & WHDR_DONE) << "the monitor was recorded";

    // The last second: the 1-kHz tone, loud enough to be the tone and not a leak.
    const int16_t* pLast = heard.data() + heard.size() - 16000;
    double energy = 0;
    for (size_t k = 0; k < 16000; ++k)
        energy += double(pLast[k]) * pLast[k];
    EXPECT_GT(std::sqrt(energy / 16000), 1000.0);
    EXPECT_GT(ToneShare(pLast, 16000, 1000), 0.8);
    DestroyWindow(hOwner);
    FreeLibrary(hTexts);
}
