// Two real programs under Wine meet in one room of the loopback server: windows,
// participants, chat, rights, presenter, leaving, closing and a full room.
#include "tests/app/ProgramHarness.h"
#include "confclient/network/QNRoomPayloads.h"

#include <algorithm>
#include <functional>

namespace
{
struct ProcessSearch
{
    DWORD dwPid;
    std::function<bool(HWND)> match;
    HWND hFound;
};

BOOL CALLBACK MatchDescendant(HWND h, LPARAM l)
{
    auto* s = reinterpret_cast<ProcessSearch*>(l);
    if (!s->match(h)) return TRUE;
    s->hFound = h;
    return FALSE;
}

BOOL CALLBACK MatchInTopWindow(HWND h, LPARAM l)
{
    auto* s = reinterpret_cast<ProcessSearch*>(l);
    DWORD dwPid = 0;
    GetWindowThreadProcessId(h, &dwPid);
    if (dwPid != s->dwPid) return TRUE;
    if (s->match(h))
        s->hFound = h;
    else
        EnumChildWindows(h, &MatchDescendant, l);
    return s->hFound ? FALSE : TRUE;
}

// A window of the program, top-level or not, that matches; waits a while for it.
HWND FindInProcess(HANDLE hProcess, std::function<bool(HWND)> match, DWORD dwMs = 10000)
{
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(100))
    {
        ProcessSearch s{GetProcessId(hProcess), match, nullptr};
        EnumWindows(&MatchInTopWindow, reinterpret_cast<LPARAM>(&s));
        if (s.hFound) return s.hFound;
    }
    return nullptr;
}

// The program's top-level window with this caption; waits a while for it.
HWND TopWindow(HANDLE hProcess, const std::wstring& szTitle)
{
    return FindInProcess(hProcess,
                         [&szTitle](HWND h)
                         {
                             wchar_t title[256] = {};
                             GetWindowTextW(h, title, 255);
                             return !(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) && szTitle == title;
                         });
}

// The window below hTop with this control id.
HWND Descendant(HWND hTop, int nId)
{
    ProcessSearch s{0, [nId](HWND h) { return GetDlgCtrlID(h) == nId; }, nullptr};
    EnumChildWindows(hTop, &MatchDescendant, reinterpret_cast<LPARAM>(&s));
    return s.hFound;
}

// A visible window of the program whose text holds pszPart.
HWND TextInProcess(HANDLE hProcess, const wchar_t* pszPart)
{
    return FindInProcess(hProcess,
                         [pszPart](HWND h)
                         {
                             wchar_t text[512] = {};
                             GetWindowTextW(h, text, 511);
                             return IsWindowVisible(h) && wcsstr(text, pszPart) != nullptr;
                         });
}

std::vector<std::wstring> ListLines(HWND hList)
{
    std::vector<std::wstring> lines;
    wchar_t szClass[64] = {};
    GetClassNameW(hList, szClass, 63);
    if (_wcsicmp(szClass, L"ListBox") != 0)
    {
        // An edit control's lines: its text split at its line breaks.
        std::wstring text(static_cast<size_t>(SendMessageW(hList, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(
            SendMessageW(hList, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        size_t nStart = 0;
        while (nStart < text.size())
        {
            size_t nEnd = std::min(text.find_first_of(L"\r\n", nStart), text.size());
            lines.push_back(text.substr(nStart, nEnd - nStart));
            nStart = nEnd + 1;
        }
        return lines;
    }
    int n = static_cast<int>(SendMessageW(hList, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i)
    {
        wchar_t buf[512] = {};
        if (SendMessageW(hList, LB_GETTEXTLEN, i, 0) < 511)
            SendMessageW(hList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf));
        lines.emplace_back(buf);
    }
    return lines;
}

// Answers the newest presenter request in a chat log as its link click does: the panel hears
// the permit (0x2833) or deny (0x2834) message with the link's start, counted as the rich edit
// counts (a line break is one character). False when the word does not show in time.
bool AnswerChatRequest(HWND hChat, const wchar_t* pszWord, bool bPermit, DWORD dwMs = 10000)
{
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(100))
    {
        std::wstring text(static_cast<size_t>(SendMessageW(hChat, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(
            SendMessageW(hChat, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        size_t nAt = text.rfind(pszWord);
        if (nAt == std::wstring::npos) continue;
        size_t nPos = nAt;
        for (size_t i = 0; i + 1 < nAt; ++i)
            if (text[i] == L'\r' && text[i + 1] == L'\n') --nPos;
        return PostMessageW(GetParent(hChat), bPermit ? 0x2833 : 0x2834, nPos, 0) != 0;
    }
    return false;
}

// Waits until some line of the list holds every part.
bool ListShowsSoon(HWND hList, std::initializer_list<const wchar_t*> parts, DWORD dwMs = 10000)
{
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(100))
        for (const std::wstring& line : ListLines(hList))
        {
            bool bAll = true;
            for (const wchar_t* part : parts)
                bAll = bAll && line.find(part) != std::wstring::npos;
            if (bAll) return true;
        }
    return false;
}

bool ListLacksSoon(HWND hList, const wchar_t* pszPart, DWORD dwMs = 10000)
{
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(100))
    {
        bool bFound = false;
        for (const std::wstring& line : ListLines(hList))
            bFound = bFound || line.find(pszPart) != std::wstring::npos;
        if (!bFound) return true;
    }
    return false;
}

// The peer: a second program in a Wine prefix of its own, started and looked at
// through Unix commands (the program is a single instance per prefix).
class CPeer
{
public:
    bool Start(uint16_t wPanelPort)
    {
        return RunUnix(Quoted(QUILLON_PEER_SCRIPT) + " " + Quoted(QUILLON_WINE_DIR_UNIX) + " " +
                       Quoted(QUILLON_EXE_UNIX) + " QuillonPort " + std::to_string(wPanelPort) +
                       " >/dev/null 2>&1 &");
    }
    // The probe's lines (empty when it found nothing); waits for it to end.
    std::vector<std::string> Probe(const std::string& args)
    {
        // In the tree's own Wine folder: Windows process ids repeat across Wine sessions.
        std::string out = std::string(QUILLON_WINE_DIR_UNIX) + "/probe-" +
                          std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++m_n);
        RunUnix(Quoted(QUILLON_PEER_SCRIPT) + " " + Quoted(QUILLON_WINE_DIR_UNIX) + " " +
                Quoted(QUILLON_PROBE_UNIX) + " " + args + " >" + out + ".tmp 2>/dev/null; mv " + out +
                ".tmp " + out);
        std::wstring path = L"Z:" + std::wstring(out.begin(), out.end());
        std::replace(path.begin(), path.end(), L'/', L'\\');
        for (int i = 0; i < 300; ++i, Sleep(100))
        {
            FILE* f = _wfopen(path.c_str(), L"rb");
            if (!f) continue;
            std::vector<std::string> lines;
            char buf[1024];
            while (fgets(buf, sizeof buf, f))
            {
                std::string line(buf);
                while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
                    line.pop_back();
                lines.push_back(line);
            }
            fclose(f);
            _wremove(path.c_str());
            return lines;
        }
        return {};
    }
    // Waits until some line of the probe's answer holds every part (or, with bAbsent, none holds it).
    bool ShowsSoon(const std::string& args, std::initializer_list<const char*> parts, bool bAbsent = false)
    {
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 20000; Sleep(200))
        {
            bool bFound = false;
            for (const std::string& line : Probe(args))
            {
                bool bAll = true;
                for (const char* part : parts)
                    bAll = bAll && line.find(part) != std::string::npos;
                bFound = bFound || bAll;
            }
            if (bFound != bAbsent) return true;
        }
        return false;
    }

private:
    static std::string Quoted(const std::string& s) { return "'" + s + "'"; }
    static bool RunUnix(const std::string& command)
    {
        std::wstring cmd = L"/bin/sh -c \"" + std::wstring(command.begin(), command.end()) + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        return CreateProcessW(L"Z:\\bin\\sh", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                              &pi);
    }
    int m_n = 0;
};

class RoomProgramTest : public ProgramTest
{
protected:
    // A program in panel mode, logged in to the lobby as pszUser.
    HANDLE LoggedIn(CPanel& panel, const char* pszUser)
    {
        HANDLE hProcess = StartPanelMode();
        if (!hProcess || !panel.Connect(wPanelPort)) return nullptr;
        panel.Send("CONNECT", Launch(pszUser));
        return panel.WaitAnswer("CONNECT", "1") ? hProcess : nullptr;
    }
    // The value of the first answer "keyword <value>" heard.
    static std::string AnswerValue(CPanel& panel, const std::string& keyword, DWORD dwMs = 20000)
    {
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs;)
        {
            for (const std::string& a : panel.heard)
                if (a.rfind(keyword + " ", 0) == 0) return a.substr(keyword.size() + 1);
            panel.WaitAnswer(keyword, "\x01", 200); // listens a little; nothing answers this value
        }
        return {};
    }
    static std::string Id(int n) { return std::to_string(n); }
};
} // namespace

TEST_F(RoomProgramTest, TwoProgramsMeetTalkChangeRightsAndPresenterThenLeave)
{
    CPanel panelA, panelB;
    HANDLE hA = LoggedIn(panelA, "alice");
    ASSERT_NE(nullptr, hA);
    CPeer peer;
    uint16_t wPortB = FreePort();
    ASSERT_TRUE(peer.Start(wPortB));
    ASSERT_TRUE(panelB.Connect(wPortB, 60000));
    panelB.Send("CONNECT", Launch("bob"));
    ASSERT_TRUE(panelB.WaitAnswer("CONNECT", "1"));

    panelA.Send("CREATE", "Maths");
    std::string szRoom = AnswerValue(panelA, "CREATE");
    ASSERT_FALSE(szRoom.empty());
    ASSERT_NE("0", szRoom);
    HWND hMainA = TopWindow(hA, L"Maths");
    ASSERT_NE(nullptr, hMainA);
    panelB.Send("JOIN", szRoom);
    ASSERT_TRUE(panelB.WaitAnswer("JOIN", "1"));

    // The windows hang where they belong: views under the main view, panels under the manage tool.
    HWND hView = Descendant(hMainA, IDC_VIDEOVIEW_FIRST);
    ASSERT_NE(nullptr, hView);
    EXPECT_EQ(hMainA, GetParent(GetParent(hView)));
    HWND hChatA = Descendant(hMainA, IDC_ROOMCHAT_LIST);
    HWND hUsersA = Descendant(hMainA, IDC_ROOMUSER_LIST);
    ASSERT_NE(nullptr, hChatA);
    ASSERT_NE(nullptr, hUsersA);
    HWND hManageTool = GetParent(GetParent(hChatA));
    EXPECT_EQ(hManageTool, GetParent(GetParent(hUsersA)));
    EXPECT_EQ(hMainA, GetParent(hManageTool));
    EXPECT_TRUE(IsWindowVisible(hMainA));
    // The whiteboard sits in the main view as control 1023, with its frame and board view.
    HWND hBoard = Descendant(hMainA, 1023);
    ASSERT_NE(nullptr, hBoard);
    EXPECT_EQ(hMainA, GetParent(hBoard));
    HWND hBoardFrame = FindWindowExW(hBoard, nullptr, L"LMBoard2Frame", nullptr);
    EXPECT_NE(nullptr, FindWindowExW(hBoardFrame, nullptr, L"LMBoard2View", nullptr));
    std::vector<std::string> chain = peer.Probe("parents " + Id(IDC_ROOMUSER_LIST));
    ASSERT_EQ(3u, chain.size()); // user list, manage tool, main view
    EXPECT_EQ("Maths", chain.back());

    // Each sees the other in its participant list.
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Bob"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Alice", "presider"}));

    // Chat lines typed in one reach the other's chat window, both ways.
    SendMessageW(Descendant(hMainA, IDC_ROOMCHAT_EDIT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"hello bob"));
    SendMessageW(Descendant(hMainA, IDC_ROOMCHAT_SEND), BM_CLICK, 0, 0);
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Alice", "hello bob"}));
    peer.Probe("settext " + Id(IDC_ROOMCHAT_EDIT) + " 'hello alice'");
    peer.Probe("click " + Id(IDC_ROOMCHAT_SEND));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Bob", L"hello alice"}));

    // This Wine has no sound devices: each room's voice tells its user and leaves talk off.
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Neither the microphone nor the speaker can be opened"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Neither the microphone"}));
    EXPECT_EQ(std::vector<std::string>{"0"}, peer.Probe("enabled " + Id(IDC_ROOMCTRL_TALK)));

    // A rights change from the server reaches every participant's record.
    uint16_t wRoom = static_cast<uint16_t>(std::stoi(szRoom));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Bob", "talk"}));
    Bytes rights;
    EncodeRoomRights({wRoom, 0x18}, rights); // share and media share, no longer talk and draw
    EXPECT_EQ(2u, server->SendToRoom(wRoom, INFO_CONF_RIGHTS, 0, rights));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Bob", "media"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"talk"}, true));
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Bob", L"media"}));

    // The chief changes Bob's audio/video state: Bob announces it once; the server's echo ends there.
    // Bob's voice has announced its microphone state at its start and at the talk right's change:
    // counted once they have all arrived.
    auto announced = [&]
    {
        std::vector<uint16_t> seen = server->CommandsFrom(u"bob");
        return std::count(seen.begin(), seen.end(), CMD_CONF_AVSTATE);
    };
    auto nBefore = announced();
    for (Sleep(1000); announced() != nBefore; Sleep(1000))
        nBefore = announced();
    Bytes av;
    // Channel 1: Bob, the second in the room; his voice already holds the microphone closed. His
    // rights are as the server keeps them (talk and draw), no change.
    EncodeUserState({0x10000u | 1u, 3u}, av);
    server->SendToUser(u"bob", INFO_CONF_AVSTATE, 0, av);
    for (int i = 0; i < 50 && announced() == nBefore; ++i)
        Sleep(100);
    Sleep(1000);
    EXPECT_EQ(nBefore + 1, announced());

    // Bob asks to present; Alice, the presider, agrees; both show Bob as the presenter.
    EXPECT_EQ(std::vector<std::string>{"1"}, peer.Probe("enabled " + Id(IDC_ROOMCTRL_PRESENTER)));
    peer.Probe("click " + Id(IDC_ROOMCTRL_PRESENTER));
    // The request is a line in Alice's chat whose link agrees.
    ASSERT_TRUE(AnswerChatRequest(hChatA, L"Allow", true));
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Bob", L"presenter"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Bob", "presenter"}));

    // Alice gives Bob's talk right back from his row's menu: the server keeps it and both lists
    // show it. Then she makes him the host: both lists and both chats follow.
    ASSERT_EQ(1, SendMessageW(hUsersA, LB_SETCURSEL, 1, 0)); // Bob, on channel 1
    PostMessageW(GetParent(hUsersA), WM_COMMAND, 32774, 0);
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Bob", L"talk"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Bob", "talk"}));
    ASSERT_EQ(1, SendMessageW(hUsersA, LB_SETCURSEL, 1, 0)); // the rows were written anew
    PostMessageW(GetParent(hUsersA), WM_COMMAND, 32772, 0);
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Bob", L"presider"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Bob", "presider"}));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Bob is now the host"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Bob is now the host"}));

    // Bob leaves by the control bar: Alice's list lets him go and his room windows are gone.
    peer.Probe("click " + Id(IDC_ROOMCTRL_LEAVE));
    ASSERT_TRUE(panelB.WaitAnswer("QUIT", "0"));
    EXPECT_TRUE(ListLacksSoon(hUsersA, L"Bob"));
    EXPECT_TRUE(peer.Probe("lines " + Id(IDC_ROOMUSER_LIST)).empty());

    // Bob comes back; Alice closes the room: the server takes it from Bob too, and from his lobby.
    panelB.heard.clear();
    panelB.Send("JOIN", szRoom);
    ASSERT_TRUE(panelB.WaitAnswer("JOIN", "1"));
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Bob"}));
    EXPECT_EQ(cfg.rooms.size() + 1, peer.Probe("lines " + Id(IDC_LOBBY_CONFLIST)).size());
    // A box Bob has open in the room closes with it.
    EXPECT_TRUE(server->SendToUser(u"bob", NAK_CONF_CONFTYPE, 0, {}));
    EXPECT_TRUE(peer.ShowsSoon("text 'cannot be changed'", {"cannot be changed"}));
    panelA.Send("QUIT", "");
    ASSERT_TRUE(panelA.WaitAnswer("QUIT", "0"));
    EXPECT_TRUE(panelB.WaitAnswer("QUIT", "0"));
    EXPECT_TRUE(peer.Probe("lines " + Id(IDC_ROOMUSER_LIST)).empty());
    EXPECT_TRUE(peer.ShowsSoon("text 'cannot be changed'", {"cannot be changed"}, true));
    bool bGone = false;
    for (int i = 0; i < 50 && !bGone; ++i, Sleep(200))
        bGone = peer.Probe("lines " + Id(IDC_LOBBY_CONFLIST)).size() == cfg.rooms.size();
    EXPECT_TRUE(bGone);

    EXPECT_TRUE(LogoutEnds(panelA, hA));
    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
}

TEST_F(RoomProgramTest, FullRoomRefusesWithNoSeat)
{
    cfg.rooms[0].wMaxUser = 1;
    RestartServer();

    // Another session takes the one seat.
    CTestOwner other;
    CQNInterface net(&other, &other);
    ASSERT_TRUE(LogInElsewhere(other, net, u"bob"));
    net.SendConfJoin(cfg.rooms[0].wRoomIndex, cfg.rooms[0].szConfCode, u"");
    ASSERT_NE(0xFFFFFFFFu, other.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN).nMsg);

    CPanel panel;
    HANDLE hProcess = LoggedIn(panel, "carol");
    ASSERT_NE(nullptr, hProcess);
    panel.Send("JOIN", std::to_string(cfg.rooms[0].wRoomIndex));
    ASSERT_TRUE(panel.WaitAnswer("JOIN", "0"));
    // The refusal's text shows in a box that does not wait for the user, and no room opens.
    EXPECT_NE(nullptr, TextInProcess(hProcess, L"no free seat"));
    EXPECT_EQ(nullptr, FindInProcess(
                           hProcess, [](HWND h) { return GetDlgCtrlID(h) == IDC_ROOMUSER_LIST; }, 500));
    EXPECT_TRUE(LogoutEnds(panel, hProcess));
    net.StopThreads();
}

TEST_F(RoomProgramTest, TheRoomFollowsItsChiefsViewModeAndFullScreen)
{
    CPanel panelA, panelB;
    HANDLE hA = LoggedIn(panelA, "alice");
    ASSERT_NE(nullptr, hA);
    CPeer peer;
    uint16_t wPortB = FreePort();
    ASSERT_TRUE(peer.Start(wPortB));
    ASSERT_TRUE(panelB.Connect(wPortB, 60000));
    panelB.Send("CONNECT", Launch("bob"));
    ASSERT_TRUE(panelB.WaitAnswer("CONNECT", "1"));

    // A class room offers every view mode; Alice, in first, presides.
    const LoopRoom& room = cfg.rooms[1];
    panelA.Send("JOIN", std::to_string(room.wRoomIndex));
    ASSERT_TRUE(panelA.WaitAnswer("JOIN", "1"));
    HWND hMainA = TopWindow(hA, std::wstring(room.szTitle.begin(), room.szTitle.end()));
    ASSERT_NE(nullptr, hMainA);
    panelB.Send("JOIN", std::to_string(room.wRoomIndex));
    ASSERT_TRUE(panelB.WaitAnswer("JOIN", "1"));
    HWND hBoardA = Descendant(hMainA, IDC_ROOMMAIN_BOARD);
    ASSERT_NE(nullptr, hBoardA);

    auto waitFor = [](std::function<bool()> done)
    {
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 10000; Sleep(100))
            if (done()) return true;
        return false;
    };
    struct
    {
        int nItem;
        bool bBoard;
    } modes[] = {{IDC_ROOMCTRL_VIEW_VIDEO, false},
                 {IDC_ROOMCTRL_VIEW_MEDIASHARE, false},
                 {IDC_ROOMCTRL_VIEW_QUESTION, false},
                 {IDC_ROOMCTRL_VIEW_BOARD, true}};
    for (const auto& m : modes)
    {
        HWND hButton = Descendant(hMainA, m.nItem);
        ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(hButton) != FALSE; })) << m.nItem;
        SendMessageW(hButton, BM_CLICK, 0, 0);
        EXPECT_TRUE(waitFor([&] { return SendMessageW(hButton, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
        EXPECT_EQ(m.bBoard, IsWindowVisible(hBoardA) != FALSE) << m.nItem;
        // Bob's window follows: his bar checks the mode and his board area shows or hides with it.
        EXPECT_TRUE(peer.ShowsSoon("checked " + Id(m.nItem), {"1"})) << m.nItem;
        EXPECT_TRUE(peer.ShowsSoon("visible " + Id(IDC_ROOMMAIN_BOARD), {m.bBoard ? "1" : "0"})) << m.nItem;
    }

    // Full screen for the whole room: both windows cover their monitor, then both come back.
    RECT before{};
    GetWindowRect(hMainA, &before);
    std::string szPeerBefore = peer.Probe("toprect " + Id(IDC_ROOMCTRL_FULLSCREEN)).at(0);
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    std::string szCovered = "-1 -1 " + std::to_string(cx + 1) + " " + std::to_string(cy + 1);
    SendMessageW(Descendant(hMainA, IDC_ROOMCTRL_FULLSCREEN), BM_CLICK, 0, 0);
    EXPECT_TRUE(waitFor(
        [&]
        {
            RECT rc{};
            GetWindowRect(hMainA, &rc);
            return rc.left == -1 && rc.top == -1 && rc.right == cx + 1 && rc.bottom == cy + 1;
        }));
    EXPECT_TRUE(peer.ShowsSoon("toprect " + Id(IDC_ROOMCTRL_FULLSCREEN), {szCovered.c_str()}));
    EXPECT_TRUE(peer.ShowsSoon("visible " + Id(IDC_ROOMCTRL_FULLSCREEN), {"0"})); // the bar hides

    // Alice's bar is hidden in full screen: the room window's bar item is pressed as the menu would.
    SendMessageW(GetParent(Descendant(hMainA, IDC_ROOMCTRL_FULLSCREEN)), WM_COMMAND,
                 MAKEWPARAM(IDC_ROOMCTRL_FULLSCREEN, BN_CLICKED), 0);
    EXPECT_TRUE(waitFor(
        [&]
        {
            RECT rc{};
            GetWindowRect(hMainA, &rc);
            return EqualRect(&rc, &before) != FALSE;
        }));
    EXPECT_TRUE(peer.ShowsSoon("toprect " + Id(IDC_ROOMCTRL_FULLSCREEN), {szPeerBefore.c_str()}));

    EXPECT_TRUE(LogoutEnds(panelA, hA));
    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
}

TEST_F(RoomProgramTest, InvitationsAreAcceptedIntoAnotherRoomOrDeclinedToTheInviter)
{
    CPanel panelA, panelB;
    HANDLE hA = LoggedIn(panelA, "alice");
    ASSERT_NE(nullptr, hA);
    CPeer peer;
    uint16_t wPortB = FreePort();
    ASSERT_TRUE(peer.Start(wPortB));
    ASSERT_TRUE(panelB.Connect(wPortB, 60000));
    panelB.Send("CONNECT", Launch("bob"));
    ASSERT_TRUE(panelB.WaitAnswer("CONNECT", "1"));
    panelA.Send("CREATE", "Maths");
    std::string szRoom = AnswerValue(panelA, "CREATE");
    ASSERT_FALSE(szRoom.empty());
    HWND hMainA = TopWindow(hA, L"Maths");
    ASSERT_NE(nullptr, hMainA);
    panelB.Send("JOIN", szRoom);
    ASSERT_TRUE(panelB.WaitAnswer("JOIN", "1"));
    HWND hUsersA = Descendant(hMainA, IDC_ROOMUSER_LIST);
    ASSERT_TRUE(ListShowsSoon(hUsersA, {L"Bob"}));

    // Alice invites Bob into the class room: he accepts, leaves her room and is in the other.
    const uint16_t wClassRoom = cfg.rooms[1].wRoomIndex;
    ASSERT_TRUE(server->SendInvitation(u"alice", u"bob", wClassRoom, u"come"));
    // The notice's text breaks into lines: each part is looked for on its own.
    ASSERT_TRUE(peer.ShowsSoon("text 'Class'", {"Class"}));
    ASSERT_TRUE(peer.ShowsSoon("text 'Alice invites'", {"Alice invites"}));
    peer.Probe("click " + Id(IDC_INVITE_ACCEPT));
    EXPECT_TRUE(ListLacksSoon(hUsersA, L"Bob"));
    bool bMoved = false;
    for (int i = 0; i < 100 && !bMoved; ++i, Sleep(200))
        bMoved = server->RoomMembers(wClassRoom).size() == 1;
    EXPECT_TRUE(bMoved);

    // Invited back, Bob declines: Alice's box tells her.
    ASSERT_TRUE(server->SendInvitation(u"alice", u"bob", static_cast<uint16_t>(std::stoi(szRoom)), u"back?"));
    ASSERT_TRUE(peer.ShowsSoon("text 'Maths'", {"Maths"}));
    peer.Probe("click " + Id(IDC_INVITE_DECLINE));
    EXPECT_NE(nullptr, TextInProcess(hA, L"cancelled"));
    EXPECT_TRUE(peer.ShowsSoon("text 'Maths'", {"Maths"}, true));
    EXPECT_EQ(1u, server->RoomMembers(wClassRoom).size());

    EXPECT_TRUE(LogoutEnds(panelA, hA));
    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
}

TEST_F(RoomProgramTest, DroppedConnectionsCountDownInABoxThatClosesAsTheLoginReturns)
{
    CPanel panelA, panelB;
    HANDLE hA = LoggedIn(panelA, "alice");
    ASSERT_NE(nullptr, hA);
    CPeer peer;
    uint16_t wPortB = FreePort();
    ASSERT_TRUE(peer.Start(wPortB));
    ASSERT_TRUE(panelB.Connect(wPortB, 60000));
    panelB.Send("CONNECT", Launch("bob"));
    ASSERT_TRUE(panelB.WaitAnswer("CONNECT", "1"));
    panelA.Send("JOIN", std::to_string(cfg.rooms[0].wRoomIndex));
    ASSERT_TRUE(panelA.WaitAnswer("JOIN", "1"));
    panelB.Send("JOIN", std::to_string(cfg.rooms[0].wRoomIndex));
    ASSERT_TRUE(panelB.WaitAnswer("JOIN", "1"));
    HWND hMain = MainWindow();
    ASSERT_NE(nullptr, hMain);

    // The server goes and comes back on its port: both connections drop.
    panelA.heard.clear();
    panelB.heard.clear();
    uint16_t wPort = server->Port();
    server->Stop();
    server = std::make_unique<CLoopServer>(cfg, &log);
    ASSERT_TRUE(server->Start(wPort));

    // Each shows the reconnection box counting down; it closes itself as the login returns.
    HWND hBox = WaitForBox(hMain, 20000);
    ASSERT_NE(nullptr, hBox);
    wchar_t text[256] = {};
    GetWindowTextW(GetDlgItem(hBox, IDC_INFO_MESSAGE), text, 255);
    EXPECT_NE(nullptr, wcsstr(text, L"Reconnecting")) << text;
    EXPECT_TRUE(peer.ShowsSoon("text 'Reconnecting'", {"Reconnecting"}));
    EXPECT_TRUE(panelA.WaitAnswer("CONNECT", "1", 30000));
    EXPECT_TRUE(panelB.WaitAnswer("CONNECT", "1", 30000));
    bool bClosed = false;
    for (int i = 0; i < 100 && !bClosed; ++i, Sleep(100))
        bClosed = !IsWindow(hBox);
    EXPECT_TRUE(bClosed);
    EXPECT_TRUE(peer.ShowsSoon("text 'Reconnecting'", {"Reconnecting"}, true));
    EXPECT_EQ(2u, server->LoggedInUsers());

    EXPECT_TRUE(LogoutEnds(panelA, hA));
    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
}
