// CMenuCH: picture items drawn from their bitmaps, the hot one while the item is selected.
#include "confclient/toolkit/menu/MenuCH.h"

#include "winui/WinApp.h"

CMenuCH::~CMenuCH()
{
    for (Item& i : m_items)
    {
        if (i.hNormal) ::DeleteObject(i.hNormal);
        if (i.hHot) ::DeleteObject(i.hHot);
    }
}

BOOL CMenuCH::AppendPicture(UINT nCommand, UINT nBitmap, UINT nHotBitmap, bool bMenuBreak)
{
    if (!m_hMenu && !CreatePopupMenu()) return FALSE;
    HINSTANCE hRes = AfxGetResourceHandle();
    m_items.push_back({nCommand, ::LoadBitmapW(hRes, MAKEINTRESOURCEW(nBitmap)),
                       ::LoadBitmapW(hRes, MAKEINTRESOURCEW(nHotBitmap))});
    // The item data is the item's place in the list plus one, so that 0 is never ours.
    UINT nFlags = MF_OWNERDRAW | (bMenuBreak ? MF_MENUBREAK : 0u);
    return ::AppendMenuW(m_hMenu, nFlags, nCommand, reinterpret_cast<LPCWSTR>(m_items.size()));
}

bool CMenuCH::Owns(ULONG_PTR itemData) const
{
    return itemData >= 1 && itemData <= m_items.size();
}

void CMenuCH::MeasureItem(MEASUREITEMSTRUCT* pMIS)
{
    pMIS->itemWidth = static_cast<UINT>(m_cx);
    pMIS->itemHeight = static_cast<UINT>(m_cy);
}

void CMenuCH::DrawItem(DRAWITEMSTRUCT* pDIS)
{
    if (!Owns(pDIS->itemData)) return;
    const Item& item = m_items[pDIS->itemData - 1];
    HBITMAP hBitmap = (pDIS->itemState & ODS_SELECTED) && item.hHot ? item.hHot : item.hNormal;
    const RECT& rc = pDIS->rcItem;
    if (!hBitmap)
    {
        ::FillRect(pDIS->hDC, &rc, ::GetSysColorBrush(COLOR_MENU));
        return;
    }
    HDC hMem = ::CreateCompatibleDC(pDIS->hDC);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    BITMAP bm{};
    ::GetObjectW(hBitmap, sizeof bm, &bm);
    ::StretchBlt(pDIS->hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, hMem, 0, 0, bm.bmWidth,
                 bm.bmHeight, SRCCOPY);
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
}
