// What a key or a dropped file does in the room main window: which keys skip the room's hot keys
// for the focused control, and what a file dropped on the window opens.
#pragma once
#include <string>

enum MainKeyRoute
{
    MAINKEY_ROOM,        // the room's hot keys, then the dialog's keys
    MAINKEY_DIALOG_ONLY, // the dialog's keys without the room's hot keys
};

struct S_MAINKEYSTATE
{
    bool bEditFocus = false; // an edit control other than the board's text field has the focus
    bool bFullScreen = false;
    bool bBoardWebMode = false; // the board shows a web page (its mode 1)
    bool bPlayer = false;
};

// A key down (a virtual key) in the room main window.
MainKeyRoute MainViewKeyOf(unsigned nKey, const S_MAINKEYSTATE& s);

enum DropAction
{
    DROP_IGNORE,      // outside player mode the window takes no files
    DROP_PLAY,        // a recording: the player plays it
    DROP_UNSUPPORTED, // anything else: the unsupported-file notice
};

// The longest dropped path taken, in characters; a longer one is refused, never cut to another name.
constexpr size_t kMaxDroppedPath = 260;

// The first dropped file's path in player mode; bRvEdition: recordings end in "rv", else "qn".
DropAction DroppedFileAction(const std::u16string& szPath, bool bPlayer, bool bRvEdition);
