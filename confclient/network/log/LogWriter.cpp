// Log writer: queue, worker thread, daily file, purge, and the process-wide front.
#include "confclient/network/log/LogWriter.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>

namespace
{
// The process's one writer, taken and released under its lock.
std::mutex g_processLock;
CLogWriter* g_pProcessWriter = nullptr;
} // namespace

CLogWriter::~CLogWriter()
{
    {
        std::lock_guard<std::mutex> lock(g_processLock);
        if (g_pProcessWriter == this) g_pProcessWriter = nullptr;
    }
    Stop();
}

int CLogWriter::Start(std::u16string_view program, std::string_view levels)
{
    Stop();
    m_szProgram = program;
    SetLevelMask(levels);
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        m_bStop = false;
    }
    try
    {
        m_thread = std::thread(&CLogWriter::ThreadProc, this);
    }
    catch (const std::system_error&)
    {
        std::fputs("LOG-CLIENT CREATE LOG THREAD FAIL.\n", stdout);
        return 0;
    }
    std::lock_guard<std::mutex> lock(g_processLock);
    g_pProcessWriter = this;
    return 1;
}

int CLogWriter::AddLine(int nLevel, std::u16string_view text)
{
    if ((uint32_t(nLevel) & m_dwMask) == 0) return 0;
    auto line = std::make_unique<SLogLine>();
    line->nLevel = nLevel;
    size_t n = std::min(text.size(), kLogTextUnits);
    std::copy_n(text.begin(), n, line->szText);
    {
        std::lock_guard<std::mutex> lock(m_queueLock);
        m_queue.push_back(std::move(line));
    }
    m_wake.notify_all();
    return 1;
}

std::unique_ptr<SLogLine> CLogWriter::PopLine()
{
    std::lock_guard<std::mutex> lock(m_queueLock);
    if (m_queue.empty()) return nullptr;
    std::unique_ptr<SLogLine> line = std::move(m_queue.front());
    m_queue.pop_front();
    return line;
}

void CLogWriter::Stop()
{
    if (!m_thread.joinable()) return;
    {
        std::unique_lock<std::mutex> lock(m_queueLock);
        m_wake.wait_for(lock, std::chrono::milliseconds(100), [this] { return m_queue.empty(); });
        m_bStop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    std::lock_guard<std::mutex> lock(m_queueLock);
    m_queue.clear();
}

void CLogWriter::ThreadProc()
{
    PurgeOldFiles();
    for (;;)
    {
        std::unique_ptr<SLogLine> line;
        {
            std::unique_lock<std::mutex> lock(m_queueLock);
            m_wake.wait_for(lock, std::chrono::milliseconds(10),
                            [this] { return m_bStop || !m_queue.empty(); });
            if (m_bStop) break;
            if (m_queue.empty()) continue;
            line = std::move(m_queue.front());
            m_queue.pop_front();
            if (m_queue.empty()) m_wake.notify_all(); // Stop may be waiting for the queue to drain
        }
        WriteLine(*line);
    }
    if (m_bFileOpen) m_folder.Close();
    m_bFileOpen = false;
}

void CLogWriter::WriteLine(const SLogLine& line)
{
    SLogTime now = m_folder.LocalTime();
    std::u16string text = FormatLogLine(now, line.nLevel, line.szText);
    if (m_bFileOpen &&
        (now.nYear != m_fileDate.nYear || now.nMonth != m_fileDate.nMonth || now.nDay != m_fileDate.nDay))
    {
        m_folder.Close();
        m_bFileOpen = false;
    }
    if (!m_bFileOpen)
    {
        if (!m_folder.Open(LogFileName(m_szProgram, now))) return;
        m_bFileOpen = true;
        m_fileDate = now;
        m_folder.Append(LogBanner(now));
    }
    std::string bytes = m_folder.ToAnsi(text, kLogAnsiBytes);
    EndLogLine(bytes);
    m_folder.Append(bytes);
}

void CLogWriter::PurgeOldFiles()
{
    SLogTime now = m_folder.LocalTime();
    for (const std::u16string& name : m_folder.ListFiles())
        if (IsExpiredLogFile(name, now)) m_folder.RemoveFile(name);
}

bool CLogWriter::AddToProcessWriter(int nLevel, std::u16string_view text)
{
    std::lock_guard<std::mutex> lock(g_processLock);
    if (!g_pProcessWriter) return false;
    g_pProcessWriter->AddLine(nLevel, text);
    return true;
}

bool CLogWriter::ProcessWriterWants(int nLevel)
{
    std::lock_guard<std::mutex> lock(g_processLock);
    return g_pProcessWriter && (uint32_t(nLevel) & g_pProcessWriter->m_dwMask);
}

bool CSessionLog::Wants(int nLevel) const
{
    if (m_bPlayer) return false;
    return CLogWriter::ProcessWriterWants(nLevel == LOG_ALWAYS ? LOG_ERROR : nLevel);
}

void CSessionLog::AddText(int nLevel, std::u16string_view text)
{
    if (m_bPlayer) return;
    CLogWriter::AddToProcessWriter(nLevel == LOG_ALWAYS ? LOG_ERROR : nLevel, text);
}

void CSessionLog::AddLog(int nLevel, const std::string& utf8)
{
    if (!Wants(nLevel)) return;
    AddText(nLevel, Utf8ToUtf16(utf8));
}
