// The control bar's key and press rules: the web field's keys and the bar as the room's caption.
#include "confclient/room/RoomBarInput.h"
#include <gtest/gtest.h>

TEST(RoomBarInput, KeysInTheWebFieldAndElsewhere)
{
    struct Row
    {
        unsigned nKey;
        bool bEditFocus;
        BarKeyAction action;
    } rows[] = {
        {0x0D, true, BARKEY_LOAD_WEB},    // Return in the field loads it
        {0x0D, false, BARKEY_ROOM},       // elsewhere it is the dialog's
        {0x20, false, BARKEY_EAT},        // space would press the focused button
        {0x20, true, BARKEY_ROOM},        // in the field it is typed
        {0x25, true, BARKEY_DIALOG_ONLY}, // arrows stay in the field
        {0x28, true, BARKEY_DIALOG_ONLY}, // and its list
        {0x24, true, BARKEY_ROOM},        // Home is no arrow
        {0x29, true, BARKEY_ROOM},        // nor is the key after the last arrow
        {0x26, false, BARKEY_ROOM},       // arrows outside the field reach the room
        {'O', true, BARKEY_ROOM},         // letters keep their hot keys (Ctrl+O)
    };
    for (const Row& r : rows)
        EXPECT_EQ(BarKeyOf(r.nKey, r.bEditFocus), r.action) << r.nKey << " " << r.bEditFocus;
}

TEST(RoomBarInput, TheMenuRowMovesOrMaximisesTheRoom)
{
    struct Row
    {
        S_BARPRESS press;
        BarPressAction action;
    } rows[] = {
        {{100, 10, 1000, false, false, false}, BARPRESS_MOVE},
        {{100, 1, 1000, false, false, false}, BARPRESS_MOVE},
        {{100, 31, 1000, false, false, false}, BARPRESS_MOVE},
        {{100, 0, 1000, false, false, false}, BARPRESS_NONE},   // the top pixel row is the border's
        {{100, 32, 1000, false, false, false}, BARPRESS_NONE},  // the second row is not the caption
        {{1000, 10, 1000, false, false, false}, BARPRESS_NONE}, // beyond the bar's width
        {{100, 10, 1000, false, true, false}, BARPRESS_NONE},   // a maximised room stays
        {{100, 10, 1000, false, false, true}, BARPRESS_NONE},   // so does full screen
        {{100, 10, 1000, true, false, false}, BARPRESS_TOGGLE_MAXIMISED},
        {{100, 10, 1000, true, true, false}, BARPRESS_TOGGLE_MAXIMISED},
        {{100, 10, 1000, true, false, true}, BARPRESS_NONE},
        {{100, 40, 1000, true, false, false}, BARPRESS_NONE},
    };
    for (const Row& r : rows)
        EXPECT_EQ(BarPressOf(r.press), r.action)
            << r.press.x << "," << r.press.y << " dbl " << r.press.bDoubleClick << " max "
            << r.press.bMaximised << " full " << r.press.bFullScreen;
}
