// CLMBitmapButton: a skinned push or check button of two bitmap sets, with a caption and its own tool tip.
#pragma once
#include "confclient/toolkit/controls/LMToolTipCtrl.h"
#include "winui/Controls.h"

class CLMBitmapButton : public CButton
{
public:
    static constexpr COLORREF kDisabledCaption = 0x99A8AC;
    static constexpr UINT kCaptionCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    static constexpr UINT kCaptionLeft = DT_LEFT | DT_VCENTER | DT_SINGLELINE;

    CLMBitmapButton() = default;
    ~CLMBitmapButton() override;

    // Set 1: normal and pressed are required, hover and disabled optional (0). Makes the button
    // owner-drawn and, while it has no size of its own, sizes it to the normal bitmap.
    BOOL LoadBitmaps(UINT idNormal, UINT idPressed, UINT idHover, UINT idDisabled);
    // Set 2, drawn instead of set 1 while SelectBitmapSet(1) is in force.
    BOOL LoadBitmaps2(UINT idNormal, UINT idPressed, UINT idHover, UINT idDisabled);
    void SelectBitmapSet(int set);

    void SetText(const wchar_t* text);
    void SetTextAndPlace(const wchar_t* text, int x, int y, int maxWidth, int extra);
    void SetTextFont(int height, const wchar_t* face) { SetTextFontWeight(height, face, 0); }
    void SetTextFontWeight(int height, const wchar_t* face, int weight);
    void SetTextColor(COLORREF colour) { m_crText = colour; }
    void SetHandCursor(BOOL flag) { m_bHandCursor = flag; }
    void SetTextMargins(int left, int top, int right, int bottom, BOOL autoWidth);
    void SetCheck(BOOL state);
    BOOL GetCheck() const { return m_bPressed; }
    void EnableButton(BOOL enable);
    int GetBitmapWidth() const;
    BOOL GetBitmapSize(SIZE& size) const;
    // Shows `text` as this button's tool tip (the tip window is made on first use).
    void SetToolTipText(const wchar_t* text);

    COLORREF m_crText = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nMarginLeft = 0, m_nMarginTop = 0, m_nMarginRight = 0, m_nMarginBottom = 0;
    BOOL m_bAutoWidth = TRUE;
    BOOL m_bIconCaption = FALSE;
    UINT m_nTextFlags = kCaptionCentred;
    BOOL m_bHandCursor = TRUE;
    HBRUSH m_hBrush = nullptr;
    BOOL m_bPressed = FALSE;
    BOOL m_bHover = FALSE;
    BOOL m_bCheckStyle = FALSE;
    BOOL m_bLoaded = FALSE;
    CLMToolTipCtrl m_ToolTip;
    struct BitmapSet
    {
        HBITMAP hNormal = nullptr, hPressed = nullptr, hDisabled = nullptr, hHover = nullptr;
    } m_set1, m_set2;
    CString m_strCaption;
    CFont m_font;
    BOOL m_bCaptionEnabled = TRUE;
    int m_nBitmapSet = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(DRAWITEMSTRUCT* pDIS) override;
    HBRUSH CtlColor(HDC hDC, UINT ctlMsg) override { return m_hBrush; }

private:
    static void FreeSet(BitmapSet& set);
    static BOOL LoadSet(BitmapSet& set, UINT idNormal, UINT idPressed, UINT idHover, UINT idDisabled);
    SIZE MeasureCaption(const wchar_t* text);
    void Repaint()
    {
        if (m_hWnd) Invalidate(FALSE);
    }
};
