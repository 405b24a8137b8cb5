// The playback thread: ticks until its callback declines or until stopped from outside.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "confclient/network/record/PlayTimer.h"

TEST(PlaybackThread, EndsWhenTheTickDeclinesAndWhenStopped)
{
    CPlaybackThread timer;
    std::atomic<int> nTicks{0};
    timer.Start(1, [&] { return ++nTicks < 5; });
    for (int i = 0; i < 2000 && nTicks < 5; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(5, nTicks.load());

    std::atomic<int> nOther{0};
    timer.Start(1, [&] { return ++nOther > 0; });
    for (int i = 0; i < 2000 && nOther < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    timer.Stop();
    int nAtStop = nOther;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(nAtStop, nOther.load());
    EXPECT_GE(nAtStop, 3);

    // Stopping from inside a tick does not wait for itself.
    std::atomic<bool> bDone{false};
    timer.Start(1,
                [&]
                {
                    timer.Stop();
                    bDone = true;
                    return true;
                });
    for (int i = 0; i < 2000 && !bDone; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(bDone);
}
