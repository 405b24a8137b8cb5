// System control wrappers: reflection of owner drawing and colours, bitmap button, tool tip.
#include "winui/Controls.h"

BOOL CButton::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (msg == WM_DRAWITEM)
    {
        DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        *pResult = TRUE;
        return TRUE;
    }
    if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC)
    {
        HBRUSH brush = CtlColor(reinterpret_cast<HDC>(wParam), msg);
        *pResult = reinterpret_cast<LRESULT>(brush);
        return brush != nullptr;
    }
    return FALSE;
}

BOOL CStatic::OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC)
    {
        HBRUSH brush = CtlColor(reinterpret_cast<HDC>(wParam), msg);
        *pResult = reinterpret_cast<LRESULT>(brush);
        return brush != nullptr;
    }
    return FALSE;
}

BOOL CBitmapButton::LoadBitmaps(UINT idNormal, UINT idSelected, UINT idFocus, UINT idDisabled)
{
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    BOOL ok = m_bitmap.LoadBitmap(idNormal);
    if (idSelected && !m_bitmapSel.LoadBitmap(idSelected)) ok = FALSE;
    if (idFocus && !m_bitmapFocus.LoadBitmap(idFocus)) ok = FALSE;
    if (idDisabled && !m_bitmapDisabled.LoadBitmap(idDisabled)) ok = FALSE;
    return ok;
}

void CBitmapButton::SizeToContent()
{
    SIZE size;
    if (m_bitmap.GetSize(size))
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::PreSubclassWindow()
{
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

void CBitmapButton::DrawItem(DRAWITEMSTRUCT* pDIS)
{
    HBITMAP bitmap = m_bitmap;
    if ((pDIS->itemState & ODS_SELECTED) && m_bitmapSel)
        bitmap = m_bitmapSel;
    else if ((pDIS->itemState & ODS_FOCUS) && m_bitmapFocus)
        bitmap = m_bitmapFocus;
    else if ((pDIS->itemState & ODS_DISABLED) && m_bitmapDisabled)
        bitmap = m_bitmapDisabled;
    if (!bitmap) return;
    CMemDC mem(pDIS->hDC);
    CSelectObject select(mem, bitmap);
    const RECT& r = pDIS->rcItem;
    ::BitBlt(pDIS->hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, mem, 0, 0, SRCCOPY);
}

void CProgressCtrl::GetRange(int& lower, int& upper) const
{
    PBRANGE range{};
    SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    lower = range.iLow;
    upper = range.iHigh;
}

BOOL CToolTipCtrl::Create(CWnd* pParent, DWORD style)
{
    RECT none{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
    none.right = none.left;
    none.bottom = none.top;
    return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP | style,
                    none, pParent ? pParent->m_hWnd : nullptr, 0);
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const wchar_t* text)
{
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = ::GetParent(pWnd->m_hWnd);
    info.uId = reinterpret_cast<UINT_PTR>(pWnd->m_hWnd);
    info.lpszText = const_cast<wchar_t*>(text);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
}

void CToolTipCtrl::UpdateTipText(const wchar_t* text, CWnd* pWnd)
{
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = ::GetParent(pWnd->m_hWnd);
    info.uId = reinterpret_cast<UINT_PTR>(pWnd->m_hWnd);
    info.lpszText = const_cast<wchar_t*>(text);
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}
