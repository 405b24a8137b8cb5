// Where a control library's class id is registered: shared by the program's start-up check
// and the ActiveX layer, neither of which depends on the other.
#pragma once
#include <string>
#include <string_view>

// The HKEY_CLASSES_ROOT key that holds the class id of a control library's main control,
// from the library's file stem: a trailing "U" or "UD" (release and debug builds) is dropped;
// "LMVideo" names its send control, "LMBoard" the second edition of the board.
std::u16string ControlProgIdClsidKey(std::u16string_view controlStem);
