// One frame in memory: picture, name and level meter, drawn with GDI.
#include "lmvideo/renderer/FrameComposer.h"

#include <cstring>

namespace
{
constexpr int kMargin = 4;
constexpr int kMeterWidth = 6;
constexpr COLORREF kMeterBack = RGB(0x20, 0x20, 0x20);
constexpr COLORREF kMeterLevel = RGB(0x00, 0xE0, 0x00);

struct S_DIBINFO
{
    BITMAPINFOHEADER header;
    DWORD masks[3];
};
} // namespace

CFrameComposer::~CFrameComposer()
{
    FreeSurface();
    if (m_hFont) DeleteObject(m_hFont);
}

bool CFrameComposer::SetPicture(const uint8_t* pData, int nWidth, int nHeight, int nBits)
{
    size_t nRow = static_cast<size_t>(nWidth) * (nBits / 8);
    size_t nStride = (nRow + 3) & ~static_cast<size_t>(3);
    if (!m_picture.Reserve(nStride * nHeight))
    {
        ForgetPicture();
        return false;
    }
    for (int y = 0; y < nHeight; y++)
        memcpy(m_picture.GetData() + nStride * y, pData + nRow * y, nRow);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nBits = nBits;
    return true;
}

bool CFrameComposer::MakeSurface(int cx, int cy)
{
    if (m_hdc && cx == m_cx && cy == m_cy) return true;
    FreeSurface();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    m_hdc = CreateCompatibleDC(nullptr);
    if (m_hdc) m_hBitmap = CreateDIBSection(m_hdc, &info, DIB_RGB_COLORS, &m_pBits, nullptr, 0);
    if (!m_hBitmap)
    {
        FreeSurface();
        return false;
    }
    m_hOldBitmap = SelectObject(m_hdc, m_hBitmap);
    m_cx = cx;
    m_cy = cy;
    return true;
}

void CFrameComposer::FreeSurface()
{
    if (m_hdc && m_hOldBitmap) SelectObject(m_hdc, m_hOldBitmap);
    if (m_hBitmap) DeleteObject(m_hBitmap);
    if (m_hdc) DeleteDC(m_hdc);
    m_hdc = nullptr;
    m_hBitmap = nullptr;
    m_hOldBitmap = nullptr;
    m_pBits = nullptr;
    m_cx = m_cy = 0;
}

bool CFrameComposer::Compose(int cx, int cy, const S_LMOVERLAY& overlay)
{
    if (cx <= 0 || cy <= 0 || !MakeSurface(cx, cy)) return false;
    GdiFlush();
    memset(m_pBits, 0, static_cast<size_t>(cx) * cy * 4);
    if (HasPicture())
    {
        S_DIBINFO info{};
        info.header = {sizeof(BITMAPINFOHEADER),
                       m_nWidth,
                       -m_nHeight,
                       1,
                       static_cast<WORD>(m_nBits),
                       BI_RGB,
                       0,
                       0,
                       0,
                       0,
                       0};
        if (m_nBits == 16)
        {
            // RGB565: without masks a 16-bit DIB would be read as 555.
            info.header.biCompression = BI_BITFIELDS;
            info.masks[0] = 0xF800;
            info.masks[1] = 0x07E0;
            info.masks[2] = 0x001F;
        }
        SetStretchBltMode(m_hdc, COLORONCOLOR);
        StretchDIBits(m_hdc, 0, 0, cx, cy, 0, 0, m_nWidth, m_nHeight, m_picture.GetData(),
                      reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
    }
    DrawName(overlay);
    DrawPeakMeter(overlay);
    GdiFlush();
    return true;
}

HFONT CFrameComposer::FontFor(const S_LMOVERLAY& overlay)
{
    int nPoints = overlay.bNameBigger ? overlay.nBigSize : overlay.nSize;
    int nHeight = -MulDiv(nPoints, GetDeviceCaps(m_hdc, LOGPIXELSY), 72);
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
    HFONT hFont = FontFor(overlay);
    HGDIOBJ hOld = hFont ? SelectObject(m_hdc, hFont) : nullptr;
    UINT nFormat = DT_SINGLELINE | DT_NOPREFIX;
    nFormat |= (overlay.nPosition == 1 || overlay.nPosition == 3) ? DT_RIGHT : DT_LEFT;
    nFormat |= (overlay.nPosition >= 2) ? DT_BOTTOM : DT_TOP;
    SetBkMode(m_hdc, TRANSPARENT);
    // A dark shadow keeps the white name readable on any picture.
    RECT shadow{kMargin + 1, kMargin + 1, m_cx - kMargin + 1, m_cy - kMargin + 1};
    SetTextColor(m_hdc, RGB(0, 0, 0));
    DrawTextW(m_hdc, overlay.name.c_str(), static_cast<int>(overlay.name.size()), &shadow, nFormat);
    RECT text{kMargin, kMargin, m_cx - kMargin, m_cy - kMargin};
    SetTextColor(m_hdc, RGB(0xFF, 0xFF, 0xFF));
    DrawTextW(m_hdc, overlay.name.c_str(), static_cast<int>(overlay.name.size()), &text, nFormat);
    if (hOld) SelectObject(m_hdc, hOld);
}

void CFrameComposer::DrawPeakMeter(const S_LMOVERLAY& overlay)
{
    if (!overlay.bPeakVisible) return;
    // A vertical bar at the right edge, filled from the bottom by the level in percent.
    RECT bar{m_cx - kMargin - kMeterWidth, kMargin, m_cx - kMargin, m_cy - kMargin};
    if (bar.left < 0 || bar.bottom <= bar.top) return;
    HBRUSH hBack = CreateSolidBrush(kMeterBack);
    FillRect(m_hdc, &bar, hBack);
    DeleteObject(hBack);
    int nFilled = (bar.bottom - bar.top) * overlay.nPeakLevel / 100;
    RECT level{bar.left, bar.bottom - nFilled, bar.right, bar.bottom};
    HBRUSH hLevel = CreateSolidBrush(kMeterLevel);
    FillRect(m_hdc, &level, hLevel);
    DeleteObject(hLevel);
}
