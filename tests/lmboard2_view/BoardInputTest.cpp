// Local input in each draw mode: what is drawn, and the records that go out.
#include <gtest/gtest.h>

#include "lmboard2/view/BoardInput.h"
#include "tests/lmboard2_core/SockBoardFakes.h"

namespace
{
struct InputOwner : IBoardInputOwner
{
    CRecordingOwner sent;
    CRecordingStore store;
    CSteadyBoardClock clock;
    CSockBoard writer{sent, store, clock, BoardFolders{}};
    std::vector<std::string> log;
    DrawPt scroll;
    bool bStampFits = true;

    static std::string P(DrawPt p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
    void DrawBand(uint8_t m, const BoardPen&, DrawPt a, DrawPt b) override
    {
        log.push_back("band" + std::to_string(m) + ":" + P(a) + "-" + P(b));
    }
    void EndBand() override { log.push_back("endband"); }
    void DrawPreview(uint8_t m, const BoardPen&, DrawPt a, DrawPt b) override
    {
        log.push_back("draw" + std::to_string(m) + ":" + P(a) + "-" + P(b));
    }
    void ErasePoint(DrawPt p) override { log.push_back("erase:" + P(p)); }
    bool StampAt(DrawPt p) override
    {
        log.push_back("stamp:" + P(p));
        return bStampFits;
    }
    void PointerAt(DrawPt p) override { log.push_back("pointer:" + P(p)); }
    void OpenTextBox(DrawPt p) override { log.push_back("text:" + P(p)); }
    void ScrollBy(int dx, int dy) override
    {
        scroll.x += dx;
        scroll.y += dy;
    }
    DrawPt ScrollPosition() const override { return scroll; }
    void SendScrollPosition() override { log.push_back("sendscroll:" + P(scroll)); }
    CSockBoard& Writer() override { return writer; }

    // The drawing record of each message sent: type byte and the u16 fields after the pen.
    std::vector<std::vector<uint8_t>> Records()
    {
        std::vector<std::vector<uint8_t>> out;
        for (const auto& m : sent.Sent())
            out.emplace_back(m.begin() + kBoardMsgHeaderSize, m.end());
        return out;
    }
};

uint16_t U16At(const std::vector<uint8_t>& r, size_t i)
{
    return static_cast<uint16_t>(r[i] | (r[i + 1] << 8));
}

const BoardPen kPen{0, 0x0000FF, 9};

struct InputTest : ::testing::Test
{
    InputOwner owner;
    CBoardInput input{owner};
    void SetUp() override
    {
        owner.writer.SetCurrentPage(u"conf_000");
        input.SetPageSize(1600, 1200);
    }
    void Drag(uint8_t byMode, std::vector<DrawPt> pts, bool bShift = false)
    {
        input.SetDrawMode(byMode);
        input.ButtonDown(kPen, pts.front(), pts.front(), true);
        for (size_t i = 1; i + 1 < pts.size(); i++)
            input.Move(pts[i], pts[i], bShift);
        input.ButtonUp(pts.back(), pts.back(), bShift);
    }
};

TEST_F(InputTest, PenStrokeIsOneRecordClampedToThePage)
{
    Drag(DRAW_PEN, {{10, 10}, {20, 30}, {1700, 40}});
    auto recs = owner.Records();
    ASSERT_EQ(recs.size(), 1u);
    const auto& r = recs[0];
    EXPECT_EQ(r[2], REC_PEN);
    // fluorescent, colour, width, x0, y0, then the points; width 9 keeps x at 1600 − 4.
    EXPECT_EQ(r[8], 9);
    EXPECT_EQ(U16At(r, 9), 10);
    EXPECT_EQ(U16At(r, 11), 10);
    EXPECT_EQ(U16At(r, 13), 20);
    EXPECT_EQ(U16At(r, 15), 30);
    EXPECT_EQ(U16At(r, 17), 1596);
    EXPECT_EQ(owner.log, (std::vector<std::string>{"draw0:10,10-20,30", "draw0:20,30-1596,40"}));
}

TEST_F(InputTest, StraightLinesSnapWithShiftOrInModeThirteen)
{
    Drag(DRAW_STRAIGHT, {{100, 100}, {150, 120}, {200, 130}});
    Drag(DRAW_PEN, {{100, 100}, {110, 300}}, true);
    auto recs = owner.Records();
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(U16At(recs[0], 13), 200);
    EXPECT_EQ(U16At(recs[0], 15), 100) << "horizontal: |dx| >= |dy|";
    EXPECT_EQ(U16At(recs[1], 13), 100);
    EXPECT_EQ(U16At(recs[1], 15), 300) << "vertical";
    EXPECT_EQ(owner.log.back(), "draw1:100,100-100,300");
}

TEST_F(InputTest, ShapesBandWhileDraggingAndSendOneRecord)
{
    for (uint8_t byMode :
         {DRAW_RECT, DRAW_ELLIPSE, DRAW_TRIANGLE, DRAW_FILL_RECT, DRAW_FILL_ELLIPSE, DRAW_FILL_TRIANGLE})
    {
        owner.log.clear();
        Drag(byMode, {{50, 60}, {70, 80}, {90, 100}});
        std::string m = std::to_string(byMode);
        EXPECT_EQ(owner.log, (std::vector<std::string>{"band" + m + ":50,60-70,80", "endband",
                                                       "draw" + m + ":50,60-90,100"}));
        auto r = owner.Records().back();
        EXPECT_EQ(r[2], REC_SHAPE);
        EXPECT_EQ(r[9], byMode) << "the shape kind";
    }
}

TEST_F(InputTest, EraserPointerStampAndText)
{
    Drag(DRAW_ERASER, {{5, 5}, {30, 30}, {1599, 1199}});
    EXPECT_EQ(owner.log, (std::vector<std::string>{"erase:5,5", "erase:30,30", "erase:1573,1173"}))
        << "the eraser keeps 27 from the edges";
    EXPECT_EQ(owner.Records().back()[2], REC_ERASER);

    Drag(DRAW_POINTER, {{300, 200}, {310, 210}});
    EXPECT_EQ(owner.Records().back()[2], REC_POINTER);

    size_t nBefore = owner.Records().size();
    owner.bStampFits = false;
    Drag(DRAW_STAMP, {{1590, 1190}, {1590, 1190}});
    EXPECT_EQ(owner.Records().size(), nBefore) << "a stamp that does not fit is not sent";
    owner.bStampFits = true;
    Drag(DRAW_STAMP, {{100, 100}, {100, 100}});
    EXPECT_EQ(owner.Records().back()[2], REC_STAMP);

    owner.log.clear();
    input.SetDrawMode(DRAW_TEXT);
    input.ButtonDown(kPen, {40, 50}, {40, 50}, true);
    EXPECT_EQ(owner.log, (std::vector<std::string>{"text:40,50"}));
    EXPECT_FALSE(input.IsPressed());
}

TEST_F(InputTest, StrokesStartOnlyOnThePageAndSpaceScrolls)
{
    input.SetDrawMode(DRAW_PEN);
    input.ButtonDown(kPen, {10, 10}, {10, 10}, false);
    input.Move({20, 20}, {20, 20}, false);
    input.ButtonUp({30, 30}, {30, 30}, false);
    EXPECT_TRUE(owner.Records().empty());

    input.SpaceDown();
    EXPECT_EQ(input.DrawMode(), DRAW_SCROLL);
    input.ButtonDown(kPen, {100, 100}, {100, 100}, false);
    input.Move({90, 80}, {90, 80}, false);
    input.ButtonUp({80, 70}, {80, 70}, false);
    input.SpaceUp();
    EXPECT_EQ(input.DrawMode(), DRAW_PEN);
    EXPECT_EQ(owner.log, (std::vector<std::string>{"sendscroll:20,30"}));
    EXPECT_TRUE(owner.Records().empty()) << "the writer is not asked; the view sends record 163";
}
} // namespace
