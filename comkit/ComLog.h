// Where failures at the COM edge are written: the owner of the process's log installs its sink.
#pragma once
#include "core/LogSink.h"

// Sets the sink that receives the layer's failure lines; null drops them. Any thread.
void ComKitSetLogSink(ILogSink* pSink);

// Writes one line to the installed sink, if any.
void ComKitLog(int nLevel, const char* format, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 2, 3)))
#endif
    ;
