// The network object with a real owner window under Windows: notices arrive as
// posted messages, commands as sent ones, and stopping while the dispatch thread
// waits for the window lets the window's handler run instead of hanging.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/network/transport/QNInterface.h"
#include "confclient/network/transport/QNWindowOwner.h"
#include "loopserver/LoopServer.h"
#include "tests/network/QNTestOwner.h"
#include "tests/core/TestLogs.h"

namespace
{
struct WindowMessage
{
    UINT nMsg;
    WPARAM wParam;
    LPARAM lParam; // the extra value of a descriptor, lParam itself for 0x54E
    bool bNullDesc;
    bool bOwn; // the owner knew it for one of its own
};

std::vector<WindowMessage> g_messages; // touched by the window's thread only
const CQNWindowOwner* g_pOwner = nullptr;

LRESULT CALLBACK OwnerProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == kMsgConnectionState)
    {
        g_messages.push_back({nMsg, wParam, lParam, false, false});
        return 0;
    }
    if (nMsg == kMsgLobbyPacket || nMsg == kMsgRoomPacket || nMsg == kMsgBoardPacket)
    {
        auto* pDesc = reinterpret_cast<const QNPacketDesc*>(lParam);
        g_messages.push_back({nMsg, wParam, pDesc ? static_cast<LPARAM>(pDesc->dwExtra) : 0, pDesc == nullptr,
                              g_pOwner->IsOwnPacketMessage(nMsg, wParam, lParam)});
        return 0;
    }
    return DefWindowProcW(hWnd, nMsg, wParam, lParam);
}

class WindowOwnerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_messages.clear();
        WNDCLASSW wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QuillonNetworkOwnerTest";
        RegisterClassW(&wc);
        hWnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                               nullptr);
        ASSERT_NE(nullptr, hWnd);
        owner = std::make_unique<CQNWindowOwner>(hWnd);
        g_pOwner = owner.get();
    }
    void TearDown() override
    {
        net.reset();
        if (server) server->Stop();
        DestroyWindow(hWnd);
    }

    void Serve(std::vector<LoopFault> scenario = {})
    {
        LoopConfig cfg = DefaultLoopConfig();
        cfg.scenario = std::move(scenario);
        server = std::make_unique<CLoopServer>(cfg, &log);
        ASSERT_TRUE(server->Start(0));
        net = std::make_unique<CQNInterface>(&host, owner.get());
    }

    // Runs the window's messages until a matching one was handled.
    const WindowMessage* PumpUntil(UINT nMsg, WPARAM wParam, DWORD dwMs = 10000)
    {
        DWORD dwStart = GetTickCount();
        for (;;)
        {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&msg);
            for (const WindowMessage& m : g_messages)
                if (m.nMsg == nMsg && m.wParam == wParam) return &m;
            if (GetTickCount() - dwStart > dwMs) return nullptr;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    bool Login()
    {
        if (!net->Connect("127.0.0.1", server->Port()) || !PumpUntil(kMsgLobbyPacket, ACK_SEED_KEY))
            return false;
        net->SendLogin(u"alice", u"", 0, false);
        return PumpUntil(kMsgLobbyPacket, ACK_LOBY_LOGIN) != nullptr;
    }

    HWND hWnd = nullptr;
    CNullLog log;
    CTestOwner host;
    std::unique_ptr<CQNWindowOwner> owner;
    std::unique_ptr<CLoopServer> server;
    std::unique_ptr<CQNInterface> net;
};
} // namespace

TEST_F(WindowOwnerTest, KeyFirstThenLoginOverWindowMessages)
{
    Serve();
    ASSERT_TRUE(Login());
    EXPECT_NE(nullptr, PumpUntil(kMsgConnectionState, kConnConnected));
    EXPECT_EQ((std::vector<uint16_t>{CMD_SEED_KEY}), server->FirstCommands());
    std::vector<uint16_t> seen = server->CommandsFrom(u"alice");
    EXPECT_TRUE(seen.empty()); // nothing after the login yet
}

TEST_F(WindowOwnerTest, KnowsItsOwnCommandMessagesFromOthersWithTheSameNumbers)
{
    Serve();
    ASSERT_TRUE(Login());
    const WindowMessage* pLogin = PumpUntil(kMsgLobbyPacket, ACK_LOBY_LOGIN);
    ASSERT_NE(nullptr, pLogin);
    EXPECT_TRUE(pLogin->bOwn);

    // The same numbers from anyone else, posted or sent, with a descriptor or without.
    QNPacketDesc forged{7};
    g_messages.clear();
    PostMessageW(hWnd, kMsgRoomPacket, ACK_CONF_OPEN, reinterpret_cast<LPARAM>(&forged));
    SendMessageW(hWnd, kMsgBoardPacket, DAT_BOARD_ROOM, reinterpret_cast<LPARAM>(&forged));
    SendMessageW(hWnd, kMsgLobbyPacket, INFO_LOBY_FORCED_LOGOUT, 0);
    ASSERT_NE(nullptr, PumpUntil(kMsgRoomPacket, ACK_CONF_OPEN));
    const std::pair<UINT, WPARAM> others[] = {{kMsgRoomPacket, ACK_CONF_OPEN},
                                              {kMsgBoardPacket, DAT_BOARD_ROOM},
                                              {kMsgLobbyPacket, INFO_LOBY_FORCED_LOGOUT}};
    for (auto [nMsg, wCommand] : others)
    {
        const WindowMessage* pOther = PumpUntil(nMsg, wCommand, 0);
        ASSERT_NE(nullptr, pOther) << std::hex << nMsg;
        EXPECT_FALSE(pOther->bOwn) << std::hex << nMsg;
    }
}

TEST_F(WindowOwnerTest, ForcedLogoutThenLossCarriesClosedByServer)
{
    Serve({LoopFault::ForcedLogout});
    ASSERT_TRUE(Login());
    net->SendKeepAlive();
    const WindowMessage* pForced = PumpUntil(kMsgLobbyPacket, INFO_LOBY_FORCED_LOGOUT);
    ASSERT_NE(nullptr, pForced);
    EXPECT_TRUE(pForced->bNullDesc);
    const WindowMessage* pClosed = PumpUntil(kMsgConnectionState, kConnClosed);
    ASSERT_NE(nullptr, pClosed);
    EXPECT_EQ(1, pClosed->lParam);
}

TEST_F(WindowOwnerTest, StopWhileTheDispatchThreadWaitsForTheWindowLetsTheHandlerRun)
{
    Serve();
    ASSERT_TRUE(Login());
    ASSERT_NE(nullptr, PumpUntil(kMsgLobbyPacket, INFO_SYSTEM_OPTION)); // the last of the login's answers
    net->SendKeepAlive();
    // The window's thread is busy: the answer's SendMessage waits for it.
    Sleep(300);
    net->StopThreads();
    bool bHandled = false;
    for (const WindowMessage& m : g_messages)
        bHandled = bHandled || (m.nMsg == kMsgLobbyPacket && m.wParam == ACK_KEEP_ALIVE);
    EXPECT_TRUE(bHandled);
    net.reset();
}
