// The shared movie's state and position reach the shared-movie view; the sharer's own echo does not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/media/MediaShareFeature.h"

namespace
{
struct RecordedShare : IMediaShareView
{
    std::vector<std::string> calls;
    void OnShareVideoState(bool bPlaying) override { calls.push_back(bPlaying ? "playing" : "stopped"); }
    void OnSharePosition(uint32_t dwPositionMs) override
    {
        calls.push_back("at " + std::to_string(dwPositionMs));
    }
};
} // namespace

TEST(MediaShareFeature, AnotherMembersShareReachesTheView)
{
    constexpr uint16_t kMe = 3;
    struct
    {
        uint16_t wSharer;
        uint16_t wState;
        std::vector<std::string> calls;
    } cases[] = {
        {7, 1, {"playing"}},
        {7, 2, {"playing"}}, // paused still shows the movie
        {7, 0, {"stopped"}},
        {kMe, 1, {}},
    };
    for (const auto& c : cases)
    {
        RecordedShare view;
        CRoomState room;
        room.wMyChannel = kMe;
        CMediaShareFeature share(room, view);
        share.OnState(QNMediaShareState{c.wSharer, c.wState});
        EXPECT_EQ(c.calls, view.calls) << c.wSharer << "/" << c.wState;
    }

    RecordedShare view;
    CRoomState room;
    CMediaShareFeature share(room, view);
    share.OnPosition(QNMediaSharePosition{kMe, 61500});
    EXPECT_EQ(std::vector<std::string>{"at 61500"}, view.calls);
}
