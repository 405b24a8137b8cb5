// A message box that does not wait: text and OK, owned by a window of the program.
#pragma once
#include <windows.h>

#include <string>

// Shows the box and returns at once with its window (null when it could not be made).
// The box goes away, and frees itself, when the user confirms it or its owner is destroyed.
HWND ShowModelessBox(HWND hOwner, const std::wstring& szText, const std::wstring& szCaption);
