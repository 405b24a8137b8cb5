// Speech levels from the engine's thread to the window thread: the latest level per user is
// kept, and only the first level after a take asks for a message, so at most one is in flight
// and the engine never waits for the windows.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

class CVoiceLevelMailbox
{
public:
    // Engine thread: true when the reader must be sent a message now.
    bool Put(uint16_t wUser, int nLevel);
    // Reader thread: the latest level of each user since the last take, by user.
    std::vector<std::pair<uint16_t, int>> Take();

private:
    std::mutex m_lock;
    std::map<uint16_t, int> m_latest;
    bool m_bInFlight = false;
};
