// Who may speak on which channel: the room's channel-to-user table, published by the session,
// read by the receive path to drop a voice packet that names another user than its channel's.
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>

class CVoiceChannelTable
{
public:
    // Replaces the table (session thread).
    void Publish(std::unordered_map<uint16_t, uint16_t> userOfChannel);
    // True when the packet's sender field is the user of the server-stamped channel (any thread).
    bool SenderMatches(uint16_t wChannel, const uint8_t* pPacket, size_t nLen) const;

private:
    mutable std::mutex m_lock;
    std::unordered_map<uint16_t, uint16_t> m_userOfChannel;
};
