// Drawing records: every type read back from what the writer builds (or from bytes
// for the types no tool writes), malformed records refused, and replay.
#include <gtest/gtest.h>

#include "lmboard2/records/DrawReplay.h"
#include "tests/lmboard2_core/BoardTestDir.h"
#include "tests/lmboard2_core/RecordingSurface.h"
#include "tests/lmboard2_core/SockBoardFakes.h"

namespace
{
struct RecordFixture : ::testing::Test
{
    CBoardTestDir dir;
    CRecordingOwner owner;
    CRecordingStore store;
    CFakeClock clock;
    CSockBoard sock{owner, store, clock, *BoardFolders::Make(dir.path)};

    void SetUp() override { sock.SetCurrentPage(u"Conf_000"); }

    // The record of the last message sent.
    DrawRecord LastRecord()
    {
        std::vector<uint8_t> b = owner.Sent().back();
        std::optional<DrawRecord> rec = ParseDrawRecord(b.data() + 72, b.size() - 72);
        EXPECT_TRUE(rec.has_value());
        if (!rec) return {};
        EXPECT_EQ(b.size() - 72, rec->nSize);
        return *rec;
    }
};

// Record bytes from a type and its fields: length, type, fields, terminator.
std::vector<uint8_t> Rec(uint8_t byType, std::vector<uint8_t> fields)
{
    size_t nLen = fields.size() + 2;
    std::vector<uint8_t> b = {static_cast<uint8_t>(nLen), static_cast<uint8_t>(nLen >> 8), byType};
    b.insert(b.end(), fields.begin(), fields.end());
    b.push_back(13);
    return b;
}

std::vector<std::string> Replay(const std::vector<uint8_t>& b, bool bApply = true, bool bTarget = false,
                                int* pResult = nullptr)
{
    CRecordingSurface s;
    int n = ReplayDrawRecord(b.data(), b.size(), bApply, bTarget, s);
    if (pResult) *pResult = n;
    return s.calls;
}
} // namespace

TEST_F(RecordFixture, WrittenRecordsReadBack)
{
    BoardPen pen{1, 0x00123456, 9};
    sock.AddPenPoint(pen, 1, 2, 3, 4, false);
    sock.AddPenPoint(pen, 1, 2, 5, 6, true);
    DrawRecord r = LastRecord();
    EXPECT_EQ(REC_PEN, r.byType);
    EXPECT_EQ(1, r.pen.byFluorescent);
    EXPECT_EQ(0x00123456u, r.pen.dwColor);
    EXPECT_EQ(9, r.pen.byWidth);
    EXPECT_EQ((BoardPoint{1, 2}), r.pt);
    EXPECT_EQ((std::vector<BoardPoint>{{3, 4}, {5, 6}}), r.points);

    sock.AddShapePoint(pen, DRAW_FILL_ELLIPSE, 10, 20, 30, 40, true);
    r = LastRecord();
    EXPECT_EQ(REC_SHAPE, r.byType);
    EXPECT_EQ(DRAW_FILL_ELLIPSE, r.byShape);
    EXPECT_EQ((BoardPoint{10, 20}), r.pt);
    EXPECT_EQ((std::vector<BoardPoint>{{30, 40}}), r.points);

    sock.AddEraserPoint(7, 8, false);
    sock.AddEraserPoint(9, 10, true);
    r = LastRecord();
    EXPECT_EQ(REC_ERASER, r.byType);
    EXPECT_EQ((std::vector<BoardPoint>{{7, 8}, {9, 10}}), r.points);

    for (auto [send, byType] :
         {std::pair<std::function<bool()>, uint8_t>{[&] { return sock.SendPointer(11, 12); }, REC_POINTER},
          {[&] { return sock.SendScroll(11, 12); }, REC_SCROLL},
          {[&] { return sock.SendStamp(11, 12); }, REC_STAMP}})
    {
        ASSERT_TRUE(send());
        r = LastRecord();
        EXPECT_EQ(byType, r.byType);
        EXPECT_EQ((BoardPoint{11, 12}), r.pt);
    }

    ASSERT_TRUE(sock.SendClear());
    EXPECT_EQ(REC_CLEAR, LastRecord().byType);

    S_BOARD_LOGFONT lf;
    lf.lfHeight = -24;
    lf.lfItalic = 1;
    S_BOARD_FILEHDR::SetText(lf.lfFaceName, u"Arial");
    ASSERT_TRUE(sock.SendText(0x00FF0000, 5, 6, 245, 66, lf, u"Hello\r\nworld"));
    r = LastRecord();
    EXPECT_EQ(REC_TEXT, r.byType);
    EXPECT_EQ(0x00FF0000u, r.dwTextColor);
    EXPECT_EQ(245, r.rcText[2]);
    EXPECT_EQ(66, r.rcText[3]);
    EXPECT_EQ(-24, r.font.lfHeight);
    EXPECT_EQ(1, r.font.lfItalic);
    EXPECT_EQ(u"Arial", S_BOARD_FILEHDR::Text(r.font.lfFaceName));
    EXPECT_EQ(u"Hello\r\nworld", r.text);

    // A NUL inside the text ends it, so that the record still reads back.
    ASSERT_TRUE(sock.SendText(0, 0, 0, 9, 9, lf, std::u16string(u"cut\0here", 8)));
    EXPECT_EQ(u"cut", LastRecord().text);

    ASSERT_TRUE(sock.SendBrowserAddress(u"http://board/"));
    r = LastRecord();
    EXPECT_EQ(REC_BROWSER, r.byType);
    EXPECT_EQ(u"http://board/", r.browser[0]);
    EXPECT_EQ(u"", r.browser[3]);
}

TEST(DrawRecord, ZoomAndSegmentRecordsReadFromBytes)
{
    std::optional<DrawRecord> z = ParseDrawRecord(Rec(166, {9}).data(), 5);
    ASSERT_TRUE(z);
    EXPECT_EQ(9, z->byZoomIndex);

    std::vector<uint8_t> seg = Rec(167, {1, 0x11, 0x22, 0x33, 0, 4, 0xFF, 0xFF, 2, 0, 3, 0, 0x80, 0,
                                         0, 1,    0,    0,    0, 2, 1,    0,    1, 0, 1, 0, 1,    0});
    std::optional<DrawRecord> s = ParseDrawRecord(seg.data(), seg.size());
    ASSERT_TRUE(s);
    ASSERT_EQ(2u, s->segments.size());
    EXPECT_EQ(1, s->segments[0].pen.byFluorescent);
    EXPECT_EQ(0x00332211u, s->segments[0].pen.dwColor);
    EXPECT_EQ(4, s->segments[0].pen.byWidth);
    EXPECT_EQ(-1, s->segments[0].x0); // coordinates are signed
    EXPECT_EQ(128, s->segments[0].y1);
    EXPECT_EQ(2, s->segments[1].pen.byWidth);
}

TEST(DrawRecord, MalformedRecordsAreRefused)
{
    std::vector<uint8_t> text(104, 0);
    std::vector<uint8_t> textNoNul = text;
    textNoNul.insert(textNoNul.end(), {'a', 0, 'b', 0});
    std::vector<uint8_t> browser3 = {0, 0, 0, 0, 0, 0};

    std::vector<uint8_t> long8193(8195, 0);
    long8193[0] = 0x01;
    long8193[1] = 0x20; // 8193
    long8193[2] = 161;

    struct Case
    {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"length 1", {1, 0, 161}},
        {"length 0", {0, 0}},
        {"length 8193", long8193},
        {"longer than the bytes", {10, 0, 161, 13}},
        {"only part of the length", {4}},
        {"unknown type", Rec(160, {})},
        {"pointer short", Rec(162, {1, 0})},
        {"pointer long", Rec(162, {1, 0, 2, 0, 3})},
        {"text shorter than its fixed fields", Rec(165, std::vector<uint8_t>(50, 0))},
        {"text without its NUL", Rec(165, textNoNul)},
        {"zoom index 10", Rec(166, {10})},
        {"zoom without index", Rec(166, {})},
        {"segment cut short", Rec(167, std::vector<uint8_t>(13, 0))},
        {"browser with three strings", Rec(168, browser3)},
        {"pen without its start", Rec(169, {0, 1, 2, 3, 4, 5, 6, 0})},
        {"pen with half a point", Rec(169, {0, 1, 2, 3, 4, 5, 6, 0, 7, 0, 8, 0})},
        {"shape without its kind", Rec(171, {0, 1, 2, 3, 4, 5})},
        {"eraser with half a point", Rec(164, {1, 0, 2, 0, 3, 0})},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(ParseDrawRecord(c.bytes.data(), c.bytes.size()));
        int n = -1;
        EXPECT_TRUE(Replay(c.bytes, true, false, &n).empty());
        EXPECT_EQ(0, n);
    }
    // The longest record replay takes.
    std::vector<uint8_t> longest(8194, 0);
    longest[0] = 0x00;
    longest[1] = 0x20;
    longest[2] = 167;
    longest[8193] = 13;
    std::optional<DrawRecord> e = ParseDrawRecord(longest.data(), longest.size());
    ASSERT_TRUE(e);
    EXPECT_EQ(585u, e->segments.size());
}

TEST(DrawReplay, PenAndShapeRecordsDrawFromPointToPoint)
{
    // 0x00141414 is red, green and blue 20: the outline becomes black.
    std::vector<uint8_t> pen =
        Rec(169, {0, 0x14, 0x14, 0x14, 0, 3, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8, 0});
    EXPECT_EQ(
        (std::vector<std::string>{"line 141414/141414 a255 w3 1,2-3,4", "line 141414/141414 a255 w3 3,4-5,6",
                                  "line 141414/141414 a255 w3 5,6-7,8"}),
        Replay(pen));

    struct Case
    {
        uint8_t byKind;
        std::string drawn;
    } cases[] = {
        {DRAW_RECT, "rect 000000/141414 a100 w3 fl 10,20:30,40"},
        {DRAW_FILL_RECT, "rect 000000/141414 a100 w3 fl fill 10,20:30,40"},
        {DRAW_ELLIPSE, "ellipse 000000/141414 a100 w3 fl 10,20:30,40"},
        {DRAW_FILL_ELLIPSE, "ellipse 000000/141414 a100 w3 fl fill 10,20:30,40"},
        {DRAW_TRIANGLE, "triangle 000000/141414 a100 w3 fl 20,40 10,20 30,20"},
        {DRAW_FILL_TRIANGLE, "triangle 000000/141414 a100 w3 fl fill 20,40 10,20 30,20"},
        {DRAW_STRAIGHT, "line 141414/141414 a100 w3 fl 30,40-10,20"},
    };
    for (const Case& c : cases)
    {
        // One point: one shape, dragged from (30, 40) up to (10, 20).
        std::vector<uint8_t> shape =
            Rec(171, {1, 0x14, 0x14, 0x14, 0, 3, c.byKind, 30, 0, 40, 0, 10, 0, 20, 0});
        EXPECT_EQ(std::vector<std::string>{c.drawn}, Replay(shape));
    }
    EXPECT_TRUE(Replay(Rec(171, {1, 0, 0, 0, 0, 3, DRAW_TEXT, 30, 0, 40, 0, 10, 0, 20, 0})).empty());
}

TEST(DrawReplay, ViewStateOnlyWhenAppliedAndClearOnlyWithoutTarget)
{
    std::vector<uint8_t> pointer = Rec(162, {5, 0, 6, 0});
    std::vector<uint8_t> scroll = Rec(163, {5, 0, 6, 0});
    std::vector<uint8_t> zoom = Rec(166, {2});
    EXPECT_EQ(std::vector<std::string>{"pointer 5,6"}, Replay(pointer));
    EXPECT_EQ(std::vector<std::string>{"scroll 5,6"}, Replay(scroll));
    EXPECT_EQ(std::vector<std::string>{"zoom 75"}, Replay(zoom));
    int n = 0;
    for (const auto& b : {pointer, scroll, zoom})
    {
        EXPECT_TRUE(Replay(b, false, false, &n).empty());
        EXPECT_EQ(b[2], n); // still a record, just not applied
    }

    std::vector<uint8_t> clear = Rec(161, {});
    EXPECT_EQ(std::vector<std::string>{"clear"}, Replay(clear, false, false));
    EXPECT_TRUE(Replay(clear, false, true, &n).empty());
    EXPECT_EQ(161, n);
}

TEST(DrawReplay, EraserTextStampSegmentsAndBrowser)
{
    EXPECT_EQ((std::vector<std::string>{"erase 1,2:56,57", "erase 3,4:58,59"}),
              Replay(Rec(164, {1, 0, 2, 0, 3, 0, 4, 0})));
    EXPECT_EQ(std::vector<std::string>{"stamp 9,8"}, Replay(Rec(170, {9, 0, 8, 0})));
    std::vector<uint8_t> text(104, 0);
    text.insert(text.end(), {'h', 0, 'i', 0, 0, 0});
    EXPECT_EQ(std::vector<std::string>{"text 2"}, Replay(Rec(165, text)));
    EXPECT_EQ(std::vector<std::string>{"line 332211/332211 a255 w4 -1,-1-2,3"},
              Replay(Rec(167, {0, 0x11, 0x22, 0x33, 0, 4, 0xFF, 0xFF, 0xFF, 0xFF, 2, 0, 3, 0})));
    EXPECT_EQ(std::vector<std::string>{"browser 1"},
              Replay(Rec(168, {'u', 0, 0, 0, 0, 0, 0, 0, 0, 0}), false));
}
