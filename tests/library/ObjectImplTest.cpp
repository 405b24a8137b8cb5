// The last error of an object: the HRESULT rule, SetError's message and the Win32 error report.
#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMPlatform.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class CPlainObject : public CLMObjectImpl
{
};
} // namespace

TEST(LMObjectImpl, Win32ErrorsBecomeHResults)
{
    struct
    {
        int32_t nIn;
        uint32_t nOut;
    } rows[] = {
        {0, 0}, {-5, 0xFFFFFFFBu}, {5, 0x80070005u}, {0x12345, 0x80072345u}, {1626, 0x8007065Au},
    };
    for (auto row : rows)
        EXPECT_EQ(static_cast<uint32_t>(LMHResultFromWin32(row.nIn)), row.nOut) << row.nIn;
}

TEST(LMObjectImpl, SetErrorRecordsCodeAndPrefixedMessage)
{
    auto* pObject = new CPlainObject;
    ILMObject* pRoot = pObject;
    EXPECT_EQ(pRoot->GetLastErrorCode(), 0);
    EXPECT_EQ(pRoot->GetLastErrorMessage(), nullptr);
    EXPECT_EQ(pObject->SetError(0, L"RecvVideo", 1, L"ignored"), 1);
    EXPECT_EQ(pRoot->GetLastErrorMessage(), nullptr); // a success records no text

    EXPECT_EQ(pObject->SetError(LM_E_PAUSED, L"RecvVideo", 412, L"can't receive video. it is paused"), 0);
    EXPECT_EQ(static_cast<uint32_t>(pRoot->GetLastErrorCode()), 0xA0020001u);
    EXPECT_STREQ(pRoot->GetLastErrorMessage(),
                 L"0xa0020001 at RecvVideo:412, can't receive video. it is paused");

    // The text is formatted with the remaining arguments; a later success keeps it.
    EXPECT_EQ(pObject->SetError(-5, L"SendBase", 7, L"%s %d", L"step", 3), 0);
    EXPECT_STREQ(pRoot->GetLastErrorMessage(), L"0xfffffffb at SendBase:7, step 3");
    EXPECT_EQ(pObject->SetError(0, L"SendBase", 8, nullptr), 1);
    EXPECT_EQ(pRoot->GetLastErrorCode(), 0);
    EXPECT_STREQ(pRoot->GetLastErrorMessage(), L"0xfffffffb at SendBase:7, step 3");
    pRoot->Destroy();
}

TEST(LMObjectImpl, ReportsTheThreadsLastWin32ErrorAndKeepsIt)
{
    CPlainObject* pObject = new CPlainObject;
    LMSetThreadError(5);
    EXPECT_EQ(pObject->SetLastWin32Error(L"Holder", 3), 0);
    EXPECT_EQ(LMGetThreadError(), 5u);
    EXPECT_EQ(static_cast<uint32_t>(pObject->GetLastErrorCode()), 0x80070005u);
    std::wstring message = pObject->GetLastErrorMessage();
    std::wstring prefix = L"0x80070005 at Holder:3, ";
    ASSERT_EQ(message.compare(0, prefix.size(), prefix), 0) << message.c_str();
    EXPECT_GT(message.size(), prefix.size()); // a system text, or "Unknown error 0x80070005"

    // A last error of 0 reads as success: nothing is recorded over the earlier error's code.
    LMSetThreadError(0);
    EXPECT_EQ(pObject->SetLastWin32Error(L"Holder", 4), 1);
    EXPECT_EQ(pObject->GetLastErrorCode(), 0);
    pObject->Destroy();
}

TEST(LMObjectImpl, UnknownCodesGetAFixedText)
{
    // Own codes have no system text anywhere.
    EXPECT_EQ(LMErrorText(static_cast<int32_t>(0xA0020002)), L"Unknown error 0xA0020002");
}

TEST(LMObjectImpl, CopyErrorTakesAnotherObjectsCodeAndText)
{
    CPlainObject decoder, engine;
    decoder.SetError(LM_E_BUFFERTOOSMALL, L"Decoder", 9, L"needs %d bytes", 1000);
    EXPECT_EQ(engine.CopyError(decoder, L"RecvVideo", 20), 0);
    EXPECT_EQ(engine.GetLastErrorCode(), LM_E_BUFFERTOOSMALL);
    EXPECT_STREQ(engine.GetLastErrorMessage(),
                 L"0xa0000004 at RecvVideo:20, 0xa0000004 at Decoder:9, needs 1000 bytes");
}
