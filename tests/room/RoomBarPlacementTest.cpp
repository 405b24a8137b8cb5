// The control bar's placement: the rows, the window buttons, the right group giving way right to
// left before it overlaps the view-mode row, and the web-address field.
#include <gtest/gtest.h>

#include "confclient/room/RoomBarPlacement.h"

namespace
{
// Bitmap sizes of the bar's skin.
S_BARLAYOUTINPUT Bar(int nWidth)
{
    S_BARLAYOUTINPUT in;
    in.nWidth = nWidth;
    for (int nId : {BARCTL_FILE, BARCTL_VIEW, BARCTL_DRAW, BARCTL_TOOL, BARCTL_INVITE})
        in.sizes[nId] = {0, 0, 44, 19};
    in.sizes[BARCTL_CAMERA] = {0, 0, 34, 30};
    in.sizes[BARCTL_MUTE] = {0, 0, 24, 30};
    in.sizes[BARCTL_TALK] = {0, 0, 34, 30};
    in.sizes[BARCTL_SPEAKER] = {0, 0, 60, 12};
    in.sizes[BARCTL_MIC] = {0, 0, 60, 12};
    for (int nId : {BARCTL_VIDEO, BARCTL_BOARD, BARCTL_MEDIASHARE, BARCTL_QUESTION, BARCTL_SHARENAME,
                    BARCTL_SHAREVIEW, BARCTL_WEB, BARCTL_WEBDRAW})
        in.sizes[nId] = {0, 0, 36, 34};
    for (int nId : {BARCTL_DOCOPEN, BARCTL_RECORD, BARCTL_PRESENTER})
        in.sizes[nId] = {0, 0, 60, 34};
    in.sizes[BARCTL_LAYOUT] = {0, 0, 110, 34};
    for (int nId : {BARCTL_RESTORE, BARCTL_MAXIMIZE, BARCTL_CLOSE, BARCTL_MINIMIZE, BARCTL_PRESENTATION})
        in.sizes[nId] = {0, 0, 16, 16};
    in.sizes[BARCTL_NETWORK] = {0, 0, 18, 18};
    in.bPresenterBits = true;
    in.nMediaShareKind = 3;
    return in;
}

bool Overlap(const S_BARPLACE& a, const S_BARPLACE& b)
{
    return a.bShown && b.bShown && a.rc.x < b.rc.Right() && b.rc.x < a.rc.Right();
}
} // namespace

TEST(RoomBarPlacement, RowsAndWindowButtons)
{
    auto p = PlaceBar(Bar(1280));
    EXPECT_EQ(p[BARCTL_FILE].rc, (S_BARRECT{5, 5, 44, 19}));
    EXPECT_EQ(p[BARCTL_TOOL].rc.x, 5 + 3 * 44);
    EXPECT_FALSE(p[BARCTL_INVITE].bShown);
    EXPECT_EQ(p[BARCTL_MUTE].rc, (S_BARRECT{12 + 34 + 9, 31, 24, 30}));
    EXPECT_EQ(p[BARCTL_SPEAKER].rc.y, 40);
    EXPECT_EQ(p[BARCTL_TALK].rc.x, p[BARCTL_SPEAKER].rc.Right() + 10);
    EXPECT_EQ(p[BARCTL_VIDEO].rc, (S_BARRECT{212, 28, 36, 34}));
    EXPECT_EQ(p[BARCTL_MEDIASHARE].rc.x, 212 + 2 * 38);
    EXPECT_EQ(p[BARCTL_NETWORK].rc.x, 1280 - 100);
    EXPECT_EQ(p[BARCTL_CLOSE].rc.x, 1280 - 21);
    EXPECT_EQ(p[BARCTL_MAXIMIZE].rc, p[BARCTL_RESTORE].rc);
    EXPECT_EQ(p[BARCTL_LAYOUT].rc, (S_BARRECT{1280 - 110 - 8, 28, 110, 34}));
    EXPECT_EQ(p[BARCTL_PRESENTER].rc.Right(), p[BARCTL_LAYOUT].rc.x - 2);
    EXPECT_EQ(p[BARCTL_RECORD].rc.Right(), p[BARCTL_PRESENTER].rc.x - 2);
    EXPECT_EQ(p[BARCTL_DOCOPEN].rc.Right(), p[BARCTL_RECORD].rc.x - 2);
    for (int nId : {BARCTL_DOCOPEN, BARCTL_RECORD, BARCTL_PRESENTER, BARCTL_LAYOUT})
        EXPECT_TRUE(p[nId].bShown) << nId;
    EXPECT_EQ(p[BARCTL_RECTIME].rc, (S_BARRECT{5 + 4 * 44 + 1, 9, 1280 - 115 - (5 + 4 * 44 + 1), 12}));

    S_BARLAYOUTINPUT in = Bar(1280);
    in.bInviteShown = in.bLargeTextLanguage = true;
    p = PlaceBar(in);
    EXPECT_TRUE(p[BARCTL_INVITE].bShown);
    EXPECT_EQ(p[BARCTL_RECTIME].rc, (S_BARRECT{5 + 5 * 44 + 1, 7, 1280 - 115 - (5 + 5 * 44 + 1), 14}));
}

TEST(RoomBarPlacement, RoomOptionsChangeTheViewRow)
{
    S_BARLAYOUTINPUT in = Bar(1280);
    in.nMediaShareKind = 0;
    in.bQuestionnaire = true;
    auto p = PlaceBar(in);
    // No media share: the question button takes its place.
    EXPECT_FALSE(p[BARCTL_MEDIASHARE].bShown);
    EXPECT_EQ(p[BARCTL_QUESTION].rc.x, 212 + 2 * 38);

    in.bNoVideoControls = true;
    p = PlaceBar(in);
    for (int nId : {BARCTL_VIDEO, BARCTL_BOARD, BARCTL_QUESTION, BARCTL_WEB, BARCTL_WEBDRAW, BARCTL_LAYOUT})
        EXPECT_FALSE(p[nId].bShown) << nId;
    EXPECT_EQ(p[BARCTL_PRESENTER].rc.Right(), 1280 - 8);

    in = Bar(1280);
    in.bPlayback = true;
    p = PlaceBar(in);
    EXPECT_TRUE(p[BARCTL_LAYOUT].bShown);
    for (int nId : {BARCTL_NETWORK, BARCTL_DOCOPEN, BARCTL_RECORD, BARCTL_PRESENTER, BARCTL_WEB})
        EXPECT_FALSE(p[nId].bShown) << nId;
}

TEST(RoomBarPlacement, NarrowingHidesTheRightGroupRightToLeft)
{
    // Widths at which first document open, then record, then presenter meet the view row.
    S_BARLAYOUTINPUT in = Bar(0);
    int v = PlaceBar(in)[BARCTL_WEBDRAW].rc.Right();
    // Right edge to the layout button 8 + 110, then each button 60 and its gap 2.
    struct Row
    {
        int nWidth;
        bool bDoc, bRecord, bPresenter;
    } rows[] = {
        {v + 2 + 118 + 2 + 3 * 60 + 2 * 2, true, true, true},
        {v + 2 + 118 + 2 + 3 * 60 + 2 * 2 - 1, false, true, true},
        {v + 2 + 118 + 2 + 2 * 60 + 2 - 1, false, false, true},
        {v + 2 + 118 + 2 + 60 - 1, false, false, false},
    };
    for (const Row& r : rows)
    {
        in.nWidth = r.nWidth;
        auto p = PlaceBar(in);
        EXPECT_EQ(p[BARCTL_DOCOPEN].bShown, r.bDoc) << r.nWidth;
        EXPECT_EQ(p[BARCTL_RECORD].bShown, r.bRecord) << r.nWidth;
        EXPECT_EQ(p[BARCTL_PRESENTER].bShown, r.bPresenter) << r.nWidth;
        for (int nId : {BARCTL_DOCOPEN, BARCTL_RECORD, BARCTL_PRESENTER})
            for (int nView : {BARCTL_VIDEO, BARCTL_BOARD, BARCTL_MEDIASHARE, BARCTL_WEB, BARCTL_WEBDRAW})
                EXPECT_FALSE(Overlap(p[nId], p[nView])) << r.nWidth << " " << nId << " " << nView;
    }
}

TEST(RoomBarPlacement, WebAddressField)
{
    struct Row
    {
        int nWidth;
        bool bBoardRight;
        int nFieldWidth;
        bool bDoc, bRecord, bPresenter;
    };
    // Wide view buttons: the field starts at 722 (620 after the web button without a right).
    S_BARLAYOUTINPUT in = Bar(1920);
    for (int nId : {BARCTL_VIDEO, BARCTL_BOARD, BARCTL_MEDIASHARE, BARCTL_WEB, BARCTL_WEBDRAW})
        in.sizes[nId] = {0, 0, 100, 34};
    in.bWebShown = true;
    ASSERT_EQ(PlaceBar(in)[BARCTL_WEBDRAW].rc.Right() + 2, 722);
    Row rows[] = {
        {1920, true, 272, true, true, true},
        {1320, true, 272, true, true, true},  // document open starts at 1016: 994 + 10 fits
        {1300, true, 272, false, true, true}, // document open gives way first
        {1240, true, 272, false, false, true},
        {1239, true, 1239 - 118 - 10 - 722, false, false, false}, // narrower than 1240: up to the layout
        {1920, false, 272, true, true, true},
    };
    for (const Row& r : rows)
    {
        in.nWidth = r.nWidth;
        in.bBoardRight = r.bBoardRight;
        auto p = PlaceBar(in);
        const S_BARPLACE& web = p[BARCTL_WEBADDRESS];
        EXPECT_TRUE(web.bShown) << r.nWidth;
        EXPECT_EQ(web.rc.x, (r.bBoardRight ? p[BARCTL_WEBDRAW] : p[BARCTL_WEB]).rc.Right() + 2) << r.nWidth;
        EXPECT_EQ(web.rc.y, 35);
        EXPECT_EQ(web.rc.cy, 20);
        EXPECT_EQ(web.rc.cx, r.nFieldWidth) << r.nWidth;
        EXPECT_EQ(p[BARCTL_DOCOPEN].bShown, r.bDoc) << r.nWidth;
        EXPECT_EQ(p[BARCTL_RECORD].bShown, r.bRecord) << r.nWidth;
        EXPECT_EQ(p[BARCTL_PRESENTER].bShown, r.bPresenter) << r.nWidth;
        for (int nId : {BARCTL_DOCOPEN, BARCTL_RECORD, BARCTL_PRESENTER, BARCTL_LAYOUT})
            EXPECT_FALSE(Overlap(web, p[nId])) << r.nWidth << " " << nId;
        EXPECT_EQ(p[BARCTL_WEBDRAW].bShown, r.bBoardRight);
    }
    in.bWebShown = false;
    EXPECT_FALSE(PlaceBar(in)[BARCTL_WEBADDRESS].bShown);
}
