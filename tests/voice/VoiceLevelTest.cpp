// Levels on the dBFS scale, their pacing, and the saturating microphone boost.
#include <gtest/gtest.h>

#include <vector>

#include "volumora/core/VoiceLevel.h"

TEST(VoiceLevel, PeakInDbfsPlusSixtyScaledToHundred)
{
    struct
    {
        int16_t nPeak;
        int nLevel;
    } cases[] = {
        {0, 0},       {32, 0}, // -60 dBFS and below
        {328, 33},             // -40 dBFS
        {3277, 67},            // -20 dBFS
        {32767, 100}, {-32768, 100},
    };
    for (const auto& c : cases)
    {
        std::vector<int16_t> frame(320, 0);
        frame[100] = c.nPeak;
        EXPECT_EQ(FrameLevel(frame.data(), frame.size()), c.nLevel) << c.nPeak;
    }
}

TEST(VoiceLevel, BoostIsTwelveDecibelsAndSaturates)
{
    std::vector<int16_t> samples = {0, 1000, -1000, 8230, 10000, -10000, 32767, -32768};
    ApplyMicBoost(samples.data(), samples.size());
    EXPECT_EQ(samples, (std::vector<int16_t>{0, 3980, -3980, 32763, 32767, -32768, 32767, -32768}));
}

TEST(VoiceLevel, ReportsTheLoudestOfEachHundredMillisecondsAndOneZeroWhenStopped)
{
    CLevelReporter r;
    std::vector<std::pair<VoiceMs, int>> reports;
    for (VoiceMs t = 0; t <= 300; t += 20)
    {
        int nLevel = 0;
        if (r.Feed(t, static_cast<int>(t % 100) / 2, nLevel)) reports.push_back({t, nLevel});
    }
    // Each report carries the loudest frame since the one before.
    EXPECT_EQ(reports, (std::vector<std::pair<VoiceMs, int>>{{0, 0}, {100, 40}, {200, 40}, {300, 40}}));
    EXPECT_TRUE(r.Stop());
    EXPECT_FALSE(r.Stop()) << "a stopped source reports its 0 once";
}
