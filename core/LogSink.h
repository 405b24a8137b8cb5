// The session log as portable code sees it: levelled lines, written by whoever owns the log.
#pragma once
#include <cstdarg>
#include <string>

enum LogLevel : int
{
    LOG_DEBUG = 1,
    LOG_INFO = 2,
    LOG_ERROR = 4,
    LOG_ALWAYS = 65535, // written whatever the level mask, tagged as an error
};

class ILogSink
{
public:
    virtual ~ILogSink() = default;
    // Takes one line (UTF-8) at a level; may be called from any thread.
    virtual void AddLog(int nLevel, const std::string& text) = 0;
};

// printf-style front over a sink; a null sink drops the line.
void LogF(ILogSink* pSink, int nLevel, const char* format, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 3, 4)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;

// The same with a va_list, for other printf-style fronts.
void VLogF(ILogSink* pSink, int nLevel, const char* format, va_list args);
