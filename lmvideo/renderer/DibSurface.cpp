// A DIB section in a memory DC.
#include "lmvideo/renderer/DibSurface.h"

namespace
{
struct S_DIBINFO
{
    BITMAPINFOHEADER header;
    DWORD masks[3];
};
} // namespace

bool CDibSurface::Make(int cx, int cy, int nBits)
{
    if (m_hdc && cx == m_cx && cy == m_cy && nBits == m_nBits) return true;
    Free();
    S_DIBINFO info{};
    info.header = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, static_cast<WORD>(nBits), BI_RGB, 0, 0, 0, 0, 0};
    if (nBits == 16)
    {
        // RGB565: without masks a 16-bit DIB would be read as 555.
        info.header.biCompression = BI_BITFIELDS;
        info.masks[0] = 0xF800;
        info.masks[1] = 0x07E0;
        info.masks[2] = 0x001F;
    }
    m_hdc = CreateCompatibleDC(nullptr);
    if (m_hdc)
        m_hBitmap = CreateDIBSection(m_hdc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &m_pBits,
                                     nullptr, 0);
    if (!m_hBitmap)
    {
        Free();
        return false;
    }
    m_hOldBitmap = SelectObject(m_hdc, m_hBitmap);
    m_cx = cx;
    m_cy = cy;
    m_nBits = nBits;
    return true;
}

void CDibSurface::Free()
{
    if (m_hdc && m_hOldBitmap) SelectObject(m_hdc, m_hOldBitmap);
    if (m_hBitmap) DeleteObject(m_hBitmap);
    if (m_hdc) DeleteDC(m_hdc);
    m_hdc = nullptr;
    m_hBitmap = nullptr;
    m_hOldBitmap = nullptr;
    m_pBits = nullptr;
    m_cx = m_cy = m_nBits = 0;
}
