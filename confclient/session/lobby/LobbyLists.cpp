// The lobby's lists and the texts for outside windows.
#include "confclient/session/lobby/LobbyLists.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

void CLobbyLists::AddUser(const S_ENTIRE_USER& user)
{
    for (S_ENTIRE_USER& u : m_users)
        if (u.wUserIndex == user.wUserIndex)
        {
            u = user;
            return;
        }
    m_users.push_back(user);
}

bool CLobbyLists::RemoveUser(uint16_t wUserIndex)
{
    auto it = std::find_if(m_users.begin(), m_users.end(),
                           [&](const S_ENTIRE_USER& u) { return u.wUserIndex == wUserIndex; });
    if (it == m_users.end()) return false;
    m_users.erase(it);
    return true;
}

std::vector<uint16_t> CLobbyLists::ReplaceConfs(std::vector<S_CONFINFOEX> confs)
{
    std::vector<uint16_t> gone;
    for (const S_CONFINFOEX& old : m_confs)
        if (std::none_of(confs.begin(), confs.end(),
                         [&](const S_CONFINFOEX& c) { return c.wRoomIndex == old.wRoomIndex; }))
            gone.push_back(old.wRoomIndex);
    m_confs = std::move(confs);
    return gone;
}

void CLobbyLists::UpdateConf(const S_CONFINFOEX& conf)
{
    for (S_CONFINFOEX& c : m_confs)
        if (c.wRoomIndex == conf.wRoomIndex)
        {
            c = conf;
            return;
        }
    m_confs.push_back(conf);
}

const S_CONFINFOEX* CLobbyLists::FindConfInfo(uint16_t wRoomIndex) const
{
    for (const S_CONFINFOEX& c : m_confs)
        if (c.wRoomIndex == wRoomIndex) return &c;
    return nullptr;
}

void CLobbyLists::Clear()
{
    m_users.clear();
    m_confs.clear();
}

std::u16string DecimalText(long long n)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%lld", n);
    return std::u16string(buf, buf + std::char_traits<char>::length(buf));
}

std::u16string LobbyDateText(uint32_t dwTime)
{
    std::time_t t = static_cast<std::time_t>(dwTime);
    std::tm tmv{};
    // A time the C library cannot break down shows nothing.
#ifdef _WIN32
    if (gmtime_s(&tmv, &t) != 0) return {};
#else
    if (!gmtime_r(&t, &tmv)) return {};
#endif
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%02d %02d:%02d", tmv.tm_year % 100, tmv.tm_mon + 1, tmv.tm_mday,
                  tmv.tm_hour, tmv.tm_min);
    return std::u16string(buf, buf + std::char_traits<char>::length(buf));
}

std::u16string LobbyUserText(const S_ENTIRE_USER& u)
{
    return u.szUserId + u'\n' + u.szName + u'\n' + DecimalText(u.wLevel);
}

std::u16string LobbyConfText(const S_CONFINFOEX& c)
{
    std::u16string s;
    auto add = [&](const std::u16string& part, bool bLast = false)
    {
        s += part;
        if (!bLast) s += u'\n';
    };
    add(DecimalText(c.wRoomIndex));
    add(c.szTitle);
    add(DecimalText(c.wRoomType));
    add(LobbyDateText(c.dwStartTime));
    add(LobbyDateText(c.dwEndTime));
    add(DecimalText(c.wUserCount));
    add(DecimalText(c.wMaxUser));
    add(DecimalText(c.wLocked));
    add(c.szConfCode);
    add(c.szOwnerId);
    add(c.szOwnerName);
    add(DecimalText(c.wOwnerIndex));
    add(DecimalText(c.dwFlags), true);
    return s;
}

bool CLobbyLists::RemoveConf(uint16_t wRoomIndex)
{
    return std::erase_if(m_confs,
                         [wRoomIndex](const S_CONFINFOEX& c) { return c.wRoomIndex == wRoomIndex; }) != 0;
}
