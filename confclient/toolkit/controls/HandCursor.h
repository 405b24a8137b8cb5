// The 32 x 32 pointing-hand cursor (hot spot 7, 1) that the skinned buttons make for themselves.
#pragma once
#include <windows.h>

// A new cursor owned by the caller (DestroyCursor).
HCURSOR CreateHandCursor();
