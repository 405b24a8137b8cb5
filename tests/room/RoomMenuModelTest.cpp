// The room menus as data: which items each menu holds and in which state for a user and a room,
// the layout picture menu's two columns, room types and their limits, the palette and the
// media-share value maps.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "confclient/room/RoomMenuModel.h"

namespace
{
std::vector<int> Ids(const std::vector<S_MENUITEM>& menu)
{
    std::vector<int> ids;
    for (const S_MENUITEM& m : menu)
        ids.push_back(m.kind == MENU_SEPARATOR ? -1 : m.kind == MENU_POPUP ? -2 : m.nId);
    return ids;
}

S_MENUCONDITIONS Chief()
{
    S_MENUCONDITIONS c;
    c.bControlRight = c.bDrawRight = c.bMediaShareRight = true;
    return c;
}
} // namespace

TEST(RoomMenus, FileMenuByRightsAndPlayback)
{
    struct Row
    {
        const char* what;
        S_MENUCONDITIONS c;
        std::vector<int> ids;
        bool bOpen, bSave;
    };
    S_MENUCONDITIONS grade4 = Chief();
    grade4.bControlRight = false;
    grade4.nGrade = 4;
    S_MENUCONDITIONS listener;
    S_MENUCONDITIONS fileFlag;
    fileFlag.bBoardFileFlag = true;
    S_MENUCONDITIONS playback = Chief();
    playback.bPlayback = true;
    playback.bFilePush = true;
    playback.nServerRecordKinds = 1;
    S_MENUCONDITIONS full = Chief();
    full.bFilePush = true;
    full.nServerRecordKinds = 2;
    Row rows[] = {
        {"chief", Chief(), {32916, 32917, 32963, -1, 32904, 1149, -1, 1003}, true, true},
        {"grade 4 drawer", grade4, {32916, 32917, 32963, -1, 32904, 1149, -1, 1003}, false, false},
        {"listener", listener, {32916, 32917, 32963, -1, 32904, 1149, -1, 1003}, false, false},
        {"board files for all", fileFlag, {32916, 32917, 32963, -1, 32904, 1149, -1, 1003}, false, true},
        {"playback", playback, {32916, 32917, 32963, -1, 1003}, false, true},
        {"push and server recording",
         full,
         {32916, 32917, 32963, -1, 32904, 32786, 1149, 32901, -1, 1003},
         true,
         true},
    };
    for (const Row& r : rows)
    {
        std::vector<S_MENUITEM> m = FileMenu(r.c);
        EXPECT_EQ(Ids(m), r.ids) << r.what;
        EXPECT_EQ(FindMenuItem(m, 32916)->bEnabled, r.bOpen) << r.what;
        EXPECT_EQ(FindMenuItem(m, 32917)->bEnabled, r.bSave) << r.what;
        EXPECT_EQ(FindMenuItem(m, 32963)->bEnabled, r.bSave) << r.what;
    }
}

TEST(RoomMenus, ViewMenuFollowsTheRoom)
{
    S_MENUCONDITIONS c = Chief();
    c.nMediaShareKind = 1;
    c.nOfferedLayouts = 1;
    std::vector<S_MENUITEM> m = ViewMenu(c);
    EXPECT_EQ(Ids(m), (std::vector<int>{1142, 1426, 32971, 1389, 1007, 32967, 32966, 32965, -1, -2, 1414,
                                        32968, -1, 1039, 1038}));
    // Kind 1 shares sound without a view mode of its own; one layout leaves nothing to choose.
    EXPECT_EQ(Ids(m[9].sub), (std::vector<int>{1137, 1138}));
    EXPECT_FALSE(FindMenuItem(m, MENU_ID_LAYOUT)->bEnabled);

    c.nMediaShareKind = 2;
    c.bQuestionnaire = c.bEBook = c.bShareView = c.bNoVideoControls = true;
    c.nOfferedLayouts = 4;
    m = ViewMenu(c);
    EXPECT_EQ(Ids(m), (std::vector<int>{1142, 1321, 1426, 1007, 1008, 32967, 32966, 32965, -1, -2, 1414,
                                        32968, -1, 1039, 1038}));
    EXPECT_EQ(m[9].sub[2].szKey, "IDMS_VIEWMODE_AUDIOSHARE");
    EXPECT_EQ(m[9].sub[2].nBitmap, 11353);
    EXPECT_EQ(m[9].sub[3].nId, 1144);
    EXPECT_TRUE(FindMenuItem(m, MENU_ID_LAYOUT)->bEnabled);

    c.bPlayback = true;
    m = ViewMenu(c);
    for (int nId : {1142, 1414, 1039, 1038, 1137, 32968})
        EXPECT_FALSE(FindMenuItem(m, nId)->bEnabled) << nId;
    EXPECT_EQ(FindMenuItem(m, 1321), nullptr);
}

TEST(RoomMenus, ToolMenuLectureStudentsAndMediaShare)
{
    struct Row
    {
        const char* what;
        bool bRv;
        int nGrade;
        bool bStudents;
        std::vector<int> head; // the items before the settings item
    } rows[] = {
        {"RV grade 2", true, 2, false, {32908, 32909, -1}},
        {"RV grade 2 with students", true, 2, true, {32908, 32909, 32910, -1}},
        {"students only", false, 2, true, {-1, 32910, -1}},
        {"RV grade 1", true, 1, true, {}},
        {"plain edition", false, 2, false, {}},
    };
    for (const Row& r : rows)
    {
        S_MENUCONDITIONS c = Chief();
        c.bRvEdition = r.bRv;
        c.nGrade = r.nGrade;
        c.bStudentManagement = r.bStudents;
        c.szStudentAddress = u"http://students";
        std::vector<int> ids = Ids(ToolMenu(c));
        std::vector<int> head(ids.begin(), ids.begin() + static_cast<long>(r.head.size()));
        EXPECT_EQ(head, r.head) << r.what;
        EXPECT_EQ(ids[r.head.size()], MENU_ID_SETTINGS) << r.what;
    }

    // Lecture items by state: the chief may start an idle lecture and end a running one.
    S_MENUCONDITIONS c = Chief();
    c.bRvEdition = true;
    c.nGrade = 2;
    struct State
    {
        int nState;
        bool bStartChecked, bEndChecked, bStartEnabled, bEndEnabled;
    } states[] = {
        {0, false, false, true, false}, {1, true, false, false, true}, {100, true, true, false, false}};
    for (const State& s : states)
    {
        std::vector<S_MENUITEM> m = ToolMenu(c, s.nState);
        EXPECT_EQ(FindMenuItem(m, 32908)->bChecked, s.bStartChecked) << s.nState;
        EXPECT_EQ(FindMenuItem(m, 32909)->bChecked, s.bEndChecked) << s.nState;
        EXPECT_EQ(FindMenuItem(m, 32908)->bEnabled, s.bStartEnabled) << s.nState;
        EXPECT_EQ(FindMenuItem(m, 32909)->bEnabled, s.bEndEnabled) << s.nState;
    }
    c.bControlRight = false;
    EXPECT_FALSE(FindMenuItem(ToolMenu(c, 0), 32908)->bEnabled);

    // Media-share kind 1: an untitled sub-menu of the share commands, no sender settings.
    c = Chief();
    c.nMediaShareKind = 1;
    std::vector<S_MENUITEM> m = ToolMenu(c);
    auto popup = std::find_if(m.begin(), m.end(), [](const S_MENUITEM& i) { return i.kind == MENU_POPUP; });
    ASSERT_NE(popup, m.end());
    EXPECT_EQ(popup->szKey, "");
    EXPECT_EQ(Ids(popup->sub), (std::vector<int>{20013, -1, 20014, 20015, 20016, 20019, -1, 20017, 20018}));
    EXPECT_TRUE(FindMenuItem(m, 20013)->bEnabled);
    EXPECT_FALSE(FindMenuItem(m, 20014)->bEnabled);

    // Kind 3: titled, with bitrate, frame-rate and size sub-menus; without the right all grey.
    c.nMediaShareKind = 3;
    c.bMediaShareRight = false;
    c.bitrates = {256, 512, 1024};
    c.nBitrate = 512;
    c.frameRates = {5, 30, 0};
    c.sendSizes = {720};
    m = ToolMenu(c);
    popup = std::find_if(m.begin(), m.end(), [](const S_MENUITEM& i) { return i.kind == MENU_POPUP; });
    EXPECT_EQ(popup->szKey, "IDMS_VIEWMODE_MEDIASHARE");
    EXPECT_FALSE(FindMenuItem(m, 20013)->bEnabled);
    const S_MENUITEM& rates = popup->sub[popup->sub.size() - 3];
    EXPECT_EQ(Ids(rates.sub), (std::vector<int>{32951, 32952, 32953, 32954}));
    EXPECT_EQ(rates.sub[2].szFormat, "512 Kbps");
    EXPECT_TRUE(rates.sub[1].bChecked && rates.sub[2].bChecked);
    EXPECT_EQ(Ids(popup->sub[popup->sub.size() - 2].sub), (std::vector<int>{32996, 32998, 32995}));
    EXPECT_EQ(Ids(popup->sub.back().sub), (std::vector<int>{33001}));
    EXPECT_FALSE(FindMenuItem(m, 32951)->bEnabled);

    // Playback and the missing right grey the chief's and board items.
    c = Chief();
    c.bPlayback = true;
    m = ToolMenu(c);
    for (int nId : {32918, 32819, 32975, 32822, 1368, 1369, 32927})
        EXPECT_FALSE(FindMenuItem(m, nId)->bEnabled) << nId;
    S_MENUCONDITIONS listener;
    m = ToolMenu(listener);
    EXPECT_FALSE(FindMenuItem(m, 32822)->bEnabled);
    EXPECT_FALSE(FindMenuItem(m, 1369)->bEnabled);
    EXPECT_TRUE(FindMenuItem(m, 1368)->bEnabled);
    listener.bNoConfInfo = listener.bNoVideoControls = true;
    EXPECT_EQ(Ids(ToolMenu(listener)), (std::vector<int>{32918, 32822, -1, 1368, 1369, 32927}));
}

TEST(RoomMenus, InviteMenuAndButton)
{
    struct Row
    {
        const char16_t* address;
        bool bAllowed, bPhone, bTerminal;
        std::vector<int> ids;
        const char* callKey;
        bool bButton;
    } rows[] = {
        {u"", true, false, false, {}, "", false},
        {u"", true, true, true, {32974}, "IDMS_CALLTOPHONE", false}, // no address, no Invite button
        {u"http://x", false, false, false, {}, "", false},
        {u"http://x", true, false, false, {32970}, "", true},
        {u"http://x", true, true, false, {32970, 32974}, "IDMS_CALLTO_PHONE", true},
        {u"http://x", false, false, true, {32974}, "IDMS_CALLTO_HW", true},
    };
    for (const Row& r : rows)
    {
        S_MENUCONDITIONS c;
        c.szInviteAddress = r.address;
        c.bInviteAllowed = r.bAllowed;
        c.bPhoneCalls = r.bPhone;
        c.bTerminalCalls = r.bTerminal;
        std::vector<S_MENUITEM> m = InviteMenu(c);
        EXPECT_EQ(Ids(m), r.ids);
        if (const S_MENUITEM* call = FindMenuItem(m, 32974))
        {
            EXPECT_EQ(call->szKey, r.callKey);
        }
        EXPECT_EQ(ShowInviteButton(c), r.bButton);
    }
}

TEST(RoomMenus, ForEveryoneMenuOnlyForTheChiefOutsidePlayback)
{
    EXPECT_EQ(Ids(ForEveryoneMenu(Chief())), (std::vector<int>{32972, 32973}));
    EXPECT_EQ(ForEveryoneMenu(Chief())[0].szKey, "IDMS_SINKMENU_SINK");
    S_MENUCONDITIONS c = Chief();
    c.bPlayback = true;
    EXPECT_TRUE(ForEveryoneMenu(c).empty());
    c = Chief();
    c.bControlRight = false; // drawing and sharing rights are not enough
    EXPECT_TRUE(ForEveryoneMenu(c).empty());
}

TEST(RoomMenus, DrawMenuHoldsEveryToolOnce)
{
    std::vector<S_MENUITEM> m = DrawMenu();
    std::set<int> seen;
    std::function<void(const std::vector<S_MENUITEM>&)> walk = [&](const std::vector<S_MENUITEM>& items)
    {
        for (const S_MENUITEM& i : items)
        {
            if (i.kind == MENU_COMMAND)
            {
                EXPECT_TRUE(seen.insert(i.nId).second) << i.nId;
            }
            walk(i.sub);
        }
    };
    walk(m);
    EXPECT_EQ(seen.size(), 35u);
    EXPECT_EQ(FindMenuItem(m, 32936)->szFormat, "10 %s");
    EXPECT_EQ(FindMenuItem(m, 32936)->szKey, "IDMS_BOARD_PIXEL");
    EXPECT_TRUE(FindMenuItem(m, 32935)->bChecked);
    EXPECT_TRUE(FindMenuItem(m, 32949)->bChecked);
    EXPECT_EQ(FindMenuItem(m, 32948)->szFormat, "300%");
}

TEST(RoomLayoutMenu, TwoColumnsReadRowByRow)
{
    auto firstN = [](size_t n)
    { return std::vector<S_CONFMENU>(LayoutTable().begin(), LayoutTable().begin() + static_cast<long>(n)); };
    struct Row
    {
        size_t n;
        size_t nFirstColumn;
    } rows[] = {{27, 14}, {4, 2}, {3, 2}, {2, 1}, {1, 1}, {0, 0}};
    for (const Row& r : rows)
    {
        std::vector<S_CONFMENU> offered = firstN(r.n);
        std::vector<S_LAYOUTITEM> order = LayoutMenuOrder(offered);
        ASSERT_EQ(order.size(), r.n);
        size_t nBreaks = 0;
        for (size_t i = 0; i < order.size(); ++i)
        {
            if (order[i].bMenuBreak)
            {
                ++nBreaks;
                EXPECT_EQ(i, r.nFirstColumn) << r.n;
            }
            // Row by row the menu reads in list order.
            size_t nListIndex = i < r.nFirstColumn ? 2 * i : 2 * (i - r.nFirstColumn) + 1;
            EXPECT_EQ(order[i].item, offered[nListIndex]) << r.n << " item " << i;
        }
        EXPECT_EQ(nBreaks, r.n > 1 ? 1u : 0u) << r.n;
    }
    std::vector<S_LAYOUTITEM> four = LayoutMenuOrder(firstN(4));
    EXPECT_EQ(four[0].item.wLayout, 13);
    EXPECT_EQ(four[1].item.wLayout, 11);
    EXPECT_EQ(four[2].item.wLayout, 10);
    EXPECT_EQ(four[3].item.wLayout, 2);

    std::vector<S_CONFMENU> offered = OfferedLayouts([](uint16_t w) { return w == 4 || w == 50 || w == 13; });
    ASSERT_EQ(offered.size(), 3u);
    EXPECT_EQ(offered[0].nCommand, 32836);
    EXPECT_EQ(offered[1].nCommand, 32829);
    EXPECT_EQ(offered[2].nCommand, 32843);
    EXPECT_EQ(LayoutHintKey(32843), "IDS_LAYOUT_HINT_50");
    EXPECT_EQ(LayoutHintKey(32828), "");
}

TEST(RoomTypes, CommandsTypesAndLimits)
{
    struct Row
    {
        int nCommand;
        uint16_t wCurrent;
        int nParticipants;
        S_ROOMTYPECHANGE expected;
    } rows[] = {
        {32834, 4, 3, {ROOMTYPE_SEND, 10, 49}},   // limit from the room's option table
        {32834, 10, 3, {ROOMTYPE_NOTHING, 0, 0}}, // the type the room has
        {32834, 4, 50, {ROOMTYPE_TOO_MANY, 10, 49}},
        {32834, 4, 49, {ROOMTYPE_SEND, 10, 49}},
        {32851, 4, 400, {ROOMTYPE_SEND, 3, 500}}, // defaults without an option
        {32849, 4, 301, {ROOMTYPE_TOO_MANY, 12, 300}},
        {32843, 4, 300, {ROOMTYPE_SEND, 50, 300}},
        {32828, 4, 80, {ROOMTYPE_SEND, 0, 0}}, // no limit
        {33013, 4, 2, {ROOMTYPE_SEND, 34, 0}},
        {32859, 4, 2, {ROOMTYPE_NOTHING, 0, 0}}, // no layout command
    };
    std::vector<S_ROOMOPTION> options = {{10, 49}, {4, 49}};
    for (const Row& r : rows)
        EXPECT_EQ(RoomTypeChange(r.nCommand, r.wCurrent, r.nParticipants, options), r.expected) << r.nCommand;
    EXPECT_EQ(RoomTypeTextKeys().size(), 27u);
    EXPECT_EQ(RoomTypeTextKeys().back(), "IDS_ROOMTYPE_10VIDEO_2_16TO9");
}

TEST(RoomBarValues, PaletteAndMediaShareMaps)
{
    EXPECT_EQ(PenPaletteIndex(70), 0);
    EXPECT_EQ(PenColourOfUser(70), 0x00D08C19u);
    EXPECT_EQ(PenColourOfUser(35), PenColourOfUser(0));
    EXPECT_EQ(PenColourOfUser(34), 0x0082004Bu);
    EXPECT_EQ(PenColourOfUser(36), 0x00002AA5u);

    struct Rate
    {
        uint16_t wValue;
        int nCommand;
        uint16_t wBack;
    } rates[] = {{65535, 32995, 65535}, {5, 32996, 5}, {15, 32997, 15}, {30, 32998, 30}, {25, 0, 65535}};
    for (const Rate& r : rates)
    {
        EXPECT_EQ(FrameRateCommand(r.wValue), r.nCommand);
        if (r.nCommand)
        {
            EXPECT_EQ(FrameRateOfCommand(r.nCommand), r.wBack);
        }
    }
    EXPECT_EQ(FrameRateOfCommand(12345), 65535);
    EXPECT_EQ(SendSizeCommand(0), 32999);
    EXPECT_EQ(SendSizeCommand(480), 33000);
    EXPECT_EQ(SendSizeCommand(720), 33001);
    EXPECT_EQ(SendSizeCommand(1080), 0);
    EXPECT_EQ(SendSizeOfCommand(33001), 720);
    EXPECT_EQ(SendSizeOfCommand(1), 0);

    struct Bitrates
    {
        std::vector<int> list;
        int nCurrent;
        std::vector<int> items;
    } bitrates[] = {
        {{256, 512, 1024}, 300, {256, 300, 512, 1024}},
        {{256, 512}, 512, {256, 512, 512}}, // equal is not greater: appended again
        {{256, 512}, 2048, {256, 512, 2048}},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}}, // ten ids only
    };
    for (const Bitrates& b : bitrates)
        EXPECT_EQ(BitrateItems(b.list, b.nCurrent), b.items);
}
