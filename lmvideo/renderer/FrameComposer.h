// Lays out one frame in memory: the last picture stretched over the client area, then the name
// and the level meter, in a 32-bit top-down DIB section that each renderer presents its own way.
#pragma once
#include "confclient/library/LMBuffer.h"
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
    void ForgetPicture() { m_nWidth = m_nHeight = 0; }
    bool HasPicture() const { return m_nWidth > 0; }

    // Composes the frame at cx x cy; false when the drawing surface cannot be made.
    bool Compose(int cx, int cy, const S_LMOVERLAY& overlay);

    HDC GetDC() const { return m_hdc; }
    const uint8_t* GetBits() const { return static_cast<const uint8_t*>(m_pBits); }
    int GetWidth() const { return m_cx; }
    int GetHeight() const { return m_cy; }

private:
    bool MakeSurface(int cx, int cy);
    void FreeSurface();
    void DrawName(const S_LMOVERLAY& overlay);
    void DrawPeakMeter(const S_LMOVERLAY& overlay);
    HFONT FontFor(const S_LMOVERLAY& overlay);

    CLMBuffer m_picture; // rows padded to four bytes, as DIBs are
    int m_nWidth = 0, m_nHeight = 0, m_nBits = 32;

    HDC m_hdc = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    void* m_pBits = nullptr;
    int m_cx = 0, m_cy = 0;

    HFONT m_hFont = nullptr;
    std::wstring m_fontFace;
    int m_nFontHeight = 0;
};
