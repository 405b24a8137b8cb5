// BCMenuMemDC: the off-screen rectangle of one menu item.
#include "confclient/toolkit/menu/BCMenuMemDC.h"

BCMenuMemDC::BCMenuMemDC(HDC hTarget, const RECT& rect) : CMemDC(hTarget), m_hTarget(hTarget), m_rect(rect)
{
    int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    if (m_hDC && cx > 0 && cy > 0 && m_bitmap.CreateCompatibleBitmap(hTarget, cx, cy))
    {
        m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap);
        ::SetWindowOrgEx(m_hDC, rect.left, rect.top, nullptr);
    }
}

BCMenuMemDC::~BCMenuMemDC()
{
    if (!m_hOldBitmap) return;
    ::BitBlt(m_hTarget, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top,
             m_hDC, m_rect.left, m_rect.top, SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
}
