// The lobby's lists, the texts the outside windows get, and the reconnect countdown.
#include <gtest/gtest.h>

#include "confclient/session/lobby/LobbyLists.h"
#include "confclient/session/lobby/ReconnectCountdown.h"

namespace
{
S_CONFINFOEX Conf(uint16_t wIndex, const char16_t* pszTitle)
{
    S_CONFINFOEX c;
    c.wRoomIndex = wIndex;
    c.szTitle = pszTitle;
    return c;
}
} // namespace

TEST(LobbyListsTest, ReplacingRoomsNamesTheOnesThatAreGone)
{
    CLobbyLists lists;
    EXPECT_TRUE(lists.ReplaceConfs({Conf(1, u"a"), Conf(2, u"b"), Conf(3, u"c")}).empty());
    EXPECT_EQ((std::vector<uint16_t>{1, 3}), lists.ReplaceConfs({Conf(2, u"b2"), Conf(4, u"d")}));
    ASSERT_NE(nullptr, lists.FindConfInfo(2));
    EXPECT_EQ(u"b2", lists.FindConfInfo(2)->szTitle);
    EXPECT_EQ(nullptr, lists.FindConfInfo(1));
    lists.UpdateConf(Conf(4, u"d2"));
    lists.UpdateConf(Conf(5, u"e"));
    EXPECT_EQ(3u, lists.Confs().size());
    EXPECT_EQ(u"d2", lists.FindConfInfo(4)->szTitle);
    EXPECT_TRUE(lists.RemoveConf(4));
    EXPECT_FALSE(lists.RemoveConf(4));
    EXPECT_EQ(nullptr, lists.FindConfInfo(4));
    EXPECT_EQ(2u, lists.Confs().size());
}

TEST(LobbyListsTest, UsersAreKeptOncePerIndex)
{
    CLobbyLists lists;
    S_ENTIRE_USER a{1, 1, 0, 0, u"alice", u"Alice"}, b{2, 1, 0, 0, u"bob", u"Bob"};
    lists.AddUser(a);
    lists.AddUser(b);
    a.szName = u"Alice B.";
    lists.AddUser(a); // logged in again: replaced, not doubled
    ASSERT_EQ(2u, lists.Users().size());
    EXPECT_EQ(u"Alice B.", lists.Users()[0].szName);
    EXPECT_TRUE(lists.RemoveUser(1));
    EXPECT_FALSE(lists.RemoveUser(1));
    EXPECT_EQ(u"bob", lists.Users()[0].szUserId);
}

TEST(LobbyListsTest, TextsForOutsideWindows)
{
    EXPECT_EQ(u"alice\nAlice\n3", LobbyUserText({1, 3, 0, 0, u"alice", u"Alice"}));
    S_CONFINFOEX c = Conf(7, u"Class");
    c.wRoomType = 4;
    c.dwStartTime = 1700000000; // 2023-11-14 22:13:20 UTC
    c.dwEndTime = 0;
    c.wUserCount = 2;
    c.wMaxUser = 9;
    c.wLocked = 1;
    c.szConfCode = u"C7";
    c.szOwnerId = u"bob";
    c.szOwnerName = u"Bob";
    c.wOwnerIndex = 2;
    c.dwFlags = 4096;
    EXPECT_EQ(u"7\nClass\n4\n23/11/14 22:13\n70/01/01 00:00\n2\n9\n1\nC7\nbob\nBob\n2\n4096",
              LobbyConfText(c));
}

TEST(ReconnectCountdownTest, CountsDownThenAsksOnceForALogin)
{
    CReconnectCountdown cd;
    EXPECT_FALSE(cd.Tick()); // not started
    cd.Start();
    for (int i = CReconnectCountdown::kSeconds - 1; i > 0; --i)
    {
        EXPECT_FALSE(cd.Tick());
        EXPECT_EQ(i, cd.SecondsLeft());
    }
    EXPECT_TRUE(cd.Tick());
    EXPECT_FALSE(cd.Running());
    EXPECT_FALSE(cd.Tick()); // until the failed attempt starts it again
    cd.Start();
    cd.Stop(); // cancelled
    EXPECT_FALSE(cd.Tick());
}
