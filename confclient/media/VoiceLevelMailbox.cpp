// The level mailbox between the engine and the windows.
#include "confclient/media/VoiceLevelMailbox.h"

bool CVoiceLevelMailbox::Put(uint16_t wUser, int nLevel)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_latest[wUser] = nLevel;
    if (m_bInFlight) return false;
    m_bInFlight = true;
    return true;
}

std::vector<std::pair<uint16_t, int>> CVoiceLevelMailbox::Take()
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<std::pair<uint16_t, int>> out(m_latest.begin(), m_latest.end());
    m_latest.clear();
    m_bInFlight = false;
    return out;
}
