// Playing recordings: order and timing, speed, pause, seek with and without the index,
// the end and error ends, embedded files written back safely, and refused files.
#include <gtest/gtest.h>

#include <cstring>

#include "core/ByteWriter.h"
#include "tests/record/RecordFixture.h"

namespace fs = std::filesystem;

namespace
{
struct SFrame
{
    uint32_t dwAt;
    uint16_t wCommand;
    uint16_t wChannel;
    bool bKey;
};

// A meeting of four seconds: chat and rights (state), two video channels with key
// frames, voice. Each payload is (channel, serial) so that records can be told apart.
const SFrame kMeeting[] = {
    {0, 460, 0, false},     {500, 2010, 3, true},  {540, 2010, 3, false},  {600, 1000, 0, false},
    {1000, 411, 0, false},  {2500, 2010, 3, true}, {2540, 2010, 3, false}, {2600, 2010, 5, true},
    {2700, 2010, 5, false}, {3000, 460, 0, false}, {3040, 2010, 3, false},
};

std::vector<uint8_t> FramePayload(size_t i)
{
    return {uint8_t(kMeeting[i].wChannel), 0, uint8_t(i)};
}

// Builds a recording by hand, for layouts the writer never makes.
struct RawRecording
{
    explicit RawRecording(uint16_t wVersion, uint16_t wSkins = 0)
    {
        ByteWriter w(bytes);
        w.U16(wVersion).U32(1).U32(2).U32(0);
        if (wVersion >= 5381) w.U16(wSkins);
        if ((wVersion >= 5427 && wVersion <= 5431) || (wVersion >= 5500 && wVersion <= 5501)) w.U16(0);
    }
    RawRecording& Add(uint32_t dwTime, uint16_t wCommand, const std::vector<uint8_t>& payload)
    {
        ByteWriter(bytes)
            .U32(dwTime)
            .U16(wCommand)
            .U32(uint32_t(payload.size()))
            .Bytes(payload.data(), payload.size());
        return *this;
    }
    static std::vector<uint8_t> Embedded(std::u16string_view name, std::vector<uint8_t> data)
    {
        std::vector<uint8_t> p = BuildEmbeddedName(name);
        p.insert(p.end(), data.begin(), data.end());
        return p;
    }
    std::vector<uint8_t> bytes;
};

struct Playback : ::testing::Test
{
    ScratchDir dir;
    FakeOwner owner;
    ManualTimer timer;
    LogLines log;
    fs::path file;
    std::unique_ptr<TestRecord> rec;

    void SetUp() override
    {
        owner.temp = dir.Path() / "tmp";
        owner.skinBase = dir.Path() / "prog";
        fs::create_directories(owner.temp);
        file = dir.Path() / "meeting.qn";
        rec = std::make_unique<TestRecord>(owner, timer, &log);
    }

    void RecordMeeting()
    {
        ASSERT_EQ(1, rec->StartRecord(file, 0));
        for (size_t i = 0; i < std::size(kMeeting); ++i)
        {
            owner.dwTick = 1000 + kMeeting[i].dwAt;
            std::vector<uint8_t> p = FramePayload(i);
            rec->RecordPacket(kMeeting[i].wCommand, p.data(), p.size(), kMeeting[i].bKey);
        }
        owner.dwTick = 5000;
        rec->StopRecord(REC_SUCCESS);
    }

    // Serials of the played records, with the seeking ones marked by a leading 's'.
    std::vector<std::string> Played()
    {
        std::vector<std::string> out;
        for (const SPlayed& p : rec->played)
        {
            std::string s = p.bSeeking ? "s" : "";
            s += std::to_string(p.payload.size() == 3 ? p.payload[2] : 99);
            out.push_back(s);
        }
        rec->played.clear();
        return out;
    }

    void RunTo(uint32_t dwTick)
    {
        owner.dwTick = dwTick;
        timer.Fire();
    }
};

using Serials = std::vector<std::string>;
} // namespace

TEST_F(Playback, PlaysEveryRecordOnTheClockAndReportsTheEndOnce)
{
    RecordMeeting();
    owner.dwTick = 10000;
    ASSERT_EQ(1, rec->OpenPlayFile(file));
    EXPECT_EQ(1u, rec->fileInfo.size());
    EXPECT_EQ(u"Weekly", rec->PlayedMeetingName());
    EXPECT_TRUE(timer.bRunning);
    EXPECT_EQ(40u, timer.nPeriod);
    EXPECT_EQ(Serials{"0"}, Played());
    RunTo(10539);
    EXPECT_EQ(Serials{"1"}, Played());
    RunTo(10540);
    EXPECT_EQ(Serials{"2"}, Played());
    EXPECT_EQ(540u, owner.clocks.back());
    RunTo(13040);
    EXPECT_EQ((Serials{"3", "4", "5", "6", "7", "8", "9", "10"}), Played());
    EXPECT_TRUE(rec->statuses.empty());
    RunTo(20000);
    EXPECT_EQ(std::vector<int>{REC_PLAY_END}, rec->statuses);
    EXPECT_FALSE(timer.bRunning);
    EXPECT_FALSE(rec->IsPlaying());
    timer.bRunning = true; // a tick that was already on its way
    RunTo(21000);
    EXPECT_EQ(std::vector<int>{REC_PLAY_END}, rec->statuses);
}

TEST_F(Playback, SpeedFactorSetsPeriodAndClock)
{
    struct
    {
        double dSpeed;
        uint32_t nPeriod;
    } periods[] = {{1, 40}, {2, 20}, {0, 40}, {-3, 40}, {100, 1}, {1000, 1}, {0.5, 80}};
    for (auto c : periods)
        EXPECT_EQ(c.nPeriod, CRecord::PlayPeriod(c.dSpeed)) << c.dSpeed;

    RecordMeeting();
    owner.dSpeed = 2;
    owner.dwTick = 10000;
    ASSERT_EQ(1, rec->OpenPlayFile(file));
    EXPECT_EQ(20u, timer.nPeriod);
    Played();
    RunTo(10270); // 540 ms of the recording
    EXPECT_EQ((Serials{"1", "2"}), Played());
    EXPECT_EQ(540u, rec->PlayTime());
}

TEST_F(Playback, PauseOfTenSecondsResumesAtTheSamePlayTime)
{
    RecordMeeting();
    owner.dwTick = 10000;
    ASSERT_EQ(1, rec->OpenPlayFile(file));
    RunTo(11200);
    EXPECT_EQ((Serials{"0", "1", "2", "3", "4"}), Played());
    rec->PausePlay(true);
    EXPECT_FALSE(timer.bRunning);
    owner.dwTick += 10000;
    EXPECT_EQ(1200u, rec->PlayTime());
    rec->PausePlay(false);
    EXPECT_TRUE(timer.bRunning);
    EXPECT_EQ(1200u, rec->PlayTime());
    timer.Fire();
    EXPECT_TRUE(Played().empty());
    RunTo(owner.dwTick + 1300);
    EXPECT_EQ(Serials{"5"}, Played());
}

TEST_F(Playback, SeekReplaysStateAndMediaFromEachChannelsKeyFrame)
{
    RecordMeeting();
    owner.dwTick = 10000;
    ASSERT_EQ(1, rec->OpenPlayFile(file));
    Played();
    rec->SeekPlay(true, 3);
    // State before 3 s from the index; channel 3 from its key frame at 2.5 s, channel 5
    // from its key frame at 2.6 s; no voice, nothing from the earlier group of pictures.
    EXPECT_EQ((Serials{"s0", "s4", "s5", "s6", "s7", "s8"}), Played());
    EXPECT_EQ(3000u, rec->PlayTime());
    timer.Fire();
    EXPECT_EQ(Serials{"9"}, Played());
    RunTo(10040);
    EXPECT_EQ(Serials{"10"}, Played());

    rec->SeekPlay(false, 2);
    EXPECT_EQ((Serials{"s0", "s4"}), Played());
    RunTo(10580);
    EXPECT_EQ((Serials{"5", "6"}), Played());
}

TEST_F(Playback, SeekToZeroReplaysTheStateAtTimeZeroAndNoMedia)
{
    RecordMeeting();
    owner.dwTick = 10000;
    ASSERT_EQ(1, rec->OpenPlayFile(file));
    RunTo(13500);
    Played();
    rec->SeekPlay(true, 0);
    EXPECT_TRUE(Played().empty());
    timer.Fire();
    EXPECT_EQ(Serials{"0"}, Played());
    RunTo(owner.dwTick + 500);
    EXPECT_EQ(Serials{"1"}, Played());
}

TEST_F(Playback, RecordingOfAnotherMeetingIsRefused)
{
    RecordMeeting();
    owner.meeting = u"Monthly";
    EXPECT_EQ(REC_OTHER_MEETING, rec->OpenPlayFile(file));
    EXPECT_EQ(std::vector<int>{REC_OTHER_MEETING}, rec->statuses);
    EXPECT_TRUE(Played().empty());
    EXPECT_FALSE(rec->IsPlaying());
    EXPECT_FALSE(timer.bRunning);

    owner.meeting.clear(); // no meeting open: the recording's own is taken
    EXPECT_EQ(1, rec->OpenPlayFile(file));
    EXPECT_EQ(u"Weekly", rec->PlayedMeetingName());
}

TEST_F(Playback, TruncatedRecordingEndsWithTheErrorStatus)
{
    RecordMeeting();
    std::vector<uint8_t> bytes = ReadFileBytes(file);
    // Cut inside the sixth record (the key frame at 2.5 s): the index offset now lies beyond the file.
    CRecordFileReader reader;
    ASSERT_EQ(1, reader.Open(file));
    SRecordHead head;
    for (int i = 0; i < 5;)
    {
        reader.ReadHead(head);
        reader.SkipPayload(head.dwLength);
        if (head.wCommand != REC_MEETING_NAME) ++i;
    }
    size_t nCut = size_t(reader.Position()) + 12;
    reader.Close();
    bytes.resize(nCut);
    WriteFileBytes(file, bytes);

    owner.dwTick = 10000;
    ASSERT_EQ(1, rec->OpenPlayFile(file));
    RunTo(20000);
    EXPECT_EQ((Serials{"0", "1", "2", "3", "4"}), Played());
    EXPECT_EQ(std::vector<int>{REC_PLAY_BROKEN}, rec->statuses);
}

TEST_F(Playback, NeverClosedRecordingPlaysToTheEndAndSeeksByTheIndexBuiltOnOpening)
{
    RecordMeeting();
    // What a crash leaves: index offset 0, no terminator, no index.
    std::vector<uint8_t> bytes = ReadFileBytes(file);
    uint32_t dwIndex = bytes[10] | bytes[11] << 8 | bytes[12] << 16 | uint32_t(bytes[13]) << 24;
    bytes.resize(dwIndex - kRecordHeadSize);
    std::memset(bytes.data() + 10, 0, 4);
    WriteFileBytes(file, bytes);

    owner.dwTick = 10000;
    ASSERT_EQ(1, rec->OpenPlayFile(file));
    Played();
    rec->SeekPlay(true, 3);
    EXPECT_EQ((Serials{"s0", "s4"}), Played()); // state only: key frames are unknown without the index
    RunTo(20000);
    EXPECT_EQ((Serials{"9", "10"}), Played());
    EXPECT_EQ(std::vector<int>{REC_PLAY_END}, rec->statuses);

    // An index offset beyond the file is treated the same way.
    uint32_t dwFar = uint32_t(bytes.size() + 100);
    for (int i = 0; i < 4; ++i)
        bytes[10 + i] = uint8_t(dwFar >> (8 * i));
    WriteFileBytes(file, bytes);
    ASSERT_EQ(1, rec->OpenPlayFile(file));
    RunTo(owner.dwTick + 10000);
    EXPECT_EQ(11u, Played().size());
}

TEST_F(Playback, EmbeddedFilesAreWrittenBackOnlyUnderSafeNames)
{
    fs::path agenda = owner.temp / "LMBoard" / "Agenda" / "Meeting7";
    RawRecording raw(kRecordFileVersion, 1);
    raw.Add(0, 3010, RawRecording::Embedded(u"plan.pdf", {1, 2, 3}))
        .Add(0, 3010, RawRecording::Embedded(u"\ud68c\uc758 \u00e9t\u00e9.doc", {4}))
        .Add(0, 3010, RawRecording::Embedded(u"../../escape.txt", {6}))
        .Add(0, 3010, RawRecording::Embedded(u"C:escape.txt", {6}))
        .Add(0, 3011, RawRecording::Embedded(u"back.bmp", {7, 7}))
        .Add(0, 3011, RawRecording::Embedded(u"..\\escape.bmp", {6}))
        .Add(0, 3012, BuildMeetingName(u"Weekly"))
        .Add(0, 460, {0, 0, 42})
        .Add(5000, 411, {0, 0, 43});
    WriteFileBytes(file, raw.bytes);

    ASSERT_EQ(1, rec->OpenPlayFile(file));
    EXPECT_EQ(std::vector<uint8_t>({1, 2, 3}), ReadFileBytes(agenda / "plan.pdf"));
    EXPECT_EQ(std::vector<uint8_t>({4}), ReadFileBytes(agenda / fs::path(u"\ud68c\uc758 \u00e9t\u00e9.doc")));
    EXPECT_EQ(std::vector<uint8_t>({7, 7}), ReadFileBytes(owner.skinBase / "skinplay" / "back.bmp"));
    EXPECT_EQ(owner.skinBase / "skinplay", rec->PlaySkinFolder());
    EXPECT_EQ(u"plan", rec->PlayedAgendaTitle());
    for (const auto& e : fs::recursive_directory_iterator(dir.Path()))
        EXPECT_EQ(std::string::npos, e.path().filename().string().find("escape")) << e.path();
    EXPECT_EQ(3u, log.lines.size());
    EXPECT_EQ(Serials{"42"}, Played()); // embedded records never reach the inbound path
}

TEST_F(Playback, OldRecordingWithAnsiNamesAndShortHeader)
{
    std::vector<uint8_t> agendaPayload(34, 0); // 32-byte ANSI name, then the file
    std::memcpy(agendaPayload.data(), "old.ppt", 7);
    agendaPayload[32] = 5;
    agendaPayload[33] = 6;
    RawRecording raw(5300);
    raw.Add(0, 3010, agendaPayload)
        .Add(0, 3011, std::vector<uint8_t>(70, 1))
        .Add(0, 460, {0, 0, 1})
        .Add(50, 411, {0, 0, 2});
    WriteFileBytes(file, raw.bytes);

    owner.dwTick = 100;
    ASSERT_EQ(1, rec->OpenPlayFile(file));
    EXPECT_TRUE(rec->IsOldRecording());
    EXPECT_EQ(std::vector<uint8_t>({5, 6}),
              ReadFileBytes(owner.temp / "LMBoard" / "Agenda" / "Meeting7" / "old.ppt"));
    EXPECT_FALSE(fs::exists(owner.skinBase / "skinplay")); // no skin count before 5381
    RunTo(200);
    EXPECT_EQ((Serials{"1", "2"}), Played());
}

TEST_F(Playback, FilesThatCannotBePlayed)
{
    struct
    {
        const char* what;
        std::vector<uint8_t> bytes;
        int nStatus;
    } cases[] = {
        {"version too old", RawRecording(5202).Add(0, 460, {1}).bytes, REC_TOO_OLD},
        {"header cut short", {0xE1, 0x15, 1, 2}, REC_ERROR},
        {"agenda shorter than its name field",
         RawRecording(5600).Add(0, 3010, std::vector<uint8_t>(10)).bytes, REC_ERROR},
        {"agenda longer than the file",
         []
         {
             auto b = RawRecording(5600).Add(0, 3010, std::vector<uint8_t>(80)).bytes;
             b.resize(b.size() - 1);
             return b;
         }(),
         REC_ERROR},
    };
    for (auto& c : cases)
    {
        rec->statuses.clear();
        WriteFileBytes(file, c.bytes);
        EXPECT_EQ(c.nStatus, rec->OpenPlayFile(file)) << c.what;
        EXPECT_EQ(std::vector<int>{c.nStatus}, rec->statuses) << c.what;
        EXPECT_FALSE(rec->IsPlaying()) << c.what;
    }
    rec->statuses.clear();
    EXPECT_EQ(REC_CANNOT_OPEN, rec->OpenPlayFile(dir.Path() / "missing.qn"));
    EXPECT_EQ(0, rec->OpenPlayFile(fs::path()));
    EXPECT_EQ(std::vector<int>{REC_CANNOT_OPEN}, rec->statuses);
}
