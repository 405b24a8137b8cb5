// GDI helpers: bitmap loading from the resource module, object creation.
#include "winui/Gdi.h"
#include "winui/WinApp.h"

void CDC::FillSolidRect(const RECT& rect, COLORREF colour)
{
    COLORREF old = ::SetBkColor(m_hDC, colour);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

bool CBitmap::LoadBitmap(UINT id)
{
    Attach(static_cast<HBITMAP>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    return m_handle != nullptr;
}

bool CBitmap::CreateCompatibleBitmap(HDC hDC, int cx, int cy)
{
    Attach(::CreateCompatibleBitmap(hDC, cx, cy));
    return m_handle != nullptr;
}

bool CBitmap::GetSize(SIZE& size) const
{
    BITMAP bm{};
    if (!m_handle || !::GetObjectW(m_handle, sizeof bm, &bm))
    {
        size = SIZE{0, 0};
        return false;
    }
    size = SIZE{bm.bmWidth, bm.bmHeight};
    return true;
}

bool CFont::CreateFont(int height, int weight, BOOL italic, BOOL underline, BOOL strikeOut,
                       const wchar_t* face)
{
    Attach(::CreateFontW(height, 0, 0, 0, weight, italic, underline, strikeOut, DEFAULT_CHARSET, 0, 0, 0, 0,
                         face));
    return m_handle != nullptr;
}

bool CBrush::CreateSolidBrush(COLORREF colour)
{
    Attach(::CreateSolidBrush(colour));
    return m_handle != nullptr;
}

bool CPen::CreatePen(int style, int width, COLORREF colour)
{
    Attach(::CreatePen(style, width, colour));
    return m_handle != nullptr;
}
