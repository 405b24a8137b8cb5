// CImageListCtrl: named bitmaps drawn by the list's custom draw, cell tips through one tool
// that covers the list and asks for its text by the cell under the pointer.
#include "confclient/toolkit/controls/ImageListCtrl.h"

#include <commctrl.h>

#include <algorithm>

#include "winui/Gdi.h"
#include "winui/WinApp.h"

CImageListCtrl::~CImageListCtrl()
{
    for (auto& [szName, hBitmap] : m_bitmaps)
        ::DeleteObject(hBitmap);
    if (m_hTip) ::DestroyWindow(m_hTip);
}

int CImageListCtrl::AddNamedBitmap(const std::wstring& szName, UINT nBitmapId)
{
    if (m_bitmaps.contains(szName)) return -1;
    auto hBitmap = static_cast<HBITMAP>(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nBitmapId),
                                                     IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (!hBitmap) return -1;
    m_bitmaps.emplace(szName, hBitmap);
    return static_cast<int>(m_bitmaps.size()) - 1;
}

void CImageListCtrl::SetCellTip(int nRow, int nColumn, const std::wstring& szText)
{
    m_tips[nRow * 100 + nColumn] = szText;
}

std::wstring CImageListCtrl::CellTip(int nRow, int nColumn) const
{
    auto it = m_tips.find(nRow * 100 + nColumn);
    return it == m_tips.end() ? std::wstring() : it->second;
}

void CImageListCtrl::ClearCellTips()
{
    m_tips.clear();
    m_nTipKey = -1;
    if (m_hTip) ::SendMessageW(m_hTip, TTM_POP, 0, 0);
}

BOOL CImageListCtrl::DeleteRow(int nRow)
{
    return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(nRow)));
}

void CImageListCtrl::PreSubclassWindow()
{
    m_hTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
    if (!m_hTip) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(m_hTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

int CImageListCtrl::TipKeyAtCursor() const
{
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    int nColumn = 0;
    int nRow = HitTestEx(pt, &nColumn);
    return nRow < 0 ? -1 : nRow * 100 + nColumn;
}

LRESULT CImageListCtrl::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NOTIFY && m_hTip && reinterpret_cast<NMHDR*>(lParam)->hwndFrom == m_hTip &&
        reinterpret_cast<NMHDR*>(lParam)->code == TTN_GETDISPINFOW)
    {
        auto* pInfo = reinterpret_cast<NMTTDISPINFOW*>(lParam);
        m_nTipKey = TipKeyAtCursor();
        auto it = m_tips.find(m_nTipKey);
        // The text stays in the map while the tip shows it.
        pInfo->lpszText = const_cast<wchar_t*>(it == m_tips.end() ? L"" : it->second.c_str());
        return 0;
    }
    if (msg == WM_MOUSEMOVE && m_hTip && TipKeyAtCursor() != m_nTipKey)
    {
        // Another cell: the tip asks for its text again.
        ::SendMessageW(m_hTip, TTM_POP, 0, 0);
        ::SendMessageW(m_hTip, TTM_UPDATE, 0, 0);
    }
    return CSortListCtrl::WindowProc(msg, wParam, lParam);
}

BOOL CImageListCtrl::OnChildNotify(UINT msg, WPARAM, LPARAM lParam, LRESULT* pResult)
{
    if (msg != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != NM_CUSTOMDRAW) return FALSE;
    *pResult = OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
    return TRUE;
}

LRESULT CImageListCtrl::OnCustomDraw(NMLVCUSTOMDRAW* pDraw)
{
    switch (pDraw->nmcd.dwDrawStage)
    {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
        break;
    default:
        return CDRF_DODEFAULT;
    }
    const int nRow = static_cast<int>(pDraw->nmcd.dwItemSpec);
    const int nColumn = pDraw->iSubItem;
    auto it = nColumn > 0 ? m_bitmaps.find(GetItemText(nRow, nColumn)) : m_bitmaps.end();
    if (it == m_bitmaps.end()) return CDRF_DODEFAULT;
    RECT cell{};
    cell.top = nColumn;
    cell.left = LVIR_BOUNDS;
    if (!SendMessage(LVM_GETSUBITEMRECT, static_cast<WPARAM>(nRow), reinterpret_cast<LPARAM>(&cell)))
        return CDRF_DODEFAULT;
    const bool bSelected = SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(nRow), LVIS_SELECTED) != 0;
    HBRUSH hBack = ::GetSysColorBrush(bSelected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
    ::FillRect(pDraw->nmcd.hdc, &cell, hBack);
    BITMAP bm{};
    ::GetObjectW(it->second, sizeof(bm), &bm);
    CMemDC mem(pDraw->nmcd.hdc);
    CSelectObject select(mem, it->second);
    const int cx = std::min<int>(bm.bmWidth, cell.right - cell.left);
    const int cy = std::min<int>(bm.bmHeight, cell.bottom - cell.top);
    ::BitBlt(pDraw->nmcd.hdc, cell.left + (cell.right - cell.left - cx) / 2,
             cell.top + (cell.bottom - cell.top - cy) / 2, cx, cy, mem, 0, 0, SRCCOPY);
    return CDRF_SKIPDEFAULT;
}
