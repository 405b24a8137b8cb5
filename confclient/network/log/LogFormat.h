// The daily log's texts and rules: level names and mask, line and banner layout, file
// names, line ends, and which old log files the purge deletes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "confclient/network/registry/Settings.h"

struct SLogTime
{
    int nYear = 0, nMonth = 0, nDay = 0, nHour = 0, nMinute = 0, nSecond = 0, nMilli = 0;
};

// The longest line text, in UTF-16 units; longer texts are cut to it.
constexpr size_t kLogTextUnits = 1023;
// The longest line in the file's 8-bit text, before its line end.
constexpr size_t kLogAnsiBytes = 2048;
// Log files this many days old or older are deleted when the writer starts.
constexpr int kLogKeepDays = 31;

// "[DEBUG]   ", "[INFO]    ", "[ERROR]   ", or "[UNKNOWN] ": ten characters each.
std::u16string_view LevelTag(int nLevel);
// DEBUG adds 1, INFO 2, ERROR 4 (substrings, case-sensitive).
uint32_t LevelMaskFromText(std::string_view levels);
// The level text the writer starts with, from the program's "Log" setting: DEBUG on only
// when the setting is exactly "DEBUG" in any case.
std::string LogLevelsFromSettings(ISettings& settings);

// "[Y-MM-DD hh:mm:ss.mmm] <tag> text", cut to the line limit.
std::u16string FormatLogLine(const SLogTime& t, int nLevel, std::u16string_view text);
// The 8-bit banner written when a file is opened.
std::string LogBanner(const SLogTime& t);
// "<program>_YYYYMMDD.log".
std::u16string LogFileName(std::u16string_view program, const SLogTime& t);
// Ends a line with one CRLF: a final line feed becomes CRLF, otherwise CRLF is added.
void EndLogLine(std::string& line);

// Days since 0000-03-01 style civil count: only differences matter.
int64_t DaysFromCivil(int nYear, int nMonth, int nDay);
// Whether the purge deletes a log file of this name at local time now: its name without
// the extension ends in a date YYYYMMDD (within 30 years back) at least 31 days old.
bool IsExpiredLogFile(std::u16string_view fileName, const SLogTime& now);

std::u16string Utf8ToUtf16(std::string_view text);
