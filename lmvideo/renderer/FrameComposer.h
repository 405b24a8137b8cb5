// Lays out one frame in memory: the last picture stretched over the client area, then the name
// and the level meter, in a 32-bit top-down DIB section that each renderer presents its own way.
// A 32-bit picture of the client area's size with nothing over it is the frame itself.
#pragma once
#include "lmvideo/renderer/DibSurface.h"
#include "lmvideo/renderer/OverlayState.h"

#include <windows.h>

class CFrameComposer
{
public:
    CFrameComposer() = default;
    ~CFrameComposer();
    CFrameComposer(const CFrameComposer&) = delete;
    CFrameComposer& operator=(const CFrameComposer&) = delete;

    // Keeps a copy of a top-down picture of nBits (32, 24, or 16 as RGB565) per pixel, rows
    // packed; false when memory ran out.
    bool SetPicture(const uint8_t* pData, int nWidth, int nHeight, int nBits);
    void ForgetPicture() { m_bHasPicture = false; }
    bool HasPicture() const { return m_bHasPicture; }

    // Composes the frame at cx x cy; false when the drawing surface cannot be made. The frame
    // (below) is valid until the next SetPicture or Compose.
    bool Compose(int cx, int cy, const S_LMOVERLAY& overlay);

    // The composed frame: 32 bits a pixel, rows of width * 4 bytes.
    HDC GetDC() const { return m_pFrame->GetDC(); }
    const uint8_t* GetBits() const { return m_pFrame->GetBits(); }
    int GetWidth() const { return m_pFrame->GetWidth(); }
    int GetHeight() const { return m_pFrame->GetHeight(); }

private:
    void DrawName(const S_LMOVERLAY& overlay);
    void DrawPeakMeter(const S_LMOVERLAY& overlay);
    HFONT FontFor(const S_LMOVERLAY& overlay);

    CDibSurface m_picture; // the last picture as it came
    bool m_bHasPicture = false;
    CDibSurface m_composed; // the picture stretched, or the background, with the overlays
    const CDibSurface* m_pFrame = &m_composed;

    HFONT m_hFont = nullptr;
    std::wstring m_fontFace;
    int m_nFontHeight = 0;
};
