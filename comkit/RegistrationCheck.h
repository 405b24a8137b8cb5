// Whether one of our controls is registered from a given folder: ProgID -> CLSID -> InprocServer32.
#pragma once
#include <string>
#include <windows.h>

// The ProgID key the check reads for a control file stem (the name without ".ocx"): a trailing "U",
// then a trailing "UD" is cut; "LMVideo" stands for its send control, "LMBoard" for "LMBoard2".
std::wstring ControlProgIdKey(const std::wstring& szStem);

// TRUE when the control's registered in-process server, in long form, is "<folder>\<stem>.ocx"
// (case ignored). Any missing key or value, or a server file that does not exist, gives FALSE.
BOOL IsControlRegisteredHere(const std::wstring& szStem, const std::wstring& szFolder);
