// The test control registers with regsvr32 /s and unregisters again; the start-up check finds it
// registered from this folder and from no other.
#include "comkit/RegistrationCheck.h"
#include "tests/comkit/ComKitTestEnv.h"

#include <gtest/gtest.h>

TEST(ComKitRegistration, FoundHereAndNotElsewhere)
{
    std::wstring folder = TestFolder();
    EXPECT_TRUE(IsControlRegisteredHere(L"ComKitTestU", folder));
    // The folder in another case and with a trailing component resolved still matches.
    std::wstring upper = folder;
    for (wchar_t& ch : upper)
        ch = towupper(ch);
    EXPECT_TRUE(IsControlRegisteredHere(L"ComKitTestU", upper));
    EXPECT_FALSE(IsControlRegisteredHere(L"ComKitTestU", L"C:\\windows\\system32"));
    EXPECT_FALSE(IsControlRegisteredHere(L"ComKitTestU", folder + L"\\sub"));
    // A stem whose ProgID is not registered at all.
    EXPECT_FALSE(IsControlRegisteredHere(L"NoSuchControlU", folder));
}

TEST(ComKitRegistration, RegisteredShortPathComparesInLongForm)
{
    const wchar_t szKey[] = L"CLSID\\{5B0C3E41-7A2D-4C8E-9F61-2D7E5A9B1C04}\\InprocServer32";
    std::wstring folder = TestFolder();
    wchar_t szShort[MAX_PATH];
    DWORD n = GetShortPathNameW((folder + L"\\ComKitTestU.ocx").c_str(), szShort, MAX_PATH);
    ASSERT_GT(n, 0u);
    ASSERT_LT(n, static_cast<DWORD>(MAX_PATH));
    ASSERT_NE(std::wstring(szShort), folder + L"\\ComKitTestU.ocx"); // the form really differs

    wchar_t szSaved[MAX_PATH];
    DWORD cb = sizeof szSaved;
    ASSERT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, szKey, nullptr, RRF_RT_REG_SZ, nullptr, szSaved, &cb),
              ERROR_SUCCESS);
    auto put = [&](const wchar_t* sz)
    {
        return RegSetKeyValueW(HKEY_CLASSES_ROOT, szKey, nullptr, REG_SZ, sz,
                               static_cast<DWORD>((wcslen(sz) + 1) * sizeof(wchar_t)));
    };
    ASSERT_EQ(put(szShort), ERROR_SUCCESS);
    EXPECT_TRUE(IsControlRegisteredHere(L"ComKitTestU", folder));
    // A registered file that no longer exists is not "here", whatever its name.
    ASSERT_EQ(put((folder + L"\\Gone\\ComKitTestU.ocx").c_str()), ERROR_SUCCESS);
    EXPECT_FALSE(IsControlRegisteredHere(L"ComKitTestU", folder + L"\\Gone"));
    ASSERT_EQ(put(szSaved), ERROR_SUCCESS);
    EXPECT_TRUE(IsControlRegisteredHere(L"ComKitTestU", folder));
}

TEST(ComKitRegistration, RegistersEveryKeyTheHostReads)
{
    HKEY hKey = nullptr;
    for (const wchar_t* szKey : {L"ComKitTest.ComKitTestCtrl.1\\CLSID", L"ComKitTest.BrowserStandIn.1\\CLSID",
                                 L"CLSID\\{5B0C3E41-7A2D-4C8E-9F61-2D7E5A9B1C04}\\Control",
                                 L"CLSID\\{5B0C3E41-7A2D-4C8E-9F61-2D7E5A9B1C04}\\MiscStatus\\1",
                                 L"CLSID\\{5B0C3E41-7A2D-4C8E-9F61-2D7E5A9B1C04}\\TypeLib",
                                 L"TypeLib\\{5B0C3E41-7A2D-4C8E-9F61-2D7E5A9B1C01}"})
    {
        EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, szKey, 0, KEY_READ, &hKey), ERROR_SUCCESS) << szKey;
        RegCloseKey(hKey);
    }
    wchar_t szModel[32] = {};
    DWORD cb = sizeof szModel;
    EXPECT_EQ(RegGetValueW(HKEY_CLASSES_ROOT,
                           L"CLSID\\{5B0C3E41-7A2D-4C8E-9F61-2D7E5A9B1C04}\\InprocServer32",
                           L"ThreadingModel", RRF_RT_REG_SZ, nullptr, szModel, &cb),
              ERROR_SUCCESS);
    EXPECT_STREQ(szModel, L"Apartment");
}
