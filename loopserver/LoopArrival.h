// Reading with the time the bytes reached the server's socket, for benchmarks that measure a
// sender's pace at the server: the loop's own clock would stamp a frame when the loop got to it,
// and a loop that falls behind under load bunches frames that arrived apart.
#pragma once
#include <cstddef>
#include <cstdint>

#include "confclient/network/transport/NetPlatform.h"

// Reads up to n bytes as NetRecv does. *pArrivalUs: when the last byte read arrived, in
// microseconds of the system clock (the kernel's receive stamp where the platform keeps one,
// else the time of the read).
int RecvWithArrival(NetSocket s, uint8_t* p, size_t n, int64_t* pArrivalUs);
