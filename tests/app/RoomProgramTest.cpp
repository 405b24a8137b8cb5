// Two real programs under Wine meet in one room of the loopback server: windows,
// participants, chat, rights, presenter, voice, leaving, closing and a full room.
#include "tests/app/ProgramHarness.h"
#include "tests/app/RichEditClick.h"
#include "tests/app/TreeViewItems.h"

#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <random>

#include "confclient/network/QNRoomPayloads.h"
#include "confclient/network/record/RecordReader.h"
#include "confclient/people/UserMenuRules.h"
#include "lmboard2/gif/BmpFile.h"
#include "tests/media/ToneShare.h"
#include "tests/winui/ScreenPicture.h"

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

// The room's property dialog once it shows: it is found by its title as soon as it is made, and
// shows only when its controls hold the room's values.
HWND PropertyDialog(HANDLE hProcess)
{
    HWND hDlg = TopWindow(hProcess, L"Room properties");
    const DWORD t0 = GetTickCount();
    while (hDlg && !IsWindowVisible(hDlg) && GetTickCount() - t0 < 20000)
        Sleep(100);
    return hDlg && IsWindowVisible(hDlg) ? hDlg : nullptr;
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

// Waits until done() holds; false when it does not within the bound.
bool WaitFor(const std::function<bool()>& done, DWORD dwMs = 10000)
{
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(100))
        if (done()) return true;
    return false;
}

// A window's text. WM_GETTEXT: GetWindowText does not read another program's controls.
std::wstring TextOf(HWND h)
{
    wchar_t text[256] = {};
    SendMessageW(h, WM_GETTEXT, 255, reinterpret_cast<LPARAM>(text));
    return text;
}

// The Windows name of a file of the Unix file system (drive Z: is its root).
std::wstring WindowsPath(const std::string& szUnix)
{
    std::wstring path = L"Z:" + std::wstring(szUnix.begin(), szUnix.end());
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

// Enter pressed in a control of the program under test, through the program's own loop.
void PressEnterIn(HWND hControl)
{
    PostMessageW(hControl, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(hControl, WM_KEYUP, VK_RETURN, 0xC0000001);
}

std::vector<std::wstring> ListLines(HWND hList)
{
    std::vector<std::wstring> lines;
    wchar_t szClass[64] = {};
    GetClassNameW(hList, szClass, 63);
    if (_wcsicmp(szClass, L"SysListView32") == 0) return ListViewRows(hList);
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
    // Runs a Unix shell command and waits for it to end: a Unix process is no Windows
    // process to wait on, so the command leaves a mark when done.
    bool Shell(const std::string& command, DWORD dwMs = 30000)
    {
        // In the tree's own Wine folder: Windows process ids repeat across Wine sessions.
        std::string done = std::string(QUILLON_WINE_DIR_UNIX) + "/done-" +
                           std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++m_n);
        if (!RunUnix(command + "; : >" + Quoted(done))) return false;
        std::wstring path = WindowsPath(done);
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(100))
            if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return DeleteFileW(path.c_str());
        return false;
    }
    // Runs a Windows program in the peer's prefix and waits for it to end.
    bool Run(const std::string& args)
    {
        return Shell(Quoted(QUILLON_PEER_SCRIPT) + " " + Quoted(QUILLON_WINE_DIR_UNIX) + " " + args +
                     " >/dev/null 2>&1");
    }
    // The probe's lines (empty when it found nothing); waits for it to end.
    std::vector<std::string> Probe(const std::string& args)
    {
        std::string out = std::string(QUILLON_WINE_DIR_UNIX) + "/probe-" +
                          std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++m_n);
        if (!Shell(Quoted(QUILLON_PEER_SCRIPT) + " " + Quoted(QUILLON_WINE_DIR_UNIX) + " " +
                   Quoted(QUILLON_PROBE_UNIX) + " " + args + " >" + out + " 2>/dev/null"))
            return {};
        std::wstring path = WindowsPath(out);
        std::vector<std::string> lines;
        if (FILE* f = _wfopen(path.c_str(), L"rb"))
        {
            char buf[1024];
            while (fgets(buf, sizeof buf, f))
            {
                std::string line(buf);
                while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
                    line.pop_back();
                lines.push_back(line);
            }
            fclose(f);
        }
        _wremove(path.c_str());
        return lines;
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

    static std::string Quoted(const std::string& s) { return "'" + s + "'"; }

private:
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

std::string FileBytes(const std::wstring& szPath)
{
    std::string s;
    if (FILE* f = _wfopen(szPath.c_str(), L"rb"))
    {
        char buf[65536];
        for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
            s.append(buf, n);
        fclose(f);
    }
    return s;
}

// Whether the newest board page of that number ("000" the first) in the peer's prefix holds
// these bytes, within 20 s.
bool PeerBoardPageHoldsSoon(const std::string& bytes, const std::string& page = "000")
{
    const std::string dir = std::string(QUILLON_WINE_DIR_UNIX);
    const std::string out = dir + "/page-" + std::to_string(GetCurrentProcessId());
    std::wstring path = L"Z:" + std::wstring(out.begin(), out.end());
    std::replace(path.begin(), path.end(), L'/', L'\\');
    const std::string find = "find '" + dir + "/peer/prefix/drive_c/users' -path '*/LMBoard/Agenda/*_" +
                             page + "' -mmin -5" + " | xargs -r ls -t | head -1 | xargs -r cat >" + out +
                             ".tmp; mv " + out + ".tmp " + out;
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 20000; Sleep(300))
    {
        _wremove(path.c_str());
        std::wstring cmd = L"/bin/sh -c \"" + std::wstring(find.begin(), find.end()) + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(L"Z:\\bin\\sh", cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            continue;
        WaitForSingleObject(pi.hProcess, 10000);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        // The shell's mv may land a moment after the Windows side sees the process end.
        for (int i = 0; i < 20; ++i, Sleep(100))
            if (FILE* f = _wfopen(path.c_str(), L"rb"))
            {
                std::string content;
                char buf[4096];
                for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
                    content.append(buf, n);
                fclose(f);
                _wremove(path.c_str());
                if (content.find(bytes) != std::string::npos) return true;
                break;
            }
    }
    return false;
}

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

    // Alice logged in here and Bob in the peer's program, both in the lobby.
    bool BothLoggedIn(CPanel& panelA, CPanel& panelB, CPeer& peer, HANDLE* phA)
    {
        *phA = LoggedIn(panelA, "alice");
        uint16_t wPortB = FreePort();
        if (!*phA || !peer.Start(wPortB) || !panelB.Connect(wPortB, 60000)) return false;
        panelB.Send("CONNECT", Launch("bob"));
        return panelB.WaitAnswer("CONNECT", "1");
    }
    // Alice opens a new room of this title and Bob joins it: Alice's room window, or null
    // when a step fails. The room's index goes to *pszRoom.
    static HWND AliceOpensBobJoins(CPanel& panelA, CPanel& panelB, HANDLE hA, const std::string& szTitle,
                                   std::string* pszRoom)
    {
        panelA.Send("CREATE", szTitle);
        *pszRoom = AnswerValue(panelA, "CREATE");
        if (pszRoom->empty() || *pszRoom == "0") return nullptr;
        HWND hMainA = TopWindow(hA, std::wstring(szTitle.begin(), szTitle.end()));
        if (!hMainA) return nullptr;
        panelB.Send("JOIN", *pszRoom);
        return panelB.WaitAnswer("JOIN", "1") ? hMainA : nullptr;
    }
    // Alice, then Bob, join a room of the server's configuration: Alice's room window, or null.
    static HWND BothJoin(CPanel& panelA, CPanel& panelB, HANDLE hA, const LoopRoom& room)
    {
        panelA.Send("JOIN", std::to_string(room.wRoomIndex));
        if (!panelA.WaitAnswer("JOIN", "1")) return nullptr;
        HWND hMainA = TopWindow(hA, std::wstring(room.szTitle.begin(), room.szTitle.end()));
        if (!hMainA) return nullptr;
        panelB.Send("JOIN", std::to_string(room.wRoomIndex));
        return panelB.WaitAnswer("JOIN", "1") ? hMainA : nullptr;
    }
};
} // namespace

TEST_F(RoomProgramTest, TwoProgramsMeetTalkChangeRightsAndPresenterThenLeave)
{
    CPanel panelA, panelB;
    CPeer peer;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));

    std::string szRoom;
    HWND hMainA = AliceOpensBobJoins(panelA, panelB, hA, "Maths", &szRoom);
    ASSERT_NE(nullptr, hMainA);

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
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Alice (Host)"}));

    // Chat lines typed in one reach the other's chat window, both ways.
    SendMessageW(Descendant(hMainA, IDC_ROOMCHAT_EDIT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"hello bob"));
    PressEnterIn(Descendant(hMainA, IDC_ROOMCHAT_EDIT));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Alice", "hello bob"}));
    peer.Probe("settext " + Id(IDC_ROOMCHAT_EDIT) + " 'hello alice'");
    peer.Probe("enter " + Id(IDC_ROOMCHAT_EDIT));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Bob", L"hello alice"}));

    // The session's sound server gives both programs devices: Bob, who holds the talk right, may talk.
    EXPECT_TRUE(peer.ShowsSoon("enabled " + Id(IDC_ROOMCTRL_TALK), {"1"}));

    // A rights change from the server reaches every participant's record.
    uint16_t wRoom = static_cast<uint16_t>(std::stoi(szRoom));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Voice_O", "Bob"}));
    Bytes rights;
    EncodeRoomRights({wRoom, 0x18}, rights); // share and media share, no longer talk and draw
    EXPECT_EQ(2u, server->SendToRoom(wRoom, INFO_CONF_RIGHTS, 0, rights));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Board_false_", "Voice_DIS_", "Bob"}));
    EXPECT_TRUE(peer.ShowsSoon("enabled " + Id(IDC_ROOMCTRL_TALK), {"0"}));
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Board_false_", L"Voice_DIS_", L"Bob"}));

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

    // Carol joins on the bare network object: both lists show her below the chief, both chats
    // tell her arrival; her line reaches both programs, and Alice's reaches her.
    CTestOwner carolOwner;
    CQNInterface carol(&carolOwner, &carolOwner);
    ASSERT_TRUE(LogInElsewhere(carolOwner, carol, u"carol"));
    carol.SendConfJoin(wRoom, u"", u"");
    ASSERT_NE(0xFFFFFFFFu, carolOwner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN).nMsg);
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Carol"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Carol"}));
    EXPECT_NE(std::wstring::npos, ListLines(hUsersA).at(0).find(L"Alice (Host)"));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Carol joined the room."}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Carol joined the room."}));
    carol.SendChatText(0, u"hello from carol");
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Carol", L"hello from carol"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Carol", "hello from carol"}));
    SendMessageW(Descendant(hMainA, IDC_ROOMCHAT_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"hi carol"));
    PressEnterIn(Descendant(hMainA, IDC_ROOMCHAT_EDIT));
    auto carolHeard = [&](uint16_t wCommand, const std::function<bool(const QNEvent&)>& match)
    {
        return carolOwner.WaitUntil(
            [&]
            {
                return std::any_of(carolOwner.events.begin(), carolOwner.events.end(),
                                   [&](const QNEvent& e) {
                                       return e.nMsg == kMsgRoomPacket && e.wCommand == wCommand && match(e);
                                   });
            },
            10);
    };
    EXPECT_TRUE(carolHeard(INFO_CONF_CHAT,
                           [](const QNEvent& e)
                           {
                               QNChat chat;
                               return DecodeChat(e.payload.data(), e.payload.size(), chat) &&
                                      chat.szText == u"hi carol";
                           }));

    // Alice gives Bob's draw right back from his row's menu: the server keeps it and both lists
    // show his board icon again.
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Board_false_", L"Bob"}));
    ASSERT_TRUE(SelectListViewRow(hUsersA, 1)); // Bob, below the chief
    PostMessageW(GetParent(hUsersA), WM_COMMAND, 32775, 0);
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Board_true_", L"Bob"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Board_true_", "Bob"}));

    // The rights change reached Carol too (Bob, channel 1, may draw); she leaves: both lists let
    // her go and both chats tell it.
    EXPECT_TRUE(carolHeard(INFO_CONF_AVSTATE,
                           [](const QNEvent& e)
                           {
                               QNUserState state;
                               return DecodeUserState(e.payload.data(), e.payload.size(), state) &&
                                      state.Channel() == 1 && (state.dwRights & 2);
                           }));
    // Drawing for everyone from the list menu, on and then off: every list follows the room's
    // right (421). Carol's own draw right goes first, so that each step shows.
    ASSERT_TRUE(SelectListViewRow(hUsersA, 2)); // Carol, the last to join
    PostMessageW(GetParent(hUsersA), WM_COMMAND, 32775, 0);
    ASSERT_TRUE(ListShowsSoon(hUsersA, {L"Board_false_", L"Carol"}));
    PostMessageW(GetParent(hUsersA), WM_COMMAND, 33008, 0);
    ASSERT_TRUE(ListShowsSoon(hUsersA, {L"Board_true_", L"Carol"}));
    PostMessageW(GetParent(hUsersA), WM_COMMAND, 33008, 0);
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Board_false_", L"Carol"}));
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Board_false_", L"Bob"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Board_false_", "Bob"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Board_false_", "Carol"}));
    carol.SendConfQuit();
    EXPECT_TRUE(ListLacksSoon(hUsersA, L"Carol"));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Carol"}, true));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Carol left the room."}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Carol left the room."}));
    carol.StopThreads();

    // Bob asks to present; Alice, the presider, agrees; both show Bob as the presenter.
    EXPECT_EQ(std::vector<std::string>{"1"}, peer.Probe("enabled " + Id(IDC_ROOMCTRL_PRESENTER)));
    peer.Probe("click " + Id(IDC_ROOMCTRL_PRESENTER));
    // The request is a line in Alice's chat whose link agrees.
    ASSERT_TRUE(AnswerChatRequest(hChatA, L"Allow", true));
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Bob (Presenter)"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Bob (Presenter)"}));

    // From his row's menu Alice clears the presenter, then makes him presenter again.
    ASSERT_TRUE(SelectListViewRow(hUsersA, 1));
    PostMessageW(GetParent(hUsersA), WM_COMMAND, 33002, 0);
    EXPECT_TRUE(ListLacksSoon(hUsersA, L"(Presenter)"));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"(Presenter)"}, true));
    ASSERT_TRUE(SelectListViewRow(hUsersA, 1));
    PostMessageW(GetParent(hUsersA), WM_COMMAND, 33002, 0);
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Bob (Presenter)"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Bob (Presenter)"}));

    // Alice makes him the host from his row's menu: both lists and both chats follow.
    ASSERT_TRUE(SelectListViewRow(hUsersA, 1)); // Bob, the presenter's row
    PostMessageW(GetParent(hUsersA), WM_COMMAND, 32772, 0);
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Bob (Host)"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Bob (Host)"}));
    // The new chief's row is row 0 in both lists.
    EXPECT_NE(std::wstring::npos, ListLines(hUsersA).at(0).find(L"Bob (Host)"));
    std::vector<std::string> bobRows = peer.Probe("lines " + Id(IDC_ROOMUSER_LIST));
    ASSERT_FALSE(bobRows.empty());
    EXPECT_NE(std::string::npos, bobRows[0].find("Bob (Host)"));
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
    CPeer peer;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));

    // A class room offers every view mode; Alice, in first, presides.
    const LoopRoom& room = cfg.rooms[1];
    HWND hMainA = BothJoin(panelA, panelB, hA, room);
    ASSERT_NE(nullptr, hMainA);
    HWND hBoardA = Descendant(hMainA, IDC_ROOMMAIN_BOARD);
    ASSERT_NE(nullptr, hBoardA);

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
        ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(hButton) != FALSE; })) << m.nItem;
        SendMessageW(hButton, BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return SendMessageW(hButton, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
        EXPECT_EQ(m.bBoard, IsWindowVisible(hBoardA) != FALSE) << m.nItem;
        // Bob's window follows: his bar checks the mode and his board area shows or hides with it.
        EXPECT_TRUE(peer.ShowsSoon("checked " + Id(m.nItem), {"1"})) << m.nItem;
        EXPECT_TRUE(peer.ShowsSoon("visible " + Id(IDC_ROOMMAIN_BOARD), {m.bBoard ? "1" : "0"})) << m.nItem;
    }

    // The board shows: alice picks red in its palette and draws, and bob's board keeps her red
    // pen stroke.
    HWND hPen = Descendant(hMainA, 1392);
    ASSERT_NE(nullptr, hPen);
    HWND hPalette = GetParent(hPen);
    EXPECT_TRUE(IsWindowVisible(hPalette));                   // beside the board, for the presider
    SendMessageW(GetDlgItem(hPalette, 1404), BM_CLICK, 0, 0); // red
    SendMessageW(hPen, BM_CLICK, 0, 0);
    HWND hViewA = FindWindowExW(FindWindowExW(hBoardA, nullptr, L"LMBoard2Frame", nullptr), nullptr,
                                L"LMBoard2View", nullptr);
    ASSERT_NE(nullptr, hViewA);
    SendMessageW(hViewA, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 150));
    for (int i = 1; i <= 4; ++i)
        SendMessageW(hViewA, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150 + 25 * i, 150 + 15 * i));
    SendMessageW(hViewA, WM_LBUTTONUP, 0, MAKELPARAM(250, 210));
    // A pen record (169), not translucent, in 0x0000FF.
    const std::string red = {char(169), 0, char(0xFF), 0, 0, 0};
    EXPECT_TRUE(PeerBoardPageHoldsSoon(red));
    // Bob keeps alice's page byte for byte: her whole page file (header and records) is his.
    const std::filesystem::path alicePage =
        std::filesystem::temp_directory_path() / "LMBoard" / "Agenda" / (room.szConfCode + u"_000");
    const std::string aliceBytes = FileBytes(alicePage.wstring());
    ASSERT_GT(aliceBytes.size(), 208 + red.size());
    EXPECT_NE(aliceBytes.find(red), std::string::npos);
    EXPECT_TRUE(PeerBoardPageHoldsSoon(aliceBytes));

    // Alice opens a picture with the bar's File-open command, filling in the open dialog as a
    // user would: it goes up as a new page, bob's board takes it (its header names the picture)
    // and his transfer strip goes once the page is in.
    wchar_t szTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, szTemp);
    const std::wstring picture = std::wstring(szTemp) + L"upload_page.bmp";
    {
        // A 4 x 2 picture of 24-bit pixels: file header, information header, two 12-byte rows.
        std::string bmp = "BM";
        auto u32 = [&](uint32_t v)
        {
            for (int i = 0; i < 4; ++i)
                bmp += static_cast<char>(v >> (8 * i));
        };
        auto u16 = [&](uint16_t v) { bmp += {static_cast<char>(v), static_cast<char>(v >> 8)}; };
        u32(54 + 24), u32(0), u32(54), u32(40), u32(4), u32(2), u16(1), u16(24), u32(0), u32(24);
        u32(2835), u32(2835), u32(0), u32(0);
        bmp.append(24, char(0x40));
        FILE* f = _wfopen(picture.c_str(), L"wb");
        ASSERT_NE(nullptr, f);
        fwrite(bmp.data(), 1, bmp.size(), f);
        fclose(f);
    }
    HWND hBar = GetParent(Descendant(hMainA, IDC_ROOMCTRL_FULLSCREEN));
    PostMessageW(hBar, WM_COMMAND, MAKEWPARAM(32916, 0), 0);
    HWND hOpen = nullptr, hName = nullptr;
    ASSERT_TRUE(WaitFor(
        [&]
        {
            hOpen = WaitForBox(hMainA, 200);
            hName = hOpen ? GetDlgItem(hOpen, 1148) : nullptr;    // the file name's combo box
            if (hOpen && !hName) hName = GetDlgItem(hOpen, 1152); // or its edit
            return hName != nullptr;
        }));
    SendMessageW(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(picture.c_str()));
    PostMessageW(hOpen, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    std::string title;
    for (char c : std::string("upload_page"))
        title += {c, 0};
    EXPECT_TRUE(PeerBoardPageHoldsSoon(title, "001"));
    EXPECT_TRUE(WaitFor([&] { return peer.Probe("visible 1418").empty(); }, 30000)); // the strip's bar
    DeleteFileW(picture.c_str());

    // The bar's preview command opens the board preview beside the room, its combo listing the
    // whiteboard and the picture; the command again closes it.
    PostMessageW(hBar, WM_COMMAND, MAKEWPARAM(1142, 0), 0);
    HWND hPreview = nullptr;
    EXPECT_TRUE(WaitFor(
        [&]
        {
            hPreview = TopWindow(hA, L"Preview");
            return hPreview && IsWindowVisible(hPreview);
        }));
    EXPECT_EQ(SendMessageW(GetDlgItem(hPreview, IDC_PREVIEW_PAGES), CB_GETCOUNT, 0, 0), 2);
    PostMessageW(hBar, WM_COMMAND, MAKEWPARAM(1142, 0), 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(hPreview); }));

    // Full screen for the whole room: both windows cover their monitor, then both come back.
    RECT before{};
    GetWindowRect(hMainA, &before);
    std::string szPeerBefore = peer.Probe("toprect " + Id(IDC_ROOMCTRL_FULLSCREEN)).at(0);
    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    std::string szCovered = "-1 -1 " + std::to_string(cx + 1) + " " + std::to_string(cy + 1);
    SendMessageW(Descendant(hMainA, IDC_ROOMCTRL_FULLSCREEN), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor(
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
    EXPECT_TRUE(WaitFor(
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
    CPeer peer;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));
    std::string szRoom;
    HWND hMainA = AliceOpensBobJoins(panelA, panelB, hA, "Maths", &szRoom);
    ASSERT_NE(nullptr, hMainA);
    HWND hUsersA = Descendant(hMainA, IDC_ROOMUSER_LIST);
    ASSERT_TRUE(ListShowsSoon(hUsersA, {L"Bob"}));

    // Alice invites Bob into the class room: he accepts, leaves her room and is in the other.
    const uint16_t wClassRoom = cfg.rooms[1].wRoomIndex;
    ASSERT_TRUE(server->SendInvitation(u"alice", u"bob", wClassRoom));
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
    ASSERT_TRUE(server->SendInvitation(u"alice", u"bob", static_cast<uint16_t>(std::stoi(szRoom))));
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
    CPeer peer;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));
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

namespace
{
constexpr size_t kRate = 16000;
constexpr size_t kFrame = kRate / 50; // 20 ms

std::vector<int16_t> ReadSamples(const std::string& szUnix)
{
    std::vector<int16_t> samples;
    if (FILE* f = _wfopen(WindowsPath(szUnix).c_str(), L"rb"))
    {
        int16_t block[4096];
        for (size_t n; (n = fread(block, sizeof block[0], 4096, f)) > 0;)
            samples.insert(samples.end(), block, block + n);
        fclose(f);
    }
    return samples;
}

bool WriteSamples(const std::string& szUnix, const std::vector<int16_t>& samples)
{
    FILE* f = _wfopen(WindowsPath(szUnix).c_str(), L"wb");
    if (!f) return false;
    bool bOk = fwrite(samples.data(), sizeof samples[0], samples.size(), f) == samples.size();
    return fclose(f) == 0 && bOk;
}

void AppendTone(std::vector<int16_t>& out, double dHz, size_t nMs, double dAmplitude)
{
    size_t n0 = out.size();
    for (size_t k = 0; k < nMs * kRate / 1000; ++k)
        out.push_back(
            static_cast<int16_t>(dAmplitude * std::sin(2 * std::numbers::pi * dHz * double(n0 + k) / kRate)));
}

double Rms(const int16_t* p, size_t n)
{
    double sum = 0;
    for (size_t k = 0; k < n; ++k)
        sum += double(p[k]) * p[k];
    return n ? std::sqrt(sum / double(n)) : 0;
}

std::vector<double> Envelope(const std::vector<int16_t>& s)
{
    std::vector<double> e;
    for (size_t k = 0; k + kFrame <= s.size(); k += kFrame)
        e.push_back(Rms(&s[k], kFrame));
    return e;
}

// Pearson's correlation of a[i] and b[i + nLag] over a's length.
template <class T>
double Correlation(const std::vector<T>& a, const std::vector<T>& b, size_t nLag, size_t nFrom, size_t nTo)
{
    if (nTo + nLag > b.size() || nTo <= nFrom) return 0;
    double n = double(nTo - nFrom), sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
    for (size_t i = nFrom; i < nTo; ++i)
    {
        double x = a[i], y = b[i + nLag];
        sa += x, sb += y, saa += x * x, sbb += y * y, sab += x * y;
    }
    double d = std::sqrt((saa - sa * sa / n) * (sbb - sb * sb / n));
    return d > 0 ? (sab - sa * sb / n) / d : 0;
}

// The session's sound server (scripts/sound-session.sh), as Unix commands see it.
std::string PulseCommand(const std::string& szCommand)
{
    return "PULSE_SERVER=unix:" + std::string(QUILLON_WINE_DIR_UNIX) + "/pulse/native " + szCommand;
}
} // namespace

// Alice's microphone plays speech and tone bursts into the room; Bob's speaker carries them
// and not his own microphone's tone. Talk off sends nothing; Bob's mute silences what still comes.
// Bob's audio settings answer a member's question, and only the chief may change them.
TEST_F(RoomProgramTest, OneMicrophoneIsHeardOnTheOthersSpeakerUntilTalkOffOrMute)
{
    std::string szWine = QUILLON_WINE_DIR_UNIX;
    if (GetFileAttributesW(WindowsPath(szWine + "/pulse/session.pa").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "this Wine session has no sound server";
    CPeer peer;
    std::string szTag = szWine + "/voice-" + std::to_string(GetCurrentProcessId());

    // What Alice says: a sentence, then tone bursts of uneven lengths and pauses.
    ASSERT_TRUE(peer.Shell("espeak-ng -s 150 -w " + szTag +
                           "-speech.wav 'Seven quick lessons begin at nine; " +
                           "bring the red book.' && sox " + szTag + "-speech.wav -r 16000 -c 1 -b 16 " +
                           "-e signed-integer -t raw " + szTag + "-speech.raw"));
    std::vector<int16_t> said = ReadSamples(szTag + "-speech.raw");
    ASSERT_GT(said.size(), kRate);
    size_t nToneFrom = said.size() + kRate / 2;
    for (size_t nOn : {240, 400, 160, 320})
    {
        AppendTone(said, 0, 300, 0);
        AppendTone(said, 440, nOn, 9000);
    }
    size_t nToneTo = said.size();
    AppendTone(said, 0, 300, 0);
    ASSERT_TRUE(WriteSamples(szTag + "-alice.raw", said));
    std::vector<int16_t> hum;
    AppendTone(hum, 880, 30000, 9000);
    ASSERT_TRUE(WriteSamples(szTag + "-bob.raw", hum));

    // Each program opens its own user's devices.
    HKEY hKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\LumoraSoft\\Common", 0, nullptr,
                                             0, KEY_SET_VALUE, nullptr, &hKey, nullptr));
    RegSetValueExW(hKey, L"DeviceMicName", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"alice-mic"), 20);
    RegSetValueExW(hKey, L"DeviceSpkName", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"alice-spk"), 20);
    RegCloseKey(hKey);
    for (const char* pszValue : {"DeviceMicName /d bob-mic", "DeviceSpkName /d bob-spk"})
        ASSERT_TRUE(
            peer.Run("reg.exe add 'HKCU\\Software\\LumoraSoft\\Common' /f /v " + std::string(pszValue)));

    CPanel panelA, panelB;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));
    std::string szRoom;
    HWND hMainA = AliceOpensBobJoins(panelA, panelB, hA, "Voices", &szRoom);
    ASSERT_NE(nullptr, hMainA);
    HWND hTalkA = Descendant(hMainA, IDC_ROOMCTRL_TALK);
    ASSERT_NE(nullptr, hTalkA);
    for (DWORD t0 = GetTickCount(); !IsWindowEnabled(hTalkA) && GetTickCount() - t0 < 20000;)
        Sleep(100);
    ASSERT_TRUE(IsWindowEnabled(hTalkA)) << "Alice's voice opened her devices";
    EXPECT_TRUE(peer.ShowsSoon("enabled " + Id(IDC_ROOMCTRL_TALK), {"1"}));

    auto voiceFromAlice = [&]
    {
        std::vector<uint16_t> seen = server->CommandsFrom(u"alice");
        return std::count(seen.begin(), seen.end(), DAT_VOICE);
    };
    // Plays Alice's words into her microphone and Bob's hum into his, recording Bob's speaker
    // from before the first word until the last has had time to arrive.
    auto speakAndHear = [&](const std::string& szPart)
    {
        std::string szHeard = szTag + "-heard-" + szPart + ".raw";
        std::string szPid = szTag + "-parec.pid";
        EXPECT_TRUE(peer.Shell(
            PulseCommand("parec -d bob_spk.monitor --rate=16000 --channels=1 --format=s16le " +
                         std::string("--raw --latency-msec=20 >") + szHeard + " & echo $! >" + szPid)));
        // The recorder is heard from once the speaker's silence reaches its file.
        WIN32_FILE_ATTRIBUTE_DATA file{};
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 20000; Sleep(50))
            if (GetFileAttributesExW(WindowsPath(szHeard).c_str(), GetFileExInfoStandard, &file) &&
                file.nFileSizeLow > 0)
                break;
        EXPECT_GT(file.nFileSizeLow, 0u) << "the recorder started";
        EXPECT_TRUE(peer.Shell(PulseCommand(
            "pacat -d bob_mic_in --rate=16000 --channels=1 --format=s16le --raw " + szTag +
            "-bob.raw & pacat -d alice_mic_in --rate=16000 --channels=1 " + "--format=s16le --raw " + szTag +
            "-alice.raw; sleep 2; kill $! $(cat " + szPid + ")")));
        return ReadSamples(szHeard);
    };

    // Talking: Bob hears Alice's words and bursts, in their shape and pitch, and not his own hum.
    SendMessageW(hTalkA, BM_CLICK, 0, 0);
    for (DWORD t0 = GetTickCount(); voiceFromAlice() == 0 && GetTickCount() - t0 < 10000;)
        Sleep(100);
    ASSERT_GT(voiceFromAlice(), 0) << "Alice's talk sends voice";
    std::vector<int16_t> heard = speakAndHear("talk");
    std::vector<double> sent = Envelope(said), got = Envelope(heard);
    size_t nBest = 0;
    for (size_t nLag = 0; nLag < 150; ++nLag) // up to 3 s
        if (Correlation(sent, got, nLag, 0, sent.size()) > Correlation(sent, got, nBest, 0, sent.size()))
            nBest = nLag;
    // The receiver's buffer moves its delay by a frame or two as it adapts: each half second of
    // what was sent is matched with what was heard within 100 ms of the overall delay.
    auto partCorrelation = [&](size_t nFrom, size_t nTo)
    {
        std::vector<double> aligned;
        for (size_t c = nFrom; c < nTo; c += 25)
        {
            size_t t = std::min(c + 25, nTo), nLag = nBest;
            for (size_t n = nBest > 5 ? nBest - 5 : 0; n <= nBest + 5; ++n)
                if (Correlation(sent, got, n, c, t) > Correlation(sent, got, nLag, c, t)) nLag = n;
            if (t + nLag > got.size()) return 0.0;
            aligned.insert(aligned.end(), got.begin() + long(c + nLag), got.begin() + long(t + nLag));
        }
        std::vector<double> part(sent.begin() + long(nFrom), sent.begin() + long(nTo));
        return Correlation(part, aligned, 0, 0, part.size());
    };
    double dSpeech = partCorrelation(0, nToneFrom / kFrame);
    double dBursts = partCorrelation(nToneFrom / kFrame, nToneTo / kFrame);
    std::printf("voice: delay %zu ms, speech envelope %.3f, bursts envelope %.3f\n", nBest * 20, dSpeech,
                dBursts);
    EXPECT_GE(dSpeech, 0.9);
    EXPECT_GE(dBursts, 0.9);
    size_t nAt = nToneFrom + nBest * kFrame;
    ASSERT_LE(nToneTo + nBest * kFrame, heard.size());
    EXPECT_GT(ToneShare(&heard[nAt], nToneTo - nToneFrom, 440), 0.8) << "Alice's pitch";
    // Bob's hum, were it played back to him, would be as loud as Alice's bursts.
    EXPECT_LT(ToneShare(&heard[nAt], nToneTo - nToneFrom, 880), 0.05) << "not Bob's own hum";

    // While Alice speaks, both lists mark her speaking and a video view's level meter rises; once
    // she has said it all, the marks go and the meters fall.
    HWND hBarA = GetParent(hTalkA);
    SaveWindowPicture(hBarA, QUILLON_SCREENSHOT_DIR, "voice_bar_talking");
    HWND hUsersA = Descendant(hMainA, IDC_ROOMUSER_LIST);
    ASSERT_NE(nullptr, hUsersA);
    auto markedA = [&]
    {
        for (const std::wstring& row : ListViewRows(hUsersA))
            if (row.find(L"Alice") != std::wstring::npos)
                return row.find(L"Voice_SPEAK_") != std::wstring::npos;
        return false;
    };
    auto highestMeter = [&]
    {
        LRESULT nHighest = 0;
        for (int i = 0; HWND hView = Descendant(hMainA, IDC_VIDEOVIEW_FIRST + i); ++i)
            if (HWND hMeter = GetWindow(hView, GW_CHILD))
                nHighest = std::max(nHighest, SendMessageW(hMeter, PBM_GETPOS, 0, 0));
        return nHighest;
    };
    DWORD dwSpeechStart = GetTickCount();
    ASSERT_TRUE(
        peer.Shell("(" +
                   PulseCommand("pacat -d alice_mic_in --rate=16000 --channels=1 --format=s16le --raw " +
                                szTag + "-alice.raw >/dev/null 2>&1 &") +
                   ")"));
    bool bMarkedA = false, bMarkedB = false;
    LRESULT nMeter = 0;
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 6000 && !(bMarkedA && bMarkedB && nMeter >= 20);)
    {
        bMarkedA = bMarkedA || markedA();
        nMeter = std::max(nMeter, highestMeter());
        for (const std::string& row : peer.Probe("lines " + Id(IDC_ROOMUSER_LIST)))
            bMarkedB = bMarkedB || (row.find("Alice") != std::string::npos &&
                                    row.find("Voice_SPEAK_") != std::string::npos);
    }
    EXPECT_TRUE(bMarkedA) << "Alice's list marks her speaking";
    EXPECT_TRUE(bMarkedB) << "Bob's list marks Alice speaking";
    EXPECT_GE(nMeter, 20) << "Alice's level reaches a video view's meter";
    const DWORD dwSpokenMs = static_cast<DWORD>(said.size() * 1000 / kRate) + 500;
    while (GetTickCount() - dwSpeechStart < dwSpokenMs)
        Sleep(100);
    EXPECT_TRUE(WaitFor([&] { return !markedA() && highestMeter() < 20; }));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Alice", "Voice_SPEAK_"}, true));

    // Talk off: no voice leaves Alice, and Bob hears nothing. Her bar shows the closed microphone,
    // and her own mute the muted speaker.
    SendMessageW(hTalkA, BM_CLICK, 0, 0);
    Sleep(1000);
    SaveWindowPicture(hBarA, QUILLON_SCREENSHOT_DIR, "voice_bar_talk_off");
    HWND hMuteA = Descendant(hMainA, IDC_ROOMCTRL_MUTE);
    SendMessageW(hMuteA, BM_CLICK, 0, 0);
    Sleep(300);
    SaveWindowPicture(hBarA, QUILLON_SCREENSHOT_DIR, "voice_bar_muted");
    SendMessageW(hMuteA, BM_CLICK, 0, 0);
    auto nAfterTalk = voiceFromAlice();
    heard = speakAndHear("quiet");
    EXPECT_EQ(nAfterTalk, voiceFromAlice());
    EXPECT_LT(Rms(heard.data(), heard.size()), 30.0);

    // Bob mutes his speaker: Alice's voice still comes, and he hears nothing.
    SendMessageW(hTalkA, BM_CLICK, 0, 0);
    peer.Probe("click " + Id(IDC_ROOMCTRL_MUTE));
    EXPECT_TRUE(peer.ShowsSoon("checked " + Id(IDC_ROOMCTRL_MUTE), {"1"}));
    Sleep(500);
    auto nBeforeMute = voiceFromAlice();
    heard = speakAndHear("muted");
    EXPECT_GT(voiceFromAlice(), nBeforeMute + 100);
    EXPECT_LT(Rms(heard.data(), heard.size()), 30.0);

    // Remote settings. Carol, a third member on the bare network object, asks for Bob's while he
    // talks with his speaker on: his answer says so.
    SendMessageW(hTalkA, BM_CLICK, 0, 0);
    peer.Probe("click " + Id(IDC_ROOMCTRL_MUTE));
    peer.Probe("click " + Id(IDC_ROOMCTRL_TALK));
    EXPECT_TRUE(peer.ShowsSoon("checked " + Id(IDC_ROOMCTRL_TALK), {"1"}));
    auto voiceFromBob = [&]
    {
        std::vector<uint16_t> seen = server->CommandsFrom(u"bob");
        return std::count(seen.begin(), seen.end(), DAT_VOICE);
    };
    CTestOwner carolOwner;
    CQNInterface carol(&carolOwner, &carolOwner);
    ASSERT_TRUE(LogInElsewhere(carolOwner, carol, u"carol"));
    carol.SendConfJoin(static_cast<uint16_t>(std::stoi(szRoom)), u"", u"");
    ASSERT_NE(0xFFFFFFFFu, carolOwner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN).nMsg);
    constexpr uint16_t kAlice = 1, kBob = 2; // user indices, in the order of the logins
    QNAudioSettings ask;
    ask.wKind = AUDIOSETTINGS_REQUEST;
    ask.wTarget = kBob;
    carol.SendAudioSettings(ask);
    QNEvent answered = carolOwner.WaitFor(kMsgRoomPacket, INFO_CONF_REMOTESETTING, 1, 20);
    QNAudioSettings bob;
    ASSERT_TRUE(DecodeAudioSettings(answered.payload.data(), answered.payload.size(), bob));
    EXPECT_EQ(AUDIOSETTINGS_ANSWER, bob.wKind);
    EXPECT_EQ(kBob, bob.wTarget);
    EXPECT_EQ(2, bob.bMic) << "open";
    EXPECT_EQ(3, bob.bMute) << "speaker on";
    EXPECT_LE(bob.bSpeakerVolume, 100);
    EXPECT_LE(bob.bMicVolume, 100);

    // Carol, who is not the chief, cannot close Bob's microphone or mute his speaker.
    QNAudioSettings close = bob;
    close.wKind = AUDIOSETTINGS_APPLY;
    close.bMic = 3;
    close.bMute = 2;
    carol.SendAudioSettings(close);
    auto nBobBefore = voiceFromBob();
    Sleep(1500);
    EXPECT_GT(voiceFromBob(), nBobBefore + 25) << "Bob still talks";
    EXPECT_EQ(std::vector<std::string>{"0"}, peer.Probe("checked " + Id(IDC_ROOMCTRL_MUTE)));

    // The same from Alice, the chief: Bob's microphone closes and his speaker mutes.
    close.wRequester = kAlice;
    Bytes fromChief;
    EncodeAudioSettings(close, fromChief);
    ASSERT_TRUE(server->SendToUser(u"bob", INFO_CONF_REMOTESETTING, 0, fromChief));
    EXPECT_TRUE(peer.ShowsSoon("checked " + Id(IDC_ROOMCTRL_TALK), {"0"}));
    EXPECT_TRUE(peer.ShowsSoon("checked " + Id(IDC_ROOMCTRL_MUTE), {"1"}));
    Sleep(500);
    nBobBefore = voiceFromBob();
    Sleep(1500);
    EXPECT_EQ(nBobBefore, voiceFromBob()) << "no more voice from Bob";
    carol.StopThreads();

    // "/voice" in Alice's chat opens her engine's log: Bob's packets, losses and delays.
    HWND hChatA = Descendant(hMainA, IDC_ROOMCHAT_EDIT);
    SendMessageW(hChatA, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"/voice"));
    PressEnterIn(hChatA);
    HWND hLog = TopWindow(hA, L"Voice log");
    EXPECT_NE(nullptr, hLog);
    if (hLog)
    {
        std::vector<std::wstring> lines = ListLines(GetWindow(hLog, GW_CHILD));
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                [](const std::wstring& line)
                                {
                                    return line.find(L"User " + std::to_wstring(kBob) + L": packets ") !=
                                               std::wstring::npos &&
                                           line.find(L"delay ") != std::wstring::npos;
                                }));
        SaveWindowPicture(hLog, QUILLON_SCREENSHOT_DIR, "voice_log");
        PostMessageW(hLog, WM_CLOSE, 0, 0);
    }

    EXPECT_TRUE(LogoutEnds(panelA, hA));
    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\LumoraSoft\\Common", L"DeviceMicName");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\LumoraSoft\\Common", L"DeviceSpkName");
    // Kept for a look when something failed.
    if (!HasFailure()) peer.Shell("rm -f " + szTag + "-*");
}

TEST_F(RoomProgramTest, TheChiefRenamesTheRoomMaximisesItForEveryoneAndPicksALayout)
{
    CPanel panelA, panelB;
    CPeer peer;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));

    // Alice, in first, presides; Bob follows her in.
    const LoopRoom& room = cfg.rooms[0];
    HWND hMainA = BothJoin(panelA, panelB, hA, room);
    ASSERT_NE(nullptr, hMainA);
    HWND hBarA = GetParent(Descendant(hMainA, IDC_ROOMCTRL_MAXIMIZE));
    ASSERT_NE(nullptr, hBarA);
    // The Tool menu's room properties: a new title and at most 20 participants.
    PostMessageW(hBarA, WM_COMMAND, 32822, 0);
    HWND hDlg = PropertyDialog(hA);
    ASSERT_NE(nullptr, hDlg);
    HWND hTitle = Descendant(hDlg, IDC_PROPERTY_TITLE);
    EXPECT_TRUE(
        WaitFor([&] { return TextOf(hTitle) == std::wstring(room.szTitle.begin(), room.szTitle.end()); }));
    SendMessageW(hTitle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Renamed"));
    SendMessageW(Descendant(hDlg, IDC_PROPERTY_MAXUSER), CB_SETCURSEL, 19, 0);
    PostMessageW(Descendant(hDlg, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(hDlg); }));

    // Both room windows take the new title; Bob's lobby shows it with the new most participants.
    EXPECT_TRUE(WaitFor([&] { return TextOf(hMainA) == L"Renamed"; }));
    EXPECT_TRUE(peer.ShowsSoon("parents " + Id(IDC_ROOMCTRL_MAXIMIZE), {"Renamed"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_LOBBY_CONFLIST), {"Renamed", "/20)"}));

    // Alice's reopened dialog shows the values the room has now.
    PostMessageW(hBarA, WM_COMMAND, 32822, 0);
    hDlg = PropertyDialog(hA);
    ASSERT_NE(nullptr, hDlg);
    EXPECT_TRUE(WaitFor([&] { return TextOf(Descendant(hDlg, IDC_PROPERTY_TITLE)) == L"Renamed"; }));
    EXPECT_EQ(19, SendMessageW(Descendant(hDlg, IDC_PROPERTY_MAXUSER), CB_GETCURSEL, 0, 0));
    // The room lets everyone chat; Alice takes the chat right away: Bob's input turns read-only
    // with its hint, and comes back when she gives it again.
    HWND hChatRight = Descendant(hDlg, IDC_PROPERTY_CHAT);
    EXPECT_EQ(BST_CHECKED, SendMessageW(hChatRight, BM_GETCHECK, 0, 0));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_EDIT), {"Type a message"}));
    SendMessageW(hChatRight, BM_SETCHECK, BST_UNCHECKED, 0);
    PostMessageW(Descendant(hDlg, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(hDlg); }));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_EDIT), {"not allowed"}));
    PostMessageW(hBarA, WM_COMMAND, 32822, 0);
    hDlg = PropertyDialog(hA);
    ASSERT_NE(nullptr, hDlg);
    hChatRight = Descendant(hDlg, IDC_PROPERTY_CHAT);
    EXPECT_TRUE(WaitFor([&] { return SendMessageW(hChatRight, BM_GETCHECK, 0, 0) == BST_UNCHECKED; }));
    // The title and most participants stayed as set.
    EXPECT_EQ(L"Renamed", TextOf(Descendant(hDlg, IDC_PROPERTY_TITLE)));
    EXPECT_EQ(19, SendMessageW(Descendant(hDlg, IDC_PROPERTY_MAXUSER), CB_GETCURSEL, 0, 0));
    SendMessageW(hChatRight, BM_SETCHECK, BST_CHECKED, 0);
    PostMessageW(Descendant(hDlg, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(hDlg); }));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_EDIT), {"Type a message"}));

    // Maximised for everyone: Bob's window follows, and follows the restore.
    PostMessageW(Descendant(hMainA, IDC_ROOMCTRL_MAXIMIZE), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return IsZoomed(hMainA) != FALSE; }));
    EXPECT_TRUE(peer.ShowsSoon("visible " + Id(IDC_ROOMCTRL_RESTORE), {"1"}));
    PostMessageW(Descendant(hMainA, IDC_ROOMCTRL_RESTORE), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return IsZoomed(hMainA) == FALSE; }));
    EXPECT_TRUE(peer.ShowsSoon("visible " + Id(IDC_ROOMCTRL_RESTORE), {"0"}));

    // Another layout from the layout menu's commands: nine videos; both rooms lay out again.
    EXPECT_EQ(nullptr, Descendant(hMainA, IDC_VIDEOVIEW_FIRST + 8));
    PostMessageW(hBarA, WM_COMMAND, 32829, 0);
    EXPECT_TRUE(WaitFor([&] { return Descendant(hMainA, IDC_VIDEOVIEW_FIRST + 8) != nullptr; }));
    EXPECT_TRUE(peer.ShowsSoon("enabled " + Id(IDC_VIDEOVIEW_FIRST + 8), {"1"})); // made, shown or not

    // The room window's system menu tells the program's name and version.
    PostMessageW(hMainA, WM_SYSCOMMAND, 16, 0);
    HWND hAbout = WaitForBox(hMainA, 20000);
    ASSERT_NE(nullptr, hAbout);
    EXPECT_TRUE(WaitFor(
        [&] {
            return TextOf(GetDlgItem(hAbout, IDC_INFO_MESSAGE)).find(L"version 5.6.0.1") !=
                   std::wstring::npos;
        }))
        << TextOf(GetDlgItem(hAbout, IDC_INFO_MESSAGE));
    PostMessageW(hAbout, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(hAbout); }));

    EXPECT_TRUE(LogoutEnds(panelA, hA));
    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
}

TEST_F(RoomProgramTest, CallsBringPhoneMembersAndThePhoneBookComesBackAfterALogin)
{
    cfg.callFailures[u"0299990001"] = 101;
    cfg.ringingNumbers.insert(u"0299990002");
    cfg.systemOption.dwOption62 = kUsePhoneCall | kUseHwCall; // calls are off by default
    RestartServer();
    CPanel panelA, panelB;
    CPeer peer;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));
    std::string szRoom;
    HWND hMainA = AliceOpensBobJoins(panelA, panelB, hA, "Calls", &szRoom);
    ASSERT_NE(nullptr, hMainA);
    HWND hUsersA = Descendant(hMainA, IDC_ROOMUSER_LIST);
    ASSERT_TRUE(ListShowsSoon(hUsersA, {L"Bob"}));

    // The room window opens the dialer (the control bar's call command posts the same message).
    auto openDialer = [&](HANDLE hProcess, HWND hMain)
    {
        PostMessageW(hMain, 0xFD3, 0, 0);
        return FindInProcess(hProcess,
                             [](HWND h)
                             {
                                 return !(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) && IsWindowVisible(h) &&
                                        GetDlgItem(h, IDC_CALL_DISPLAY);
                             });
    };
    HWND hDialer = openDialer(hA, hMainA);
    ASSERT_NE(nullptr, hDialer);
    auto dial = [&](const char* pszDigits)
    {
        for (const char* p = pszDigits; *p; ++p)
            SendMessageW(GetDlgItem(hDialer, IDC_CALL_KEY_FIRST + (*p - '0')), BM_CLICK, 0, 0);
    };
    auto idleSoon = [&]
    {
        for (int i = 0; i < 100; ++i, Sleep(100))
            if (IsWindowVisible(GetDlgItem(hDialer, IDC_CALL_VOICE))) return true;
        return false;
    };
    wchar_t display[64] = {};

    // A voice call to a telephone: the phone joins both participant lists and the dialer is idle again.
    dial("0212345678");
    GetWindowTextW(GetDlgItem(hDialer, IDC_CALL_DISPLAY), display, 63);
    EXPECT_STREQ(L"02-1234-5678", display);
    SendMessageW(GetDlgItem(hDialer, IDC_CALL_VOICE), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hDialer, IDC_CALL_VOICE))) << "calling";
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"0212345678"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"0212345678"}));
    EXPECT_TRUE(idleSoon());

    // Alice hangs up: the phone leaves both lists.
    SendMessageW(GetDlgItem(hDialer, IDC_CALL_HANGUP), BM_CLICK, 0, 0);
    EXPECT_TRUE(ListLacksSoon(hUsersA, L"0212345678"));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"0212345678"}, true));
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Bob"}));

    // Numbers the server refuses, and a video call to a telephone: the failure's text shows and the
    // dialer is idle again.
    auto redial = [&](const char* pszDigits, int nButton)
    {
        for (int i = 0; i < 12; ++i)
            SendMessageW(GetDlgItem(hDialer, IDC_CALL_BACKSPACE), BM_CLICK, 0, 0);
        dial(pszDigits);
        SendMessageW(GetDlgItem(hDialer, nButton), BM_CLICK, 0, 0);
    };
    const struct
    {
        const char* pszNumber;
        int nButton;
        const wchar_t* pszText; // one word: the box wraps its text
    } refusals[] = {{"0299990001", IDC_CALL_VOICE, L"busy."}, {"0212345678", IDC_CALL_VIDEO, L"video."}};
    for (const auto& r : refusals)
    {
        redial(r.pszNumber, r.nButton);
        HWND hText = TextInProcess(hA, r.pszText);
        EXPECT_NE(nullptr, hText) << r.pszNumber;
        EXPECT_TRUE(idleSoon()) << r.pszNumber;
        if (hText) PostMessageW(GetParent(hText), WM_COMMAND, IDOK, 0);
    }

    // A number that rings is hung up while calling: 810 goes, nobody joins, the dialer is idle.
    redial("0299990002", IDC_CALL_VOICE);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hDialer, IDC_CALL_VOICE))) << "ringing";
    SendMessageW(GetDlgItem(hDialer, IDC_CALL_HANGUP), BM_CLICK, 0, 0);
    EXPECT_TRUE(idleSoon());
    Sleep(500);
    EXPECT_TRUE(ListLacksSoon(hUsersA, L"0299990002"));

    // The phone book: two entries are taken, a bad number and a name with ';' refused with their
    // character; the dialer closes and stores the book.
    SendMessageW(GetDlgItem(hDialer, IDC_CALL_TAB_BOOK), BM_CLICK, 0, 0);
    HWND hName = Descendant(hDialer, IDC_PHONEADD_NAME);
    ASSERT_NE(nullptr, hName);
    HWND hForm = GetParent(hName);
    HWND hList = GetDlgItem(hDialer, IDC_CALL_LIST);
    auto addEntry = [&](const wchar_t* pszName, const wchar_t* pszNumber)
    {
        SendMessageW(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pszName));
        SendMessageW(GetDlgItem(hForm, IDC_PHONEADD_NUMBER), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(pszNumber));
        SendMessageW(GetDlgItem(hForm, IDC_PHONEADD_ADD), BM_CLICK, 0, 0);
    };
    addEntry(L"Office", L"02-1234-5678");
    addEntry(L"Desk", L"12a4");
    EXPECT_NE(nullptr, TextInProcess(hA, L"[a]"));
    addEntry(L"A;B", L"1234");
    EXPECT_NE(nullptr, TextInProcess(hA, L"[;]"));
    addEntry(L"Hall", L"031-555-0100");
    constexpr UINT kListCount = 0x1004; // LVM_GETITEMCOUNT
    EXPECT_EQ(2, SendMessageW(hList, kListCount, 0, 0));
    SendMessageW(GetDlgItem(hDialer, IDC_CALL_CLOSE), BM_CLICK, 0, 0);
    for (int i = 0; i < 50 && IsWindow(hDialer); ++i)
        Sleep(100);
    EXPECT_FALSE(IsWindow(hDialer));
    auto sent = [&](uint16_t wCommand)
    {
        std::vector<uint16_t> seen = server->CommandsFrom(u"alice");
        return std::count(seen.begin(), seen.end(), wCommand);
    };
    for (int i = 0; i < 50 && sent(CMD_PRIVATE_SAVEDATA) == 0; ++i)
        Sleep(100);
    EXPECT_EQ(1, sent(CMD_PRIVATE_SAVEDATA));
    EXPECT_EQ(1, sent(CMD_CALL_HANGUP));

    // After a new login the dialer asks for the book and shows both rows again.
    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
    ASSERT_TRUE(LogoutEnds(panelA, hA));
    CPanel panelA2;
    hA = LoggedIn(panelA2, "alice");
    ASSERT_NE(nullptr, hA);
    panelA2.Send("CREATE", "Calls again");
    ASSERT_NE("0", AnswerValue(panelA2, "CREATE"));
    hMainA = TopWindow(hA, L"Calls again");
    ASSERT_NE(nullptr, hMainA);
    hDialer = openDialer(hA, hMainA);
    ASSERT_NE(nullptr, hDialer);
    hList = GetDlgItem(hDialer, IDC_CALL_LIST);
    bool bBack = false;
    for (int i = 0; i < 100 && !bBack; ++i, Sleep(100))
        bBack = SendMessageW(hList, kListCount, 0, 0) == 2;
    EXPECT_TRUE(bBack);
    EXPECT_EQ(2, sent(CMD_PRIVATE_LOADDATA));
    EXPECT_TRUE(LogoutEnds(panelA2, hA));
}

namespace
{
// Whether the edit control's text holds the part within dwMs (its text read across processes).
bool EditShowsSoon(HWND hEdit, const wchar_t* pszPart, DWORD dwMs = 10000)
{
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(100))
    {
        std::wstring text(static_cast<size_t>(SendMessageW(hEdit, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
        text.resize(static_cast<size_t>(
            SendMessageW(hEdit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        if (text.find(pszPart) != std::wstring::npos) return true;
    }
    return false;
}

// Alice's messenger for Bob, opened from the participant list's send-message action; null when
// Bob's row or the window does not come.
HWND OpenMessengerForBob(HANDLE hA, HWND hUsersA)
{
    std::vector<std::wstring> rows = ListLines(hUsersA);
    auto bob = std::find_if(rows.begin(), rows.end(),
                            [](const std::wstring& r) { return r.find(L"Bob") != r.npos; });
    if (bob == rows.end() || !SelectListViewRow(hUsersA, static_cast<int>(bob - rows.begin())))
        return nullptr;
    SendMessageW(GetParent(hUsersA), WM_COMMAND, MAKEWPARAM(UMC_MESSAGE, 0), 0);
    return TopWindow(hA, L"Messenger - Bob");
}

// Types a line into a messenger's input and presses Enter, through the program's message loop.
void TypeInMessenger(HWND hMessenger, const wchar_t* pszText)
{
    HWND hInput = Descendant(hMessenger, IDC_MSG_INPUT);
    SendMessageW(hInput, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pszText));
    PostMessageW(hInput, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(hInput, WM_KEYUP, VK_RETURN, 0xC0000001);
}
} // namespace

namespace
{
// The save dialog of the program's recording: a top-level dialog with the filter combo box.
constexpr int kSaveFilterCombo = 0x470;
constexpr int kSaveNameCombo = 0x47C;

// Answers the program's record save dialog: picks the filter (1-based) and saves under the path.
bool AnswerRecordDialog(HANDLE hProcess, int nFilter, const std::wstring& szPath)
{
    HWND hDlg = FindInProcess(hProcess,
                              [](HWND h)
                              {
                                  wchar_t szClass[16] = {};
                                  GetClassNameW(h, szClass, 15);
                                  return wcscmp(szClass, L"#32770") == 0 &&
                                         !(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) &&
                                         IsWindowVisible(h) && GetDlgItem(h, kSaveFilterCombo);
                              });
    if (!hDlg) return false;
    HWND hFilter = GetDlgItem(hDlg, kSaveFilterCombo);
    SendMessageW(hFilter, CB_SETCURSEL, static_cast<WPARAM>(nFilter - 1), 0);
    SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(kSaveFilterCombo, CBN_SELENDOK),
                 reinterpret_cast<LPARAM>(hFilter));
    SendMessageW(GetDlgItem(hDlg, kSaveNameCombo), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(szPath.c_str()));
    return PostMessageW(hDlg, WM_COMMAND, IDOK, 0) != 0;
}

// Whether the recording holds a record of this command whose payload carries the text, and its index.
bool RecordingHolds(const std::wstring& szPath, uint16_t wCommand, const std::u16string& szText,
                    bool* pIndexed)
{
    CRecordFileReader reader;
    if (reader.Open(std::filesystem::path(szPath)) != 1) return false;
    *pIndexed = reader.HasIndex();
    const std::string bytes(reinterpret_cast<const char*>(szText.data()), szText.size() * 2);
    SRecordHead head;
    std::vector<uint8_t> payload;
    while (reader.ReadHead(head) == CRecordFileReader::Next::Record)
    {
        if (!reader.ReadPayload(payload, head.dwLength)) return false;
        if (head.wCommand == wCommand &&
            std::string(payload.begin(), payload.end()).find(bytes) != std::string::npos)
            return true;
    }
    return false;
}
} // namespace

TEST_F(RoomProgramTest, TheChiefRecordsTheRoomFromTheBarAndTheOthersAreTold)
{
    // Bob only listens (level 4): his own recording is announced by 544, not 490.
    for (LoopUser& u : cfg.users)
        if (u.szId == u"bob") u.wLevel = 4;
    RestartServer();
    CPanel panelA, panelB;
    CPeer peer;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));
    std::string szRoom;
    HWND hMainA = AliceOpensBobJoins(panelA, panelB, hA, "Recorded", &szRoom);
    ASSERT_NE(nullptr, hMainA);
    HWND hChatA = Descendant(hMainA, IDC_ROOMCHAT_LIST);
    HWND hRecordA = Descendant(hMainA, IDC_ROOMCTRL_RECORD);
    ASSERT_NE(nullptr, hChatA);
    ASSERT_NE(nullptr, hRecordA);
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMUSER_LIST), {"Alice (Host)"}));

    // A folder both programs see: the Unix file system is drive Z: in every prefix.
    const std::wstring szFolder =
        WindowsPath(std::string(QUILLON_WINE_DIR_UNIX) + "/record-" + std::to_string(GetCurrentProcessId()));
    CreateDirectoryW(szFolder.c_str(), nullptr);
    const std::wstring szPath = szFolder + L"\\talk.qn";
    DeleteFileW(szPath.c_str());

    // Alice records from the bar: her chat names the file, Bob's tells him she records.
    PostMessageW(hRecordA, BM_CLICK, 0, 0);
    ASSERT_TRUE(AnswerRecordDialog(hA, 1, szFolder + L"\\talk"));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Recording started", szPath.c_str()}));
    EXPECT_TRUE(WaitFor([&] { return SendMessageW(hRecordA, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Alice", "started recording"}));

    // Bob only listens: his chat input is read-only and says so. Carol's line reaches Alice while
    // she records; then she stops, and both hear the end.
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_EDIT), {"not allowed"}));
    CTestOwner carolOwner;
    CQNInterface carol(&carolOwner, &carolOwner);
    ASSERT_TRUE(LogInElsewhere(carolOwner, carol, u"carol"));
    carol.SendConfJoin(static_cast<uint16_t>(std::stoi(szRoom)), u"", u"");
    ASSERT_NE(0xFFFFFFFFu, carolOwner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN).nMsg);
    carol.SendChatText(0, u"kept in the recording");
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"kept in the recording"}));
    carol.SendConfQuit();
    carol.StopThreads();
    PostMessageW(hRecordA, BM_CLICK, 0, 0);
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Recording finished", szPath.c_str()}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Alice", "stopped recording"}));
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(hRecordA, BM_GETCHECK, 0, 0));

    // The file, read back as the player reads it, holds Carol's line and its index.
    bool bIndexed = false;
    EXPECT_TRUE(RecordingHolds(szPath, INFO_CONF_CHAT, u"kept in the recording", &bIndexed));
    EXPECT_TRUE(bIndexed);
    // The board's first page went in as a file, and the page shown as the board's start state.
    EXPECT_TRUE(RecordingHolds(szPath, REC_AGENDA_FILE, u"_000", &bIndexed));
    EXPECT_TRUE(RecordingHolds(szPath, DAT_BOARD_ROOM, u"_000", &bIndexed));

    // MP4 cannot start yet: Alice is told, Bob hears nothing, no file is left.
    const std::wstring szMp4 = szFolder + L"\\movie.mp4";
    PostMessageW(hRecordA, BM_CLICK, 0, 0);
    ASSERT_TRUE(AnswerRecordDialog(hA, 3, szFolder + L"\\movie"));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"could not be made", szMp4.c_str()}));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(szMp4.c_str()));
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(hRecordA, BM_GETCHECK, 0, 0));
    // A line after it shows Bob has heard everything Alice sent before it.
    SendMessageW(Descendant(hMainA, IDC_ROOMCHAT_EDIT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"after mp4"));
    PressEnterIn(Descendant(hMainA, IDC_ROOMCHAT_EDIT));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"after mp4"}));
    size_t nStarts = 0;
    for (const std::string& line : peer.Probe("lines " + Id(IDC_ROOMCHAT_LIST)))
        nStarts += line.find("started recording") != std::string::npos;
    EXPECT_EQ(1u, nStarts);

    // The record right off: Bob may not record. Granted again: Bob records and Alice is told.
    HWND hBarA = GetParent(hRecordA);
    auto setRecordRight = [&](bool bOn)
    {
        PostMessageW(hBarA, WM_COMMAND, 32822, 0);
        HWND hDlg = PropertyDialog(hA);
        if (!hDlg) return false;
        HWND hRight = Descendant(hDlg, IDC_PROPERTY_RECORD);
        if (!WaitFor([&] { return (SendMessageW(hRight, BM_GETCHECK, 0, 0) == BST_CHECKED) != bOn; }))
            return false;
        SendMessageW(hRight, BM_SETCHECK, bOn ? BST_CHECKED : BST_UNCHECKED, 0);
        PostMessageW(Descendant(hDlg, IDOK), BM_CLICK, 0, 0);
        return WaitFor([&] { return !IsWindow(hDlg); });
    };
    // Alice's line after her change reaches Bob after the rights it follows.
    auto aliceSays = [&](const wchar_t* pszLine)
    {
        SendMessageW(Descendant(hMainA, IDC_ROOMCHAT_EDIT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pszLine));
        PressEnterIn(Descendant(hMainA, IDC_ROOMCHAT_EDIT));
        std::wstring w(pszLine);
        return peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {std::string(w.begin(), w.end()).c_str()});
    };
    ASSERT_TRUE(setRecordRight(false));
    ASSERT_TRUE(aliceSays(L"no recording now"));
    peer.Probe("postclick " + Id(IDC_ROOMCTRL_RECORD));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"You may not record this room"}));
    ASSERT_TRUE(setRecordRight(true));
    ASSERT_TRUE(aliceSays(L"record if you like"));
    const std::wstring szBobPath = szFolder + L"\\bob.qn";
    DeleteFileW(szBobPath.c_str());
    peer.Probe("postclick " + Id(IDC_ROOMCTRL_RECORD));
    // Bob's dialog: his file's name without extension, then its OK.
    ASSERT_TRUE(peer.ShowsSoon("visible " + Id(kSaveNameCombo), {"1"}));
    const std::string szBobName(szBobPath.begin(), szBobPath.end() - 3);
    peer.Probe("settext " + Id(kSaveNameCombo) + " '" + szBobName + "'");
    peer.Probe("dialogok " + Id(kSaveNameCombo));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Bob", L"started recording"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Recording started", "bob.qn"}));
    std::vector<uint16_t> fromBob = server->CommandsFrom(u"bob");
    EXPECT_NE(fromBob.end(), std::find(fromBob.begin(), fromBob.end(), CMD_CONF_RECORDERSTATE));
    EXPECT_EQ(fromBob.end(), std::find(fromBob.begin(), fromBob.end(), CMD_CONF_RECORD));

    EXPECT_TRUE(LogoutEnds(panelA, hA));
    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(szFolder), ec);
}

TEST_F(RoomProgramTest, AnAutomaticRoomRecordsOnItsTimer)
{
    // Room 1 records itself: at once on entry, a minute each (shortened to three seconds here).
    int nErrLine = 0;
    ASSERT_TRUE(ParseLoopConfig("autorecord 1 0 1\n", cfg, &nErrLine));
    RestartServer();
    SetEnvironmentVariableW(L"QUILLON_RECORD_MINUTE_MS", L"3000");
    // Alice's automatic recordings go to a preset file in folders that do not exist yet.
    const std::wstring szFolder = WindowsPath(std::string(QUILLON_WINE_DIR_UNIX) + "/autorecord-" +
                                              std::to_string(GetCurrentProcessId()));
    const std::wstring szPreset = szFolder + L"\\a\\b\\auto.qn";
    const wchar_t* kProgramKey = L"Software\\LumoraSoft\\Quillon";
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"AutoRecordPath", REG_SZ, szPreset.c_str(),
                              static_cast<DWORD>((szPreset.size() + 1) * sizeof(wchar_t))));

    CPanel panelA, panelB;
    CPeer peer;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));
    SetEnvironmentVariableW(L"QUILLON_RECORD_MINUTE_MS", nullptr);
    const LoopRoom& room = cfg.rooms[0];
    HWND hMainA = BothJoin(panelA, panelB, hA, room);
    ASSERT_NE(nullptr, hMainA);
    HWND hChatA = Descendant(hMainA, IDC_ROOMCHAT_LIST);
    ASSERT_NE(nullptr, hChatA);

    // The chief's recording starts on entry, ends after its minute, and the next takes "_1".
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Recording started", L"\\a\\b\\auto.qn"}));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Recording finished", L"\\a\\b\\auto.qn"}, 30000));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Recording started", L"\\a\\b\\auto_1.qn"}, 30000));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(szPreset.c_str()));
    // Bob joined after the first start: he hears its end and the next start.
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Alice", "stopped recording"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"Alice", "started recording"}));

    EXPECT_TRUE(LogoutEnds(panelA, hA));
    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"AutoRecordPath");
    std::error_code ec;
    std::filesystem::remove_all(std::filesystem::path(szFolder), ec);
}

TEST_F(RoomProgramTest, MessengersTalkInviteIntoARoomAndTellOfAPeerGone)
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

    // Alice opens her messenger for Bob from the participant list's send-message action.
    HWND hMsgA = OpenMessengerForBob(hA, hUsersA);
    ASSERT_NE(nullptr, hMsgA);
    HWND hHistoryA = Descendant(hMsgA, IDC_MSG_HISTORY);

    // A line each way; Bob's window opens with Alice's line. "/state" stays with Bob.
    TypeInMessenger(hMsgA, L"hello bob");
    ASSERT_TRUE(peer.ShowsSoon("lines " + Id(IDC_MSG_HISTORY), {"Alice > hello bob"}));
    peer.Probe("settext " + Id(IDC_MSG_INPUT) + " hi");
    peer.Probe("enter " + Id(IDC_MSG_INPUT));
    EXPECT_TRUE(EditShowsSoon(hHistoryA, L"Bob > hi"));
    peer.Probe("settext " + Id(IDC_MSG_INPUT) + " /STATE");
    peer.Probe("enter " + Id(IDC_MSG_INPUT));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_MSG_HISTORY), {"*State"}));
    auto sent = [&](const std::u16string& szUser, uint16_t wCommand)
    {
        std::vector<uint16_t> seen = server->CommandsFrom(szUser);
        return std::count(seen.begin(), seen.end(), wCommand);
    };
    EXPECT_EQ(1, sent(u"bob", CMD_MSG_TEXT));
    EXPECT_EQ(1, sent(u"alice", CMD_MSG_TEXT));

    // Bob leaves; Alice's invite button brings him back through the invitation's notice.
    panelB.Send("QUIT", "");
    ASSERT_TRUE(ListLacksSoon(hUsersA, L"Bob"));
    SendMessageW(Descendant(hMsgA, IDC_MSG_INVITE), BM_CLICK, 0, 0);
    ASSERT_TRUE(peer.ShowsSoon("text 'Maths'", {"Maths"}));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_MSG_HISTORY), {"invites you"}));
    peer.Probe("click " + Id(IDC_INVITE_ACCEPT));
    EXPECT_TRUE(ListShowsSoon(hUsersA, {L"Bob"}));
    EXPECT_EQ(1, sent(u"alice", CMD_MSG_INVITE));

    // Bob logs out: Alice's next line comes back undelivered (611) and her window says so.
    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 20000 && server->LoggedInUsers() > 1;)
        Sleep(100);
    ASSERT_EQ(1u, server->LoggedInUsers());
    TypeInMessenger(hMsgA, L"still there?");
    EXPECT_TRUE(EditShowsSoon(hHistoryA, L"Bob is not online"));

    EXPECT_TRUE(LogoutEnds(panelA, hA));
}

TEST_F(RoomProgramTest, BothToolBarsMirrorASharedFileAndTheQuestionPageKnowsTheChief)
{
    // The class room shares media and has a questionnaire.
    cfg.rooms[1].dwFlags = (1u << 8) | (1u << 9) | (1u << 11);
    RestartServer();
    CPanel panelA, panelB;
    CPeer peer;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));
    const LoopRoom& room = cfg.rooms[1];
    panelA.Send("JOIN", std::to_string(room.wRoomIndex));
    ASSERT_TRUE(panelA.WaitAnswer("JOIN", "1"));
    HWND hMainA = TopWindow(hA, std::wstring(room.szTitle.begin(), room.szTitle.end()));
    ASSERT_NE(nullptr, hMainA);
    // The room's own view mode (the board) comes with the entry; then alice picks the media share.
    HWND hBoardButton = Descendant(hMainA, IDC_ROOMCTRL_VIEW_BOARD);
    ASSERT_TRUE(WaitFor([&] { return SendMessageW(hBoardButton, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    HWND hShareButton = Descendant(hMainA, IDC_ROOMCTRL_VIEW_MEDIASHARE);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(hShareButton) != FALSE; }));
    SendMessageW(hShareButton, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return SendMessageW(hShareButton, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    HWND hTimeA = Descendant(hMainA, IDC_MEDIASHARE_TIME), hNameA = Descendant(hMainA, IDC_MEDIASHARE_NAME);
    HWND hPlayA = Descendant(hMainA, IDC_MEDIASHARE_PLAY), hPauseA = Descendant(hMainA, IDC_MEDIASHARE_PAUSE);
    ASSERT_TRUE(hTimeA && hNameA && hPlayA && hPauseA);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(hTimeA) != FALSE; }));

    // Carol, on the bare network object, shares a file as the movie-sharing sender will.
    CTestOwner carolOwner;
    CQNInterface carol(&carolOwner, &carolOwner);
    ASSERT_TRUE(LogInElsewhere(carolOwner, carol, u"carol"));
    QNEvent login = carolOwner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN);
    QNLoginAck ack;
    ASSERT_TRUE(DecodeLoginAck(login.payload.data(), login.payload.size(), ack));
    carol.SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(0xFFFFFFFFu, carolOwner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN).nMsg);
    QNMediaShareRecord share;
    share.wSharer = ack.wUserIndex;
    share.wLength = 7200;
    share.szPath = u"MOVIE.MP4";
    share.SetVolume(50);
    ASSERT_TRUE(carol.SendMediaShareRecord(share));
    share.SetPlay(MEDIASHARE_PLAYING);
    share.SetPosition(3725);
    ASSERT_TRUE(carol.SendMediaShareState(share.dwFlags));
    EXPECT_TRUE(WaitFor([&] { return TextOf(hTimeA) == L"01:02:05 / 02:00:00"; }));

    // Bob comes in while the share runs: his bar shows it as alice's does.
    panelB.Send("JOIN", std::to_string(room.wRoomIndex));
    ASSERT_TRUE(panelB.WaitAnswer("JOIN", "1"));
    EXPECT_TRUE(peer.ShowsSoon("visible " + Id(IDC_MEDIASHARE_TIME), {"1"}));

    auto bothShow = [&](HWND hA, int nId, const wchar_t* pszText)
    {
        std::string text(pszText, pszText + wcslen(pszText));
        bool bA = WaitFor([&] { return TextOf(hA) == pszText; });
        bool bB = peer.ShowsSoon("lines " + Id(nId), {text.c_str()});
        return bA && bB;
    };
    EXPECT_TRUE(bothShow(hNameA, IDC_MEDIASHARE_NAME, L"MOVIE.MP4"));
    EXPECT_TRUE(bothShow(hTimeA, IDC_MEDIASHARE_TIME, L"01:02:05 / 02:00:00"));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(hPauseA) && !IsWindowVisible(hPlayA); }));
    EXPECT_TRUE(peer.ShowsSoon("visible " + Id(IDC_MEDIASHARE_PAUSE), {"1"}));
    RedrawWindow(hMainA, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(300);
    SaveWindowPicture(hMainA, QUILLON_SCREENSHOT_DIR, "mediashare_room_receiving");

    // More than a second later a picture of the shared movie moves both positions on.
    Sleep(1100);
    const uint8_t picture[64] = {};
    ASSERT_TRUE(carol.SendMovieVideo(picture, sizeof picture));
    EXPECT_TRUE(WaitFor(
        [&] { return TextOf(hTimeA).rfind(L"01:02:", 0) == 0 && TextOf(hTimeA) != L"01:02:05 / 02:00:00"; }));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_MEDIASHARE_TIME), {"01:02:05"}, true));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_MEDIASHARE_TIME), {"01:02:", "/ 02:00:00"}));

    // Pause, then a seek (its changed bit hands the position over), then stop.
    share.SetPlay(MEDIASHARE_PAUSED);
    share.SetMuted(true);
    ASSERT_TRUE(carol.SendMediaShareState(share.dwFlags));
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(hPlayA) && !IsWindowVisible(hPauseA); }));
    EXPECT_TRUE(peer.ShowsSoon("visible " + Id(IDC_MEDIASHARE_PLAY), {"1"}));
    share.SetPosition(100);
    share.SetChanged(true);
    ASSERT_TRUE(carol.SendMediaShareState(share.dwFlags));
    EXPECT_TRUE(bothShow(hTimeA, IDC_MEDIASHARE_TIME, L"00:01:40 / 02:00:00"));
    share.SetChanged(false);
    share.SetPlay(MEDIASHARE_STOPPED);
    ASSERT_TRUE(carol.SendMediaShareState(share.dwFlags));
    EXPECT_TRUE(bothShow(hTimeA, IDC_MEDIASHARE_TIME, L"00:00:00 / 02:00:00"));

    // Carol leaves: both bars forget the file.
    carol.SendConfQuit();
    EXPECT_TRUE(WaitFor([&] { return TextOf(hNameA).empty(); }));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_MEDIASHARE_NAME), {"MOVIE.MP4"}, true));

    // Alice, the chief, shows the questionnaire: her page says so, Bob's does not.
    size_t nLogFrom = TodaysLog().size();
    HWND hQuestion = Descendant(hMainA, IDC_ROOMCTRL_VIEW_QUESTION);
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(hQuestion) != FALSE; }));
    SendMessageW(hQuestion, BM_CLICK, 0, 0);
    const std::string page =
        "/question/question.asp?confcode=" + std::string(room.szConfCode.begin(), room.szConfCode.end());
    EXPECT_TRUE(LogShowsSoon("[QUESTION] http://", nLogFrom, 20000));
    EXPECT_TRUE(LogShowsSoon(page + "&auth=1", nLogFrom, 20000));
    EXPECT_TRUE(LogShowsSoon(page + "&auth=0", nLogFrom, 20000));
    EXPECT_TRUE(peer.ShowsSoon("checked " + Id(IDC_ROOMCTRL_VIEW_QUESTION), {"1"}));
    Sleep(500);
    SaveWindowPicture(hMainA, QUILLON_SCREENSHOT_DIR, "question_view");

    EXPECT_TRUE(LogoutEnds(panelA, hA));
    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
}

namespace
{
// A folder of the test's, gone with everything in it when the test ends, however it ends.
struct CScratchFolder
{
    std::wstring szPath;
    explicit CScratchFolder(std::wstring path) : szPath(std::move(path))
    {
        CreateDirectoryW(szPath.c_str(), nullptr);
    }
    ~CScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(std::filesystem::path(szPath), ec);
    }
};

bool Exists(const std::wstring& szPath)
{
    return GetFileAttributesW(szPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Waits until the file holds exactly these bytes.
bool FileHoldsSoon(const std::wstring& szPath, const std::string& bytes, DWORD dwMs = 120000)
{
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(200))
        if (FileBytes(szPath) == bytes) return true;
    return false;
}

bool ExistsSoon(const std::wstring& szPath, bool bExists, DWORD dwMs = 10000)
{
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(100))
        if (Exists(szPath) == bExists) return true;
    return false;
}

// The shell's drop of one file on a window of another program: the DROPFILES block is placed in that
// program's memory, where its DragQueryFile reads it (the block is left there).
bool DropFileOn(HWND hTarget, const std::wstring& szPath)
{
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hTarget, &dwProcess);
    HANDLE hProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, dwProcess);
    if (!hProcess) return false;
    std::vector<char> block(sizeof(DROPFILES) + (szPath.size() + 2) * sizeof(wchar_t), '\0');
    auto* pDrop = reinterpret_cast<DROPFILES*>(block.data());
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = TRUE;
    memcpy(block.data() + sizeof(DROPFILES), szPath.data(), szPath.size() * sizeof(wchar_t));
    void* pRemote = VirtualAllocEx(hProcess, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
    const bool bPut = pRemote && WriteProcessMemory(hProcess, pRemote, block.data(), block.size(), nullptr);
    CloseHandle(hProcess);
    return bPut && PostMessageW(hTarget, WM_DROPFILES, reinterpret_cast<WPARAM>(pRemote), 0);
}

// Whether some line holds part (and, with bSelected, is marked selected), or with bAbsent none holds it.
bool LinesShow(const std::vector<std::wstring>& lines, const wchar_t* pszPart, bool bSelected = false)
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::wstring& line) {
                           return line.find(pszPart) != std::wstring::npos &&
                                  (!bSelected || line.ends_with(L" *"));
                       });
}

// Picks the file in the program's open-file dialog, as a user types its path and presses OK.
bool PickInOpenDialog(HANDLE hProcess, const std::wstring& szPath)
{
    HWND hDlg = FindInProcess(hProcess,
                              [](HWND h)
                              {
                                  wchar_t szClass[32] = {};
                                  GetClassNameW(h, szClass, 31);
                                  return !(GetWindowLongPtrW(h, GWL_STYLE) & WS_CHILD) &&
                                         wcscmp(szClass, L"#32770") == 0 && GetDlgItem(h, IDOK) &&
                                         (Descendant(h, 0x47C) || Descendant(h, 0x480));
                              });
    if (!hDlg) return false;
    HWND hName = Descendant(hDlg, 0x47C);
    if (!hName) hName = Descendant(hDlg, 0x480);
    SendMessageW(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(szPath.c_str()));
    return PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(hDlg, IDOK))) != 0;
}
} // namespace

TEST_F(RoomProgramTest, APushReachesTheRoomByteForByteAndHostileOrCancelledPushesLeaveNothingAstray)
{
    // Each program's downloads land in a folder of the test; the pace is raised for the test.
    const std::string szDir =
        std::string(QUILLON_WINE_DIR_UNIX) + "/push-" + std::to_string(GetCurrentProcessId());
    const std::string szDownA = szDir + "/alice", szDownB = szDir + "/bob";
    CScratchFolder scratch(WindowsPath(szDir));
    for (const std::string& d : {szDownA, szDownB})
        ASSERT_TRUE(CreateDirectoryW(WindowsPath(d).c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS);
    const wchar_t* kProgramKey = L"Software\\LumoraSoft\\Quillon";
    const std::wstring szDownAWin = WindowsPath(szDownA);
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"SavePath", REG_SZ, szDownAWin.c_str(),
                              static_cast<DWORD>((szDownAWin.size() + 1) * sizeof(wchar_t))));
    const DWORD dwPace = 64u << 20;
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"TransferPaceTest", REG_DWORD,
                                             &dwPace, sizeof dwPace));
    CPeer peer;
    const std::wstring szDownBWin = WindowsPath(szDownB);
    ASSERT_TRUE(peer.Run("reg.exe add 'HKCU\\Software\\LumoraSoft\\Quillon' /f /v SavePath /d '" +
                         std::string(szDownBWin.begin(), szDownBWin.end()) + "'"));

    // The file: random bytes, not a whole number of blocks; Bob already has one of its name.
    std::string payload(50 * 1000 * 1000 + 777, '\0');
    std::mt19937 random(20261211);
    for (char& c : payload)
        c = static_cast<char>(random());
    const std::wstring szSource = WindowsPath(szDir + "/payload.bin");
    {
        FILE* f = _wfopen(szSource.c_str(), L"wb");
        ASSERT_NE(nullptr, f);
        fwrite(payload.data(), 1, payload.size(), f);
        fclose(f);
    }
    {
        FILE* f = _wfopen((szDownBWin + L"\\payload.bin").c_str(), L"wb");
        ASSERT_NE(nullptr, f);
        fputs("bob's own", f);
        fclose(f);
    }

    CPanel panelA, panelB;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));
    std::string szRoom;
    HWND hMainA = AliceOpensBobJoins(panelA, panelB, hA, "Files", &szRoom);
    ASSERT_NE(nullptr, hMainA);
    CTestOwner carolOwner;
    CQNInterface carol(&carolOwner, &carolOwner);
    ASSERT_TRUE(LogInElsewhere(carolOwner, carol, u"carol"));
    carol.SendConfJoin(static_cast<uint16_t>(std::stoi(szRoom)), u"", u"");
    ASSERT_NE(0xFFFFFFFFu, carolOwner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN).nMsg);
    HWND hChatA = Descendant(hMainA, IDC_ROOMCHAT_LIST);
    ASSERT_TRUE(ListShowsSoon(hChatA, {L"Carol joined the room."}));

    // Alice pushes the file from the File menu's command.
    HWND hBarA = GetParent(Descendant(hMainA, IDC_ROOMCTRL_TALK));
    ASSERT_NE(nullptr, hBarA);
    PostMessageW(hBarA, WM_COMMAND, 32786, 0);
    ASSERT_TRUE(PickInOpenDialog(hA, szSource));

    // Bob's copy takes the next free name and Carol's blocks make the same bytes.
    EXPECT_TRUE(FileHoldsSoon(szDownBWin + L"\\payload(1).bin", payload));
    EXPECT_EQ("bob's own", FileBytes(szDownBWin + L"\\payload.bin"));
    auto carolBytes = [&]
    {
        std::string got;
        for (const QNEvent& e : carolOwner.Events())
            if (e.nMsg == kMsgRoomPacket && e.wCommand == INFO_PUSH_CHUNK && e.payload.size() >= 2)
                got.append(e.payload.begin() + 2, e.payload.end());
        return got;
    };
    EXPECT_NE(0xFFFFFFFFu, carolOwner.WaitFor(kMsgRoomPacket, INFO_PUSH_BEGIN).nMsg);
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 60000 && carolBytes().size() < payload.size();)
        Sleep(200);
    EXPECT_TRUE(carolBytes() == payload) << carolBytes().size() << " of " << payload.size();
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_ROOMCHAT_LIST), {"payload(1).bin"}));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"payload.bin has been transferred."}, 20000));
    EXPECT_FALSE(Exists(szDownAWin + L"\\payload.bin")) << "the sender keeps no copy";

    // Carol pushes as a bare client: a hostile name lands as its safe name in both folders only.
    // A push arriving while a receiver still ends the last one is refused: Carol tries again.
    const uint8_t bytes[] = {'a', 'b', 'c', 'd', 'e', 'f'};
    const std::wstring szEvilA = szDownAWin + L"\\evil.txt", szEvilB = szDownBWin + L"\\evil.txt";
    for (int i = 0; i < 10 && !(Exists(szEvilA) && Exists(szEvilB)); ++i)
    {
        carol.SendPushFile(0, sizeof bytes, u"..\\..\\evil.txt");
        carol.SendPushData(0, bytes, sizeof bytes);
        ExistsSoon(szEvilA, true, 3000);
        ExistsSoon(szEvilB, true, 3000);
    }
    // A file shows up when its push begins; its bytes follow.
    EXPECT_TRUE(FileHoldsSoon(szEvilA, "abcdef", 10000)) << FileBytes(szEvilA);
    EXPECT_TRUE(FileHoldsSoon(szEvilB, "abcdef", 10000)) << FileBytes(szEvilB);
    EXPECT_FALSE(Exists(WindowsPath(szDir + "/evil.txt")));
    EXPECT_FALSE(Exists(WindowsPath(std::string(QUILLON_WINE_DIR_UNIX) + "/evil.txt")));

    // Carol cancels half-way: the partial files go on both sides.
    const std::wstring szHalfA = szDownAWin + L"\\half.bin", szHalfB = szDownBWin + L"\\half.bin";
    const std::string block(1372, 'h');
    for (int i = 0; i < 10 && !(Exists(szHalfA) && Exists(szHalfB)); ++i)
    {
        carol.SendPushFile(0, 100000, u"half.bin");
        carol.SendPushData(0, reinterpret_cast<const uint8_t*>(block.data()), block.size());
        ExistsSoon(szHalfA, true, 3000);
        ExistsSoon(szHalfB, true, 3000);
    }
    ASSERT_TRUE(Exists(szHalfA) && Exists(szHalfB));
    carol.SendCmd522(0);
    EXPECT_TRUE(ExistsSoon(szHalfA, false));
    EXPECT_TRUE(ExistsSoon(szHalfB, false));
    EXPECT_TRUE(ListShowsSoon(hChatA, {L"Carol", L"cancelled the file distribution."}));

    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
    EXPECT_TRUE(LogoutEnds(panelA, hA));
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"SavePath");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"TransferPaceTest");
    peer.Run("reg.exe delete 'HKCU\\Software\\LumoraSoft\\Quillon' /f /v SavePath");
}

TEST_F(RoomProgramTest, PagesDroppedOpenedRenamedAndDeletedInOneAgendaListAreFollowedInTheOther)
{
    // Two pictures to drop, in a folder of the test.
    const std::string szDir =
        std::string(QUILLON_WINE_DIR_UNIX) + "/agenda-" + std::to_string(GetCurrentProcessId());
    CScratchFolder scratch(WindowsPath(szDir));
    std::vector<std::wstring> pictures;
    for (const char* pszName : {"sea", "sky"})
    {
        S_PICTURE24 pic;
        pic.nWidth = 40;
        pic.nHeight = 30;
        pic.bits.assign(Dib24Stride(40) * 30, pszName[1] == 'e' ? 0x90 : 0x30);
        pictures.push_back(WindowsPath(szDir + "/" + pszName + ".bmp"));
        std::ofstream out(std::filesystem::path(pictures.back()), std::ios::binary);
        ASSERT_TRUE(WriteBmpFile(pic.View(), out));
    }

    CPanel panelA, panelB;
    CPeer peer;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));
    // A class room shows the board; Alice, in first, presides and may change its pages.
    HWND hMainA = BothJoin(panelA, panelB, hA, cfg.rooms[1]);
    ASSERT_NE(nullptr, hMainA);
    HWND hTreeA =
        FindInProcess(hA,
                      [](HWND h)
                      {
                          wchar_t szClass[32] = {};
                          GetClassNameW(h, szClass, 31);
                          return GetDlgCtrlID(h) == IDC_AGENDA_LIST && wcscmp(szClass, L"SysTreeView32") == 0;
                      });
    ASSERT_NE(nullptr, hTreeA);
    HWND hListA = GetParent(hTreeA);
    const std::string szBobsTree = "lines " + Id(IDC_AGENDA_LIST);
    auto bobShows = [&](const wchar_t* pszPart, bool bSelected = false, bool bAbsent = false)
    {
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 20000; Sleep(200))
        {
            std::vector<std::wstring> lines;
            for (const std::string& line : peer.Probe(szBobsTree))
                lines.push_back(std::wstring(line.begin(), line.end()));
            if (LinesShow(lines, pszPart, bSelected) != bAbsent) return true;
        }
        return false;
    };
    auto aliceShows = [&](const wchar_t* pszPart, bool bSelected = false, bool bAbsent = false) {
        return WaitFor([&] { return LinesShow(TreeViewLines(hTreeA), pszPart, bSelected) != bAbsent; },
                       20000);
    };

    // Each picture dropped on Alice's list goes up as a page of the board: both lists show it.
    for (const wchar_t* pszName : {L"sea", L"sky"})
    {
        ASSERT_TRUE(DropFileOn(hListA, pictures[pszName[1] == L'e' ? 0 : 1]));
        EXPECT_TRUE(aliceShows(pszName)) << pszName;
        EXPECT_TRUE(bobShows(pszName)) << pszName;
    }

    // Alice chooses the page of the item that holds pszPart: both boards show it, both lists mark it.
    auto choose = [&](const wchar_t* pszPart)
    {
        HTREEITEM h = TreeViewTopItem(hTreeA, pszPart);
        SendMessageW(hTreeA, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(h));
        return h && aliceShows(pszPart, true) && bobShows(pszPart, true);
    };
    // She presses Delete in her list and answers the box that tells pszText; the box, or null.
    auto deleteAndAnswer = [&](const wchar_t* pszText)
    {
        PostMessageW(hTreeA, WM_KEYDOWN, VK_DELETE, 1);
        HWND hBox = TextInProcess(hA, pszText);
        if (hBox) PostMessageW(GetAncestor(hBox, GA_ROOT), WM_COMMAND, IDOK, 0);
        return hBox;
    };

    // She opens the first picture's page and renames it in place (F2's edit, typed, ended): both
    // lists show the new name. The list is filled anew on each page event, so its items are looked
    // up again after each.
    ASSERT_TRUE(choose(L"sea"));
    HTREEITEM hSea = TreeViewTopItem(hTreeA, L"sea");
    ASSERT_NE(nullptr, hSea);
    HWND hEdit =
        reinterpret_cast<HWND>(SendMessageW(hTreeA, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(hSea)));
    ASSERT_NE(nullptr, hEdit);
    SendMessageW(hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Harbour"));
    SendMessageW(hTreeA, TVM_ENDEDITLABELNOW, FALSE, 0);
    EXPECT_TRUE(aliceShows(L"Harbour"));
    EXPECT_TRUE(bobShows(L"Harbour"));
    EXPECT_TRUE(bobShows(L"sea", false, true));

    // She deletes the other picture's page and answers the question: it leaves both lists.
    ASSERT_TRUE(choose(L"sky"));
    ASSERT_NE(nullptr, deleteAndAnswer(L"Delete the 1 selected pages?"));
    EXPECT_TRUE(aliceShows(L"sky", false, true));
    EXPECT_TRUE(bobShows(L"sky", false, true));
    EXPECT_TRUE(bobShows(L"Harbour"));
    SaveWindowPicture(GetAncestor(hListA, GA_ROOT), QUILLON_SCREENSHOT_DIR, "room_agenda_list");

    // The whiteboard page is not deleted: Alice is told so and both lists keep it.
    ASSERT_TRUE(choose(L"WhiteBoard"));
    HWND hRefusal = deleteAndAnswer(L"The whiteboard page cannot be deleted.");
    ASSERT_NE(nullptr, hRefusal);
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(hRefusal); }));
    EXPECT_TRUE(aliceShows(L"WhiteBoard"));
    EXPECT_TRUE(bobShows(L"WhiteBoard"));

    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
    EXPECT_TRUE(LogoutEnds(panelA, hA));
}

TEST_F(RoomProgramTest, AMessengerFileIsSentRefusedAndCancelledByThePeerOrItsLogout)
{
    // Alice's program sends; Carol, a bare client, answers as the peer's program would.
    const std::string szDir =
        std::string(QUILLON_WINE_DIR_UNIX) + "/msgfile-" + std::to_string(GetCurrentProcessId());
    CScratchFolder scratch(WindowsPath(szDir));
    auto write = [&](const std::string& name, size_t nSize)
    {
        std::string bytes(nSize, '\0');
        std::mt19937 random(static_cast<unsigned>(nSize));
        for (char& c : bytes)
            c = static_cast<char>(random());
        if (FILE* f = _wfopen(WindowsPath(szDir + "/" + name).c_str(), L"wb"))
        {
            fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
        }
        return bytes;
    };
    const std::string small = write("small.bin", 200000);
    write("big.bin", 3000000);

    CPanel panelA;
    HANDLE hA = LoggedIn(panelA, "alice");
    ASSERT_NE(nullptr, hA);
    CTestOwner carolOwner;
    auto carol = std::make_unique<CQNInterface>(&carolOwner, &carolOwner);
    ASSERT_TRUE(LogInElsewhere(carolOwner, *carol, u"carol"));
    const uint16_t wCarol = carol->Record().MyUserIndex();
    // Alice, logged in first, is in the lobby list Carol got.
    uint16_t wAlice = kNoIndex;
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 10000 && wAlice == kNoIndex; Sleep(100))
        for (uint16_t w = 0; w < 100 && wAlice == kNoIndex; ++w)
            if (S_VUSERINFO u; carol->Record().FindUser(w, u) && u.szUserId == u"alice") wAlice = w;
    ASSERT_NE(kNoIndex, wAlice);

    // Carol's line opens Alice's messenger for her.
    ASSERT_TRUE(carol->SendMessengerText(wCarol, wAlice, u"000000hello"));
    HWND hMsgA = TopWindow(hA, L"Messenger - Carol");
    ASSERT_NE(nullptr, hMsgA);
    HWND hHistoryA = Descendant(hMsgA, IDC_MSG_HISTORY);
    HWND hFileA = Descendant(hMsgA, IDC_MSG_FILE);

    // An offer of Alice's and Carol's answer to it, as the nth 622 arrives.
    auto offer = [&](const std::string& name, int nth)
    {
        PostMessageW(hFileA, BM_CLICK, 0, 0);
        if (!PickInOpenDialog(hA, WindowsPath(szDir + "/" + name))) return false;
        QNFileOffer got;
        QNEvent e = carolOwner.WaitFor(kMsgRoomPacket, INFO_MSG_FILEOFFER, nth);
        return DecodeFileOffer(e.payload.data(), e.payload.size(), got) && got.wSenderIndex == wAlice &&
               got.szFileName == std::u16string(name.begin(), name.end());
    };
    auto received = [&]
    {
        std::string got;
        for (const QNEvent& e : carolOwner.Events())
            if (e.nMsg == kMsgRoomPacket && e.wCommand == INFO_MSG_FILEDATA && e.payload.size() >= 8)
                got.append(e.payload.begin() + 8, e.payload.end());
        return got;
    };
    auto enabledSoon = [&](HWND h, bool bEnabled = true)
    {
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 10000; Sleep(100))
            if (!IsWindowEnabled(h) == !bEnabled) return true;
        return false;
    };

    // Accepted: every byte reaches Carol and Alice's window says the file went.
    ASSERT_TRUE(offer("small.bin", 1));
    EXPECT_TRUE(enabledSoon(hFileA, false)) << "one transfer at a time";
    ASSERT_TRUE(carol->SendFileReply(wCarol, wAlice, true));
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 30000 && received().size() < small.size();)
        Sleep(200);
    EXPECT_TRUE(received() == small) << received().size();
    EXPECT_TRUE(EditShowsSoon(hHistoryA, L"The file was sent."));
    ASSERT_TRUE(enabledSoon(hFileA));

    // Refused: nothing is sent and the file button comes back.
    const size_t nBefore = received().size();
    ASSERT_TRUE(offer("big.bin", 2));
    ASSERT_TRUE(carol->SendFileReply(wCarol, wAlice, false));
    EXPECT_TRUE(EditShowsSoon(hHistoryA, L"The file transfer was cancelled."));
    EXPECT_TRUE(enabledSoon(hFileA));

    // Cancelled by Carol at the first block: the send stops long before the end.
    ASSERT_TRUE(offer("big.bin", 3));
    ASSERT_TRUE(carol->SendFileReply(wCarol, wAlice, true));
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 10000 && received().size() == nBefore;)
        Sleep(50);
    ASSERT_GT(received().size(), nBefore);
    ASSERT_TRUE(carol->SendFileReply(wCarol, wAlice, false));
    EXPECT_TRUE(enabledSoon(hFileA));
    EXPECT_LT(received().size() - nBefore, size_t(3000000));

    // Carol goes mid-transfer: the server refuses the next block (641) and Alice's send ends.
    ASSERT_TRUE(offer("big.bin", 4));
    const size_t nAtFourth = received().size();
    ASSERT_TRUE(carol->SendFileReply(wCarol, wAlice, true));
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 10000 && received().size() == nAtFourth;)
        Sleep(50);
    carol->StopThreads();
    EXPECT_TRUE(EditShowsSoon(hHistoryA, L"Carol is not online"));
    EXPECT_TRUE(enabledSoon(hFileA));

    EXPECT_TRUE(LogoutEnds(panelA, hA));
}

TEST_F(RoomProgramTest, EitherSideCancelsAMessengerFileByItsLinkAndNoPartialFileStays)
{
    // At the program's own pace a 3-MB file takes over 20 s: the clicks land mid-transfer.
    const std::string szDir =
        std::string(QUILLON_WINE_DIR_UNIX) + "/msgcancel-" + std::to_string(GetCurrentProcessId());
    CScratchFolder scratch(WindowsPath(szDir));
    const std::string szDownB = szDir + "/bob";
    ASSERT_TRUE(CreateDirectoryW(WindowsPath(szDownB).c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
    std::string bytes(3000000, '\0');
    std::mt19937 random(22);
    for (char& c : bytes)
        c = static_cast<char>(random());
    const std::wstring szSource = WindowsPath(szDir + "/big.bin");
    if (FILE* f = _wfopen(szSource.c_str(), L"wb"))
    {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    CPanel panelA, panelB;
    CPeer peer;
    HANDLE hA = nullptr;
    ASSERT_TRUE(BothLoggedIn(panelA, panelB, peer, &hA));
    const std::wstring szDownBWin = WindowsPath(szDownB);
    ASSERT_TRUE(peer.Run("reg.exe add 'HKCU\\Software\\LumoraSoft\\Quillon' /f /v SavePath /d '" +
                         std::string(szDownBWin.begin(), szDownBWin.end()) + "'"));
    std::string szRoom;
    HWND hMainA = AliceOpensBobJoins(panelA, panelB, hA, "Cancels", &szRoom);
    ASSERT_NE(nullptr, hMainA);
    HWND hUsersA = Descendant(hMainA, IDC_ROOMUSER_LIST);
    ASSERT_TRUE(ListShowsSoon(hUsersA, {L"Bob"}));
    HWND hMsgA = OpenMessengerForBob(hA, hUsersA);
    ASSERT_NE(nullptr, hMsgA);
    HWND hHistoryA = Descendant(hMsgA, IDC_MSG_HISTORY);
    HWND hFileA = Descendant(hMsgA, IDC_MSG_FILE);
    TypeInMessenger(hMsgA, L"a file for you");
    ASSERT_TRUE(peer.ShowsSoon("lines " + Id(IDC_MSG_HISTORY), {"Alice > a file for you"}));

    // Alice offers the file and Bob clicks Yes: his copy starts to grow.
    const std::wstring szPartial = szDownBWin + L"\\big.bin";
    auto offeredAndGrowing = [&]
    {
        PostMessageW(hFileA, BM_CLICK, 0, 0);
        if (!PickInOpenDialog(hA, szSource) ||
            !peer.ShowsSoon("lines " + Id(IDC_MSG_HISTORY), {"big.bin", "Yes"}))
            return false;
        peer.Probe("clickword " + Id(IDC_MSG_HISTORY) + " Yes");
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 20000; Sleep(100))
            if (FileBytes(szPartial).size() >= 100000) return true;
        return false;
    };
    auto enabledSoon = [](HWND h)
    {
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 10000; Sleep(100))
            if (IsWindowEnabled(h)) return true;
        return false;
    };

    // Bob, the receiver, clicks his line's Cancel: both sides end and his partial file goes.
    ASSERT_TRUE(offeredAndGrowing());
    SaveWindowPicture(hMsgA, QUILLON_SCREENSHOT_DIR, "messenger_transfer_running");
    ASSERT_TRUE(peer.Probe("clickword " + Id(IDC_MSG_HISTORY) + " Cancel").empty());
    EXPECT_TRUE(ExistsSoon(szPartial, false));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_MSG_HISTORY), {"You ended the file transfer."}));
    EXPECT_TRUE(EditShowsSoon(hHistoryA, L"The file transfer was cancelled."));
    EXPECT_TRUE(enabledSoon(hFileA));

    // Alice, the sender, clicks hers: the same, the other way round.
    ASSERT_TRUE(offeredAndGrowing());
    ASSERT_TRUE(ClickWordInRichEdit(hHistoryA, L"Cancel"));
    EXPECT_TRUE(ExistsSoon(szPartial, false));
    EXPECT_TRUE(EditShowsSoon(hHistoryA, L"You ended the file transfer."));
    EXPECT_TRUE(peer.ShowsSoon("lines " + Id(IDC_MSG_HISTORY), {"The file transfer was cancelled."}));
    EXPECT_TRUE(enabledSoon(hFileA));

    // A push at the program's pace shows its progress line in the room's chat; Alice's Cancel
    // there ends it for the room and Bob's partial copy goes.
    HWND hBarA = GetParent(Descendant(hMainA, IDC_ROOMCTRL_TALK));
    ASSERT_NE(nullptr, hBarA);
    PostMessageW(hBarA, WM_COMMAND, 32786, 0);
    ASSERT_TRUE(PickInOpenDialog(hA, szSource));
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 20000 && FileBytes(szPartial).size() < 200000;)
        Sleep(100);
    ASSERT_GE(FileBytes(szPartial).size(), 200000u);
    HWND hChatA = Descendant(hMainA, IDC_ROOMCHAT_LIST);
    SaveWindowPicture(hMainA, QUILLON_SCREENSHOT_DIR, "push_progress_room");
    ASSERT_TRUE(ClickWordInRichEdit(hChatA, L"Cancel"));
    EXPECT_TRUE(ExistsSoon(szPartial, false));

    panelB.Send("LOGOUT", "");
    EXPECT_TRUE(panelB.WaitAnswer("LOGOUT", "0"));
    EXPECT_TRUE(LogoutEnds(panelA, hA));
    peer.Run("reg.exe delete 'HKCU\\Software\\LumoraSoft\\Quillon' /f /v SavePath");
}
