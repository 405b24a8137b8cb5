// Lobby dispatcher rules.
#include "confclient/session/lobby/LobbyRules.h"

const char* NakLobbyLoginTextKey(uint16_t nCode)
{
    switch (nCode)
    {
    case 1000:
        return "IDS_SOCK_NAK_LOBY_LOGIN_LATER";
    case 1001:
        return "IDS_NOTCONNECTSVR";
    case 1002:
        return "IDS_NAK_LOBY_MAXUSEROVERFLOW";
    case 1003:
        return "IDS_NAK_LOBYLOGIN_NOTEXISTEDID";
    case 1007:
        return "IDS_NAK_LOBYLOGIN_UNSUPPORTED_OBSERVER";
    case 1008:
        return "IDS_NAK_LOBYLOGIN_UNSUPPORTED_GUEST";
    default:
        return "IDS_NAK_LOBYLOGIN_NOTCONNECTDB";
    }
}

LoginRefusalAction OnLoginRefused(uint16_t nCode, int nRetriesSoFar)
{
    if (nCode == 1005 && nRetriesSoFar < kMaxLoginRetries) return LoginRefusalAction::Retry;
    if (nCode == 0) return LoginRefusalAction::NotifyOnly;
    if (nCode == 1000) return LoginRefusalAction::AskBanish;
    return LoginRefusalAction::ShowAndEnd;
}

std::optional<CKeepAliveClock::Answer> CKeepAliveClock::OnAnswer(uint32_t dwNow, int nNetState)
{
    if (m_dwSendTick == kNone) return std::nullopt;
    Answer a{dwNow - m_dwSendTick, 0}; // unsigned: a tick wrap still gives the elapsed time
    m_dwSendTick = kNone;
    uint32_t nSeconds = a.dwRttMs / 1000;
    if (nSeconds < 6)
    {
        if (nNetState == 2 && nSeconds <= 2 && a.dwRttMs < m_dwSmallestRtt)
        {
            a.nNetNotice = 1;
            m_dwSmallestRtt = 0;
        }
    }
    else
    {
        a.nNetNotice = 2;
        if (m_dwSmallestRtt == 0 || m_dwSmallestRtt > a.dwRttMs) m_dwSmallestRtt = a.dwRttMs;
    }
    return a;
}
