// The send and dispatch threads wake on work and on stop: with the fallback period
// turned off only a signal wakes them, so a missed signal stalls the test (a watchdog
// ends it) instead of being hidden by a periodic look.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

#include "confclient/network/PacketHeader.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/transport/QNInterface.h"
#include "tests/network/QNTestOwner.h"

namespace
{
constexpr int kProducers = 8;
constexpr uint32_t kFramesEach = 2000;
// One command per send list, so that producers contend on all six.
constexpr uint16_t kListCommands[kSendListCount] = {CMD_CONF_CHAT,   DAT_BOARD_ROOM,  DAT_VIDEO_FRAME,
                                                    DAT_MOVIE_VIDEO, DAT_MOVIE_AUDIO, DAT_VIDEO_2020};

// Ends the process when a step does not finish: a stalled thread cannot be joined.
class CWatchdog
{
public:
    explicit CWatchdog(const char* pszWhat)
        : m_thread(
              [this, pszWhat]
              {
                  std::unique_lock<std::mutex> g(m_lock);
                  if (!m_cv.wait_for(g, std::chrono::minutes(2), [this] { return m_bDone; }))
                  {
                      std::fprintf(stderr, "stalled: %s\n", pszWhat);
                      std::abort();
                  }
              })
    {
    }
    ~CWatchdog()
    {
        {
            std::lock_guard<std::mutex> g(m_lock);
            m_bDone = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_cv;
    bool m_bDone = false;
    std::thread m_thread;
};

// A frame as the send lists hold it; the payload is (producer, serial), uncoded.
std::vector<uint8_t> TaggedFrame(uint16_t wCommand, uint32_t nProducer, uint32_t nSerial)
{
    std::vector<uint8_t> f(kFrameHeaderSize + 8);
    PacketHeader h;
    h.wCommand = wCommand;
    h.dwTotalLength = static_cast<uint32_t>(f.size());
    h.Write(f.data());
    for (int i = 0; i < 4; ++i)
    {
        f[kFrameHeaderSize + i] = static_cast<uint8_t>(nProducer >> (8 * i));
        f[kFrameHeaderSize + 4 + i] = static_cast<uint8_t>(nSerial >> (8 * i));
    }
    return f;
}

uint32_t U32At(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

// A peer that takes one connection and reads whole frames from it.
class CFramePeer
{
public:
    CFramePeer()
    {
        NetStartup();
        m_listen = NetListenLoopback(0, &m_wPort);
    }
    ~CFramePeer()
    {
        NetShutdownClose(m_conn);
        NetClose(m_listen);
        NetCleanup();
    }
    uint16_t Port() const { return m_wPort; }
    bool Accept()
    {
        m_conn = NetAccept(m_listen);
        return m_conn != kNoSocket;
    }
    // The next frame's header and payload; false when the connection ends.
    bool Next(PacketHeader& h, std::vector<uint8_t>& payload)
    {
        uint8_t head[kFrameHeaderSize];
        if (!Fill(head, sizeof head)) return false;
        h = PacketHeader::Read(head);
        if (h.dwTotalLength < kFrameHeaderSize) return false;
        payload.resize(h.dwTotalLength - kFrameHeaderSize);
        return Fill(payload.data(), payload.size());
    }

private:
    bool Fill(uint8_t* p, size_t n)
    {
        while (n)
        {
            int r = NetRecv(m_conn, p, n);
            if (r <= 0) return false;
            p += r;
            n -= static_cast<size_t>(r);
        }
        return true;
    }

    NetSocket m_listen = kNoSocket;
    NetSocket m_conn = kNoSocket;
    uint16_t m_wPort = 0;
};

// Checks that every producer's frames arrived once each and in the order it queued them.
void ExpectEveryFrameInOrder(const std::map<uint32_t, std::vector<uint32_t>>& serials)
{
    ASSERT_EQ(size_t(kProducers), serials.size());
    for (const auto& [nProducer, list] : serials)
    {
        ASSERT_EQ(kFramesEach, list.size()) << "producer " << nProducer;
        for (uint32_t i = 0; i < kFramesEach; ++i)
            ASSERT_EQ(i, list[i]) << "producer " << nProducer;
    }
}
} // namespace

TEST(TransportWake, StopWakesTheIdleSendAndDispatchThreads)
{
    CWatchdog watchdog("the key frame, or StopThreads");
    CTestOwner owner;
    CFramePeer peer;
    CQNInterface net(&owner, &owner);
    net.SetIdleFallback(std::chrono::milliseconds(0));
    ASSERT_EQ(1, net.Connect("127.0.0.1", peer.Port()));
    ASSERT_TRUE(peer.Accept());
    PacketHeader h;
    std::vector<uint8_t> payload;
    ASSERT_TRUE(peer.Next(h, payload)); // the key went out: the send thread is idle now
    EXPECT_EQ(CMD_SEED_KEY, h.wCommand);
    net.StopThreads();

    CQNInterface player(&owner, &owner);
    player.SetIdleFallback(std::chrono::milliseconds(0));
    ASSERT_TRUE(player.StartPlayer());
    player.StopThreads();
}

TEST(TransportWake, ManyProducersEveryQueuedFrameIsSentInItsProducersOrder)
{
    CWatchdog watchdog("frames queued by many producers");
    CTestOwner owner;
    CFramePeer peer;
    CQNInterface net(&owner, &owner);
    net.SetIdleFallback(std::chrono::milliseconds(0));
    ASSERT_EQ(1, net.Connect("127.0.0.1", peer.Port()));
    ASSERT_TRUE(peer.Accept());

    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p)
        producers.emplace_back(
            [&net, p]
            {
                for (uint32_t i = 0; i < kFramesEach; ++i)
                {
                    net.QueueFrame(TaggedFrame(kListCommands[p % kSendListCount], p, i));
                    // Let the send thread drain the lists now and then, so that it waits
                    // often while producers are queueing.
                    if (i % 64 == 0) std::this_thread::yield();
                }
            });
    std::map<uint32_t, std::vector<uint32_t>> serials;
    PacketHeader h;
    std::vector<uint8_t> payload;
    ASSERT_TRUE(peer.Next(h, payload));
    EXPECT_EQ(CMD_SEED_KEY, h.wCommand);
    for (uint32_t n = 0; n < kProducers * kFramesEach; ++n)
    {
        ASSERT_TRUE(peer.Next(h, payload));
        ASSERT_EQ(8u, payload.size());
        serials[U32At(payload.data())].push_back(U32At(payload.data() + 4));
    }
    for (auto& t : producers)
        t.join();
    ExpectEveryFrameInOrder(serials);
    net.StopThreads();
}

TEST(TransportWake, ManyProducersEveryPushedFrameIsDispatchedInItsProducersOrder)
{
    CWatchdog watchdog("frames pushed by many producers");
    CTestOwner owner;
    CQNInterface net(&owner, &owner);
    net.SetIdleFallback(std::chrono::milliseconds(0));
    ASSERT_TRUE(net.StartPlayer());

    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p)
        producers.emplace_back(
            [&net, p]
            {
                for (uint32_t i = 0; i < kFramesEach; ++i)
                {
                    uint8_t serial[4] = {uint8_t(i), uint8_t(i >> 8), uint8_t(i >> 16), uint8_t(i >> 24)};
                    net.InjectInbound(DAT_VIDEO_FRAME, static_cast<uint16_t>(p), serial, sizeof serial);
                    if (i % 64 == 0) std::this_thread::yield();
                }
            });
    for (auto& t : producers)
        t.join();
    // The watchdog, not this wait, decides that a frame is missing: the wait only has to outlast it.
    owner.WaitUntil([&] { return owner.events.size() >= size_t(kProducers) * kFramesEach; }, 600);
    std::map<uint32_t, std::vector<uint32_t>> serials;
    for (const QNEvent& e : owner.Events())
        if (e.wCommand == DAT_VIDEO_FRAME && e.payload.size() == 4)
            serials[e.wSub].push_back(U32At(e.payload.data()));
    ExpectEveryFrameInOrder(serials);
    net.StopThreads();
}
