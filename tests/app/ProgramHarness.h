// The harness of the program tests: the real Quillon.exe under Wine, started
// against an in-process loopback conference server and driven through its
// control-panel port.
#pragma once
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <tlhelp32.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "confclient/network/QNCommands.h"
#include "confclient/network/control/PanelFrames.h"
#include "confclient/network/transport/QNInterface.h"
#include "loopserver/LoopServer.h"
#include "ResourceIds.h"
#include "tests/network/QNTestOwner.h"
#include "tests/core/TestLogs.h"

namespace programtest
{
inline uint16_t FreePort()
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

inline BOOL CALLBACK FindOwnedWindow(HWND h, LPARAM l)
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

    // The waits below end as soon as what they wait for shows; their bounds are generous
    // because a two-core machine running the whole suite answers in seconds, not at once.

    // The program's main window: the dialog named after the program that holds the lobby's
    // lists (boxes of the program and of other tests carry the same caption).
    static HWND MainWindow()
    {
        for (int i = 0; i < 300; ++i, Sleep(100))
            for (HWND h = FindWindowW(L"#32770", L"Quillon"); h;
                 h = FindWindowExW(nullptr, h, L"#32770", L"Quillon"))
                if (GetDlgItem(h, IDC_LOBBY_CONFLIST)) return h;
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
        for (int i = 0; i < 200 && n != nWanted; ++i, Sleep(100))
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
        for (int i = 0; i < 200; ++i, Sleep(100))
            if (Status(hMain).find(pszPart) != std::wstring::npos) return true;
        return false;
    }
    // Presses a button of the message box the main window shows; false when none comes.
    static bool AnswerBox(HWND hMain, int nButton, DWORD dwMs = 10000)
    {
        HWND hBox = WaitForBox(hMain, dwMs);
        if (hBox) PostMessageW(hBox, WM_COMMAND, nButton, 0);
        return hBox != nullptr;
    }
    // The visible window the main window owns (a box), or null when none comes in time.
    static HWND WaitForBox(HWND hMain, DWORD dwMs = 10000)
    {
        FindOwned find{hMain, nullptr};
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(100))
        {
            EnumWindows(&FindOwnedWindow, reinterpret_cast<LPARAM>(&find));
            if (find.hFound) return find.hFound;
        }
        return nullptr;
    }
    static bool Ends(HANDLE hProcess, DWORD* pCode, DWORD dwMs = 30000)
    {
        if (WaitForSingleObject(hProcess, dwMs) != WAIT_OBJECT_0) return false;
        GetExitCodeProcess(hProcess, pCode);
        return true;
    }
    // Threads the process runs now.
    static int ThreadCount(HANDLE hProcess)
    {
        DWORD dwPid = GetProcessId(hProcess);
        HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        if (hSnap == INVALID_HANDLE_VALUE) return -1;
        THREADENTRY32 te{};
        te.dwSize = sizeof te;
        int n = 0;
        for (BOOL b = Thread32First(hSnap, &te); b; b = Thread32Next(hSnap, &te))
            if (te.th32OwnerProcessID == dwPid) ++n;
        CloseHandle(hSnap);
        return n;
    }
    // Where each thread of the process started, as "module+offset": says whose a thread is
    // when a count is wrong.
    static std::string ThreadStarts(HANDLE hProcess)
    {
        HMODULE modules[256];
        DWORD cbNeeded = 0;
        EnumProcessModulesEx(hProcess, modules, sizeof modules, &cbNeeded, LIST_MODULES_ALL);
        const size_t nModules = std::min<size_t>(cbNeeded / sizeof(HMODULE), 256);
        std::string text;
        DWORD dwPid = GetProcessId(hProcess);
        HANDLE hSnap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        if (hSnap == INVALID_HANDLE_VALUE) return text;
        THREADENTRY32 te{};
        te.dwSize = sizeof te;
        for (BOOL b = Thread32First(hSnap, &te); b; b = Thread32Next(hSnap, &te))
        {
            if (te.th32OwnerProcessID != dwPid) continue;
            ULONG_PTR start = 0;
            if (HANDLE h = OpenThread(THREAD_QUERY_INFORMATION, FALSE, te.th32ThreadID))
            {
                NtQueryInformationThread(h, static_cast<THREADINFOCLASS>(9 /* Win32 start address */), &start,
                                         sizeof start, nullptr);
                CloseHandle(h);
            }
            std::string where = "?";
            ULONG_PTR best = 0;
            for (size_t i = 0; i < nModules; ++i)
            {
                MODULEINFO mi{};
                if (!GetModuleInformation(hProcess, modules[i], &mi, sizeof mi)) continue;
                auto base = reinterpret_cast<ULONG_PTR>(mi.lpBaseOfDll);
                if (start < base || start - base >= mi.SizeOfImage || base < best) continue;
                char name[MAX_PATH] = {};
                GetModuleBaseNameA(hProcess, modules[i], name, MAX_PATH);
                char offset[32];
                std::snprintf(offset, sizeof offset, "+0x%llx",
                              static_cast<unsigned long long>(start - base));
                where = std::string(name) + offset;
                best = base;
            }
            text += " " + where;
        }
        CloseHandle(hSnap);
        return text;
    }
    // The process's thread count once it has come down to nWant, or what it still is after
    // dwMs. Threads that have been joined can stay in the system's list for a moment, and
    // Wine's own worker threads end a while after their last job.
    static int ThreadCountSettles(HANDLE hProcess, int nWant, DWORD dwMs = 10000)
    {
        int n = ThreadCount(hProcess);
        for (DWORD t0 = GetTickCount(); n != nWant && GetTickCount() - t0 < dwMs; Sleep(100))
            n = ThreadCount(hProcess);
        return n;
    }
    // Today's log of the program (Log folder next to the executable).
    static std::string TodaysLog()
    {
        std::wstring exe = QUILLON_EXE;
        SYSTEMTIME st;
        GetLocalTime(&st);
        wchar_t name[64];
        swprintf(name, 64, L"Log\\Quillon_%04d%02d%02d.log", st.wYear, st.wMonth, st.wDay);
        std::wstring path = exe.substr(0, exe.find_last_of(L"\\/") + 1) + name;
        HANDLE h =
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return {};
        std::string text;
        char buf[4096];
        DWORD n = 0;
        while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0)
            text.append(buf, n);
        CloseHandle(h);
        return text;
    }
    // Waits a while for today's log to hold the text after what it held before (nFrom bytes).
    static bool LogShowsSoon(const std::string& text, size_t nFrom, DWORD dwMs = 10000)
    {
        for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < dwMs; Sleep(200))
        {
            std::string log = TodaysLog();
            if (log.size() > nFrom && log.find(text, nFrom) != std::string::npos) return true;
        }
        return false;
    }
    static UINT AgentMessage() { return RegisterWindowMessageW(L"Quillon_Control_Agent"); }
    // The number of logins (plain and extended) the server took from this user ID.
    size_t LoginsFrom(const std::u16string& szUserId) const
    {
        std::vector<uint16_t> seen = server->CommandsFrom(szUserId);
        return static_cast<size_t>(std::count_if(seen.begin(), seen.end(),
                                                 [](uint16_t w)
                                                 { return w == CMD_LOBY_LOGIN || w == CMD_LOBY_LOGIN_EX; }));
    }
    // Starts the server again with the configuration as the test changed it.
    void RestartServer()
    {
        server->Stop();
        server = std::make_unique<CLoopServer>(cfg, &log);
        ASSERT_TRUE(server->Start(0));
        // The port chosen for the panel was free when chosen: the new server may have taken it.
        while (wPanelPort == server->Port())
            wPanelPort = FreePort();
    }

    // Another session, not the program, logs in to the lobby as szUserId.
    bool LogInElsewhere(CTestOwner& owner, CQNInterface& net, const std::u16string& szUserId)
    {
        if (!net.Connect("127.0.0.1", server->Port())) return false;
        if (owner.WaitFor(kMsgLobbyPacket, ACK_SEED_KEY).nMsg == 0xFFFFFFFFu) return false;
        net.SendLogin(szUserId, u"", 0, false);
        return owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN).nMsg != 0xFFFFFFFFu;
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
} // namespace programtest

using namespace programtest;
