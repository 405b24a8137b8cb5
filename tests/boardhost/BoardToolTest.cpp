// The board palette's rules and the tool handler that applies commands to the board.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "confclient/boardhost/BoardToolFeature.h"

namespace
{
TEST(BoardPaletteRules, SelectToolMapsEveryButton)
{
    using A = PaletteAction;
    struct Row
    {
        unsigned nId;
        A action;
        unsigned nCommand;
        uint32_t colour;
        unsigned nPress;
    };
    const Row rows[] = {
        {1389, A::BarCommand, 32964, 0, 1389},
        {1390, A::BarCommand, 32939, 0, 1390},
        {1391, A::BarCommand, 32940, 0, 1391},
        {1392, A::BarCommand, 32928, 0, 1392},
        {1393, A::BarCommand, 32930, 0, 1393},
        {1394, A::BarCommand, 1394, 0, 1394},
        {1395, A::BarCommand, 1395, 0, 1395},
        {1396, A::LinePicker, 0, 0, 1396},
        {1397, A::FigurePicker, 0, 0, 1397},
        {1398, A::BarCommand, 1398, 0, 0},
        {1399, A::BarCommand, 1399, 0, 0},
        {1400, A::ZoomMenu, 0, 0, 0},
        {1401, A::WidthMenu, 0, 0, 0},
        {1402, A::PenColour, 0, 0x00FF00, 0},
        {1403, A::PenColour, 0, 0xFF0000, 0},
        {1404, A::PenColour, 0, 0x0000FF, 0},
        {1405, A::PenColour, 0, 0x000000, 0},
        {1541, A::PenColour, 0, 0xFFFFFF, 0},
        {1406, A::ColourWidth, 32932, 0, 0},
        {1522, A::ColourWidth, 32989, 0, 1397},
        {1524, A::ColourWidth, 32991, 0, 1397},
        {1527, A::ColourWidth, 32994, 0, 1397},
        {1530, A::ColourWidth, 32929, 0, 1396},
        {1531, A::ColourWidth, 33005, 0, 1396},
        // Not tools: the page, minimize and browser buttons have handlers of their own.
        {1407, A::None, 0, 0, 0},
        {1528, A::None, 0, 0, 0},
        {1529, A::None, 0, 0, 0},
        {1388, A::None, 0, 0, 0},
        {1545, A::None, 0, 0, 0},
    };
    for (const Row& r : rows)
    {
        PaletteStep s = PaletteSelectTool(r.nId);
        EXPECT_EQ(s.action, r.action) << r.nId;
        EXPECT_EQ(s.nCommand, r.nCommand) << r.nId;
        EXPECT_EQ(s.colour, r.colour) << r.nId;
        EXPECT_EQ(s.nPress, r.nPress) << r.nId;
    }
}

TEST(BoardPaletteRules, PressedToolAndSwallowedClicks)
{
    // The pen is pressed and swallows its own clicks, so clicking it again does nothing.
    ToolPress pen = CheckToolPress(PB_PEN, false);
    EXPECT_EQ(pen.nPressed, 1392u);
    EXPECT_EQ(pen.nSwallow, 1392u);
    EXPECT_TRUE(pen.bReleasePickers);
    // The picker buttons open their picker on every click.
    for (unsigned id : {1396u, 1397u})
    {
        ToolPress p = CheckToolPress(id, false);
        EXPECT_EQ(p.nPressed, id);
        EXPECT_EQ(p.nSwallow, 0u);
        EXPECT_FALSE(p.bReleasePickers);
    }
    // Outside the tools, or on a slide-show page, everything is released.
    for (auto [id, bSlide] : {std::pair{1398u, false}, std::pair{1388u, false}, std::pair{1392u, true}})
    {
        ToolPress p = CheckToolPress(id, bSlide);
        EXPECT_EQ(p.nPressed, 0u) << id;
        EXPECT_EQ(p.nSwallow, 0u) << id;
    }
}

TEST(BoardPaletteRules, PageButtons)
{
    struct Row
    {
        bool bWeb;
        int nIndex, nCount;
        bool bBack, bForward;
    };
    const Row rows[] = {
        {false, 0, 0, false, false}, {false, 0, 1, false, false}, {false, 0, 3, false, true},
        {false, 1, 3, true, true},   {false, 2, 3, true, false},  {false, -1, 3, false, false},
        {true, 0, 0, true, true},
    };
    for (const Row& r : rows)
    {
        PageButtons b = PageButtonState(r.bWeb, r.nIndex, r.nCount);
        EXPECT_EQ(b.bBack, r.bBack) << r.nIndex << "/" << r.nCount;
        EXPECT_EQ(b.bForward, r.bForward) << r.nIndex << "/" << r.nCount;
    }
}

TEST(BoardPaletteRules, LayoutFitsTheHeightOfEachMode)
{
    struct Row
    {
        bool bWeb, bLineFigure;
        int nMode;
    };
    for (Row r : {Row{false, false, 0}, Row{false, true, 4}, Row{true, false, 1}})
    {
        int nHeight = PaletteHeight(r.nMode, r.bLineFigure);
        auto places = PaletteLayout(r.bWeb, r.bLineFigure, kPaletteWidth);
        std::vector<const PaletteButtonPlace*> shown;
        for (const auto& p : places)
            if (p.bShown) shown.push_back(&p);
        for (size_t i = 0; i < shown.size(); ++i)
        {
            const auto& a = *shown[i];
            EXPECT_GE(a.x, 0) << a.nId;
            EXPECT_LE(a.x + a.cx, kPaletteWidth) << a.nId;
            EXPECT_LE(a.y + a.cy, nHeight) << a.nId;
            for (size_t j = i + 1; j < shown.size(); ++j)
            {
                const auto& b = *shown[j];
                bool bApart =
                    a.x + a.cx <= b.x || b.x + b.cx <= a.x || a.y + a.cy <= b.y || b.y + b.cy <= a.y;
                EXPECT_TRUE(bApart) << a.nId << " overlaps " << b.nId;
            }
        }
        auto find = [&](unsigned id)
        {
            for (const auto& p : places)
                if (p.nId == id) return p;
            return PaletteButtonPlace{};
        };
        EXPECT_TRUE(find(PB_BACK).bShown);
        EXPECT_EQ(find(PB_BACK).x, 3);
        EXPECT_EQ(find(PB_BACK).y, 27);
        EXPECT_EQ(find(PB_FORWARD).x, 21);
        EXPECT_EQ(find(PB_MINIMIZE).x + find(PB_MINIMIZE).cx, kPaletteWidth - 2);
        EXPECT_EQ(find(PB_STOP).bShown, r.bWeb);
        EXPECT_EQ(find(PB_PEN).bShown, !r.bWeb);
        EXPECT_EQ(find(PB_FIGURE).bShown, !r.bWeb && r.bLineFigure);
        EXPECT_EQ(find(PB_WHITE).bShown, !r.bWeb);
    }
    EXPECT_EQ(PaletteHeight(1, true), 156);
    EXPECT_EQ(PaletteHeight(0, true), 579);
    EXPECT_EQ(PaletteHeight(4, false), 517);
}

TEST(BoardPaletteRules, PlacesOfFloatAndPickers)
{
    PalettePoint f = FirstFloatPlace({100, 200});
    EXPECT_EQ(f.x, 95);
    EXPECT_EQ(f.y, 205);
    PalettePoint lines = PickerOrigin(PICKER_LINES, {300, 400});
    EXPECT_EQ(lines.x, 228);
    EXPECT_EQ(lines.y, 398);
    PalettePoint figs = PickerOrigin(PICKER_FIGURES, {300, 400});
    EXPECT_EQ(figs.x, 95);
    // A picker that would open left of the work area opens at the palette's right edge.
    EXPECT_EQ(PickerShowPlace({-150, 50}, 0, 40).x, 40);
    EXPECT_EQ(PickerShowPlace({1900, 50}, 1920, 1960).x, 1960);
    EXPECT_EQ(PickerShowPlace({20, 50}, 0, 40).x, 20);
    // The buttons of each picker stay inside it.
    for (PickerKind k : {PICKER_FIGURES, PICKER_LINES})
        for (const PickerButtonPlace& b : PickerButtons(k))
            EXPECT_LE(b.x + kPickerButtonSize, PickerWidth(k)) << b.nId;
    EXPECT_EQ(PickerButtons(PICKER_FIGURES).size(), 6u);
    EXPECT_EQ(PickerButtons(PICKER_LINES).size(), 2u);
}

TEST(BoardPaletteRules, WhoDrawsAndWhenThePaletteShows)
{
    EXPECT_TRUE(PaletteCanDraw(true, false, 3, 4));
    EXPECT_TRUE(PaletteCanDraw(false, true, 3, 4));
    EXPECT_TRUE(PaletteCanDraw(false, false, 4, 4));
    EXPECT_FALSE(PaletteCanDraw(false, false, 3, 4));

    PaletteShowState s;
    s.bBoardShown = true;
    s.bDrawRight = true;
    EXPECT_TRUE(PaletteShown(s));
    s.nBoardMode = 6;
    EXPECT_FALSE(PaletteShown(s));
    s.nBoardMode = 4;
    s.bPlayer = true;
    EXPECT_FALSE(PaletteShown(s));
    s.bPlayer = false;
    s.bDrawRight = false;
    EXPECT_FALSE(PaletteShown(s));
    s.bPresenter = true;
    EXPECT_TRUE(PaletteShown(s));
    s.bBoardShown = false;
    EXPECT_FALSE(PaletteShown(s));
}

// Records every call the tools make on the board and the palette.
struct ToolRecorder : IBoardTools, IBoardToolView
{
    std::vector<std::string> calls;
    void SetDrawMode(int n) override { calls.push_back("mode " + std::to_string(n)); }
    void SetLineThick(int n) override { calls.push_back("thick " + std::to_string(n)); }
    void SetLineFluorescent(bool b) override { calls.push_back(b ? "fluo on" : "fluo off"); }
    void SetLineColor(uint32_t c) override { calls.push_back("colour " + std::to_string(c)); }
    void SetZoom(int n) override { calls.push_back("zoom " + std::to_string(n)); }
    void DrawClear() override { calls.push_back("clear"); }
    void SetTextFont() override { calls.push_back("font"); }
    void CheckToolButton(unsigned n) override { calls.push_back("press " + std::to_string(n)); }
    void ChooseColour(uint32_t c) override { calls.push_back("choose " + std::to_string(c)); }
    void BoardPagesChanged() override { calls.push_back("pages"); }
    std::vector<std::string> Take() { return std::exchange(calls, {}); }
};

using Calls = std::vector<std::string>;

TEST(BoardToolFeature, CommandsReachTheBoard)
{
    ToolRecorder rec;
    CBoardToolFeature tools(rec);
    tools.SetView(&rec);
    struct Row
    {
        bool bBar; // RouteLayoutCommand, else the colour/width handler
        unsigned nCommand;
        Calls want;
    };
    const Row rows[] = {
        {true, 32964, {"mode 6", "press 1389"}},
        {true, 32939, {"mode 5", "press 1390"}},
        {true, 32940, {"mode 4", "press 1391"}},
        {true, 1394, {"mode 3", "press 1394"}},
        {true, 1395, {"mode 2", "press 1395"}},
        {true, 1398, {"clear"}},
        {true, 1399, {"font"}},
        {true, 32928, {"mode 0", "thick 5", "press 1392"}},
        // The highlighter has its own width (10) and colour.
        {true,
         32930,
         {"fluo on", "colour " + std::to_string(kDefaultPenColour), "mode 0", "thick 10", "press 1393"}},
        {false, 32937, {"thick 20"}},
        {false,
         32929,
         {"fluo off", "colour " + std::to_string(kDefaultPenColour), "mode 1", "thick 5", "press 1396"}},
        {false, 33005, {"mode 13", "thick 5", "press 1396"}},
        {false, 32989, {"mode 7", "thick 5", "press 1397"}},
        {false, 32994, {"mode 12", "thick 5", "press 1397"}},
        {false, 32933, {"thick 1"}},
        {false, 32932, {"choose " + std::to_string(kDefaultPenColour)}},
        {true, 32941, {}},
        {false, 12345, {}},
    };
    for (const Row& r : rows)
    {
        if (r.bBar)
            tools.RouteLayoutCommand(r.nCommand);
        else
            tools.ColourWidthCommand(r.nCommand);
        EXPECT_EQ(rec.Take(), r.want) << r.nCommand;
    }
    // The pen's width is 1 now, the highlighter's 20: each comes back with its tool.
    tools.ColourWidthCommand(32930);
    EXPECT_EQ(rec.Take(), (Calls{"fluo on", "colour " + std::to_string(kDefaultPenColour), "mode 0",
                                 "thick 20", "press 1393"}));
    EXPECT_TRUE(tools.WidthMenu()[4].bChecked);
    tools.OnPenColour(0x0000FF);
    EXPECT_EQ(rec.Take(), Calls{"colour 255"});
    EXPECT_EQ(tools.HighlighterColour(), 0x0000FFu);
    EXPECT_EQ(tools.PenColour(), kDefaultPenColour);
    tools.ColourWidthCommand(32928);
    EXPECT_EQ(rec.Take().at(1), "colour " + std::to_string(kDefaultPenColour));
    EXPECT_TRUE(tools.WidthMenu()[0].bChecked);
}

TEST(BoardToolFeature, ZoomDrawModeFeedbackAndPages)
{
    ToolRecorder rec;
    CBoardToolFeature tools(rec);
    tools.SetView(&rec);
    EXPECT_TRUE(tools.ZoomMenu()[8].bChecked); // fit width by default
    tools.ZoomCommand(32950);
    EXPECT_EQ(rec.Take(), Calls{"zoom 8192"});
    tools.ZoomCommand(32987); // the user-set zoom has its own dialog
    tools.ZoomCommand(32951);
    EXPECT_EQ(rec.Take(), Calls{});
    tools.OnResultZoom(150);
    EXPECT_TRUE(tools.ZoomMenu()[5].bChecked);
    // A zoom of 5 is no zoom at all; 175 is the user-set item, none of the presets.
    tools.OnResultZoom(5);
    EXPECT_TRUE(tools.ZoomMenu()[5].bChecked);
    tools.OnResultZoom(175);
    EXPECT_EQ(tools.ZoomItem(), 32987u);
    for (const ToolMenuItem& item : tools.ZoomMenu())
        EXPECT_FALSE(item.bChecked) << item.nCommand;

    // The board chose the pen, eraser and scroll itself.
    tools.OnResultDrawMode(0);
    EXPECT_EQ(rec.Take(), (Calls{"mode 0", "thick 5", "press 1392"}));
    tools.OnResultDrawMode(2);
    EXPECT_EQ(rec.Take(), Calls{"press 1395"});
    tools.OnResultDrawMode(6);
    EXPECT_EQ(rec.Take(), Calls{"press 1389"});
    tools.OnResultDrawMode(9);
    EXPECT_EQ(rec.Take(), Calls{});

    tools.OnAddPage(0);
    tools.OnAddPage(0);
    tools.OnAddPage(0);
    tools.OnSetCurrentPage(2);
    EXPECT_EQ(tools.PageCount(), 3);
    // A reordered list is told whole again.
    tools.OnAddPage(1);
    tools.OnAddPage(0);
    tools.OnAddPage(2);
    EXPECT_EQ(tools.PageCount(), 3);
    tools.OnDeletePage();
    EXPECT_EQ(tools.PageCount(), 2);
    EXPECT_EQ(tools.CurrentPage(), 1);
    tools.OnModeChange(1);
    EXPECT_EQ(tools.BoardMode(), 1);
    // A list of one page is told as a lone type 2.
    tools.OnAddPage(2);
    EXPECT_EQ(tools.PageCount(), 1);
    EXPECT_EQ(rec.Take().size(), 10u);
}
} // namespace
