// The session under the bar's own recording: the recorder engine of the network object, the
// room's recording values and record right, the settings, the room's notices of a recording,
// the bar's toggle, save dialog and timers, and the folders a recording is written to.
#include <windows.h>

#include <filesystem>
#include <vector>

#include "confclient/boardhost/RoomBoard.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNRoomViewPayloads.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/network/registry/Settings.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "confclient/session/maindlg/IConfDlg.h"
#include "winui/WideText.h"

namespace
{
// The listener's grade (the low byte of the level word, modulo 10).
constexpr int kListenerGrade = 4;
} // namespace

bool IConfDlg::StartRecording(const std::u16string& szPath, int nKind)
{
    if (!m_pNet || m_pNet->StartRecord(std::filesystem::path(szPath), nKind) != 1) return false;
    RecordBoardStartState();
    return true;
}

void IConfDlg::RecordBoardStartState()
{
    // The board's pages went in as embedded files; its current page and zoom go in as one
    // board message, so that playback shows what the room showed when the recording began.
    CRoomBoard* pRoomBoard = m_pMainView ? m_pMainView->Board() : nullptr;
    if (!pRoomBoard || !pRoomBoard->IsCreated()) return;
    CLMBoard2& board = pRoomBoard->Board();
    short nSize = board.GetRecordStartDataSize();
    if (nSize <= 0) return;
    std::vector<uint8_t> data(static_cast<size_t>(nSize));
    if (board.GetRecordStartData(data.data()) == 1)
        m_pNet->WriteRecord(data.data(), nSize, DAT_BOARD_ROOM, false);
}

bool IConfDlg::StopRecording(int nReason)
{
    return !m_pNet || m_pNet->StopRecord(nReason);
}

int IConfDlg::RecordState() const
{
    return m_pNet ? m_pNet->GetRecordState() : 0;
}

S_RECORDROOM IConfDlg::RecordRoom() const
{
    S_RECORDROOM r;
    const QNRoomRecordSettings& s = m_room.recordSettings;
    CRegistrySettings settings(m_szExeName);
    r.bPlayback = IsPlayerMode();
    r.bRvEdition = m_launch.fields.szEditionKind == u"1";
    // The chief holds every right; the others the room's record right.
    r.bBlocked = !IsChief() && !m_room.RecordRight();
    r.bPlayerOnly = (s.dwOptions & kRecordOptionPlayerOnly) != 0;
    r.bListener = (m_wMyLevel & 0xFF) % 10 == kListenerGrade;
    r.bFullScreen = m_bFullScreen;
    r.szProduct = U16Of(m_szExeName);
    r.szPresetPath = settings.ReadString(SettingsKey::Program, u"AutoRecordPath", u"");
    r.szRecordFolder = U16Of(SaveFolder());
    r.nAutoKind = (s.dwOptions >> kRecordOptionAutoKindShift) & 3;
    r.wInterval = s.wAutoInterval;
    r.wLength = s.wAutoLength;
    r.nServerChoice = static_cast<uint8_t>(s.dwOptions & kRecordOptionServerMask);
    r.dwMinuteMs = m_dwRecordMinuteMs;
    return r;
}

uint32_t IConfDlg::ReadFilterIndex()
{
    return CRegistrySettings(m_szExeName).ReadDword(SettingsKey::Program, u"RecordFilterIndex", 0);
}

void IConfDlg::WriteFilterIndex(uint32_t nIndex)
{
    CRegistrySettings(m_szExeName).WriteDword(SettingsKey::Program, u"RecordFilterIndex", nIndex);
}

void IConfDlg::SendRecordState(bool bOn)
{
    // A played recording's room is not told: it is not there.
    if (m_pNet && m_room.InRoom() && !IsPlayerMode()) m_pNet->SendRecordState(bOn, m_wMyIndex);
}

void IConfDlg::SendListenerNotice()
{
    if (m_pNet && m_room.InRoom() && !IsPlayerMode()) m_pNet->SendCmd544();
}

S_LOCALMINUTE IConfDlg::LocalMinute()
{
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute};
}

void IConfDlg::SetRecordCheck(bool bChecked)
{
    if (m_pRoomCtrl) m_pRoomCtrl->SetRecordCheck(bChecked);
}

bool IConfDlg::AskRecordPath(const S_RECORDNAME& name, const std::u16string& szFilter, std::u16string& szPath,
                             uint32_t& nFilterIndex)
{
    if (!m_pRoomCtrl) return false;
    std::wstring szChosen;
    bool bOk = m_pRoomCtrl->AskRecordPath(WideOf(name.szName), WideOf(name.szFolder), WideOf(szFilter),
                                          szChosen, nFilterIndex);
    szPath = U16Of(szChosen);
    return bOk;
}

void IConfDlg::SetRecordTimer(int nId, bool bOn)
{
    if (m_pRoomCtrl) m_pRoomCtrl->SetRecordTimer(nId, bOn);
}

bool IConfDlg::Exists(const std::u16string& szPath)
{
    return ::GetFileAttributesW(WideOf(szPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IConfDlg::MakeFolder(const std::u16string& szPath)
{
    return ::CreateDirectoryW(WideOf(szPath).c_str(), nullptr) != FALSE;
}

void IConfDlg::OnServerRecordCommand()
{
    if (!m_pNet || IsPlayerMode() || !m_room.InRoom()) return;
    // The chief, or anyone when the room lets everyone record.
    if (!IsChief() && !m_room.RecordRight()) return;
    m_recordControl.OnServerRecordCommand();
}

void IConfDlg::StartServerMp4Record(const std::u16string& szTarget)
{
    m_recordControl.StartRecord(szTarget, RECORD_KIND_MP4);
}

void IConfDlg::StartChiefAutoRecord()
{
    if (IsChief()) m_recordControl.StartAutoRecord();
}
