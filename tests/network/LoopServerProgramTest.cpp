// The loopback server as a program: its configuration text, and a client that
// logs in to the running binary.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>

#include "confclient/network/QNCommands.h"
#include "confclient/network/transport/QNInterface.h"
#include "loopserver/LoopConfig.h"
#include "tests/network/QNTestOwner.h"

TEST(LoopServerConfig, LinesAddToTheDefaultsAndBadLinesAreNamed)
{
    LoopConfig cfg = DefaultLoopConfig();
    int nLine = 0;
    ASSERT_TRUE(ParseLoopConfig("# test\nport 7811\nuser erin secret Erin 3 7\nroom 9 R9 5 2 Late show\n"
                                "scenario badbyte,close\n",
                                cfg, &nLine));
    EXPECT_EQ(7811, cfg.wPort);
    ASSERT_EQ(5u, cfg.users.size());
    EXPECT_EQ(u"secret", cfg.users[4].szPassword);
    EXPECT_EQ(3, cfg.users[4].wLevel);
    ASSERT_EQ(3u, cfg.rooms.size());
    EXPECT_EQ(u"Late show", cfg.rooms[2].szTitle);
    EXPECT_EQ((std::vector<LoopFault>{LoopFault::BadFirstByte, LoopFault::Close}), cfg.scenario);

    struct
    {
        const char* pszText;
        int nBadLine;
    } bad[] = {
        {"port 0\n", 1}, {"\nuser onlyid\n", 2}, {"room x\n", 1}, {"scenario nosuch\n", 1}, {"hello\n", 1}};
    for (auto& b : bad)
    {
        LoopConfig c;
        EXPECT_FALSE(ParseLoopConfig(b.pszText, c, &nLine)) << b.pszText;
        EXPECT_EQ(b.nBadLine, nLine) << b.pszText;
    }
}

TEST(LoopServerProgram, AClientLogsInToTheRunningProgram)
{
    int fds[2];
    ASSERT_EQ(0, pipe(fds));
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0)
    {
        dup2(fds[1], 1);
        close(fds[0]);
        execl(QUILLON_LOOPSERVER_PATH, QUILLON_LOOPSERVER_PATH, "--port", "0", "--quiet", nullptr);
        _exit(127);
    }
    close(fds[1]);
    FILE* pOut = fdopen(fds[0], "r");
    unsigned nPort = 0;
    ASSERT_EQ(1, fscanf(pOut, "%u", &nPort));

    CTestOwner owner;
    {
        CQNInterface net(&owner, &owner);
        ASSERT_EQ(1, net.Connect("localhost", static_cast<uint16_t>(nPort)));
        owner.WaitFor(kMsgLobbyPacket, ACK_SEED_KEY);
        net.SendLogin(u"dave", u"", 0, false);
        EXPECT_NE(0xFFFFFFFF, owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN).nMsg);
        net.StopThreads();
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    fclose(pOut);
}
