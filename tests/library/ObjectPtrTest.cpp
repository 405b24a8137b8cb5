// The holder's rules over a fake loader: creation, a holding holder asked again, factories that
// return nothing or the wrong object, long names, release.
#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMHolders.h"
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMRenderer.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

int g_nLiveObjects = 0;

class CTestDecoder : public CLMObjectImpl, public IIppH264RtpDecoder
{
public:
    CTestDecoder() { ++g_nLiveObjects; }
    ~CTestDecoder() override { --g_nLiveObjects; }
    int Decode(const uint8_t*, int32_t, int32_t, uint8_t*, int32_t, S_DECODEDFRAME*) override { return 1; }
};

class CTestFlipper : public CLMObjectImpl, public IIppFlipper
{
public:
    CTestFlipper() { ++g_nLiveObjects; }
    ~CTestFlipper() override { --g_nLiveObjects; }
    int Flip(const uint8_t*, int32_t, S_LMPICTURE, uint8_t*, int32_t, S_LMPICTURE) override { return 1; }
};

ILMObject* MakeDecoder()
{
    return new CTestDecoder;
}
ILMObject* MakeFlipper()
{
    return new CTestFlipper;
}
ILMObject* MakeNothing()
{
    return nullptr;
}

// One library "codec.dll" with the exports above; loads and lookups are counted.
class CFakeLoader : public ILMLibraryLoader
{
public:
    void* LoadLibraryByName(const wchar_t* szLibrary) override
    {
        ++nLoads;
        lastLibrary = szLibrary;
        if (lastLibrary != L"codec.dll" && lastLibrary != L"LMLibrary01U.dll")
        {
            LMSetThreadError(LM_ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        return this;
    }
    LMFactoryFunction FindFactory(void*, const wchar_t* szFactory) override
    {
        std::wstring name = szFactory;
        if (name == L"GetH264RtpDecoder") return MakeDecoder;
        if (name == L"GetFlipper") return MakeFlipper;
        if (name == L"GetNothing") return MakeNothing;
        LMSetThreadError(LM_ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    int nLoads = 0;
    std::wstring lastLibrary;
};

} // namespace

TEST(LMObjectPtr, CreatesAndCastsThroughTheVirtualBase)
{
    CFakeLoader loader;
    {
        CLMObjectPtr<IIppH264RtpDecoder> rtp(1, L"codec.dll", L"GetH264RtpDecoder", &loader);
        CLMObjectPtr<ILMVideoDecoder> plain(1, L"codec.dll", L"GetH264RtpDecoder", &loader);
        ASSERT_TRUE(rtp.Get());
        ASSERT_TRUE(plain.Get());
        EXPECT_EQ(plain->Decode(nullptr, 0, 0, nullptr, 0, nullptr), 1);
        EXPECT_STREQ(plain.GetFactoryName(), L"GetH264RtpDecoder");
        EXPECT_EQ(g_nLiveObjects, 2);
    }
    EXPECT_EQ(g_nLiveObjects, 0); // the destructor destroys
}

TEST(LMObjectPtr, AHoldingHolderAskedAgain)
{
    struct
    {
        const wchar_t* szLibrary;
        const wchar_t* szFactory;
        int bResult;
        uint32_t nError; // the thread's last error after a refusal
    } rows[] = {
        {nullptr, L"GetFlipper", 1, 0},
        {nullptr, nullptr, 1, 0},
        {L"codec.dll", L"GetH264RtpDecoder", 1, 0},
        {L"codec.dll", nullptr, 1, 0},
        {L"codec.dll", L"GetFlipper", 0, LM_ERROR_FUNCTION_NOT_CALLED},
        {L"other.dll", L"GetH264RtpDecoder", 0, LM_ERROR_FUNCTION_NOT_CALLED},
        {L"CODEC.DLL", L"GetH264RtpDecoder", 0, LM_ERROR_FUNCTION_NOT_CALLED}, // names compare exactly
    };
    for (auto row : rows)
    {
        CFakeLoader loader;
        CLMObjectPtr<ILMVideoDecoder> holder(1, L"codec.dll", L"GetH264RtpDecoder", &loader);
        ILMVideoDecoder* pHeld = holder.Get();
        ASSERT_TRUE(pHeld);
        LMSetThreadError(0);
        EXPECT_EQ(holder.Create(row.szLibrary, row.szFactory), row.bResult);
        EXPECT_EQ(LMGetThreadError(), row.nError);
        EXPECT_EQ(holder.Get(), pHeld); // the held object stays, whatever the answer
        EXPECT_EQ(loader.nLoads, 1);
        EXPECT_STREQ(holder.GetLibraryName(), L"codec.dll");
    }
    EXPECT_EQ(g_nLiveObjects, 0);
}

TEST(LMObjectPtr, FailedCreationLeavesTheHolderEmptyWithADefiniteError)
{
    struct
    {
        const wchar_t* szLibrary;
        const wchar_t* szFactory;
        uint32_t nError;
    } rows[] = {
        {L"missing.dll", L"GetFlipper", LM_ERROR_MOD_NOT_FOUND},
        {L"codec.dll", L"GetMissing", LM_ERROR_PROC_NOT_FOUND},
        {L"codec.dll", L"GetNothing", LM_ERROR_FUNCTION_FAILED},
        {L"codec.dll", L"GetFlipper", LM_ERROR_FUNCTION_FAILED}, // a flipper is no decoder
    };
    for (auto row : rows)
    {
        CFakeLoader loader;
        CLMObjectPtr<ILMVideoDecoder> holder(0, nullptr, nullptr, &loader);
        LMSetThreadError(0);
        EXPECT_EQ(holder.Create(row.szLibrary, row.szFactory), 0);
        EXPECT_EQ(LMGetThreadError(), row.nError) << row.szFactory;
        EXPECT_EQ(holder.Get(), nullptr);
        EXPECT_EQ(g_nLiveObjects, 0) << "the wrong object is destroyed at once";
    }
}

TEST(LMObjectPtr, NamesOf260CharactersOrMoreAreRefused)
{
    std::wstring longest(LM_MAX_NAME - 1, L'x'), tooLong(LM_MAX_NAME, L'x');
    CFakeLoader loader;
    CLMObjectPtr<ILMVideoDecoder> holder(0, L"codec.dll", L"GetH264RtpDecoder", &loader);

    LMSetThreadError(0);
    EXPECT_EQ(holder.SetNames(tooLong.c_str(), nullptr), 0);
    EXPECT_EQ(LMGetThreadError(), LM_ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(holder.SetNames(nullptr, tooLong.c_str()), 0);
    EXPECT_STREQ(holder.GetLibraryName(), L"codec.dll");
    EXPECT_STREQ(holder.GetFactoryName(), L"GetH264RtpDecoder");

    EXPECT_EQ(holder.Create(L"codec.dll", tooLong.c_str()), 0);
    EXPECT_EQ(LMGetThreadError(), LM_ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(loader.nLoads, 0);

    EXPECT_EQ(holder.Create(longest.c_str(), L"GetFlipper"), 0);
    EXPECT_EQ(loader.lastLibrary, longest); // the longest name is taken whole
    EXPECT_EQ(LMGetThreadError(), LM_ERROR_MOD_NOT_FOUND);

    CLMObjectPtr<ILMVideoDecoder> created(1, tooLong.c_str(), L"GetH264RtpDecoder", &loader);
    EXPECT_EQ(created.Get(), nullptr);
    EXPECT_STREQ(created.GetLibraryName(), L"");
}

TEST(LMObjectPtr, ReleaseDestroysAndForgetsTheNames)
{
    CFakeLoader loader;
    CLMObjectPtr<ILMVideoDecoder> holder(1, L"codec.dll", L"GetH264RtpDecoder", &loader);
    ASSERT_TRUE(holder.Get());
    holder.Release();
    EXPECT_EQ(holder.Get(), nullptr);
    EXPECT_EQ(g_nLiveObjects, 0);
    EXPECT_STREQ(holder.GetLibraryName(), L"");
    EXPECT_STREQ(holder.GetFactoryName(), L"");
    // An empty holder keeps names given without creating.
    holder.SetNames(L"codec.dll", nullptr);
    holder.Release();
    EXPECT_STREQ(holder.GetLibraryName(), L"codec.dll");
}

TEST(LMObjectPtr, TypedHoldersFillInTheirDefaults)
{
    CFakeLoader loader;
    IIppFlipperPtr flipper(1, nullptr, nullptr, &loader);
    EXPECT_TRUE(flipper.Get());
    EXPECT_STREQ(flipper.GetLibraryName(), L"LMLibrary01U.dll");
    EXPECT_STREQ(flipper.GetFactoryName(), L"GetFlipper");

    IIppH264RtpDecoderPtr decoder(0, L"codec.dll", nullptr, &loader);
    EXPECT_EQ(decoder.Get(), nullptr);
    EXPECT_STREQ(decoder.GetFactoryName(), L"GetH264RtpDecoder");

    // A temporary lives to the end of its full expression, so each name is read in time.
    EXPECT_STREQ(IIppH263RtpDecoderPtr(0, nullptr, nullptr, &loader).GetFactoryName(), L"GetH263RtpDecoder");
    EXPECT_STREQ(IIppColorSpaceConverterPtr(0, nullptr, nullptr, &loader).GetFactoryName(),
                 L"GetColorSpaceConverter");
    EXPECT_STREQ(IIppMjpegDecoderPtr(0, nullptr, nullptr, &loader).GetFactoryName(), L"GetMjpegDecoder");
    EXPECT_STREQ(IIppResizerPtr(0, nullptr, nullptr, &loader).GetFactoryName(), L"GetResizer");
    EXPECT_STREQ(IXiphSpeexEncoderPtr(0, nullptr, nullptr, &loader).GetFactoryName(), L"GetSpeexEncoder");
}

TEST(LMObjectPtr, ThePlatformLoaderReportsMissingLibrariesAndExports)
{
#ifdef _WIN32
    const wchar_t* szPresent = L"kernel32.dll";
#else
    const wchar_t* szPresent = L"libc.so.6";
#endif
    CLMObjectPtr<ILMVideoDecoder> holder;
    LMSetThreadError(0);
    EXPECT_EQ(holder.Create(L"LMNoSuchLibrary.dll", L"GetH264RtpDecoder"), 0);
    EXPECT_EQ(LMGetThreadError(), LM_ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(holder.Create(szPresent, L"GetH264RtpDecoder"), 0);
    EXPECT_EQ(LMGetThreadError(), LM_ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(holder.Get(), nullptr);
}
