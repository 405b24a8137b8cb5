// The control bar's network indicator, conference time and web-address history.
#include "confclient/room/RoomBarClock.h"

#include <algorithm>
#include <cstdio>

S_NETWORKDISPLAY NetworkDisplayOf(int nState)
{
    switch (nState)
    {
    case 1:
        return {1, "IDS_SOCK_NETWORKSTATE_BAD", 10918};
    case 2:
        return {2, "IDS_SOCK_NETWORKSTATE_WORST", 10919};
    default:
        return {0, "IDS_SOCK_NETWORKSTATE_NORMAL", 10917};
    }
}

std::optional<S_NETWORKDISPLAY> CNetworkStateIndicator::Show(int64_t tNow)
{
    m_bShownOnce = true;
    m_tShown = tNow;
    m_nShownState = m_nState;
    m_bHeld = false;
    return NetworkDisplayOf(m_nState);
}

std::optional<S_NETWORKDISPLAY> CNetworkStateIndicator::OnState(int nState, int64_t tNow)
{
    if (nState == m_nState) return std::nullopt;
    m_nState = nState;
    // Back to the state on show: nothing is left to show later.
    if (m_bShownOnce && nState == m_nShownState)
    {
        m_bHeld = false;
        return std::nullopt;
    }
    if (!m_bShownOnce || tNow - m_tShown > kQuietSeconds) return Show(tNow);
    m_bHeld = true;
    return std::nullopt;
}

std::optional<S_NETWORKDISPLAY> CNetworkStateIndicator::OnTick(int64_t tNow)
{
    if (m_bHeld && tNow - m_tShown > kQuietSeconds) return Show(tNow);
    return std::nullopt;
}

std::u16string ClockText(int64_t nSeconds)
{
    if (nSeconds < 0) nSeconds = 0;
    char sz[16];
    std::snprintf(sz, sizeof sz, "%02d:%02d:%02d", static_cast<int>(nSeconds / 3600 % 24),
                  static_cast<int>(nSeconds / 60 % 60), static_cast<int>(nSeconds % 60));
    return std::u16string(sz, sz + std::char_traits<char>::length(sz));
}

bool CConferenceClock::Timed(const S_CLOCKROOM& room)
{
    return room.bRvEdition && room.nLectureMinutes >= 1;
}

S_CLOCKUPDATE CConferenceClock::Update(bool bStart, int64_t nSeconds, int64_t tNow, const S_CLOCKROOM& room)
{
    S_CLOCKUPDATE u;
    bool bTimed = Timed(room);
    int64_t nLimit = static_cast<int64_t>(room.nLectureMinutes) * 60;
    if (bStart)
    {
        m_nBase = nSeconds;
        if (!m_tStart) m_tStart = tNow;
        if (bTimed && room.nLectureState == 1 && !m_tLectureStart) m_tLectureStart = tNow;
    }
    // A lecture not running may be started again, and ended again once.
    if (room.nLectureState != 1) m_bEndSent = false;
    int64_t nShown = nSeconds;
    if (bTimed)
    {
        nShown = room.nLectureState == 0 ? nLimit : nLimit - nSeconds;
        if (nShown <= 0 && room.nLectureState == 1 && !room.bPlayback && room.bMayEndLecture && !m_bEndSent)
        {
            u.bEndLecture = true;
            m_bEndSent = true;
        }
    }
    std::u16string szText = room.szTitle + u" (" + ClockText(nShown) + u")";
    if (szText != m_szText)
    {
        m_szText = szText;
        u.szText = szText;
    }
    if (!room.bPlayback)
    {
        if (bTimed && room.nLectureState == 100)
            u.timer = CLOCK_TIMER_KILL;
        else if (bStart && (!bTimed || room.nLectureState == 1))
            u.timer = CLOCK_TIMER_SET;
    }
    return u;
}

S_CLOCKUPDATE CConferenceClock::Tick(int64_t tNow, const S_CLOCKROOM& room)
{
    if (!m_tStart) m_tStart = tNow;
    int64_t nElapsed = tNow - *m_tStart;
    if (room.bRvEdition && room.nLectureMinutes >= 1 && room.nLectureState != 0)
    {
        // A lecture started after the room was entered counts from the first tick that sees it.
        if (!m_tLectureStart) m_tLectureStart = tNow;
        nElapsed = tNow - *m_tLectureStart;
    }
    return Update(false, m_nBase + nElapsed, tNow, room);
}

namespace
{
bool SameAddress(const std::u16string& a, const std::u16string& b)
{
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char16_t x, char16_t y) { return lower(x) == lower(y); });
}
} // namespace

size_t CWebHistory::Add(const std::u16string& szAddress)
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (SameAddress(m_entries[i], szAddress)) return i;
    m_entries.insert(m_entries.begin(), szAddress);
    if (m_entries.size() > kMaxEntries) m_entries.pop_back();
    return 0;
}

std::u16string WebAddressToLoad(const std::u16string& szField)
{
    return szField.empty() ? u"about:blank" : szField;
}

bool CanDrawOnWebAddress(const std::u16string& szField)
{
    return !szField.empty() && !SameAddress(szField, u"about:blank");
}
