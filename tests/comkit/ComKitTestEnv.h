// Shared set-up of the control tests: the test library is registered for the run and unregistered after.
#pragma once
#include <string>
#include <windows.h>

// The folder of the test program and of the test control library, in long form.
std::wstring TestFolder();
// Runs regsvr32 with the arguments; its exit code, or -1 when it could not run.
int RunRegsvr32(const std::wstring& args);
