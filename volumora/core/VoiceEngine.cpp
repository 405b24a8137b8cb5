// The engine's two device paths and their hand-over to the owner.
#include "volumora/core/VoiceEngine.h"

#include <algorithm>

CVoiceEngine::CVoiceEngine(IVoiceEvents& events, const IVoiceClock& clock, uint16_t wUser,
                           uint32_t dwMaxJitterMs)
    : m_events(events), m_clock(clock), m_wUser(wUser), m_sender(wUser), m_receiver(clock, dwMaxJitterMs)
{
}

void CVoiceEngine::OnCaptureBlock(const int16_t* pBlock)
{
    m_sender.Capture(m_clock.NowMs(), pBlock, m_captured);
    if (m_captured.bLevel) m_events.OnVoiceLevel(m_wUser, m_captured.nLevel);
    if (m_captured.bPacket) m_events.OnCapturedVoice(m_captured.packet.data(), m_captured.packet.size());
}

void CVoiceEngine::RenderBlock(int16_t* pBlock)
{
    if (m_nRendered == kVoiceFrameSamples)
    {
        m_mixEvents.levels.clear();
        m_mixEvents.records.clear();
        m_receiver.Mix(m_mixed, m_mixEvents);
        m_nRendered = 0;
        for (const VoiceLevelEvent& e : m_mixEvents.levels)
            m_events.OnVoiceLevel(e.wUser, e.nLevel);
        for (const VoiceRecordBlock& r : m_mixEvents.records)
            m_events.OnDecodedVoice(r.nChannel, r.samples.data(), r.samples.size() * sizeof(int16_t));
    }
    std::copy(m_mixed + m_nRendered, m_mixed + m_nRendered + kVoiceBlockSamples, pBlock);
    m_nRendered += kVoiceBlockSamples;
}
