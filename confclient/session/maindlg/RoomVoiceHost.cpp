// The room's voice wired to the program's engine, devices, registry, network and plain bar.
#include "confclient/session/maindlg/RoomVoiceHost.h"

#include "confclient/network/registry/Registry.h"
#include "confclient/session/maindlg/SessionMessages.h"
#include "resources/ResourceIds.h"

CRoomVoiceHost::CRoomVoiceHost(CRoomState& room, IRoomNotices& notices, IParticipantsView& people,
                               ILogSink* pLog, const std::wstring& szProgram,
                               const std::unique_ptr<CQNInterface>& pNet,
                               CRoomVideoViewDlg* const& pVideoView)
    : m_room(room), m_people(people), m_pLog(pLog), m_szProgram(szProgram), m_pNet(pNet),
      m_pVideoView(pVideoView),
      m_voice(room, notices, RoomVoicePorts{m_devices, m_mixer, *this, *this, *this}, pLog)
{
}

void CRoomVoiceHost::Start(CRoomCtrlDlg* pBar, HWND hLevels, uint16_t wMyUser, int nGrade, bool bPlayback)
{
    m_pBar = pBar;
    m_hLevels = hLevels;
    m_pBar->SetVoiceActions(this);
    m_members.clear();
    m_bTalkGranted.reset();
    m_voice.SetMyUser(wMyUser, nGrade);
    m_voice.SetPlayback(bPlayback);
    m_voice.InitVoiceEngine();
    m_voice.PublishChannels();
}

void CRoomVoiceHost::Stop()
{
    if (!m_pBar) return;
    m_voice.CloseVoice();
    m_pBar->SetVoiceActions(nullptr);
    m_pBar = nullptr;
    m_hLevels = nullptr;
    m_members.clear();
    m_bTalkGranted.reset();
}

void CRoomVoiceHost::OnMembersChanged(bool bChief)
{
    if (!m_pBar || !m_room.InRoom()) return;
    m_voice.PublishChannels();
    std::set<uint16_t> members;
    for (const S_ROOMUSERINFO& u : m_room.users.Users())
        members.insert(u.userIndex);
    for (uint16_t wUser : m_members)
        if (!members.count(wUser))
        {
            S_ROOMUSERINFO gone;
            gone.userIndex = wUser;
            m_voice.OnUserOut(gone);
        }
    m_members = std::move(members);

    // Talk follows the talk right (the chief always has it); live voice goes with it.
    bool bGranted = bChief || m_room.users.GetTalkRight(m_room.wMyChannel) != 0;
    if (m_bTalkGranted == bGranted) return;
    m_bTalkGranted = bGranted;
    m_voice.SetVoiceSendFlag(bGranted);
    m_voice.SetTalkState(bGranted, false, true);
}

namespace
{
// The voice buttons' bitmaps per state: unchecked, checked, hover, disabled.
const UINT kTalkBitmaps[3][4] = {{217, 218, 219, 220}, {221, 222, 223, 220}, {224, 224, 224, 224}};
const UINT kSpeakerBitmaps[3][4] = {{213, 214, 215, 212}, {209, 210, 211, 212}, {216, 216, 216, 216}};

size_t StateRow(VoiceImages images)
{
    return images == VoiceImages::On ? 0 : images == VoiceImages::Off ? 1 : 2;
}
} // namespace

void CRoomVoiceHost::SetTalkImages(VoiceImages images)
{
    if (m_pBar) m_pBar->SetVoiceButtonBitmaps(IDC_ROOMCTRL_TALK, kTalkBitmaps[StateRow(images)]);
}

void CRoomVoiceHost::SetSpeakerImages(VoiceImages images)
{
    if (m_pBar) m_pBar->SetVoiceButtonBitmaps(IDC_ROOMCTRL_MUTE, kSpeakerBitmaps[StateRow(images)]);
}

void CRoomVoiceHost::SetTooltip(int nWhich, const char* pszKey)
{
    if (m_pBar) m_pBar->SetVoiceButtonTip(nWhich == 0 ? IDC_ROOMCTRL_TALK : IDC_ROOMCTRL_MUTE, pszKey);
}

void CRoomVoiceHost::SetTalkToggle(bool bChecked)
{
    if (m_pBar) m_pBar->SetTalkCheck(bChecked);
}

void CRoomVoiceHost::EnableTalkToggle(bool bEnable)
{
    if (m_pBar) m_pBar->EnableTalk(bEnable);
}

bool CRoomVoiceHost::TalkToggleEnabled()
{
    return m_pBar && m_pBar->TalkEnabled();
}

void CRoomVoiceHost::SetMuteToggle(bool bChecked)
{
    if (m_pBar) m_pBar->SetMuteCheck(bChecked);
}

void CRoomVoiceHost::EnableSpeakerControls(bool bEnable)
{
    if (m_pBar) m_pBar->EnableMute(bEnable);
}

void CRoomVoiceHost::SetPeakLevel(uint16_t wChannel, int nLevel)
{
    // The bar shows the own microphone's level too.
    if (m_pBar && wChannel == m_room.wMyChannel) m_pBar->ShowLevel(nLevel);
    if (m_pVideoView && m_pVideoView->m_hWnd) m_pVideoView->SetPeakLevel(wChannel, nLevel);
}

void CRoomVoiceHost::ResetPeakLevels()
{
    if (m_pBar) m_pBar->ShowLevel(0);
    if (m_pVideoView && m_pVideoView->m_hWnd) m_pVideoView->ResetPeakLevels();
}

void CRoomVoiceHost::ShowRemoteSettings(const QNAudioSettings& r)
{
    LogF(m_pLog, LOG_INFO,
         "[INFO_CONF_REMOTESETTING] user %u: mic volume %u, speaker volume %u, boost %u, mic %u, mute %u",
         r.wTarget, r.bMicVolume, r.bSpeakerVolume, r.bMicBoost, r.bMic, r.bMute);
}

void CRoomVoiceHost::SendVoice(const uint8_t* pData, size_t nLen, uint8_t bFlag)
{
    if (CQNInterface* pNet = m_pNet.get()) pNet->SendVoice(pData, nLen, bFlag);
}

bool CRoomVoiceHost::Recording()
{
    CQNInterface* pNet = m_pNet.get();
    return pNet && pNet->GetRecordState() == 1;
}

void CRoomVoiceHost::PurgeVoiceQueue()
{
    if (CQNInterface* pNet = m_pNet.get()) pNet->PurgeVoiceQueue();
}

void CRoomVoiceHost::SendAudioSettings(const QNAudioSettings& record)
{
    if (CQNInterface* pNet = m_pNet.get()) pNet->SendAudioSettings(record);
}

void CRoomVoiceHost::PostVoiceLevels()
{
    if (HWND h = m_hLevels.load()) PostMessageW(h, WM_QN_VOICE_LEVELS, 0, 0);
}

uint32_t CRoomVoiceHost::ReadDword(SettingsKey key, std::u16string_view name, uint32_t dwDefault)
{
    return CRegistrySettings(m_szProgram).ReadDword(key, name, dwDefault);
}

std::u16string CRoomVoiceHost::ReadString(SettingsKey key, std::u16string_view name,
                                          std::u16string_view szDefault)
{
    return CRegistrySettings(m_szProgram).ReadString(key, name, szDefault);
}

bool CRoomVoiceHost::WriteDword(SettingsKey key, std::u16string_view name, uint32_t dwValue)
{
    return CRegistrySettings(m_szProgram).WriteDword(key, name, dwValue);
}

bool CRoomVoiceHost::WriteString(SettingsKey key, std::u16string_view name, std::u16string_view szValue)
{
    return CRegistrySettings(m_szProgram).WriteString(key, name, szValue);
}

void CRoomVoiceHost::EnableMicSlider(bool bEnable)
{
    if (m_pBar) m_pBar->EnableMicSlider(bEnable);
}

void CRoomVoiceHost::SetSpeakerSlider(int nPos)
{
    m_nSpeakerSlider = nPos;
    if (m_pBar) m_pBar->SetSpeakerSlider(nPos);
}

void CRoomVoiceHost::SetMicSlider(int nPos)
{
    m_nMicSlider = nPos;
    if (m_pBar) m_pBar->SetMicSlider(nPos);
}

void CRoomVoiceHost::OnVolumeMoved(bool bSpeaker, int nPos)
{
    (bSpeaker ? m_nSpeakerSlider : m_nMicSlider) = nPos;
    m_voice.OnVolumeSlider(bSpeaker, nPos);
}
