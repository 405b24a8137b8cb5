// Login refusals and the keep-alive round trip, with an injected clock.
#include <gtest/gtest.h>

#include <string>

#include "confclient/session/lobby/LobbyRules.h"

TEST(LobbyRules, RefusalTextsAndActions)
{
    struct
    {
        uint16_t code;
        const char* key;
    } texts[] = {
        {1000, "IDS_SOCK_NAK_LOBY_LOGIN_LATER"},          {1001, "IDS_NOTCONNECTSVR"},
        {1002, "IDS_NAK_LOBY_MAXUSEROVERFLOW"},           {1003, "IDS_NAK_LOBYLOGIN_NOTEXISTEDID"},
        {1004, "IDS_NAK_LOBYLOGIN_NOTCONNECTDB"},         {1005, "IDS_NAK_LOBYLOGIN_NOTCONNECTDB"},
        {1007, "IDS_NAK_LOBYLOGIN_UNSUPPORTED_OBSERVER"}, {1008, "IDS_NAK_LOBYLOGIN_UNSUPPORTED_GUEST"},
        {4321, "IDS_NAK_LOBYLOGIN_NOTCONNECTDB"}};
    for (auto t : texts)
        EXPECT_EQ(std::string(t.key), NakLobbyLoginTextKey(t.code)) << t.code;

    for (int n = 0; n < kMaxLoginRetries; ++n)
        EXPECT_EQ(LoginRefusalAction::Retry, OnLoginRefused(1005, n));
    EXPECT_EQ(LoginRefusalAction::ShowAndEnd, OnLoginRefused(1005, kMaxLoginRetries));
    EXPECT_EQ(LoginRefusalAction::NotifyOnly, OnLoginRefused(0, 0));
    EXPECT_EQ(LoginRefusalAction::AskBanish, OnLoginRefused(1000, 0));
    EXPECT_EQ(LoginRefusalAction::ShowAndEnd, OnLoginRefused(1004, 0));
}

TEST(KeepAliveClock, RoundTripsAndNotices)
{
    CKeepAliveClock clock;
    EXPECT_FALSE(clock.OnAnswer(5000, 2).has_value()); // nothing outstanding: no round trip

    clock.OnSent(1000);
    auto fast = clock.OnAnswer(1250, 2);
    ASSERT_TRUE(fast);
    EXPECT_EQ(250u, fast->dwRttMs);
    EXPECT_EQ(0, fast->nNetNotice); // no slow round trip seen yet
    EXPECT_FALSE(clock.Outstanding());
    EXPECT_FALSE(clock.OnAnswer(1300, 2)); // a second answer to the same request is ignored

    clock.OnSent(10000);
    auto slow = clock.OnAnswer(17000, 1);
    EXPECT_EQ(2, slow->nNetNotice);
    EXPECT_EQ(7000u, clock.SmallestSlowRtt());
    clock.OnSent(20000);
    EXPECT_EQ(2, clock.OnAnswer(29000, 1)->nNetNotice);
    EXPECT_EQ(7000u, clock.SmallestSlowRtt()); // keeps the smallest

    clock.OnSent(30000);
    EXPECT_EQ(0, clock.OnAnswer(32500, 1)->nNetNotice); // recovery is only told in network state 2
    clock.OnSent(40000);
    auto recovered = clock.OnAnswer(41000, 2);
    EXPECT_EQ(1, recovered->nNetNotice);
    EXPECT_EQ(0u, clock.SmallestSlowRtt());

    clock.OnSent(0xFFFFFF00u); // a tick wrap between request and answer
    EXPECT_EQ(0x200u, clock.OnAnswer(0x100, 0)->dwRttMs);
}
