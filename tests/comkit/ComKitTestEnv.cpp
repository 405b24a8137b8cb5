// Registers the test control library with regsvr32 /s around the whole run and checks that
// unregistering removes its keys; COM is initialised on the test thread.
#include "tests/comkit/ComKitTestEnv.h"
#include "comkit/RegistrationCheck.h"

#include <gtest/gtest.h>
#include <objbase.h>

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
