// The bar's recording: command, automatic start and its timers, start, stop and their texts.
#include "confclient/media/RecordControl.h"

#include "core/Utf8Text.h"

namespace
{
// The text with its "%s" replaced by the path.
std::u16string WithPath(std::u16string szText, const std::u16string& szPath)
{
    size_t nAt = szText.find(u"%s");
    if (nAt != std::u16string::npos) szText.replace(nAt, 2, szPath);
    return szText;
}

bool RunsUntilStopped(uint16_t wLength)
{
    return wLength == 0 || wLength == kRecordNoLimit;
}
} // namespace

S_RECORDNAMEINPUT CRecordControl::NameInput(const S_RECORDROOM& room, bool bAutomatic)
{
    S_RECORDNAMEINPUT in;
    in.bAutomatic = bAutomatic;
    in.szPresetPath = room.szPresetPath;
    in.szRecordFolder = room.szRecordFolder;
    in.szDefaultFolder = room.szDefaultFolder;
    in.bRvEdition = room.bRvEdition;
    in.nAutoKind = room.nAutoKind;
    in.nFilterIndex = bAutomatic ? 0 : m_host.ReadFilterIndex();
    in.now = m_host.LocalMinute();
    return in;
}

void CRecordControl::Notice(const std::u16string& szText, int nLevel)
{
    if (szText.empty()) return;
    m_notices.AddChatNotice(szText, NOTICE_KIND_NOTICE);
    LogF(m_pLog, nLevel, "[CMD_CONF_RECORD] %s", Utf8Of(szText).c_str());
}

void CRecordControl::OnRecordCommand()
{
    if (IsRecording())
    {
        StopRecord(RECORD_STOP_NORMAL);
        return;
    }
    const S_RECORDROOM room = m_host.RecordRoom();
    if (room.bBlocked)
    {
        m_view.SetRecordCheck(false);
        const std::u16string text = m_notices.Text("IDS_RECORD_NOTSTART");
        m_notices.AddChatNotice(text, NOTICE_KIND_NOTICE);
        LogF(m_pLog, LOG_INFO, "[CMD_CONF_RECORD] %s", Utf8Of(text).c_str());
        return;
    }
    const S_RECORDNAME name = MakeRecordFileName(NameInput(room, false), m_files);
    std::u16string szPath;
    uint32_t nFilterIndex = name.nFilterIndex;
    const bool bOk = m_view.AskRecordPath(
        name, RecordFilter(room.szProduct, room.bRvEdition, room.bPlayerOnly), szPath, nFilterIndex);
    m_host.WriteFilterIndex(nFilterIndex);
    if (!bOk || szPath.empty())
    {
        m_view.SetRecordCheck(false);
        return;
    }
    // A name typed without extension records as the chosen filter says, so file and kind agree.
    szPath = WithFilterExtension(szPath, nFilterIndex, room.bRvEdition);
    StartRecord(szPath, RecordKindOfPath(szPath));
}

bool CRecordControl::StartRecord(const std::u16string& szPath, int nKind)
{
    if (IsRecording()) return false;
    const S_RECORDROOM room = m_host.RecordRoom();
    m_view.SetRecordCheck(true);
    m_szRecordPath = szPath;
    if (!room.bFullScreen) m_view.SaveRoomPlacement();
    if (!m_engine.StartRecording(szPath, nKind))
    {
        // The engine also posts 4033 for a kind it has no recorder for: that one is this refusal's.
        if (nKind != RECORD_KIND_PLAYER) ++m_nRefusalsPosted;
        StopRecord(RECORD_STOP_FAILED);
        return false;
    }
    Notice(WithPath(m_notices.Text("IDS_RECORD_END_ST"), szPath), LOG_INFO);
    m_bRecordFlag = true;
    if (room.bListener && !room.bPlayback)
        m_host.SendListenerNotice();
    else
        m_host.SendRecordState(true);
    return true;
}

void CRecordControl::StopRecord(int nReason)
{
    const S_RECORDROOM room = m_host.RecordRoom();
    m_view.SetRecordTimer(RECORD_TIMER_LENGTH, false);
    const bool bStopped = !IsRecording() || m_engine.StopRecording(nReason);
    m_view.SetRecordCheck(false);
    if (m_bRecordFlag && !room.bListener) m_host.SendRecordState(false);
    m_bRecordFlag = false;

    const char* pszKey = nullptr;
    switch (nReason)
    {
    case RECORD_STOP_NORMAL:
        // A stop that failed says so: the file may be unusable.
        pszKey = bStopped ? "IDS_RECORD_END_SU" : "IDS_RECORD_END_FA";
        break;
    case RECORD_STOP_FAILED:
        pszKey = "IDS_RECORD_END_FA";
        break;
    case RECORD_STOP_SERVER_MP4:
        pszKey = "IDS_RECORD_END_SVRMP4";
        break;
    case RECORD_STOP_SIZE_LIMIT:
    {
        const std::u16string text = WithPath(m_notices.Text("IDS_RECORD_END_OF"), m_szRecordPath);
        LogF(m_pLog, LOG_ERROR, "[CMD_CONF_RECORD] %s", Utf8Of(text).c_str());
        if (!text.empty()) m_notices.ShowBox(text);
        break;
    }
    default:
        break;
    }
    if (pszKey)
    {
        const bool bSuccess = nReason == RECORD_STOP_NORMAL && bStopped;
        Notice(WithPath(m_notices.Text(pszKey), m_szRecordPath), bSuccess ? LOG_INFO : LOG_ERROR);
    }
}

void CRecordControl::StartAutoRecord()
{
    const S_RECORDROOM room = m_host.RecordRoom();
    if (IsRecording() || room.bPlayback) return;
    if (room.bBlocked)
    {
        m_view.SetRecordTimer(RECORD_TIMER_RETRY, true);
        return;
    }
    const S_RECORDNAME name = MakeRecordFileName(NameInput(room, true), m_files);
    const std::u16string szPath = name.Path();
    // A start that failed is not retried on the timer: it would fail, and say so, every second.
    if (StartRecord(szPath, RecordKindOfPath(szPath)) &&
        (room.wInterval == 0 || room.wInterval == kRecordIntervalOnce))
        StartRecordTimer();
}

void CRecordControl::StartRecordTimer()
{
    if (m_host.RecordRoom().bPlayback) return;
    m_dwTimerStart = m_host.TickCount();
    m_view.SetRecordTimer(RECORD_TIMER_LENGTH, true);
}

void CRecordControl::OnTimer(int nId)
{
    const S_RECORDROOM room = m_host.RecordRoom();
    if (nId == RECORD_TIMER_RETRY)
    {
        if (room.bBlocked) return;
        m_view.SetRecordTimer(RECORD_TIMER_RETRY, false);
        StartAutoRecord();
        return;
    }
    if (nId != RECORD_TIMER_LENGTH) return;
    const uint64_t nElapsed = static_cast<uint32_t>(m_host.TickCount() - m_dwTimerStart);
    if (!IsRecording())
    {
        if (nElapsed < uint64_t(room.wInterval) * room.dwMinuteMs) return;
        if (RunsUntilStopped(room.wLength)) m_view.SetRecordTimer(RECORD_TIMER_LENGTH, false);
        StartAutoRecord();
        m_dwTimerStart = m_host.TickCount();
        return;
    }
    if (RunsUntilStopped(room.wLength) || nElapsed < uint64_t(room.wLength) * room.dwMinuteMs) return;
    StopRecord(RECORD_STOP_NORMAL);
    // The interval counts from the end of this recording: the next one starts when it has passed.
    StartRecordTimer();
}

void CRecordControl::OnEngineStatus(int nStatus)
{
    if (nStatus == RECORD_STOP_FAILED && m_nRefusalsPosted > 0)
    {
        --m_nRefusalsPosted;
        return;
    }
    if (!IsRecording() && !m_bRecordFlag) return;
    if (nStatus == RECORD_STOP_FAILED || nStatus == RECORD_STOP_SIZE_LIMIT) StopRecord(nStatus);
}

void CRecordControl::OnServerRecordCommand()
{
    const S_RECORDROOM room = m_host.RecordRoom();
    const uint8_t nChoice = room.nServerChoice & 0xF;
    if (nChoice == 0 || nChoice > 3) return;
    if (nChoice != 1 && m_engine.RecordState() >= 2)
    {
        StopRecord(RECORD_STOP_NORMAL);
        return;
    }
    if (IsRecording()) return;
    // A name from the minute in the record folder, of the kind the choice asks for.
    S_RECORDNAMEINPUT in = NameInput(room, false);
    in.nFilterIndex = nChoice == 2 ? RECORD_FILTER_MP4 : RECORD_FILTER_PLAYER;
    const S_RECORDNAME name = MakeRecordFileName(in, m_files);
    StartRecord(name.Path(), nChoice == 2 ? RECORD_KIND_MP4 : RECORD_KIND_PLAYER);
}

void CRecordControl::OnRoomLeaving()
{
    m_view.SetRecordTimer(RECORD_TIMER_RETRY, false);
    m_view.SetRecordTimer(RECORD_TIMER_LENGTH, false);
    if (IsRecording()) StopRecord(RECORD_STOP_NORMAL);
}
