// What the control tests share to register a control library: the test program's folder and regsvr32.
#pragma once
#include <string>

// The folder of the test program and of the libraries beside it, in long form.
std::wstring TestFolder();
// Runs regsvr32 with the arguments; its exit code, or -1 when it could not run.
int RunRegsvr32(const std::wstring& args);
