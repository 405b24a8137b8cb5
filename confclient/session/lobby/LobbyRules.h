// Rules of the lobby dispatcher that need no window: the refusal texts of the
// lobby login, the login retry rule, and the keep-alive round trip.
#pragma once
#include <cstdint>
#include <optional>

// Text key shown for a NAK_LOBY_LOGIN refusal code (codes without a text of
// their own get the database text).
const char* NakLobbyLoginTextKey(uint16_t nCode);

// What a NAK_LOBY_LOGIN asks for.
enum class LoginRefusalAction
{
    Retry,      // 1005 with fewer than five retries: log in again after 500 ms
    NotifyOnly, // 0: tell the outside windows 202, show nothing
    AskBanish,  // 1000: two-button box; confirmed, send command 220
    ShowAndEnd, // any other: one-button box, then the session ends
};
constexpr int kMaxLoginRetries = 5;
LoginRefusalAction OnLoginRefused(uint16_t nCode, int nRetriesSoFar);

// Keep-alive timing (main dialog timers 1240 and 1255).
constexpr uint32_t kKeepAlivePeriodMs = 30000;
// No answer within this long means the server is gone; shorter than the
// period, so a lost answer is noticed before the next keep-alive goes out.
constexpr uint32_t kKeepAliveAnswerTimeoutMs = 20000;

// The keep-alive round trip: the tick of the request outstanding and the
// smallest slow round trip seen, with the notices the room window gets.
class CKeepAliveClock
{
public:
    static constexpr uint32_t kNone = 0xFFFFFFFF;

    struct Answer
    {
        uint32_t dwRttMs;
        int nNetNotice; // 0: none; 1: the link recovered; 2: the link is slow (message 4053 wParam)
    };

    void OnSent(uint32_t dwTick) { m_dwSendTick = dwTick; }
    bool Outstanding() const { return m_dwSendTick != kNone; }

    // An answer at dwNow while the room window's network state is nNetState.
    // An answer with no request outstanding is ignored (no round trip exists).
    std::optional<Answer> OnAnswer(uint32_t dwNow, int nNetState);

    uint32_t SmallestSlowRtt() const { return m_dwSmallestRtt; }

private:
    uint32_t m_dwSendTick = kNone;
    uint32_t m_dwSmallestRtt = 0; // 0 = none yet
};
