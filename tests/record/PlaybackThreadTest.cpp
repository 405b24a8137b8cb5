// Playback on the engine's own thread with the real clock: a fast replay delivers every
// record once, in order, and ends once; stopping halfway returns promptly.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "confclient/network/QNCommands.h"
#include "tests/record/RecordFixture.h"

namespace fs = std::filesystem;

namespace
{
struct RealClockOwner : FakeOwner
{
    uint32_t TickCount() override
    {
        using namespace std::chrono;
        return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
};

class ThreadedRecord : public CRecord
{
public:
    explicit ThreadedRecord(IRecordOwner& owner) : CRecord(owner) {}
    ~ThreadedRecord() override { StopPlay(true); }

    std::vector<uint16_t> Commands()
    {
        std::lock_guard<std::mutex> lock(m);
        return commands;
    }
    std::atomic<int> nEnds{0};

protected:
    void OnPlayFileInfo(uint32_t, uint32_t) override {}
    void OnRecordStatus(int nStatus) override
    {
        if (nStatus == REC_PLAY_END) ++nEnds;
    }
    void PlayPacket(uint16_t wCommand, const uint8_t*, size_t, bool, uint32_t) override
    {
        std::lock_guard<std::mutex> lock(m);
        commands.push_back(wCommand);
    }
    void AddIndexEntry(uint16_t, uint32_t, uint16_t) override {}
    uint32_t FindIndexEntry(uint16_t, uint16_t) override { return 0xFFFFFFFFu; }

private:
    std::mutex m;
    std::vector<uint16_t> commands;
};

// A recording of 100 records, one every 100 ms (ten seconds).
void MakeRecording(const fs::path& folder, const fs::path& file, std::vector<uint16_t>& sent)
{
    FakeOwner owner; // its clock is the test's
    owner.temp = folder;
    owner.meeting.clear();
    ManualTimer timer;
    TestRecord rec(owner, timer, nullptr);
    ASSERT_EQ(1, rec.StartRecord(file, 0));
    const uint16_t kCommands[] = {INFO_CONF_CHAT, INFO_CONF_AVSTATE, DAT_BOARD_ROOM, DAT_VIDEO_FRAME};
    for (int i = 0; i < 100; ++i)
    {
        owner.dwTick = 1000 + 100 * i;
        uint8_t p[3] = {0, 0, uint8_t(i)};
        rec.RecordPacket(kCommands[i % 4], p, sizeof p, true);
        sent.push_back(kCommands[i % 4]);
    }
    owner.dwTick = 1000 + 100 * 100;
    rec.StopRecord(REC_SUCCESS);
}
} // namespace

TEST(PlaybackOnItsThread, FastReplayDeliversEverythingOnceAndEndsOnce)
{
    ScratchDir dir;
    RealClockOwner owner;
    owner.temp = dir.Path();
    owner.skinBase = dir.Path() / "prog";
    owner.meeting.clear();
    fs::path file = dir.Path() / "m.qn";
    std::vector<uint16_t> sent;
    MakeRecording(dir.Path(), file, sent);

    owner.dSpeed = 100; // ten seconds in about a tenth of one
    ThreadedRecord rec(owner);
    ASSERT_EQ(1, rec.OpenPlayFile(file));
    for (int i = 0; i < 5000 && rec.nEnds == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(1, rec.nEnds.load());
    EXPECT_EQ(sent, rec.Commands());
    EXPECT_FALSE(rec.IsPlaying());

    owner.dSpeed = 1; // ten seconds: stopped long before the end
    ThreadedRecord slow(owner);
    ASSERT_EQ(1, slow.OpenPlayFile(file));
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    auto t0 = std::chrono::steady_clock::now();
    slow.StopPlay(true);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
    size_t nPlayed = slow.Commands().size();
    EXPECT_GE(nPlayed, 1u);
    EXPECT_LT(nPlayed, 100u);
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    EXPECT_EQ(nPlayed, slow.Commands().size());
    EXPECT_EQ(0, slow.nEnds.load());
}
