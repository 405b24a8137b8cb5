// Speech levels (0..100 = dBFS + 60, scaled) reported at most every 100 ms per source, and the
// microphone boost.
#pragma once
#include <cstddef>
#include <cstdint>

#include "volumora/core/VoiceFormat.h"

// The level of a frame's peak: -60 dBFS and below 0, full scale 100.
int FrameLevel(const int16_t* pSamples, size_t nSamples);
// +12 dB, saturating at full scale.
void ApplyMicBoost(int16_t* pSamples, size_t nSamples);

// One source's reports: the loudest frame of each 100 ms, and a 0 once when it stops.
class CLevelReporter
{
public:
    // True with the level to report when one is due.
    bool Feed(VoiceMs now, int nLevel, int& nReport);
    // True when the source had reported since it started: report 0 once.
    bool Stop();

private:
    bool m_bActive = false;
    bool m_bReported = false;
    VoiceMs m_dwLastReport = 0;
    int m_nPeak = 0;
};
