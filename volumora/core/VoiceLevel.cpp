// Frame levels, their reports and the microphone boost.
#include "volumora/core/VoiceLevel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
constexpr VoiceMs kReportEveryMs = 100;
// 10^(12/20) in 1/4096.
constexpr int32_t kBoostQ12 = 16306;
} // namespace

int FrameLevel(const int16_t* pSamples, size_t nSamples)
{
    int nPeak = 0;
    for (size_t i = 0; i < nSamples; ++i)
        nPeak = std::max(nPeak, std::abs(static_cast<int>(pSamples[i])));
    if (nPeak == 0) return 0;
    double dbfs = 20.0 * std::log10(nPeak / 32768.0);
    return std::clamp(static_cast<int>(std::lround((dbfs + 60.0) * 100.0 / 60.0)), 0, 100);
}

void ApplyMicBoost(int16_t* pSamples, size_t nSamples)
{
    for (size_t i = 0; i < nSamples; ++i)
    {
        int32_t v = (static_cast<int32_t>(pSamples[i]) * kBoostQ12) / 4096;
        pSamples[i] = static_cast<int16_t>(std::clamp<int32_t>(v, -32768, 32767));
    }
}

bool CLevelReporter::Feed(VoiceMs now, int nLevel, int& nReport)
{
    m_nPeak = std::max(m_nPeak, nLevel);
    if (m_bActive && now - m_dwLastReport < kReportEveryMs) return false;
    m_bActive = true;
    m_bReported = true;
    m_dwLastReport = now;
    nReport = m_nPeak;
    m_nPeak = 0;
    return true;
}

bool CLevelReporter::Stop()
{
    bool bWas = m_bReported;
    m_bActive = false;
    m_bReported = false;
    m_nPeak = 0;
    return bWas;
}
