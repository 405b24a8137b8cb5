// The real Quillon.exe under Wine against the loopback conference server, driven
// through its control-panel port and checked by what the server saw, what the
// panel heard and what the main window shows.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/network/control/PanelFrames.h"
#include "confclient/network/transport/QNInterface.h"
#include "loopserver/LoopServer.h"
#include "ResourceIds.h"
#include "tests/network/QNTestOwner.h"

namespace
{
class CNullLog : public ILogSink
{
public:
    void AddLog(int, const std::string&) override {}
};

uint16_t FreePort()
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    int len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    closesocket(s);
    return ntohs(a.sin_port);
}

// The panel's side of the control port.
class CPanel
{
public:
    ~CPanel()
    {
        if (m_s != INVALID_SOCKET) closesocket(m_s);
    }
    bool Connect(uint16_t wPort, DWORD dwMs = 15000)
    {
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(100))
        {
            m_s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            a.sin_port = htons(wPort);
            if (connect(m_s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return true;
            closesocket(m_s);
            m_s = INVALID_SOCKET;
        }
        return false;
    }
    void Send(const std::string& keyword, const std::string& args)
    {
        std::vector<uint8_t> f = EncodePanelFrame({PanelFrameType::Command, keyword, args});
        send(m_s, reinterpret_cast<const char*>(f.data()), static_cast<int>(f.size()), 0);
    }
    // Waits for the answer "keyword value"; answers heard on the way are kept.
    bool WaitAnswer(const std::string& keyword, const std::string& value, DWORD dwMs = 20000)
    {
        for (DWORD t0 = GetTickCount();;)
        {
            for (const std::string& a : heard)
                if (a == keyword + " " + value) return true;
            DWORD dwSpent = GetTickCount() - t0;
            if (dwSpent >= dwMs) return false;
            fd_set set;
            FD_ZERO(&set);
            FD_SET(m_s, &set);
            timeval tv{0, 100000};
            if (select(0, &set, nullptr, nullptr, &tv) <= 0) continue;
            char buf[512];
            int n = recv(m_s, buf, sizeof buf, 0);
            if (n <= 0) return false;
            for (const S_PANELFRAME& f :
                 m_reader.Feed(reinterpret_cast<uint8_t*>(buf), static_cast<size_t>(n)))
                heard.push_back(f.keyword + " " + f.arguments);
        }
    }
    std::vector<std::string> heard;

private:
    SOCKET m_s = INVALID_SOCKET;
    CPanelFrameReader m_reader;
};

struct FindOwned
{
    HWND hOwner, hFound;
};

BOOL CALLBACK FindOwnedWindow(HWND h, LPARAM l)
{
    auto* f = reinterpret_cast<FindOwned*>(l);
    if (h == f->hOwner || GetWindow(h, GW_OWNER) != f->hOwner || !IsWindowVisible(h)) return TRUE;
    f->hFound = h;
    return FALSE;
}

class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        cfg = DefaultLoopConfig();
        server = std::make_unique<CLoopServer>(cfg, &log);
        ASSERT_TRUE(server->Start(0));
        wPanelPort = FreePort();
    }
    void TearDown() override
    {
        for (PROCESS_INFORMATION& pi : started)
        {
            if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT)
            {
                TerminateProcess(pi.hProcess, 1);
                WaitForSingleObject(pi.hProcess, 5000);
            }
            CloseHandle(pi.hProcess);
            CloseHandle(pi.hThread);
        }
        if (server) server->Stop();
        WSACleanup();
    }

    HANDLE Start(const std::wstring& args)
    {
        std::wstring cmd = L"\"" QUILLON_EXE L"\" " + args;
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(QUILLON_EXE, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return nullptr;
        started.push_back(pi);
        return pi.hProcess;
    }
    HANDLE StartPanelMode() { return Start(L"QuillonPort " + std::to_wstring(wPanelPort)); }

    std::string Launch(const char* pszUser) const
    {
        return "127.0.0.1," + std::to_string(server->Port()) + "," + pszUser + ",,0,0,,0,RoriVuz_Eng.dll";
    }

    static HWND MainWindow()
    {
        for (int i = 0; i < 100; ++i, Sleep(100))
            if (HWND h = FindWindowW(L"#32770", L"Quillon")) return h;
        return nullptr;
    }
    static int ListCount(HWND hMain, int id)
    {
        return static_cast<int>(SendDlgItemMessageW(hMain, id, LB_GETCOUNT, 0, 0));
    }
    // The lists follow the login answer: waits a while for the count to show.
    static int ListCountSoon(HWND hMain, int id, int nWanted)
    {
        int n = ListCount(hMain, id);
        for (int i = 0; i < 50 && n != nWanted; ++i, Sleep(100))
            n = ListCount(hMain, id);
        return n;
    }
    static std::wstring Status(HWND hMain)
    {
        wchar_t buf[256] = {};
        GetDlgItemTextW(hMain, IDC_LOBBY_STATUS, buf, 255);
        return buf;
    }
    // The status line follows the panel's notice: waits a while for it to hold the text.
    static bool StatusShowsSoon(HWND hMain, const wchar_t* pszPart)
    {
        for (int i = 0; i < 50; ++i, Sleep(100))
            if (Status(hMain).find(pszPart) != std::wstring::npos) return true;
        return false;
    }
    // Presses a button of the message box the main window shows; false when none comes.
    static bool AnswerBox(HWND hMain, int nButton, DWORD dwMs = 10000)
    {
        FindOwned find{hMain, nullptr};
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(100))
        {
            EnumWindows(&FindOwnedWindow, reinterpret_cast<LPARAM>(&find));
            if (find.hFound)
            {
                PostMessageW(find.hFound, WM_COMMAND, nButton, 0);
                return true;
            }
        }
        return false;
    }
    static bool Ends(HANDLE hProcess, DWORD* pCode, DWORD dwMs = 15000)
    {
        if (WaitForSingleObject(hProcess, dwMs) != WAIT_OBJECT_0) return false;
        GetExitCodeProcess(hProcess, pCode);
        return true;
    }
    bool LogoutEnds(CPanel& panel, HANDLE hProcess)
    {
        panel.Send("LOGOUT", "");
        DWORD dwCode = 99;
        return panel.WaitAnswer("LOGOUT", "0") && Ends(hProcess, &dwCode) && dwCode == 0;
    }

    CNullLog log;
    LoopConfig cfg;
    std::unique_ptr<CLoopServer> server;
    uint16_t wPanelPort = 0;
    std::vector<PROCESS_INFORMATION> started;
};
} // namespace

TEST_F(ProgramTest, KeyThenLoginThenLobbyListsThenLogoutEndsTheProgram)
{
    HANDLE hProcess = StartPanelMode();
    ASSERT_NE(nullptr, hProcess);
    CPanel panel;
    ASSERT_TRUE(panel.Connect(wPanelPort));
    panel.Send("CONNECT", Launch("alice"));
    ASSERT_TRUE(panel.WaitAnswer("CONNECT", "1"));

    EXPECT_EQ((std::vector<uint16_t>{CMD_SEED_KEY}), server->FirstCommands());
    EXPECT_EQ(1u, server->LoggedInUsers());

    HWND hMain = MainWindow();
    ASSERT_NE(nullptr, hMain);
    EXPECT_EQ(static_cast<int>(cfg.rooms.size()), ListCountSoon(hMain, IDC_LOBBY_CONFLIST, 2));
    EXPECT_EQ(1, ListCountSoon(hMain, IDC_LOBBY_USERLIST, 1));
    EXPECT_TRUE(StatusShowsSoon(hMain, L"Alice"));

    EXPECT_TRUE(LogoutEnds(panel, hProcess));
    for (int i = 0; i < 50 && server->LoggedInUsers() != 0; ++i)
        Sleep(100);
    EXPECT_EQ(0u, server->LoggedInUsers());
}

TEST_F(ProgramTest, SecondStartHandsItsLaunchStringToTheFirst)
{
    // A logout flag left behind by a crash: the first instance, owning the mutex afresh, clears it.
    DWORD dwOne = 1;
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\LumoraSoft\\Common",
                                             L"Logout_State", REG_DWORD, &dwOne, sizeof dwOne));
    HANDLE hFirst = StartPanelMode();
    ASSERT_NE(nullptr, hFirst);
    CPanel panel;
    ASSERT_TRUE(panel.Connect(wPanelPort));
    HWND hMain = MainWindow();
    ASSERT_NE(nullptr, hMain);

    // Copied data the window does not know is refused and starts nothing.
    std::wstring launchW = L"127.0.0.1,1,x";
    std::vector<wchar_t> big(1u << 19, L'x');
    struct Case
    {
        ULONG_PTR dwCode;
        DWORD cbData;
        void* pData;
    } cases[] = {
        {9999, static_cast<DWORD>(launchW.size() * 2), launchW.data()}, // unknown code
        {4041, 3, launchW.data()},                                      // odd byte count
        {4041, static_cast<DWORD>(big.size() * 2), big.data()},         // over the bound
    };
    for (const Case& c : cases)
    {
        COPYDATASTRUCT cds{c.dwCode, c.cbData, c.pData};
        EXPECT_EQ(0, SendMessageW(hMain, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds))) << c.cbData;
    }

    std::string launch = Launch("bob");
    HANDLE hSecond = Start(std::wstring(launch.begin(), launch.end()));
    ASSERT_NE(nullptr, hSecond);
    DWORD dwCode = 99;
    ASSERT_TRUE(Ends(hSecond, &dwCode));
    EXPECT_EQ(0u, dwCode);
    // The first instance, with no session yet, logs in with the handed-over string.
    ASSERT_TRUE(panel.WaitAnswer("CONNECT", "1"));
    EXPECT_EQ(1u, server->LoggedInUsers());
    EXPECT_TRUE(StatusShowsSoon(MainWindow(), L"Bob"));
    EXPECT_EQ(1u, server->FirstCommands().size()); // one connection: the second start made none
    EXPECT_TRUE(LogoutEnds(panel, hFirst));
}

TEST_F(ProgramTest, LostConnectionCountsDownAndLogsInAgain)
{
    HANDLE hProcess = StartPanelMode();
    CPanel panel;
    ASSERT_TRUE(panel.Connect(wPanelPort));
    panel.Send("CONNECT", Launch("carol"));
    ASSERT_TRUE(panel.WaitAnswer("CONNECT", "1"));
    HWND hMain = MainWindow();
    ASSERT_NE(nullptr, hMain);
    ASSERT_EQ(static_cast<int>(cfg.rooms.size()), ListCountSoon(hMain, IDC_LOBBY_CONFLIST, 2));

    uint16_t wPort = server->Port();
    server->Stop();
    server = std::make_unique<CLoopServer>(cfg, &log);
    bool bCountdown = false;
    for (int i = 0; i < 50 && !bCountdown; ++i, Sleep(100))
        bCountdown = Status(hMain).find(L"Reconnecting in") != std::wstring::npos;
    EXPECT_TRUE(bCountdown);
    EXPECT_EQ(0, ListCount(hMain, IDC_LOBBY_CONFLIST)); // the lists went with the connection
    ASSERT_TRUE(server->Start(wPort));

    panel.heard.clear();
    ASSERT_TRUE(panel.WaitAnswer("CONNECT", "1", 30000));
    EXPECT_EQ(1u, server->LoggedInUsers());
    EXPECT_EQ(static_cast<int>(cfg.rooms.size()), ListCountSoon(hMain, IDC_LOBBY_CONFLIST, 2));
    EXPECT_TRUE(LogoutEnds(panel, hProcess));
}

TEST_F(ProgramTest, LoginElsewhereIsTakenOverWhenTheUserConfirms)
{
    // alice is logged in by another session first.
    CTestOwner other;
    CQNInterface net(&other, &other);
    ASSERT_TRUE(net.Connect("127.0.0.1", server->Port()));
    ASSERT_NE(0xFFFFFFFFu, other.WaitFor(kMsgLobbyPacket, ACK_SEED_KEY).nMsg);
    net.SendLogin(u"alice", u"", 0, false);
    ASSERT_NE(0xFFFFFFFFu, other.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN).nMsg);

    HANDLE hProcess = StartPanelMode();
    CPanel panel;
    ASSERT_TRUE(panel.Connect(wPanelPort));
    panel.Send("CONNECT", Launch("alice"));
    HWND hMain = MainWindow();
    ASSERT_NE(nullptr, hMain);
    // Refusal 1000 asks; confirmed, the program takes the ID over (220) and is logged in.
    ASSERT_TRUE(AnswerBox(hMain, IDOK));
    ASSERT_TRUE(panel.WaitAnswer("CONNECT", "1"));
    // The other session was logged out by the take-over.
    EXPECT_NE(0xFFFFFFFFu, other.WaitFor(kMsgLobbyPacket, INFO_LOBY_FORCED_LOGOUT).nMsg);
    EXPECT_EQ(1u, server->LoggedInUsers());
    EXPECT_TRUE(LogoutEnds(panel, hProcess));
    net.StopThreads();
}

TEST_F(ProgramTest, ForcedLogoutEndsTheSessionWithoutReconnecting)
{
    // The server answers the first keep-alive (30 s after the login) with 223 and closes.
    server->Stop();
    cfg.scenario = {LoopFault::ForcedLogout};
    server = std::make_unique<CLoopServer>(cfg, &log);
    ASSERT_TRUE(server->Start(0));

    HANDLE hProcess = StartPanelMode();
    CPanel panel;
    ASSERT_TRUE(panel.Connect(wPanelPort));
    panel.Send("CONNECT", Launch("dave"));
    ASSERT_TRUE(panel.WaitAnswer("CONNECT", "1"));
    HWND hMain = MainWindow();
    ASSERT_NE(nullptr, hMain);

    // The notice box comes after the keep-alive; confirmed, the program ends.
    ASSERT_TRUE(AnswerBox(hMain, IDOK, 45000));
    DWORD dwCode = 99;
    ASSERT_TRUE(Ends(hProcess, &dwCode));
    EXPECT_EQ(0u, dwCode);
    std::vector<uint16_t> seen = server->CommandsFrom(u"dave");
    EXPECT_EQ(1, std::count(seen.begin(), seen.end(), CMD_KEEP_ALIVE));
    EXPECT_EQ(1u, server->FirstCommands().size()); // no second connection
}

TEST_F(ProgramTest, RefusedLoginShowsItsReasonAndEnds)
{
    HANDLE hProcess = StartPanelMode();
    CPanel panel;
    ASSERT_TRUE(panel.Connect(wPanelPort));
    panel.Send("CONNECT", Launch("nobody")); // refused with 1003: no such ID
    HWND hMain = MainWindow();
    ASSERT_NE(nullptr, hMain);
    ASSERT_TRUE(AnswerBox(hMain, IDOK));
    DWORD dwCode = 99;
    ASSERT_TRUE(Ends(hProcess, &dwCode));
    EXPECT_EQ(0u, dwCode);
    EXPECT_EQ(0u, server->LoggedInUsers());
    EXPECT_EQ(1u, server->FirstCommands().size()); // a refusal is not retried
}
