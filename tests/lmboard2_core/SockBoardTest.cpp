// The writer's messages and drawing records: what each builder puts where, records
// stored before they are sent, and point records split at the message size.
#include <gtest/gtest.h>

#include "tests/lmboard2_core/BoardTestDir.h"
#include "tests/lmboard2_core/SockBoardFakes.h"

namespace
{
struct SockFixture : ::testing::Test
{
    CBoardTestDir dir;
    CRecordingOwner owner;
    CRecordingStore store;
    CFakeClock clock;
    CSockBoard sock{owner, store, clock, *BoardFolders::Make(dir.path)};

    void SetUp() override { sock.SetCurrentPage(u"Conf_002"); }

    std::vector<uint8_t> Last() { return owner.Sent().back(); }
};

BoardPen Pen()
{
    BoardPen p;
    p.byFluorescent = 1;
    p.dwColor = 0x00D08C19;
    p.byWidth = 5;
    return p;
}
} // namespace

TEST_F(SockFixture, EveryMessageBuilderFillsItsFields)
{
    uint8_t rename[72];
    for (int i = 0; i < 72; ++i)
        rename[i] = static_cast<uint8_t>(i);
    uint8_t order[20] = {9, 9, 9};
    S_BOARD_FILEHDR hdr;
    S_BOARD_FILEHDR::SetText(hdr.szName, u"Conf_007");
    hdr.byKind = PAGE_BLANK;

    struct Case
    {
        std::function<void()> build;
        uint8_t byCode;
        std::u16string name; // checked unless the name area carries numbers
        uint16_t wValue;
        size_t nPayload;
        std::function<void(const std::vector<uint8_t>&)> check;
    };
    auto none = [](const std::vector<uint8_t>&) {};
    Case cases[] = {
        {[&] { sock.SendModeName(u"Capture"); }, 1, u"Capture", 0, 0, none},
        {[&] { sock.SendTransferEnd(); }, 10, u"", 0, 0, none},
        {[&] { sock.SendUploadStart(3, 70000); }, 20, u"\x1", 0, 0,
         [](const std::vector<uint8_t>& b)
         {
             EXPECT_EQ(0u, U32At(b, 8));
             EXPECT_EQ(3u, U32At(b, 12));
             EXPECT_EQ(70000u, U32At(b, 16));
         }},
        {[&] { sock.SendPageHeader(hdr); }, 30, u"Conf_007", 0, 208,
         [](const std::vector<uint8_t>& b) { EXPECT_EQ(PAGE_BLANK, b[72 + 8]); }},
        {[&] { sock.SendPageChunk(u"Conf_007", order, 5); }, 31, u"Conf_007", 0, 5, none},
        {[&] { sock.SendPageComplete(u"Conf_007"); }, 32, u"Conf_007", 0, 0, none},
        {[&] { sock.SendPageDelete(u"Conf_001"); }, 40, u"Conf_001", 0, 0, none},
        {[&] { sock.SendCurrentPage(3); }, 50, u"Conf_002", 3, 0, none},
        {[&] { sock.SendAgendaOrder(u"Conf_004", order, sizeof order); }, 53, u"Conf_004", 0, 20,
         [](const std::vector<uint8_t>& b) { EXPECT_EQ(9, b[74]); }},
        {[&] { sock.SendAgendaName(u"Conf", rename); }, 56, u"Conf", 0, 72,
         [](const std::vector<uint8_t>& b) { EXPECT_EQ(71, b[72 + 71]); }},
        {[&] { sock.SendDownloadAck(4); }, 80, u"\x1", 0, 0,
         [](const std::vector<uint8_t>& b)
         {
             EXPECT_EQ(1u, U32At(b, 8));
             EXPECT_EQ(4u, U32At(b, 12));
         }},
        {[&] { sock.SendZoom(150); }, 81, u"\x96", 0, 0, none},
        {[&] { sock.SendUploadCancel(); }, 82, u"", 0, 0, none},
        {[&] { sock.SendEBookSelection(u"Book", 2, 3, 4); }, 90, u"Book", 0, 16,
         [](const std::vector<uint8_t>& b)
         {
             EXPECT_EQ(2u, U32At(b, 72));
             EXPECT_EQ(3u, U32At(b, 76));
             EXPECT_EQ(4u, U32At(b, 80));
             EXPECT_EQ(0u, U32At(b, 84));
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(int(c.byCode));
        size_t nBefore = owner.Sent().size();
        c.build();
        ASSERT_EQ(nBefore + 1, owner.Sent().size());
        std::vector<uint8_t> b = Last();
        EXPECT_EQ(c.byCode, b[0]);
        EXPECT_EQ(0, b[1]);
        EXPECT_EQ(c.wValue, U16At(b, 2));
        EXPECT_EQ(c.nPayload, U32At(b, 4));
        EXPECT_EQ(72 + c.nPayload, b.size());
        if (c.name != u"\x1")
        {
            EXPECT_EQ(c.name, NameOf(b));
        }
        c.check(b);
    }
    EXPECT_TRUE(store.stored.empty());
}

TEST_F(SockFixture, ModeSentFlagLastsUntilTransferEnd)
{
    EXPECT_FALSE(sock.IsModeSent());
    sock.SendModeName(u"Browser");
    EXPECT_TRUE(sock.IsModeSent());
    sock.SendTransferEnd();
    EXPECT_FALSE(sock.IsModeSent());
}

TEST_F(SockFixture, OversizedAgendaOrderIsNotSent)
{
    std::vector<uint8_t> big(kBoardMsgBuffer, 0);
    EXPECT_FALSE(sock.SendAgendaOrder(u"Conf_001", big.data(), big.size()));
    EXPECT_TRUE(owner.Sent().empty());
}

TEST_F(SockFixture, RecordStartDataIsOneOrTwoHeaders)
{
    std::vector<uint8_t> one = sock.RecordStartData(2, 4096);
    ASSERT_EQ(72u, one.size());
    EXPECT_EQ(50, one[0]);
    EXPECT_EQ(2, U16At(one, 2));
    EXPECT_EQ(0u, U32At(one, 4));
    EXPECT_EQ(u"Conf_002", NameOf(one));

    std::vector<uint8_t> two = sock.RecordStartData(0, 8192);
    ASSERT_EQ(144u, two.size());
    EXPECT_EQ(81, two[72]);
    EXPECT_EQ(8192, U16At(two, 80));

    sock.SetCurrentPage(u"");
    EXPECT_TRUE(sock.RecordStartData(0, 100).empty());
}

TEST_F(SockFixture, LongPenStrokeSplitsAndContinuesFromItsLastPoint)
{
    const int nPoints = 400;
    for (int i = 1; i <= nPoints; ++i)
        sock.AddPenPoint(Pen(), 7, 8, static_cast<uint16_t>(10 + i), static_cast<uint16_t>(20 + i),
                         i == nPoints);

    std::vector<std::vector<uint8_t>> sent = owner.Sent();
    ASSERT_EQ(2u, sent.size());
    ASSERT_EQ(2u, store.stored.size());
    for (size_t m = 0; m < 2; ++m)
    {
        const std::vector<uint8_t>& b = sent[m];
        EXPECT_EQ(60, b[0]);
        EXPECT_EQ(u"Conf_002", NameOf(b));
        EXPECT_LE(b.size(), kBoardMsgMax);
        EXPECT_EQ(b.size() - 72, U32At(b, 4));
        EXPECT_EQ(b.size() - 74, U16At(b, 72)); // record length: type, fields, terminator
        EXPECT_EQ(169, b[74]);
        EXPECT_EQ(13, b.back());
        EXPECT_EQ(std::vector<uint8_t>(b.begin() + 72, b.end()), store.stored[m].record);
        EXPECT_EQ(u"Conf_002", store.stored[m].page);
    }
    // First: x0, y0 and 322 points.
    const std::vector<uint8_t>& a = sent[0];
    EXPECT_EQ(1, a[75]);
    EXPECT_EQ(0x00D08C19u, U32At(a, 76));
    EXPECT_EQ(5, a[80]);
    EXPECT_EQ(7, U16At(a, 81));
    EXPECT_EQ(8, U16At(a, 83));
    EXPECT_EQ(322u, (a.size() - 86) / 4);
    EXPECT_EQ(10 + 322, U16At(a, 85 + 321 * 4));
    // Second: starts at point 322, then points 323..400.
    const std::vector<uint8_t>& c = sent[1];
    EXPECT_EQ(10 + 322, U16At(c, 81));
    EXPECT_EQ(20 + 322, U16At(c, 83));
    EXPECT_EQ(78u, (c.size() - 86) / 4);
    EXPECT_EQ(10 + 323, U16At(c, 85));
    EXPECT_EQ(10 + 400, U16At(c, c.size() - 5));
}

TEST_F(SockFixture, EraserAndShapeRecords)
{
    for (int i = 0; i < 330; ++i)
        sock.AddEraserPoint(static_cast<uint16_t>(i), 1, i == 329);
    std::vector<std::vector<uint8_t>> sent = owner.Sent();
    ASSERT_EQ(2u, sent.size());
    EXPECT_EQ(kBoardMsgMax, sent[0].size()); // 325 points fill the message exactly
    EXPECT_EQ(164, sent[1][74]);
    EXPECT_EQ(325, U16At(sent[1], 75)); // the eraser has no start point to repeat
    EXPECT_EQ(5u, (sent[1].size() - 76) / 4);

    sock.AddShapePoint(Pen(), 9, 100, 200, 300, 400, true);
    std::vector<uint8_t> s = Last();
    ASSERT_EQ(72u + 2 + 1 + 7 + 4 + 4 + 1, s.size());
    EXPECT_EQ(171, s[74]);
    EXPECT_EQ(9, s[81]);
    EXPECT_EQ(100, U16At(s, 82));
    EXPECT_EQ(200, U16At(s, 84));
    EXPECT_EQ(300, U16At(s, 86));
    EXPECT_EQ(400, U16At(s, 88));
}

TEST_F(SockFixture, HalfBuiltStrokeIsSentBeforeAnotherRecord)
{
    sock.AddPenPoint(Pen(), 1, 1, 2, 2, false);
    EXPECT_TRUE(owner.Sent().empty());
    EXPECT_TRUE(sock.SendPointer(30, 40));
    EXPECT_EQ((std::vector<uint8_t>{60, 60}), owner.Codes());
    EXPECT_EQ(169, owner.Sent()[0][74]);
    EXPECT_EQ(162, owner.Sent()[1][74]);
    sock.AddPenPoint(Pen(), 5, 5, 6, 6, false);
    sock.FlushRecord();
    EXPECT_EQ(3u, owner.Sent().size());
}

TEST_F(SockFixture, BrowserRecordGoesAsCode70AndIsNeverStored)
{
    EXPECT_TRUE(sock.SendBrowserAddress(u"http://x/"));
    std::vector<uint8_t> b = Last();
    EXPECT_EQ(70, b[0]);
    EXPECT_EQ(u"", NameOf(b));
    EXPECT_EQ(168, b[74]);
    EXPECT_EQ(72u + 2 + 1 + 20 + 6 + 1, b.size()); // address, its NUL, three empty strings
    EXPECT_TRUE(store.stored.empty());
}

TEST_F(SockFixture, RecordThatCannotBeStoredIsNotSent)
{
    store.bAccept = false;
    EXPECT_FALSE(sock.SendClear());
    EXPECT_FALSE(sock.SendStamp(1, 2));
    for (int i = 0; i < 3; ++i)
        sock.AddPenPoint(Pen(), 0, 0, 1, 1, i == 2);
    EXPECT_EQ(3u, store.stored.size());
    EXPECT_TRUE(owner.Sent().empty());
}

TEST_F(SockFixture, TextRecordKeepsWithinThePageFileLimit)
{
    S_BOARD_LOGFONT lf;
    lf.lfHeight = -32;
    lf.lfWeight = 700;
    lf.lfCharSet = 1;
    std::fill(std::begin(lf.lfFaceName), std::end(lf.lfFaceName), u'F'); // no terminator
    ASSERT_TRUE(sock.SendText(0x00112233, 1, 2, 241, 62, lf, std::u16string(2000, u'w')));
    std::vector<uint8_t> b = Last();
    EXPECT_EQ(kBoardPayloadMax, b.size() - 72); // 597 units: the record fills a stored payload exactly
    EXPECT_EQ(165, b[74]);
    EXPECT_EQ(0x00112233u, U32At(b, 75));
    EXPECT_EQ(241, U16At(b, 83));
    EXPECT_EQ(uint32_t(-32), U32At(b, 87));
    EXPECT_EQ(700u, U32At(b, 103));
    EXPECT_EQ('F', b[87 + 28 + 2 * 30]);
    EXPECT_EQ(0, U16At(b, 87 + 28 + 2 * 31)); // face name terminated
    EXPECT_EQ(0, U16At(b, b.size() - 3));     // text NUL
    EXPECT_EQ('w', b[b.size() - 5]);

    // A surrogate pair at the cut is dropped whole.
    std::u16string text(596, u'a');
    text += u"\xD83D\xDE00";
    ASSERT_TRUE(sock.SendText(0, 0, 0, 10, 10, S_BOARD_LOGFONT(), text));
    b = Last();
    EXPECT_EQ('a', b[b.size() - 5]);
    EXPECT_EQ(kBoardPayloadMax - 2, b.size() - 72);
}

TEST_F(SockFixture, SingleRecordsCarryTheirPoint)
{
    struct Case
    {
        std::function<bool()> send;
        uint8_t byType;
    } cases[] = {
        {[&] { return sock.SendPointer(0x0102, 0x0304); }, 162},
        {[&] { return sock.SendScroll(0x0102, 0x0304); }, 163},
        {[&] { return sock.SendStamp(0x0102, 0x0304); }, 170},
    };
    for (const Case& c : cases)
    {
        ASSERT_TRUE(c.send());
        std::vector<uint8_t> b = Last();
        EXPECT_EQ((std::vector<uint8_t>{6, 0, c.byType, 2, 1, 4, 3, 13}),
                  std::vector<uint8_t>(b.begin() + 72, b.end()));
    }
    ASSERT_TRUE(sock.SendClear());
    std::vector<uint8_t> b = Last();
    EXPECT_EQ((std::vector<uint8_t>{2, 0, 161, 13}), std::vector<uint8_t>(b.begin() + 72, b.end()));
}
