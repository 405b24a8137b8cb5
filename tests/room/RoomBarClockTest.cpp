// The bar's time-driven state: the network indicator's 20-second rule and its held state, the
// conference time and lecture countdown with one automatic end, and the web-address history.
#include <gtest/gtest.h>

#include "confclient/room/RoomBarClock.h"

TEST(NetworkIndicator, TwentySecondRuleShowsTheHeldStateLater)
{
    struct Step
    {
        bool bTick;
        int nState;
        int64_t t;
        int nShown; // -1: nothing shown
    } steps[] = {
        {false, 0, 100, -1},                         // the state it starts in
        {false, 2, 100, 2},                          // the first change shows at once
        {false, 1, 105, -1},                         // within 20 s: held
        {true, 0, 110, -1},      {true, 0, 120, -1}, // exactly 20 s: still held
        {true, 0, 121, 1},                           // the held state, not left stale
        {true, 0, 150, -1},                          // nothing held any more
        {false, 1, 150, -1},                         // the state shown already
        {false, 0, 142 + 20, 0}, {false, 2, 170, -1},
        {false, 0, 175, -1}, // back to the shown state while held: nothing new to show
        {true, 0, 190, -1},      {false, 1, 200, 1}, // more than 20 s after the last display
    };
    CNetworkStateIndicator ind;
    for (const Step& s : steps)
    {
        std::optional<S_NETWORKDISPLAY> d = s.bTick ? ind.OnTick(s.t) : ind.OnState(s.nState, s.t);
        EXPECT_EQ(d.has_value(), s.nShown >= 0) << s.t;
        if (d && s.nShown >= 0)
        {
            EXPECT_EQ(d->nState, s.nShown) << s.t;
        }
    }
    EXPECT_EQ(NetworkDisplayOf(1).nBitmap, 10918);
    EXPECT_STREQ(NetworkDisplayOf(2).pszKey, "IDS_SOCK_NETWORKSTATE_WORST");
    EXPECT_EQ(NetworkDisplayOf(0).nBitmap, 10917);
}

TEST(ConferenceClock, ElapsedTimeAndTimer)
{
    S_CLOCKROOM room;
    room.szTitle = u"Room";
    CConferenceClock clock;
    S_CLOCKUPDATE u = clock.Update(true, 3725, 1000, room);
    ASSERT_TRUE(u.szText);
    EXPECT_EQ(*u.szText, u"Room (01:02:05)");
    EXPECT_EQ(u.timer, CLOCK_TIMER_SET);
    EXPECT_FALSE(clock.Tick(1000, room).szText); // same text: the label is left alone
    u = clock.Tick(1001, room);
    EXPECT_EQ(*u.szText, u"Room (01:02:06)");
    EXPECT_EQ(u.timer, CLOCK_TIMER_KEEP);
    EXPECT_EQ(*clock.Tick(1000 + 86400, room).szText, u"Room (01:02:05)"); // a UTC time of day

    room.bPlayback = true;
    CConferenceClock player;
    EXPECT_EQ(player.Update(true, 5, 1000, room).timer, CLOCK_TIMER_KEEP);
    EXPECT_EQ(ClockText(-4), u"00:00:00");
}

TEST(ConferenceClock, LectureCountdownEndsOnce)
{
    S_CLOCKROOM room;
    room.bRvEdition = true;
    room.nLectureMinutes = 1;
    room.nLectureState = 0;
    room.bMayEndLecture = true;
    CConferenceClock clock;
    // Not started: the limit shows and no timer runs.
    S_CLOCKUPDATE u = clock.Update(true, 0, 1000, room);
    EXPECT_EQ(*u.szText, u" (00:01:00)");
    EXPECT_EQ(u.timer, CLOCK_TIMER_KEEP);

    room.nLectureState = 1;
    u = clock.Update(true, 0, 1000, room);
    EXPECT_EQ(u.timer, CLOCK_TIMER_SET);
    EXPECT_FALSE(u.szText); // 60 left is the text shown already
    EXPECT_EQ(*clock.Tick(1010, room).szText, u" (00:00:50)");
    int nEnds = 0;
    for (int64_t t = 1059; t <= 1065; ++t)
    {
        u = clock.Tick(t, room);
        nEnds += u.bEndLecture;
        if (t == 1060)
        {
            EXPECT_TRUE(u.bEndLecture);
        }
    }
    EXPECT_EQ(nEnds, 1);                     // once, not on every tick
    EXPECT_EQ(clock.Text(), u" (00:00:00)"); // negative shows as 0
    room.nLectureState = 100;
    u = clock.Tick(1066, room);
    EXPECT_EQ(u.timer, CLOCK_TIMER_KILL);
    EXPECT_FALSE(u.bEndLecture);

    // Nobody may end it, or a recording plays: no end is sent.
    for (int nCase = 0; nCase < 2; ++nCase)
    {
        S_CLOCKROOM other = room;
        other.nLectureState = 1;
        other.bMayEndLecture = nCase == 1;
        other.bPlayback = nCase == 1;
        CConferenceClock c;
        EXPECT_FALSE(c.Update(true, 61, 2000, other).bEndLecture) << nCase;
    }
    // A lecture of 0 minutes is no timed lecture.
    S_CLOCKROOM untimed = room;
    untimed.nLectureMinutes = 0;
    untimed.nLectureState = 1;
    CConferenceClock c;
    EXPECT_EQ(*c.Update(true, 61, 2000, untimed).szText, u" (00:01:01)");
}

TEST(WebHistory, NewestFirstAtMostThirty)
{
    CWebHistory h;
    for (int i = 1; i <= 30; ++i)
        EXPECT_EQ(h.Add(u"http://site/" + std::u16string(1, char16_t(u'A' + i))), 0u);
    EXPECT_EQ(h.Entries().size(), 30u);
    // An address already listed is selected where it stands, whatever its case.
    EXPECT_EQ(h.Add(u"HTTP://SITE/" + std::u16string(1, char16_t(u'A' + 1))), 29u);
    EXPECT_EQ(h.Entries().size(), 30u);
    // The 31st distinct address drops the oldest.
    EXPECT_EQ(h.Add(u"http://new"), 0u);
    EXPECT_EQ(h.Entries().size(), 30u);
    EXPECT_EQ(h.Entries().front(), u"http://new");
    EXPECT_EQ(h.Entries().back(), u"http://site/" + std::u16string(1, char16_t(u'A' + 2)));

    EXPECT_EQ(WebAddressToLoad(u""), u"about:blank");
    EXPECT_EQ(WebAddressToLoad(u"x"), u"x");
    EXPECT_FALSE(CanDrawOnWebAddress(u""));
    EXPECT_FALSE(CanDrawOnWebAddress(u"About:Blank"));
    EXPECT_TRUE(CanDrawOnWebAddress(u"http://x"));
}
