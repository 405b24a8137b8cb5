// A top-down DIB section selected into its own memory DC: pixels the CPU writes and GDI draws.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

class CDibSurface
{
public:
    CDibSurface() = default;
    ~CDibSurface() { Free(); }
    CDibSurface(const CDibSurface&) = delete;
    CDibSurface& operator=(const CDibSurface&) = delete;

    // Keeps the surface when it already has this size and depth (32, 24, or 16 as RGB565);
    // false, with nothing held, when GDI cannot make it.
    bool Make(int cx, int cy, int nBits);
    void Free();

    HDC GetDC() const { return m_hdc; }
    uint8_t* GetBits() const { return static_cast<uint8_t*>(m_pBits); }
    int GetWidth() const { return m_cx; }
    int GetHeight() const { return m_cy; }
    int GetBitsPerPixel() const { return m_nBits; }
    // Bytes from one row to the next: rows are padded to four bytes.
    size_t GetStride() const { return StrideOf(m_cx, m_nBits); }
    static size_t StrideOf(int cx, int nBits)
    {
        return (static_cast<size_t>(cx) * (nBits / 8) + 3) & ~size_t{3};
    }

private:
    HDC m_hdc = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    void* m_pBits = nullptr;
    int m_cx = 0, m_cy = 0, m_nBits = 0;
};
