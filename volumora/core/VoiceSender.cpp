// Frames, levels and packets of the captured voice.
#include "volumora/core/VoiceSender.h"

#include <algorithm>

#include "volumora/core/VoicePacket.h"

void CVoiceSender::Capture(VoiceMs now, const int16_t* pBlock, CaptureResult& result)
{
    result.bPacket = false;
    result.bLevel = false;
    std::copy(pBlock, pBlock + kVoiceBlockSamples, m_frame + m_nFilled);
    m_nFilled += kVoiceBlockSamples;
    if (m_nFilled < kVoiceFrameSamples) return;
    m_nFilled = 0;
    const uint32_t dwTimestamp = m_dwTimestamp;
    m_dwTimestamp += kVoiceFrameSamples;

    bool bTalking = m_bTalking;
    if (!bTalking)
    {
        if (m_bWasTalking && m_level.Stop())
        {
            result.bLevel = true;
            result.nLevel = 0;
        }
        m_bWasTalking = false;
        return;
    }
    if (m_bBoost) ApplyMicBoost(m_frame, kVoiceFrameSamples);
    result.bLevel = m_level.Feed(now, FrameLevel(m_frame, kVoiceFrameSamples), result.nLevel);
    if (!m_encoder.Encode(m_frame, m_opus)) return;
    VoicePacket packet;
    packet.wSender = m_wUser;
    packet.wSequence = m_wSequence++;
    packet.dwTimestamp = dwTimestamp;
    packet.bFlags = m_bWasTalking ? 0 : kVoiceFlagTalkSpurtStart;
    packet.opus = m_opus;
    m_bWasTalking = true;
    result.packet = EncodeVoicePacket(packet);
    result.bPacket = true;
}
