// The capture side: 10-ms device blocks into 20-ms frames, boosted when asked, measured and,
// while talking, encoded into voice packets.
#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "volumora/core/OpusCodec.h"
#include "volumora/core/VoiceFormat.h"
#include "volumora/core/VoiceLevel.h"

struct CaptureResult
{
    bool bPacket = false; // packet holds a voice packet to send
    std::vector<uint8_t> packet;
    bool bLevel = false; // nLevel is the own level to report
    int nLevel = 0;
};

class CVoiceSender
{
public:
    explicit CVoiceSender(uint16_t wUser) : m_wUser(wUser) {}

    // Any thread.
    void SetTalking(bool bOn) { m_bTalking = bOn; }
    void SetMicBoost(bool bOn) { m_bBoost = bOn; }
    bool Talking() const { return m_bTalking; }
    // Capture thread: one block of kVoiceBlockSamples samples.
    void Capture(VoiceMs now, const int16_t* pBlock, CaptureResult& result);

private:
    const uint16_t m_wUser;
    std::atomic<bool> m_bTalking{false};
    std::atomic<bool> m_bBoost{false};
    COpusEncoder m_encoder;
    CLevelReporter m_level;
    int16_t m_frame[kVoiceFrameSamples] = {};
    size_t m_nFilled = 0;
    bool m_bWasTalking = false;
    uint16_t m_wSequence = 0;
    // Counts every captured sample, talking or not, so that the receiver sees real time.
    uint32_t m_dwTimestamp = 0;
    std::vector<uint8_t> m_opus;
};
