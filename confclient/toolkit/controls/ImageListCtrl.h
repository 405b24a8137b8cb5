// CImageListCtrl: a report-view list that draws a cell whose text names a registered bitmap as
// that bitmap, and shows a tool tip of its own for each cell that has one.
#pragma once
#include <map>
#include <string>

#include "confclient/toolkit/controls/SortListCtrl.h"

class CImageListCtrl : public CSortListCtrl
{
public:
    ~CImageListCtrl() override;

    // Registers a bitmap resource of the resource module under a name; its number, -1 when the
    // name is already registered or the bitmap does not load.
    int AddNamedBitmap(const std::wstring& szName, UINT nBitmapId);
    // Cell tips are kept by row x 100 + column.
    void SetCellTip(int nRow, int nColumn, const std::wstring& szText);
    std::wstring CellTip(int nRow, int nColumn) const;
    void ClearCellTips();
    BOOL DeleteRow(int nRow);

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

private:
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW* pDraw);
    // The tip key of the cell under the pointer, -1 for none.
    int TipKeyAtCursor() const;

    std::map<std::wstring, HBITMAP> m_bitmaps;
    std::map<int, std::wstring> m_tips;
    HWND m_hTip = nullptr;
    int m_nTipKey = -1;
};
