// What a key or a left press in the control bar does before the bar's controls see it: the
// web-address field takes Return and the arrows, the bar's own background moves the room window.
#pragma once

enum BarKeyAction
{
    BARKEY_ROOM,        // the room's hot keys, then the dialog's keys
    BARKEY_EAT,         // nothing happens
    BARKEY_LOAD_WEB,    // the web-address field's text goes to the board
    BARKEY_DIALOG_ONLY, // the dialog's keys without the room's hot keys
};

// A key down in the bar: nKey a virtual key; bEditFocus whether an edit control (the web-address
// field's) has the focus.
BarKeyAction BarKeyOf(unsigned nKey, bool bEditFocus);

enum BarPressAction
{
    BARPRESS_NONE,
    BARPRESS_MOVE,             // the room window follows the pointer until the button is up
    BARPRESS_TOGGLE_MAXIMISED, // a maximised room window is restored, another maximised
};

struct S_BARPRESS
{
    int x = 0, y = 0; // in the bar's client area
    int nBarWidth = 0;
    bool bDoubleClick = false;
    bool bMaximised = false;
    bool bFullScreen = false;
};

// A left press on the bar's background: the menu row's band (y 1 to 31) is the room's caption.
BarPressAction BarPressOf(const S_BARPRESS& press);
