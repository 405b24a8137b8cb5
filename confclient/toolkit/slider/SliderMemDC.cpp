// CSliderMemDC: an off-screen copy with the target's mapping and background.
#include "confclient/toolkit/slider/SliderMemDC.h"

CSliderMemDC::CSliderMemDC(HDC hTarget, const RECT& rect) : CMemDC(hTarget), m_hTarget(hTarget), m_rect(rect)
{
    if (::GetDeviceCaps(hTarget, TECHNOLOGY) == DT_RASPRINTER) return;
    int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    if (!m_hDC || cx <= 0 || cy <= 0 || !m_bitmap.CreateCompatibleBitmap(hTarget, cx, cy)) return;
    m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap);
    ::SetMapMode(m_hDC, ::GetMapMode(hTarget));
    SIZE extent;
    ::GetWindowExtEx(hTarget, &extent);
    ::SetWindowExtEx(m_hDC, extent.cx, extent.cy, nullptr);
    ::GetViewportExtEx(hTarget, &extent);
    ::SetViewportExtEx(m_hDC, extent.cx, extent.cy, nullptr);
    // The rectangle's corner is the bitmap's first pixel.
    ::SetWindowOrgEx(m_hDC, rect.left, rect.top, nullptr);
    ::SetViewportOrgEx(m_hDC, 0, 0, nullptr);
    COLORREF back = ::GetBkColor(hTarget);
    COLORREF old = ::SetBkColor(m_hDC, back);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &m_rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

CSliderMemDC::~CSliderMemDC()
{
    if (!m_hOldBitmap) return;
    ::BitBlt(m_hTarget, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top,
             m_hDC, m_rect.left, m_rect.top, SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
}
