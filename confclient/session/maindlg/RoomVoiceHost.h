// The room's voice in the program: the engine from VOLumora.dll on the system's devices and
// mixer, the registry, the network; the control bar, the participant list and the video views
// as its view. The session keeps one; it starts with the control bar and closes before the bar goes.
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <set>
#include <string>

#include "confclient/media/MixerApiWin32.h"
#include "confclient/media/RoomVoice.h"
#include "confclient/media/VoiceDevicesWin32.h"
#include "confclient/media/VoiceMixer.h"
#include "confclient/network/transport/QNInterface.h"
#include "confclient/people/ParticipantsFeature.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomVideoViewDlg.h"

class CRoomVoiceHost : public IRoomVoiceView,
                       public IVoiceNetwork,
                       public IVoiceRoomOwner,
                       public ISettings,
                       public IVoiceBarActions
{
public:
    // szProgram: the program's name, which names its registry key once start-up has set it;
    // pVideoView: the session's video grid while it exists.
    CRoomVoiceHost(CRoomState& room, IRoomNotices& notices, IParticipantsView& people, ILogSink* pLog,
                   const std::wstring& szProgram, const std::unique_ptr<CQNInterface>& pNet,
                   CRoomVideoViewDlg* const& pVideoView);

    CRoomVoice& Voice() { return m_voice; }
    // The control bar is up: the engine starts for the local user. hLevels gets WM_QN_VOICE_LEVELS.
    void Start(CRoomCtrlDlg* pBar, HWND hLevels, uint16_t wMyUser, int nGrade, bool bPlayback);
    // Before the bar goes: the engine closes.
    void Stop();
    // Members, channels or rights changed (GUI thread): the channel table the receive path
    // checks, the voice of members who left, and this user's talk grant.
    void OnMembersChanged(bool bChief);

    // IRoomVoiceView over the bar: talk and mute buttons with their images and tips, a level and
    // the two volume sliders; no settings panel yet, so its boost check shows nothing.
    void SetTalkImages(VoiceImages images) override;
    void SetSpeakerImages(VoiceImages images) override;
    void SetTalkToggle(bool bChecked) override;
    void EnableTalkToggle(bool bEnable) override;
    bool TalkToggleEnabled() override;
    void SetMuteToggle(bool bChecked) override;
    void EnableMicSlider(bool bEnable) override;
    void EnableSpeakerControls(bool bEnable) override;
    int SpeakerSlider() override { return m_nSpeakerSlider; }
    void SetSpeakerSlider(int nPos) override;
    int MicSlider() override { return m_nMicSlider; }
    void SetMicSlider(int nPos) override;
    void SetTooltip(int nWhich, const char* pszKey) override;
    void SetBoostCheck(bool) override {}
    void RewriteMyRow() override { m_people.ShowRoomUsers(); }
    bool ShowsLevels() override { return m_pBar && m_pBar->m_hWnd; }
    void SetVoiceIcon(uint16_t wChannel, bool bSpeaking, int) override
    {
        m_people.ShowSpeaking(wChannel, bSpeaking);
    }
    void SetPeakLevel(uint16_t wChannel, int nLevel) override;
    void ResetPeakLevels() override;
    uint8_t VideoState() override { return 0; }
    void ShowRemoteSettings(const QNAudioSettings& record) override;

    // IVoiceNetwork.
    void SendVoice(const uint8_t* pData, size_t nLen, uint8_t bFlag) override;
    bool Recording() override;
    void PurgeVoiceQueue() override;
    void SendAvState(uint32_t dwState) override { m_people.SendAvState(dwState); }
    void SendAudioSettings(const QNAudioSettings& record) override;

    // IVoiceRoomOwner: the engine's threads.
    void SendCapturedVoice(const uint8_t* pData, size_t nLen) override
    {
        m_voice.SendCapturedVoice(pData, nLen);
    }
    void QueueVoiceForRecording(int, const int16_t*, size_t) override {}
    void PostVoiceLevels() override;

    // ISettings over the registry keys of the program.
    uint32_t ReadDword(SettingsKey key, std::u16string_view name, uint32_t dwDefault) override;
    std::u16string ReadString(SettingsKey key, std::u16string_view name,
                              std::u16string_view szDefault) override;
    bool WriteDword(SettingsKey key, std::u16string_view name, uint32_t dwValue) override;
    bool WriteString(SettingsKey key, std::u16string_view name, std::u16string_view szValue) override;

    // IVoiceBarActions.
    void OnTalkClicked(bool bChecked) override { m_voice.OnTalkToggle(bChecked); }
    void OnMuteClicked(bool bChecked) override { m_voice.SetMute(bChecked); }
    void OnVolumeMoved(bool bSpeaker, int nPos) override;

private:
    CRoomState& m_room;
    IParticipantsView& m_people;
    ILogSink* m_pLog;
    const std::wstring& m_szProgram;
    const std::unique_ptr<CQNInterface>& m_pNet;
    CRoomVideoViewDlg* const& m_pVideoView;
    CRoomCtrlDlg* m_pBar = nullptr;
    std::atomic<HWND> m_hLevels{nullptr};
    int m_nSpeakerSlider = 0;
    int m_nMicSlider = 0;
    std::set<uint16_t> m_members;
    std::optional<bool> m_bTalkGranted;
    CWin32MixerApi m_mixerApi;
    CVoiceMixer m_mixer{m_mixerApi};
    CWin32VoiceDevices m_devices{*this, nullptr};
    CRoomVoice m_voice;
};
