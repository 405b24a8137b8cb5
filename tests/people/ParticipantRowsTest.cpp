// The participant rows: icons, chief and presenter rows, sorting as a strict weak ordering,
// duplicates, find, the first free channel, the title; the menus' rules.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "confclient/people/ParticipantRows.h"
#include "confclient/people/UserMenuRules.h"

namespace
{
struct FakeRoom : IUserRowRoom
{
    CRoomUserInfo users;
    uint16_t wChief = 65535;
    uint16_t wPresenterUser = 65535;

    S_ROOMUSERINFO* FindUser(uint16_t wChannel) override { return users.FindUser(wChannel); }
    bool HasControlRight(uint16_t wChannel) const override { return wChannel == wChief; }
    uint16_t PresenterUserIndex() const override { return wPresenterUser; }
    std::u16string PositionText(const std::u16string& szName, uint16_t wLevel) const override
    {
        return UserGrade(wLevel) == 1 ? szName + u" (admin)" : szName;
    }
    std::u16string Text(const char* pszKey) const override
    {
        return std::string(pszKey) == "IDMS_POSITION_PRESIDER" ? u"chief" : u"speaker";
    }

    void Add(uint16_t wChannel, const char16_t* pszName, uint32_t dwTalk = 1, uint32_t dwDraw = 0)
    {
        S_ROOMUSERINFO u;
        u.channel = wChannel;
        u.userIndex = static_cast<uint16_t>(100 + wChannel);
        u.level = 0;
        u.Name = pszName;
        u.ID = std::u16string(pszName) + u"_id";
        u.talkRight = dwTalk;
        u.drawRight = dwDraw;
        u.avFlag1 = 0;
        u.avFlag2 = 0;
        users.AddUser(u);
    }
};

struct FakeRowView : IUserRowView
{
    std::vector<SUserRow> shown;
    void ShowRows(const std::vector<SUserRow>& rows) override { shown = rows; }
};

std::vector<uint16_t> Channels(const std::vector<SUserRow>& rows)
{
    std::vector<uint16_t> out;
    for (const SUserRow& r : rows)
        out.push_back(r.wChannel);
    return out;
}

// alice 1 (chief), bob 2, carol 3, dave 4, joined in that order.
struct Room4
{
    FakeRoom room;
    FakeRowView view;
    CParticipantRows rows{room, view};
    Room4()
    {
        room.Add(1, u"alice");
        room.Add(2, u"Bob");
        room.Add(3, u"carol");
        room.Add(4, u"dave");
        for (uint16_t ch = 1; ch <= 4; ++ch)
            rows.InsertUser(ch, ch);
        room.wChief = 1;
        rows.RebuildList(65535, 1);
    }
};
} // namespace

TEST(ParticipantRows, VoiceIconRule)
{
    struct
    {
        const char* pszCase;
        bool bRecord;
        uint8_t nErr, nOff;
        uint32_t dwTalk;
        bool bChief, bPresenter;
        const char16_t* pszIcon;
    } cases[] = {
        {"no record", false, 0, 0, 1, false, false, u""},
        {"voice error", true, 1, 0, 1, true, true, u"Voice_ERR_"},
        {"talk right, on", true, 0, 0, 1, false, false, u"Voice_ON_"},
        {"talk right, off", true, 0, 1, 1, false, false, u"Voice_OFF_"},
        {"control right", true, 0, 0, 0, true, false, u"Voice_ON_"},
        {"no right", true, 0, 0, 0, false, false, u"Voice_DIS_"},
        {"presenter", true, 0, 1, 0, false, true, u"Voice_OFF_"},
    };
    for (const auto& c : cases)
    {
        FakeRoom room;
        FakeRowView view;
        CParticipantRows rows(room, view);
        if (c.bRecord)
        {
            room.Add(5, u"eve", c.dwTalk);
            room.users.FindUser(5)->avFlag2 = c.nErr;
            room.users.FindUser(5)->avFlag1 = c.nOff;
        }
        if (c.bChief) room.wChief = 5;
        if (c.bPresenter) room.wPresenterUser = 105;
        EXPECT_EQ(std::u16string(c.pszIcon), rows.VoiceIconName(5)) << c.pszCase;
    }
}

TEST(ParticipantRows, RowsIconsAndRights)
{
    Room4 r;
    EXPECT_EQ((std::vector<uint16_t>{1, 2, 3, 4}), Channels(r.view.shown));
    EXPECT_EQ(u"alice (chief)", r.view.shown[0].szPosition);
    EXPECT_EQ(u"Board_true_", r.view.shown[0].szBoard);
    EXPECT_EQ(u"Board_false_", r.view.shown[1].szBoard);
    EXPECT_EQ(u"Bob(Bob_id)", r.view.shown[1].szTip);

    r.rows.UpdateUserIcons(2, 0, 1, 0, 0, 0);
    EXPECT_EQ(u"Voice_DIS_", r.view.shown[1].szVoice);
    EXPECT_EQ(u"Board_true_", r.view.shown[1].szBoard);
    EXPECT_EQ(1u, r.room.users.FindUser(2)->drawRight);
    r.rows.UpdateUserIcons(1, 0, 0, 0, 0, 0);
    EXPECT_EQ(u"Board_true_", r.view.shown[0].szBoard) << "the chief keeps the board";

    r.rows.UpdateUserRow(3 | (1u << 17));
    EXPECT_EQ(u"Voice_OFF_", r.view.shown[2].szVoice);
    r.rows.SetVoiceIcon(3, true);
    EXPECT_EQ(u"Voice_OFF_", r.view.shown[2].szVoice) << "off stays off";
    r.rows.SetVoiceIcon(4, true);
    EXPECT_EQ(u"Voice_SPEAK_", r.view.shown[3].szVoice);
    r.rows.SetVoiceIcon(4, false);
    EXPECT_EQ(u"Voice_ON_", r.view.shown[3].szVoice);

    r.rows.SetBoardIcon(false, 1);
    EXPECT_EQ(u"Board_true_", r.view.shown[3].szBoard);
    r.rows.SetBoardIcon(true, 0);
    EXPECT_EQ(u"Voice_DIS_", r.view.shown[3].szVoice);
    EXPECT_EQ(u"Voice_ON_", r.view.shown[0].szVoice) << "the chief keeps talking";
}

TEST(ParticipantRows, PresenterAndChiefMoves)
{
    Room4 r;
    r.rows.SortList(USERSORT_NAME_DOWN);
    EXPECT_EQ((std::vector<uint16_t>{1, 4, 3, 2}), Channels(r.view.shown));
    // carol presents: row 1, the speaker word; dave goes back among the others.
    r.room.wPresenterUser = 103;
    r.rows.AddOrUpdateUser(3);
    EXPECT_EQ((std::vector<uint16_t>{1, 3, 4, 2}), Channels(r.view.shown));
    EXPECT_EQ(u"carol (speaker)", r.view.shown[1].szPosition);
    EXPECT_EQ(u"dave", r.view.shown[2].szPosition);
    // Sorting keeps chief and presenter on top, both ways.
    r.rows.SortList(USERSORT_NAME_UP);
    EXPECT_EQ((std::vector<uint16_t>{1, 3, 2, 4}), Channels(r.view.shown));
    // bob becomes chief: row 0; alice goes among the others, carol stays presenter.
    r.room.wChief = 2;
    r.rows.RebuildList(1, 2);
    EXPECT_EQ(u"Bob (chief)", r.view.shown[0].szPosition);
    EXPECT_EQ(u"alice", r.rows.Rows()[r.rows.RowOf(1)].szPosition);
    EXPECT_EQ(2, r.view.shown[0].wChannel);
    EXPECT_EQ(3, r.view.shown[1].wChannel) << "the presenter's row stays";
    // The presenter cleared: row 1 is an ordinary row again, sorted with the rest.
    r.room.wPresenterUser = 65535;
    r.rows.AddOrUpdateUser(65535);
    EXPECT_EQ((std::vector<uint16_t>{2, 1, 3, 4}), Channels(r.view.shown));
    EXPECT_EQ(u"carol", r.view.shown[2].szPosition);
    // Tooltips travel with their users.
    for (const SUserRow& row : r.view.shown)
        EXPECT_EQ(row.szName + u"(" + row.szName + u"_id)", row.szTip);
}

TEST(ParticipantRows, DuplicateChannelsAndKeys)
{
    Room4 r;
    r.room.Add(3, u"carol2");
    r.rows.InsertUser(3, 9);
    r.rows.InsertUser(3, 10);
    r.rows.ChangeUserIndex(3, 7);
    EXPECT_EQ((std::vector<uint16_t>{1, 2, 7, 4, 3, 3}), Channels(r.view.shown)) << "the first row only";
    r.rows.RemoveUser(3);
    EXPECT_EQ((std::vector<uint16_t>{1, 2, 7, 4}), Channels(r.view.shown)) << "adjacent duplicates both go";
    r.rows.SwapUserIndices(2, 4);
    EXPECT_EQ((std::vector<uint16_t>{1, 4, 7, 2}), Channels(r.view.shown));
    r.rows.SwapUserIndices(4, 99);
    EXPECT_EQ((std::vector<uint16_t>{1, 99, 7, 2}), Channels(r.view.shown)) << "only rows that exist";
    r.rows.UpdateUserIcons(42, 1, 1, 1, 1, 1);
    r.rows.SetVoiceIcon(42, true);
    EXPECT_EQ(4u, r.view.shown.size());
}

TEST(ParticipantRows, SyncFollowsTheRoom)
{
    struct CountingView : FakeRowView
    {
        int nShown = 0;
        void ShowRows(const std::vector<SUserRow>& rows) override
        {
            ++nShown;
            shown = rows;
        }
    };
    FakeRoom room;
    CountingView view;
    CParticipantRows rows(room, view);
    room.Add(1, u"alice");
    room.Add(2, u"Bob");
    room.Add(3, u"carol");
    room.wChief = 2;
    rows.Sync({1, 2, 3}, 2, 65535);
    EXPECT_EQ((std::vector<uint16_t>{2, 1, 3}), Channels(view.shown)) << "the chief on row 0";
    EXPECT_EQ(u"Bob (chief)", view.shown[0].szPosition);
    EXPECT_EQ((std::vector<uint16_t>{1, 0, 2}),
              (std::vector<uint16_t>{view.shown[0].wJoin, view.shown[1].wJoin, view.shown[2].wJoin}));
    rows.Sync({1, 2, 3}, 2, 65535);
    EXPECT_EQ(1, view.nShown) << "no change, nothing shown";

    // carol speaks and presents; a mark stays while she may talk.
    rows.SetVoiceIcon(3, true);
    room.wPresenterUser = 103;
    rows.Sync({1, 2, 3}, 2, 3);
    EXPECT_EQ((std::vector<uint16_t>{2, 3, 1}), Channels(view.shown));
    EXPECT_EQ(u"carol (speaker)", view.shown[1].szPosition);
    EXPECT_EQ(u"Voice_SPEAK_", view.shown[1].szVoice);
    room.users.FindUser(3)->avFlag1 = 1;
    rows.Sync({1, 2, 3}, 2, 3);
    EXPECT_EQ(u"Voice_OFF_", view.shown[1].szVoice);

    // alice and carol swap channels: the rows stay theirs. dave joins, Bob leaves, alice is chief.
    room.users.FindUser(1)->channel = 9;
    room.users.FindUser(3)->channel = 1;
    room.users.FindUser(9)->channel = 3;
    room.Add(4, u"dave");
    room.users.RemoveUser(2);
    room.wChief = 3;
    rows.Sync({3, 1, 4}, 3, 1);
    EXPECT_EQ((std::vector<uint16_t>{3, 1, 4}), Channels(view.shown));
    EXPECT_EQ(u"alice (chief)", view.shown[0].szPosition);
    EXPECT_EQ(u"carol (speaker)", view.shown[1].szPosition);
    EXPECT_EQ(u"dave", view.shown[2].szPosition);
    EXPECT_EQ(3, view.shown[2].wJoin) << "a newcomer's join value is the next one";

    // The presenter cleared and the rows sorted by name down: only the chief's row stays on top.
    room.wPresenterUser = 65535;
    rows.SortList(USERSORT_NAME_DOWN);
    rows.Sync({3, 1, 4}, 3, 65535);
    EXPECT_EQ((std::vector<uint16_t>{3, 4, 1}), Channels(view.shown));
    EXPECT_EQ(u"carol", view.shown[2].szPosition);
}

TEST(ParticipantRows, SortIsAStrictWeakOrderingAndKeepsTheTopRows)
{
    std::mt19937 rng(101);
    const char16_t* names[] = {u"al", u"Al", u"bo", u"BO", u"b", u"", u"z", u"Zed"};
    std::vector<SUserRow> rows;
    for (int i = 0; i < 40; ++i)
    {
        SUserRow row;
        row.szName = names[rng() % std::size(names)];
        row.wJoin = static_cast<uint16_t>(rng() % 10);
        rows.push_back(row);
    }
    for (int nMode = 0; nMode <= 2; ++nMode)
        for (const SUserRow& a : rows)
        {
            EXPECT_FALSE(UserRowLess(a, a, nMode));
            for (const SUserRow& b : rows)
            {
                if (UserRowLess(a, b, nMode))
                {
                    EXPECT_FALSE(UserRowLess(b, a, nMode));
                }
                for (const SUserRow& c : rows)
                {
                    bool bAB = UserRowLess(a, b, nMode), bBC = UserRowLess(b, c, nMode);
                    if (bAB && bBC)
                    {
                        EXPECT_TRUE(UserRowLess(a, c, nMode));
                    }
                    bool bEqAB = !bAB && !UserRowLess(b, a, nMode);
                    bool bEqBC = !bBC && !UserRowLess(c, b, nMode);
                    if (bEqAB && bEqBC)
                    {
                        EXPECT_FALSE(UserRowLess(a, c, nMode) || UserRowLess(c, a, nMode));
                    }
                }
            }
        }
    // Through the model: rows 0 and 1 stay whatever their keys.
    FakeRoom room;
    FakeRowView view;
    CParticipantRows model(room, view);
    for (uint16_t ch = 1; ch <= 30; ++ch)
    {
        room.Add(ch, names[rng() % std::size(names)]);
        model.InsertUser(ch, static_cast<uint16_t>(rng() % 50));
    }
    room.wChief = 30;
    model.RebuildList(65535, 30);
    room.wPresenterUser = 129;
    model.AddOrUpdateUser(29);
    for (int nMode : {2, 1, 0, 2})
    {
        model.SortList(nMode);
        ASSERT_EQ(30, view.shown[0].wChannel);
        ASSERT_EQ(29, view.shown[1].wChannel);
        EXPECT_TRUE(std::is_sorted(view.shown.begin() + 2, view.shown.end(),
                                   [nMode](const SUserRow& a, const SUserRow& b)
                                   { return UserRowLess(a, b, nMode); }));
    }
    room.wPresenterUser = 65535;
    model.SortList(USERSORT_JOIN);
    EXPECT_EQ(30, view.shown[0].wChannel);
    EXPECT_TRUE(std::is_sorted(view.shown.begin() + 1, view.shown.end(),
                               [](const SUserRow& a, const SUserRow& b) { return a.wJoin < b.wJoin; }));
}

TEST(ParticipantRows, FindWrapsFreeChannelAndTitle)
{
    Room4 r;
    struct
    {
        const char16_t* pszText;
        int nMark;
        int nFound;
    } cases[] = {
        {u"car", -1, 2}, {u"CAR", 2, 2}, {u"b", 3, 1}, {u"a", 0, 2},
        {u"a", 3, 0},    {u"zz", 1, -1}, {u"", 0, -1}, {u"a", 9, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.nFound, r.rows.Find(c.pszText, c.nMark)) << c.nMark;

    CRoomUserInfo users;
    for (uint16_t ch : {4, 5, 7})
    {
        S_ROOMUSERINFO u;
        u.channel = ch;
        users.AddUser(u);
    }
    EXPECT_EQ(6, FirstFreeChannel(users, 4));
    EXPECT_EQ(3, FirstFreeChannel(users, 3));
    EXPECT_EQ(8, FirstFreeChannel(users, 7));

    auto measure = [](const std::u16string& s) { return static_cast<int>(s.size()) * 6; };
    EXPECT_EQ(u"Users (3/25)", UserListTitle(u"Users", 3, 25, true, measure, 200));
    EXPECT_EQ(u"(3/25)", UserListTitle(u"Users", 3, 25, true, measure, 75));
    EXPECT_EQ(u"Users (3/25)", UserListTitle(u"Users", 3, 25, true, measure, 76));
    EXPECT_EQ(u"Users (3/25)", UserListTitle(u"Users", 3, 25, false, measure, 10));
}

namespace
{
bool Has(const std::vector<SUserMenuItem>& items, uint32_t nCommand)
{
    for (const auto& i : items)
        if (i.nCommand == nCommand) return true;
    return false;
}
const SUserMenuItem& Item(const std::vector<SUserMenuItem>& items, uint32_t nCommand)
{
    for (const auto& i : items)
        if (i.nCommand == nCommand) return i;
    static SUserMenuItem none;
    ADD_FAILURE() << "no item " << nCommand;
    return none;
}

SUserMenuInputs ChiefOnBob()
{
    SUserMenuInputs in;
    in.nPresenterMode = 1;
    in.nMessageMode = 1;
    in.bUseDesktop = true;
    in.nMediaShareMode = 3;
    in.bUseRemoteControl = true;
    in.bControlRight = true;
    in.wMyChannel = 1;
    in.wChiefChannel = 1;
    in.wTarget = 2;
    in.wTargetUser = 102;
    in.bTargetTalk = true;
    return in;
}
} // namespace

TEST(UserMenuRules, ChiefMenu)
{
    SUserMenuInputs in = ChiefOnBob();
    ASSERT_EQ(USERMENU_CHIEF, ContextMenuKind(in));
    auto items = UserMenuItems(USERMENU_CHIEF, in);
    std::vector<uint32_t> order;
    for (const auto& i : items)
        order.push_back(i.nCommand);
    EXPECT_EQ((std::vector<uint32_t>{32772, 33002, 0, 32774, 32775, 32903, 32912, 32988, 0, 32789, 32907,
                                     32915, 32902, 0, 32773}),
              order);
    EXPECT_TRUE(Item(items, UMC_TALK).bChecked);
    EXPECT_FALSE(Item(items, UMC_DRAW).bChecked);
    for (uint32_t c : {UMC_GIVE_CHIEF, UMC_PRESENTER, UMC_TALK, UMC_DRAW, UMC_MESSAGE, UMC_BANISH})
        EXPECT_TRUE(Item(items, c).bEnabled) << c;
    EXPECT_FALSE(Item(items, UMC_CAMERA).bEnabled) << "bob's camera is not remotely controllable";

    struct
    {
        const char* pszCase;
        void (*tweak)(SUserMenuInputs&);
        std::vector<uint32_t> grey;
        std::vector<uint32_t> enabled;
    } cases[] = {
        {"the chief on himself",
         [](SUserMenuInputs& i) { i.wTarget = 1, i.bTargetControl = true, i.wMyCamKind = 3; },
         {UMC_TALK, UMC_DRAW, UMC_SHARE, UMC_MEDIASHARE, UMC_PRESENTER, UMC_BANISH, UMC_GIVE_CHIEF,
          UMC_MESSAGE},
         {UMC_CAMERA}},
        {"the chief on himself, no camera",
         [](SUserMenuInputs& i) { i.wTarget = 1, i.bTargetControl = true; },
         {UMC_CAMERA},
         {}},
        {"a terminal row",
         [](SUserMenuInputs& i) { i.wTargetTerminal = 2; },
         {UMC_TALK, UMC_DRAW, UMC_DS, UMC_SHARE, UMC_MEDIASHARE, UMC_PRESENTER, UMC_MESSAGE, UMC_GIVE_CHIEF},
         {UMC_BANISH}},
        {"a grade-3 target", [](SUserMenuInputs& i) { i.nTargetGrade = 3; }, {UMC_GIVE_CHIEF}, {UMC_TALK}},
        {"another control holder",
         [](SUserMenuInputs& i) { i.bTargetControl = true; },
         {UMC_PRESENTER, UMC_TALK, UMC_DRAW},
         {UMC_GIVE_CHIEF, UMC_BANISH, UMC_AUDIO_REMOTE}},
        {"remote control with a sharer",
         [](SUserMenuInputs& i) { i.bRemoteControlBit = true, i.bSharerActive = true; },
         {UMC_REMOTECTRL},
         {}},
        {"remote control", [](SUserMenuInputs& i) { i.bRemoteControlBit = true; }, {}, {UMC_REMOTECTRL}},
    };
    for (const auto& c : cases)
    {
        SUserMenuInputs t = ChiefOnBob();
        c.tweak(t);
        auto got = UserMenuItems(USERMENU_CHIEF, t);
        for (uint32_t g : c.grey)
            EXPECT_FALSE(Item(got, g).bEnabled) << c.pszCase << " " << g;
        for (uint32_t e : c.enabled)
            EXPECT_TRUE(Item(got, e).bEnabled) << c.pszCase << " " << e;
    }
}

TEST(UserMenuRules, OtherMenusAndTheListMenu)
{
    SUserMenuInputs in;
    in.nMessageMode = 2;
    in.wMyChannel = 2;
    in.wTarget = 3;
    struct
    {
        const char* pszCase;
        int nMode, nMine, nTheirs;
        bool bOwner;
        bool bMessage;
    } messages[] = {
        {"mode 1", 1, 3, 3, false, true},
        {"mode 2, grade 3 sender", 2, 3, 0, false, false},
        {"mode 2, grade 3 target", 2, 0, 3, false, true},
        {"mode 3, both grade 3", 3, 3, 3, true, false},
        {"mode 3, one grade 3", 3, 3, 0, true, true},
    };
    for (const auto& c : messages)
    {
        in.nMessageMode = c.nMode;
        in.nMyGrade = c.nMine;
        in.nTargetGrade = c.nTheirs;
        in.bOwner = c.bOwner;
        UserMenuKind kind = ContextMenuKind(in);
        EXPECT_EQ(c.bOwner ? USERMENU_OWNER : USERMENU_PARTICIPANT, kind);
        EXPECT_EQ(c.bMessage, Item(UserMenuItems(kind, in), UMC_MESSAGE).bEnabled) << c.pszCase;
    }
    in.nMessageMode = 0;
    in.bOwner = true;
    in.nMyGrade = 3;
    EXPECT_FALSE(Has(UserMenuItems(USERMENU_OWNER, in), UMC_MESSAGE));
    EXPECT_FALSE(Has(UserMenuItems(USERMENU_OWNER, in), UMC_GIVE_CHIEF)) << "grade 3 gives no chief";
    in.nMyGrade = 0;
    EXPECT_TRUE(Item(UserMenuItems(USERMENU_OWNER, in), UMC_GIVE_CHIEF).bEnabled);

    SUserMenuInputs list;
    list.bInviteAddress = true;
    list.bUseInvite = true;
    list.bUsePhoneCall = true;
    list.nSortMode = 2;
    list.bDrawAll = true;
    auto items = UserMenuItems(USERMENU_LIST, list);
    EXPECT_EQ(std::string("IDMS_CALLTO_PHONE"), Item(items, UMC_CALL).pszText);
    EXPECT_TRUE(Item(items, UMC_SORT_DOWN).bChecked);
    EXPECT_FALSE(Item(items, UMC_SORT_JOIN).bChecked);
    EXPECT_TRUE(Item(items, UMC_ALL_DRAW).bChecked);
    const SUserMenuItem* pAll = nullptr;
    for (const auto& i : items)
        if (i.nCommand == UMC_POPUP && std::string(i.pszText) == "IDMS_USERLIST_AUTH_ALL") pAll = &i;
    ASSERT_TRUE(pAll);
    EXPECT_FALSE(pAll->bEnabled) << "grey for a user without the control right";
    list.bControlRight = true;
    list.bPlayerMode = true;
    items = UserMenuItems(USERMENU_LIST, list);
    EXPECT_FALSE(Has(items, UMC_CALL)) << "no calls in player mode";
    EXPECT_EQ(UMC_SEPARATOR, items[1].nCommand);
}

TEST(UserMenuRules, CellClicksToggleDrawAndTalk)
{
    struct
    {
        const char* pszCase;
        void (*tweak)(SUserMenuInputs&);
        int nColumn;
        bool bVoiceError;
        uint32_t nCommand;
    } cases[] = {
        {"board cell", [](SUserMenuInputs&) {}, 1, false, UMC_DRAW},
        {"voice cell", [](SUserMenuInputs&) {}, 2, false, UMC_TALK},
        {"voice in error", [](SUserMenuInputs&) {}, 2, true, 0},
        {"name cell", [](SUserMenuInputs&) {}, 5, false, 0},
        {"no control right", [](SUserMenuInputs& i) { i.bControlRight = false; }, 1, false, 0},
        {"another control holder", [](SUserMenuInputs& i) { i.bTargetControl = true; }, 2, false, 0},
        {"playback", [](SUserMenuInputs& i) { i.bPlayerMode = true; }, 1, false, 0},
        {"a grade-4 chief, right mode 1", [](SUserMenuInputs& i) { i.nMyGrade = 4, i.nRightMode = 1; }, 1,
         false, 0},
        {"a grade-4 chief, right mode 2", [](SUserMenuInputs& i) { i.nMyGrade = 4, i.nRightMode = 2; }, 1,
         false, UMC_DRAW},
    };
    for (const auto& c : cases)
    {
        SUserMenuInputs in;
        in.bControlRight = true;
        c.tweak(in);
        EXPECT_EQ(c.nCommand, CellClickCommand(in, c.nColumn, c.bVoiceError)) << c.pszCase;
    }
}
