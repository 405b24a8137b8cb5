// The log writer: any thread queues levelled lines, one worker thread writes them to one
// file a day and deletes old files when it starts. The operating system's side (time,
// the log folder, the 8-bit code page) comes in through ILogFolder.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "confclient/network/log/LogFormat.h"
#include "core/LogSink.h"

class ILogFolder
{
public:
    virtual ~ILogFolder() = default;
    // Local date and time now.
    virtual SLogTime LocalTime() = 0;
    // Names of the plain files in the log folder (no folders).
    virtual std::vector<std::u16string> ListFiles() = 0;
    virtual void RemoveFile(const std::u16string& name) = 0;
    // Opens the named file of the log folder for appending, creating the folder and the
    // file when missing and keeping what the file holds; closes any file open before.
    virtual bool Open(const std::u16string& name) = 0;
    // Appends to the open file.
    virtual bool Append(const std::string& bytes) = 0;
    virtual void Close() = 0;
    // The text in the system's 8-bit code page, cut to at most nMaxBytes.
    virtual std::string ToAnsi(std::u16string_view text, size_t nMaxBytes) = 0;
};

// One queued line: a fixed-size record, so that producers only copy and return.
struct SLogLine
{
    int nLevel = 0;
    char16_t szText[kLogTextUnits + 1] = {};
};

class CLogWriter
{
public:
    explicit CLogWriter(ILogFolder& folder) : m_folder(folder) {}
    ~CLogWriter();
    CLogWriter(const CLogWriter&) = delete;
    CLogWriter& operator=(const CLogWriter&) = delete;

    // Sets the file name stem and the level mask, makes this the process's writer and starts
    // the worker. 1, or 0 when the thread cannot be created.
    int Start(std::u16string_view program, std::string_view levels);
    void SetLevelMask(std::string_view levels) { m_dwMask = LevelMaskFromText(levels); }
    uint32_t LevelMask() const { return m_dwMask; }
    // Queues a line when its level is in the mask (1), else nothing (0). Longer texts are cut.
    int AddLine(int nLevel, std::u16string_view text);
    // The oldest queued line, or null.
    std::unique_ptr<SLogLine> PopLine();
    // Lets the worker take what is queued for up to 100 ms, then ends it; lines still
    // queued are dropped. The file is closed.
    void Stop();

    // The process's writer takes a line under the process lock, so that a writer being
    // destroyed is never used. False when there is none.
    static bool AddToProcessWriter(int nLevel, std::u16string_view text);
    static bool ProcessWriterWants(int nLevel);

private:
    void ThreadProc();
    void WriteLine(const SLogLine& line);
    void PurgeOldFiles();

    ILogFolder& m_folder;
    std::u16string m_szProgram;
    std::atomic<uint32_t> m_dwMask{0};
    std::mutex m_queueLock;
    std::condition_variable m_wake;
    std::deque<std::unique_ptr<SLogLine>> m_queue;
    bool m_bStop = false;
    std::thread m_thread;
    bool m_bFileOpen = false;
    SLogTime m_fileDate;
};

// The session's log front (the main dialog's AddLog): silent in player mode; level 65535
// means "always" and is written as ERROR. Portable code logs through it as an ILogSink.
class CSessionLog : public ILogSink
{
public:
    void SetPlayerMode(bool bPlayer) { m_bPlayer = bPlayer; }
    // Whether a line of this level would be written now, so that formatting can be skipped.
    bool Wants(int nLevel) const;
    void AddText(int nLevel, std::u16string_view text);
    void AddLog(int nLevel, const std::string& utf8) override;

private:
    std::atomic<bool> m_bPlayer{false};
};
