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
