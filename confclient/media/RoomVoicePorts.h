// What the room's voice reaches outside itself: the voice engine, the audio devices, the
// sound mixer, the network and the windows. The session implements them; tests record them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "confclient/network/QNRoomPayloads.h"

// Init errors of the voice engine (the thread's last error after a failed InitVoice).
enum : uint32_t
{
    VOICE_ERROR_MIC = 100000,
    VOICE_ERROR_SPEAKER = 100001,
    VOICE_ERROR_BOTH = 100002,
};

// Microphone device values besides a wave-in index.
constexpr int kVoiceMicDefault = -1;
constexpr int kVoiceMicNone = -2; // a listener has no microphone

// Media command 1000's flag: live to the room, or written to the conference recording only.
enum : uint8_t
{
    VOICE_SEND_LIVE = 1,
    VOICE_SEND_RECORDING_ONLY = 2,
};

class IRoomVoiceEngine
{
public:
    virtual ~IRoomVoiceEngine() = default;
    // Opens the devices (speaker id empty: the default device); false with the error code on failure.
    virtual bool InitVoice(uint16_t wUser, int nMicDevice, const std::string& szSpeakerId,
                           uint32_t dwJitterMs, uint32_t dwDeviceMs, uint32_t& dwError) = 0;
    virtual void SetMicBoost(int nBoost) = 0;
    virtual void TalkStart() = 0;
    virtual void TalkStop() = 0;
    // The user's voice ends (65534: everyone's).
    virtual void OnUserOut(uint16_t wUser) = 0;
    virtual void StopAllChannel() = 0;
    // While on, received voice also goes to the recorders.
    virtual void SetVoicePlayerFlag(bool bOn) = 0;
    // Any thread: one received voice packet.
    virtual void OnRecvVoice(const uint8_t* pData, size_t nLen) = 0;
    // The latest speech level of each user since the last take (after the bar's posted message).
    virtual std::vector<std::pair<uint16_t, int>> TakeLevels() = 0;
    // Opens the engine's log window (per speaker packets, losses and delays) on the caller's thread.
    virtual void ShowLogDialog() = 0;
};

struct VoiceSpeakerDevice
{
    std::string szId; // the device's identity for InitVoice
    std::u16string szDescription;
};

class IVoiceDevices
{
public:
    virtual ~IVoiceDevices() = default;
    // A new engine with the bar as its owner; null when it cannot be made.
    virtual std::unique_ptr<IRoomVoiceEngine> CreateEngine() = 0;
    // Product names of the wave-in devices, by device index.
    virtual std::vector<std::u16string> MicrophoneNames() = 0;
    // The sound output devices other than the primary one, in enumeration order.
    virtual std::vector<VoiceSpeakerDevice> SpeakerDevices() = 0;
    // Milliseconds of the system's tick count.
    virtual uint32_t TickCount() = 0;
};

// Mixer line kinds.
enum : int
{
    MIXER_SPEAKER = 2,
    MIXER_MUTED_AT_START = 8,
    MIXER_MICROPHONE = 16,
    MIXER_ALT_RECORDING = 32,
};

class IVoiceMixer
{
public:
    virtual ~IVoiceMixer() = default;
    virtual void Open(int nSpeakerIndex, int nMicDevice) = 0;
    // Volumes 0..100.
    virtual int Volume(int nKind) = 0;
    virtual void SetVolume(int nKind, int nVolume) = 0;
    virtual bool Muted(int nKind) = 0;
    virtual void SetMute(int nKind, bool bMute) = 0;
};

class IVoiceNetwork
{
public:
    virtual ~IVoiceNetwork() = default;
    // Any thread: one voice packet as media command 1000 with its flag.
    virtual void SendVoice(const uint8_t* pData, size_t nLen, uint8_t bFlag) = 0;
    // Any thread: the conference recording runs (record state 1).
    virtual bool Recording() = 0;
    // Drops every voice frame still queued for sending.
    virtual void PurgeVoiceQueue() = 0;
    virtual void SendAvState(uint32_t dwState) = 0;
    virtual void SendAudioSettings(const QNAudioSettings& record) = 0;
};

// Button images.
enum class VoiceImages
{
    On,
    Off,
    Unavailable,
};

// The control bar, with the participant list and the video view as far as voice shows in them.
class IRoomVoiceView
{
public:
    virtual ~IRoomVoiceView() = default;
    virtual void SetTalkImages(VoiceImages images) = 0;
    virtual void SetSpeakerImages(VoiceImages images) = 0;
    virtual void SetTalkToggle(bool bChecked) = 0;
    virtual void EnableTalkToggle(bool bEnable) = 0;
    virtual bool TalkToggleEnabled() = 0;
    virtual void SetMuteToggle(bool bChecked) = 0;
    virtual void EnableMicSlider(bool bEnable) = 0;
    // The speaker slider and the mute button.
    virtual void EnableSpeakerControls(bool bEnable) = 0;
    // Slider positions 0..100, shown also as the slider's text.
    virtual int SpeakerSlider() = 0;
    virtual void SetSpeakerSlider(int nPos) = 0;
    virtual int MicSlider() = 0;
    virtual void SetMicSlider(int nPos) = 0;
    // Tool tip of the talk (0) or mute (1) toggle.
    virtual void SetTooltip(int nWhich, const char* pszKey) = 0;
    // The settings panel's boost check box, when the panel is open.
    virtual void SetBoostCheck(bool bOn) = 0;
    // The own row of the participant list, after the own state word changed.
    virtual void RewriteMyRow() = 0;
    // True while levels can show: the list window exists and the room window is not minimised.
    virtual bool ShowsLevels() = 0;
    // A member's speech: the list's voice icon and the video view's level meter.
    virtual void SetVoiceIcon(uint16_t wChannel, bool bSpeaking, int nLevel) = 0;
    virtual void SetPeakLevel(uint16_t wChannel, int nLevel) = 0;
    virtual void ResetPeakLevels() = 0;
    // The own camera: 0 none, 2 sending, 3 stopped.
    virtual uint8_t VideoState() = 0;
    // Another member's settings answered to this user's request (the list's remote audio panel).
    virtual void ShowRemoteSettings(const QNAudioSettings& record) = 0;
};
