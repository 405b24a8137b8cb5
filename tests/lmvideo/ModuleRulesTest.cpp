// The video module's rules: version classes, the Direct2D choice, codec factory names, the
// renderer count's broadcast and the engines' error reporter.
#include "confclient/library/LMPlatform.h"
#include "lmvideo/module/LMVideoRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
class CRecordingBroadcaster : public ILMVideoBroadcaster
{
public:
    void Broadcast(const wchar_t* szMessageName) override { posted.push_back(szMessageName); }
    std::vector<std::wstring> posted;
};

class CEngine : public CLMObjectImpl
{
};
} // namespace

TEST(LMVideoModule, WindowsVersionClasses)
{
    struct
    {
        uint32_t nMajor, nMinor;
        bool bWorkstation, bX64;
        int nServerR2;
        uint16_t wSuite;
        int32_t nClass;
    } rows[] = {
        {5, 0, true, false, 0, 0, 0},  {5, 1, true, false, 0, 0, 1},       {5, 2, true, true, 0, 0, 2},
        {5, 2, true, false, 0, 0, 3}, // 32-bit workstation: metric 0
        {5, 2, false, true, 0, 0, 3},  {5, 2, false, false, 1, 0x8000, 4}, {5, 2, false, false, 1, 0x0010, 5},
        {5, 3, true, false, 0, 0, -1}, {6, 0, true, true, 0, 0, 6},        {6, 0, false, true, 0, 0, 7},
        {6, 1, true, true, 0, 0, 9},   {6, 1, false, true, 0, 0, 8},       {6, 2, true, true, 0, 0, -1},
        {6, 3, true, true, 0, 0, -1},  {10, 0, true, true, 0, 0, -1},      {4, 0, true, false, 0, 0, -1},
    };
    for (auto row : rows)
    {
        S_LMOSVERSION version{row.nMajor, row.nMinor,   3, row.wSuite, row.bWorkstation,
                              row.bX64,   row.nServerR2};
        S_LMWINDOWSVERSION result = LMClassifyWindowsVersion(&version);
        EXPECT_EQ(result.nClass, row.nClass) << row.nMajor << "." << row.nMinor;
        EXPECT_EQ(result.wServicePackMajor, 3);
    }
    S_LMWINDOWSVERSION unread = LMClassifyWindowsVersion(nullptr);
    EXPECT_EQ(unread.nClass, -1);
    EXPECT_EQ(unread.wServicePackMajor, 0);
}

TEST(LMVideoModule, Direct2DOnlyFromVistaSp2)
{
    struct
    {
        int32_t nClass;
        uint16_t wServicePack;
        bool bDirect2D;
    } rows[] = {
        {-1, 0, false}, {5, 3, false}, {6, 0, false}, {6, 1, false},
        {6, 2, true},   {7, 0, true},  {9, 0, true},  {9, 1, true},
    };
    for (auto row : rows)
        EXPECT_EQ(LMUseDirect2D({row.nClass, row.wServicePack}), row.bDirect2D)
            << row.nClass << " sp" << row.wServicePack;
}

TEST(LMVideoModule, CodecFactoryNames)
{
    struct
    {
        int32_t nType;
        const wchar_t* szFactory;
    } rows[] = {
        {0, nullptr},
        {1, L"GetH263RtpEncoder"},
        {2, L"GetH264RtpEncoder"},
        {3, L"GetH263RtpDecoder"},
        {4, L"GetH264RtpDecoder"},
        {5, L"GetH263Encoder"},
        {6, L"GetH264Encoder"},
        {7, L"GetH263Decoder"},
        {8, L"GetH264Decoder"},
        {9, nullptr},
        {-1, nullptr},
        {0x10004, L"GetH264RtpDecoder"}, // the type is taken as 16 bits
    };
    for (auto row : rows)
    {
        const wchar_t* szGot = LMCodecFactoryName(row.nType);
        if (!row.szFactory)
            EXPECT_EQ(szGot, nullptr) << row.nType;
        else
            EXPECT_STREQ(szGot, row.szFactory) << row.nType;
    }
}

TEST(LMVideoModule, ReinitOnlyWhenTheLastRendererGoesWithBroadcast)
{
    CRecordingBroadcaster broadcaster;
    CLMRendererCount count(broadcaster);
    count.AddRenderer();
    count.AddRenderer();
    count.RemoveRenderer(1);
    EXPECT_TRUE(broadcaster.posted.empty()); // one renderer is still in use
    count.RemoveRenderer(1);
    EXPECT_EQ(broadcaster.posted, std::vector<std::wstring>{L"REINIT ALL LMVIDEO"});

    count.AddRenderer();
    count.RemoveRenderer(0); // re-initialisation and destruction release without broadcast
    EXPECT_EQ(broadcaster.posted.size(), 1u);
    EXPECT_EQ(count.GetCount(), 0);
}

TEST(LMVideoModule, EngineErrorReporterTexts)
{
    struct
    {
        uint32_t nCode;
        const wchar_t* szText;
        std::wstring message; // after the "0x%08x at Engine:1, " prefix
        bool bClear;
    } rows[] = {
        {0x80070005u, nullptr, LMErrorText(static_cast<int32_t>(0x80070005u)), false},
        {0x80070005u, L"", LMErrorText(static_cast<int32_t>(0x80070005u)), false},
        {0x88760005u, nullptr, L"DShowERR", false},
        {0x8876017Cu, nullptr, L"DShowERR", true},
        {0x8876017Cu, L"surface lost", L"surface lost", true},
        {0xA0020002u, L"Invalid LMRenderer Module", L"Invalid LMRenderer Module", false},
        {0x80040200u, nullptr, LMErrorText(static_cast<int32_t>(0x80040200u)), false},
    };
    for (auto& row : rows)
    {
        CRecordingBroadcaster broadcaster;
        CLMRendererCount module(broadcaster);
        CEngine engine;
        auto nCode = static_cast<int32_t>(row.nCode);
        EXPECT_EQ(LMReportEngineError(engine, module, nCode, L"Engine", 1, row.szText), 0);
        EXPECT_EQ(engine.GetLastErrorCode(), nCode);
        wchar_t szPrefix[32];
        swprintf(szPrefix, 32, L"0x%08x at Engine:1, ", row.nCode);
        EXPECT_EQ(std::wstring(engine.GetLastErrorMessage()), szPrefix + row.message);
        EXPECT_EQ(broadcaster.posted,
                  row.bClear ? std::vector<std::wstring>{L"CLEAR ALL LMVIDEO"} : std::vector<std::wstring>{});
    }
    CRecordingBroadcaster broadcaster;
    CLMRendererCount module(broadcaster);
    CEngine engine;
    engine.SetError(-5, L"Engine", 1, L"old");
    EXPECT_EQ(LMReportEngineError(engine, module, 0, L"Engine", 2, nullptr), 1);
    EXPECT_EQ(engine.GetLastErrorCode(), 0);
}
