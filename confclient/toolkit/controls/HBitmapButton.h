// CHBitmapButton: a small owner-drawn button of four state bitmaps with a hover picture and a hand cursor.
#pragma once
#include "winui/Controls.h"

class CHBitmapButton : public CBitmapButton
{
public:
    static constexpr UINT_PTR kHoverTimer = 9999;

    CHBitmapButton();
    ~CHBitmapButton() override;

    // Loads the four bitmaps (0: none), sizes the button to the normal one and records its size.
    BOOL LoadBitmapsAndSize(WORD idNormal, WORD idSelected, WORD idFocus, WORD idDisabled);
    int GetBitmapWidth() const { return m_bitmap ? m_nWidth : 0; }
    int GetBitmapHeight() const { return m_bitmap ? m_nHeight : 0; }
    BOOL GetBitmapSize(SIZE& size) const;
    // An inactive button ignores the mouse and shows no hand cursor.
    void SetActive(BOOL active) { m_bActive = active; }

    BOOL PreTranslateMessage(MSG* pMsg) override;

    HCURSOR m_hCursor;
    int m_nWidth = 0;
    int m_nHeight = 0;
    BOOL m_bActive = TRUE;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(DRAWITEMSTRUCT* pDIS) override;
};
