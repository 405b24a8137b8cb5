// Whether one of our controls is registered from a given folder: ProgID -> CLSID -> InprocServer32.
#pragma once
#include <string>
#include <windows.h>

// TRUE when the control's registered in-process server (found through the ProgID key of
// ControlProgIdClsidKey), in long form, is "<folder>\<stem>.ocx"
// (case ignored). Any missing key or value, or a server file that does not exist, gives FALSE.
BOOL IsControlRegisteredHere(const std::wstring& szStem, const std::wstring& szFolder);
