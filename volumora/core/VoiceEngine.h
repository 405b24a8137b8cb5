// The voice engine over any pair of audio devices: capture blocks in, playback blocks out,
// received packets queued from any thread; results reach the owner through IVoiceEvents.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "volumora/core/VoiceFormat.h"
#include "volumora/core/VoiceReceiver.h"
#include "volumora/core/VoiceSender.h"

class IVoiceEvents
{
public:
    virtual ~IVoiceEvents() = default;
    // A speaker's or the own microphone's level 0..100, 0 once when it stops (engine threads).
    virtual void OnVoiceLevel(uint16_t wUser, int nLevel) = 0;
    // One voice packet (the 1000 payload) to send (capture thread).
    virtual void OnCapturedVoice(const uint8_t* pData, size_t nLen) = 0;
    // 1280 bytes of one recording channel (playback thread).
    virtual void OnDecodedVoice(int nChannel, const int16_t* pSamples, size_t nBytes) = 0;
};

class CVoiceEngine
{
public:
    CVoiceEngine(IVoiceEvents& events, const IVoiceClock& clock, uint16_t wUser, uint32_t dwMaxJitterMs);

    // Any thread, never waits for the mixer: false when the packet is malformed.
    bool OnRecvVoice(const uint8_t* pData, size_t nLen) { return m_receiver.Queue(pData, nLen); }
    void TalkStart() { m_sender.SetTalking(true); }
    void TalkStop() { m_sender.SetTalking(false); }
    void SetMicBoost(int nBoost) { m_sender.SetMicBoost(nBoost != 0); }
    void OnUserOut(uint16_t wUser) { m_receiver.UserOut(wUser); }
    void StopAllChannel() { m_receiver.StopAll(); }
    void SetVoicePlayerFlag(bool bOn) { m_receiver.SetRecording(bOn); }
    std::vector<SpeakerStats> Stats() const { return m_receiver.Stats(); }

    // Capture thread: one block of kVoiceBlockSamples samples from the microphone.
    void OnCaptureBlock(const int16_t* pBlock);
    // Playback thread: the next kVoiceBlockSamples samples for the speaker; a new frame is mixed
    // every second block.
    void RenderBlock(int16_t* pBlock);

private:
    IVoiceEvents& m_events;
    const IVoiceClock& m_clock;
    const uint16_t m_wUser;
    CVoiceSender m_sender;
    CaptureResult m_captured;
    CVoiceReceiver m_receiver;
    VoiceMixEvents m_mixEvents;
    int16_t m_mixed[kVoiceFrameSamples] = {};
    size_t m_nRendered = kVoiceFrameSamples;
};
