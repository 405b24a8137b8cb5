// Sending a page file: chunks of one payload each after the host's "sent" notice,
// the page-complete message, pacing against a fake clock, and a wait that cancel and
// destruction always end.
#include <gtest/gtest.h>

#include <thread>

#include "tests/lmboard2_core/BoardTestDir.h"
#include "tests/lmboard2_core/SockBoardFakes.h"

namespace
{
struct FileFixture : ::testing::Test
{
    CBoardTestDir dir;
    BoardFolders folders = *BoardFolders::Make(dir.path);
    CRecordingOwner owner;
    CRecordingStore store;
    CFakeClock clock;
    std::unique_ptr<CSockBoard> sock = std::make_unique<CSockBoard>(owner, store, clock, folders);
    S_BOARD_FILEHDR hdr;

    // A page file with nBody bytes behind its header; the host acknowledges every
    // message at once unless told otherwise.
    void MakePage(size_t nBody, bool bAutoAck = true)
    {
        hdr.byKind = PAGE_PICTURE;
        hdr.dwSize = static_cast<uint32_t>(nBody);
        S_BOARD_FILEHDR::SetText(hdr.szName, u"Conf_001");
        std::vector<uint8_t> bytes(kBoardFileHeaderSize + nBody);
        hdr.Write(bytes.data());
        for (size_t i = 0; i < nBody; ++i)
            bytes[kBoardFileHeaderSize + i] = static_cast<uint8_t>(i * 7);
        WriteWholeFile(*folders.PageFile(u"Conf_001"), bytes);
        if (bAutoAck)
            owner.onSend = [this](const uint8_t* p, size_t n)
            {
                clock.nNow += 100; // each chunk takes a while to leave
                sock->SucSendBoardData(p, n);
            };
    }
};
} // namespace

TEST_F(FileFixture, ChunksCoverTheBodyAndEndWithPageComplete)
{
    struct Case
    {
        size_t nBody;
        std::vector<uint8_t> codes;
        std::vector<uint32_t> progress;
    } cases[] = {
        {0, {30, 32}, {}},
        {1305, {30, 31, 31, 32}, {1304, 1}},
        {2 * 1304, {30, 31, 31, 32}, {1304, 1304}}, // the last full chunk is followed by an empty read
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.nBody);
        owner.progress.clear();
        owner.pages.clear();
        size_t nBefore = owner.Sent().size();
        MakePage(c.nBody);
        ASSERT_TRUE(sock->SendFile(hdr));
        std::vector<std::vector<uint8_t>> sent = owner.Sent();
        sent.erase(sent.begin(), sent.begin() + static_cast<long>(nBefore));
        std::vector<uint8_t> codes;
        std::vector<uint8_t> body;
        for (const auto& m : sent)
        {
            codes.push_back(m[0]);
            EXPECT_EQ(u"Conf_001", NameOf(m));
            if (m[0] == 31) body.insert(body.end(), m.begin() + 72, m.end());
        }
        EXPECT_EQ(c.codes, codes);
        EXPECT_EQ(208u, sent[0].size() - 72);
        std::vector<uint8_t> file = ReadWholeFile(*folders.PageFile(u"Conf_001"));
        EXPECT_EQ(std::vector<uint8_t>(file.begin() + 208, file.end()), body);
        EXPECT_EQ(c.progress, owner.progress);
        ASSERT_EQ(1u, owner.pages.size());
        EXPECT_EQ(u"Conf_001", S_BOARD_FILEHDR::Text(owner.pages[0].szName));
    }
}

TEST_F(FileFixture, MissingOrUnsafePageIsNotSent)
{
    S_BOARD_FILEHDR h;
    S_BOARD_FILEHDR::SetText(h.szName, u"Conf_404");
    EXPECT_FALSE(sock->SendFile(h));
    S_BOARD_FILEHDR::SetText(h.szName, u"../Conf_001");
    EXPECT_FALSE(sock->SendFile(h));
    EXPECT_TRUE(owner.Sent().empty());
}

TEST_F(FileFixture, PacingGivesEachChunkItsShareOfTime)
{
    EXPECT_EQ(-1, sock->SetBandwidth(-5)); // refused, pacing unchanged
    EXPECT_EQ(0, sock->SetBandwidth(2608));
    EXPECT_EQ(-1, sock->SetBandwidth(-1));
    MakePage(5 * 1304);
    uint32_t nStart = clock.nNow;
    ASSERT_TRUE(sock->SendFile(hdr));
    // Half a second a chunk: each takes 100 ms to leave and sleeps the rest; the header and the
    // page complete go at once.
    EXPECT_EQ((std::vector<uint32_t>{400, 400, 400, 400, 400}), clock.sleeps);
    EXPECT_EQ(clock.nNow - nStart, 100 + 5 * 500u + 100);

    clock.sleeps.clear();
    EXPECT_EQ(0, sock->SetBandwidth(0));
    ASSERT_TRUE(sock->SendFile(hdr));
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST_F(FileFixture, PacingSpansTheFilesOfAnUpload)
{
    // Pages of one chunk each: each file alone would never be paced.
    EXPECT_EQ(0, sock->SetBandwidth(2 * 1304));
    MakePage(1304);
    sock->StartPacing();
    uint32_t nStart = clock.nNow;
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(sock->SendFile(hdr));
    // Six chunks at two a second take three seconds, headers and page ends included.
    EXPECT_EQ(6u, clock.sleeps.size());
    EXPECT_GE(clock.nNow - nStart, 3000u);
    EXPECT_LE(clock.nNow - nStart, 3300u);
}

TEST_F(FileFixture, StallIsNotMadeUpInABurst)
{
    // Ten chunks a second; the fourth chunk's notice comes two seconds late.
    EXPECT_EQ(0, sock->SetBandwidth(10 * 1304));
    MakePage(8 * 1304);
    int nChunk = 0;
    owner.onSend = [&](const uint8_t* p, size_t n)
    {
        clock.nNow += p[0] == 31 && ++nChunk == 4 ? 2000 : 10;
        sock->SucSendBoardData(p, n);
    };
    ASSERT_TRUE(sock->SendFile(hdr));
    // Before the stall, 90 ms of each 100 ms are slept; after it the chunk that follows goes at
    // once (one chunk of credit) and the next sleeps 80 ms; then the pace is as before.
    EXPECT_EQ((std::vector<uint32_t>{90, 90, 90, 80, 90, 90}), clock.sleeps);
}

TEST_F(FileFixture, SlowSecondIsNotPaced)
{
    EXPECT_EQ(0, sock->SetBandwidth(1304));
    MakePage(2 * 1304);
    owner.onSend = [this](const uint8_t* p, size_t n)
    {
        clock.nNow += 1500;
        sock->SucSendBoardData(p, n);
    };
    ASSERT_TRUE(sock->SendFile(hdr));
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST_F(FileFixture, CancelEndsAWaitForALostChunk)
{
    MakePage(3000, false); // the host never reports the chunk as sent
    std::atomic<int> nResult{-1};
    std::thread worker([&] { nResult = sock->SendFile(hdr) ? 1 : 0; });
    while (owner.Sent().size() < 2)
        std::this_thread::yield();
    sock->SetUploadCancel(true);
    worker.join();
    EXPECT_EQ(0, nResult);
    EXPECT_EQ((std::vector<uint8_t>{30, 31}), owner.Codes());
    EXPECT_TRUE(owner.pages.empty());
    EXPECT_FALSE(sock->SendFile(hdr)); // still cancelled
    sock->SetUploadCancel(false);
}

TEST_F(FileFixture, DestructionEndsAWaitForALostChunk)
{
    MakePage(3000, false);
    std::atomic<int> nResult{-1};
    std::thread worker([&] { nResult = sock->SendFile(hdr) ? 1 : 0; });
    while (owner.Sent().size() < 2)
        std::this_thread::yield();
    sock.reset();
    worker.join();
    EXPECT_EQ(0, nResult);
}

TEST_F(FileFixture, GuiMessagesBetweenChunksKeepTheirOwnBytes)
{
    MakePage(3 * 1304, false);
    std::atomic<bool> bDone{false};
    std::thread worker(
        [&]
        {
            sock->SendFile(hdr);
            bDone = true;
        });
    // Each chunk is answered only after a GUI-thread message went out beside it.
    size_t nAcked = 0;
    while (!bDone)
    {
        std::vector<std::vector<uint8_t>> sent = owner.Sent();
        size_t nChunks = 0;
        const std::vector<uint8_t>* pChunk = nullptr;
        for (const auto& m : sent)
            if (m[0] == 31) ++nChunks, pChunk = &m;
        if (nChunks == nAcked)
        {
            std::this_thread::yield();
            continue;
        }
        sock->SendZoom(125);
        sock->SucSendBoardData(pChunk->data(), pChunk->size());
        ++nAcked;
    }
    worker.join();
    std::vector<uint8_t> body;
    for (const auto& m : owner.Sent())
    {
        if (m[0] == 81)
        {
            EXPECT_EQ(72u, m.size());
        }
        if (m[0] == 31) body.insert(body.end(), m.begin() + 72, m.end());
    }
    std::vector<uint8_t> file = ReadWholeFile(*folders.PageFile(u"Conf_001"));
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 208, file.end()), body);
}
