// CHBitmapButton: state bitmap choice, hover picture with its polling timer, hand cursor.
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/HandCursor.h"

CHBitmapButton::CHBitmapButton() : m_hCursor(CreateHandCursor()) {}

CHBitmapButton::~CHBitmapButton()
{
    if (m_hCursor) ::DestroyCursor(m_hCursor);
}

BOOL CHBitmapButton::LoadBitmapsAndSize(WORD idNormal, WORD idSelected, WORD idFocus, WORD idDisabled)
{
    BOOL ok = LoadBitmaps(idNormal, idSelected, idFocus, idDisabled);
    if (ok && m_hWnd) SizeToContent();
    SIZE size;
    if (m_bitmap.GetSize(size))
    {
        m_nWidth = size.cx;
        m_nHeight = size.cy;
    }
    return ok;
}

BOOL CHBitmapButton::GetBitmapSize(SIZE& size) const
{
    if (!m_bitmap)
    {
        size = SIZE{0, 0};
        return FALSE;
    }
    size = SIZE{m_nWidth, m_nHeight};
    return TRUE;
}

BOOL CHBitmapButton::PreTranslateMessage(MSG* pMsg)
{
    if (!m_bActive && pMsg->hwnd == m_hWnd &&
        (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_MOUSEHOVER))
        return TRUE;
    return CBitmapButton::PreTranslateMessage(pMsg);
}

void CHBitmapButton::DrawItem(DRAWITEMSTRUCT* pDIS)
{
    if (!m_bitmap) return;
    HBITMAP bitmap = m_bitmap;
    if ((pDIS->itemState & ODS_SELECTED) && m_bitmapSel)
        bitmap = m_bitmapSel;
    else if (pDIS->itemState & ODS_FOCUS)
        bitmap = m_bitmap;
    else if ((pDIS->itemState & ODS_DISABLED) && m_bitmapDisabled)
        bitmap = m_bitmapDisabled;
    CMemDC mem(pDIS->hDC);
    CSelectObject select(mem, bitmap);
    ::BitBlt(pDIS->hDC, pDIS->rcItem.left, pDIS->rcItem.top, m_nWidth, m_nHeight, mem, 0, 0, SRCCOPY);
}

LRESULT CHBitmapButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_SETCURSOR:
        if (IsWindowEnabled() && m_bActive && m_hCursor) ::SetCursor(m_hCursor);
        return FALSE;
    case WM_MOUSEMOVE:
        if (SendMessage(BM_GETCHECK) == 0 && m_bitmapFocus)
        {
            CClientDC dc(m_hWnd);
            CMemDC mem(dc);
            CSelectObject select(mem, m_bitmapFocus);
            ::BitBlt(dc, 0, 0, m_nWidth, m_nHeight, mem, 0, 0, SRCCOPY);
            SetTimer(kHoverTimer, 50);
        }
        break;
    case WM_TIMER:
        if (wParam == kHoverTimer)
        {
            if (!IsCursorInClient())
            {
                KillTimer(kHoverTimer);
                Invalidate();
            }
            return 0;
        }
        break;
    default:
        break;
    }
    return CBitmapButton::WindowProc(msg, wParam, lParam);
}
