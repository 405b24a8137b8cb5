// BCMenuMemDC: an off-screen copy of one rectangle of a target context, drawn in the target's
// coordinates and copied back to the target when it goes.
#pragma once
#include "winui/Gdi.h"

class BCMenuMemDC : public CMemDC
{
public:
    BCMenuMemDC(HDC hTarget, const RECT& rect);
    ~BCMenuMemDC() override;
    // Where to draw: the off-screen copy, or the target itself when no copy could be made.
    HDC GetDrawDC() const { return m_hOldBitmap ? m_hDC : m_hTarget; }

private:
    HDC m_hTarget;
    RECT m_rect;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
};
