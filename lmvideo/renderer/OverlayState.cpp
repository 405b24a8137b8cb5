// The overlay settings' checks.
#include "lmvideo/renderer/OverlayState.h"

bool COverlayState::SetName(const wchar_t* szName)
{
    m_overlay.name = szName ? szName : L"";
    return true;
}

bool COverlayState::SetFont(const wchar_t* szFace, int16_t nSize, int16_t nBigSize)
{
    if (!szFace || !*szFace || nSize <= 0 || nBigSize <= 0) return false;
    m_overlay.face = szFace;
    m_overlay.nSize = nSize;
    m_overlay.nBigSize = nBigSize;
    return true;
}

bool COverlayState::SetPosition(int16_t nPosition)
{
    if (nPosition < 0 || nPosition > 3) return false;
    m_overlay.nPosition = nPosition;
    return true;
}

void COverlayState::SetPeakLevel(int16_t nLevel)
{
    m_overlay.nPeakLevel = nLevel < 0 ? 0 : nLevel > 100 ? 100 : nLevel;
}
