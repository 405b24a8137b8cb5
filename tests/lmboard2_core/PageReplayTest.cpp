// The replay walk over a page file: records after the background, a damaged ending
// that keeps what was drawn, the view-state records kept for later, and targets.
#include <gtest/gtest.h>

#include "tests/lmboard2_core/PageStoreFakes.h"
#include "tests/lmboard2_core/RecordingSurface.h"

namespace
{
struct ReplayFixture : ::testing::Test, PageStoreFixture
{
    std::vector<uint8_t> stamp = RecordBytes(REC_STAMP, {1, 0, 2, 0});
    std::vector<uint8_t> pointer = RecordBytes(REC_POINTER, {3, 0, 4, 0});
    std::vector<uint8_t> scroll = RecordBytes(REC_SCROLL, {5, 0, 6, 0});
    std::vector<uint8_t> zoom = RecordBytes(REC_ZOOM, {3});
    std::vector<uint8_t> clear = RecordBytes(REC_CLEAR, {});

    void WritePage(const std::vector<std::vector<uint8_t>>& records, const std::vector<uint8_t>& tail = {})
    {
        std::vector<uint8_t> b =
            PageBytes(PageHeader(u"Conf_001", PAGE_PICTURE, 5), {161, 161, 161, 161, 161}, records);
        b.insert(b.end(), tail.begin(), tail.end());
        WriteWholeFile(Page(u"Conf_001"), b);
    }
};

class CRecordingTarget : public IPageTarget
{
public:
    bool DrawPicture(const std::filesystem::path& p) override
    {
        surface.calls.push_back("picture " + p.filename().string());
        return bPictureLoads;
    }
    void FillWhite(int w, int h) override
    {
        surface.calls.push_back("white " + std::to_string(w) + "x" + std::to_string(h));
    }
    void ClearToBackground() override { surface.ClearToBackground(); }
    void DrawLine(const DrawStyle& s, DrawPt a, DrawPt b) override { surface.DrawLine(s, a, b); }
    void DrawRectangle(const DrawStyle& s, DrawBox b) override { surface.DrawRectangle(s, b); }
    void DrawEllipse(const DrawStyle& s, DrawBox b) override { surface.DrawEllipse(s, b); }
    void DrawTriangle(const DrawStyle& s, const std::array<DrawPt, 3>& p) override
    {
        surface.DrawTriangle(s, p);
    }
    void Erase(DrawBox b) override { surface.Erase(b); }
    void DrawText(const DrawRecord& r) override { surface.DrawText(r); }
    void PlaceStamp(DrawPt p) override { surface.PlaceStamp(p); }
    void MovePointer(DrawPt p) override { surface.MovePointer(p); }
    void ScrollTo(DrawPt p) override { surface.ScrollTo(p); }
    void SetZoom(uint16_t n) override { surface.SetZoom(n); }
    void OpenBrowser(const std::u16string (&s)[4]) override { surface.OpenBrowser(s); }

    CRecordingSurface surface;
    bool bPictureLoads = true;
};
} // namespace

TEST_F(ReplayFixture, RecordsAfterTheBackgroundAreDrawnAndViewStateKept)
{
    WritePage({stamp, zoom, scroll, pointer, clear, RecordBytes(REC_STAMP, {7, 0, 8, 0}), scroll});
    CRecordingSurface board;
    KeptViewRecords kept;
    EXPECT_EQ(1, store.ReplayPage(u"Conf_001", board, kept));
    EXPECT_EQ((std::vector<std::string>{"stamp 1,2", "clear", "stamp 7,8"}), board.calls);
    EXPECT_EQ(zoom, kept.zoom);
    EXPECT_EQ(scroll, kept.scroll);
    EXPECT_TRUE(kept.pointer.empty()); // the clear dropped it
    EXPECT_TRUE(view.errors.empty());

    // A later zoom drops the kept scroll and pointer.
    WritePage({scroll, pointer, zoom});
    kept = {};
    EXPECT_EQ(1, store.ReplayPage(u"Conf_001", board, kept));
    EXPECT_EQ(zoom, kept.zoom);
    EXPECT_TRUE(kept.scroll.empty());
    EXPECT_TRUE(kept.pointer.empty());
}

TEST_F(ReplayFixture, DamagedEndingKeepsWhatWasDrawn)
{
    std::vector<uint8_t> cut(stamp.begin(), stamp.end() - 2);
    std::vector<uint8_t> tooLong = {0x19, 0x05, 164}; // 1305
    struct Case
    {
        const char* what;
        std::vector<uint8_t> tail;
    } cases[] = {
        {"last record cut short", cut},
        {"zero length", {0, 0, 1, 2}},
        {"longer than a payload", tooLong},
        {"half a length", {4}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        view.errors.clear();
        WritePage({stamp, RecordBytes(REC_STAMP, {7, 0, 8, 0})}, c.tail);
        CRecordingSurface board;
        KeptViewRecords kept;
        EXPECT_EQ(1, store.ReplayPage(u"Conf_001", board, kept));
        EXPECT_EQ((std::vector<std::string>{"stamp 1,2", "stamp 7,8"}), board.calls);
        EXPECT_EQ(std::vector<int>{0}, view.errors);
    }
}

TEST_F(ReplayFixture, MalformedRecordInsideIsSkipped)
{
    WritePage({stamp, RecordBytes(REC_ZOOM, {12}), RecordBytes(REC_PEN, {0, 0, 0}),
               RecordBytes(REC_STAMP, {7, 0, 8, 0})});
    CRecordingSurface board;
    KeptViewRecords kept;
    EXPECT_EQ(1, store.ReplayPage(u"Conf_001", board, kept));
    EXPECT_EQ((std::vector<std::string>{"stamp 1,2", "stamp 7,8"}), board.calls);
    EXPECT_TRUE(kept.zoom.empty());
    EXPECT_TRUE(view.errors.empty());
}

TEST_F(ReplayFixture, MissingOrHeaderlessPageReplaysNothing)
{
    CRecordingSurface board;
    KeptViewRecords kept;
    EXPECT_EQ(0, store.ReplayPage(u"Conf_404", board, kept));
    EXPECT_EQ(0, store.ReplayPage(u"../Conf_001", board, kept));
    WriteWholeFile(Page(u"Conf_002"), {1, 0});
    EXPECT_EQ(0, store.ReplayPage(u"Conf_002", board, kept));
    EXPECT_TRUE(board.calls.empty());
}

TEST_F(ReplayFixture, TargetPaintsItsOwnBackgroundOnClear)
{
    WritePage({stamp, clear, pointer, RecordBytes(REC_STAMP, {7, 0, 8, 0})});
    CRecordingTarget target;
    EXPECT_EQ(1, store.ReplayPageTo(u"Conf_001", target, {}));
    EXPECT_EQ((std::vector<std::string>{"stamp 1,2", "white 1600x1200", "stamp 7,8"}), target.surface.calls);

    target.surface.calls.clear();
    EXPECT_EQ(1, store.ReplayPageTo(u"Conf_001", target, Background(u"Conf_001")));
    EXPECT_EQ((std::vector<std::string>{"stamp 1,2", "picture Conf_001", "stamp 7,8"}), target.surface.calls);

    target.surface.calls.clear();
    target.bPictureLoads = false;
    EXPECT_EQ(0, store.ReplayPageTo(u"Conf_001", target, Background(u"Conf_001")));
    EXPECT_EQ((std::vector<std::string>{"stamp 1,2", "picture Conf_001"}), target.surface.calls);
}
