// CSortListCtrl: the list view's items and sub-items by index.
#include "confclient/toolkit/controls/SortListCtrl.h"

#include <commctrl.h>

#include <algorithm>

int CSortListCtrl::InsertColumn(int nColumn, const wchar_t* pszHeading, int nFormat, int nWidth)
{
    LVCOLUMNW col{};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = nFormat;
    col.cx = nWidth;
    col.pszText = const_cast<wchar_t*>(pszHeading ? pszHeading : L"");
    col.iSubItem = nColumn;
    return static_cast<int>(
        SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(nColumn), reinterpret_cast<LPARAM>(&col)));
}

int CSortListCtrl::AddItem(const std::vector<std::wstring>& texts)
{
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = GetItemCount();
    item.pszText = const_cast<wchar_t*>(texts.empty() ? L"" : texts[0].c_str());
    int nRow = static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (nRow < 0) return -1;
    for (size_t i = 1; i < texts.size(); ++i)
        SetItemText(nRow, static_cast<int>(i), texts[i]);
    return nRow;
}

int CSortListCtrl::GetItemCount() const
{
    return static_cast<int>(SendMessage(LVM_GETITEMCOUNT));
}

std::wstring CSortListCtrl::GetItemText(int nRow, int nColumn) const
{
    // The control answers how much it copied: a full buffer is read again in a larger one.
    for (size_t nSize = 64;; nSize *= 4)
    {
        std::wstring text(nSize, L'\0');
        LVITEMW item{};
        item.iSubItem = nColumn;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(nSize);
        auto nLen = static_cast<size_t>(
            SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(nRow), reinterpret_cast<LPARAM>(&item)));
        if (nLen + 1 < nSize || nSize >= 4096)
        {
            text.resize(std::min(nLen, nSize - 1));
            return text;
        }
    }
}

BOOL CSortListCtrl::SetItemText(int nRow, int nColumn, const std::wstring& szText)
{
    LVITEMW item{};
    item.iSubItem = nColumn;
    item.pszText = const_cast<wchar_t*>(szText.c_str());
    return static_cast<BOOL>(
        SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(nRow), reinterpret_cast<LPARAM>(&item)));
}

int CSortListCtrl::HitTestEx(POINT pt, int* pColumn) const
{
    LVHITTESTINFO hit{};
    hit.pt = pt;
    int nRow = static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (nRow < 0 || !(hit.flags & LVHT_ONITEM)) return -1;
    if (pColumn) *pColumn = hit.iSubItem;
    return nRow;
}

int CSortListCtrl::GetSelectionMark() const
{
    return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK));
}

void CSortListCtrl::SelectRow(int nRow)
{
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    SendMessage(LVM_SETSELECTIONMARK, 0, nRow);
    if (nRow < 0) return;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(nRow), reinterpret_cast<LPARAM>(&state));
    SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(nRow), FALSE);
}
