// The side panels' floating places, collapse, border drags and transparency.
#include <gtest/gtest.h>

#include "confclient/room/SidePanelGeometry.h"

TEST(SidePanelGeometry, FirstFloatPlacesEachKindBelowTheOneBefore)
{
    const S_RECT work{0, 0, 1920, 1040};
    S_POINT origin = PanelOrigin(work, 100, 60);
    EXPECT_EQ(origin, (S_POINT{0, 160}));
    EXPECT_EQ(PanelOrigin(work, -50, 60), (S_POINT{0, 10}));
    EXPECT_EQ(PanelOrigin({-1280, 0, 0, 1024}, 500, 60), (S_POINT{-1280, 560}));

    struct Row
    {
        SidePanelKind kind;
        bool bTall, bExpanded;
        S_RECT rect;
    } rows[] = {
        {SIDEPANEL_AGENDA, false, true, {1545, 160, 1753, 310}},
        {SIDEPANEL_USERLIST, false, true, {1545, 309, 1753, 459}},
        {SIDEPANEL_USERLIST, true, true, {1545, 459, 1753, 609}},
        {SIDEPANEL_CHAT, false, true, {1545, 459, 1753, 609}},
        {SIDEPANEL_CHAT, true, false, {1545, 609, 1753, 628}},
        {SIDEPANEL_EBOOK, false, true, {1545, 609, 1753, 759}},
    };
    for (const Row& r : rows)
    {
        S_RECT got = FirstFloatRect(r.kind, origin, 1920, r.bTall, r.bExpanded);
        EXPECT_EQ(got, r.rect) << r.kind;
        EXPECT_EQ(got.Width(), kPanelFloatWidth);
    }
}

TEST(SidePanelGeometry, CollapseKeepsTheTitleAndDragsKeepTheLimits)
{
    const S_RECT work{0, 0, 1920, 1040};
    const S_RECT r{100, 100, 400, 400};
    EXPECT_EQ(CollapsedRect(r), (S_RECT{100, 100, 400, 119}));
    EXPECT_EQ(ExpandedRect(CollapsedRect(r), 300), r);
    EXPECT_EQ(ExpandedRect(CollapsedRect(r), 40).Height(), kPanelFloatHeight);

    EXPECT_EQ(DragPanelBorder(r, BORDER_RIGHT, {150, 0}, work, true), (S_RECT{100, 100, 308, 400}));
    EXPECT_EQ(DragPanelBorder(r, BORDER_TOP, {0, 390}, work, true), (S_RECT{100, 250, 400, 400}));
    EXPECT_EQ(DragPanelBorder(r, BORDER_BOTTOMRIGHT, {5000, 5000}, work, true),
              (S_RECT{100, 100, 2020, 1140}));
    // Collapsed: the sides move, the top and bottom do not.
    S_RECT c = CollapsedRect(r);
    EXPECT_EQ(DragPanelBorder(c, BORDER_LEFT, {0, 0}, work, false), (S_RECT{0, 100, 400, 119}));
    EXPECT_EQ(DragPanelBorder(c, BORDER_BOTTOM, {0, 900}, work, false), c);
    EXPECT_EQ(DragPanelBorder(c, BORDER_BOTTOMRIGHT, {200, 900}, work, false), (S_RECT{100, 100, 308, 119}));

    EXPECT_EQ(PanelAlpha(0), 70);
    EXPECT_EQ(PanelAlpha(128), 128);
    EXPECT_EQ(PanelAlpha(300), 255);
}
