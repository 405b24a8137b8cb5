// printf-style formatting in front of a log sink.
#include "core/LogSink.h"

#include <cstdio>

void VLogF(ILogSink* pSink, int nLevel, const char* format, va_list args)
{
    if (!pSink || !format) return;
    char line[1024];
    int n = std::vsnprintf(line, sizeof line, format, args);
    if (n < 0) return;
    pSink->AddLog(nLevel, line); // a longer line is cut at the buffer, never dropped
}

void LogF(ILogSink* pSink, int nLevel, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    VLogF(pSink, nLevel, format, args);
    va_end(args);
}
