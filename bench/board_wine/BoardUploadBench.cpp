// Times an agenda upload of the pictures in a folder from alice's board to bob's through the
// loopback server, at the pace SetBandwidth sets, beside that pace in the same run: the rate of
// the page data from the first chunk to the upload's end, the most page data sent in any whole
// second from its start, and the same upload unpaced (what the road carries at most). Bob must
// end with every page.
//   bench_board_upload.exe FOLDER [BYTES_PER_SECOND]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>

#include "loopserver/LoopServer.h"
#include "tests/core/TestLogs.h"
#include "tests/lmboard2_control/BoardRoomKit.h"

namespace
{
using Clock = std::chrono::steady_clock;

// Alice keeps the time each page chunk went out and the time the upload ended.
struct Uploader : Participant
{
    using Participant::Participant;
    std::mutex lock;
    std::vector<std::pair<Clock::time_point, uint32_t>> chunks;
    Clock::time_point end;
    void UploadAgendaComplete() override
    {
        {
            std::lock_guard<std::mutex> hold(lock);
            end = Clock::now();
        }
        Participant::UploadAgendaComplete();
    }
    void SendData(const uint8_t* p, size_t n) override
    {
        if (n >= kBoardMsgHeaderSize && p[0] == BMSG_PAGE_CHUNK)
        {
            std::lock_guard<std::mutex> hold(lock);
            chunks.emplace_back(Clock::now(), static_cast<uint32_t>(n - kBoardMsgHeaderSize));
        }
        Participant::SendData(p, n);
    }
};

struct Run
{
    double dSeconds = 0; // first chunk to the end of the upload
    uint64_t nBytes = 0; // page data
    uint64_t nMaxSecond = 0;
    size_t nBobPages = 0;
};

bool Upload(uint16_t wPort, const std::u16string& files, int32_t nBandwidth, int nRound, Run& run)
{
    std::string round = std::to_string(nRound);
    Uploader alice(("alice-bench" + round).c_str());
    Participant bob(("bob-bench" + round).c_str());
    // The network wakes alice's window thread for each frame that left, as it wakes the program's.
    const DWORD dwThread = GetCurrentThreadId();
    alice.owner.onBoardSent = [dwThread] { PostThreadMessageW(dwThread, WM_NULL, 0, 0); };
    if (!alice.Login(wPort, u"alice") || !bob.Login(wPort, u"bob")) return false;
    QNRoomInfo room;
    if (!OpenRoom(alice, {&bob}, u"Bench", room)) return false;
    HWND hParent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1000, 800, nullptr, nullptr, nullptr, nullptr);
    if (!alice.view->Create(hParent, RECT{0, 0, 1000, 800})) return false;
    for (Participant* p : {static_cast<Participant*>(&alice), &bob})
        p->view->SetConfCode(u"E2E");
    alice.view->SetBandwidth(nBandwidth);
    if (!alice.view->UploadAgenda(u"E2E", files)) return false;
    // Bob reads as the pages come.
    bool bOk = alice.PumpUntil(
        [&]
        {
            bob.ReadUpTo(alice.nSent);
            return alice.nComplete == 1;
        },
        600000);
    bOk = bOk && bob.ReadUpTo(alice.nSent);
    run.nBobPages = bob.view->PageCount() - 1;
    std::lock_guard<std::mutex> hold(alice.lock);
    if (!bOk || alice.chunks.empty()) return false;
    const Clock::time_point t0 = alice.chunks.front().first;
    run.dSeconds = std::chrono::duration<double>(alice.end - t0).count();
    std::vector<uint64_t> seconds;
    for (auto& [t, n] : alice.chunks)
    {
        size_t s = static_cast<size_t>(std::chrono::duration<double>(t - t0).count());
        if (seconds.size() <= s) seconds.resize(s + 1);
        seconds[s] += n;
        run.nBytes += n;
    }
    // The last second is cut short by the end of the upload: it is no whole second.
    if (seconds.size() > 1) seconds.pop_back();
    run.nMaxSecond = *std::max_element(seconds.begin(), seconds.end());
    alice.view->Destroy();
    DestroyWindow(hParent);
    return true;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2)
    {
        fprintf(stderr, "usage: bench_board_upload.exe FOLDER [BYTES_PER_SECOND]\n");
        return 2;
    }
    const int32_t nBandwidth = argc > 2 ? _wtoi(argv[2]) : 521600;
    std::vector<std::filesystem::path> pictures;
    for (const auto& e : std::filesystem::directory_iterator(argv[1]))
        if (e.path().extension() == ".jpg") pictures.push_back(e.path());
    std::sort(pictures.begin(), pictures.end());
    std::u16string files;
    uint64_t nFileBytes = 0;
    for (const auto& p : pictures)
    {
        files += (files.empty() ? u"" : u"|") + p.u16string();
        nFileBytes += std::filesystem::file_size(p);
    }
    CNullLog log;
    CLoopServer server(DefaultLoopConfig(), &log);
    if (pictures.empty() || !server.Start(0)) return 1;
    printf("%zu pictures, %.1f MB of JPEG\n", pictures.size(), static_cast<double>(nFileBytes) / 1e6);
    struct
    {
        const char* pszName;
        int32_t nPace;
    } rounds[] = {{"unpaced (SetBandwidth 0)", 0}, {"paced", nBandwidth}};
    int nRound = 0;
    for (const auto& r : rounds)
    {
        Run run;
        if (!Upload(server.Port(), files, r.nPace, nRound++, run))
        {
            fprintf(stderr, "%s: the upload failed\n", r.pszName);
            return 1;
        }
        const double dRate = static_cast<double>(run.nBytes) / run.dSeconds;
        printf("%-26s set %9d B/s: %llu B in %.2f s = %.0f B/s", r.pszName, r.nPace,
               static_cast<unsigned long long>(run.nBytes), run.dSeconds, dRate);
        if (r.nPace)
            printf(" (%.1f %% of the set value), busiest whole second %llu B (%.1f %%)",
                   100 * dRate / r.nPace, static_cast<unsigned long long>(run.nMaxSecond),
                   100.0 * run.nMaxSecond / r.nPace);
        printf("; bob has %zu pages\n", run.nBobPages);
    }
    server.Stop();
    return 0;
}
