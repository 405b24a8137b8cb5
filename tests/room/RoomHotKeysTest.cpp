// The room's hot keys: which presses are hot keys, and what each runs in the room's state.
#include "confclient/room/RoomHotKeys.h"

#include <gtest/gtest.h>

TEST(RoomHotKeys, OnlyCtrlOrAltWithTheirLettersAreHotKeys)
{
    struct Case
    {
        unsigned nKey;
        bool bCtrl, bAlt, bShift;
        bool bHot;
    } cases[] = {
        {'O', true, false, false, true},  {'E', true, false, false, true},
        {'D', true, false, false, true},  {'F', false, true, false, true},
        {'T', false, true, false, true},  {'F', true, false, false, false},
        {'O', false, true, false, false}, {'O', false, false, false, false},
        {'S', true, true, false, false},  {'S', true, false, true, false},
        {'X', true, false, false, false}, {0x70, true, false, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.bHot, RoomHotKeyOf(c.nKey, c.bCtrl, c.bAlt, c.bShift).has_value())
            << static_cast<char>(c.nKey) << c.bCtrl << c.bAlt << c.bShift;
}

TEST(RoomHotKeys, AKeyRunsItsMenuItemOnlyWhenTheItemIsEnabled)
{
    S_MENUCONDITIONS chief;
    chief.bControlRight = true;
    S_MENUCONDITIONS drawer;
    drawer.bDrawRight = true;
    S_MENUCONDITIONS listener;
    listener.nGrade = 4;
    S_MENUCONDITIONS playback = chief;
    playback.bPlayback = true;
    struct Case
    {
        const char* pszName;
        S_HOTKEY key;
        bool bGerman;
        const S_MENUCONDITIONS& c;
        int nCommand; // 0: nothing runs, unless a menu drops
        int nMenu;
    } cases[] = {
        {"chief opens", {'O'}, false, chief, MENU_ID_FILE_OPEN, S_HOTKEYRUN::NO_MENU},
        {"drawer opens", {'O'}, false, drawer, MENU_ID_FILE_OPEN, S_HOTKEYRUN::NO_MENU},
        {"drawer may not save", {'S'}, false, drawer, 0, -2},
        {"listener may not open", {'O'}, false, listener, 0, -2},
        {"no opening in playback", {'O'}, false, playback, 0, -2},
        {"chief prints with P", {'P'}, false, chief, MENU_ID_FILE_PRINT, S_HOTKEYRUN::NO_MENU},
        {"Ctrl+D is not print in English", {'D'}, false, chief, 0, -2},
        {"German prints with D", {'D'}, true, chief, MENU_ID_FILE_PRINT, S_HOTKEYRUN::NO_MENU},
        {"German P is nothing", {'P'}, true, chief, 0, -2},
        {"erase all", {'E'}, false, listener, MENU_ID_ERASE_ALL, S_HOTKEYRUN::NO_MENU},
        {"no erasing in playback", {'E'}, false, playback, 0, -2},
        {"Alt+F in playback", {'F', true}, false, playback, 0, S_HOTKEYRUN::FILE_MENU},
        {"Alt+T", {'T', true}, false, listener, 0, S_HOTKEYRUN::TOOL_MENU},
        {"Alt+D in playback", {'D', true}, false, playback, 0, -2},
    };
    for (const Case& c : cases)
    {
        std::optional<S_HOTKEYRUN> run = HotKeyRun(c.key, c.bGerman, c.c);
        if (c.nMenu == -2)
        {
            EXPECT_FALSE(run) << c.pszName;
            continue;
        }
        ASSERT_TRUE(run) << c.pszName;
        EXPECT_EQ(c.nCommand, run->nCommand) << c.pszName;
        EXPECT_EQ(c.nMenu, run->menu) << c.pszName;
    }
}
