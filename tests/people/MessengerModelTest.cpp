// The messenger's portable parts: the table of windows and its deliveries, the history's lines,
// colours, links and trim, and the pushed file's progress texts on a fake clock.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "confclient/people/FileSendCal.h"
#include "confclient/people/MessengerLog.h"
#include "confclient/people/MessengerTable.h"
#include "core/Utf8Text.h"
#include "tests/people/FakeChatLogView.h"

namespace
{
// A window that records what the table asks of it.
struct FakeWindow : IMessengerWindow
{
    std::vector<std::string>& calls;
    std::string szName;
    FakeWindow(std::vector<std::string>& c, std::string name) : calls(c), szName(std::move(name)) {}
    void SetPeer(uint16_t w) override { calls.push_back(szName + " peer " + std::to_string(w)); }
    void UpdateRoomState(bool bIn, uint16_t w) override
    {
        calls.push_back(szName + " room " + std::to_string(bIn) + " " + std::to_string(w));
    }
    void ReceiveMessage(int nKind, const std::u16string& szText, const std::u16string& szExtra,
                        uint32_t dwValue) override
    {
        calls.push_back(szName + " kind " + std::to_string(nKind) + " " + Utf8Of(szText) + " from " +
                        Utf8Of(szExtra) + " value " + std::to_string(dwValue));
    }
    void OnFileDataAck(uint32_t n) override { calls.push_back(szName + " ack " + std::to_string(n)); }
    void ForceClose() override { calls.push_back(szName + " force close"); }
};

struct FakeWindows : IMessengerWindows
{
    std::vector<std::string> calls;
    std::vector<std::unique_ptr<FakeWindow>> live;
    bool bFail = false;
    IMessengerWindow* CreateMessenger(const S_MESSAGEINFO& info) override
    {
        if (bFail) return nullptr;
        live.push_back(std::make_unique<FakeWindow>(calls, Utf8Of(info.szId)));
        calls.push_back("create " + Utf8Of(info.szId) + " slot " + std::to_string(info.wSlot));
        return live.back().get();
    }
    void DeleteMessenger(IMessengerWindow* p) override
    {
        calls.push_back("delete " + static_cast<FakeWindow*>(p)->szName);
    }
};
} // namespace

TEST(MessengerTable, FindsByIdThenIndexAndRefusesTheHundredAndFirstWindow)
{
    FakeWindows windows;
    CMessengerTable table(windows);
    table.Deliver(MSGKIND_TEXT, 7, u"ann", u"Ann", u"ff0000hi", 0, true, 12);
    // The same ID at another index is the same window, its peer refreshed.
    table.Deliver(MSGKIND_INVITATION, 9, u"ann", u"Ann", u"come", 12, true, 12);
    // No ID (a notice by index only) finds the window by index.
    table.Deliver(MSGKIND_UNREACHABLE, 9, u"", u"Ann", u"gone", 0, true, 12);
    // Kind 3 without a text only opens.
    table.Deliver(MSGKIND_OPEN, 4, u"bob", u"Bob", u"", 0, false, 65535);
    EXPECT_EQ((std::vector<std::string>{
                  "create ann slot 0", "ann room 1 12", "ann kind 5 ff0000hi from Ann value 0", "ann peer 9",
                  "ann kind 12 come from Ann value 12", "ann kind 1 gone from Ann value 0",
                  "create bob slot 1", "bob room 0 65535"}),
              windows.calls);
    ASSERT_EQ(2u, table.Entries().size());
    EXPECT_EQ(9, table.Entries()[0].wUserIndex);

    // Closed by its user: the slot is free again and goes to the next peer.
    table.TakeQueuedMessages(u"ann", 65535);
    EXPECT_EQ(nullptr, table.FindById(u"ann"));
    windows.calls.clear();
    EXPECT_NE(nullptr, table.FindOrCreate(5, u"cid", u"Cid", false, 65535));
    EXPECT_EQ("create cid slot 0", windows.calls[0]);

    for (int i = 0; i < 98; ++i)
        ASSERT_NE(nullptr,
                  table.FindOrCreate(static_cast<uint16_t>(100 + i),
                                     u"u" + std::u16string(1, char16_t(u'A' + i)), u"", false, 65535));
    int nCode = 0;
    EXPECT_EQ(nullptr, table.FindOrCreate(999, u"late", u"", false, 65535, &nCode));
    EXPECT_EQ(CMessengerTable::kNoFreeSlot, nCode);
    EXPECT_EQ(100u, table.Entries().size());
    EXPECT_NE(nullptr, table.FindOrCreate(5, u"cid", u"", false, 65535, &nCode))
        << "existing windows still found";
    EXPECT_EQ(0, nCode);

    // Entering a room reaches every window; logout closes each without asking, then frees it.
    windows.calls.clear();
    table.UpdateRoomState(true, 3);
    EXPECT_EQ(100u, windows.calls.size());
    windows.calls.clear();
    table.ForceCloseAll();
    EXPECT_EQ(200u, windows.calls.size());
    EXPECT_EQ("bob force close", windows.calls[0]);
    EXPECT_EQ("delete bob", windows.calls[1]);
    EXPECT_TRUE(table.Entries().empty());
    EXPECT_EQ(nullptr, table.Slot(0));

    // A window that cannot be made takes no slot.
    windows.bFail = true;
    EXPECT_EQ(nullptr, table.FindOrCreate(1, u"x", u"", false, 65535, &nCode));
    EXPECT_TRUE(table.Entries().empty());
}

TEST(MessengerText, ColourDigitsInFrontOfTheText)
{
    struct
    {
        std::u16string szWire;
        uint32_t dwColour;
        std::u16string szText;
    } cases[] = {
        {u"ff8000hello", 0x000080FF, u"hello"},
        {u"00FF7fX", 0x007FFF00, u"X"},
        {u"0000ff", 0x00FF0000, u""},
        // Too short or not all digits: no colour and the whole text (it was read past its end).
        {u"", 0, u""},
        {u"ab", 0, u"ab"},
        {u"fffff", 0, u"fffff"},
        {u"hello world", 0, u"hello world"},
        {u"12345g text", 0, u"12345g text"},
    };
    for (const auto& c : cases)
    {
        SMessengerText got = ParseMessengerText(c.szWire);
        EXPECT_EQ(c.dwColour, got.dwColour) << Utf8Of(c.szWire);
        EXPECT_EQ(c.szText, got.szText) << Utf8Of(c.szWire);
    }
    EXPECT_EQ(u"ff8000hi", FormatMessengerText(0x000080FF, u"hi"));
    EXPECT_EQ(u"000000", FormatMessengerText(0, u""));
}

namespace
{
struct Log
{
    FakeLogView view;
    CMessengerLog log{view, {u"Yes", u"No", u"Cancel"}};
};
} // namespace

TEST(MessengerLog, KindsMakeTheirLinesColoursAndLinks)
{
    struct
    {
        int nKind;
        std::u16string szText;
        std::u16string szLine;
        uint32_t dwColour;
    } cases[] = {
        {MSGKIND_TEXT, u"ff0000hi there", u"Ann > hi there\r", 0x000000FF},
        {MSGKIND_TEXT, u"hey", u"Ann > hey\r", 0},
        {MSGKIND_NOTICE, u"done", u"done\r", kMessengerGrey},
        {MSGKIND_UNREACHABLE, u"%s is away", u"Ann is away\r", kMessengerGrey},
        {MSGKIND_INVITATION, u"%s invites you Yes No", u"Bob invites you Yes No\r", kMessengerGrey},
        {MSGKIND_COMMAND, u"\n*State\nx, 1, 2\r\n", u"\r*State\rx, 1, 2\r", kMessengerRed},
    };
    for (const auto& c : cases)
    {
        Log l;
        EXPECT_EQ(c.dwColour, l.log.Add(c.nKind, c.szText, u"Ann", u"Bob", false)) << c.nKind;
        EXPECT_EQ(c.szLine, l.view.text) << c.nKind;
        EXPECT_EQ(c.szLine, l.log.Text()) << c.nKind;
    }

    Log l;
    l.log.Add(MSGKIND_FILE_OFFER, u"a.txt: Yes No", u"", u"", false);
    const SChatRange yes1 = l.log.Range(CMessengerLog::LINK_OFFER_YES);
    EXPECT_TRUE(l.view.AllLinked(yes1));
    EXPECT_EQ(CMessengerLog::LINK_OFFER_NO, l.log.LinkAt(l.log.Range(CMessengerLog::LINK_OFFER_NO).nStart));
    // A newer offer takes the older links off; a peer's "Yes" in a chat line is never a link.
    l.log.Add(MSGKIND_TEXT, u"000000Yes No", u"Ann", u"", false);
    l.log.Add(MSGKIND_FILE_OFFER, u"b.txt: Yes No", u"", u"", false);
    EXPECT_FALSE(l.view.AllLinked(yes1));
    EXPECT_EQ(5u, l.view.LinkedCount()) << "Yes and No of the newest offer only";
    EXPECT_EQ(CMessengerLog::LINK_NONE, l.log.LinkAt(yes1.nStart));
    // The own acceptance: offer links go, Cancel comes; a refusal takes Cancel off.
    l.log.Add(MSGKIND_OFFER_TAKEN, u"receiving Cancel", u"", u"", false);
    EXPECT_TRUE(l.log.Range(CMessengerLog::LINK_OFFER_YES).Empty());
    EXPECT_TRUE(l.view.AllLinked(l.log.Range(CMessengerLog::LINK_CANCEL)));
    l.log.Add(MSGKIND_FILE_CANCEL, u"cancelled", u"", u"", false);
    EXPECT_EQ(0u, l.view.LinkedCount());

    // Invitation answers take the invitation's links off only when asked to.
    l.log.Add(MSGKIND_INVITATION, u"%s: Yes No", u"", u"Bob", false);
    l.log.Add(MSGKIND_INVITE_ACCEPTED, u"you are in another room", u"", u"", false);
    EXPECT_EQ(5u, l.view.LinkedCount());
    l.log.Add(MSGKIND_INVITE_REFUSED, u"refused", u"", u"", true);
    EXPECT_EQ(0u, l.view.LinkedCount());
}

TEST(MessengerLog, TrimKeepsEightHundredOneLinesAndMovesTheLinks)
{
    Log l;
    l.log.Add(MSGKIND_INVITATION, u"%s: Yes No", u"", u"Bob", false); // line 1: trimmed away
    for (int i = 0; i < 299; ++i)
        l.log.Add(MSGKIND_NOTICE, u"old", u"", u"", false);
    l.log.Add(MSGKIND_FILE_OFFER, u"f: Yes No", u"", u"", false); // line 301: stays
    for (int i = 0; i < 699; ++i)
        l.log.Add(MSGKIND_TEXT, u"000000line", u"Ann", u"", false);
    EXPECT_EQ(1000u, l.log.LineCount());
    const SChatRange before = l.log.Range(CMessengerLog::LINK_OFFER_YES);

    l.log.Add(MSGKIND_TEXT, u"000000one more", u"Ann", u"", false);
    EXPECT_EQ(801u, l.log.LineCount());
    EXPECT_EQ(l.view.text, l.log.Text());
    EXPECT_TRUE(l.log.Range(CMessengerLog::LINK_INVITE_YES).Empty());
    const SChatRange yes = l.log.Range(CMessengerLog::LINK_OFFER_YES);
    ASSERT_LT(yes.nStart, before.nStart);
    EXPECT_EQ(u"Yes", l.log.Text().substr(yes.nStart, 3));
    EXPECT_TRUE(l.view.AllLinked(yes));
    EXPECT_EQ(CMessengerLog::LINK_OFFER_YES, l.log.LinkAt(yes.nStart));
    EXPECT_EQ(u"No", l.log.Text().substr(l.log.Range(CMessengerLog::LINK_OFFER_NO).nStart, 2));
    EXPECT_EQ(5u, l.view.LinkedCount());
}

namespace
{
struct FakeBar : IFileSendCalOwner
{
    uint32_t dwNow = 5000;
    std::vector<std::pair<int, std::string>> posts;
    uint32_t TickCount() const override { return dwNow; }
    void PostPushProgress(int nPercent, const std::u16string& szText) override
    {
        posts.push_back({nPercent, Utf8Of(szText)});
    }
};
const SRemainFormats kFormats{u"%dh %dm %ds", u"%dm %ds", u"%ds"};
} // namespace

TEST(FileSendCal, PercentAndRemainingTimeOnAFakeClock)
{
    struct
    {
        const char* pszCase;
        uint32_t dwTotal;
        uint32_t dwElapsedMs;
        uint32_t dwDone;
        int nPercent;
        std::string szText;
    } cases[] = {
        // 70 MB: done x 100 would pass 32 bits.
        {"70 MB a third in", 70000000, 10000, 23333333, 33, "20s"},
        {"minutes", 10000000, 60000, 1000000, 10, "9m 0s"},
        {"hours", 100000000, 3600000, 10000000, 10, "9h 0m 0s"},
        // Remaining kilobytes times seconds pass 32 bits: counted in 64.
        {"4 GB slowly", 4000000000u, 2000000, 1000000, 0, "2221h 40m 0s"},
        {"done", 70000000, 10000, 70000000, 100, "0s"},
        {"total 0 measures against 1372", 0, 2000, 1372, 100, "0s"},
    };
    for (const auto& c : cases)
    {
        FakeBar bar;
        CFileSendCal cal(bar, kFormats);
        cal.Update(100); // not started: nothing
        cal.Start(c.dwTotal, u"a.bin");
        bar.dwNow += c.dwElapsedMs;
        cal.Update(c.dwDone);
        ASSERT_EQ(1u, bar.posts.size()) << c.pszCase;
        EXPECT_EQ(c.nPercent, bar.posts[0].first) << c.pszCase;
        EXPECT_EQ(c.szText, bar.posts[0].second) << c.pszCase;
    }
    EXPECT_EQ(1372u,
              []
              {
                  FakeBar b;
                  CFileSendCal c(b, kFormats);
                  c.Start(0, u"");
                  return c.Total();
              }());
}

TEST(FileSendCal, PostsOnceASecondButAlwaysTheFirstAndTheLast)
{
    FakeBar bar;
    CFileSendCal cal(bar, kFormats);
    cal.Start(1000000, u"a.bin");
    cal.Update(0); // nothing done: nothing
    bar.dwNow += 1000;
    cal.Update(100000);
    bar.dwNow += 500;
    cal.Update(200000); // within the second
    bar.dwNow += 100;
    cal.Update(1000000); // 100 % within the second all the same
    ASSERT_EQ(2u, bar.posts.size());
    EXPECT_EQ(10, bar.posts[0].first);
    EXPECT_EQ(100, bar.posts[1].first);
    // No elapsed whole second yet: no estimate, nothing posted, the next update tries again.
    FakeBar quick;
    CFileSendCal now(quick, kFormats);
    now.Start(1000000, u"a.bin");
    now.Update(1000);
    EXPECT_TRUE(quick.posts.empty());
    quick.dwNow += 1000;
    now.Update(2000);
    EXPECT_EQ(1u, quick.posts.size());
}

TEST(FileProgressPanel, RangeStaysPositiveAndNamesAreCut)
{
    struct
    {
        uint32_t dwTotal;
        int nHigh;
        uint64_t nRunning;
        int nPosition;
    } cases[] = {
        {1000, 1500, 250, 750},
        {0x7FFFFFFFu - 500, 0x7FFFFFFF, 0x7FFFFFFFu - 500, 0x7FFFFFFF},
        // 2 GiB and more: an unscaled range would pass INT_MAX (a negative range once).
        {0x80000000u, 0x40000000 + 500, 0x80000000u, 0x40000000 + 500},
        {0xFFFFFFFFu, 1073742323, 0xFFFFFFFFu, 1073742323},
        {1000, 1500, 5000, 1500}, // more than announced stays at the end
    };
    for (const auto& c : cases)
    {
        SFileProgressRange r = FileProgressRange(c.dwTotal);
        EXPECT_EQ(500, r.nLow) << c.dwTotal;
        EXPECT_EQ(c.nHigh, r.nHigh) << c.dwTotal;
        EXPECT_GT(r.nHigh, r.nLow) << c.dwTotal;
        EXPECT_EQ(c.nPosition, r.Position(c.nRunning)) << c.dwTotal;
    }
    EXPECT_EQ(u"abcdefghijklmn", FileProgressName(u"abcdefghijklmn"));
    EXPECT_EQ(u"abcdefghijkl...", FileProgressName(u"abcdefghijklmno"));
    EXPECT_EQ(u"", FileProgressName(u""));
}
