// The receive side of the voice engine: inbox, speakers, mixing, levels and recording blocks.
#include "volumora/core/VoiceReceiver.h"

#include <algorithm>

#include "volumora/core/VoicePacket.h"

CVoiceReceiver::CVoiceReceiver(const IVoiceClock& clock, uint32_t dwMaxJitterMs)
    : m_clock(clock), m_dwMaxJitterMs(dwMaxJitterMs)
{
}

bool CVoiceReceiver::Queue(const uint8_t* pData, size_t nLen)
{
    VoicePacket packet;
    if (!DecodeVoicePacket(pData, nLen, packet)) return false;
    Inbound in{
        packet.wSender,
        {packet.wSequence, packet.dwTimestamp, packet.bFlags, m_clock.NowMs(), std::move(packet.opus)}};
    std::lock_guard<std::mutex> lock(m_inboxLock);
    m_inbox.push_back(std::move(in));
    return true;
}

void CVoiceReceiver::TakeInbox()
{
    m_taken.clear();
    {
        std::lock_guard<std::mutex> lock(m_inboxLock);
        m_taken.swap(m_inbox);
    }
    for (Inbound& in : m_taken)
        if (Speaker* s = SpeakerOf(in.wUser)) s->jitter.Push(std::move(in.packet));
}

CVoiceReceiver::Speaker* CVoiceReceiver::SpeakerOf(uint16_t wUser)
{
    auto it = m_speakers.find(wUser);
    if (it != m_speakers.end()) return it->second.get();
    if (m_speakers.size() >= kMaxSpeakers) return nullptr;
    auto s = std::make_unique<Speaker>(m_dwMaxJitterMs);
    s->nChannel = FreeChannel();
    return m_speakers.emplace(wUser, std::move(s)).first->second.get();
}

int CVoiceReceiver::FreeChannel() const
{
    for (int ch = 0; ch < kSpeakerChannels; ++ch)
    {
        bool bTaken = std::any_of(m_speakers.begin(), m_speakers.end(),
                                  [ch](const auto& kv) { return kv.second->nChannel == ch; });
        if (!bTaken) return ch;
    }
    return -1;
}

void CVoiceReceiver::Mix(int16_t* pFrame, VoiceMixEvents& events)
{
    std::lock_guard<std::mutex> lock(m_mixLock);
    TakeInbox();
    int32_t sum[kVoiceFrameSamples] = {};
    for (auto& [wUser, s] : m_speakers)
        PlaySpeaker(wUser, *s, sum, events);
    for (size_t i = 0; i < kVoiceFrameSamples; ++i)
        pFrame[i] = static_cast<int16_t>(std::clamp<int32_t>(sum[i], -32768, 32767));
}

void CVoiceReceiver::PlaySpeaker(uint16_t wUser, Speaker& s, int32_t* pSum, VoiceMixEvents& events)
{
    VoiceMs now = m_clock.NowMs();
    int16_t frame[kVoiceFrameSamples];
    switch (s.jitter.Pull(now, m_opus))
    {
    case Playout::Idle:
        if (s.bActive)
        {
            s.bActive = false;
            if (s.level.Stop()) events.levels.push_back({wUser, 0});
            EndRecordBlock(s, events);
        }
        return;
    case Playout::Packet:
        s.decoder.Decode(m_opus, frame);
        break;
    case Playout::Fec:
        s.decoder.DecodeFec(m_opus, frame);
        break;
    case Playout::Conceal:
        s.decoder.Conceal(frame);
        break;
    }
    s.bActive = true;
    for (size_t i = 0; i < kVoiceFrameSamples; ++i)
        pSum[i] += frame[i];
    int nLevel = 0;
    if (s.level.Feed(now, FrameLevel(frame, kVoiceFrameSamples), nLevel))
        events.levels.push_back({wUser, nLevel});
    Record(s, frame, events);
}

void CVoiceReceiver::Record(Speaker& s, const int16_t* pFrame, VoiceMixEvents& events)
{
    if (s.nChannel < 0) return;
    if (!m_bRecording)
    {
        s.nRecorded = 0;
        return;
    }
    std::copy(pFrame, pFrame + kVoiceFrameSamples, s.record.begin() + s.nRecorded);
    s.nRecorded += kVoiceFrameSamples;
    if (s.nRecorded == kVoiceRecordSamples) EndRecordBlock(s, events);
}

void CVoiceReceiver::EndRecordBlock(Speaker& s, VoiceMixEvents& events)
{
    if (s.nRecorded == 0) return;
    // A talk spurt that ends inside a block is completed with silence.
    std::fill(s.record.begin() + s.nRecorded, s.record.end(), int16_t{0});
    if (m_bRecording) events.records.push_back({s.nChannel, s.record});
    s.nRecorded = 0;
}

void CVoiceReceiver::UserOut(uint16_t wUser)
{
    {
        std::lock_guard<std::mutex> lock(m_inboxLock);
        std::erase_if(m_inbox,
                      [wUser](const Inbound& in) { return wUser == kAllUsers || in.wUser == wUser; });
    }
    std::lock_guard<std::mutex> lock(m_mixLock);
    if (wUser == kAllUsers)
        m_speakers.clear();
    else
        m_speakers.erase(wUser);
}

std::vector<SpeakerStats> CVoiceReceiver::Stats() const
{
    std::lock_guard<std::mutex> lock(m_mixLock);
    std::vector<SpeakerStats> out;
    for (const auto& [wUser, s] : m_speakers)
        out.push_back({wUser, s->nChannel, s->jitter.Stats()});
    return out;
}
