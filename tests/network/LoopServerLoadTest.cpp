// The loopback server under load: a member that never reads is cut off while the others
// get every frame in order and the queued bytes stay under the bound; a thousand idle
// connections cost no thread each, the connection limit refuses the next one, and
// connections that never send their key are closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <dirent.h>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

#include "confclient/network/QNPayloads.h"
#include "loopserver/LoopServer.h"
#include "tests/network/RawLoopClient.h"

namespace
{
class CKeptLog : public ILogSink
{
public:
    void AddLog(int nLevel, const std::string& text) override
    {
        if (nLevel == LOG_DEBUG) return;
        std::lock_guard<std::mutex> g(m_lock);
        m_lines.push_back(text);
    }
    bool Has(const std::string& part) const
    {
        std::lock_guard<std::mutex> g(m_lock);
        for (const std::string& line : m_lines)
            if (line.find(part) != std::string::npos) return true;
        return false;
    }

private:
    mutable std::mutex m_lock;
    std::vector<std::string> m_lines;
};

// Two sockets a connection, both in this process.
void RaiseFileLimit()
{
    rlimit lim{};
    ASSERT_EQ(0, getrlimit(RLIMIT_NOFILE, &lim));
    lim.rlim_cur = lim.rlim_max;
    ASSERT_EQ(0, setrlimit(RLIMIT_NOFILE, &lim));
    ASSERT_GE(lim.rlim_cur, 2100u) << "the hard limit on open files is too low for this test";
}

size_t ThreadCount()
{
    size_t n = 0;
    DIR* pDir = opendir("/proc/self/task");
    while (dirent* p = pDir ? readdir(pDir) : nullptr)
        n += p->d_name[0] != '.';
    if (pDir) closedir(pDir);
    return n;
}

std::optional<RawFrame> ReceiveUntil(CRawClient& client, uint16_t wCommand)
{
    std::optional<RawFrame> f;
    while ((f = client.Receive()) && f->wCommand != wCommand)
    {
    }
    return f;
}

// Keyed, logged in as szId and in room 1.
void EnterRoom(CRawClient& client, const std::u16string& szId)
{
    ASSERT_TRUE(client.Connected());
    ASSERT_TRUE(client.SendKey(kRoundKeyBytes));
    ASSERT_TRUE(ReceiveUntil(client, ACK_SEED_KEY));
    QNLoginRequest login;
    login.szUserId = szId;
    Bytes b;
    EncodeLogin(login, b);
    ASSERT_TRUE(client.Send(CMD_LOBY_LOGIN, b));
    ASSERT_TRUE(ReceiveUntil(client, ACK_LOBY_LOGIN));
    QNConfJoin join;
    join.wRoomIndex = 1;
    b.clear();
    EncodeConfJoin(join, b);
    ASSERT_TRUE(client.Send(CMD_CONF_JOIN, b));
    ASSERT_TRUE(ReceiveUntil(client, ACK_CONF_JOIN));
}

constexpr int kChats = 4000;
constexpr int kChatsPerVideo = 4;
constexpr int kVideos = kChats / kChatsPerVideo;
constexpr size_t kVideoBytes = 8 * 1024;
constexpr size_t kChatUnits = 400;
constexpr int kChatsPerBatch = 20;

std::u16string ChatText(int i)
{
    std::u16string s;
    for (char c : std::to_string(i))
        s.push_back(static_cast<char16_t>(c));
    s.push_back(u' ');
    s.resize(kChatUnits, u'x');
    return s;
}

// What one member got of the flow: the numbers of the chat lines and video frames, in order.
struct Received
{
    std::vector<int> chats;
    std::vector<int> videos;
};

// Reads until the last chat line arrives (wChatCommand: 461 to the others) or the
// connection ends; pfnProgress hears each chat line's number.
Received ReadFlow(CRawClient& client, uint16_t wChatCommand, const std::function<void(int)>& pfnProgress = {})
{
    Received r;
    while (std::optional<RawFrame> f = client.Receive())
    {
        if (f->wCommand == wChatCommand)
        {
            QNChat chat;
            if (!DecodeChat(f->payload.data(), f->payload.size(), chat)) break;
            r.chats.push_back(std::stoi(AsciiFromUtf16(chat.szText)));
            if (pfnProgress) pfnProgress(r.chats.back());
            if (r.chats.back() == kChats - 1) break;
        }
        else if (f->wCommand == DAT_VIDEO_FRAME && f->payload.size() == kVideoBytes)
            r.videos.push_back(f->payload[0] | f->payload[1] << 8);
    }
    return r;
}

// Reads one member's flow on its own thread and tells how far it got.
class CFlowReader
{
public:
    CFlowReader(CRawClient& client, uint16_t wChatCommand)
        : m_thread(
              [this, &client, wChatCommand]
              {
                  m_got = ReadFlow(client, wChatCommand, [this](int n) { Reached(n); });
                  Reached(kChats); // ended: nobody waits for more
              })
    {
    }
    ~CFlowReader()
    {
        if (m_thread.joinable()) m_thread.join();
    }
    // Waits until chat line nChat has arrived, or the flow has ended.
    void WaitFor(int nChat)
    {
        std::unique_lock<std::mutex> g(m_lock);
        m_cv.wait(g, [&] { return m_nReached >= nChat; });
    }
    Received Join()
    {
        m_thread.join();
        return m_got;
    }

private:
    void Reached(int nChat)
    {
        std::lock_guard<std::mutex> g(m_lock);
        m_nReached = nChat;
        m_cv.notify_all();
    }

    std::mutex m_lock;
    std::condition_variable m_cv;
    int m_nReached = -1;
    Received m_got;
    std::thread m_thread;
};

std::vector<int> Numbers(int n)
{
    std::vector<int> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = i;
    return v;
}

class LoopServerLoadTest : public ::testing::Test
{
protected:
    void SetUp() override { NetStartup(); }
    void TearDown() override
    {
        if (server) server->Stop();
        NetCleanup();
    }
    void Start(const LoopConfig& cfg)
    {
        server = std::make_unique<CLoopServer>(cfg, &log);
        ASSERT_TRUE(server->Start(0));
    }

    CKeptLog log;
    std::unique_ptr<CLoopServer> server;
};
} // namespace

TEST_F(LoopServerLoadTest, AMemberThatNeverReadsIsCutOffAndTheOthersGetEverything)
{
    LoopConfig cfg = DefaultLoopConfig();
    cfg.nOutboundLimit = 256 * 1024;
    Start(cfg);
    CRawClient sender(server->Port()), fast1(server->Port()), fast2(server->Port()), slow(server->Port());
    ASSERT_NO_FATAL_FAILURE(EnterRoom(sender, u"alice"));
    ASSERT_NO_FATAL_FAILURE(EnterRoom(fast1, u"bob"));
    ASSERT_NO_FATAL_FAILURE(EnterRoom(fast2, u"carol"));
    ASSERT_NO_FATAL_FAILURE(EnterRoom(slow, u"dave"));

    CFlowReader read1(fast1, INFO_CONF_CHAT), read2(fast2, INFO_CONF_CHAT);
    std::vector<uint8_t> video(kVideoBytes, 0xA5);
    for (int i = 0; i < kChats; ++i)
    {
        QNChat chat;
        chat.szText = ChatText(i);
        Bytes b;
        EncodeChat(chat, b);
        ASSERT_TRUE(sender.Send(CMD_CONF_CHAT, b));
        if (i % kChatsPerVideo == 0)
        {
            int nVideo = i / kChatsPerVideo;
            video[0] = static_cast<uint8_t>(nVideo);
            video[1] = static_cast<uint8_t>(nVideo >> 8);
            ASSERT_TRUE(sender.Send(DAT_VIDEO_FRAME, video));
        }
        // The readers keep up: never more than a batch (far below the bound) in flight to them.
        if (i % kChatsPerBatch == kChatsPerBatch - 1)
            for (CFlowReader* r : {&read1, &read2})
                r->WaitFor(i);
    }
    const Received got1 = read1.Join(), got2 = read2.Join();

    const std::vector<int> allChats = Numbers(kChats), allVideos = Numbers(kVideos);
    EXPECT_EQ(allChats, got1.chats);
    EXPECT_EQ(allVideos, got1.videos);
    EXPECT_EQ(allChats, got2.chats);
    EXPECT_EQ(allVideos, got2.videos);
    EXPECT_LE(server->PeakOutboundBytes(), cfg.nOutboundLimit);
    // The flow is far more than the slow member's kernel buffers and its queue hold.
    EXPECT_TRUE(log.Has("media for it dropped"));
    EXPECT_TRUE(log.Has("cut off"));

    // The slow member got a gap-free start of the chat, some video, then the end.
    Received late = ReadFlow(slow, INFO_CONF_CHAT);
    ASSERT_LT(late.chats.size(), static_cast<size_t>(kChats));
    EXPECT_EQ(Numbers(static_cast<int>(late.chats.size())), late.chats);
    EXPECT_LT(late.videos.size(), static_cast<size_t>(kVideos));
    EXPECT_TRUE(std::is_sorted(late.videos.begin(), late.videos.end()));
}

TEST_F(LoopServerLoadTest, AThousandIdleConnectionsCostNoThreadEachAndTheNextIsRefused)
{
    ASSERT_NO_FATAL_FAILURE(RaiseFileLimit());
    LoopConfig cfg = DefaultLoopConfig();
    cfg.nMaxConnections = 1000;
    cfg.nKeyTimeoutMs = 3600 * 1000; // none of them goes for want of a key here
    const size_t nThreadsBefore = ThreadCount();
    Start(cfg);
    std::vector<std::unique_ptr<CRawClient>> idle;
    for (size_t i = 0; i < cfg.nMaxConnections; ++i)
    {
        idle.push_back(std::make_unique<CRawClient>(server->Port()));
        ASSERT_TRUE(idle.back()->Connected()) << i;
    }
    // Accepted in the order they connected: the one past the limit is closed unanswered.
    CRawClient extra(server->Port());
    ASSERT_TRUE(extra.Connected());
    EXPECT_FALSE(extra.Receive().has_value());
    EXPECT_TRUE(log.Has("connection refused: the limit of 1000 connections is reached"));
    EXPECT_LE(ThreadCount(), nThreadsBefore + 1);

    // The served ones are still served.
    for (size_t i : {size_t{0}, cfg.nMaxConnections - 1})
    {
        ASSERT_TRUE(idle[i]->SendKey(kRoundKeyBytes));
        std::optional<RawFrame> answer = idle[i]->Receive();
        ASSERT_TRUE(answer.has_value()) << i;
        EXPECT_EQ(ACK_SEED_KEY, answer->wCommand) << i;
    }
}

TEST_F(LoopServerLoadTest, ConnectionsThatSendNoKeyAreClosed)
{
    ASSERT_NO_FATAL_FAILURE(RaiseFileLimit());
    LoopConfig cfg = DefaultLoopConfig();
    cfg.nKeyTimeoutMs = 20;
    Start(cfg);
    std::vector<std::unique_ptr<CRawClient>> keyless;
    for (int i = 0; i < 1000; ++i)
    {
        keyless.push_back(std::make_unique<CRawClient>(server->Port()));
        ASSERT_TRUE(keyless.back()->Connected()) << i;
    }
    for (auto& c : keyless)
        EXPECT_FALSE(c->Receive().has_value());
    EXPECT_TRUE(log.Has("sent no key within 20 ms: connection closed"));
}
