// The notices' rules: box answers, button places, time-outs and countdown, invitation places,
// list and text, zoom choices, and the English texts of every key the notices use.
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

#include "confclient/notices/InviteNotices.h"
#include "confclient/notices/NoticeBoxRules.h"
#include "confclient/notices/ZoomChoices.h"
#include "confclient/session/texttable/TextTable.h"

namespace
{
struct RecordingLog : ILogSink
{
    std::vector<std::string> lines;
    void AddLog(int, const std::string& text) override { lines.push_back(text); }
};

CTextTable ShippedTexts()
{
    std::ifstream in(QUILLON_SOURCE_DIR "/resources/texts.txt", std::ios::binary);
    std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    CTextTable table;
    table.Parse(bytes.data(), bytes.size());
    return table;
}
} // namespace

TEST(NoticeBox, AnswersTimeOutsAndEscape)
{
    EXPECT_EQ(NOTICEBOX_FIRST, NoticeBoxAnswerOf(kNoticeButtonOk));
    EXPECT_EQ(NOTICEBOX_SECOND, NoticeBoxAnswerOf(kNoticeButtonCancel));
    EXPECT_EQ(NOTICEBOX_THIRD, NoticeBoxAnswerOf(kNoticeButtonThird));
    EXPECT_EQ(NOTICEBOX_THIRD, NoticeBoxAnswerOf(0)); // ended from outside: the room went
    const struct
    {
        int nMode;
        bool bWaits;
        NoticeTimeout action;
    } modes[] = {{NOTICEBOX_MODAL, true, NoticeTimeout::EndFirst},
                 {NOTICEBOX_MODELESS, false, NoticeTimeout::Close},
                 {NOTICEBOX_NOTICE, false, NoticeTimeout::Close},
                 {NOTICEBOX_SHARE_QUESTION, false, NoticeTimeout::Cancel},
                 {NOTICEBOX_RECONNECT, true, NoticeTimeout::EndFirst}};
    for (const auto& m : modes)
    {
        EXPECT_EQ(m.bWaits, NoticeBoxWaits(m.nMode)) << m.nMode;
        EXPECT_EQ(m.action, NoticeTimeoutAction(m.nMode)) << m.nMode;
    }
    EXPECT_FALSE(EscapeIsThirdButton(1));
    EXPECT_FALSE(EscapeIsThirdButton(2));
    EXPECT_TRUE(EscapeIsThirdButton(3));
}

TEST(NoticeBox, ButtonsAreCentredAndAbsentOnesAreZero)
{
    const struct
    {
        int nCount, nMode;
        std::array<int, 3> x;
    } cases[] = {
        {1, NOTICEBOX_MODAL, {110, 0, 0}}, // 300 wide, 80-px buttons, 10 apart
        {2, NOTICEBOX_MODAL, {65, 155, 0}},   {3, NOTICEBOX_MODAL, {20, 110, 200}},
        {1, NOTICEBOX_RECONNECT, {80, 0, 0}}, // the first button 30 px to the left
        {5, NOTICEBOX_MODAL, {20, 110, 200}}, // at most three
        {0, NOTICEBOX_MODAL, {0, 0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.x, NoticeButtonPlaces(c.nCount, 300, 80, 10, c.nMode)) << c.nCount << " " << c.nMode;
    // A row wider than the box still starts inside it, never at the "absent" 0.
    EXPECT_EQ(1, NoticeButtonPlaces(3, 100, 80, 10, NOTICEBOX_RECONNECT)[0]);
}

TEST(NoticeBox, ReconnectCountdownTexts)
{
    CTextTable texts = ShippedTexts();
    RecordingLog log;
    const struct
    {
        uint32_t dwNow;
        int nLeft;
    } steps[] = {{1000, 5}, {1999, 5}, {2000, 4}, {5999, 1}, {6000, 0}, {60000, 0}};
    std::u16string last;
    for (const auto& s : steps)
    {
        int nLeft = ReconnectSecondsLeft(5, 1000, s.dwNow);
        EXPECT_EQ(s.nLeft, nLeft) << s.dwNow;
        std::u16string text = Formatted(&log, texts.GetText(u"IDS_SOCK_RECONNECTION"), nLeft);
        EXPECT_NE(std::u16string::npos, text.find(std::u16string(1, static_cast<char16_t>(u'0' + s.nLeft))))
            << Utf8Of(text);
    }
    EXPECT_EQ(3, ReconnectSecondsLeft(5, 0xFFFFF000u, 0xFFFFF000u + 2500)); // across the wrap
    EXPECT_EQ(3, ReconnectSecondsLeft(5, 0xFFFFFC18u, 1500));
    EXPECT_TRUE(log.lines.empty());
}

TEST(NoticeBox, ShareQuestionCodes)
{
    EXPECT_EQ(0, ShareAcceptCode(0xFFFF, 0xFFFF));
    EXPECT_EQ(2, ShareAcceptCode(0xFFFF, 7));
    EXPECT_EQ(3, ShareAcceptCode(4, 0xFFFF));
    EXPECT_EQ(3, ShareAcceptCode(4, 7));
}

TEST(InviteNotice, SitsInTheWorkAreasCornerWhereverTheTaskbarIs)
{
    const struct
    {
        const char* edge;
        NoticeRect work;
        NoticePoint at;
    } cases[] = {
        {"bottom", {0, 0, 1920, 1040}, {1690, 870}},
        {"top", {0, 40, 1920, 1080}, {1690, 910}},
        {"left", {60, 0, 1920, 1080}, {1690, 910}},
        {"right", {0, 0, 1860, 1080}, {1630, 910}},
        {"second monitor left of the first", {-1280, 0, 0, 984}, {-230, 814}},
    };
    for (const auto& c : cases)
    {
        NoticePoint p = InviteNoticeOrigin(c.work, 0);
        EXPECT_EQ(c.at.x, p.x) << c.edge;
        EXPECT_EQ(c.at.y, p.y) << c.edge;
        EXPECT_EQ(c.at.y - 2 * kInviteNoticeHeight, InviteNoticeOrigin(c.work, 2).y) << c.edge;
    }
}

TEST(InviteNotice, OnePerInviterAndRoomStackedInTheLowestFreeSlot)
{
    CInviteNoticeList list;
    EXPECT_EQ(0, list.Add(5, 2));
    EXPECT_EQ(std::nullopt, list.Add(5, 2)); // the same invitation again shows nothing new
    EXPECT_EQ(1, list.Add(5, 3));
    EXPECT_EQ(2, list.Add(6, 2));
    list.Remove(5, 3);
    EXPECT_FALSE(list.Has(5, 3));
    EXPECT_EQ(1, list.Add(7, 9)); // the freed place is taken again
    list.Remove(1, 1);            // not listed: nothing
    EXPECT_EQ(3u, list.Count());
}

TEST(InviteNotice, TextNamesTheInviterWhenKnown)
{
    CTextTable texts = ShippedTexts();
    RecordingLog log;
    const std::u16string invite = texts.GetText(u"IDS_MSG_INVITENOTICE");
    const std::u16string anyone = texts.GetText(u"IDS_MSG_ANYONE_INVITENOTICE");
    std::u16string known = InviteNoticeText(invite, anyone, u"Alice", u"Maths", &log);
    EXPECT_NE(std::u16string::npos, known.find(u"Alice"));
    EXPECT_NE(std::u16string::npos, known.find(u"Maths"));
    EXPECT_NE(std::u16string::npos, known.find(u"\n\n"));
    std::u16string unknown = InviteNoticeText(invite, anyone, std::nullopt, u"Maths", &log);
    EXPECT_NE(std::u16string::npos, unknown.find(u"Maths"));
    EXPECT_EQ(std::u16string::npos, unknown.find(u"%"));
    EXPECT_TRUE(log.lines.empty());
}

TEST(ZoomChoices, ResultZoomAndBothWaysBetweenRadioAndCommand)
{
    const struct
    {
        int nValue;
        std::optional<uint16_t> command;
    } cases[] = {{9, std::nullopt}, {301, std::nullopt}, {4096, 32949},      {8192, 32950},
                 {175, 32987},      {10, 32987},         {300, 32948},       {25, 32941},
                 {100, 32944},      {0, std::nullopt},   {-25, std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(c.command, ResultZoom(c.nValue)) << c.nValue;
    for (const ZoomChoice& c : kZoomChoices)
    {
        EXPECT_EQ(&c, ZoomChoiceOfRadio(c.nRadio));
        EXPECT_EQ(&c, &ZoomChoiceOfCommand(c.wCommand));
    }
    EXPECT_EQ(1513, ZoomChoiceOfCommand(12345).nRadio); // unknown commands fit the width
    EXPECT_EQ(nullptr, ZoomChoiceOfRadio(1504));
}

TEST(NoticeTexts, EveryKeyTheNoticesUseHasAnEnglishTextWithItsPlaceholders)
{
    CTextTable texts = ShippedTexts();
    RecordingLog log;
    // key, and the arguments it is filled with (s: a text, d: a number)
    const struct
    {
        const char16_t* key;
        const char* args;
    } keys[] = {
        {u"IDS_SOCK_RECONNECTION", "d"},
        {u"IDS_MSG_INVITENOTICE", "sss"},
        {u"IDS_MSG_ANYONE_INVITENOTICE", "ss"},
        {u"IDMS_MAIN_INVITE", ""},
        {u"IDS_DEFAULT_FONT", ""},
        {u"IDS_DEFAULT_FONTSIZE", ""},
        {u"IDS_MAM_FONTSIZE", ""},
        {u"IDMS_SHARE_NAME", ""},
        {u"IDMS_SHARE_REMOTECTRL", ""},
        {u"IDMS_SHARE_CLOSE", ""},
        {u"IDMS_DS_DRAWTOOLTITLE", ""},
        {u"IDMS_DRAWTOOL_HIDE", ""},
        {u"IDMS_MENU_DRAW_ZOOM", ""},
        {u"IDMS_BOARD_ZOOM_WIDTH", ""},
        {u"IDMS_BOARD_ZOOM_PAGE", ""},
        {u"IDMS_BOARD_ZOOM_USERSET", ""},
        {u"IDMS_BOARD_ZOOM_ERR", ""},
        {u"IDS_MSG_INVITE_CANCLE_RECV", ""},
        {u"IDS_LOBBY_COUNTDOWN", "d"},
        {u"IDS_REQ_PRESENTER_CONFIRM", "s"},
        {u"IDS_REQ_PRESENTER_PLAYER", "s"},
        {u"IDMS_AUDIO_REMOTECTRL", "s"},
        {u"IDS_LOBBY_LOGGEDIN", "s"},
        {u"IDS_LOBBY_INROOM", "s"},
        {u"IDS_LOBBY_ROOMTITLE", "s"},
    };
    for (const auto& k : keys)
    {
        SCOPED_TRACE(Utf8Of(k.key));
        const std::u16string* text = texts.Find(k.key);
        ASSERT_NE(nullptr, text);
        EXPECT_FALSE(text->empty());
        std::string kinds;
        for (size_t i = 0; i + 1 < text->size(); ++i)
            if ((*text)[i] == u'%')
            {
                if ((*text)[i + 1] != u'%') kinds.push_back(static_cast<char>((*text)[i + 1]));
                ++i;
            }
        EXPECT_EQ(std::string(k.args), kinds);
    }
    EXPECT_TRUE(log.lines.empty());
}

namespace
{
// The control bar as the zoom dialog sees it: every call, and the zoom the board was given.
struct RecordedZoomOwner : IZoomOwner
{
    std::vector<std::string> calls;
    uint16_t wStoredCommand = 0;
    int nStored = 100;
    int nBoard = 100;
    void CheckZoomItem(uint16_t wCommand, int nValue, bool bChecked, bool bApply) override
    {
        calls.push_back(std::to_string(wCommand) + " " + std::to_string(nValue) +
                        (bChecked ? " checked" : "") + (bApply ? " apply" : ""));
        if (!bChecked) return;
        wStoredCommand = wCommand;
        if (bApply && nValue != nStored) nStored = nBoard = nValue;
    }
    int StoredZoom() const override { return nStored; }
    int BoardZoomPercent() const override { return nBoard; }
    void OnZoomDialogClosed() override { calls.push_back("closed"); }
};
} // namespace

TEST(ZoomChoices, ChoicesApplyAtOnceUserSetWaitsAndCancelRestores)
{
    RecordedZoomOwner owner;
    CZoomChoiceModel model(owner, 32944, 100); // 100% at opening
    EXPECT_EQ(1508, model.SelectedRadio());
    EXPECT_EQ(3, model.RadioIndex());
    EXPECT_EQ(100, model.EditValue());

    model.Choose(1513, 100); // fit width: at once, the box left alone
    EXPECT_EQ((std::vector<std::string>{"0 0 apply", "32949 4096 checked apply"}), owner.calls);
    EXPECT_EQ(4096, owner.nBoard);
    EXPECT_EQ(std::nullopt, model.EditValue());

    owner.calls.clear();
    model.Choose(kZoomRadioUserSet, 175); // the user's own: checked, not applied yet
    EXPECT_EQ((std::vector<std::string>{"0 0 apply", "32987 175 checked"}), owner.calls);
    EXPECT_EQ(4096, owner.nBoard);
    EXPECT_FALSE(model.Enter(301)); // the error, nothing applied
    EXPECT_FALSE(model.Ok(9));
    EXPECT_FALSE(model.Ok(std::nullopt));
    EXPECT_EQ(4096, owner.nBoard);
    EXPECT_TRUE(model.Enter(300));
    EXPECT_EQ(300, owner.nBoard);
    EXPECT_TRUE(model.Ok(175));
    EXPECT_EQ(175, owner.nBoard);

    owner.calls.clear();
    model.Cancel(); // back to 100% and its command
    EXPECT_EQ((std::vector<std::string>{"0 0 apply", "32944 100 checked apply"}), owner.calls);
    EXPECT_EQ(100, owner.nBoard);
    EXPECT_EQ(1508, model.SelectedRadio());

    CZoomChoiceModel userSet(owner, kZoomCommandUserSet, 130);
    EXPECT_TRUE(userSet.IsUserSet());
    EXPECT_EQ(130, userSet.EditValue());
    CZoomChoiceModel unknown(owner, 4, 50);
    EXPECT_EQ(1513, unknown.SelectedRadio());
}
