// The capture format table and the order of the candidates.
#include "lmvideo/send/CaptureFormat.h"

#include "confclient/library/LMPixelFormat.h"

#include <algorithm>

S_CAPTUREFORMAT LMCaptureFormat(int32_t nType, int32_t nWidth, int32_t nHeight)
{
    const int64_t nPixels = static_cast<int64_t>(nWidth) * nHeight;
    switch (nType)
    {
    case CAPTURE_I420:
        return {LM_FMT_YUV420, nPixels * 3 / 2, false, false};
    case CAPTURE_YUY2:
        return {LM_FMT_YUY2, nPixels * 2, false, false};
    case CAPTURE_UYVY:
        return {LM_FMT_UYVY, nPixels * 2, false, false};
    case CAPTURE_RGB32:
        return {LM_FMT_RGB32, nPixels * 4, true, false};
    case CAPTURE_RGB24:
        return {LM_FMT_RGB24, nPixels * 3, true, false};
    case CAPTURE_RGB555:
        return {LM_FMT_RGB555, nPixels * 2, true, false};
    case CAPTURE_RGB565:
        return {LM_FMT_RGB565, nPixels * 2, true, false};
    case CAPTURE_MJPG:
        return {LM_FMT_YUV420, nPixels * 3 / 2, false, true};
    default:
        return {LM_FMT_NONE, nPixels * 2, false, false};
    }
}

std::vector<S_CAPTURECANDIDATE> LMCaptureCandidates(const std::vector<S_CAPTURECAPABILITY>& capabilities,
                                                    int32_t nWidth, int32_t nHeight)
{
    std::vector<S_CAPTURECANDIDATE> candidates;
    for (size_t i = 0; i < capabilities.size(); ++i)
    {
        const S_CAPTURECAPABILITY& cap = capabilities[i];
        if (!cap.bVideoInfo || cap.nWidth != nWidth || cap.nHeight != nHeight) continue;
        if (cap.nType < CAPTURE_MJPG || cap.nType > CAPTURE_I420) continue;
        candidates.push_back({cap.nType, static_cast<int32_t>(i), cap.nMinInterval, cap.nMaxInterval});
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const S_CAPTURECANDIDATE& a, const S_CAPTURECANDIDATE& b)
                     {
                         if (a.nType != b.nType) return a.nType > b.nType;
                         return a.nMaxInterval < b.nMaxInterval;
                     });
    return candidates;
}

int64_t LMLimitedInterval(int32_t nFrameRateLimit, const S_CAPTURECANDIDATE& candidate)
{
    if (nFrameRateLimit <= 0) return 0;
    const int64_t nInterval = 10000000 / nFrameRateLimit;
    return nInterval < candidate.nMinInterval ? 0 : nInterval;
}

int32_t LMCaptureDeviceIndex(int32_t nIndex, int32_t nCount)
{
    return nIndex < 0 || nIndex >= nCount ? 0 : nIndex;
}

S_CROSSBARROUTE LMCrossbarRoute(const std::vector<int32_t>& inputTypes,
                                const std::vector<int32_t>& outputTypes, int32_t nRequestedType)
{
    S_CROSSBARROUTE route{-1, -1};
    for (size_t i = 0; i < inputTypes.size(); ++i)
        if (inputTypes[i] == nRequestedType) route.nInput = static_cast<int32_t>(i);
    for (size_t i = 0; i < outputTypes.size(); ++i)
        if (outputTypes[i] == LM_PHYSCONN_VIDEO_DECODER)
        {
            route.nOutput = static_cast<int32_t>(i);
            break;
        }
    return route;
}
