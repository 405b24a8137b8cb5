// CBitmapSlider: bitmaps and masks, the position's pixel, mouse drags, keys and painting.
#include "confclient/toolkit/slider/BitmapSlider.h"
#include "confclient/toolkit/slider/SliderMemDC.h"
#include <windowsx.h>

namespace
{
// Loads a bitmap and, when transparent, its mask: 1 where the image has the key colour, whose pixels
// turn black so that drawing is mask AND, then image OR.
bool LoadMasked(UINT id, bool bTransparent, COLORREF crKey, int nKeyX, int nKeyY, CBitmap& image,
                CBitmap& mask, SIZE& size)
{
    if (!image.LoadBitmap(id) || !image.GetSize(size)) return false;
    if (!bTransparent) return true;
    mask.Attach(::CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
    if (mask.IsNull()) return false;
    CMemDC imageDC(nullptr), maskDC(nullptr);
    CSelectObject selectImage(imageDC, image);
    CSelectObject selectMask(maskDC, mask);
    COLORREF key = crKey == CBitmapSlider::kKeyFromPixel ? ::GetPixel(imageDC, nKeyX, nKeyY) : crKey;
    ::SetBkColor(imageDC, key);
    ::BitBlt(maskDC, 0, 0, size.cx, size.cy, imageDC, 0, 0, SRCCOPY);
    ::SetBkColor(imageDC, RGB(0, 0, 0));
    ::SetTextColor(imageDC, RGB(255, 255, 255));
    ::BitBlt(imageDC, 0, 0, size.cx, size.cy, maskDC, 0, 0, SRCAND);
    return true;
}

// Draws the `src` part of a bitmap into `dst`, stretched when the sizes differ, through its mask when
// it has one.
void Blit(HDC hDC, const RECT& dst, HBITMAP image, HBITMAP mask, const RECT& src)
{
    int cx = dst.right - dst.left, cy = dst.bottom - dst.top;
    int sx = src.right - src.left, sy = src.bottom - src.top;
    if (cx <= 0 || cy <= 0 || sx <= 0 || sy <= 0 || !image) return;
    int oldMode = ::SetStretchBltMode(hDC, COLORONCOLOR);
    CMemDC imageDC(hDC);
    CSelectObject selectImage(imageDC, image);
    if (mask)
    {
        CMemDC maskDC(hDC);
        CSelectObject selectMask(maskDC, mask);
        COLORREF oldBack = ::SetBkColor(hDC, RGB(255, 255, 255));
        COLORREF oldText = ::SetTextColor(hDC, RGB(0, 0, 0));
        ::StretchBlt(hDC, dst.left, dst.top, cx, cy, maskDC, src.left, src.top, sx, sy, SRCAND);
        ::StretchBlt(hDC, dst.left, dst.top, cx, cy, imageDC, src.left, src.top, sx, sy, SRCPAINT);
        ::SetTextColor(hDC, oldText);
        ::SetBkColor(hDC, oldBack);
    }
    else
        ::StretchBlt(hDC, dst.left, dst.top, cx, cy, imageDC, src.left, src.top, sx, sy, SRCCOPY);
    ::SetStretchBltMode(hDC, oldMode);
}

bool KeyOf(UINT nVirtualKey, SliderKey& key)
{
    switch (nVirtualKey)
    {
    case VK_PRIOR:
        key = SliderKey::PageUp;
        return true;
    case VK_NEXT:
        key = SliderKey::PageDown;
        return true;
    case VK_HOME:
        key = SliderKey::Home;
        return true;
    case VK_END:
        key = SliderKey::End;
        return true;
    case VK_LEFT:
        key = SliderKey::Left;
        return true;
    case VK_UP:
        key = SliderKey::Up;
        return true;
    case VK_RIGHT:
        key = SliderKey::Right;
        return true;
    case VK_DOWN:
        key = SliderKey::Down;
        return true;
    default:
        return false;
    }
}
} // namespace

void CBitmapSlider::PreSubclassWindow()
{
    // A static control lets the mouse through to its parent unless it asks to be told.
    ModifyStyle(0, SS_NOTIFY);
}

void CBitmapSlider::SetRange(int nMin, int nMax, BOOL bRedraw)
{
    m_nMin = nMin;
    m_nMax = nMax;
    if (bRedraw) Repaint();
}

void CBitmapSlider::SetRangeMax(int nMax, BOOL bRedraw)
{
    m_nMax = nMax;
    if (bRedraw) Repaint();
}

void CBitmapSlider::SetRangeMin(int nMin, BOOL bRedraw)
{
    m_nMin = nMin;
    if (bRedraw) Repaint();
}

void CBitmapSlider::SetPos(int nPos)
{
    m_nPos = ClampSliderPos(nPos, Range());
    Repaint();
}

void CBitmapSlider::EnableSlider(BOOL bEnable)
{
    m_bEnable = bEnable;
    if (!bEnable && m_bLButtonDown)
    {
        m_bLButtonDown = FALSE;
        ::ReleaseCapture();
    }
    Repaint();
}

void CBitmapSlider::SetVertical(BOOL bVertical)
{
    m_bVertical = bVertical;
    Repaint();
}

void CBitmapSlider::SetMargin(int nLeft, int nTop, int nRight, int nBottom)
{
    m_nMarginLeft = nLeft;
    m_nMarginTop = nTop;
    m_nMarginRight = nRight;
    m_nMarginBottom = nBottom;
    Repaint();
}

BOOL CBitmapSlider::LoadChannelBitmaps(UINT nChannelID, BOOL bSizeToBitmap, UINT nActiveID, BOOL bTransparent,
                                       COLORREF crKey, int nKeyX, int nKeyY)
{
    if (nChannelID == 0)
    {
        m_bmChannel.DeleteObject();
        m_bmChannelMask.DeleteObject();
        m_bmChannelActive.DeleteObject();
        m_bmChannelActiveMask.DeleteObject();
        m_bChannel = m_bChannelActive = FALSE;
        Repaint();
        return TRUE;
    }
    CBitmap channel, channelMask, active, activeMask;
    SIZE size{0, 0}, activeSize{0, 0};
    if (!LoadMasked(nChannelID, bTransparent, crKey, nKeyX, nKeyY, channel, channelMask, size)) return FALSE;
    if (nActiveID &&
        !LoadMasked(nActiveID, bTransparent, crKey, nKeyX, nKeyY, active, activeMask, activeSize))
        return FALSE;
    m_bmChannel = std::move(channel);
    m_bmChannelMask = std::move(channelMask);
    m_bmChannelActive = std::move(active);
    m_bmChannelActiveMask = std::move(activeMask);
    m_sizeChannel = size;
    m_sizeActiveChannel = activeSize;
    m_bChannel = TRUE;
    m_bChannelActive = nActiveID != 0;
    m_bTransparentChannel = bTransparent;
    if (m_hWnd)
    {
        if (bSizeToBitmap)
            SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetClientRect(&m_rect);
    }
    Repaint();
    return TRUE;
}

BOOL CBitmapSlider::LoadThumbBitmaps(UINT nThumbID, UINT nActiveID, BOOL bTransparent, COLORREF crKey,
                                     int nKeyX, int nKeyY)
{
    if (nThumbID == 0)
    {
        m_bmThumb.DeleteObject();
        m_bmThumbMask.DeleteObject();
        m_bmThumbActive.DeleteObject();
        m_bmThumbActiveMask.DeleteObject();
        m_bThumb = m_bThumbActive = FALSE;
        m_sizeThumb = m_sizeActiveThumb = SIZE{0, 0};
        Repaint();
        return TRUE;
    }
    CBitmap thumb, thumbMask, active, activeMask;
    SIZE size{0, 0}, activeSize{0, 0};
    if (!LoadMasked(nThumbID, bTransparent, crKey, nKeyX, nKeyY, thumb, thumbMask, size)) return FALSE;
    if (nActiveID &&
        !LoadMasked(nActiveID, bTransparent, crKey, nKeyX, nKeyY, active, activeMask, activeSize))
        return FALSE;
    m_bmThumb = std::move(thumb);
    m_bmThumbMask = std::move(thumbMask);
    m_bmThumbActive = std::move(active);
    m_bmThumbActiveMask = std::move(activeMask);
    m_sizeThumb = size;
    m_sizeActiveThumb = activeSize;
    m_bThumb = TRUE;
    m_bThumbActive = nActiveID != 0;
    m_bTransparentThumb = bTransparent;
    if (m_hWnd && !m_bChannel) GetClientRect(&m_rect);
    Repaint();
    return TRUE;
}

SliderAxis CBitmapSlider::Axis() const
{
    if (m_bVertical)
        return SliderAxis{m_rect.bottom - m_rect.top, m_nMarginTop, m_nMarginBottom, m_sizeThumb.cy};
    return SliderAxis{m_rect.right - m_rect.left, m_nMarginLeft, m_nMarginRight, m_sizeThumb.cx};
}

int CBitmapSlider::ThumbPixel() const
{
    return SliderPosToPixel(m_nPos, Range(), Axis());
}

void CBitmapSlider::Notify(UINT msg) const
{
    ::PostMessageW(GetParent(), msg, static_cast<WPARAM>(GetDlgCtrlID()), static_cast<LPARAM>(m_nPos));
}

void CBitmapSlider::OnButtonDown(int nMouse)
{
    if (!m_bEnable || !m_bMouseInput) return;
    ::SetCapture(m_hWnd);
    ::SetFocus(m_hWnd);
    m_bLButtonDown = TRUE;
    SliderAxis axis = Axis();
    m_nDragPixel = ThumbPixel();
    m_nClickOffset = DragOffset(nMouse, m_nDragPixel, axis.nThumbLength);
    OnDrag(nMouse);
    Repaint();
}

void CBitmapSlider::OnDrag(int nMouse)
{
    if (!m_bLButtonDown || !m_bEnable) return;
    SliderAxis axis = Axis();
    int nCentre = ClampThumbCentre(nMouse - m_nClickOffset, axis);
    // The pixel the drag last set, not the position's pixel: positions and pixels need not map one
    // to one, and a mouse that stays on its pixel must not report again.
    if (nCentre == m_nDragPixel) return;
    m_nDragPixel = nCentre;
    m_nPos = ClampSliderPos(SliderPixelToPos(nCentre, Range(), axis), Range());
    Repaint();
    Notify(kMsgMoving);
}

void CBitmapSlider::OnButtonUp()
{
    if (!m_bEnable || !m_bLButtonDown) return;
    m_bLButtonDown = FALSE;
    ::ReleaseCapture();
    Repaint();
    Notify(kMsgMoved);
}

bool CBitmapSlider::OnKey(UINT nKey)
{
    SliderKey key;
    if (!m_bEnable || !KeyOf(nKey, key)) return false;
    SetPos(SliderKeyPos(key, m_nPos, m_nPage, Range()));
    Notify(kMsgMoved);
    return true;
}

void CBitmapSlider::DrawChannel(HDC hDC)
{
    const RECT& r = m_rect;
    RECT all{0, 0, m_sizeChannel.cx, m_sizeChannel.cy};
    if (!m_bChannelActive || !m_bEnable)
    {
        Blit(hDC, r, m_bmChannel, m_bmChannelMask, all);
        return;
    }
    // The active bitmap before the thumb centre, the normal one after it; each bitmap's own part of the
    // same share of the control.
    int nCentre = ThumbPixel();
    RECT activeAll{0, 0, m_sizeActiveChannel.cx, m_sizeActiveChannel.cy};
    RECT before = r, after = r, srcBefore = activeAll, srcAfter = all;
    if (m_bVertical)
    {
        int nLength = r.bottom - r.top;
        before.bottom = after.top = r.top + nCentre;
        if (nLength > 0)
        {
            srcBefore.bottom = MulDiv(activeAll.bottom, nCentre, nLength);
            srcAfter.top = MulDiv(all.bottom, nCentre, nLength);
        }
    }
    else
    {
        int nLength = r.right - r.left;
        before.right = after.left = r.left + nCentre;
        if (nLength > 0)
        {
            srcBefore.right = MulDiv(activeAll.right, nCentre, nLength);
            srcAfter.left = MulDiv(all.right, nCentre, nLength);
        }
    }
    Blit(hDC, before, m_bmChannelActive, m_bmChannelActiveMask, srcBefore);
    Blit(hDC, after, m_bmChannel, m_bmChannelMask, srcAfter);
}

void CBitmapSlider::DrawThumb(HDC hDC)
{
    bool bActive = m_bLButtonDown && m_bThumbActive && m_bEnable;
    HBITMAP image = bActive ? m_bmThumbActive : m_bmThumb;
    HBITMAP mask = bActive ? m_bmThumbActiveMask : m_bmThumbMask;
    SIZE size = bActive ? m_sizeActiveThumb : m_sizeThumb;
    int nCentre = ThumbPixel();
    int x, y;
    if (m_bVertical)
    {
        y = m_rect.top + nCentre - size.cy / 2;
        x = m_rect.left + m_nMarginLeft +
            (m_rect.right - m_rect.left - m_nMarginLeft - m_nMarginRight - size.cx) / 2;
    }
    else
    {
        x = m_rect.left + nCentre - size.cx / 2;
        y = m_rect.top + m_nMarginTop +
            (m_rect.bottom - m_rect.top - m_nMarginTop - m_nMarginBottom - size.cy) / 2;
    }
    Blit(hDC, RECT{x, y, x + size.cx, y + size.cy}, image, mask, RECT{0, 0, size.cx, size.cy});
}

void CBitmapSlider::Paint(HDC hDC)
{
    RECT client;
    GetClientRect(&client);
    CSliderMemDC mem(hDC, client);
    HDC draw = mem.GetDrawDC();
    // Each paint draws the whole channel again, so the thumb's old place needs no restoring.
    if (m_bChannel) DrawChannel(draw);
    if (m_bThumb) DrawThumb(draw);
    if (m_bFocus) ::DrawFocusRect(draw, &client);
}

LRESULT CBitmapSlider::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    int nMouse = m_bVertical ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam);
    switch (msg)
    {
    case WM_PAINT:
    {
        CPaintDC dc(m_hWnd);
        Paint(dc);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SIZE:
        GetClientRect(&m_rect);
        break;
    case WM_LBUTTONDOWN:
        OnButtonDown(nMouse);
        return 0;
    case WM_MOUSEMOVE:
        OnDrag(nMouse);
        return 0;
    case WM_LBUTTONUP:
        OnButtonUp();
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: the drag ends here, or the thumb would follow a released button.
        if (reinterpret_cast<HWND>(lParam) != m_hWnd && m_bLButtonDown)
        {
            m_bLButtonDown = FALSE;
            Repaint();
            Notify(kMsgMoved);
        }
        break;
    case WM_GETDLGCODE:
        if (::GetKeyState(VK_TAB) < 0) break;
        return DefWindowProc(msg, wParam, lParam) | DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (OnKey(static_cast<UINT>(wParam))) return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_bFocus = msg == WM_SETFOCUS;
        Repaint();
        break;
    case WM_DESTROY:
        LoadChannelBitmaps(0, FALSE);
        LoadThumbBitmaps(0);
        break;
    default:
        break;
    }
    return CStatic::WindowProc(msg, wParam, lParam);
}
