// The room property dialog's rules: OK's validation and change detection, the frame-rate
// controls, list values and the dialog's layout variants.
#include <gtest/gtest.h>

#include "confclient/room/RoomPropertyRules.h"

namespace
{
S_PROPERTYROOM Room()
{
    S_PROPERTYROOM r;
    r.current.bTalk = r.current.bDraw = true;
    r.current.wMaxUsers = 10;
    r.current.nFrameRate = 0;
    r.current.nCaptureSize = 3;
    r.current.nPresenterVideo = 1;
    r.current.nOptionA = 5;
    r.current.nOptionB = 2;
    r.szTitle = u"Weekly";
    r.nParticipants = 4;
    r.bControlRight = true;
    return r;
}

S_PROPERTYFORM Unchanged(const S_PROPERTYROOM& r)
{
    S_PROPERTYFORM f;
    f.values = r.current;
    f.values.nOptionA = f.values.nOptionB = 0; // the dialog does not edit them
    f.szTitle = r.szTitle;
    f.szPassword = r.szPassword;
    f.nOpeningFrameRate = r.current.nFrameRate;
    return f;
}
} // namespace

TEST(PropertyOk, ValidationKeepsTheDialogOpen)
{
    struct Row
    {
        const char* what;
        std::u16string title, password;
        uint16_t wMax;
        PropertyOkAction action;
        const char* key;
        char16_t bad;
    } rows[] = {
        {"127 characters", std::u16string(127, u'a'), u"", 10, PROPERTY_TEXTS, "", 0},
        {"128 characters", std::u16string(128, u'a'), u"", 10, PROPERTY_STAY, "", 0},
        {"empty title", u"", u"", 10, PROPERTY_STAY, "IDS_CONF_NULLTITLE", 0},
        {"apostrophe in the title", u"Bob's", u"", 10, PROPERTY_STAY, "IDS_CONF_NONCHARACTER", u'\''},
        {"U+00FF in the password", u"Room", u"p\u00FFw", 10, PROPERTY_STAY, "IDS_CONF_NONCHARACTER", 0xFF},
        {"apostrophe past 100 characters is cut", u"Room", std::u16string(100, u'x') + u"'", 10,
         PROPERTY_TEXTS, "", 0},
        {"maximum below present", u"Weekly", u"", 3, PROPERTY_STAY, "IDMS_NON_MAXUSER", 0},
        {"maximum at present", u"Weekly", u"", 4, PROPERTY_SEND, "", 0},
    };
    for (const Row& r : rows)
    {
        S_PROPERTYROOM room = Room();
        S_PROPERTYFORM f = Unchanged(room);
        f.szTitle = r.title;
        f.szPassword = r.password;
        f.values.wMaxUsers = r.wMax;
        S_PROPERTYOK ok = PropertyOk(room, f);
        EXPECT_EQ(ok.action, r.action) << r.what;
        EXPECT_EQ(ok.szMessageKey, r.key) << r.what;
        EXPECT_EQ(ok.badChar.value_or(0), r.bad) << r.what;
    }
    // The present maximum is kept even when more are present.
    S_PROPERTYROOM crowded = Room();
    crowded.nParticipants = 12;
    EXPECT_EQ(PropertyOk(crowded, Unchanged(crowded)).action, PROPERTY_TEXTS);
    // Without the control right the dialog closes and nothing goes anywhere.
    S_PROPERTYROOM guest = Room();
    guest.bControlRight = false;
    S_PROPERTYFORM f = Unchanged(guest);
    f.values.bChat = true;
    EXPECT_EQ(PropertyOk(guest, f).action, PROPERTY_CLOSE);

    EXPECT_EQ(BadCharMessage(u'\'', u"is not allowed"), u"['] is not allowed");
    EXPECT_EQ(BadCharMessage(u'\u00FF', u"x"), u"[\u00FF] x");
}

TEST(PropertyOk, ChangeDetectionAndWhatIsSent)
{
    S_PROPERTYROOM room = Room();
    S_PROPERTYFORM f = Unchanged(room);
    S_PROPERTYOK ok = PropertyOk(room, f);
    EXPECT_EQ(ok.action, PROPERTY_TEXTS); // nothing changed: the bar compares the texts, no 420
    EXPECT_EQ(ok.szTitle, u"Weekly");

    f.values.bChat = true;
    f.values.nPresenterVideo = PresenterVideoValue(0);
    ok = PropertyOk(room, f);
    ASSERT_EQ(ok.action, PROPERTY_SEND);
    EXPECT_TRUE(ok.send.bChat);
    EXPECT_EQ(ok.send.nPresenterVideo, 3u); // "not used" travels as 3
    EXPECT_EQ(ok.send.nCaptureSize, 0u);    // unchanged capture size sends 0
    EXPECT_EQ(ok.send.nOptionA, 5u);        // passed back as the room has them
    EXPECT_EQ(ok.send.nOptionB, 2u);

    // A room whose record holds a capture code without an item opens on automatic, which
    // then counts as a change and sends 1.
    for (uint32_t nCode : {0u, 7u})
    {
        S_PROPERTYROOM odd = Room();
        odd.current.nCaptureSize = nCode;
        S_PROPERTYFORM g = Unchanged(odd);
        g.values.nCaptureSize = CaptureSizeCode(CaptureSizeIndex(nCode));
        ok = PropertyOk(odd, g);
        ASSERT_EQ(ok.action, PROPERTY_SEND) << nCode;
        EXPECT_EQ(ok.send.nCaptureSize, 1u) << nCode;
    }

    // The frame rate: changed against the room or the value at opening; never in a document room.
    struct Rate
    {
        uint32_t nRoom, nOpening, nForm;
        bool bDocument;
        PropertyOkAction action;
        uint32_t nSent;
    } rates[] = {
        {10, 10, 10, false, PROPERTY_TEXTS, 0},
        {10, 0, 0, false, PROPERTY_SEND, 0}, // no sender window: the rate stayed 0 and is sent
        {0, 5, 5, false, PROPERTY_SEND, 5},
        {10, 10, 60, false, PROPERTY_SEND, 31}, // five bits: clamped, not wrapped to 28
        {10, 0, 0, true, PROPERTY_TEXTS, 0},
    };
    for (const Rate& r : rates)
    {
        S_PROPERTYROOM rr = Room();
        rr.current.nFrameRate = r.nRoom;
        rr.bDocumentRoom = r.bDocument;
        S_PROPERTYFORM g = Unchanged(rr);
        g.nOpeningFrameRate = r.nOpening;
        g.values.nFrameRate = r.nForm;
        ok = PropertyOk(rr, g);
        EXPECT_EQ(ok.action, r.action) << r.nRoom << " " << r.nForm;
        if (ok.action == PROPERTY_SEND)
        {
            EXPECT_EQ(ok.send.nFrameRate, r.nSent) << r.nForm;
        }
    }
    // What PackRoomProperty makes of a too-high rate: 31, not the low five bits.
    S_ROOMPROPERTY p;
    p.nFrameRate = 60;
    EXPECT_EQ(UnpackRoomProperty(PackRoomProperty(p)).nFrameRate, 31u);
}

TEST(PropertyControls, FrameRateSliderAndLists)
{
    struct Row
    {
        bool bFixed, bDocument, bSender, bVideo;
        uint32_t nRoomRate, nMax;
        S_FRAMERATECONTROLS expected;
    } rows[] = {
        {false, false, true, true, 10, 30, {30, false, false, 0u}},
        {true, true, true, true, 10, 30, {30, false, false, 0u}},
        {true, false, false, true, 10, 30, {30, false, false, std::nullopt}}, // no sender: left as it is
        {true, false, true, true, 10, 30, {30, true, true, 10u}},
        {true, false, true, true, 0, 30, {30, true, true, 5u}},
        {true, false, true, false, 12, 30, {30, true, false, 12u}},
        {true, false, true, true, 40, 60, {31, true, true, 31u}}, // maximum 60: the slider stops at 31
    };
    for (const Row& r : rows)
    {
        S_FRAMERATECONTROLS c =
            FrameRateControls(r.bFixed, r.bDocument, r.bSender, r.bVideo, r.nRoomRate, r.nMax);
        EXPECT_EQ(c.nSliderMax, r.expected.nSliderMax);
        EXPECT_EQ(c.bSliderEnabled, r.expected.bSliderEnabled);
        EXPECT_EQ(c.bValueShown, r.expected.bValueShown);
        EXPECT_EQ(c.nFrameRate, r.expected.nFrameRate);
    }

    EXPECT_EQ(PresenterVideoIndex(3), 0);
    EXPECT_EQ(PresenterVideoIndex(0), 1);
    EXPECT_EQ(PresenterVideoIndex(2), 3);
    EXPECT_EQ(PresenterVideoValue(2), 1u);
    EXPECT_EQ(CaptureSizeIndex(6), 5);
    EXPECT_EQ(CaptureSizeIndex(1), 0);
    EXPECT_EQ(CaptureSizeCode(4), 5u);
    EXPECT_EQ(VideoSizeOfCode(5), (S_VIDEOSIZE{1280, 720}));
    EXPECT_EQ(VideoSizeOfCode(7), (S_VIDEOSIZE{}));
}

TEST(PropertyControls, LayoutVariants)
{
    struct Row
    {
        bool bVideo, bQualityHidden, bDesktop, bMedia;
        int nS, nB, nHeight, nMediaX, nOkY;
    } rows[] = {
        {true, false, true, true, 0, 0, 590, 200, 543},
        {false, false, true, true, 130, 0, 460, 200, 413}, // no video section
        {false, true, true, true, 130, 0, 460, 200, 413},  // its quality row went with it
        {true, true, true, false, 20, 25, 545, 200, 498},  // quality hidden, no media share
        {true, false, false, true, 0, 25, 565, 26, 518},   // media share takes the left column
    };
    for (const Row& r : rows)
        EXPECT_EQ(PropertyLayout(r.bVideo, r.bQualityHidden, r.bDesktop, r.bMedia),
                  (S_PROPERTYLAYOUT{25, r.nS, r.nB, r.nHeight, r.nMediaX, r.nOkY}));
}
