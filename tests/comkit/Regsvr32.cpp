// The test program's folder and regsvr32, for the control tests.
#include "tests/comkit/Regsvr32.h"

#include <windows.h>

std::wstring TestFolder()
{
    wchar_t sz[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, sz, MAX_PATH);
    std::wstring path(sz, n);
    wchar_t szLong[MAX_PATH];
    DWORD nLong = GetLongPathNameW(path.c_str(), szLong, MAX_PATH);
    if (nLong > 0 && nLong < MAX_PATH) path.assign(szLong, nLong);
    return path.substr(0, path.find_last_of(L"\\/"));
}

int RunRegsvr32(const std::wstring& args)
{
    std::wstring cmd = L"regsvr32.exe " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}
