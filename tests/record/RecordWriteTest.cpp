// Recording a conference: the file's bytes, the index, embedded files, the size limit,
// records from several threads, and the refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "confclient/network/record/RecordReader.h"
#include "core/ByteReader.h"
#include "tests/record/RecordFixture.h"

namespace fs = std::filesystem;

namespace
{
struct RecordWrite : ::testing::Test
{
    ScratchDir dir;
    FakeOwner owner;
    ManualTimer timer;
    LogLines log;
    fs::path file;

    void SetUp() override
    {
        owner.temp = dir.Path() / "tmp";
        owner.skinBase = dir.Path() / "prog";
        fs::create_directories(owner.temp);
        file = dir.Path() / "meeting.qn";
    }

    std::vector<SIndexEntry> IndexOf(const std::vector<uint8_t>& bytes)
    {
        ByteReader r(bytes.data(), bytes.size());
        r.Skip(10);
        uint32_t dwOffset = r.U32();
        std::vector<SIndexEntry> entries;
        for (size_t p = dwOffset; p + kIndexEntrySize <= bytes.size(); p += kIndexEntrySize)
            entries.push_back(ParseIndexEntry(bytes.data() + p));
        return entries;
    }
};

std::vector<uint8_t> Payload(uint16_t wChannel, size_t n)
{
    std::vector<uint8_t> p(n, 0x5A);
    p[0] = static_cast<uint8_t>(wChannel);
    p[1] = static_cast<uint8_t>(wChannel >> 8);
    return p;
}
} // namespace

TEST_F(RecordWrite, ClosedAtOnceHoldsHeaderEmbeddedTerminatorAndOneEntry)
{
    fs::create_directories(owner.temp / "LMBoard" / "Agenda" / "Meeting7");
    WriteFileBytes(owner.temp / "LMBoard" / "Agenda" / "Meeting7" / "plan.pdf", {1, 2, 3});
    fs::create_directories(owner.skinBase / "skin");
    WriteFileBytes(owner.skinBase / "skin" / "back.bmp", {9, 9});
    WriteFileBytes(owner.skinBase / "skin" / "Thumbs.db", {0});
    fs::create_directories(owner.skinBase / "skin" / "sub");

    TestRecord rec(owner, timer, &log);
    ASSERT_EQ(1, rec.StartRecord(file, 0));
    EXPECT_EQ(1, rec.GetRecordState());
    owner.dwTick += 250;
    owner.dwWall += 1;
    rec.StopRecord(REC_SUCCESS);
    EXPECT_EQ(0, rec.GetRecordState());
    EXPECT_FALSE(fs::exists(owner.temp / "QNRecordIndex" / "QNRecordIndexFile"));

    std::vector<uint8_t> bytes = ReadFileBytes(file);
    ByteReader r(bytes.data(), bytes.size());
    EXPECT_EQ(kRecordFileVersion, r.U16());
    EXPECT_EQ(1700000000u, r.U32());
    EXPECT_EQ(1700000001u, r.U32());
    uint32_t dwIndexOffset = r.U32();
    EXPECT_EQ(1u, r.U16()); // one skin file; Thumbs.db and folders are left out

    // Agenda file, skin file, meeting name, each at time 0 and with no index entry.
    struct
    {
        uint16_t wCommand;
        size_t nLen;
    } expected[] = {{3010, 67}, {3011, 66}, {3012, 14}};
    for (auto e : expected)
    {
        EXPECT_EQ(0u, r.U32());
        EXPECT_EQ(e.wCommand, r.U16());
        EXPECT_EQ(e.nLen, r.U32());
        r.Skip(e.nLen);
    }
    size_t nTerminator = r.Offset();
    EXPECT_EQ(250u, r.U32());
    EXPECT_EQ(0u, r.U16());
    EXPECT_EQ(0u, r.U32());
    ASSERT_TRUE(r.Ok());
    EXPECT_EQ(r.Offset(), dwIndexOffset);
    EXPECT_EQ(dwIndexOffset + kIndexEntrySize, bytes.size());
    SIndexEntry e = ParseIndexEntry(bytes.data() + dwIndexOffset);
    EXPECT_EQ(250u, e.dwTime);
    EXPECT_EQ(nTerminator, e.dwPosition);
    EXPECT_EQ(0u, e.wCommand);
    EXPECT_EQ(65535u, e.wSub);
}

TEST_F(RecordWrite, RecordsAndTheirIndexEntries)
{
    TestRecord rec(owner, timer, &log);
    owner.meeting.clear();
    ASSERT_EQ(1, rec.StartRecord(file, 0));
    struct
    {
        uint32_t dwAt;
        uint16_t wCommand;
        uint16_t wChannel;
        bool bKey;
    } frames[] = {{0, 460, 0, false},   {100, 1000, 0, true}, {200, 2010, 3, false},
                  {300, 2010, 3, true}, {400, 2020, 0, true}, {500, 2201, 9, true},
                  {600, 331, 0, false}, {700, 2000, 4, true}, {800, 3000, 0, false}};
    for (auto f : frames)
    {
        owner.dwTick = 1000 + f.dwAt;
        std::vector<uint8_t> p = Payload(f.wChannel, 6);
        rec.RecordPacket(f.wCommand, p.data(), p.size(), f.bKey);
    }
    owner.dwTick = 2000;
    rec.StopRecord(REC_SUCCESS);
    EXPECT_TRUE(rec.statuses.empty());

    std::vector<uint8_t> bytes = ReadFileBytes(file);
    std::vector<SIndexEntry> index = IndexOf(bytes);
    struct
    {
        uint32_t dwTime;
        uint16_t wCommand, wSub;
    } want[] = {{0, 460, 65535}, {300, 2010, 3},     {400, 2020, 65535},
                {500, 2201, 9},  {800, 3000, 65535}, {1000, 0, 65535}};
    ASSERT_EQ(std::size(want), index.size());
    for (size_t i = 0; i < index.size(); ++i)
    {
        EXPECT_EQ(want[i].dwTime, index[i].dwTime) << i;
        EXPECT_EQ(want[i].wCommand, index[i].wCommand) << i;
        EXPECT_EQ(want[i].wSub, index[i].wSub) << i;
        SRecordHead h = ParseRecordHead(bytes.data() + index[i].dwPosition);
        EXPECT_EQ(want[i].dwTime, h.dwTime) << i;
        EXPECT_EQ(want[i].wCommand, h.wCommand) << i;
    }
    // 331 and 2000 are not recordable; 1000 and the non-key 2010 are recorded without an entry.
    CRecordFileReader reader;
    ASSERT_EQ(1, reader.Open(file));
    std::vector<uint16_t> commands;
    SRecordHead head;
    while (reader.ReadHead(head) == CRecordFileReader::Next::Record)
    {
        commands.push_back(head.wCommand);
        reader.SkipPayload(head.dwLength);
    }
    EXPECT_EQ((std::vector<uint16_t>{460, 1000, 2010, 2010, 2020, 2201, 3000}), commands);
}

TEST_F(RecordWrite, SizeLimitReportsOnceThenDropsButStillCloses)
{
    TestRecord rec(owner, timer, &log, 200);
    owner.meeting.clear();
    ASSERT_EQ(1, rec.StartRecord(file, 0));
    std::vector<uint8_t> p = Payload(0, 50);
    for (int i = 0; i < 8; ++i)
        rec.RecordPacket(460, p.data(), p.size(), false);
    EXPECT_EQ(std::vector<int>{REC_SIZE_LIMIT}, rec.statuses);
    rec.StopRecord(REC_SUCCESS);

    // Records start at 16, 76, 136, 196, 256: once the last written one began at or past
    // the limit, one more is written (reporting the limit) and the rest are dropped.
    CRecordFileReader reader;
    ASSERT_EQ(1, reader.Open(file));
    int nRecords = 0;
    SRecordHead head;
    while (reader.ReadHead(head) == CRecordFileReader::Next::Record)
    {
        ++nRecords;
        reader.SkipPayload(head.dwLength);
    }
    EXPECT_EQ(6, nRecords);
    EXPECT_TRUE(reader.HasIndex());
}

TEST_F(RecordWrite, RefusalsAndTheStatusOfAWriteWithoutRecording)
{
    TestRecord rec(owner, timer, &log);
    uint8_t b = 0;
    EXPECT_EQ(REC_ERROR, rec.WriteRecord(&b, 1, 460, false));
    rec.RecordPacket(460, &b, 1, false); // not recording: nothing, no status
    EXPECT_TRUE(rec.statuses.empty());

    EXPECT_EQ(0, rec.StartRecord(file, 1)); // video recording of the room is not available
    EXPECT_EQ(std::vector<int>{REC_ERROR}, rec.statuses);
    EXPECT_FALSE(fs::exists(file));

    EXPECT_EQ(0, rec.StartRecord(dir.Path() / "no" / "such" / "folder.qn", 0));
    EXPECT_EQ(0, rec.GetRecordState());

    ASSERT_EQ(1, rec.StartRecord(file, 0));
    EXPECT_EQ(REC_ERROR, rec.WriteRecord(&b, -1, 460, false));
    EXPECT_EQ(REC_SUCCESS, rec.WriteRecord(&b, 1, 460, false));
}

TEST_F(RecordWrite, RecordsFromManyThreadsStayWhole)
{
    TestRecord rec(owner, timer, &log);
    owner.meeting.clear();
    ASSERT_EQ(1, rec.StartRecord(file, 0));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(
            [&rec, t]
            {
                std::vector<uint8_t> p = Payload(uint16_t(t), 100 + t);
                for (int i = 0; i < 500; ++i)
                    rec.RecordPacket(2010, p.data(), p.size(), i % 10 == 0);
            });
    for (auto& t : threads)
        t.join();
    rec.StopRecord(REC_SUCCESS);

    CRecordFileReader reader;
    ASSERT_EQ(1, reader.Open(file));
    int nRecords = 0;
    SRecordHead head;
    std::vector<uint8_t> payload;
    while (reader.ReadHead(head) == CRecordFileReader::Next::Record)
    {
        ASSERT_TRUE(reader.ReadPayload(payload, head.dwLength));
        ASSERT_EQ(100u + payload[0], payload.size());
        ++nRecords;
    }
    EXPECT_EQ(2000, nRecords);
    EXPECT_EQ(201u, IndexOf(ReadFileBytes(file)).size());
}
