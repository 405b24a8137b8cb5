// CVoiceClient, the class the voice engine library exports: it opens the chosen devices,
// captures, encodes and hands out voice packets, plays and mixes received voice, and reports
// levels and recording blocks through its virtual callbacks, which a subclass overrides.
#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "volumora/core/VoiceDevice.h"
#include "volumora/core/VoiceEngine.h"

#if defined(_WIN32) && defined(VOLUMORA_BUILD)
#define VOLUMORA_API __declspec(dllexport)
#elif defined(_WIN32)
#define VOLUMORA_API __declspec(dllimport)
#else
#define VOLUMORA_API
#endif

// InitVoice's failures, as the thread's last error.
enum : uint32_t
{
    VOLUMORA_ERROR_MIC = 100000,
    VOLUMORA_ERROR_SPEAKER = 100001,
    VOLUMORA_ERROR_BOTH = 100002,
};

// The thread's last error (Windows: the system's).
VOLUMORA_API void SetVoiceLastError(uint32_t dwError);
VOLUMORA_API uint32_t VoiceLastError();
// Shows the log text in the engine's log window, opening it when needed (natively nothing).
void ShowVoiceLogWindow(const std::u16string& szText);

class VOLUMORA_API CVoiceClient
{
public:
    CVoiceClient();
    // Devices from this factory instead of the platform's (tests).
    explicit CVoiceClient(IVoiceDeviceFactory& devices);
    // The platform's devices, which the default constructor uses.
    static IVoiceDeviceFactory& SystemDevices();

    // The callback slots, in this order.
    virtual const char* GetRuntimeClass() const;
    virtual ~CVoiceClient();
    // A speaker's (or the own microphone's) level 0..100, 0 once when it stops; engine threads.
    virtual void OnVoiceEvent(int nUser, int nLevel);
    // One voice packet to send; capture thread.
    virtual void OnCapturedVoice(const uint8_t* pData, int nLen);
    // 1280 bytes of one recording channel (0..19 speakers by arrival); playback thread.
    virtual void OnDecodedVoice(int nChannel, const int16_t* pSamples, int nBytes);
    // Kept for its slot: this engine has no RTP session to close.
    virtual void OnRTPClose();

    // Opens the microphone (wave-in index; kVoiceMicMapper the default, kVoiceMicAbsent none)
    // and the speaker (a GUID, null the default); dwJitterMs the jitter buffer's maximum,
    // dwDeviceMs each direction's buffering. 0 with the last error 100000, 100001 or 100002
    // when the microphone, the speaker or both failed; what opened keeps working.
    int InitVoice(uint16_t wUser, uint32_t nMicDevice, void* pSpeakerGuid, uint32_t dwJitterMs,
                  uint32_t dwDeviceMs);
    void TalkStart();
    void TalkStop();
    void SetMicBoost(int nBoost);
    // Any thread: checks one received packet and queues it for the mixer.
    void OnRecvVoice(uint8_t* pData, int nLen);
    void OnUserOut(uint16_t wUser);
    void StopAllChannel();
    void AddLogRtt(uint32_t nRttMs);
    void ShowLogDialog();
    // While on, OnDecodedVoice carries each speaker's voice for the recorders.
    void SetVoicePlayerFlag(int nOn);
    // Per speaker: packets, lost, late, concealed, delay; one line each.
    std::u16string LogText() const;
    // Stops the devices and joins their threads; a subclass calls it first in its destructor,
    // so that no callback reaches a half-destroyed object.
    void Shutdown();

private:
    // Devices and engine reach the client through this, so that the client's own virtual
    // table holds the callback slots only.
    struct Link : IVoiceDeviceSink, IVoiceEvents
    {
        explicit Link(CVoiceClient& client) : client(client) {}
        void OnCaptureBlock(const int16_t* pBlock) override;
        void OnRenderBlock(int16_t* pBlock) override;
        void OnVoiceLevel(uint16_t wUser, int nLevel) override;
        void OnCapturedVoice(const uint8_t* pData, size_t nLen) override;
        void OnDecodedVoice(int nChannel, const int16_t* pSamples, size_t nBytes) override;
        CVoiceClient& client;
    };

    Link m_link{*this};
    IVoiceDeviceFactory& m_factory;
    std::unique_ptr<CVoiceEngine> m_pEngine;
    std::unique_ptr<IVoiceDevicePair> m_pDevices;
    std::atomic<bool> m_bTalking{false};
    std::atomic<int> m_nBoost{0};
    std::atomic<bool> m_bRecording{false};
    std::atomic<uint32_t> m_nRttMs{0};
};
