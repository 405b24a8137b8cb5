// The clocked fake devices.
#include "volumora/core/FakeVoiceDevice.h"

CFakeVoiceDevicePair::CFakeVoiceDevicePair(IVoiceDeviceSink& sink, const CFakeVoiceClock& clock,
                                           bool bMicWorks, bool bSpeakerWorks)
    : m_sink(sink), m_clock(clock), m_bMicWorks(bMicWorks), m_bSpeakerWorks(bSpeakerWorks)
{
}

bool CFakeVoiceDevicePair::StartCapture(uint32_t nMicDevice, uint32_t)
{
    m_nMicDevice = nMicDevice;
    m_bCapturing = m_bMicWorks;
    return m_bMicWorks;
}

bool CFakeVoiceDevicePair::StartPlayback(const VoiceSpeakerId& speaker, uint32_t)
{
    m_speaker = speaker;
    m_bPlaying = m_bSpeakerWorks;
    return m_bSpeakerWorks;
}

void CFakeVoiceDevicePair::Step(const int16_t* pMic)
{
    if (m_bCapturing) m_sink.OnCaptureBlock(pMic);
    if (!m_bPlaying) return;
    int16_t block[kVoiceBlockSamples];
    m_sink.OnRenderBlock(block);
    m_played.insert(m_played.end(), block, block + kVoiceBlockSamples);
}

std::unique_ptr<IVoiceDevicePair> CFakeVoiceDeviceFactory::Create(IVoiceDeviceSink& sink)
{
    auto p = std::make_unique<CFakeVoiceDevicePair>(sink, clock, bMicWorks, bSpeakerWorks);
    pLast = p.get();
    return p;
}
