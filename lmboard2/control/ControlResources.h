// Resource ids of the whiteboard control's own module.
#pragma once

#define IDB_BOARD_POINTER 201 // the presenter's pointer; pure green (0, 128, 0) is see-through
#define IDB_BOARD_STAMP 202   // the stamp tool's picture; white is see-through

// Cursors by draw mode (made by cursors/make-cursors.sh).
#define IDC_BOARD_POINTER 220   // the presenter's pointer
#define IDC_BOARD_PEN 221       // the pen and the figures
#define IDC_BOARD_HAND_OPEN 223 // scrolling, before the drag
#define IDC_BOARD_TEXT 224      // the text tool
#define IDC_BOARD_STAMP 227     // the stamp
#define IDC_BOARD_HAND_GRAB 390 // scrolling, while dragging
