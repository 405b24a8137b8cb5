// The real Quillon.exe under Wine against the loopback conference server, driven
// through its control-panel port and checked by what the server saw, what the
// panel heard and what the main window shows.
#include "tests/app/ProgramHarness.h"

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

    // The agenda-lock notice comes in a box that does not wait: the panel is answered meanwhile.
    EXPECT_TRUE(server->SendToUser(u"alice", NAK_LOBY_AGENDALOCK, 0, {}));
    FindOwned box{hMain, nullptr};
    for (int i = 0; i < 100 && !box.hFound; ++i, Sleep(100))
        EnumWindows(&FindOwnedWindow, reinterpret_cast<LPARAM>(&box));
    ASSERT_NE(nullptr, box.hFound);
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
    ASSERT_TRUE(LogInElsewhere(other, net, u"alice"));

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
    cfg.scenario = {LoopFault::ForcedLogout};
    RestartServer();

    HANDLE hProcess = StartPanelMode();
    CPanel panel;
    ASSERT_TRUE(panel.Connect(wPanelPort));
    HWND hMain = MainWindow();
    ASSERT_NE(nullptr, hMain);
    // The program serves a panel on a thread it starts once it has taken the connection: an
    // answer proves that thread runs, so that the idle count includes it.
    panel.Send("QUIT", "");
    ASSERT_TRUE(panel.WaitAnswer("QUIT", "0"));
    int nThreadsIdle = ThreadCount(hProcess);
    panel.Send("CONNECT", Launch("dave"));
    ASSERT_TRUE(panel.WaitAnswer("CONNECT", "1"));
    EXPECT_GT(ThreadCount(hProcess), nThreadsIdle);

    // The notice box comes after the keep-alive and the logout; confirmed, the program ends.
    HWND hBox = WaitForBox(hMain, 45000);
    ASSERT_NE(nullptr, hBox);
    // The logout left none of the session's threads.
    EXPECT_EQ(nThreadsIdle, ThreadCountSettles(hProcess, nThreadsIdle))
        << "threads start at" << ThreadStarts(hProcess);
    PostMessageW(hBox, WM_COMMAND, IDOK, 0);
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

TEST_F(ProgramTest, BusyDatabaseIsRetriedFiveTimesAtMost)
{
    struct
    {
        int nRefusals;
        size_t nRefusedLogins;
        bool bLoggedIn;
    } cases[] = {{3, 3, true}, {7, 6, false}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.nRefusals);
        cfg.wRefuseLoginReason = 1005;
        cfg.nRefuseLoginTimes = c.nRefusals;
        RestartServer();
        HANDLE hProcess = StartPanelMode();
        CPanel panel;
        ASSERT_TRUE(panel.Connect(wPanelPort));
        panel.Send("CONNECT", Launch("alice"));
        HWND hMain = MainWindow();
        ASSERT_NE(nullptr, hMain);
        if (c.bLoggedIn)
        {
            ASSERT_TRUE(panel.WaitAnswer("CONNECT", "1"));
            EXPECT_EQ(1u, server->LoggedInUsers());
            EXPECT_EQ(c.nRefusedLogins, LoginsFrom(u"alice"));
            EXPECT_TRUE(LogoutEnds(panel, hProcess));
            continue;
        }
        // After the last retry the database text is shown; confirmed, the program ends.
        ASSERT_TRUE(AnswerBox(hMain, IDOK, 20000));
        DWORD dwCode = 99;
        ASSERT_TRUE(Ends(hProcess, &dwCode));
        EXPECT_EQ(0u, dwCode);
        EXPECT_EQ(c.nRefusedLogins, LoginsFrom(u"alice"));
        EXPECT_EQ(0u, server->LoggedInUsers());
    }
}

TEST_F(ProgramTest, KeepAliveRoundTripAgentMessagesAndConferenceEntry)
{
    // The round trip is a debug line: the program's log level is raised for this run.
    const wchar_t* kProgramKey = L"Software\\LumoraSoft\\Quillon";
    const wchar_t kDebug[] = L"DEBUG";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"Log", REG_SZ, kDebug, sizeof kDebug));
    // Two entries after the login: a room the lobby does not have, then one it has.
    cfg.confEntries = {u"77\nNOPE", u"1\nROOM1"};
    RestartServer();
    size_t nLogFrom = TodaysLog().size();

    HANDLE hProcess = StartPanelMode();
    CPanel panel;
    ASSERT_TRUE(panel.Connect(wPanelPort));
    panel.Send("CONNECT", Launch("alice"));
    ASSERT_TRUE(panel.WaitAnswer("CONNECT", "1"));
    HWND hMain = MainWindow();
    ASSERT_NE(nullptr, hMain);

    // Only the room that exists is joined.
    auto joinsSoon = [&](size_t nWanted)
    {
        size_t n = 0;
        for (int i = 0; i < 50 && n < nWanted; ++i, Sleep(100))
        {
            std::vector<uint16_t> seen = server->CommandsFrom(u"alice");
            n = static_cast<size_t>(std::count(seen.begin(), seen.end(), CMD_CONF_JOIN));
        }
        return n;
    };
    EXPECT_EQ(1u, joinsSoon(1));
    EXPECT_TRUE(LogShowsSoon("[AGENT] no such room to join: 77", nLogFrom));
    // The agent's join by index: a room the lobby lacks is not joined, one it has is.
    PostMessageW(hMain, AgentMessage(), 5, 77);
    EXPECT_TRUE(LogShowsSoon("[AGENT] no room 77 to join", nLogFrom));
    PostMessageW(hMain, AgentMessage(), 2, 0); // leave the room first
    PostMessageW(hMain, AgentMessage(), 5, 2);
    EXPECT_EQ(2u, joinsSoon(2));

    // An unknown code does nothing; "show" brings the minimised window back.
    PostMessageW(hMain, AgentMessage(), 99, 0);
    EXPECT_TRUE(LogShowsSoon("[AGENT] refused code 99", nLogFrom));
    ShowWindow(hMain, SW_MINIMIZE);
    for (int i = 0; i < 50 && !IsIconic(hMain); ++i)
        Sleep(100);
    ASSERT_TRUE(IsIconic(hMain));
    PostMessageW(hMain, AgentMessage(), 1, 0);
    bool bShown = false;
    for (int i = 0; i < 50 && !bShown; ++i, Sleep(100))
        bShown = !IsIconic(hMain) && IsWindowVisible(hMain);
    EXPECT_TRUE(bShown);

    // The first keep-alive goes out 30 s after the login; its answer is measured.
    EXPECT_TRUE(LogShowsSoon("[ACK_KEEP_ALIVE] RTT:", nLogFrom, 45000));
    std::vector<uint16_t> seen = server->CommandsFrom(u"alice");
    EXPECT_EQ(1, std::count(seen.begin(), seen.end(), CMD_KEEP_ALIVE));

    // Log out and end by the agent.
    PostMessageW(hMain, AgentMessage(), 3, 0);
    DWORD dwCode = 99;
    EXPECT_TRUE(Ends(hProcess, &dwCode));
    EXPECT_EQ(0u, dwCode);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"Log");
}

TEST_F(ProgramTest, RestartByTheAgentStartsTheProgramAgain)
{
    HANDLE hProcess = StartPanelMode();
    auto panel = std::make_unique<CPanel>();
    ASSERT_TRUE(panel->Connect(wPanelPort));
    panel->Send("CONNECT", Launch("bob"));
    ASSERT_TRUE(panel->WaitAnswer("CONNECT", "1"));
    HWND hMain = MainWindow();
    ASSERT_NE(nullptr, hMain);
    panel.reset(); // the panel lets go first, so the port is free for the next instance

    PostMessageW(hMain, AgentMessage(), 4, 0);
    DWORD dwCode = 99;
    ASSERT_TRUE(Ends(hProcess, &dwCode));
    EXPECT_EQ(0u, dwCode);

    // The new instance has the same command line: it listens on the same panel port.
    panel = std::make_unique<CPanel>();
    ASSERT_TRUE(panel->Connect(wPanelPort));
    HWND hNew = MainWindow();
    ASSERT_NE(nullptr, hNew);
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hNew, &dwPid);
    HANDLE hNewProcess =
        OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, dwPid);
    ASSERT_NE(nullptr, hNewProcess);
    started.push_back({hNewProcess, nullptr, dwPid, 0});
    panel->Send("CONNECT", Launch("bob"));
    ASSERT_TRUE(panel->WaitAnswer("CONNECT", "1"));
    EXPECT_EQ(1u, server->LoggedInUsers());
    EXPECT_TRUE(LogoutEnds(*panel, hNewProcess));
}
