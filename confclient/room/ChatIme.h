// The chat input's input method: Korean users start in Hangul (native) mode, and a syllable still
// being composed is finished before the line is read and the input cleared: it goes with the
// line instead of coming back, committed late, into the emptied input.
#pragma once
#include <windows.h>

// True when the user's default language is Korean (1042).
bool UserLanguageIsKorean();
// The edit's input method converts to the native script (conversion bit 0 set, bit 1 cleared).
void SetNativeImeMode(HWND hEdit);
// An open composition in the edit becomes text now; false when none was open or the method
// refused.
bool CompleteImeComposition(HWND hEdit);
