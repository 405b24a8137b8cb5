// The room's media-share record: another member's record and state reach the tool bar as
// notices 9 and 8, the local sharer's echo does not, and the sharer leaving ends the share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/media/MediaShareFeature.h"

namespace
{
constexpr uint16_t kMyChannel = 3, kMyIndex = 30, kCarolChannel = 5, kCarolIndex = 50;

struct RecordedShare : IMediaShareView, IMediaShareSender
{
    std::vector<std::string> calls;
    void OnShareNotice(int nNotice, uint32_t lParam) override
    {
        calls.push_back("notice " + std::to_string(nNotice) + "/" + std::to_string(lParam));
    }
    void SendMediaShareRecord(const QNMediaShareRecord& r) override
    {
        calls.push_back("564 " + std::to_string(r.wSharer));
    }
    void SendMediaShareState(uint32_t dwFlags) override { calls.push_back("566 " + std::to_string(dwFlags)); }
};

struct Fixture
{
    RecordedShare out;
    CRoomState room;
    uint16_t wMyIndex = kMyIndex;
    CMediaShareFeature share{room, wMyIndex, out, out};
    Fixture() { room.wMyChannel = kMyChannel; }

    void Record(uint16_t wSub, const QNMediaShareRecord& r)
    {
        QNPacketDesc d;
        d.wSub = wSub;
        share.OnRecord(565, d, r);
    }
    void State(uint16_t wSub, uint32_t dwFlags)
    {
        QNPacketDesc d;
        d.wSub = wSub;
        share.OnState(567, d, dwFlags);
    }
};

QNMediaShareRecord CarolsFile()
{
    QNMediaShareRecord r;
    r.wSharer = kCarolIndex;
    r.wLength = 7200;
    r.szPath = u"MOVIE.MP4";
    r.SetVolume(50);
    return r;
}
} // namespace

TEST(MediaShareFeature, AnotherMembersRecordAndStateAreKeptAndNoticed)
{
    Fixture f;
    f.Record(kCarolChannel, CarolsFile());
    f.State(kCarolChannel, (2u << 2) | (3725u << 4) | (80u << 20));
    EXPECT_EQ((std::vector<std::string>{"notice 9/0", "notice 8/0"}), f.out.calls);
    EXPECT_EQ(u"MOVIE.MP4", f.share.Record().szPath);
    EXPECT_EQ(3725u, f.share.Record().Position());
    EXPECT_TRUE(f.share.Record().Playing());
    EXPECT_EQ(80u, f.share.Record().Volume());
    EXPECT_EQ(7200u, f.share.Record().wLength) << "a state keeps the file's length and name";
    EXPECT_FALSE(f.share.IsLocalSharer());

    // Someone else leaving changes nothing; the sharer leaving resets the record (notice 0).
    f.out.calls.clear();
    f.share.OnMemberLeft(7);
    EXPECT_TRUE(f.out.calls.empty());
    f.share.OnMemberLeft(kCarolChannel);
    EXPECT_EQ((std::vector<std::string>{"notice 0/0"}), f.out.calls);
    EXPECT_EQ(kNoIndex, f.share.Record().wSharer);
    EXPECT_TRUE(f.share.Record().szPath.empty());
    EXPECT_TRUE(f.share.Record().HasVideo());
    f.share.OnMemberLeft(kCarolChannel);
    EXPECT_EQ(1u, f.out.calls.size()) << "a share ends once";
}

TEST(MediaShareFeature, TheLocalSharersEchoIsIgnoredAndItsRecordIsSent)
{
    Fixture f;
    QNMediaShareRecord mine = CarolsFile();
    mine.wSharer = kMyIndex;
    f.share.Record() = mine;
    f.Record(kCarolChannel, mine); // a stale copy naming the local user
    f.State(kCarolChannel, 0);     // the local user shares: nobody else moves the record
    f.Record(kMyChannel, CarolsFile());
    EXPECT_TRUE(f.out.calls.empty());
    EXPECT_TRUE(f.share.IsLocalSharer());

    f.share.Record().SetPlay(MEDIASHARE_PAUSED);
    f.share.SendRecord();
    f.share.SendState();
    EXPECT_EQ(
        (std::vector<std::string>{"564 30", "566 " + std::to_string((50u << 20) | (MEDIASHARE_PAUSED << 2))}),
        f.out.calls);
}
