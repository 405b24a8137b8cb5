// The layer's log: one process-wide sink pointer in front of core's formatter.
#include "comkit/ComLog.h"

#include <atomic>

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
    va_list args;
    va_start(args, format);
    VLogF(g_pSink.load(), nLevel, format, args);
    va_end(args);
}
