// The control-panel server: one panel at a time, its commands reach the owner,
// answers reach the panel, and a new panel may come once the first has gone.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "confclient/network/control/QNControl.h"

namespace
{
class ControlServerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(NetStartup());
        ASSERT_TRUE(server.Start(0));
    }
    void TearDown() override
    {
        server.Stop();
        NetCleanup();
    }

    NetSocket Connect()
    {
        int err = 0;
        NetSocket s = NetOpenTcp(&err);
        uint32_t addr = 0;
        NetResolve("127.0.0.1", &addr);
        EXPECT_TRUE(NetConnect(s, addr, server.Port(), &err));
        return s;
    }

    bool WaitCommands(size_t n)
    {
        std::unique_lock<std::mutex> g(lock);
        return cv.wait_for(g, std::chrono::seconds(5), [&] { return commands.size() >= n; });
    }

    static bool WaitFor(const std::function<bool()>& cond)
    {
        for (int i = 0; i < 500 && !cond(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return cond();
    }

    std::mutex lock;
    std::condition_variable cv;
    std::vector<std::string> commands;
    CQNControl server{[this](const S_PANELFRAME& f)
                      {
                          std::lock_guard<std::mutex> g(lock);
                          commands.push_back(f.keyword + "|" + f.arguments);
                          cv.notify_all();
                      }};
};

void SendCommand(NetSocket s, const std::string& keyword, const std::string& args)
{
    std::vector<uint8_t> frame = EncodePanelFrame({PanelFrameType::Command, keyword, args});
    NetSend(s, frame.data(), frame.size());
}
} // namespace

TEST_F(ControlServerTest, CommandsInAnswersOutOnePanelAtATime)
{
    NetSocket panel = Connect();
    ASSERT_TRUE(WaitFor([&] { return server.IsConnected(); }));
    SendCommand(panel, "CONNECT", "127.0.0.1,7700,alice");
    SendCommand(panel, "QUIT", "");
    ASSERT_TRUE(WaitCommands(2));
    EXPECT_EQ("CONNECT|127.0.0.1,7700,alice", commands[0]);
    EXPECT_EQ("QUIT|", commands[1]);

    // A second panel is shut out while the first is open.
    NetSocket other = Connect();
    uint8_t b = 0;
    EXPECT_LE(NetRecv(other, &b, 1), 0); // closed (or reset) without a byte
    NetClose(other);

    ASSERT_TRUE(server.SendAnswer("CONNECT", 1));
    std::vector<uint8_t> expect = EncodePanelAnswer("CONNECT", 1), got(expect.size());
    size_t have = 0;
    while (have < got.size())
    {
        int n = NetRecv(panel, got.data() + have, got.size() - have);
        ASSERT_GT(n, 0);
        have += static_cast<size_t>(n);
    }
    EXPECT_EQ(expect, got);

    // Once it has gone another may connect.
    NetShutdownClose(panel);
    ASSERT_TRUE(WaitFor([&] { return !server.IsConnected(); }));
    EXPECT_FALSE(server.SendAnswer("QUIT", 0));
    NetSocket next = Connect();
    SendCommand(next, "LOGOUT", "");
    ASSERT_TRUE(WaitCommands(3));
    EXPECT_EQ("LOGOUT|", commands[2]);
    NetShutdownClose(next);
}
