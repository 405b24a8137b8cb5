// CBitmapCheckButton: an owner-drawn check button of four bitmaps with a centred caption and a hand cursor.
#pragma once
#include "winui/Controls.h"

class CBitmapCheckButton : public CButton
{
public:
    static constexpr UINT_PTR kHoverTimer = 9998;

    CBitmapCheckButton();
    ~CBitmapCheckButton() override;

    // Loads the bitmaps (hover and disabled optional: 0), sizes the button to the checked one.
    BOOL LoadBitmaps(UINT idUnchecked, UINT idChecked, UINT idHover, UINT idDisabled);
    void SetCheck(int state);
    // The state, or -1 while the button is disabled.
    int GetCheck() const { return m_bEnabled ? m_nCheck : -1; }
    void EnableButton(BOOL enable);
    BOOL IsButtonEnabled() const { return m_bEnabled; }
    UINT GetBitmapID() const { return m_nBitmapID; }
    int GetBitmapWidth() const { return m_nWidth; }
    BOOL GetBitmapSize(SIZE& size) const;
    void SetHandCursor(BOOL flag) { m_bHandCursor = flag; }
    void SetPushMode(BOOL flag) { m_bPushMode = flag; }
    void SetCaption(const wchar_t* text);
    void SetCaptionFont(int height, const wchar_t* face, int weight);

    BOOL m_bAutoToggle = TRUE;
    HCURSOR m_hCursor;
    UINT m_nBitmapID = 0;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nCheck = 0;
    BOOL m_bEnabled = TRUE;
    BOOL m_bHandCursor = FALSE;
    BOOL m_bPushMode = FALSE;
    BOOL m_bPressed = FALSE;
    CBitmap m_bmpChecked, m_bmpUnchecked, m_bmpDisabled, m_bmpHover;
    CString m_strCaption;
    CFont m_font;

protected:
    void PreSubclassWindow() override;
    void DrawItem(DRAWITEMSTRUCT* pDIS) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    HBITMAP ChooseBitmap() const;
    void Draw(HDC hDC, HBITMAP bitmap);
    void Repaint()
    {
        if (m_hWnd) Invalidate(FALSE);
    }
};
