// The room's voice wired to the program's engine, devices, registry, network and plain bar.
#include "confclient/session/maindlg/RoomVoiceHost.h"

#include "confclient/network/registry/Registry.h"
#include "confclient/session/maindlg/SessionMessages.h"

CRoomVoiceHost::CRoomVoiceHost(CRoomState& room, IRoomNotices& notices, IParticipantsView& people,
                               ILogSink* pLog, const std::wstring& szProgram,
                               const std::unique_ptr<CQNInterface>& pNet)
    : m_room(room), m_people(people), m_pLog(pLog), m_szProgram(szProgram), m_pNet(pNet),
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
    // The plain bar shows the own microphone's level.
    if (m_pBar && wChannel == m_room.wMyChannel) m_pBar->ShowLevel(nLevel);
}

void CRoomVoiceHost::ResetPeakLevels()
{
    if (m_pBar) m_pBar->ShowLevel(0);
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
