// Seeking in an hour-long recording that was never closed (a crash: no terminator, no
// index, perhaps a record cut short) lands on the same records as in the same recording
// closed normally: the index built on opening stands in for the appended one.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "confclient/network/QNCommands.h"
#include "tests/record/RecordFixture.h"

namespace fs = std::filesystem;

namespace
{
// What one seek gave: the records replayed while seeking, the records played in the
// second after it, and the statuses reported.
struct SSeekResult
{
    std::vector<std::tuple<uint16_t, uint32_t, bool>> played; // command, position, seeking
    std::vector<int> statuses;
    bool operator==(const SSeekResult&) const = default;
};

struct NeverClosedSeek : ::testing::Test
{
    ScratchDir dir;
    FakeOwner owner;
    ManualTimer timer;
    fs::path closed, neverClosed, cutShort;
    uint64_t nTerminatorPos = 0;

    void SetUp() override
    {
        owner.temp = dir.Path() / "tmp";
        owner.skinBase = dir.Path() / "prog";
        fs::create_directories(owner.temp);
        closed = dir.Path() / "closed.qn";
        neverClosed = dir.Path() / "never.qn";
        cutShort = dir.Path() / "cut.qn";
        RecordHour();
        std::vector<uint8_t> bytes = ReadFileBytes(closed);
        uint32_t dwIndex = bytes[10] | bytes[11] << 8 | bytes[12] << 16 | uint32_t(bytes[13]) << 24;
        // What a crash leaves: index offset 0, no terminator, no index.
        bytes.resize(dwIndex - kRecordHeadSize);
        std::memset(bytes.data() + 10, 0, 4);
        WriteFileBytes(neverClosed, bytes);
        // And with the last record cut in its payload.
        bytes.resize(bytes.size() - 2);
        WriteFileBytes(cutShort, bytes);
    }

    // One hour of a meeting: two cameras at 16 pictures a second (a key frame every 6 s),
    // voice 50 times a second, a chat line every 5 s and a rights change every minute.
    void RecordHour()
    {
        TestRecord rec(owner, timer, nullptr);
        owner.dwTick = 1000;
        ASSERT_EQ(1, rec.StartRecord(closed, 0));
        for (uint32_t ms = 0; ms < 3600 * 1000; ms += 20)
        {
            owner.dwTick = 1000 + ms;
            uint8_t voice[3] = {0, 0, uint8_t(ms)};
            rec.RecordPacket(1000, voice, sizeof voice, false);
            if (ms % 60 == 0)
                for (uint8_t ch : {3, 5})
                {
                    uint8_t pic[3] = {ch, 0, uint8_t(ms)};
                    rec.RecordPacket(2010, pic, sizeof pic, ms % 6000 == 0);
                }
            if (ms % 5000 == 0)
            {
                uint8_t chat[3] = {0, 0, uint8_t(ms / 5000)};
                rec.RecordPacket(460, chat, sizeof chat, false);
            }
            if (ms % 60000 == 40)
            {
                uint8_t rights[3] = {1, 0, uint8_t(ms / 60000)};
                rec.RecordPacket(411, rights, sizeof rights, false);
            }
        }
        owner.dwTick = 1000 + 3600 * 1000;
        rec.StopRecord(REC_SUCCESS);
    }

    SSeekResult Seek(const fs::path& file, bool bKeyFrame, uint32_t nSeconds)
    {
        TestRecord rec(owner, timer, nullptr);
        owner.dwTick = 50000;
        EXPECT_EQ(1, rec.OpenPlayFile(file)) << file;
        rec.played.clear();
        rec.SeekPlay(bKeyFrame, nSeconds);
        owner.dwTick += 1000;
        timer.Fire();
        SSeekResult r;
        r.statuses = rec.statuses;
        for (const SPlayed& p : rec.played)
            // Only a recording closed normally marks key frames: its media replay is its own.
            if (!(p.bSeeking && IsMediaCommand(p.wCommand)))
                r.played.emplace_back(p.wCommand, p.dwPosition, p.bSeeking);
        return r;
    }
};
} // namespace

TEST_F(NeverClosedSeek, LandsOnTheSameRecordsAsTheClosedRecording)
{
    CRecordFileReader reader;
    ASSERT_EQ(1, reader.Open(neverClosed));
    EXPECT_FALSE(reader.HasIndex());
    reader.Close();

    struct
    {
        uint32_t nSeconds;
        bool bCutShortToo; // the cut record is the last one: only seeks well before it agree
    } targets[] = {{0, true}, {1, true}, {600, true}, {1800, true}, {3599, false}, {4000, false}};
    for (auto t : targets)
        for (bool bKeyFrame : {false, true})
        {
            SCOPED_TRACE(::testing::Message() << t.nSeconds << " s, key frames " << bKeyFrame);
            SSeekResult expected = Seek(closed, bKeyFrame, t.nSeconds);
            if (t.nSeconds < 3600)
            {
                EXPECT_FALSE(expected.played.empty());
            }
            EXPECT_EQ(expected, Seek(neverClosed, bKeyFrame, t.nSeconds));
            if (t.bCutShortToo)
            {
                EXPECT_EQ(expected, Seek(cutShort, bKeyFrame, t.nSeconds));
            }
        }
}

TEST_F(NeverClosedSeek, RecordCutShortEndsPlaybackAfterTheLastWholeRecord)
{
    TestRecord rec(owner, timer, nullptr);
    owner.dwTick = 50000;
    ASSERT_EQ(1, rec.OpenPlayFile(cutShort));
    rec.SeekPlay(false, 3599);
    rec.played.clear();
    owner.dwTick += 2000;
    timer.Fire();
    // Everything up to the cut record plays, then playback stops on it.
    ASSERT_FALSE(rec.played.empty());
    EXPECT_EQ(std::vector<int>{REC_PLAY_BROKEN}, rec.statuses);
    TestRecord whole(owner, timer, nullptr);
    ASSERT_EQ(1, whole.OpenPlayFile(neverClosed));
    whole.SeekPlay(false, 3599);
    whole.played.clear();
    owner.dwTick += 2000;
    timer.Fire();
    ASSERT_EQ(rec.played.size() + 1, whole.played.size());
    EXPECT_EQ(std::vector<int>{REC_PLAY_END}, whole.statuses);
}
