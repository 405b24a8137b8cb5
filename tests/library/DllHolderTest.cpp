// The holder under Wine over a real library loaded by its bare name: cross-library casts through
// the virtual base, the wrong-interface and null-object paths, and a missing library or export.
#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMHolders.h"
#include "confclient/library/LMObjectImpl.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace
{
const wchar_t kLibrary[] = L"LMTestObjects.dll";

long AliveInLibrary()
{
    HMODULE hLibrary = GetModuleHandleW(kLibrary);
    auto pAlive = reinterpret_cast<long (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(hLibrary, "TestObjectsAlive")));
    return pAlive ? pAlive() : -1;
}
} // namespace

TEST(LMObjectPtrDll, OneObjectBindsThroughEitherInterface)
{
    CLMObjectPtr<IIppH264RtpDecoder> rtp(1, kLibrary, L"GetTestDecoder");
    CLMObjectPtr<ILMVideoDecoder> plain(1, kLibrary, L"GetTestDecoder");
    ASSERT_TRUE(rtp.Get());
    ASSERT_TRUE(plain.Get());
    EXPECT_EQ(AliveInLibrary(), 2);

    // The object's own code runs through the interface, and its error is read through the root.
    EXPECT_EQ(plain->Decode(nullptr, 7, 0, nullptr, 0, nullptr), 0);
    ILMObject* pRoot = plain.Get();
    EXPECT_EQ(pRoot->GetLastErrorCode(), LM_E_NOPICTURE);
    EXPECT_STREQ(pRoot->GetLastErrorMessage(), L"0xa0000000 at DllDecoder:7, no picture from 7 bytes");
    // A cast from the shared root reaches the same object through the other interface.
    auto* pRtp = dynamic_cast<IIppH264RtpDecoder*>(pRoot);
    ASSERT_NE(pRtp, nullptr);
    EXPECT_EQ(static_cast<ILMVideoDecoder*>(pRtp), plain.Get());
    EXPECT_EQ(dynamic_cast<IIppH263RtpDecoder*>(pRoot), nullptr);
    rtp.Release();
    plain.Release();
    EXPECT_EQ(AliveInLibrary(), 0);
}

TEST(LMObjectPtrDll, RefusedObjectsAreDestroyedWith1627)
{
    struct
    {
        const wchar_t* szLibrary;
        const wchar_t* szFactory;
        DWORD nError;
    } rows[] = {
        {kLibrary, L"GetTestFlipper", ERROR_FUNCTION_FAILED},
        {kLibrary, L"GetNothing", ERROR_FUNCTION_FAILED},
        {kLibrary, L"GetMissing", ERROR_PROC_NOT_FOUND},
        {L"LMNoSuchLibrary.dll", L"GetTestDecoder", ERROR_MOD_NOT_FOUND},
    };
    for (auto row : rows)
    {
        CLMObjectPtr<ILMVideoDecoder> holder;
        SetLastError(0);
        EXPECT_EQ(holder.Create(row.szLibrary, row.szFactory), 0);
        EXPECT_EQ(GetLastError(), row.nError) << row.szFactory;
        EXPECT_EQ(holder.Get(), nullptr);
        EXPECT_EQ(AliveInLibrary(), 0);
    }
}

TEST(LMObjectPtrDll, TheWin32ReportCarriesTheSystemText)
{
    class CReporter : public CLMObjectImpl
    {
    } reporter;
    CLMObjectPtr<ILMVideoDecoder> holder;
    ASSERT_EQ(holder.Create(L"LMNoSuchLibrary.dll", L"GetTestDecoder"), 0);
    EXPECT_EQ(reporter.SetLastWin32Error(L"Holder", 1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(static_cast<uint32_t>(reporter.GetLastErrorCode()), 0x8007007Eu);
    std::wstring message = reporter.GetLastErrorMessage();
    EXPECT_EQ(message.find(L"0x8007007e at Holder:1, "), 0u);
    EXPECT_EQ(message.find(L"Unknown error"), std::wstring::npos) << "the system has a text for this code";
}
