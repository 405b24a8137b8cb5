// The whole path between two clients: builder, send list, socket, the loopback
// server's relay, receive, dispatch. Chat lines (460 in, 461 out) and 8-KB video
// frames (2010): frames per second in bursts, and one-frame latency p50/p99. Beside
// them, the floor: a raw TCP ping-pong over loopback with the same two hops.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "tests/network/ClockRecordOwner.h"
#include "confclient/network/QNCommands.h"
#include "confclient/network/QNPayloads.h"
#include "confclient/network/transport/QNInterface.h"
#include "loopserver/LoopServer.h"

namespace
{
class CNullLog : public ILogSink
{
public:
    void AddLog(int, const std::string&) override {}
};

// Counts what arrives and wakes the waiting benchmark.
class CCountingOwner : public IQNOwner, public IQNHost, public CClockRecordOwner
{
public:
    void PostConnectionState(uint32_t, uint32_t) override {}
    void PostRecordStatus(uint32_t) override {}
    void SendPacketMessage(uint32_t, uint16_t wCommand, const QNPacketDesc* pDesc) override
    {
        if (wCommand == ACK_LOBY_LOGIN && pDesc && pDesc->nLength >= 16) m_bLoggedIn = true;
        if (wCommand == ACK_CONF_JOIN) m_bJoined = true;
        if (wCommand == INFO_CONF_CHAT) Arrived();
        if (wCommand == ACK_SEED_KEY) m_bKeyed = true;
    }
    void PumpSentMessages() override {}
    void AddLog(int, const std::string&) override {}
    bool IsPlayerMode() const override { return false; }
    bool WantsBacklogNotice() override { return false; }
    void PostBacklogNotice() override {}
    void PostPushChunkSent(uint32_t) override {}
    void PostFileBlockSent(uint16_t, uint32_t) override {}
    void PostBoardDataSent(uint16_t, std::vector<uint8_t>) override {}
    void OnSoundFrame(uint16_t, uint16_t, const uint8_t*, size_t) override {}
    void OnMediaFrame(uint16_t wCommand, uint16_t, const uint8_t*, size_t) override
    {
        if (wCommand == DAT_VIDEO_FRAME) Arrived();
    }

    void WaitFor(uint64_t nCount)
    {
        std::unique_lock<std::mutex> g(m_lock);
        m_cv.wait(g, [&] { return m_nArrived >= nCount; });
    }
    uint64_t Arrivals()
    {
        std::lock_guard<std::mutex> g(m_lock);
        return m_nArrived;
    }

    std::atomic<bool> m_bKeyed{false}, m_bLoggedIn{false}, m_bJoined{false};

private:
    void Arrived()
    {
        std::lock_guard<std::mutex> g(m_lock);
        ++m_nArrived;
        m_cv.notify_all();
    }
    std::mutex m_lock;
    std::condition_variable m_cv;
    uint64_t m_nArrived = 0;
};

void WaitTrue(const std::atomic<bool>& b)
{
    while (!b)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Two clients of one server, logged in and in room 1.
struct CPair
{
    CNullLog log;
    CLoopServer server{DefaultLoopConfig(), &log};
    CCountingOwner aliceOwner, bobOwner;
    std::unique_ptr<CQNInterface> alice, bob;

    CPair()
    {
        server.Start(0);
        alice = std::make_unique<CQNInterface>(&aliceOwner, &aliceOwner);
        bob = std::make_unique<CQNInterface>(&bobOwner, &bobOwner);
        Enter(*alice, aliceOwner, u"alice");
        Enter(*bob, bobOwner, u"bob");
    }
    ~CPair()
    {
        alice->StopThreads();
        bob->StopThreads();
        server.Stop();
    }
    void Enter(CQNInterface& net, CCountingOwner& owner, const std::u16string& szId)
    {
        net.Connect("127.0.0.1", server.Port());
        WaitTrue(owner.m_bKeyed);
        net.SendLogin(szId, u"", 0, false);
        WaitTrue(owner.m_bLoggedIn);
        while (net.Record().MyUserIndex() == kNoIndex)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        net.SendConfJoin(1, u"", u"");
        WaitTrue(owner.m_bJoined);
    }
    bool Send(bool bVideo, const std::vector<uint8_t>& video)
    {
        return bVideo ? alice->SendVideo(DAT_VIDEO_FRAME, video.data(), video.size())
                      : alice->SendChatText(0, u"the quick brown fox jumps over the lazy dog");
    }
};

void Percentiles(benchmark::State& state, std::vector<double>& us)
{
    std::sort(us.begin(), us.end());
    if (us.empty()) return;
    state.counters["p50_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}

bool SendAll(NetSocket s, const uint8_t* p, size_t n)
{
    for (int r; n; p += r, n -= size_t(r))
        if ((r = NetSend(s, p, n)) <= 0) return false;
    return true;
}

bool RecvAll(NetSocket s, uint8_t* p, size_t n)
{
    for (int r; n; p += r, n -= size_t(r))
        if ((r = NetRecv(s, p, n)) <= 0) return false;
    return true;
}

// A message to an echo thread and back over loopback TCP (TCP_NODELAY both ways): the
// same two socket hops as a frame from alice through the server to bob, without the client.
void RawTcpPingPong(benchmark::State& state, size_t nBytes)
{
    uint16_t wPort = 0;
    NetSocket listener = NetListenLoopback(0, &wPort);
    std::thread echo(
        [&]
        {
            NetSocket s = NetAccept(listener);
            NetSetNoDelay(s);
            std::vector<uint8_t> buf(nBytes);
            while (RecvAll(s, buf.data(), buf.size()) && SendAll(s, buf.data(), buf.size()))
            {
            }
            NetShutdownClose(s);
        });
    uint32_t dwAddr = 0;
    NetResolve("127.0.0.1", &dwAddr);
    NetSocket client = NetOpenTcp(nullptr);
    NetConnect(client, dwAddr, wPort, nullptr);
    NetSetNoDelay(client);
    std::vector<uint8_t> msg(nBytes, 0x5A);
    std::vector<double> us;
    for (auto _ : state)
    {
        auto t0 = std::chrono::steady_clock::now();
        if (!SendAll(client, msg.data(), msg.size()) || !RecvAll(client, msg.data(), msg.size()))
        {
            state.SkipWithError("loopback connection lost");
            break;
        }
        us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    NetShutdownClose(client);
    echo.join();
    NetClose(listener);
    Percentiles(state, us);
}

void Latency(benchmark::State& state, bool bVideo)
{
    CPair pair;
    std::vector<uint8_t> video(8192, 0x5A);
    std::vector<double> us;
    for (auto _ : state)
    {
        uint64_t nNext = pair.bobOwner.Arrivals() + 1;
        auto t0 = std::chrono::steady_clock::now();
        pair.Send(bVideo, video);
        pair.bobOwner.WaitFor(nNext);
        us.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count());
    }
    Percentiles(state, us);
}

void Throughput(benchmark::State& state, bool bVideo)
{
    CPair pair;
    std::vector<uint8_t> video(8192, 0x5A);
    const int nBurst = 200;
    for (auto _ : state)
    {
        uint64_t nTarget = pair.bobOwner.Arrivals() + nBurst;
        for (int i = 0; i < nBurst; ++i)
            pair.Send(bVideo, video);
        pair.bobOwner.WaitFor(nTarget);
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * nBurst);
    if (bVideo) state.SetBytesProcessed(int64_t(state.iterations()) * nBurst * int64_t(video.size()));
}
} // namespace

// 106 bytes: the chat frame (10-byte header, 96-byte record); 8202: the video frame.
BENCHMARK_CAPTURE(RawTcpPingPong, ChatSize, 106)->UseRealTime();
BENCHMARK_CAPTURE(RawTcpPingPong, Video8KSize, 8202)->UseRealTime();
BENCHMARK_CAPTURE(Latency, Chat, false)->UseRealTime();
BENCHMARK_CAPTURE(Latency, Video8K, true)->UseRealTime();
BENCHMARK_CAPTURE(Throughput, Chat, false)->UseRealTime();
BENCHMARK_CAPTURE(Throughput, Video8K, true)->UseRealTime();
BENCHMARK_MAIN();
