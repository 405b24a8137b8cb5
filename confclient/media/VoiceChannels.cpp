// The channel table and the sender check of received voice.
#include "confclient/media/VoiceChannels.h"

#include "core/ByteReader.h"

void CVoiceChannelTable::Publish(std::unordered_map<uint16_t, uint16_t> userOfChannel)
{
    std::lock_guard<std::mutex> lock(m_lock);
    m_userOfChannel = std::move(userOfChannel);
}

bool CVoiceChannelTable::SenderMatches(uint16_t wChannel, const uint8_t* pPacket, size_t nLen) const
{
    ByteReader rd(pPacket, nLen);
    rd.Skip(2);
    uint16_t wSender = rd.U16();
    if (!rd.Ok()) return false;
    std::lock_guard<std::mutex> lock(m_lock);
    auto it = m_userOfChannel.find(wChannel);
    return it != m_userOfChannel.end() && it->second == wSender;
}
