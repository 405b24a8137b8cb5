// The engine library's client: the engine core between the devices and the callbacks.
#include "volumora/client/VoiceClient.h"

#include <cstring>

CVoiceClient::CVoiceClient() : m_factory(PlatformVoiceDevices()) {}

CVoiceClient::CVoiceClient(IVoiceDeviceFactory& devices) : m_factory(devices) {}

IVoiceDeviceFactory& CVoiceClient::SystemDevices()
{
    return PlatformVoiceDevices();
}

CVoiceClient::~CVoiceClient()
{
    Shutdown();
}

const char* CVoiceClient::GetRuntimeClass() const
{
    return "CVoiceClient";
}

void CVoiceClient::OnVoiceEvent(int, int) {}
void CVoiceClient::OnCapturedVoice(const uint8_t*, int) {}
void CVoiceClient::OnDecodedVoice(int, const int16_t*, int) {}
void CVoiceClient::OnRTPClose() {}

void CVoiceClient::Shutdown()
{
    m_pDevices.reset();
}

int CVoiceClient::InitVoice(uint16_t wUser, uint32_t nMicDevice, void* pSpeakerGuid, uint32_t dwJitterMs,
                            uint32_t dwDeviceMs)
{
    Shutdown();
    m_pEngine.reset();
    m_pDevices = m_factory.Create(m_link);
    m_pEngine = std::make_unique<CVoiceEngine>(m_link, m_pDevices->Clock(), wUser, dwJitterMs);
    if (m_bTalking) m_pEngine->TalkStart();
    m_pEngine->SetMicBoost(m_nBoost);
    m_pEngine->SetVoicePlayerFlag(m_bRecording);
    VoiceSpeakerId speaker{};
    if (pSpeakerGuid) std::memcpy(speaker.data(), pSpeakerGuid, speaker.size());
    bool bMic = nMicDevice == kVoiceMicAbsent || m_pDevices->StartCapture(nMicDevice, dwDeviceMs);
    bool bSpeaker = m_pDevices->StartPlayback(speaker, dwDeviceMs);
    if (bMic && bSpeaker) return 1;
    SetVoiceLastError(!bMic && !bSpeaker ? VOLUMORA_ERROR_BOTH
                      : !bMic            ? VOLUMORA_ERROR_MIC
                                         : VOLUMORA_ERROR_SPEAKER);
    return 0;
}

void CVoiceClient::TalkStart()
{
    m_bTalking = true;
    if (m_pEngine) m_pEngine->TalkStart();
}

void CVoiceClient::TalkStop()
{
    m_bTalking = false;
    if (m_pEngine) m_pEngine->TalkStop();
}

void CVoiceClient::SetMicBoost(int nBoost)
{
    m_nBoost = nBoost;
    if (m_pEngine) m_pEngine->SetMicBoost(nBoost);
}

void CVoiceClient::OnRecvVoice(uint8_t* pData, int nLen)
{
    if (m_pEngine && pData && nLen > 0) m_pEngine->OnRecvVoice(pData, static_cast<size_t>(nLen));
}

void CVoiceClient::OnUserOut(uint16_t wUser)
{
    if (m_pEngine) m_pEngine->OnUserOut(wUser);
}

void CVoiceClient::StopAllChannel()
{
    if (m_pEngine) m_pEngine->StopAllChannel();
}

void CVoiceClient::AddLogRtt(uint32_t nRttMs)
{
    m_nRttMs = nRttMs;
}

void CVoiceClient::SetVoicePlayerFlag(int nOn)
{
    m_bRecording = nOn != 0;
    if (m_pEngine) m_pEngine->SetVoicePlayerFlag(nOn != 0);
}

void CVoiceClient::ShowLogDialog()
{
    ShowVoiceLogWindow(LogText());
}

std::u16string CVoiceClient::LogText() const
{
    std::string text = "Round trip " + std::to_string(m_nRttMs.load()) + " ms\r\n";
    if (m_pEngine)
        for (const SpeakerStats& s : m_pEngine->Stats())
        {
            const JitterStats& j = s.jitter;
            text += "User " + std::to_string(s.wUser) + ": packets " + std::to_string(j.nPackets) +
                    ", lost " + std::to_string(j.nFec + j.nConcealed) + ", late " + std::to_string(j.nLate) +
                    ", concealed " + std::to_string(j.nConcealed) + ", delay " + std::to_string(j.dwDelayMs) +
                    " ms (mean " + std::to_string(j.nDelayFrames ? j.qwDelaySumMs / j.nDelayFrames : 0) +
                    ", most " + std::to_string(j.dwMaxDelayMs) + ", target " + std::to_string(j.dwTargetMs) +
                    ")\r\n";
        }
    return std::u16string(text.begin(), text.end());
}

void CVoiceClient::Link::OnCaptureBlock(const int16_t* pBlock)
{
    client.m_pEngine->OnCaptureBlock(pBlock);
}

void CVoiceClient::Link::OnRenderBlock(int16_t* pBlock)
{
    client.m_pEngine->RenderBlock(pBlock);
}

void CVoiceClient::Link::OnVoiceLevel(uint16_t wUser, int nLevel)
{
    client.OnVoiceEvent(wUser, nLevel);
}

void CVoiceClient::Link::OnCapturedVoice(const uint8_t* pData, size_t nLen)
{
    client.OnCapturedVoice(pData, static_cast<int>(nLen));
}

void CVoiceClient::Link::OnDecodedVoice(int nChannel, const int16_t* pSamples, size_t nBytes)
{
    client.OnDecodedVoice(nChannel, pSamples, static_cast<int>(nBytes));
}
