// File transfers: the paced one-block-in-flight send loop on a fake clock and network, the room
// push's receive and send machines and the messenger transfer's, against a real temporary folder.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "confclient/people/FilePush.h"
#include "confclient/people/MessengerLog.h"
#include "confclient/people/MessengerTransfer.h"
#include "confclient/people/PacedSender.h"
#include "core/Utf8Text.h"
#include "tests/people/TempDownloadFolder.h"
#include "tests/session/RecordedNotices.h"

namespace
{
// Time moves only when the loop waits for the pace.
struct FakeClock : IPaceClock
{
    uint64_t nNow = 5000;
    std::vector<uint32_t> waits;
    uint64_t NowMs() override { return nNow; }
    void WaitFor(std::unique_lock<std::mutex>&, std::condition_variable&, uint32_t ms,
                 const std::function<bool()>& wake) override
    {
        waits.push_back(ms);
        if (!wake()) nNow += ms;
    }
};

// The network: each block is sent at the clock's time and reported at once, unless held.
struct FakeLink : IBlockLink
{
    FakeClock& clock;
    CPacedSender* pSender = nullptr;
    bool bReport = true;
    bool bNetwork = true;
    // The report of this block comes that late (the network or the GUI thread stalled).
    size_t nStalledBlock = SIZE_MAX;
    uint64_t nStallMs = 0;
    std::vector<std::pair<uint64_t, size_t>> sent;
    std::mutex lock;
    std::condition_variable changed;

    explicit FakeLink(FakeClock& c) : clock(c) {}
    bool SendBlock(const uint8_t*, size_t n) override
    {
        if (!bNetwork) return false;
        {
            std::lock_guard<std::mutex> g(lock);
            sent.emplace_back(clock.nNow, n);
        }
        changed.notify_all();
        if (Count() == nStalledBlock + 1) clock.nNow += nStallMs;
        if (bReport) pSender->OnBlockSent(static_cast<uint32_t>(n));
        return true;
    }
    size_t Count()
    {
        std::lock_guard<std::mutex> g(lock);
        return sent.size();
    }
};

std::string FileBytes(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(i * 7 + i / 251);
    return s;
}
} // namespace

TEST(PacedSender, WholeBlocksEndWithAnEmptyOneEvenlySpacedAndNoSecondGoesOverThePace)
{
    struct
    {
        size_t nBlock;
        size_t nSize;
        size_t nBlocks;    // blocks sent, the last one shorter or empty
        size_t nStalledAt; // the block whose report comes 2.5 s late
    } cases[] = {
        {1372, 1372 * 3, 4, SIZE_MAX}, {1366, 1366 * 3, 4, SIZE_MAX}, {1372, 0, 1, SIZE_MAX},
        {1372, 1000, 1, SIZE_MAX},     {1372, 400000, 292, SIZE_MAX}, {1366, 300000, 220, SIZE_MAX},
        {1372, 400000, 292, 150},
    };
    for (const auto& c : cases)
    {
        FakeClock clock;
        FakeLink link(clock);
        link.nStalledBlock = c.nStalledAt;
        link.nStallMs = 2500;
        CPacedSender sender(clock, link, STransferPace{c.nBlock, 131072});
        link.pSender = &sender;
        CMemorySendFile file(FileBytes(c.nSize));
        EXPECT_EQ(CPacedSender::SEND_DONE, sender.Run(file));
        ASSERT_EQ(c.nBlocks, link.sent.size()) << c.nSize;
        EXPECT_LT(link.sent.back().second, c.nBlock);
        EXPECT_EQ(c.nSize, sender.BytesSent());
        // Every window of a second, wherever it starts, carries at most the pace.
        for (const auto& [t0, n0] : link.sent)
        {
            uint64_t nWindow = 0;
            for (const auto& [t, n] : link.sent)
                if (t >= t0 && t < t0 + 1000) nWindow += n;
            EXPECT_LE(nWindow, 131072u) << c.nSize << " at " << t0;
        }
        // At most one block of credit, at the start or after the stall: any three blocks in a row
        // span one block's time (10.4 ms) at least, so the loop never catches up in a burst.
        // Unstalled, the pace is kept within 2 %.
        for (size_t i = 2; i < link.sent.size(); ++i)
            EXPECT_GE(link.sent[i].first - link.sent[i - 2].first, 10u) << c.nSize << " block " << i;
        if (c.nStalledAt == SIZE_MAX && link.sent.size() > 100)
        {
            EXPECT_LE(link.sent.back().first - link.sent.front().first, c.nSize * 1000 / 131072 * 102 / 100);
        }
        EXPECT_FALSE(sender.OnBlockSent(5)) << "a report after the end";
    }
}

TEST(PacedSender, NoNetworkDropsBlocksWithoutWaiting)
{
    FakeClock clock;
    FakeLink link(clock);
    link.bNetwork = false;
    CPacedSender sender(clock, link, STransferPace{1372, 131072});
    CMemorySendFile file(FileBytes(5000));
    EXPECT_EQ(CPacedSender::SEND_DONE, sender.Run(file));
    EXPECT_EQ(0u, sender.BytesSent());
}

TEST(PacedSender, CancelWakesAWaitForTheReportOrThePace)
{
    for (bool bPaceWait : {false, true})
    {
        CSteadyPaceClock clock;
        FakeClock unused;
        FakeLink link(unused);
        // The report never comes: the loop waits for it; or a tiny pace makes it wait a second.
        link.bReport = bPaceWait;
        CPacedSender sender(clock, link, STransferPace{1372, bPaceWait ? 1372u : 131072u});
        link.pSender = &sender;
        CMemorySendFile file(FileBytes(100000));
        CPacedSender::Result r = CPacedSender::SEND_DONE;
        std::thread t([&] { r = sender.Run(file); });
        {
            std::unique_lock<std::mutex> g(link.lock);
            link.changed.wait(g, [&] { return !link.sent.empty(); });
        }
        sender.Cancel();
        t.join();
        EXPECT_EQ(CPacedSender::SEND_CANCELLED, r);
        EXPECT_EQ(1u, link.Count()) << "nothing sent after the cancel";
        EXPECT_FALSE(sender.OnBlockSent(1372)) << "a report after the cancel";
    }
}

TEST(PacedSender, ReportsRacingCancelAndTheThreadsEnd)
{
    // Under TSan: the GUI thread's reports and cancel against the loop's wait and end.
    for (int nRound = 0; nRound < 20; ++nRound)
    {
        CSteadyPaceClock clock;
        FakeClock unused;
        FakeLink link(unused);
        link.bReport = false;
        CPacedSender sender(clock, link, STransferPace{1372, 1u << 30});
        link.pSender = &sender;
        CMemorySendFile file(FileBytes(1372 * 50));
        std::thread t([&] { sender.Run(file); });
        std::thread reporter(
            [&]
            {
                for (int i = 0; i < 200; ++i)
                    sender.OnBlockSent(1372);
            });
        sender.Cancel();
        reporter.join();
        t.join();
        EXPECT_TRUE(sender.Cancelled());
    }
}

namespace
{
struct PushHost : IFilePushHost, IFileSendCalOwner
{
    std::vector<std::string> calls;
    std::mutex lock;
    std::condition_variable changed;
    CFilePush* pPush = nullptr;
    bool bReport = true;
    uint32_t dwEndTimer = 0;

    void Call(const std::string& s)
    {
        {
            std::lock_guard<std::mutex> g(lock);
            calls.push_back(s);
        }
        changed.notify_all();
    }
    bool SendPushFile(uint32_t dwSize, const std::u16string& szName) override
    {
        Call("520 " + Utf8Of(szName) + " " + std::to_string(dwSize));
        return true;
    }
    bool SendPushData(const uint8_t*, size_t n) override
    {
        Call("524 " + std::to_string(n));
        return true;
    }
    bool SendPushCancel() override
    {
        Call("522");
        return true;
    }
    void SetPushEndTimer(uint32_t ms) override
    {
        {
            std::lock_guard<std::mutex> g(lock);
            dwEndTimer = ms;
        }
        changed.notify_all();
    }
    void UpdatePushMenu() override {}
    void EndPushProgressLine() override { Call("progress line ended"); }
    void AddReceivedFile(const std::u16string&) override { Call("file link"); }
    uint32_t TickCount() const override { return 0; }
    void PostPushProgress(int, const std::u16string&) override {}

    void WaitEnd()
    {
        std::unique_lock<std::mutex> g(lock);
        changed.wait(g, [&] { return dwEndTimer != 0; });
    }
    bool Has(const std::string& s)
    {
        std::lock_guard<std::mutex> g(lock);
        return std::find(calls.begin(), calls.end(), s) != calls.end();
    }
};

constexpr uint16_t kAlice = 3;
constexpr uint16_t kBob = 4;

struct PushFixture
{
    PushHost host;
    RecordedNotices notices;
    CTempDownloadFolder folder;
    FakeClock clock;
    CFilePush push{host, notices, folder, clock, host, SRemainFormats{}, 131072};

    void Data(uint16_t wSender, const std::string& s)
    {
        push.OnPushData(wSender, reinterpret_cast<const uint8_t*>(s.data()), s.size());
    }
};
} // namespace

TEST(FilePush, ReceiveWritesOnlyTheSendersBytesUpToTheSize)
{
    PushFixture f;
    ASSERT_TRUE(f.push.BeginPushReceive(u"..\\..\\boot.ini", 10, kAlice, u"Alice"));
    EXPECT_EQ(u"boot.ini", f.push.ReceiveName());
    f.Data(kBob, "stray");
    f.push.OnPushCancelled(kBob, u"Bob");
    EXPECT_TRUE(f.push.Receiving()) << "a stray cancel ends nothing";
    // Another push meanwhile is refused and changes nothing.
    EXPECT_FALSE(f.push.BeginPushReceive(u"other.txt", 5, kBob, u"Bob"));
    EXPECT_EQ(u"Bob <IDS_MSG_PUSHRECV_ING>", f.notices.chatNotices.back());
    f.Data(kAlice, "01234");
    f.Data(kAlice, "56789past the size");
    EXPECT_FALSE(f.push.Receiving());
    EXPECT_EQ((std::vector<std::string>{"boot.ini"}), f.folder.Names());
    EXPECT_EQ("0123456789", f.folder.Contents("boot.ini"));
    EXPECT_TRUE(f.host.Has("file link"));
    EXPECT_EQ(1000u, f.host.dwEndTimer);

    // A late cancel after the receive, then after its end, deletes nothing.
    f.push.OnPushCancelled(kAlice, u"Alice");
    f.push.EndPush();
    f.push.OnPushCancelled(kAlice, u"Alice");
    f.push.CancelFilePush(true);
    EXPECT_EQ("0123456789", f.folder.Contents("boot.ini"));
    EXPECT_FALSE(f.host.Has("522"));
}

TEST(FilePush, CancelledOrFailedReceivesLeaveNoFile)
{
    struct
    {
        const char* pszCase;
        size_t nWriteLimit;
        int nEnd; // 0 the sender's cancel, 1 this receiver's cancel link, 2 a short write, 3 destruction
    } cases[] = {
        {"sender cancels before any block", SIZE_MAX, 0},
        {"sender cancels half-way", SIZE_MAX, 0},
        {"the receiver's cancel link", SIZE_MAX, 1},
        {"a short write", 3, 2},
        {"the bar goes", SIZE_MAX, 3},
    };
    for (const auto& c : cases)
    {
        PushFixture f;
        f.folder.nWriteLimit = c.nWriteLimit;
        f.folder.Put("keep.txt", "mine");
        {
            CFilePush push{f.host, f.notices, f.folder, f.clock, f.host, SRemainFormats{}, 131072};
            ASSERT_TRUE(push.BeginPushReceive(u"new.bin", 100, kAlice, u"Alice")) << c.pszCase;
            if (std::string(c.pszCase) != "sender cancels before any block")
                push.OnPushData(kAlice, reinterpret_cast<const uint8_t*>("abcdef"), 6);
            if (c.nEnd == 0) push.OnPushCancelled(kAlice, u"Alice");
            if (c.nEnd == 1) push.CancelFilePush(true);
            if (c.nEnd != 3) EXPECT_FALSE(push.Receiving()) << c.pszCase;
        }
        EXPECT_EQ((std::vector<std::string>{"keep.txt"}), f.folder.Names()) << c.pszCase;
        EXPECT_FALSE(f.host.Has("522")) << c.pszCase << ": a receiver never cancels for the room";
    }
}

TEST(FilePush, SendAnnouncesStreamsAndCancelsForTheRoom)
{
    {
        PushFixture f;
        EXPECT_FALSE(f.push.StartPush(std::make_unique<CMemorySendFile>(""), u"huge.iso", 0x100000000ull));
        EXPECT_EQ(u"<IDS_MSG_FILETRANS_OPENFAILED>", f.notices.boxes.back()) << "4 GiB wraps the size field";
        EXPECT_FALSE(f.push.Busy());
    }
    {
        PushFixture f;
        ASSERT_TRUE(f.push.StartPush(std::make_unique<CMemorySendFile>(FileBytes(1372 * 2 + 5)), u"a.bin",
                                     1372 * 2 + 5));
        // Reports come from the GUI thread: here, as each block is seen.
        for (size_t nSeen = 0; nSeen < 3; ++nSeen)
        {
            {
                std::unique_lock<std::mutex> g(f.host.lock);
                f.host.changed.wait(g, [&] { return f.host.calls.size() >= nSeen + 2; });
            }
            f.push.OnPushChunkSent(nSeen < 2 ? 1372 : 5);
        }
        f.host.WaitEnd();
        EXPECT_EQ(1000u, f.host.dwEndTimer);
        EXPECT_FALSE(f.push.StartPush(std::make_unique<CMemorySendFile>("x"), u"b.bin", 1));
        EXPECT_EQ(u"<IDS_MSG_PUSHRECV_ING>", f.notices.boxes.back());
        EXPECT_EQ(2749u, f.push.SentBytes());
        f.push.EndPush();
        EXPECT_FALSE(f.push.Busy());
        EXPECT_EQ((std::vector<std::string>{"520 a.bin 2749", "524 1372", "524 1372", "524 5"}),
                  f.host.calls);
    }
    {
        PushFixture f;
        ASSERT_TRUE(f.push.StartPush(std::make_unique<CMemorySendFile>(FileBytes(50000)), u"c.bin", 50000));
        {
            std::unique_lock<std::mutex> g(f.host.lock);
            f.host.changed.wait(g, [&] { return f.host.calls.size() >= 2; });
        }
        f.push.CancelFilePush(true);
        f.push.CancelFilePush(true);
        f.host.WaitEnd();
        EXPECT_EQ(100u, f.host.dwEndTimer);
        f.push.OnPushChunkSent(1372); // late: ignored
        f.push.EndPush();
        EXPECT_EQ((std::vector<std::string>{"520 c.bin 50000", "524 1372", "522", "progress line ended"}),
                  f.host.calls);
    }
}

namespace
{
struct TransferHost : IMessengerTransferHost
{
    std::vector<std::string> calls;
    std::mutex lock;
    std::condition_variable changed;
    int nSendEnd = 0, nReceiveEnd = 0;

    void Call(const std::string& s)
    {
        {
            std::lock_guard<std::mutex> g(lock);
            calls.push_back(s);
        }
        changed.notify_all();
    }
    bool SendFileOffer(const std::u16string& szName, uint32_t dwSize) override
    {
        Call("620 " + Utf8Of(szName) + " " + std::to_string(dwSize));
        return true;
    }
    bool SendFileReply(bool bAccept) override
    {
        Call(bAccept ? "630 accepted" : "630 refused");
        return true;
    }
    bool SendFileData(const uint8_t*, size_t n) override
    {
        Call("640 " + std::to_string(n));
        return true;
    }
    std::u16string Text(const char* pszKey) const override
    {
        std::string s = pszKey;
        return std::u16string(s.begin(), s.end());
    }
    void AddLine(int nKind, const std::u16string& szText) override
    {
        Call("kind " + std::to_string(nKind) + " " + Utf8Of(szText));
    }
    void ShowBox(const std::u16string& szText) override { Call("box " + Utf8Of(szText)); }
    void SetEndTimer(bool bSend, uint32_t) override
    {
        {
            std::lock_guard<std::mutex> g(lock);
            ++(bSend ? nSendEnd : nReceiveEnd);
        }
        changed.notify_all();
    }
    void ShowProgress(bool bSend, const std::u16string&, uint32_t) override
    {
        Call(bSend ? "progress send" : "progress receive");
    }
    void UpdateProgress(uint64_t, uint32_t) override {}
    void CloseProgress() override {}
    void EnableFileButton(bool) override {}
    void UnlinkCancel() override {}

    bool Has(const std::string& s)
    {
        std::lock_guard<std::mutex> g(lock);
        return std::find(calls.begin(), calls.end(), s) != calls.end();
    }
    size_t Count(const std::string& s)
    {
        std::lock_guard<std::mutex> g(lock);
        return static_cast<size_t>(std::count(calls.begin(), calls.end(), s));
    }
};

struct TransferFixture
{
    TransferHost host;
    CTempDownloadFolder folder;
    FakeClock clock;
    CMessengerTransfer transfer{host, folder, clock, 131072};

    void Data(const std::string& s) { transfer.OnData(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }
};
} // namespace

TEST(MessengerTransfer, StrayAnswersAndOffersChangeNothing)
{
    TransferFixture f;
    f.transfer.OnReply(true);
    f.transfer.OnReply(false);
    EXPECT_TRUE(f.host.calls.empty()) << "no offer of ours: an accept sends nothing";

    // A late accept after our cancel does not send the file again.
    ASSERT_TRUE(f.transfer.OfferFile(std::make_unique<CMemorySendFile>("abc"), u"a.txt", 3));
    f.transfer.Cancel();
    f.transfer.OnReply(true);
    EXPECT_FALSE(f.transfer.Sending());
    EXPECT_EQ(0u, f.host.Count("progress send"));

    // An offer during a receive is refused and leaves the receive and its name alone.
    f.transfer.OnOffer(u"x.txt", 6, u"Ann");
    f.transfer.AcceptOffer();
    EXPECT_EQ(u"x.txt", f.transfer.ReceiveName());
    f.transfer.OnOffer(u"..\\victim.txt", 9, u"Ann");
    EXPECT_EQ(u"x.txt", f.transfer.ReceiveName());
    EXPECT_EQ(2u, f.host.Count("630 refused")) << "our cancel, then the second offer";
    EXPECT_FALSE(f.transfer.OfferIn());
    f.Data("abcdef");
    EXPECT_EQ("abcdef", f.folder.Contents("x.txt"));
}

TEST(MessengerTransfer, CancelledReceivesLeaveNoPartialFile)
{
    struct
    {
        const char* pszCase;
        bool bFirstBlock;
        bool bPeerCancels; // else ours, through the Cancel link
        size_t nWriteLimit;
    } cases[] = {
        {"ours before the first block", false, false, SIZE_MAX},
        {"ours half-way", true, false, SIZE_MAX},
        {"the peer's half-way", true, true, SIZE_MAX},
        {"the peer's before the first block", false, true, SIZE_MAX},
        {"a short write", true, false, 2},
    };
    for (const auto& c : cases)
    {
        TransferFixture f;
        f.folder.nWriteLimit = c.nWriteLimit;
        f.transfer.OnOffer(u"big.bin", 1000, u"Ann");
        f.transfer.AcceptOffer();
        ASSERT_TRUE(f.transfer.Receiving()) << c.pszCase;
        if (c.bFirstBlock) f.Data("some bytes");
        if (f.transfer.Receiving())
        {
            if (c.bPeerCancels)
                f.transfer.OnReply(false);
            else
                f.transfer.Cancel();
        }
        EXPECT_FALSE(f.transfer.Receiving()) << c.pszCase << ": ended at once, not at the next block";
        EXPECT_TRUE(f.folder.Names().empty()) << c.pszCase;
        f.Data("late block");
        EXPECT_TRUE(f.folder.Names().empty()) << c.pszCase;
        f.transfer.OnReceiveEnd();
        EXPECT_FALSE(f.transfer.Running()) << c.pszCase;
    }
}

TEST(MessengerTransfer, AcceptedOfferWhoseFileCannotBeMadeIsRefusedAtOnce)
{
    TransferFixture f;
    f.folder.nNameRoom = 4; // no name fits
    f.transfer.OnOffer(u"a.txt", 10, u"Ann");
    f.transfer.AcceptOffer();
    EXPECT_EQ((std::vector<std::string>{"kind 7 Ann IDS_MSG_FILESEND_REQ a.txt   IDS_MSG_YES   IDS_MSG_NO",
                                        "630 refused", "box IDS_MSG_FILETRANS_OPENFAILED"}),
              f.host.calls);
    EXPECT_FALSE(f.transfer.Running());
    EXPECT_FALSE(f.transfer.OfferIn());
}

TEST(MessengerTransfer, AcceptedOfferIsSentAndTheEndJoinsTheThread)
{
    TransferFixture f;
    EXPECT_FALSE(f.transfer.OfferFile(std::make_unique<CMemorySendFile>(""), u"big.iso", 0x100000000ull));
    EXPECT_TRUE(f.host.Has("box IDS_MSG_FILETRANS_OPENFAILED"));
    ASSERT_TRUE(f.transfer.OfferFile(std::make_unique<CMemorySendFile>(FileBytes(1366)), u"a.bin", 1366));
    f.transfer.OnReply(true);
    for (uint32_t nBlock : {1366u, 0u})
    {
        const std::string szSent = "640 " + std::to_string(nBlock);
        {
            std::unique_lock<std::mutex> g(f.host.lock);
            f.host.changed.wait(
                g, [&] { return std::count(f.host.calls.begin(), f.host.calls.end(), szSent) == 1; });
        }
        f.transfer.OnDataAck(nBlock);
    }
    {
        std::unique_lock<std::mutex> g(f.host.lock);
        f.host.changed.wait(g, [&] { return f.host.nSendEnd == 1; });
    }
    f.transfer.OnSendEnd();
    EXPECT_FALSE(f.transfer.Running());
    EXPECT_TRUE(f.host.Has("kind 2 IDS_MSG_FILESEND_END"));
}
