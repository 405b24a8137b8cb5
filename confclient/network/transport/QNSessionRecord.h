// The network object's own record of the session, kept up to date from the
// inbound commands before the owner sees them: the own user, the room, and a
// table of at most 500 users. Touched by the dispatch thread; readers on other
// threads take the lock through the accessors.
#pragma once
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "confclient/network/QNPayloads.h"

// The protocol layer's per-user record.
struct S_VUSERINFO
{
    uint16_t wUserIndex = kNoIndex;
    uint16_t wLevel = 0;
    uint16_t wGroupCode = 0;
    uint16_t wRoomIndex = 0; // 0: in the lobby
    uint16_t wChannel = kNoIndex;
    std::u16string szUserId;
    std::u16string szName;
};

constexpr size_t kMaxSessionUsers = 500;

class CQNFrameCodec;

class CQNSessionRecord
{
public:
    // Updates the record from one plain inbound payload; 21 sets the codec's server table.
    void Update(uint16_t wCommand, const uint8_t* pData, size_t nLen, CQNFrameCodec& codec);

    S_VUSERINFO Me() const;
    uint16_t MyUserIndex() const;
    uint16_t RoomIndex() const;
    uint16_t MyChannel() const;
    size_t UserCount() const;
    bool FindUser(uint16_t wUserIndex, S_VUSERINFO& out) const;

    void SetMyChannel(uint16_t wChannel);
    // The room was left (330 sent): back in the lobby.
    void LeaveRoom();
    // Everything back to the state before login (playback starts over).
    void Reset();

private:
    S_VUSERINFO* Find(uint16_t wUserIndex);
    void PutUser(const S_VUSERINFO& u);

    mutable std::mutex m_lock;
    S_VUSERINFO m_me;
    uint16_t m_wRoomIndex = 0;
    std::vector<S_VUSERINFO> m_users;
};
