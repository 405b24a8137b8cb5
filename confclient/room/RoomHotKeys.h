// The room's hot keys: Ctrl with O, S, P (D with the German texts) and E open, save, print and
// erase the board as the File and Draw menus do; Alt with F, V, D and T drop the bar's File,
// View, Draw and Tool menus. A hot key does what its menu item does, and only when that item
// could be chosen now.
#pragma once
#include <optional>

#include "confclient/room/RoomMenuModel.h"

struct S_HOTKEY
{
    char cKey = 0;     // the upper-case letter
    bool bAlt = false; // Alt held, else Ctrl
};

// What a hot key runs: a bar command, or one of the bar's menus to drop.
struct S_HOTKEYRUN
{
    enum Menu
    {
        NO_MENU = -1,
        FILE_MENU,
        VIEW_MENU,
        DRAW_MENU,
        TOOL_MENU,
    };
    int nCommand = 0;
    Menu menu = NO_MENU;
};

// The hot key of a key press (a Windows virtual-key code with the modifiers held), if it is one.
std::optional<S_HOTKEY> RoomHotKeyOf(unsigned nVirtualKey, bool bCtrl, bool bAlt, bool bShift);
// What the hot key runs in the room's state now; nothing when its menu item is greyed.
std::optional<S_HOTKEYRUN> HotKeyRun(const S_HOTKEY& key, bool bGermanTexts, const S_MENUCONDITIONS& c);
