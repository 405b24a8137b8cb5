// CSortListCtrl: a report-view list control addressed by row and column: rows added with all
// their cells, cell texts read and written, and the cell under a point.
#pragma once
#include <string>
#include <vector>

#include "winui/Wnd.h"

class CSortListCtrl : public CWnd
{
public:
    int InsertColumn(int nColumn, const wchar_t* pszHeading, int nFormat, int nWidth);
    // Appends a row whose cells hold the texts in column order; its index, -1 on failure.
    int AddItem(const std::vector<std::wstring>& texts);
    int GetItemCount() const;
    std::wstring GetItemText(int nRow, int nColumn) const;
    BOOL SetItemText(int nRow, int nColumn, const std::wstring& szText);
    // The row and column under a point in the list's client coordinates; -1 (and no column)
    // when the point is on no row.
    int HitTestEx(POINT pt, int* pColumn) const;
    int GetSelectionMark() const;
    // Makes the row the selection mark, selected and focused, and scrolls it into view; -1
    // clears the selection.
    void SelectRow(int nRow);
};
