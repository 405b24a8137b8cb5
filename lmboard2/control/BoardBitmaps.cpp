// DIB sections of the board and the picture loading of its background.
#include "lmboard2/control/BoardBitmaps.h"

#include <cstring>

#include <objidl.h> // gdiplus.h needs PROPID, which a lean windows.h leaves out
#include <gdiplus.h>

bool CSurfaceBitmap::Make(int cx, int cy)
{
    Free();
    if (cx <= 0 || cy <= 0) return false;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = cx;
    bi.bmiHeader.biHeight = -cy;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    m_hBitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    m_hDC = CreateCompatibleDC(nullptr);
    if (!m_hBitmap || !m_hDC)
    {
        Free();
        return false;
    }
    m_hOld = SelectObject(m_hDC, m_hBitmap);
    m_pBits = static_cast<const BYTE*>(pBits);
    m_cx = cx;
    m_cy = cy;
    RECT rc{0, 0, cx, cy};
    FillRect(m_hDC, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return true;
}

void CSurfaceBitmap::Free()
{
    if (m_hDC)
    {
        SelectObject(m_hDC, m_hOld);
        DeleteDC(m_hDC);
    }
    if (m_hBitmap) DeleteObject(m_hBitmap);
    m_hDC = nullptr;
    m_hBitmap = nullptr;
    m_pBits = nullptr;
    m_cx = m_cy = 0;
}

S_PICTURE24 CSurfaceBitmap::Picture24() const
{
    S_PICTURE24 pic;
    if (!m_pBits) return pic;
    GdiFlush();
    const auto nStride = static_cast<size_t>(Dib24Stride(m_cx));
    pic.nWidth = m_cx;
    pic.nHeight = m_cy;
    pic.bits.resize(nStride * static_cast<size_t>(m_cy));
    // The surface is top-down; the picture's first row is the bottom one.
    for (int y = 0; y < m_cy; ++y)
        memcpy(pic.bits.data() + nStride * static_cast<size_t>(y),
               m_pBits + nStride * static_cast<size_t>(m_cy - 1 - y), nStride);
    return pic;
}

COLORREF CSurfaceBitmap::Pixel(int x, int y) const
{
    if (!m_pBits || x < 0 || y < 0 || x >= m_cx || y >= m_cy) return CLR_INVALID;
    GdiFlush();
    const size_t nStride = (static_cast<size_t>(m_cx) * 3 + 3) & ~size_t(3);
    const BYTE* p = m_pBits + static_cast<size_t>(y) * nStride + static_cast<size_t>(x) * 3;
    return RGB(p[2], p[1], p[0]);
}

bool CBoardBitmaps::MakeBlank(int cx, int cy)
{
    if (!m_background.Make(cx, cy) || !m_drawing.Make(cx, cy)) return false;
    m_bScaledStale = true;
    return true;
}

bool CBoardBitmaps::LoadPicture(const std::filesystem::path& picture)
{
    Gdiplus::Bitmap* pPicture = Gdiplus::Bitmap::FromFile(picture.wstring().c_str());
    bool bOk = pPicture && pPicture->GetLastStatus() == Gdiplus::Ok;
    if (bOk) bOk = MakeBlank(static_cast<int>(pPicture->GetWidth()), static_cast<int>(pPicture->GetHeight()));
    if (bOk)
    {
        Gdiplus::Graphics g(m_background.Dc());
        bOk = g.DrawImage(pPicture, 0, 0, m_background.Width(), m_background.Height()) == Gdiplus::Ok;
        ClearToBackground();
    }
    delete pPicture;
    return bOk;
}

void CBoardBitmaps::ClearToBackground()
{
    BitBlt(m_drawing.Dc(), 0, 0, Width(), Height(), m_background.Dc(), 0, 0, SRCCOPY);
    m_bScaledStale = true;
}

void CBoardBitmaps::RestoreBox(const RECT& rc)
{
    BitBlt(m_drawing.Dc(), rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, m_background.Dc(),
           rc.left, rc.top, SRCCOPY);
    m_bScaledStale = true;
}

HDC CBoardBitmaps::Scaled(int cx, int cy)
{
    if (cx <= 0 || cy <= 0) return nullptr;
    if (m_scaled.Width() != cx || m_scaled.Height() != cy)
    {
        if (!m_scaled.Make(cx, cy)) return nullptr;
        m_bScaledStale = true;
    }
    if (m_bScaledStale)
    {
        SetStretchBltMode(m_scaled.Dc(), HALFTONE);
        SetBrushOrgEx(m_scaled.Dc(), 0, 0, nullptr);
        StretchBlt(m_scaled.Dc(), 0, 0, cx, cy, m_drawing.Dc(), 0, 0, Width(), Height(), SRCCOPY);
        m_bScaledStale = false;
    }
    return m_scaled.Dc();
}
