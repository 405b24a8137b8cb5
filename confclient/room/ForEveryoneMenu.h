// The pop-up of the bar's window buttons and of the side-panel host's button: the action for
// everyone in the room or for this window only.
#pragma once
#include <windows.h>

class IRoomHost;

// Drops the pop-up at pt (screen) for hOwner; the chosen command (32972 for everyone, 32973 this
// window only), 0 when nothing was chosen, -1 when the user has no such pop-up (only
// the control right's holder outside playback has it).
int TrackForEveryoneMenu(IRoomHost& host, HWND hOwner, POINT pt);
