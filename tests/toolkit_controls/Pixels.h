// A memory bitmap to draw into and read pixels back from.
#pragma once
#include <cstdlib>
#include <windows.h>

// Colours of the sample skin that the tests look for.
constexpr COLORREF kNavy = RGB(0x1F, 0x3A, 0x5F);
constexpr COLORREF kTeal = RGB(0x2A, 0x9D, 0x8F);
constexpr COLORREF kGrey = RGB(0xC9, 0xD1, 0xD9);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct MemoryCanvas
{
    static constexpr COLORREF kBlank = RGB(255, 0, 255);
    HDC hDC;
    HBITMAP hBitmap, hOld;
    int cx, cy;

    MemoryCanvas(int width, int height) : cx(width), cy(height)
    {
        HDC screen = ::GetDC(nullptr);
        hDC = ::CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        hBitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ::ReleaseDC(nullptr, screen);
        hOld = static_cast<HBITMAP>(::SelectObject(hDC, hBitmap));
        Clear();
    }
    ~MemoryCanvas()
    {
        ::SelectObject(hDC, hOld);
        ::DeleteObject(hBitmap);
        ::DeleteDC(hDC);
    }
    void Clear()
    {
        HBRUSH brush = ::CreateSolidBrush(kBlank);
        RECT r{0, 0, cx, cy};
        ::FillRect(hDC, &r, brush);
        ::DeleteObject(brush);
    }
    COLORREF Pixel(int x, int y) const { return ::GetPixel(hDC, x, y); }
    // True when some pixel of the rectangle is near `colour`.
    bool Contains(const RECT& r, COLORREF colour) const;
};

// Colours equal within a small tolerance (JPEG, dithering, stretching).
inline bool Near(COLORREF a, COLORREF b, int tolerance = 24)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

inline bool MemoryCanvas::Contains(const RECT& r, COLORREF colour) const
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (Near(Pixel(x, y), colour, 8)) return true;
    return false;
}
