// The log writer over an in-memory folder: levels, line layout, line ends, the daily file
// and its banner, the purge, the session front, and a writer destroyed while lines arrive.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "confclient/network/log/LogWriter.h"

namespace
{
class MemoryFolder : public ILogFolder
{
public:
    SLogTime LocalTime() override
    {
        std::lock_guard<std::mutex> lock(m);
        return now;
    }
    std::vector<std::u16string> ListFiles() override
    {
        std::lock_guard<std::mutex> lock(m);
        std::vector<std::u16string> names;
        for (const auto& f : files)
            names.push_back(f.first);
        return names;
    }
    void RemoveFile(const std::u16string& name) override
    {
        std::lock_guard<std::mutex> lock(m);
        files.erase(name);
    }
    bool Open(const std::u16string& name) override
    {
        std::lock_guard<std::mutex> lock(m);
        open = name;
        files[name];
        return true;
    }
    bool Append(const std::string& bytes) override
    {
        std::lock_guard<std::mutex> lock(m);
        files[open] += bytes;
        return true;
    }
    void Close() override {}
    std::string ToAnsi(std::u16string_view text, size_t nMax) override
    {
        std::string s;
        for (char16_t c : text)
            s.push_back(c < 0x80 ? char(c) : '?');
        if (s.size() > nMax) s.resize(nMax);
        return s;
    }

    void SetTime(const SLogTime& t)
    {
        std::lock_guard<std::mutex> lock(m);
        now = t;
    }
    std::string File(const std::u16string& name)
    {
        std::lock_guard<std::mutex> lock(m);
        auto it = files.find(name);
        return it == files.end() ? std::string() : it->second;
    }
    // Waits until the named file holds the text (the worker writes on its own thread).
    bool WaitFor(const std::u16string& name, const std::string& text)
    {
        for (int i = 0; i < 2000; ++i)
        {
            if (File(name).find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    std::mutex m;
    SLogTime now{2026, 12, 10, 9, 5, 7, 42};
    std::map<std::u16string, std::string> files;
    std::u16string open;
};

const std::u16string kToday = u"Quillon_20261210.log";
} // namespace

TEST(LogRules, LevelMaskAndTheLogSetting)
{
    struct
    {
        const char* text;
        uint32_t mask;
    } masks[] = {{"INFO|ERROR", 6}, {"INFO|ERROR|DEBUG", 7}, {"DEBUG", 1}, {"debug", 0}, {"", 0},
                 {"ERRORS", 4}};
    for (auto c : masks)
        EXPECT_EQ(c.mask, LevelMaskFromText(c.text)) << c.text;

    struct
    {
        const char16_t* stored; // null: no value
        const char* levels;
    } settings[] = {
        {nullptr, "INFO|ERROR"},        {u"debug", "INFO|ERROR|DEBUG"},      {u"Debug", "INFO|ERROR|DEBUG"},
        {u"DEBUG", "INFO|ERROR|DEBUG"}, {u"INFO|ERROR|DEBUG", "INFO|ERROR"}, {u"ERROR", "INFO|ERROR"}};
    for (auto c : settings)
    {
        CMapSettings map;
        if (c.stored) map.WriteString(SettingsKey::Program, u"Log", c.stored);
        EXPECT_EQ(c.levels, LogLevelsFromSettings(map));
    }
}

TEST(LogRules, LineLayoutAndEnds)
{
    SLogTime t{2026, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(u"[2026-03-04 05:06:07.008] [INFO]     hello", FormatLogLine(t, 2, u"hello"));
    EXPECT_EQ(u"[2026-03-04 05:06:07.008] [UNKNOWN]  x", FormatLogLine(t, 3, u"x"));
    EXPECT_EQ(kLogTextUnits, FormatLogLine(t, 4, std::u16string(5000, u'z')).size());
    EXPECT_EQ("\r\n===================== LOG START [2026-03-04 05.06.07.008] =====================\r\n",
              LogBanner(t));
    EXPECT_EQ(u"Quillon_20260304.log", LogFileName(u"Quillon", t));

    struct
    {
        std::string in, out;
    } ends[] = {{"a", "a\r\n"}, {"a\n", "a\r\n"}, {"", "\r\n"}, {"a\n\n", "a\n\r\n"}};
    for (auto c : ends)
    {
        std::string s = c.in;
        EndLogLine(s);
        EXPECT_EQ(c.out, s);
    }
}

TEST(LogRules, WhichFilesThePurgeDeletes)
{
    SLogTime now{2026, 12, 10, 0, 0, 1, 0};
    struct
    {
        const char16_t* name;
        bool bDelete;
    } cases[] = {
        {u"Quillon_20261031.log", true},  // 40 days
        {u"Quillon_20261109.log", true},  // 31 days
        {u"Quillon_20261110.log", false}, // 30 days
        {u"Quillon_20261210.log", false}, // today
        {u"Quillon_20271210.log", false}, // a date to come
        {u"20261031", true},
        {u"notes.txt", false},
        {u"x.log", false}, // shorter than a date
        {u".log", false},
        {u"Quillon_20261331.log", false},
        {u"Quillon_20261100.log", false},
        {u"Quillon_20261132.log", false},
        {u"Quillon_18991231.log", false},
        {u"Quillon_19900101.log", false}, // more than 30 years back
        {u"Quillon_2026a101.log", true},  // non-digits read as 0: 2026-01-01
    };
    for (auto c : cases)
        EXPECT_EQ(c.bDelete, IsExpiredLogFile(c.name, now))
            << std::string(c.name, c.name + std::char_traits<char16_t>::length(c.name));
}

TEST(LogWriter, WritesQueuedLinesToTodaysFileAfterTheBanner)
{
    MemoryFolder folder;
    CLogWriter writer(folder);
    ASSERT_EQ(1, writer.Start(u"Quillon", "INFO|ERROR"));
    EXPECT_EQ(0, writer.AddLine(LOG_DEBUG, u"not wanted"));
    EXPECT_EQ(1, writer.AddLine(LOG_INFO, u"first"));
    EXPECT_EQ(1, writer.AddLine(LOG_ERROR, u"ends in a line feed\n"));
    EXPECT_EQ(1, writer.AddLine(LOG_INFO, std::u16string(3000, u'L')));
    EXPECT_EQ(1, writer.AddLine(LOG_INFO, u"last"));
    ASSERT_TRUE(folder.WaitFor(kToday, "last"));
    writer.Stop();

    std::string expected = LogBanner(folder.now) + "[2026-12-10 09:05:07.042] [INFO]     first\r\n" +
                           "[2026-12-10 09:05:07.042] [ERROR]    ends in a line feed\r\n" +
                           "[2026-12-10 09:05:07.042] [INFO]     " + std::string(kLogTextUnits - 37, 'L') +
                           "\r\n" + "[2026-12-10 09:05:07.042] [INFO]     last\r\n";
    EXPECT_EQ(expected, folder.File(kToday));
}

TEST(LogWriter, FirstLineAfterMidnightStartsTheNextDaysFile)
{
    MemoryFolder folder;
    folder.SetTime({2026, 12, 31, 23, 59, 59, 900});
    CLogWriter writer(folder);
    ASSERT_EQ(1, writer.Start(u"Quillon", "INFO|ERROR"));
    writer.AddLine(LOG_INFO, u"old year");
    ASSERT_TRUE(folder.WaitFor(u"Quillon_20261231.log", "old year"));
    folder.SetTime({2027, 1, 1, 0, 0, 0, 10});
    writer.AddLine(LOG_INFO, u"new year");
    ASSERT_TRUE(folder.WaitFor(u"Quillon_20270101.log", "new year"));
    writer.Stop();
    EXPECT_EQ(0u, folder.File(u"Quillon_20270101.log")
                      .find("\r\n===================== LOG START [2027-01-01 00.00.00.010]"));
    EXPECT_EQ(std::string::npos, folder.File(u"Quillon_20261231.log").find("new year"));
}

TEST(LogWriter, StartDeletesOnlyExpiredFiles)
{
    MemoryFolder folder;
    for (const char16_t* name : {u"Quillon_20261031.log", u"Quillon_20261110.log", u"notes.txt", u"x.log"})
        folder.files[name] = "old";
    CLogWriter writer(folder);
    ASSERT_EQ(1, writer.Start(u"Quillon", "INFO|ERROR"));
    writer.AddLine(LOG_INFO, u"up");
    ASSERT_TRUE(folder.WaitFor(kToday, "up"));
    writer.Stop();
    std::vector<std::u16string> names = folder.ListFiles();
    EXPECT_EQ((std::vector<std::u16string>{u"Quillon_20261110.log", kToday, u"notes.txt", u"x.log"}), names);
}

TEST(SessionLog, PlayerModeAlwaysLevelAndNoWriter)
{
    CSessionLog log;
    EXPECT_FALSE(log.Wants(LOG_ERROR)); // no writer yet
    log.AddLog(LOG_ERROR, "dropped, no writer");

    MemoryFolder folder;
    {
        CLogWriter writer(folder);
        ASSERT_EQ(1, writer.Start(u"Quillon", "INFO|ERROR"));
        EXPECT_FALSE(log.Wants(LOG_DEBUG));
        EXPECT_TRUE(log.Wants(LOG_ALWAYS));
        log.SetPlayerMode(true);
        log.AddLog(LOG_ALWAYS, "[PLAYER] silent");
        EXPECT_FALSE(log.Wants(LOG_ERROR));
        log.SetPlayerMode(false);
        log.AddLog(LOG_DEBUG, "[DEBUG] not wanted");
        log.AddLog(LOG_ALWAYS, "[ALWAYS] caf\xc3\xa9");
        ASSERT_TRUE(folder.WaitFor(kToday, "[ALWAYS]"));
    }
    std::string file = folder.File(kToday);
    EXPECT_NE(std::string::npos, file.find("] [ERROR]    [ALWAYS] caf?\r\n"));
    EXPECT_EQ(std::string::npos, file.find("PLAYER"));
    EXPECT_EQ(std::string::npos, file.find("not wanted"));
    EXPECT_EQ(std::string::npos, file.find("no writer"));
    EXPECT_FALSE(log.Wants(LOG_ERROR)); // the writer is gone
}

TEST(SessionLog, LinesWhileTheWriterIsDestroyed)
{
    CSessionLog log;
    MemoryFolder folder;
    std::atomic<bool> bDone{false};
    std::vector<std::thread> producers;
    for (int i = 0; i < 3; ++i)
        producers.emplace_back(
            [&]
            {
                while (!bDone)
                    log.AddLog(LOG_INFO, "[TEST] line");
            });
    for (int round = 0; round < 20; ++round)
    {
        CLogWriter writer(folder);
        writer.Start(u"Quillon", "INFO|ERROR");
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    bDone = true;
    for (auto& t : producers)
        t.join();
    EXPECT_NE(std::string::npos, folder.File(kToday).find("[TEST] line"));
}
