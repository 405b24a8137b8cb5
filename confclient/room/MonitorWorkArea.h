// The work area of the monitor a window is on, as the room's layout rules take rectangles.
#pragma once
#include "confclient/session/layout/RoomLayout.h"

#include <windows.h>

inline S_RECT WorkAreaOf(HWND hWnd)
{
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    return {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom};
}
