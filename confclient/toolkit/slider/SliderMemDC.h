// CSliderMemDC: the slider's flicker-free painting context. It draws off screen in the target's
// mapping over a rectangle filled with the target's background colour, and copies itself to the
// target when it goes; on a printing context it draws directly.
#pragma once
#include "winui/Gdi.h"

class CSliderMemDC : public CMemDC
{
public:
    CSliderMemDC(HDC hTarget, const RECT& rect);
    ~CSliderMemDC() override;
    // Where to draw: the off-screen copy, or the target itself.
    HDC GetDrawDC() const { return m_hOldBitmap ? m_hDC : m_hTarget; }

private:
    HDC m_hTarget;
    RECT m_rect;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
};
