// One frame in memory: picture, name and level meter, drawn with GDI.
#include "lmvideo/renderer/FrameComposer.h"

#include <cstring>

namespace
{
constexpr int kMargin = 4;
constexpr int kMeterWidth = 6;
constexpr COLORREF kMeterBack = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kMeterLevel = RGB(0x00, 0xE0, 0x00);

bool HasOverlay(const S_LMOVERLAY& overlay)
{
    return (overlay.bNameVisible && !overlay.name.empty()) || overlay.bPeakVisible;
}
} // namespace

CFrameComposer::~CFrameComposer()
{
    if (m_hFont) DeleteObject(m_hFont);
}

bool CFrameComposer::SetPicture(const uint8_t* pData, int nWidth, int nHeight, int nBits)
{
    if (!m_picture.Make(nWidth, nHeight, nBits))
    {
        ForgetPicture();
        return false;
    }
    GdiFlush(); // GDI is done with the old picture before its bits are overwritten
    size_t nRow = static_cast<size_t>(nWidth) * (nBits / 8);
    size_t nStride = m_picture.GetStride();
    uint8_t* pBits = m_picture.GetBits();
    if (nRow == nStride)
        memcpy(pBits, pData, nRow * nHeight);
    else
        for (int y = 0; y < nHeight; y++)
            memcpy(pBits + nStride * y, pData + nRow * y, nRow);
    m_bHasPicture = true;
    return true;
}

bool CFrameComposer::Compose(int cx, int cy, const S_LMOVERLAY& overlay)
{
    if (cx <= 0 || cy <= 0) return false;
    if (HasPicture() && m_picture.GetWidth() == cx && m_picture.GetHeight() == cy &&
        m_picture.GetBitsPerPixel() == 32 && !HasOverlay(overlay))
    {
        m_pFrame = &m_picture;
        return true;
    }
    m_pFrame = &m_composed;
    if (!m_composed.Make(cx, cy, 32)) return false;
    HDC hdc = m_composed.GetDC();
    if (HasPicture())
    {
        // The picture is stretched over the whole frame: nothing of the last frame shows through.
        SetStretchBltMode(hdc, COLORONCOLOR);
        StretchBlt(hdc, 0, 0, cx, cy, m_picture.GetDC(), 0, 0, m_picture.GetWidth(), m_picture.GetHeight(),
                   SRCCOPY);
    }
    else
    {
        GdiFlush();
        memset(m_composed.GetBits(), 0, m_composed.GetStride() * cy);
    }
    DrawName(overlay);
    DrawPeakMeter(overlay);
    GdiFlush();
    return true;
}

HFONT CFrameComposer::FontFor(const S_LMOVERLAY& overlay)
{
    int nPoints = overlay.bNameBigger ? overlay.nBigSize : overlay.nSize;
    int nHeight = -MulDiv(nPoints, GetDeviceCaps(m_composed.GetDC(), LOGPIXELSY), 72);
    if (m_hFont && nHeight == m_nFontHeight && overlay.face == m_fontFace) return m_hFont;
    if (m_hFont) DeleteObject(m_hFont);
    m_hFont = CreateFontW(nHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, overlay.face.c_str());
    m_nFontHeight = nHeight;
    m_fontFace = overlay.face;
    return m_hFont;
}

void CFrameComposer::DrawName(const S_LMOVERLAY& overlay)
{
    if (!overlay.bNameVisible || overlay.name.empty()) return;
    HDC hdc = m_composed.GetDC();
    int cx = m_composed.GetWidth(), cy = m_composed.GetHeight();
    HFONT hFont = FontFor(overlay);
    HGDIOBJ hOld = hFont ? SelectObject(hdc, hFont) : nullptr;
    UINT nFormat = DT_SINGLELINE | DT_NOPREFIX;
    nFormat |= (overlay.nPosition == 1 || overlay.nPosition == 3) ? DT_RIGHT : DT_LEFT;
    nFormat |= (overlay.nPosition >= 2) ? DT_BOTTOM : DT_TOP;
    SetBkMode(hdc, TRANSPARENT);
    // A dark shadow keeps the white name readable on any picture.
    RECT shadow{kMargin + 1, kMargin + 1, cx - kMargin + 1, cy - kMargin + 1};
    SetTextColor(hdc, RGB(0, 0, 0));
    DrawTextW(hdc, overlay.name.c_str(), static_cast<int>(overlay.name.size()), &shadow, nFormat);
    RECT text{kMargin, kMargin, cx - kMargin, cy - kMargin};
    SetTextColor(hdc, RGB(0xFF, 0xFF, 0xFF));
    DrawTextW(hdc, overlay.name.c_str(), static_cast<int>(overlay.name.size()), &text, nFormat);
    if (hOld) SelectObject(hdc, hOld);
}

void CFrameComposer::DrawPeakMeter(const S_LMOVERLAY& overlay)
{
    if (!overlay.bPeakVisible) return;
    HDC hdc = m_composed.GetDC();
    int cx = m_composed.GetWidth(), cy = m_composed.GetHeight();
    // A vertical bar at the right edge, filled from the bottom by the level in percent.
    RECT bar{cx - kMargin - kMeterWidth, kMargin, cx - kMargin, cy - kMargin};
    if (bar.left < 0 || bar.bottom <= bar.top) return;
    HBRUSH hBack = CreateSolidBrush(kMeterBack);
    FillRect(hdc, &bar, hBack);
    DeleteObject(hBack);
    int nFilled = (bar.bottom - bar.top) * overlay.nPeakLevel / 100;
    RECT level{bar.left, bar.bottom - nFilled, bar.right, bar.bottom};
    HBRUSH hLevel = CreateSolidBrush(kMeterLevel);
    FillRect(hdc, &level, hLevel);
    DeleteObject(hLevel);
}
