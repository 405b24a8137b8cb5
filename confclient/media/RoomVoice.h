// The room's voice as the control bar owns it: the engine on the remembered devices, talk and
// its grants, mute and volumes, voice out to the room or the recording, speech levels in the
// list and the video view with the automatic microphone level, and the remote audio settings.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

#include "confclient/media/RoomVoicePorts.h"
#include "confclient/media/VoiceChannels.h"
#include "confclient/media/VoiceSlot.h"
#include "confclient/network/registry/Settings.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "confclient/session/roomstate/RoomState.h"
#include "core/LogSink.h"

struct RoomVoicePorts
{
    IVoiceDevices& devices;
    IVoiceMixer& mixer;
    IVoiceNetwork& network;
    ISettings& settings;
    IRoomVoiceView& view;
};

class CRoomVoice
{
public:
    CRoomVoice(CRoomState& room, IRoomNotices& notices, RoomVoicePorts ports, ILogSink* pLog);

    // The local user: user index and grade (4: a listener without microphone).
    void SetMyUser(uint16_t wUserIndex, int nGrade);
    // The conference plays a recording: nobody talks.
    void SetPlayback(bool bPlayback) { m_bPlayback = bPlayback; }

    void InitVoiceEngine();
    void ReinitVoice();
    void CloseVoice();
    bool StartStopTalk(bool bOn, bool bNotify);
    void SetTalkState(bool bAllowed, bool bForce, bool bNotify);
    // The talk toggle was clicked (its new check).
    void OnTalkToggle(bool bChecked);
    void SetMute(bool bMute);
    // A volume slider moved (0..100): the speaker's wave-out line or the microphone's recording line.
    void OnVolumeSlider(bool bSpeaker, int nVolume);
    void SetVoiceSendFlag(bool bOn) { m_bVoiceSend = bOn; }
    void SetAutoMicLevel(bool bOn);
    void SetVoicePlayerFlag(bool bOn);
    // A member left: their voice ends.
    void OnUserOut(const S_ROOMUSERINFO& user);
    void VoiceAllUsersOut();
    void VoiceStopAllChannels();
    // The engine's log window, when the engine exists ("/voice" in the chat).
    void VoiceShowLog();
    // The channel table the receive path checks senders against; after every change of members.
    void PublishChannels();

    // Engine thread: one encoded voice packet of the own microphone.
    void SendCapturedVoice(const uint8_t* pData, size_t nLen);
    // Receive thread: command 1000 from the member on channel wSub.
    void PlayReceivedVoice(uint16_t wSub, const uint8_t* pData, size_t nLen);
    // A speech level 0..100 of a user.
    void OnVoiceEvent(uint16_t wUser, int nLevel);
    // The engine posted that levels wait: each user's latest goes to OnVoiceEvent.
    void OnVoiceLevelsPosted();
    // 535: the remote audio settings exchange.
    void OnAudioSettings(const QNAudioSettings& record);
    void FillAudioSettings(QNAudioSettings& record);
    void ApplyRemoteSettings(const QNAudioSettings& record);

    int InitResult() const { return m_nInitResult; }
    uint32_t InitError() const { return m_dwInitError; }
    bool Talking() const { return m_bTalking; }
    bool Muted() const { return m_bMuted; }
    int MicDevice() const { return m_nMicDevice; }
    const std::string& SpeakerId() const { return m_szSpeakerId; }
    int SpeakerIndex() const { return m_nSpeakerIndex; }

private:
    IRoomVoiceEngine* Engine() const { return m_engine.Get(); }
    bool MicUnusable() const { return m_dwInitError == VOICE_ERROR_MIC || m_dwInitError == VOICE_ERROR_BOTH; }
    bool SpeakerUnusable() const
    {
        return m_dwInitError == VOICE_ERROR_SPEAKER || m_dwInitError == VOICE_ERROR_BOTH;
    }
    void ChooseDevices();
    void ReportInitFailure();
    void SetUpMixer();
    int MicLine();
    void SetMicButtonImages(bool bOn, bool bUnavailable);
    void SetSpeakerButtonImages(bool bOn, bool bUnavailable);
    void UpdateButtonTooltip(int nWhich);
    void AnnounceMicState();
    void AutoMicLevel(int nLevel);
    bool RequesterHoldsControl(uint16_t wUserIndex) const;
    void ApplyVideoSettings(const QNAudioSettings& record);

    CRoomState& m_room;
    IRoomNotices& m_notices;
    RoomVoicePorts m_ports;
    ILogSink* m_pLog;

    CVoiceSlot<IRoomVoiceEngine> m_engine;
    CVoiceChannelTable m_channels;
    // Read by the receive path: voice plays only on a working engine with a speaker.
    std::atomic<bool> m_bPlays{false};
    std::atomic<bool> m_bVoiceSend{false};
    std::atomic<bool> m_bMuted{false};

    uint16_t m_wMyUser = kNoIndex;
    int m_nGrade = 0;
    bool m_bPlayback = false;
    int m_nInitResult = -1;
    uint32_t m_dwInitError = 0;
    uint32_t m_dwReinit = 0;
    bool m_bTalking = false;
    bool m_bTalkAllowed = false;
    bool m_bSavedTalk = false;
    int m_nMicDevice = kVoiceMicDefault;
    std::u16string m_szMicName;
    std::u16string m_szSpeakerName;
    std::string m_szSpeakerId;
    int m_nSpeakerIndex = 0;
    bool m_bAutoLevel = false;
    bool m_bMicLineOption = true;
    uint32_t m_nAutoCount = 0;
    uint32_t m_dwAutoStart = 0;
};
