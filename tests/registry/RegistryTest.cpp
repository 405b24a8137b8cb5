// The registry functions themselves: keys are not created by reads, stored data of odd
// sizes reads safely, and the program key's name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "confclient/network/registry/Registry.h"

namespace
{
const wchar_t kKey[] = L"Software\\LumoraSoft\\QuillonRegistryTest\\";

struct RegistryTest : ::testing::Test
{
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

    static bool KeyExists()
    {
        HKEY hKey = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
        RegCloseKey(hKey);
        return true;
    }

    // Stores raw bytes of any type, the way another program might have.
    static void PutRaw(const wchar_t* pszName, DWORD dwType, const void* p, DWORD cb)
    {
        HKEY hKey = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                                 &hKey, nullptr));
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(hKey, pszName, 0, dwType, static_cast<const BYTE*>(p), cb));
        RegCloseKey(hKey);
    }
};
} // namespace

TEST_F(RegistryTest, ReadsOfAMissingKeyGiveDefaultsAndCreateNothing)
{
    EXPECT_EQ(42u, RegReadDword(HKEY_CURRENT_USER, kKey, L"Volume", 42));
    EXPECT_EQ(L"INFO|ERROR", RegReadString(HKEY_CURRENT_USER, kKey, L"Log", L"INFO|ERROR"));
    EXPECT_FALSE(KeyExists());
    EXPECT_TRUE(RegWriteDword(HKEY_CURRENT_USER, kKey, L"Volume", 3));
    EXPECT_TRUE(KeyExists());
    EXPECT_EQ(3u, RegReadDword(HKEY_CURRENT_USER, kKey, L"Volume", 42));
}

TEST_F(RegistryTest, StringWrittenWithItsTerminator)
{
    ASSERT_TRUE(RegWriteString(HKEY_CURRENT_USER, kKey, L"Log", L"DEBUG"));
    HKEY hKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &hKey));
    DWORD dwType = 0, cb = 0;
    RegQueryValueExW(hKey, L"Log", nullptr, &dwType, nullptr, &cb);
    RegCloseKey(hKey);
    EXPECT_EQ(DWORD(REG_SZ), dwType);
    EXPECT_EQ(12u, cb);
}

TEST_F(RegistryTest, OddlySizedDataReadsSafely)
{
    const uint8_t two[2] = {0x34, 0x12};
    const uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    PutRaw(L"Short", REG_BINARY, two, sizeof two);
    PutRaw(L"Wide", REG_BINARY, eight, sizeof eight);
    EXPECT_EQ(0x1234u, RegReadDword(HKEY_CURRENT_USER, kKey, L"Short", 99));
    EXPECT_EQ(99u, RegReadDword(HKEY_CURRENT_USER, kKey, L"Wide", 99));

    // 260 units with no terminator fill the whole buffer: too long, so the default.
    std::wstring full(260, L'z');
    PutRaw(L"Full", REG_SZ, full.data(), DWORD(full.size() * 2));
    EXPECT_EQ(L"d", RegReadString(HKEY_CURRENT_USER, kKey, L"Full", L"d"));
    // 12 units without terminator: read as stored, nothing beyond.
    std::wstring bare(12, L'y');
    PutRaw(L"Bare", REG_SZ, bare.data(), DWORD(bare.size() * 2));
    EXPECT_EQ(bare, RegReadString(HKEY_CURRENT_USER, kKey, L"Bare", L"d"));
}

TEST(RegistryKeys, ProgramAndCommonKeys)
{
    EXPECT_EQ(L"Software\\LumoraSoft\\Quillon\\", RegProgramKey(L"Quillon"));
    EXPECT_STREQ(L"Software\\LumoraSoft\\Common\\", kRegCommonKey);
}
