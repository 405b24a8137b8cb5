// CLMProgress: a progress bar painted with a bar colour or a stretched bitmap, with an optional caption.
#pragma once
#include "winui/Controls.h"

class CLMProgress : public CProgressCtrl
{
public:
    CLMProgress();

    void SetRange(int lower, int upper);
    // Stores the position and repaints when the bar length changes; the old position, or -1 without a window.
    int SetPos(int pos);
    int GetPos() const { return m_nPos; }
    // A non-zero id paints the bar with that bitmap of the resource module; 0 goes back to the bar colour.
    void SetBarBitmap(UINT id);
    void SetBarColor(COLORREF colour) { m_crBar = colour; }
    void SetBackColor(COLORREF colour) { m_crBack = colour; }
    void SetCaptionColor(COLORREF colour) { m_crCaption = colour; }
    // Replaces the caption font (owned).
    void SetCaptionFont(int height, const wchar_t* face, int weight);

    CString m_strCaption;
    int m_nPos = 0;
    int m_nStep = 1;
    int m_nUpper = 100;
    int m_nLower = 0;
    int m_nLastLength = -1;
    COLORREF m_crBar = 0x7DF27D;
    COLORREF m_crBack;
    COLORREF m_crCaption = 0;
    COLORREF m_crSecond;
    bool m_bVertical = false;
    CBitmap m_bmpBar;
    SIZE m_sizeBar{0, 0};
    bool m_bBitmapMode = false;
    CFont m_fontCaption;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    int Extent() const;
    void Paint(HDC hDC);
};
