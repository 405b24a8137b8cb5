// The video control module's portable rules.
#include "lmvideo/module/LMVideoRules.h"

#include "confclient/library/LMPlatform.h"

#include <string>

namespace
{
constexpr uint16_t kSuiteHomeServer = 0x8000;
constexpr uint32_t kFacilityDirectX = 0x876;
constexpr int32_t kSurfaceLost = static_cast<int32_t>(0x8876017C);

int32_t ClassOf(const S_LMOSVERSION& v)
{
    if (v.nMajor == 5)
    {
        switch (v.nMinor)
        {
        case 0:
            return 0;
        case 1:
            return 1;
        case 2:
            if (v.bWorkstation && v.bX64) return 2;
            if (v.nServerR2 == 0) return 3;
            return (v.wSuiteMask & kSuiteHomeServer) ? 4 : 5;
        default:
            return -1;
        }
    }
    if (v.nMajor == 6)
    {
        if (v.nMinor == 0) return v.bWorkstation ? 6 : 7;
        if (v.nMinor == 1) return v.bWorkstation ? 9 : 8;
    }
    return -1;
}
} // namespace

S_LMWINDOWSVERSION LMClassifyWindowsVersion(const S_LMOSVERSION* pVersion)
{
    if (!pVersion) return {-1, 0};
    return {ClassOf(*pVersion), pVersion->wServicePackMajor};
}

bool LMUseDirect2D(const S_LMWINDOWSVERSION& version)
{
    return version.nClass > 6 || (version.nClass == 6 && version.wServicePackMajor >= 2);
}

const wchar_t* LMCodecFactoryName(int32_t nType)
{
    static const wchar_t* const kFactories[] = {
        nullptr,
        L"GetH263RtpEncoder",
        L"GetH264RtpEncoder",
        L"GetH263RtpDecoder",
        L"GetH264RtpDecoder",
        L"GetH263Encoder",
        L"GetH264Encoder",
        L"GetH263Decoder",
        L"GetH264Decoder",
    };
    auto nType16 = static_cast<uint16_t>(nType);
    return nType16 < sizeof kFactories / sizeof kFactories[0] ? kFactories[nType16] : nullptr;
}

void CLMRendererCount::RemoveRenderer(int bBroadcast)
{
    if (--m_nRenderers == 0 && bBroadcast) m_broadcaster.Broadcast(LMVIDEO_MSG_REINIT);
}

int LMReportEngineError(CLMObjectImpl& engine, CLMRendererCount& module, int32_t nCode, const wchar_t* szFile,
                        int nLine, const wchar_t* szText)
{
    if (nCode == 0) return engine.SetError(0, szFile, nLine, nullptr);
    std::wstring text;
    if (szText && *szText)
        text = szText;
    else if (((static_cast<uint32_t>(nCode) >> 16) & 0x1FFF) == kFacilityDirectX)
        text = L"DShowERR";
    else
        text = LMErrorText(nCode);
    if (nCode == kSurfaceLost) module.BroadcastClear();
    return engine.SetError(nCode, szFile, nLine, L"%s", text.c_str());
}
