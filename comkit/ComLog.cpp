// The layer's log: one process-wide sink pointer in front of core's formatter.
#include "comkit/ComLog.h"

#include <atomic>
#include <cstdio>

namespace
{
std::atomic<ILogSink*> g_pSink{nullptr};
}

void ComKitSetLogSink(ILogSink* pSink)
{
    g_pSink.store(pSink);
}

void ComKitLog(int nLevel, const char* format, ...)
{
    ILogSink* pSink = g_pSink.load();
    if (!pSink || !format) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (n < 0) return;
    pSink->AddLog(nLevel, line);
}
