// What the renderers draw over the picture: the user's name and the voice level meter.
#pragma once
#include <cstdint>
#include <string>

struct S_LMOVERLAY
{
    std::wstring name;
    bool bNameVisible = false;
    bool bNameBigger = false;
    std::wstring face = L"Tahoma";
    int16_t nSize = 9;     // points
    int16_t nBigSize = 14; // points, when the name is shown bigger
    int16_t nPosition = 0; // 0 top left, 1 top right, 2 bottom left, 3 bottom right
    int16_t nPeakLevel = 0;
    bool bPeakVisible = false;
};

// The overlay settings with their checks; each setter answers whether the value was taken.
class COverlayState
{
public:
    const S_LMOVERLAY& Get() const { return m_overlay; }
    bool SetName(const wchar_t* szName);
    void SetNameVisible(bool bVisible) { m_overlay.bNameVisible = bVisible; }
    void SetNameBigger(bool bBigger) { m_overlay.bNameBigger = bBigger; }
    // A face is required and both sizes must be positive.
    bool SetFont(const wchar_t* szFace, int16_t nSize, int16_t nBigSize);
    // Only the four corners 0..3.
    bool SetPosition(int16_t nPosition);
    // Clamped to 0..100.
    void SetPeakLevel(int16_t nLevel);
    void SetPeakVisible(bool bVisible) { m_overlay.bPeakVisible = bVisible; }

private:
    S_LMOVERLAY m_overlay;
};
