// CLMStatic: a label with its own colours, transparency and font; sets text safely and wraps it.
#pragma once
#include "winui/Controls.h"

class CLMStatic : public CStatic
{
public:
    CLMStatic();

    void SetTextColor(COLORREF colour) { m_crText = colour; }
    // Stores the colour and makes the background brush of it; the mode stays.
    void SetBkColor(COLORREF colour);
    // TRANSPARENT (1) uses the null brush; OPAQUE (2) keeps the brush.
    void SetBkMode(int mode);
    void SetColors(COLORREF text, COLORREF back, int mode);
    // style = weight * 100 + flags (2 italic, 4 underline, 8 strike-out).
    void SetTextFontStyle(int height, const wchar_t* face, int style);
    void SetTextFont(int height, const wchar_t* face, int weight);
    // Shows `text` as written: ampersands are doubled so that none forms a mnemonic.
    void SetText(const wchar_t* text);
    // Breaks `text` at spaces to the label's width, then SetText.
    void SetWrapText(const wchar_t* text);
    // Repaints the part of the parent under the label, so a transparent label redraws cleanly.
    void RedrawBackground();

    int m_nBkMode = OPAQUE;
    CBrush m_brush;
    bool m_bNullBrush = false;
    COLORREF m_crText = RGB(0, 0, 0);
    COLORREF m_crBack = RGB(255, 255, 255);
    CFont m_font;

protected:
    void UseFont();
    HBRUSH CtlColor(HDC hDC, UINT ctlMsg) override;
};
