// Received voice: packets are checked and queued from any thread without waiting on the mixer;
// the mixer's tick moves them into each speaker's jitter buffer, decodes one frame per active
// speaker, sums them, measures the speakers' levels and cuts the recorders' blocks.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "volumora/core/JitterBuffer.h"
#include "volumora/core/OpusCodec.h"
#include "volumora/core/VoiceFormat.h"
#include "volumora/core/VoiceLevel.h"

struct VoiceLevelEvent
{
    uint16_t wUser;
    int nLevel;
};

struct VoiceRecordBlock
{
    int nChannel;
    std::array<int16_t, kVoiceRecordSamples> samples;
};

// What one tick produced beside the mixed frame, handed to the owner outside the mixer's lock.
struct VoiceMixEvents
{
    std::vector<VoiceLevelEvent> levels;
    std::vector<VoiceRecordBlock> records;
};

struct SpeakerStats
{
    uint16_t wUser;
    int nChannel; // recording channel, -1 when none was free
    JitterStats jitter;
};

class CVoiceReceiver
{
public:
    // Recording channels of speakers; the one after them is kept for shared-movie sound.
    static constexpr int kSpeakerChannels = 20;
    // More speakers than a room holds are not taken on.
    static constexpr size_t kMaxSpeakers = 64;

    CVoiceReceiver(const IVoiceClock& clock, uint32_t dwMaxJitterMs);

    // Any thread: false when the packet is malformed. Only copies it into the inbox.
    bool Queue(const uint8_t* pData, size_t nLen);
    // Mixer thread: one frame of kVoiceFrameSamples samples.
    void Mix(int16_t* pFrame, VoiceMixEvents& events);
    // The user's (65534: every user's) voice ends: buffers, decoder and recording channel go.
    void UserOut(uint16_t wUser);
    void StopAll() { UserOut(kAllUsers); }
    // While on, each speaker's decoded voice goes to the recorders.
    void SetRecording(bool bOn) { m_bRecording = bOn; }
    std::vector<SpeakerStats> Stats() const;

    static constexpr uint16_t kAllUsers = 65534;

private:
    struct Inbound
    {
        uint16_t wUser;
        JitterPacket packet;
    };
    struct Speaker
    {
        explicit Speaker(uint32_t dwMaxJitterMs) : jitter(dwMaxJitterMs) {}
        CJitterBuffer jitter;
        COpusDecoder decoder;
        CLevelReporter level;
        int nChannel = -1;
        size_t nRecorded = 0;
        std::array<int16_t, kVoiceRecordSamples> record{};
        bool bActive = false;
    };

    void TakeInbox();
    Speaker* SpeakerOf(uint16_t wUser);
    int FreeChannel() const;
    void PlaySpeaker(uint16_t wUser, Speaker& s, int32_t* pSum, VoiceMixEvents& events);
    void Record(Speaker& s, const int16_t* pFrame, VoiceMixEvents& events);
    void EndRecordBlock(Speaker& s, VoiceMixEvents& events);

    const IVoiceClock& m_clock;
    const uint32_t m_dwMaxJitterMs;
    std::atomic<bool> m_bRecording{false};

    std::mutex m_inboxLock;
    std::vector<Inbound> m_inbox;

    mutable std::mutex m_mixLock;
    std::map<uint16_t, std::unique_ptr<Speaker>> m_speakers;
    std::vector<Inbound> m_taken;
    std::vector<uint8_t> m_opus;
};
