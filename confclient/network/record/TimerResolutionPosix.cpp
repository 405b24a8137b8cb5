// POSIX timed waits already end within microseconds of their deadline: nothing to raise.
#include "confclient/network/record/TimerResolution.h"

CFineTimerScope::CFineTimerScope() = default;

CFineTimerScope::~CFineTimerScope() = default;
