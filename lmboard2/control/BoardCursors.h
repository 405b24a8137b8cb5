// The board's cursor for each draw mode, and the presenter's pointer window.
#pragma once
#include <windows.h>

// The eraser's cursor is a square of the eraser's size at the scale, rebuilt when the scale changes.
HCURSOR CursorForMode(int nDrawMode, bool bDragging, double dScale);

// CLMPointer: a window shaped like its picture (every pixel that is not pure green), hidden
// until a pointer record places it.
HWND CreatePointerWindow(HWND hParent);
