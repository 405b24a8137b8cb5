// CBitmapSlider: a slider on a static control, drawn from a channel bitmap (with an optional active
// one for the part before the thumb) and a thumb bitmap (with an optional one shown while dragging).
// It posts its position to the parent: 0x28D1 while dragging, 0x28D2 at the end of a drag and after
// each key; wParam the control's id, lParam the position.
#pragma once
#include "confclient/toolkit/slidermath/SliderMath.h"
#include "winui/Controls.h"

class CBitmapSlider : public CStatic
{
public:
    static constexpr UINT kMsgMoving = 0x28D1;
    static constexpr UINT kMsgMoved = 0x28D2;
    // As a key colour: take the colour of the bitmap's pixel at the given (x, y).
    static constexpr COLORREF kKeyFromPixel = 0xFF000000;

    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE);
    void SetRangeMax(int nMax, BOOL bRedraw = FALSE);
    void SetRangeMin(int nMin, BOOL bRedraw = FALSE);
    int GetRangeMax() const { return m_nMax; }
    int GetRangeMin() const { return m_nMin; }
    // Stores the position clamped first to the maximum, then to the minimum, and repaints.
    void SetPos(int nPos);
    int GetPos() const { return m_nPos; }
    void SetPageSize(int nSize) { m_nPage = nSize; }
    int GetPageSize() const { return m_nPage; }
    // Disabling ends a drag in progress.
    void EnableSlider(BOOL bEnable = TRUE);
    BOOL IsSliderEnabled() const { return m_bEnable; }
    void SetVertical(BOOL bVertical);
    void SetMargin(int nLeft, int nTop, int nRight, int nBottom);

    // Loads the channel (and the active channel, 0 for none) from the resource module; with
    // `bTransparent` the key colour (or the pixel at (nKeyX, nKeyY)) is left out. With
    // `bSizeToBitmap` the control takes the channel's size, else the channel is stretched to the
    // control. A channel id of 0 frees the channel. False when a bitmap does not load; the channel
    // loaded before stays then.
    BOOL LoadChannelBitmaps(UINT nChannelID, BOOL bSizeToBitmap, UINT nActiveID = 0,
                            BOOL bTransparent = FALSE, COLORREF crKey = kKeyFromPixel, int nKeyX = 0,
                            int nKeyY = 0);
    // The same for the thumb; a thumb id of 0 frees the thumb and succeeds.
    BOOL LoadThumbBitmaps(UINT nThumbID, UINT nActiveID = 0, BOOL bTransparent = FALSE,
                          COLORREF crKey = kKeyFromPixel, int nKeyX = 0, int nKeyY = 0);

    int m_nMax = 100;
    int m_nMin = 0;
    int m_nPos = 0;
    int m_nPage = 20;
    RECT m_rect{0, 0, 0, 0};
    SIZE m_sizeChannel{0, 0}, m_sizeActiveChannel{0, 0};
    SIZE m_sizeThumb{0, 0}, m_sizeActiveThumb{0, 0};
    int m_nMarginLeft = 0, m_nMarginTop = 0, m_nMarginRight = 0, m_nMarginBottom = 0;
    // Mouse minus thumb centre when the drag began (0 after a jump), and the centre the drag last set.
    int m_nClickOffset = 0;
    int m_nDragPixel = 0;
    BOOL m_bVertical = FALSE;
    BOOL m_bChannelActive = FALSE, m_bThumbActive = FALSE;
    BOOL m_bTransparentChannel = FALSE, m_bTransparentThumb = FALSE;
    BOOL m_bThumb = FALSE, m_bChannel = FALSE;
    BOOL m_bLButtonDown = FALSE;
    BOOL m_bFocus = FALSE;
    BOOL m_bEnable = TRUE;
    BOOL m_bMouseInput = TRUE;
    CBitmap m_bmChannel, m_bmChannelMask, m_bmChannelActive, m_bmChannelActiveMask;
    CBitmap m_bmThumb, m_bmThumbMask, m_bmThumbActive, m_bmThumbActiveMask;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    SliderAxis Axis() const;
    SliderRange Range() const { return SliderRange{m_nMin, m_nMax}; }
    // The thumb centre's pixel along the axis for the current position.
    int ThumbPixel() const;
    void OnButtonDown(int nMouse);
    void OnDrag(int nMouse);
    void OnButtonUp();
    bool OnKey(UINT nKey);
    void Paint(HDC hDC);
    void DrawChannel(HDC hDC);
    void DrawThumb(HDC hDC);
    void Notify(UINT msg) const;
    void Repaint()
    {
        if (m_hWnd) Invalidate(FALSE);
    }
};
