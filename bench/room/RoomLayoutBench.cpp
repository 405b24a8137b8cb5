// The room window's layout engine for a room with every window, in each view mode and in full
// screen: one call is what a border-drag step or a view-mode change costs before the window batch.
#include <benchmark/benchmark.h>

#include "confclient/room/RoomViewLayout.h"

namespace
{
S_ROOMVIEWSTATE EveryWindow(uint16_t wMode, bool bFullScreen)
{
    S_ROOMVIEWSTATE s;
    s.wViewMode = wMode;
    s.wRoomType = 34; // 49 video windows
    s.bFullScreen = bFullScreen;
    s.bLayoutDone = true;
    s.bHasVideo = s.bHasMediaShare = s.bHasQuestion = s.bHasBoardTool = s.bHasProgress = true;
    s.bDeskShareDocked = false;
    s.nBoardToolWidth = 40;
    return s;
}

void BM_LayoutRoomWindow(benchmark::State& state)
{
    S_ROOMVIEWSTATE s = EveryWindow(static_cast<uint16_t>(state.range(0)), state.range(1) != 0);
    int32_t cx = 1920;
    for (auto _ : state)
    {
        // A drag changes the width each step.
        cx = cx == 1920 ? 1919 : 1920;
        benchmark::DoNotOptimize(LayoutRoomWindow(s, cx, 1080));
    }
}
BENCHMARK(BM_LayoutRoomWindow)->ArgsProduct({{0, 1, 2, 3}, {0, 1}})->ArgNames({"mode", "fullscreen"});
} // namespace

BENCHMARK_MAIN();
