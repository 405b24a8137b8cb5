// Recorder engine: recording under one lock, playback under another, ticks from the play timer.
#include "confclient/network/record/Record.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <system_error>
#include <utility>

#include "confclient/network/QNCommands.h"

namespace fs = std::filesystem;

namespace
{
bool IsEmbeddedCommand(uint16_t c)
{
    return c == REC_AGENDA_FILE || c == REC_SKIN_FILE || c == REC_MEETING_NAME;
}

std::string Narrow(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s)
        out.push_back(c < 0x80 ? char(c) : '?');
    return out;
}

bool ReadWholeFile(const fs::path& path, std::vector<uint8_t>& out)
{
    CBinFile file;
    if (!file.Open(path, CBinFile::Mode::Read)) return false;
    uint64_t nSize = file.Size();
    if (nSize > kRecordSizeLimit) return false;
    out.resize(static_cast<size_t>(nSize));
    return file.ReadAll(out.data(), out.size());
}

bool WriteWholeFile(const fs::path& path, std::span<const uint8_t> data)
{
    CBinFile file;
    return file.Open(path, CBinFile::Mode::Create) && file.Write(data.data(), data.size()) && file.Flush();
}
} // namespace

CRecord::CRecord(IRecordOwner& owner, ILogSink* pLog, IPlayTimer* pTimer, uint64_t nSizeLimit)
    : m_owner(owner), m_timer(pTimer ? *pTimer : m_playbackThread), m_pLog(pLog), m_writer(nSizeLimit)
{
}

CRecord::~CRecord()
{
    m_timer.Stop();
}

// ---- recording ----

int CRecord::StartRecord(const fs::path& path, int nMode)
{
    if (nMode != 0)
    {
        // The screen recorders come with the video subsystem; no file is made meanwhile.
        const char* pszRecorder = nMode == 1   ? "the Windows Media screen recorder"
                                  : nMode == 2 ? "the MP4 recorder"
                                               : "a recorder of this kind";
        LogF(m_pLog, LOG_ERROR, "[RECORD] mode %d cannot start: %s is not available", nMode, pszRecorder);
        OnRecordStatus(REC_ERROR);
        return 0;
    }
    {
        std::lock_guard<std::mutex> lock(m_recordLock);
        if (m_bRecording) return 0;
        std::error_code ec;
        fs::path indexFolder = m_owner.TempFolder() / "QNRecordIndex";
        fs::create_directories(indexFolder, ec);
        if (!m_writer.Open(path, indexFolder / "QNRecordIndexFile", m_owner.WallClock()))
        {
            LogF(m_pLog, LOG_ERROR, "[RECORD] cannot create the recording or its index file");
            return 0;
        }
        m_dwRecordStartTick = m_owner.TickCount();
        m_bRecording = true;
        m_bStatusSent = false;
        m_bWriterReady = false; // records of other threads wait out the embedding
    }
    EmbedFiles();
    std::lock_guard<std::mutex> lock(m_recordLock);
    m_bWriterReady = true;
    return 1;
}

void CRecord::EmbedFile(uint16_t wCommand, const fs::path& file)
{
    std::u16string name;
    try
    {
        name = file.filename().u16string();
    }
    catch (const std::exception&)
    {
        name.clear(); // a name the system cannot give as UTF-16
    }
    if (!IsSafeEmbeddedName(name))
    {
        LogF(m_pLog, LOG_ERROR, "[RECORD] file not embedded, its name cannot be kept: %s",
             Narrow(name).c_str());
        return;
    }
    std::vector<uint8_t> data;
    if (!ReadWholeFile(file, data))
    {
        LogF(m_pLog, LOG_ERROR, "[RECORD] file not embedded, it cannot be read: %s", Narrow(name).c_str());
        return;
    }
    std::lock_guard<std::mutex> lock(m_recordLock);
    if (!m_bRecording) return;
    if (m_writer.AppendEmbedded(wCommand, BuildEmbeddedName(name), data) && wCommand == REC_SKIN_FILE)
        m_writer.CountSkinFile();
}

void CRecord::EmbedFiles()
{
    std::error_code ec;
    std::u16string agendaSub = m_owner.AgendaSubFolder();
    if (!agendaSub.empty())
    {
        fs::path agenda = m_owner.TempFolder() / "LMBoard" / "Agenda" / fs::path(agendaSub);
        for (fs::directory_iterator it(agenda, ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec)) EmbedFile(REC_AGENDA_FILE, it->path());
    }
    ec.clear();
    for (fs::directory_iterator it(m_owner.SkinBaseFolder() / "skin", ec), end; !ec && it != end;
         it.increment(ec))
        if (it->is_regular_file(ec) && it->path().filename() != "Thumbs.db")
            EmbedFile(REC_SKIN_FILE, it->path());

    std::u16string meeting = m_owner.MeetingName();
    if (!meeting.empty())
    {
        std::lock_guard<std::mutex> lock(m_recordLock);
        if (m_bRecording) m_writer.AppendEmbedded(REC_MEETING_NAME, BuildMeetingName(meeting), {});
    }
}

int CRecord::WriteLocked(const uint8_t* pPayload, int32_t nLen, uint16_t wCommand, bool bKeyFrame)
{
    if (!m_bRecording || nLen < 0) return REC_ERROR;
    if (!m_bWriterReady) return REC_SUCCESS;
    uint32_t dwTime = RecordElapsed(m_owner.TickCount(), m_dwRecordStartTick);
    return m_writer.Append(dwTime, wCommand, pPayload, static_cast<size_t>(nLen), bKeyFrame);
}

int CRecord::WriteRecord(const uint8_t* pPayload, int32_t nLen, uint16_t wCommand, bool bKeyFrame)
{
    std::lock_guard<std::mutex> lock(m_recordLock);
    return WriteLocked(pPayload, nLen, wCommand, bKeyFrame);
}

void CRecord::RecordPacket(uint16_t wCommand, const uint8_t* pPayload, size_t nLen, bool bKeyFrame)
{
    if (!IsRecordableCommand(wCommand) || nLen > 0x7FFFFFFF) return;
    int nStatus;
    {
        std::lock_guard<std::mutex> lock(m_recordLock);
        if (!m_bRecording) return;
        nStatus = WriteLocked(pPayload, static_cast<int32_t>(nLen), wCommand, bKeyFrame);
        if (nStatus == REC_SUCCESS || m_bStatusSent) return;
        m_bStatusSent = true;
    }
    OnRecordStatus(nStatus);
}

bool CRecord::StopRecord(int nReason)
{
    std::lock_guard<std::mutex> lock(m_recordLock);
    if (!m_bRecording) return true;
    m_bRecording = false;
    uint32_t dwTime = RecordElapsed(m_owner.TickCount(), m_dwRecordStartTick);
    if (m_writer.Close(dwTime, m_owner.WallClock(), nReason == REC_SUCCESS)) return true;
    LogF(m_pLog, LOG_ERROR, "[RECORD] the recording could not be completed");
    return false;
}

int CRecord::GetRecordState() const
{
    std::lock_guard<std::mutex> lock(m_recordLock);
    return m_bRecording ? 1 : 0;
}

// ---- playback ----

uint32_t CRecord::PlayPeriod(double dSpeed)
{
    if (!(dSpeed > 0)) dSpeed = 1;
    double dPeriod = 40.0 / dSpeed;
    if (dPeriod < 1) return 1;
    if (dPeriod > 1000) return 1000;
    return static_cast<uint32_t>(dPeriod);
}

uint32_t CRecord::ClockAt(uint32_t dwTick) const
{
    if (m_bPaused) return m_dwPlayBase;
    double dElapsed = RecordElapsed(dwTick, m_dwStartTick) * m_dSpeed;
    double dTime = m_dwPlayBase + dElapsed;
    return dTime >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(dTime);
}

uint32_t CRecord::PlayTime() const
{
    std::lock_guard<std::mutex> lock(m_playLock);
    return ClockAt(m_owner.TickCount());
}

bool CRecord::IsPlaying() const
{
    std::lock_guard<std::mutex> lock(m_playLock);
    return m_bPlaying;
}

bool CRecord::IsPaused() const
{
    std::lock_guard<std::mutex> lock(m_playLock);
    return m_bPaused;
}

std::u16string CRecord::PlayedMeetingName() const
{
    std::lock_guard<std::mutex> lock(m_playLock);
    return m_szPlayedMeeting;
}

std::u16string CRecord::PlayedAgendaTitle() const
{
    std::lock_guard<std::mutex> lock(m_playLock);
    return m_szAgendaTitle;
}

fs::path CRecord::PlaySkinFolder() const
{
    std::lock_guard<std::mutex> lock(m_playLock);
    return m_playSkinFolder;
}

bool CRecord::IsOldRecording() const
{
    std::lock_guard<std::mutex> lock(m_playLock);
    return m_reader.IsOpen() && m_reader.Header().wVersion < kOldRecordingBelow;
}

int CRecord::OpenPlayFile(const fs::path& path)
{
    if (path.empty()) return 0;
    StopPlay(true);
    SRecordHeader header;
    {
        std::lock_guard<std::mutex> lock(m_playLock);
        int nOpen = m_reader.Open(path);
        if (nOpen != 1)
        {
            LogF(m_pLog, LOG_ERROR, "[PLAY] cannot play the file: %d", nOpen);
            OnRecordStatus(nOpen);
            return nOpen;
        }
        header = m_reader.Header();
        m_szPlayedMeeting.clear();
        m_szAgendaTitle.clear();
        m_playSkinFolder = m_owner.SkinBaseFolder() / "skinplay";
    }
    OnPlayFileInfo(header.dwStartTime, header.dwEndTime);
    return StartPlay(true);
}

int CRecord::WriteOutEmbedded()
{
    const SRecordHeader& h = m_reader.Header();
    std::error_code ec;
    fs::path agenda = m_owner.TempFolder() / "LMBoard" / "Agenda" / fs::path(m_owner.AgendaSubFolder());
    bool bWriteSkins = h.wVersion > 5380 && h.wSkinCount != 0;
    if (bWriteSkins) fs::create_directories(m_playSkinFolder, ec);
    bool bFirstAgenda = true;
    std::vector<uint8_t> payload;
    for (;;)
    {
        uint64_t nPos = m_reader.Position();
        SRecordHead head;
        CRecordFileReader::Next next = m_reader.ReadHead(head);
        if (next == CRecordFileReader::Next::Record && !IsEmbeddedCommand(head.wCommand))
        {
            m_reader.SeekTo(nPos);
            return 1;
        }
        if (next == CRecordFileReader::Next::End || next == CRecordFileReader::Next::Closing) return 1;
        if (next == CRecordFileReader::Next::Broken || !m_reader.ReadPayload(payload, head.dwLength))
            return REC_ERROR;

        if (head.wCommand == REC_MEETING_NAME)
        {
            m_szPlayedMeeting = ParseMeetingName(h.wVersion, payload);
            std::u16string open = m_owner.MeetingName();
            if (ChecksMeetingName(h.wVersion, h.wExtra) && !open.empty() && open != m_szPlayedMeeting)
                return REC_OTHER_MEETING;
            continue;
        }
        std::optional<SEmbeddedFile> file = ParseEmbeddedFile(head.wCommand, h.wVersion, payload);
        if (!file) return REC_ERROR; // shorter than its own name field
        if (head.wCommand == REC_SKIN_FILE && !bWriteSkins) continue;
        if (!IsSafeEmbeddedName(file->szName))
        {
            LogF(m_pLog, LOG_ERROR, "[PLAY] embedded file skipped, unsafe name: %s",
                 Narrow(file->szName).c_str());
            continue;
        }
        fs::path folder = head.wCommand == REC_AGENDA_FILE ? agenda : m_playSkinFolder;
        if (head.wCommand == REC_AGENDA_FILE)
        {
            fs::create_directories(folder, ec);
            if (bFirstAgenda)
                m_szAgendaTitle =
                    file->szName.substr(0, file->szName.size() > 4 ? file->szName.size() - 4 : 0);
            bFirstAgenda = false;
        }
        std::span<const uint8_t> data(payload.data() + file->nDataOffset, payload.size() - file->nDataOffset);
        if (!WriteWholeFile(folder / fs::path(file->szName), data))
            LogF(m_pLog, LOG_ERROR, "[PLAY] embedded file could not be written: %s",
                 Narrow(file->szName).c_str());
    }
}

CRecord::PlayResult CRecord::PlayUpTo(uint32_t dwTime)
{
    std::vector<uint8_t> payload;
    for (;;)
    {
        if (!m_bHaveHead)
        {
            m_nHeadPos = m_reader.Position();
            CRecordFileReader::Next next = m_reader.ReadHead(m_head);
            if (next == CRecordFileReader::Next::Closing)
                return m_head.dwTime > dwTime ? PlayResult::Running : PlayResult::Ended;
            if (next == CRecordFileReader::Next::End) return PlayResult::Ended;
            if (next == CRecordFileReader::Next::Broken) return PlayResult::Broken;
            m_bHaveHead = true;
        }
        if (m_head.dwTime > dwTime) return PlayResult::Running;
        m_bHaveHead = false;
        if (IsEmbeddedCommand(m_head.wCommand))
        {
            if (!m_reader.SkipPayload(m_head.dwLength)) return PlayResult::Broken;
            continue;
        }
        if (!m_reader.ReadPayload(payload, m_head.dwLength)) return PlayResult::Broken;
        PlayPacket(m_head.wCommand, payload.data(), payload.size(), false, static_cast<uint32_t>(m_nHeadPos));
    }
}

int CRecord::StartPlay(bool bFromBeginning)
{
    m_timer.Stop();
    int nStatus = 0;
    {
        std::lock_guard<std::mutex> lock(m_playLock);
        if (!m_reader.IsOpen()) return REC_ERROR;
        uint32_t dwNow = m_owner.TickCount();
        if (bFromBeginning)
        {
            m_bHaveHead = false;
            m_reader.SeekTo(m_reader.RecordsBegin());
            nStatus = WriteOutEmbedded();
            m_dwPlayBase = 0;
        }
        else if (!m_bPaused)
            m_dwPlayBase = ClockAt(dwNow);
        if (nStatus == 1 || !bFromBeginning)
        {
            m_bPlaying = true;
            m_bPaused = false;
            m_dwStartTick = dwNow;
            m_dSpeed = m_owner.PlaySpeed();
            if (!(m_dSpeed > 0)) m_dSpeed = 1;
            PlayResult r = PlayUpTo(m_dwPlayBase);
            nStatus = r == PlayResult::Running ? 1 : r == PlayResult::Ended ? REC_PLAY_END : REC_PLAY_BROKEN;
            if (nStatus != 1) m_bPlaying = false;
        }
    }
    if (nStatus == REC_ERROR || nStatus == REC_OTHER_MEETING) StopPlay(true);
    if (nStatus != 1)
    {
        OnRecordStatus(nStatus);
        return nStatus;
    }
    StartTicks();
    return 1;
}

void CRecord::StartTicks()
{
    double dSpeed;
    {
        std::lock_guard<std::mutex> lock(m_playLock);
        dSpeed = m_dSpeed;
    }
    m_timer.Start(PlayPeriod(dSpeed), [this] { return OnTick(); });
}

bool CRecord::OnTick()
{
    PlayResult r;
    {
        std::lock_guard<std::mutex> lock(m_playLock);
        if (!m_bPlaying || m_bPaused) return false;
        uint32_t dwTime = ClockAt(m_owner.TickCount());
        m_owner.OnPlayClock(dwTime);
        r = PlayUpTo(dwTime);
        if (r == PlayResult::Running) return true;
        m_bPlaying = false;
    }
    OnRecordStatus(r == PlayResult::Ended ? REC_PLAY_END : REC_PLAY_BROKEN);
    return false;
}

void CRecord::PausePlay(bool bPause)
{
    if (bPause)
    {
        {
            std::lock_guard<std::mutex> lock(m_playLock);
            if (!m_bPlaying || m_bPaused) return;
            m_dwPlayBase = ClockAt(m_owner.TickCount());
            m_bPaused = true;
        }
        m_timer.Stop();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_playLock);
        if (!m_bPaused) return;
    }
    StartPlay(false);
}

void CRecord::ReplayMediaFrom(uint64_t nFrom, uint32_t dwTarget, bool bKeyFrame)
{
    std::vector<uint8_t> payload;
    m_reader.SeekTo(nFrom);
    for (;;)
    {
        uint64_t nPos = m_reader.Position();
        SRecordHead head;
        if (m_reader.ReadHead(head) != CRecordFileReader::Next::Record) break;
        if (head.dwTime >= dwTarget)
        {
            m_head = head;
            m_nHeadPos = nPos;
            m_bHaveHead = true;
            return;
        }
        bool bMedia = bKeyFrame && IsMediaCommand(head.wCommand);
        if (!bMedia)
        {
            if (!m_reader.SkipPayload(head.dwLength)) break;
            continue;
        }
        if (!m_reader.ReadPayload(payload, head.dwLength)) break;
        uint32_t dwKey =
            FindIndexEntry(head.wCommand, IndexSubOf(head.wCommand, payload.data(), payload.size()));
        if (dwKey != 0xFFFFFFFFu && nPos >= dwKey)
            PlayPacket(head.wCommand, payload.data(), payload.size(), true, static_cast<uint32_t>(nPos));
    }
    m_bHaveHead = false; // the end or a broken record: the next tick reports it
}

void CRecord::SeekPlay(bool bKeyFrame, uint32_t nSeconds)
{
    std::lock_guard<std::mutex> lock(m_playLock);
    if (!m_reader.IsOpen()) return;
    uint32_t dwTarget = nSeconds > 0xFFFFFFFFu / 1000 ? 0xFFFFFFFFu : nSeconds * 1000;
    std::vector<uint8_t> payload;
    uint64_t nScanFrom = m_reader.RecordsBegin();
    // A recording without an index of its own was indexed when it was opened.
    std::set<std::pair<uint16_t, uint16_t>> channels;
    for (const SIndexEntry& e : m_reader.IndexBefore(dwTarget))
    {
        if (e.wCommand == REC_TERMINATOR) break;
        nScanFrom = e.dwPosition;
        if (IsMediaCommand(e.wCommand))
        {
            AddIndexEntry(e.wSub, e.dwPosition, e.wCommand);
            channels.insert({e.wCommand, e.wSub});
        }
        // Sound (voice, a shared movie's audio) only makes sense live: a seek never replays it.
        else if (!IsEmbeddedCommand(e.wCommand) && !IsSoundCommand(e.wCommand) &&
                 m_reader.ReadRecordAt(e.dwPosition, e.wCommand, payload))
            PlayPacket(e.wCommand, payload.data(), payload.size(), true, e.dwPosition);
    }
    if (bKeyFrame)
        for (const auto& [wCommand, wSub] : channels)
        {
            uint32_t dwKey = FindIndexEntry(wCommand, wSub);
            if (dwKey != 0xFFFFFFFFu) nScanFrom = std::min<uint64_t>(nScanFrom, dwKey);
        }
    ReplayMediaFrom(nScanFrom, dwTarget, bKeyFrame && !channels.empty());
    m_dwPlayBase = dwTarget;
    m_dwStartTick = m_owner.TickCount();
}

void CRecord::StopPlay(bool bClose)
{
    {
        std::lock_guard<std::mutex> lock(m_playLock);
        m_bPlaying = false;
        m_bPaused = false;
    }
    m_timer.Stop();
    if (!bClose) return;
    std::lock_guard<std::mutex> lock(m_playLock);
    m_reader.Close();
    m_bHaveHead = false;
}
