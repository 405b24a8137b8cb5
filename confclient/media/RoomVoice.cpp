// The room's voice: device choice, talk, levels and remote settings over the engine and the bar.
#include "confclient/media/RoomVoice.h"

#include <algorithm>

#include "core/Utf8Text.h"

namespace
{
constexpr uint32_t kJitterMaxMs = 100;
constexpr uint32_t kDeviceBufferMs = 30;
constexpr uint16_t kAllVoiceUsers = 65534;
constexpr int kVoiceInitNoticeKind = 1;
constexpr int kSpeakingLevel = 20;
constexpr uint32_t kMicUnusableBit = 0x10000;
constexpr uint32_t kMicClosedBit = 0x20000;

std::u16string Trimmed(const std::u16string& s)
{
    auto isSpace = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    size_t b = 0, e = s.size();
    while (b < e && isSpace(s[b]))
        ++b;
    while (e > b && isSpace(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

int Volume(int n)
{
    return std::clamp(n, 0, 100);
}
} // namespace

CRoomVoice::CRoomVoice(CRoomState& room, IRoomNotices& notices, RoomVoicePorts ports, ILogSink* pLog)
    : m_room(room), m_notices(notices), m_ports(ports), m_pLog(pLog)
{
}

void CRoomVoice::SetMyUser(uint16_t wUserIndex, int nGrade)
{
    m_wMyUser = wUserIndex;
    m_nGrade = nGrade;
}

void CRoomVoice::InitVoiceEngine()
{
    if (m_dwReinit)
    {
        m_nInitResult = -1;
        m_dwInitError = 0;
    }
    if (m_nInitResult != -1) return;
    ISettings& settings = m_ports.settings;
    m_szMicName = Trimmed(settings.ReadString(SettingsKey::Common, u"DeviceMicName", u""));
    m_szSpeakerName = Trimmed(settings.ReadString(SettingsKey::Common, u"DeviceSpkName", u""));
    m_bAutoLevel = settings.ReadDword(SettingsKey::Program, u"bUseAutoMicLevelControl", 0) != 0;
    // Read here, not at construction: the program's own key is known only once it has started.
    m_bMicLineOption = settings.ReadDword(SettingsKey::Program, u"Auto_SelectMic", 1) != 0;
    if (!Engine())
    {
        std::unique_ptr<IRoomVoiceEngine> pEngine = m_ports.devices.CreateEngine();
        if (!pEngine)
        {
            // Talk requests are ignored until a re-initialisation makes an engine.
            m_dwReinit = VOICE_ERROR_BOTH;
            SetMicButtonImages(false, false);
            return;
        }
        m_engine.Reset(std::move(pEngine));
    }
    ChooseDevices();
    uint32_t dwError = 0;
    bool bOk =
        Engine()->InitVoice(m_wMyUser, m_nMicDevice, m_szSpeakerId, kJitterMaxMs, kDeviceBufferMs, dwError);
    m_nInitResult = bOk ? 1 : 0;
    Engine()->SetMicBoost(static_cast<int>(settings.ReadDword(SettingsKey::Program, u"MicBoost", 0)));
    if (!bOk)
    {
        m_dwInitError = dwError;
        ReportInitFailure();
    }
    m_bPlays = !SpeakerUnusable();
    if (m_dwInitError != VOICE_ERROR_BOTH) SetUpMixer();
}

void CRoomVoice::ChooseDevices()
{
    m_nMicDevice = kVoiceMicDefault;
    std::vector<std::u16string> micNames;
    std::vector<std::u16string> devices = m_ports.devices.MicrophoneNames();
    for (size_t i = 0; i < devices.size(); ++i)
    {
        std::u16string szName = Trimmed(devices[i]);
        if (std::find(micNames.begin(), micNames.end(), szName) != micNames.end()) continue;
        micNames.push_back(szName);
        if (szName == m_szMicName)
        {
            m_nMicDevice = static_cast<int>(i);
            break;
        }
    }
    if (m_nGrade == 4) m_nMicDevice = kVoiceMicNone;

    m_szSpeakerId.clear();
    m_nSpeakerIndex = 0;
    std::vector<std::u16string> speakerNames;
    bool bSpeakerFound = false;
    for (const VoiceSpeakerDevice& d : m_ports.devices.SpeakerDevices())
    {
        std::u16string szName = Trimmed(d.szDescription);
        speakerNames.push_back(szName);
        if (szName == m_szSpeakerName)
        {
            m_szSpeakerId = d.szId;
            bSpeakerFound = true;
            break;
        }
        ++m_nSpeakerIndex;
    }
    if (!bSpeakerFound) m_nSpeakerIndex = 0;

    // A remembered device that is gone: the default device plays, the first one is remembered.
    if (!micNames.empty() && m_nMicDevice == kVoiceMicDefault)
    {
        m_szMicName = micNames.front();
        m_ports.settings.WriteString(SettingsKey::Common, u"DeviceMicName", m_szMicName);
    }
    if (!speakerNames.empty() && !bSpeakerFound)
        m_ports.settings.WriteString(SettingsKey::Common, u"DeviceSpkName", speakerNames.front());
}

void CRoomVoice::ReportInitFailure()
{
    const char* pszKey = nullptr;
    switch (m_dwInitError)
    {
    case VOICE_ERROR_MIC:
        pszKey = "IDS_CANT_VOICEINIT_MIC";
        break;
    case VOICE_ERROR_SPEAKER:
        pszKey = "IDS_CANT_VOICEINIT_SPEAKER";
        break;
    case VOICE_ERROR_BOTH:
        pszKey = "IDS_CANT_VOICEINIT_BOTH";
        break;
    default:
        break;
    }
    m_ports.view.EnableMicSlider(!MicUnusable());
    m_ports.view.EnableSpeakerControls(!SpeakerUnusable());
    SetMicButtonImages(false, MicUnusable());
    std::u16string szText = pszKey ? m_notices.Text(pszKey) : std::u16string();
    if (!szText.empty()) m_notices.AddChatNotice(szText, kVoiceInitNoticeKind);
    LogF(m_pLog, LOG_ERROR, "[Audio init Failed] %s (%u)", Utf8Of(szText).c_str(), m_dwInitError);
}

int CRoomVoice::MicLine()
{
    IVoiceMixer& mixer = m_ports.mixer;
    return mixer.Muted(MIXER_MICROPHONE) && !mixer.Muted(MIXER_ALT_RECORDING) ? MIXER_ALT_RECORDING
                                                                              : MIXER_MICROPHONE;
}

void CRoomVoice::SetUpMixer()
{
    IVoiceMixer& mixer = m_ports.mixer;
    mixer.Open(m_nSpeakerIndex, m_nMicDevice == kVoiceMicDefault ? 0 : m_nMicDevice);
    mixer.SetMute(MIXER_SPEAKER, false);
    if (m_bMicLineOption) mixer.SetMute(MIXER_MICROPHONE, false);
    mixer.SetMute(MIXER_MUTED_AT_START, true);
    m_ports.view.SetSpeakerSlider(Volume(mixer.Volume(MIXER_SPEAKER)));
    m_ports.view.SetMicSlider(Volume(mixer.Volume(MicLine())));
}

void CRoomVoice::OnVolumeSlider(bool bSpeaker, int nVolume)
{
    m_ports.mixer.SetVolume(bSpeaker ? MIXER_SPEAKER : MicLine(), Volume(nVolume));
}

void CRoomVoice::CloseVoice()
{
    if (IRoomVoiceEngine* p = Engine())
    {
        p->TalkStop();
        p->OnUserOut(m_wMyUser);
    }
    m_bPlays = false;
    // Waits for a packet being handed to the engine on the receive thread, then deletes it.
    m_engine.Reset();
}

void CRoomVoice::ReinitVoice()
{
    bool bWasTalking = m_bTalking;
    if (bWasTalking)
    {
        StartStopTalk(false, true);
        m_ports.view.SetPeakLevel(m_room.wMyChannel, 0);
    }
    CloseVoice();
    m_dwReinit = 1;
    InitVoiceEngine();
    m_dwReinit = 0;
    if (bWasTalking) StartStopTalk(true, true);
}

void CRoomVoice::SetMicButtonImages(bool bOn, bool bUnavailable)
{
    m_ports.view.SetTalkImages(bUnavailable || MicUnusable() ? VoiceImages::Unavailable
                               : bOn                         ? VoiceImages::On
                                                             : VoiceImages::Off);
}

void CRoomVoice::SetSpeakerButtonImages(bool bOn, bool bUnavailable)
{
    m_ports.view.SetSpeakerImages(bUnavailable || SpeakerUnusable() ? VoiceImages::Unavailable
                                  : bOn                             ? VoiceImages::On
                                                                    : VoiceImages::Off);
}

void CRoomVoice::UpdateButtonTooltip(int nWhich)
{
    if (nWhich == 0) m_ports.view.SetTooltip(0, m_bTalking ? "IDCT_CHECK_TALKOFF" : "IDCT_CHECK_TALKON");
    if (nWhich == 1) m_ports.view.SetTooltip(1, m_bMuted ? "IDCT_CHECK_MUTEOFF" : "IDCT_CHECK_MUTEON");
}

void CRoomVoice::AnnounceMicState()
{
    if (!m_room.InRoom()) return;
    uint32_t dwWord = (m_room.dwMyAvState & ~(kMicUnusableBit | kMicClosedBit | 0xFFFFu)) | m_room.wMyChannel;
    if (MicUnusable()) dwWord |= kMicUnusableBit;
    if (!m_bTalking) dwWord |= kMicClosedBit;
    m_room.dwMyAvState = dwWord;
    m_room.users.SetAvFlags(&dwWord);
    m_ports.network.SendAvState(dwWord);
    m_ports.view.RewriteMyRow();
}

bool CRoomVoice::StartStopTalk(bool bOn, bool bNotify)
{
    if (m_dwReinit) return true;
    if (m_bPlayback || m_nInitResult == -1 || MicUnusable() || m_nGrade == 4) return false;
    SetMicButtonImages(bOn, false);
    if (!bOn)
    {
        if (m_bTalking && Engine()) Engine()->TalkStop();
        m_ports.view.SetTalkToggle(false);
        m_bTalking = false;
        m_ports.network.PurgeVoiceQueue();
    }
    else
    {
        if (!m_bTalkAllowed || m_bTalking) return false;
        if (Engine()) Engine()->TalkStart();
        m_ports.view.SetTalkToggle(true);
        m_bTalking = true;
    }
    if (bNotify) AnnounceMicState();
    UpdateButtonTooltip(0);
    return true;
}

void CRoomVoice::SetTalkState(bool bAllowed, bool bForce, bool bNotify)
{
    m_bTalkAllowed = bAllowed;
    if (MicUnusable() || m_nInitResult == -1 || m_nGrade == 4 || m_bPlayback)
    {
        m_bTalkAllowed = false;
        m_ports.view.EnableTalkToggle(false);
        if (MicUnusable()) AnnounceMicState();
        SetMicButtonImages(false, false);
        return;
    }
    if (!bAllowed)
    {
        if (!bForce && m_ports.view.TalkToggleEnabled()) m_bSavedTalk = m_bTalking;
        StartStopTalk(false, bNotify);
        m_ports.view.SetTalkToggle(false);
    }
    else if (bForce || !m_ports.view.TalkToggleEnabled())
    {
        StartStopTalk(m_bSavedTalk, bNotify);
    }
    m_ports.view.EnableTalkToggle(bAllowed);
    if (!(bAllowed && m_bTalking)) SetMicButtonImages(false, false);
}

void CRoomVoice::OnTalkToggle(bool bChecked)
{
    if (!m_dwReinit) StartStopTalk(bChecked, true);
}

void CRoomVoice::SetMute(bool bMute)
{
    m_bMuted = bMute;
    SetSpeakerButtonImages(bMute, false);
    if (bMute) m_ports.view.ResetPeakLevels();
    UpdateButtonTooltip(1);
}

void CRoomVoice::SetAutoMicLevel(bool bOn)
{
    m_bAutoLevel = bOn;
    m_ports.settings.WriteDword(SettingsKey::Program, u"bUseAutoMicLevelControl", bOn ? 1 : 0);
}

void CRoomVoice::SetVoicePlayerFlag(bool bOn)
{
    if (IRoomVoiceEngine* p = Engine()) p->SetVoicePlayerFlag(bOn);
}

void CRoomVoice::OnUserOut(const S_ROOMUSERINFO& user)
{
    // The voice engine knows a member by the user index its packets carry.
    if (IRoomVoiceEngine* p = Engine()) p->OnUserOut(user.userIndex);
}

void CRoomVoice::VoiceAllUsersOut()
{
    if (IRoomVoiceEngine* p = Engine()) p->OnUserOut(kAllVoiceUsers);
}

void CRoomVoice::VoiceStopAllChannels()
{
    if (IRoomVoiceEngine* p = Engine()) p->StopAllChannel();
}

void CRoomVoice::VoiceShowLog()
{
    if (IRoomVoiceEngine* p = Engine()) p->ShowLogDialog();
}

void CRoomVoice::PublishChannels()
{
    std::unordered_map<uint16_t, uint16_t> userOfChannel;
    for (const S_ROOMUSERINFO& u : m_room.users.Users())
        userOfChannel[u.channel] = u.userIndex;
    m_channels.Publish(std::move(userOfChannel));
}

void CRoomVoice::SendCapturedVoice(const uint8_t* pData, size_t nLen)
{
    if (m_bVoiceSend)
        m_ports.network.SendVoice(pData, nLen, VOICE_SEND_LIVE);
    else if (m_ports.network.Recording())
        m_ports.network.SendVoice(pData, nLen, VOICE_SEND_RECORDING_ONLY);
}

void CRoomVoice::PlayReceivedVoice(uint16_t wSub, const uint8_t* pData, size_t nLen)
{
    if (!m_bPlays || m_bMuted) return;
    // No one speaks as another: the packet's sender must be the member on its channel.
    if (!m_channels.SenderMatches(wSub, pData, nLen)) return;
    m_engine.With([&](IRoomVoiceEngine& e) { e.OnRecvVoice(pData, nLen); });
}

void CRoomVoice::OnVoiceEvent(uint16_t wUser, int nLevel)
{
    if (!m_room.InRoom() || m_room.info.wRoomType == 8 || wUser == 0xFFFE || !m_ports.view.ShowsLevels())
        return;
    uint16_t wChannel = m_room.users.GetChannelByUserIndex(wUser);
    bool bOwn = wChannel == m_room.wMyChannel;
    if (bOwn) AutoMicLevel(nLevel);
    if ((m_bMuted && !bOwn) || wChannel == kNoIndex) return;
    m_ports.view.SetVoiceIcon(wChannel, nLevel >= kSpeakingLevel, nLevel);
    m_ports.view.SetPeakLevel(wChannel, nLevel);
}

void CRoomVoice::OnVoiceLevelsPosted()
{
    if (IRoomVoiceEngine* p = Engine())
        for (auto [wUser, nLevel] : p->TakeLevels())
            OnVoiceEvent(wUser, nLevel);
}

void CRoomVoice::AutoMicLevel(int nLevel)
{
    if (m_bPlayback || !m_bAutoLevel) return;
    uint32_t dwNow = m_ports.devices.TickCount();
    if (nLevel > 40) m_nAutoCount = 0;
    if (m_nAutoCount == 0) m_dwAutoStart = dwNow;
    if (dwNow - m_dwAutoStart >= 3000) m_nAutoCount = 0;
    IVoiceMixer& mixer = m_ports.mixer;
    if (nLevel < 91)
    {
        if (nLevel >= 5 && nLevel <= 40) ++m_nAutoCount;
    }
    else
    {
        int nLine = MicLine();
        int nVolume = mixer.Volume(nLine);
        if (nVolume > 50)
        {
            nVolume -= 2;
            mixer.SetVolume(nLine, nVolume);
            m_ports.view.SetMicSlider(Volume(nVolume));
        }
    }
    if (m_nAutoCount >= 10)
    {
        int nLine = MicLine();
        int nVolume = Volume(mixer.Volume(nLine) + 2);
        mixer.SetVolume(nLine, nVolume);
        m_ports.view.SetMicSlider(nVolume);
        m_nAutoCount = 0;
    }
}

void CRoomVoice::FillAudioSettings(QNAudioSettings& record)
{
    record.bMicVolume = record.bSpeakerVolume = record.bMicBoost = record.bMic = record.bMute =
        record.bVideo = 0;
    if (m_nInitResult == -1) return;
    if (m_dwInitError == VOICE_ERROR_MIC || m_nInitResult == 1)
    {
        record.bSpeakerVolume = static_cast<uint8_t>(Volume(m_ports.mixer.Volume(MIXER_SPEAKER)));
        record.bMute = m_bMuted ? 2 : 3;
    }
    if (m_dwInitError == VOICE_ERROR_SPEAKER || m_nInitResult == 1)
    {
        record.bMicVolume = static_cast<uint8_t>(Volume(m_ports.mixer.Volume(MicLine())));
        record.bMic = !m_bTalkAllowed ? 1 : m_bTalking ? 2 : 3;
        if (m_nInitResult != 0)
            record.bMicBoost = m_ports.settings.ReadDword(SettingsKey::Program, u"MicBoost", 0) ? 2 : 3;
    }
}

void CRoomVoice::ApplyRemoteSettings(const QNAudioSettings& record)
{
    IRoomVoiceView& view = m_ports.view;
    int nSpeaker = Volume(record.bSpeakerVolume);
    if (nSpeaker != view.SpeakerSlider())
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_REMOTESETTING] Speaker VolumeOld:%d, New:%d", view.SpeakerSlider(),
             nSpeaker);
    view.SetSpeakerSlider(nSpeaker);
    m_ports.mixer.SetVolume(MIXER_SPEAKER, nSpeaker);

    int nMic = Volume(record.bMicVolume);
    if (nMic != view.MicSlider())
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_REMOTESETTING] Mic Volume Old:%d, New:%d", view.MicSlider(), nMic);
    view.SetMicSlider(nMic);
    m_ports.mixer.SetVolume(MicLine(), nMic);

    if (m_bTalkAllowed)
    {
        bool bTalk = record.bMic == 2;
        if (bTalk != m_bTalking)
            LogF(m_pLog, LOG_INFO, "[INFO_CONF_REMOTESETTING] Mic On/Off Old:%d, New:%d", m_bTalking ? 1 : 0,
                 bTalk ? 1 : 0);
        view.SetTalkToggle(bTalk);
        StartStopTalk(bTalk, true);
    }

    if (m_nInitResult != 0 && Engine())
    {
        bool bBoost = record.bMicBoost == 2;
        Engine()->SetMicBoost(bBoost ? 1 : 0);
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_REMOTESETTING] Mic Boost %d", bBoost ? 1 : 0);
        view.SetBoostCheck(bBoost);
        m_ports.settings.WriteDword(SettingsKey::Program, u"MicBoost", bBoost ? 1 : 0);
    }

    bool bMute = record.bMute == 2;
    if (bMute != m_bMuted)
    {
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_REMOTESETTING] Mute On/Off Old:%d, New:%d", m_bMuted ? 1 : 0,
             bMute ? 1 : 0);
        view.SetMuteToggle(bMute);
        SetMute(bMute);
    }
}

bool CRoomVoice::RequesterHoldsControl(uint16_t wUserIndex) const
{
    if (!m_room.InRoom() || wUserIndex == kNoIndex) return false;
    if (m_room.info.wOwnerIndex == wUserIndex) return true;
    uint16_t wChannel = m_room.users.GetChannelByUserIndex(wUserIndex);
    return wChannel != kNoIndex && wChannel == m_room.wPresiderChannel;
}

void CRoomVoice::ApplyVideoSettings(const QNAudioSettings& record)
{
    if (record.bVideo == 2 || record.bVideo == 3)
    {
        uint32_t dwSending = record.bVideo == 2 ? 1 : 0;
        if (dwSending != m_room.dwVideoStop)
            LogF(m_pLog, LOG_INFO, "[INFO_CONF_REMOTESETTING] VideoStop old:%u, new:%u", m_room.dwVideoStop,
                 dwSending);
        m_room.dwVideoStop = dwSending;
    }
    if (record.bFrameRate != 0 && record.bFrameRate != m_room.dwFrameRate)
    {
        LogF(m_pLog, LOG_INFO, "[INFO_CONF_REMOTESETTING] SendFrame old:%u, new:%u", m_room.dwFrameRate,
             static_cast<uint32_t>(record.bFrameRate));
        m_room.dwFrameRate = record.bFrameRate;
    }
}

void CRoomVoice::OnAudioSettings(const QNAudioSettings& record)
{
    switch (record.wKind)
    {
    case AUDIOSETTINGS_REQUEST:
    {
        if (record.wTarget != m_wMyUser) return;
        QNAudioSettings answer = record;
        answer.wKind = AUDIOSETTINGS_ANSWER;
        FillAudioSettings(answer);
        answer.bVideo = m_ports.view.VideoState();
        answer.bFrameRate = static_cast<uint8_t>(std::min<uint32_t>(m_room.dwFrameRate, 255));
        m_ports.network.SendAudioSettings(answer);
        return;
    }
    case AUDIOSETTINGS_APPLY:
        if (record.wTarget != m_wMyUser) return;
        // Opening or muting another member's microphone and speaker is the chief's alone.
        if (!RequesterHoldsControl(record.wRequester))
        {
            LogF(m_pLog, LOG_INFO, "[INFO_CONF_REMOTESETTING] refused: user %u holds no control right",
                 static_cast<unsigned>(record.wRequester));
            return;
        }
        ApplyRemoteSettings(record);
        ApplyVideoSettings(record);
        return;
    case AUDIOSETTINGS_ANSWER:
        m_ports.view.ShowRemoteSettings(record);
        return;
    default:
        return;
    }
}
