// The sound path without the engine, for the latency benchmark: one microphone's 10-ms blocks go
// straight to another speaker through the engine's own device layer and buffering.
//   raw_voice_path MIC_NAME SPEAKER_NAME SECONDS
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <memory>
#include <string>
#include <vector>

#include "volumora/core/VoiceDevice.h"

namespace
{
struct SpeakerSearch
{
    std::wstring szName;
    VoiceSpeakerId id{};
    bool bFound = false;
};

BOOL CALLBACK MatchSpeaker(LPGUID pGuid, LPCWSTR pszDescription, LPCWSTR, LPVOID p)
{
    auto* s = static_cast<SpeakerSearch*>(p);
    if (!pGuid || s->szName != pszDescription) return TRUE;
    std::memcpy(s->id.data(), pGuid, sizeof(GUID));
    s->bFound = true;
    return FALSE;
}

// Captured blocks wait here for the speaker; never more than three, so no delay builds up.
class CPassThrough : public IVoiceDeviceSink
{
public:
    void OnCaptureBlock(const int16_t* pBlock) override
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_blocks.emplace_back(pBlock, pBlock + kVoiceBlockSamples);
        if (m_blocks.size() > 3) m_blocks.pop_front();
    }
    void OnRenderBlock(int16_t* pBlock) override
    {
        std::lock_guard<std::mutex> g(m_lock);
        if (m_blocks.empty())
        {
            std::memset(pBlock, 0, kVoiceBlockSamples * sizeof(int16_t));
            return;
        }
        std::memcpy(pBlock, m_blocks.front().data(), kVoiceBlockSamples * sizeof(int16_t));
        m_blocks.pop_front();
    }

private:
    std::mutex m_lock;
    std::deque<std::vector<int16_t>> m_blocks;
};
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
    {
        std::fwprintf(stderr, L"usage: raw_voice_path MIC_NAME SPEAKER_NAME SECONDS\n");
        return 2;
    }
    uint32_t nMic = kVoiceMicAbsent;
    for (UINT i = 0; i < waveInGetNumDevs(); ++i)
    {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(i, &caps, sizeof caps) == MMSYSERR_NOERROR &&
            std::wstring(caps.szPname) == argv[1])
            nMic = i;
    }
    SpeakerSearch speaker{argv[2]};
    DirectSoundEnumerateW(&MatchSpeaker, &speaker);
    if (nMic == kVoiceMicAbsent || !speaker.bFound)
    {
        std::fwprintf(stderr, L"raw_voice_path: no microphone \"%ls\" or speaker \"%ls\"\n", argv[1],
                      argv[2]);
        return 1;
    }
    CPassThrough sink;
    std::unique_ptr<IVoiceDevicePair> pDevices = PlatformVoiceDevices().Create(sink);
    // The engine's device buffering (InitVoice's 30 ms) in both directions.
    if (!pDevices->StartCapture(nMic, 30) || !pDevices->StartPlayback(speaker.id, 30))
    {
        std::fwprintf(stderr, L"raw_voice_path: the devices did not open (%lu)\n", GetLastError());
        return 1;
    }
    Sleep(static_cast<DWORD>(_wtoi(argv[3])) * 1000);
    return 0;
}
