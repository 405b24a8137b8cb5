// Resource ids of the whiteboard control's own module.
#pragma once

#define IDB_BOARD_POINTER 201 // the presenter's pointer; pure green (0, 128, 0) is see-through
#define IDB_BOARD_STAMP 202   // the stamp tool's picture; white is see-through
