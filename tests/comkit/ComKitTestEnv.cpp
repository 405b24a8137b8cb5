// Registers the test control library with regsvr32 /s around the whole run and checks that
// unregistering removes its keys; COM is initialised on the test thread.
#include "tests/comkit/ComKitTestEnv.h"
#include "comkit/RegistrationCheck.h"

#include <gtest/gtest.h>
#include <objbase.h>

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

namespace
{
std::wstring LibraryPath()
{
    return TestFolder() + L"\\ComKitTestU.ocx";
}

class CRegisteredControlEnv : public testing::Environment
{
public:
    void SetUp() override
    {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        ASSERT_EQ(RunRegsvr32(L"/s \"" + LibraryPath() + L"\""), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(RunRegsvr32(L"/u /s \"" + LibraryPath() + L"\""), 0);
        EXPECT_FALSE(IsControlRegisteredHere(L"ComKitTestU", TestFolder()));
        HKEY hKey = nullptr;
        EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"ComKitTest.ComKitTestCtrl.1", 0, KEY_READ, &hKey),
                  ERROR_SUCCESS);
        EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{5B0C3E41-7A2D-4C8E-9F61-2D7E5A9B1C04}", 0,
                                KEY_READ, &hKey),
                  ERROR_SUCCESS);
        CoUninitialize();
    }
};

const testing::Environment* const g_env = testing::AddGlobalTestEnvironment(new CRegisteredControlEnv);
} // namespace
