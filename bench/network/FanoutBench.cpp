// Chat fan-out through the loopback server to 49 and 199 receivers, beside a raw
// loopback TCP fan-out (one relay thread, blocking writes, no cipher) in the same run; and
// to 48 program clients (network object and chat feature), beside both at 48:
// per-receiver latency p50/p99, and the relay's CPU per delivered frame, read from the
// CPU clocks of the relay's threads. One line goes out at a time: the latency is not queueing.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/network/QNPayloads.h"
#include "confclient/network/transport/QNInterface.h"
#include "confclient/people/ChatFeature.h"
#include "loopserver/LoopServer.h"
#include "tests/network/QNTestOwner.h"
#include "tests/network/RawLoopClient.h"

namespace
{
using Clock = std::chrono::steady_clock;

class CNullLog : public ILogSink
{
public:
    void AddLog(int, const std::string&) override {}
};

constexpr uint16_t kRoom = 3;
constexpr size_t kChatUnits = 40;

std::set<std::string> TaskIds()
{
    std::set<std::string> ids;
    DIR* pDir = opendir("/proc/self/task");
    while (dirent* p = pDir ? readdir(pDir) : nullptr)
        if (p->d_name[0] != '.') ids.insert(p->d_name);
    if (pDir) closedir(pDir);
    return ids;
}

// CPU seconds (user and system) of one thread of this process.
double ThreadCpuSeconds(const std::string& tid)
{
    std::ifstream in("/proc/self/task/" + tid + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t at = text.rfind(')');
    if (at == std::string::npos) return 0;
    std::vector<std::string> fields;
    std::string field;
    for (char c : text.substr(at + 2))
    {
        if (c != ' ')
            field.push_back(c);
        else
        {
            fields.push_back(field);
            field.clear();
        }
    }
    // Fields 14 and 15 of the line (utime, stime); the list starts at field 3.
    if (fields.size() < 13) return 0;
    return (std::stod(fields[11]) + std::stod(fields[12])) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// The threads started since `before`.
std::vector<std::string> NewThreads(const std::set<std::string>& before)
{
    std::vector<std::string> ids;
    for (const std::string& id : TaskIds())
        if (!before.count(id)) ids.push_back(id);
    return ids;
}

double CpuSeconds(const std::vector<std::string>& threads)
{
    double d = 0;
    for (const std::string& id : threads)
        d += ThreadCpuSeconds(id);
    return d;
}

// Per-receiver arrival of each line, and a wake-up when the last receiver has it.
class CArrivals
{
public:
    CArrivals(int nReceivers, int nLines) : m_nReceivers(nReceivers), m_sent(static_cast<size_t>(nLines)) {}
    void Sent(int nLine) { m_sent[nLine] = Clock::now(); }
    void Arrived(int nLine, std::vector<double>& latencies)
    {
        latencies.push_back(std::chrono::duration<double, std::micro>(Clock::now() - m_sent[nLine]).count());
        if (m_nLeft.fetch_sub(1) != 1) return;
        std::lock_guard<std::mutex> g(m_lock);
        m_bAll = true;
        m_cv.notify_one();
    }
    void Arm() { m_nLeft = m_nReceivers; }
    void WaitAll()
    {
        std::unique_lock<std::mutex> g(m_lock);
        m_cv.wait(g, [&] { return m_bAll; });
        m_bAll = false;
    }

private:
    const int m_nReceivers;
    std::vector<Clock::time_point> m_sent; // written before the line goes out
    std::atomic<int> m_nLeft{0};
    std::mutex m_lock;
    std::condition_variable m_cv;
    bool m_bAll = false;
};

// The room and its users: u0 sends, u1... receive.
LoopConfig FanoutConfig(int nReceivers)
{
    LoopConfig cfg = DefaultLoopConfig();
    cfg.rooms.push_back({kRoom, u"FANOUT", u"Fan-out", 1, static_cast<uint16_t>(nReceivers + 1)});
    for (int i = 0; i <= nReceivers; ++i)
        cfg.users.push_back({Utf16FromAscii("u" + std::to_string(i)), u"", u"U", 1, 0});
    return cfg;
}

// Every receiver's latencies together.
void Report(benchmark::State& state, const std::vector<std::vector<double>>& perReceiver, double dCpuSeconds,
            int nReceivers)
{
    std::vector<double> latencies;
    for (const auto& v : perReceiver)
        latencies.insert(latencies.end(), v.begin(), v.end());
    std::sort(latencies.begin(), latencies.end());
    const double nFrames = static_cast<double>(state.range(1)) * nReceivers;
    state.counters["p50_us"] = latencies[latencies.size() / 2];
    state.counters["p99_us"] = latencies[latencies.size() * 99 / 100];
    state.counters["relay_cpu_us_per_frame"] = dCpuSeconds * 1e6 / nFrames;
    state.counters["frames_per_s_per_core"] = dCpuSeconds > 0 ? nFrames / dCpuSeconds : 0;
}

std::optional<RawFrame> ReceiveUntil(CRawClient& client, uint16_t wCommand)
{
    std::optional<RawFrame> f;
    while ((f = client.Receive()) && f->wCommand != wCommand)
    {
    }
    return f;
}

bool EnterRoom(CRawClient& client, const std::u16string& szId)
{
    QNLoginRequest login;
    login.szUserId = szId;
    Bytes b;
    EncodeLogin(login, b);
    QNConfJoin join;
    join.wRoomIndex = kRoom;
    Bytes j;
    EncodeConfJoin(join, j);
    return client.Connected() && client.SendKey(kRoundKeyBytes) && ReceiveUntil(client, ACK_SEED_KEY) &&
           client.Send(CMD_LOBY_LOGIN, b) && ReceiveUntil(client, ACK_LOBY_LOGIN) &&
           client.Send(CMD_CONF_JOIN, j) && ReceiveUntil(client, ACK_CONF_JOIN);
}

void BM_ServerFanout(benchmark::State& state)
{
    const int nReceivers = static_cast<int>(state.range(0));
    const int nLines = static_cast<int>(state.range(1));
    CNullLog log;
    CLoopServer server(FanoutConfig(nReceivers), &log);
    const std::set<std::string> before = TaskIds();
    server.Start(0);

    std::vector<std::unique_ptr<CRawClient>> clients;
    for (int i = 0; i <= nReceivers; ++i)
    {
        clients.push_back(std::make_unique<CRawClient>(server.Port()));
        if (!EnterRoom(*clients.back(), Utf16FromAscii("u" + std::to_string(i))))
        {
            state.SkipWithError("cannot enter the room");
            return;
        }
    }
    // Whatever threads the server runs, all of them: started since Start, before the readers.
    const std::vector<std::string> serverThreads = NewThreads(before);
    CArrivals arrivals(nReceivers, nLines);
    std::vector<std::vector<double>> latencies(nReceivers);
    std::vector<std::thread> readers;
    for (int r = 0; r < nReceivers; ++r)
        readers.emplace_back(
            [&, r]
            {
                CRawClient& c = *clients[r + 1];
                for (int n = 0; n < nLines;)
                {
                    std::optional<RawFrame> f = c.Receive();
                    if (!f) return;
                    QNChat chat;
                    if (f->wCommand != INFO_CONF_CHAT ||
                        !DecodeChat(f->payload.data(), f->payload.size(), chat))
                        continue;
                    arrivals.Arrived(n++, latencies[r]);
                }
            });

    CRawClient& sender = *clients[0];
    QNChat chat;
    chat.szText.assign(kChatUnits, u'x');
    Bytes line;
    EncodeChat(chat, line);
    double dCpuBefore = CpuSeconds(serverThreads);
    int nLine = 0;
    for (auto _ : state)
    {
        arrivals.Arm();
        arrivals.Sent(nLine);
        sender.Send(CMD_CONF_CHAT, line);
        arrivals.WaitAll();
        ++nLine;
    }
    double dCpu = CpuSeconds(serverThreads) - dCpuBefore;
    for (std::thread& t : readers)
        t.join();
    Report(state, latencies, dCpu, nReceivers);
    server.Stop();
}

// The floor: one thread reads a frame of the same size from the sender and writes it
// to every receiver, blocking, with nothing else to do.
void BM_RawFanout(benchmark::State& state)
{
    const int nReceivers = static_cast<int>(state.range(0));
    const int nLines = static_cast<int>(state.range(1));
    QNChat chat;
    chat.szText.assign(kChatUnits, u'x');
    Bytes line;
    EncodeChat(chat, line);
    const SeedRoundKeys keys{};
    const Bytes frame = EncodeFrame(CMD_CONF_CHAT, 0, line.data(), line.size(), keys);

    uint16_t wPort = 0;
    NetSocket listener = NetListenLoopback(0, &wPort);
    uint32_t dwAddr = 0;
    NetResolve("127.0.0.1", &dwAddr);
    auto connect = [&]
    {
        int nErr = 0;
        NetSocket s = NetOpenTcp(&nErr);
        NetConnect(s, dwAddr, wPort, &nErr);
        NetSetNoDelay(s);
        NetSocket a = NetAccept(listener);
        NetSetNoDelay(a);
        return std::make_pair(s, a);
    };
    auto [hSender, hRelayIn] = connect();
    std::vector<std::pair<NetSocket, NetSocket>> receivers;
    for (int i = 0; i < nReceivers; ++i)
        receivers.push_back(connect());
    auto readAll = [](NetSocket s, uint8_t* p, size_t n)
    {
        while (n)
        {
            int r = NetRecv(s, p, n);
            if (r <= 0) return false;
            p += r;
            n -= static_cast<size_t>(r);
        }
        return true;
    };

    CNetThread relay;
    const std::set<std::string> before = TaskIds();
    relay.Start(
        [&]
        {
            std::vector<uint8_t> buf(frame.size());
            while (readAll(hRelayIn, buf.data(), buf.size()))
                for (auto& [client, served] : receivers)
                    NetSend(served, buf.data(), buf.size());
        },
        false);
    const std::vector<std::string> relayThreads = NewThreads(before);

    CArrivals arrivals(nReceivers, nLines);
    std::vector<std::vector<double>> latencies(nReceivers);
    std::vector<std::thread> readers;
    for (int r = 0; r < nReceivers; ++r)
        readers.emplace_back(
            [&, r]
            {
                std::vector<uint8_t> buf(frame.size());
                for (int n = 0; n < nLines && readAll(receivers[r].first, buf.data(), buf.size()); ++n)
                    arrivals.Arrived(n, latencies[r]);
            });

    double dCpuBefore = CpuSeconds(relayThreads);
    int nLine = 0;
    for (auto _ : state)
    {
        arrivals.Arm();
        arrivals.Sent(nLine);
        NetSend(hSender, frame.data(), frame.size());
        arrivals.WaitAll();
        ++nLine;
    }
    double dCpu = CpuSeconds(relayThreads) - dCpuBefore;
    for (std::thread& t : readers)
        t.join();
    NetShutdownClose(hSender);
    relay.WaitFor(~0u);
    NetClose(hRelayIn);
    for (auto& [client, served] : receivers)
    {
        NetClose(client);
        NetClose(served);
    }
    NetClose(listener);
    Report(state, latencies, dCpu, nReceivers);
}

// A receiving client as the program is one: the network object, and the chat feature it hands
// each inbound line to, whose view stamps the arrival. Lines reach the feature on the network
// thread: the program's post to its window thread is not part of this run.
class CChatClient : public CTestOwner, private IChatView
{
public:
    CChatClient(CArrivals& arrivals, std::vector<double>& latencies, uint16_t wSenderIndex)
        : m_arrivals(arrivals), m_latencies(latencies)
    {
        S_ROOMUSERINFO sender;
        sender.userIndex = wSenderIndex;
        sender.Name = u"u0";
        m_room.users.AddUser(sender);
    }
    ~CChatClient() override { net.reset(); }

    std::unique_ptr<CQNInterface> net = std::make_unique<CQNInterface>(this, this);
    uint16_t wUserIndex = kNoIndex;

    bool Enter(uint16_t wPort, const std::u16string& szId)
    {
        if (!net->Connect("127.0.0.1", wPort) || WaitFor(kMsgLobbyPacket, ACK_SEED_KEY).nMsg == 0xFFFFFFFF)
            return false;
        net->SendLogin(szId, u"", 0, false);
        QNEvent ack = WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN);
        QNLoginAck login;
        if (ack.nMsg == 0xFFFFFFFF || !DecodeLoginAck(ack.payload.data(), ack.payload.size(), login))
            return false;
        wUserIndex = login.wUserIndex;
        net->SendConfJoin(kRoom, u"", u"");
        return WaitFor(kMsgRoomPacket, ACK_CONF_JOIN).nMsg != 0xFFFFFFFF;
    }
    void SendPacketMessage(uint32_t nMsg, uint16_t wCommand, const QNPacketDesc* pDesc) override
    {
        if (wCommand != INFO_CONF_CHAT || !pDesc)
        {
            CTestOwner::SendPacketMessage(nMsg, wCommand, pDesc);
            return;
        }
        QNChat chat;
        if (DecodeChat(pDesc->pData, pDesc->nLength, chat)) m_chat.OnChat(chat);
    }

private:
    void OnChatReceived(const std::u16string&, const std::u16string&, uint32_t) override
    {
        m_arrivals.Arrived(m_nLine++, m_latencies);
    }

    CArrivals& m_arrivals;
    std::vector<double>& m_latencies;
    CRoomState m_room;
    CChatFeature m_chat{m_room, *this};
    int m_nLine = 0;
};

// One sender and the receivers as program clients: send call to each receiver's chat view.
void BM_ClientFanout(benchmark::State& state)
{
    const int nReceivers = static_cast<int>(state.range(0));
    const int nLines = static_cast<int>(state.range(1));
    CNullLog log;
    CLoopServer server(FanoutConfig(nReceivers), &log);
    const std::set<std::string> before = TaskIds();
    server.Start(0);
    const std::vector<std::string> serverThreads = NewThreads(before);

    CArrivals arrivals(nReceivers, nLines);
    std::vector<std::vector<double>> latencies(nReceivers + 1);
    std::vector<std::unique_ptr<CChatClient>> clients;
    for (int i = 0; i <= nReceivers; ++i)
    {
        const uint16_t wSender = clients.empty() ? kNoIndex : clients[0]->wUserIndex;
        clients.push_back(std::make_unique<CChatClient>(arrivals, latencies[i], wSender));
        if (!clients.back()->Enter(server.Port(), Utf16FromAscii("u" + std::to_string(i))))
        {
            state.SkipWithError("cannot enter the room");
            return;
        }
    }
    const std::u16string szLine(kChatUnits, u'x');
    double dCpuBefore = CpuSeconds(serverThreads);
    int nLine = 0;
    for (auto _ : state)
    {
        arrivals.Arm();
        arrivals.Sent(nLine++);
        clients[0]->net->SendChatText(0x0000FF, szLine);
        arrivals.WaitAll();
    }
    double dCpu = CpuSeconds(serverThreads) - dCpuBefore;
    clients.clear();
    Report(state, latencies, dCpu, nReceivers);
    server.Stop();
}

// {receivers, lines}: one iteration a line. The 48-receiver runs sit beside the clients' run.
void Wide(benchmark::internal::Benchmark* b)
{
    b->Args({49, 2000})->Args({199, 2000})->Iterations(2000)->UseRealTime()->Unit(benchmark::kMicrosecond);
}
void BesideClients(benchmark::internal::Benchmark* b)
{
    b->Args({48, 1000})->Iterations(1000)->UseRealTime()->Unit(benchmark::kMicrosecond);
}
} // namespace

BENCHMARK(BM_ServerFanout)->Apply(Wide);
BENCHMARK(BM_RawFanout)->Apply(Wide);
BENCHMARK(BM_ClientFanout)->Apply(BesideClients);
BENCHMARK(BM_ServerFanout)->Apply(BesideClients);
BENCHMARK(BM_RawFanout)->Apply(BesideClients);
BENCHMARK_MAIN();
