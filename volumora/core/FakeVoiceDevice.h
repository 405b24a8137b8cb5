// Clocked fake sound devices: nothing runs by itself; each Step is 10 ms in which the capture
// side delivers the next microphone block and the playback side takes one speaker block.
#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "volumora/core/VoiceDevice.h"

class CFakeVoiceClock : public IVoiceClock
{
public:
    VoiceMs NowMs() const override { return m_now; }
    void Advance(VoiceMs ms) { m_now += ms; }

private:
    std::atomic<VoiceMs> m_now{0};
};

class CFakeVoiceDevicePair : public IVoiceDevicePair
{
public:
    CFakeVoiceDevicePair(IVoiceDeviceSink& sink, const CFakeVoiceClock& clock, bool bMicWorks,
                         bool bSpeakerWorks);
    bool StartCapture(uint32_t nMicDevice, uint32_t nBufferMs) override;
    bool StartPlayback(const VoiceSpeakerId& speaker, uint32_t nBufferMs) override;
    const IVoiceClock& Clock() const override { return m_clock; }

    // One 10-ms step of the started directions: the microphone gives pMic, the speaker's block is kept.
    void Step(const int16_t* pMic);
    // Everything the speaker played so far.
    const std::vector<int16_t>& Played() const { return m_played; }
    uint32_t MicDevice() const { return m_nMicDevice; }
    const VoiceSpeakerId& Speaker() const { return m_speaker; }

private:
    IVoiceDeviceSink& m_sink;
    const CFakeVoiceClock& m_clock;
    const bool m_bMicWorks, m_bSpeakerWorks;
    bool m_bCapturing = false, m_bPlaying = false;
    uint32_t m_nMicDevice = kVoiceMicAbsent;
    VoiceSpeakerId m_speaker{};
    std::vector<int16_t> m_played;
};

// Makes fake pairs on one clock, keeping the last one for the test to step.
class CFakeVoiceDeviceFactory : public IVoiceDeviceFactory
{
public:
    std::unique_ptr<IVoiceDevicePair> Create(IVoiceDeviceSink& sink) override;
    CFakeVoiceClock clock;
    bool bMicWorks = true;
    bool bSpeakerWorks = true;
    CFakeVoiceDevicePair* pLast = nullptr;
};
