// The interval after a passed picture shrinks by how late it came, so that the events keep the
// frame rate on average when pictures arrive at a rate that does not divide it.
#include "lmvideo/send/SendRateLimiter.h"

ESendVerdict CSendRateLimiter::Judge(uint32_t nNow)
{
    if (m_nState == SEND_IGNORE) return ESendVerdict::Drop;
    const uint32_t nElapsed = nNow - m_nLastTick;
    if (m_nFrameRate != kEveryPicture && m_bHaveLast && nElapsed < m_nInterval) return ESendVerdict::Drop;
    const uint32_t nNominal = 1000u / static_cast<uint32_t>(m_nFrameRate);
    if (m_bHaveLast)
    {
        const uint32_t nOverrun = nElapsed - m_nInterval;
        m_nInterval = nOverrun > nNominal ? 0 : nNominal - nOverrun;
    }
    else
        m_nInterval = nNominal;
    m_bHaveLast = true;
    m_nLastTick = nNow;
    return m_nState == SEND_FIRE ? ESendVerdict::Fire : ESendVerdict::PassSilently;
}

void CSendRateLimiter::SetState(int32_t nState)
{
    m_nState = nState;
    if (nState == SEND_FIRE) Restart();
}

void CSendRateLimiter::SetFrameRate(int32_t nFrameRate)
{
    Restart();
    if (nFrameRate > 0) m_nFrameRate = nFrameRate;
}
