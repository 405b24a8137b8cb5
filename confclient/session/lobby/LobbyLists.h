// The lobby's rooms and users as the lobby commands keep them, and the texts
// that tell registered outside windows about them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "confclient/network/QNPayloads.h"

// The session keeps the lobby's users (100, 101, 231) and conferences (120, 241)
// as the protocol carries them.
using S_ENTIRE_USER = QNLobbyUser;
using S_CONFINFOEX = QNLobbyConf;

class CLobbyLists
{
public:
    // A user logged in: added, or its record replaced when its index is known.
    void AddUser(const S_ENTIRE_USER& user);
    // False when no user has that index.
    bool RemoveUser(uint16_t wUserIndex);
    void SetUsers(std::vector<S_ENTIRE_USER> users) { m_users = std::move(users); }
    const std::vector<S_ENTIRE_USER>& Users() const { return m_users; }

    // Replaces the rooms; returns the indices of the rooms that are gone.
    std::vector<uint16_t> ReplaceConfs(std::vector<S_CONFINFOEX> confs);
    // Adds a room or updates the one with its index.
    void UpdateConf(const S_CONFINFOEX& conf);
    // False when no room has that index.
    bool RemoveConf(uint16_t wRoomIndex);
    const S_CONFINFOEX* FindConfInfo(uint16_t wRoomIndex) const;
    const std::vector<S_CONFINFOEX>& Confs() const { return m_confs; }
    void ClearConfs() { m_confs.clear(); }
    void Clear();

private:
    std::vector<S_ENTIRE_USER> m_users;
    std::vector<S_CONFINFOEX> m_confs;
};

// "%s\n%s\n%d": ID, name, level.
std::u16string LobbyUserText(const S_ENTIRE_USER& u);
// "%d\n%s\n%d\n%s\n%s\n%d\n%d\n%d\n%s\n%s\n%s\n%d\n%d": room index, title, room type,
// start, end ("%y/%m/%d %H:%M", UTC), users, max users, locked, conference code,
// owner ID, owner name, owner index, flags.
std::u16string LobbyConfText(const S_CONFINFOEX& c);
// "%y/%m/%d %H:%M" of a time in seconds since 1970 (UTC).
std::u16string LobbyDateText(uint32_t dwTime);
// "%d".
std::u16string DecimalText(long long n);
