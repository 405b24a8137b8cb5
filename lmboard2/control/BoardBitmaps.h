// The board's drawing surfaces: the page's background, the drawing (background and every
// record) and the scaled copy the screen is painted from when the zoom is not 100.
#pragma once
#include "lmboard2/gif/BmpFile.h"
#include <filesystem>
#include <windows.h>

// A 24-bit DIB section selected into its own memory DC.
class CSurfaceBitmap
{
public:
    CSurfaceBitmap() = default;
    CSurfaceBitmap(const CSurfaceBitmap&) = delete;
    CSurfaceBitmap& operator=(const CSurfaceBitmap&) = delete;
    ~CSurfaceBitmap() { Free(); }

    bool Make(int cx, int cy);
    void Free();
    HDC Dc() const { return m_hDC; }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    // The pixel as a colour reference (tests and comparisons).
    COLORREF Pixel(int x, int y) const;
    // A copy of the pixels as 24-bit bottom-up rows (saving and export).
    S_PICTURE24 Picture24() const;

private:
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    const BYTE* m_pBits = nullptr;
    int m_cx = 0, m_cy = 0;
};

class CBoardBitmaps
{
public:
    // A white page of that size as the background.
    bool MakeBlank(int cx, int cy);
    // The picture file as the background, in its own size; false when it cannot be loaded.
    bool LoadPicture(const std::filesystem::path& picture);
    // The drawing back to the background.
    void ClearToBackground();
    // Copies a box of the background into the drawing.
    void RestoreBox(const RECT& rc);

    int Width() const { return m_drawing.Width(); }
    int Height() const { return m_drawing.Height(); }
    HDC Background() const { return m_background.Dc(); }
    HDC Drawing() const { return m_drawing.Dc(); }
    const CSurfaceBitmap& DrawingBitmap() const { return m_drawing; }

    // The scaled copy for the scale, rebuilt when the drawing changed since (half-tone stretch).
    HDC Scaled(int cx, int cy);
    void MarkChanged() { m_bScaledStale = true; }

private:
    CSurfaceBitmap m_background;
    CSurfaceBitmap m_drawing;
    CSurfaceBitmap m_scaled;
    bool m_bScaledStale = true;
};
