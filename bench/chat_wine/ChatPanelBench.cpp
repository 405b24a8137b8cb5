// 10,000 chat lines from three sender threads, posted as fast as the window thread takes them,
// into the room's chat panel (AddMessage: insert, colour, trim, scroll), then the same lines into
// a bare rich edit of the same class and style appending without trimming. For each: per-line
// time p50/p99/max, the trimming lines' times, the most lines shown, the window thread's stalls
// (a probe thread's WM_NULL round trip every 10 ms) and the process's private bytes as it goes.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "confclient/room/RoomTxtChatDlg.h"
#include "confclient/toolkit/controls/RichEditCtrlGS.h"
#include "winui/WinApp.h"

namespace
{
using Clock = std::chrono::steady_clock;
// 10,000 unless the command line names another count.
int g_nLines = 10000;
constexpr int kSenders = 3;
// Lines a sender may have posted and not yet seen taken: the queue never fills.
constexpr LONG kInFlight = 32;
constexpr UINT WM_BENCH_LINE = WM_APP + 1;
constexpr UINT WM_BENCH_PROBE_DONE = WM_APP + 2;

struct SLine
{
    std::wstring szName;
    std::wstring szText;
    COLORREF crColour;
};

std::vector<SLine> Lines()
{
    const wchar_t* names[kSenders] = {L"alice", L"bob", L"carol"};
    const COLORREF colours[kSenders] = {RGB(200, 0, 0), RGB(0, 120, 0), RGB(0, 0, 200)};
    std::mt19937 random(20);
    std::vector<SLine> lines;
    for (int i = 0; i < g_nLines; ++i)
    {
        const int s = i % kSenders;
        std::wstring text = L"line " + std::to_wstring(i) + L" ";
        text.append(10 + random() % 70, static_cast<wchar_t>(L'a' + random() % 26));
        lines.push_back({names[s], text, colours[s]});
    }
    return lines;
}

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double At(std::vector<double> v, double q)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

// The process's committed private bytes (Wine fills the page-file figure, not PrivateUsage).
size_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PagefileUsage;
}

struct SRun
{
    std::vector<double> lineMs, trimMs, stallMs;
    std::vector<size_t> memory; // private bytes after every 1,000 lines
    int nMostLines = 0;
};

// Runs the senders and the probe against the window thread, which shows each line with show().
template <class Show> SRun Run(HWND hTarget, const std::vector<SLine>& lines, Show show)
{
    SRun run;
    // A sender waits for room in its window of lines; the window thread gives it back line by line.
    HANDLE slots[kSenders];
    for (HANDLE& h : slots)
        h = ::CreateSemaphoreW(nullptr, kInFlight, kInFlight, nullptr);
    std::atomic<bool> bDone{false};
    const DWORD dwThread = ::GetCurrentThreadId();
    std::vector<std::thread> senders;
    for (int s = 0; s < kSenders; ++s)
        senders.emplace_back(
            [&, s]
            {
                for (int i = s; i < g_nLines; i += kSenders)
                {
                    ::WaitForSingleObject(slots[s], INFINITE);
                    ::PostThreadMessageW(dwThread, WM_BENCH_LINE, static_cast<WPARAM>(i), s);
                }
            });
    std::thread probe(
        [&]
        {
            while (!bDone)
            {
                ::Sleep(10);
                const auto t0 = Clock::now();
                DWORD_PTR result = 0;
                ::SendMessageTimeoutW(hTarget, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
                run.stallMs.push_back(Ms(Clock::now() - t0));
            }
            // The window thread pumps until the probe is through.
            ::PostThreadMessageW(dwThread, WM_BENCH_PROBE_DONE, 0, 0);
        });
    for (int n = 0; n < g_nLines;)
    {
        MSG msg;
        if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
        if (msg.hwnd == nullptr && msg.message == WM_BENCH_LINE)
        {
            ::ReleaseSemaphore(slots[msg.lParam], 1, nullptr);
            const SLine& line = lines[msg.wParam];
            const auto t0 = Clock::now();
            const bool bTrimmed = show(line, &run.nMostLines);
            const double d = Ms(Clock::now() - t0);
            run.lineMs.push_back(d);
            if (bTrimmed) run.trimMs.push_back(d);
            if (++n % 1000 == 0) run.memory.push_back(PrivateBytes());
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    bDone = true;
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0 &&
           !(msg.hwnd == nullptr && msg.message == WM_BENCH_PROBE_DONE))
        ::DispatchMessageW(&msg);
    probe.join();
    for (std::thread& t : senders)
        t.join();
    for (HANDLE h : slots)
        ::CloseHandle(h);
    return run;
}

void Print(const char* pszName, const SRun& r, size_t nFrom, size_t nTo)
{
    const std::vector<double> part(r.lineMs.begin() + static_cast<long>(nFrom),
                                   r.lineMs.begin() + static_cast<long>(nTo));
    std::printf("%s: lines %zu-%zu p50 %.3f ms p99 %.3f ms max %.2f ms; most lines shown %d\n", pszName,
                nFrom, nTo, At(part, 0.5), At(part, 0.99), At(part, 1.0), r.nMostLines);
}

void PrintRun(const char* pszName, const SRun& r)
{
    Print(pszName, r, 0, 1000);
    Print(pszName, r, 1000, r.lineMs.size());
    if (!r.trimMs.empty())
        std::printf("%s: %zu trimming lines p50 %.2f ms max %.2f ms\n", pszName, r.trimMs.size(),
                    At(r.trimMs, 0.5), At(r.trimMs, 1.0));
    const size_t nOver = static_cast<size_t>(
        std::count_if(r.stallMs.begin(), r.stallMs.end(), [](double d) { return d > 50; }));
    std::printf("%s: %zu probes, round trip p50 %.2f ms p99 %.2f ms max %.2f ms, %zu above 50 ms\n", pszName,
                r.stallMs.size(), At(r.stallMs, 0.5), At(r.stallMs, 0.99), At(r.stallMs, 1.0), nOver);
    std::printf("%s: committed KiB after each 1,000 lines:", pszName);
    for (size_t n : r.memory)
        std::printf(" %zu", n / 1024);
    std::printf("\n");
}
} // namespace

int main(int argc, char** argv)
{
    if (argc > 1) g_nLines = std::max(1000, std::atoi(argv[1]));
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    HINSTANCE hResource = ::LoadLibraryW(QUILLON_RESOURCE_DLL);
    if (!hResource) return 1;
    AfxSetResourceHandle(hResource);
    const std::vector<SLine> lines = Lines();
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // the thread's queue, before the senders post

    CWnd host;
    if (!host.CreateEx(0, L"STATIC", L"bench", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 700}, nullptr, 0))
        return 1;
    CRoomTxtChatDlg chat(nullptr);
    if (!chat.Create(&host)) return 1;
    chat.SetWindowPos(nullptr, 0, 0, 280, 680, SWP_NOZORDER | SWP_SHOWWINDOW);
    const SRun panel = Run(chat.m_hWnd, lines,
                           [&](const SLine& line, int* pMost)
                           {
                               const int nBefore = chat.LineCount();
                               chat.OnChatReceived(line.szName, line.szText, line.crColour);
                               *pMost = std::max(*pMost, chat.LineCount());
                               return chat.LineCount() <= nBefore;
                           });
    // The rich edit holds what the log holds (its text limit cut nothing).
    const LONG nShown = chat.LogControl().GetTextLength();
    const size_t nKept = chat.Log().Text().size();
    chat.DestroyWindow();

    PrintRun("panel", panel);
    std::printf("panel: the rich edit shows %ld characters, the log keeps %zu\n", static_cast<long>(nShown),
                nKept);
    std::fflush(stdout);

    // The bare log: the panel's class and style, the same size, the same inserts and scrolls.
    CWnd bareHost;
    if (!bareHost.CreateEx(0, L"STATIC", L"bare", WS_POPUP | WS_VISIBLE, RECT{0, 0, 300, 700}, nullptr, 0))
        return 1;
    HWND hBare =
        ::CreateWindowExW(0, L"RICHEDIT50W", L"",
                          WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL, 0,
                          15, 280, 634, bareHost.m_hWnd, nullptr, nullptr, nullptr);
    if (!hBare) return 1;
    CRichEditCtrlGS bare;
    bare.Attach(hBare);
    ::SendMessageW(hBare, EM_EXLIMITTEXT, 0, 0x7FFFFFFF);
    int nBareLines = 0;
    const SRun plain = Run(hBare, lines,
                           [&](const SLine& line, int* pMost)
                           {
                               bare.InsertText(bare.GetTextLength(),
                                               line.szName + L" > " + line.szText + L"\r\n", line.crColour);
                               bare.ScrollToEnd();
                               *pMost = ++nBareLines;
                               return false;
                           });
    PrintRun("bare", plain);
    ::DestroyWindow(hBare);
    bareHost.DestroyWindow();
    host.DestroyWindow();
    return 0;
}
