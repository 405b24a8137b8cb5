// Times a border drag of a full room at 1920x1080 under Wine: each step is the room window's
// resize, the layout engine and its one deferred batch under the update lock, and the paint of
// every window; beside it the same steps with the room's layout switched off and a bare
// DeferWindowPos batch moving the same windows to the same rectangles, painted the same way, in
// alternating rounds. A message hook counts each window's paints and erases per step. Prints
// medians, 95th percentiles, their ratio and the engine's share of a step.
// Each step ends with the room painted through, on both sides (--repaint: every window of it).
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench/room_wine/WineBenchSteps.h"
#include "resources/ResourceIds.h"
#include "tests/roomwin/RoomWindowSet.h"
#include "winui/WinApp.h"

namespace
{
constexpr int kRounds = 3;
constexpr int kWidest = 1920, kNarrowest = 1400, kStep = 8, kHeight = 1080;

// The room of the tests, its panes kept to detach them; 49 video windows.
struct FullRoom : RoomWindowSet
{
    // The board area, a child of the room window's own template: held here only to detach it.
    CWnd boardArea;
    std::vector<std::pair<RoomPane, CWnd*>> panes;

    ~FullRoom() { boardArea.m_hWnd = nullptr; }

    bool CreateFull()
    {
        if (!Create()) return false;
        boardArea.m_hWnd = mainView.GetDlgItem(IDC_ROOMMAIN_BOARD);
        panes = {{PANE_BOARD, &boardArea},    {PANE_VIDEO, &videoView}, {PANE_MEDIASHARE, &mediaShare},
                 {PANE_QUESTION, &question},  {PANE_CTRLBAR, &ctrl},    {PANE_MANAGETOOL, &manageTool},
                 {PANE_BOARDTOOL, &boardTool}};
        videoView.SetViewCount(49);
        return true;
    }
    // With the panes detached the room window lays nothing out: the bare batch moves them.
    void Attach(bool bAttach)
    {
        for (auto& [pane, pWnd] : panes)
            mainView.SetPane(pane, bAttach ? pWnd : nullptr);
    }
};

// Where the room's layout put each of its panes.
std::vector<std::pair<HWND, RECT>> PanePlaces(const FullRoom& room)
{
    const HWND hParent = room.mainView.m_hWnd;
    std::vector<std::pair<HWND, RECT>> places;
    for (const auto& [pane, pWnd] : room.panes)
    {
        if (!pWnd->m_hWnd || ::GetParent(pWnd->m_hWnd) != hParent) continue;
        RECT rc{};
        ::GetWindowRect(pWnd->m_hWnd, &rc);
        ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rc), 2);
        places.emplace_back(pWnd->m_hWnd, rc);
    }
    return places;
}

void Resize(HWND hWnd, int cx)
{
    ::SetWindowPos(hWnd, nullptr, 0, 0, cx, kHeight, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

// After a step the room is painted through: what the step left invalid, or with --repaint every
// window of the room (a window then painted twice in a step was painted by the step itself too).
bool g_bRepaint = false;

void PaintThrough(HWND hWnd)
{
    const UINT nFlags = g_bRepaint ? RDW_INVALIDATE | RDW_ERASE : 0u;
    ::RedrawWindow(hWnd, nullptr, nullptr, nFlags | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
} // namespace

int main(int argc, char** argv)
{
    g_bRepaint = argc > 1 && std::string(argv[1]) == "--repaint";
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::LoadLibraryW(L"Msftedit.dll");
    HINSTANCE hResource = ::LoadLibraryW(QUILLON_RESOURCE_DLL);
    if (!hResource) return 1;
    AfxSetResourceHandle(hResource);
    FullRoom room;
    if (!room.CreateFull()) return 1;
    S_ROOMVIEWSTATE state = room.mainView.ViewState();
    state.wViewMode = 0;
    state.wRoomType = 34; // 49 video windows
    state.bLayoutDone = true;
    room.mainView.SetViewState(state);
    const HWND hMain = room.mainView.m_hWnd;
    ::SetWindowPos(hMain, nullptr, 0, 0, kWidest, kHeight, SWP_NOZORDER | SWP_SHOWWINDOW);
    Pump();

    std::vector<double> layoutSteps, bareSteps, engine;
    int nMostPaints = 0, nMostErases = 0, nMainErases = 0;
    size_t nBatch = 0;
    for (int r = 0; r < kRounds; ++r)
    {
        // The drag in: each step laid out by the room, its places kept for the bare batch.
        std::vector<std::vector<std::pair<HWND, RECT>>> places;
        {
            CPaintCounter counter;
            for (int cx = kWidest - kStep; cx >= kNarrowest; cx -= kStep)
            {
                counter.Clear();
                BenchClock::time_point t0 = BenchClock::now();
                Resize(hMain, cx);
                PaintThrough(hMain);
                layoutSteps.push_back(Ms(t0, BenchClock::now()));
                nMostPaints = std::max(nMostPaints, CPaintCounter::Most(counter.paints, nullptr));
                nMostErases = std::max(nMostErases, CPaintCounter::Most(counter.erases, hMain));
                nMainErases = std::max(nMainErases, counter.erases[hMain]);
                nBatch = std::max(nBatch, room.mainView.LastBatchSize());
                places.push_back(PanePlaces(room));
                Pump();
            }
        }
        Resize(hMain, kWidest);
        PaintThrough(hMain);
        Pump();
        // The same drag with a bare batch to the same places.
        room.Attach(false);
        int i = 0;
        for (int cx = kWidest - kStep; cx >= kNarrowest; cx -= kStep, ++i)
        {
            BenchClock::time_point t0 = BenchClock::now();
            Resize(hMain, cx);
            HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(places[i].size()));
            for (const auto& [h, rc] : places[i])
                if (hdwp)
                    hdwp = ::DeferWindowPos(hdwp, h, nullptr, rc.left, rc.top, rc.right - rc.left,
                                            rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
            if (hdwp) ::EndDeferWindowPos(hdwp);
            PaintThrough(hMain);
            bareSteps.push_back(Ms(t0, BenchClock::now()));
            Pump();
        }
        room.Attach(true);
        Resize(hMain, kWidest);
        PaintThrough(hMain);
        Pump();
    }
    // The engine alone, as each step calls it.
    for (int cx = kWidest - kStep; cx >= kNarrowest; cx -= kStep)
    {
        RECT rc{0, 0, cx, kHeight};
        BenchClock::time_point t0 = BenchClock::now();
        for (int n = 0; n < 100; ++n)
            (void)LayoutRoomWindow(state, rc.right - n % 2, rc.bottom);
        engine.push_back(Ms(t0, BenchClock::now()) / 100);
    }
    const double p50 = Percentile(layoutSteps, 0.5), p95 = Percentile(layoutSteps, 0.95);
    const double q50 = Percentile(bareSteps, 0.5), q95 = Percentile(bareSteps, 0.95);
    std::printf(
        "border drag %dx%d%s, %zu steps: room p50 %.2f ms p95 %.2f ms | bare batch p50 %.2f ms p95 %.2f ms | "
        "ratio p50 %.2f p95 %.2f\n",
        kWidest, kHeight, g_bRepaint ? " (every window repainted)" : "", layoutSteps.size(), p50, p95, q50,
        q95, p50 / q50, p95 / q95);
    std::printf(
        "engine %.2f us a call (%.3f %% of a step); %zu windows in the batch; per step at most %d paints "
        "and %d erases of one child, %d erases of the room window (clips its children: %s)\n",
        Percentile(engine, 0.5) * 1e3, Percentile(engine, 0.5) / p50 * 100, nBatch, nMostPaints, nMostErases,
        nMainErases, (::GetWindowLongW(hMain, GWL_STYLE) & WS_CLIPCHILDREN) ? "yes" : "no");
    room.mainView.DestroyWindow();
    return 0;
}
