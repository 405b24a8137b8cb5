// The page preview window: the page scaled to fit on white, or a message.
#include "lmboard2/control/ImageWnd.h"

#include <algorithm>

#include "lmboard2/view/PrintLayout.h"

namespace
{
// The white border kept around the page.
constexpr int kBorderX = 7;
constexpr int kBorderY = 6;
} // namespace

void CImageWnd::SetImage(std::unique_ptr<CPageImage> pImage)
{
    m_pImage = std::move(pImage);
    m_strMessage.clear();
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CImageWnd::SetMessage(const std::wstring& text)
{
    m_pImage.reset();
    m_strMessage = text;
    if (m_hWnd) InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CImageWnd::Paint(HDC hdc) const
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    FillRect(hdc, &rc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!m_pImage)
    {
        SetBkMode(hdc, TRANSPARENT);
        DrawTextW(hdc, m_strMessage.c_str(), -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        return;
    }
    const CSurfaceBitmap& image = m_pImage->Drawing();
    // Fitted and centred both ways inside the border.
    const int cx = rc.right - 2 * kBorderX, cy = rc.bottom - 2 * kBorderY;
    PrintedPageLayout l = LayoutPrintedPage(image.Width(), image.Height(), cx, cy, 0);
    if (l.imageWidth <= 0 || l.imageHeight <= 0) return;
    SetStretchBltMode(hdc, HALFTONE);
    SetBrushOrgEx(hdc, 0, 0, nullptr);
    StretchBlt(hdc, kBorderX + l.imageLeft, kBorderY + (cy - l.imageHeight) / 2, l.imageWidth, l.imageHeight,
               image.Dc(), 0, 0, image.Width(), image.Height(), SRCCOPY);
}

LRESULT CImageWnd::OnMessage(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled)
{
    bHandled = true;
    switch (uMsg)
    {
    case WM_PAINT:
    {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(m_hWnd, &ps);
        Paint(hdc);
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SIZE:
        InvalidateRect(m_hWnd, nullptr, FALSE);
        return 0;
    default:
        bHandled = false;
        return 0;
    }
}
