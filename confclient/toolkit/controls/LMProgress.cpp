// CLMProgress: bar length, painting by colour or bitmap, and the caption held by the control.
#include "confclient/toolkit/controls/LMProgress.h"
#include "confclient/toolkit/controls/ControlRules.h"
#include <algorithm>
#include <cwchar>

CLMProgress::CLMProgress() : m_crBack(::GetSysColor(COLOR_WINDOW)), m_crSecond(::GetSysColor(COLOR_WINDOW)) {}

void CLMProgress::PreSubclassWindow()
{
    m_bVertical = (GetStyle() & PBS_VERTICAL) != 0;
}

void CLMProgress::SetRange(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
    m_nLastLength = -1;
    if (m_hWnd) Invalidate(FALSE);
}

int CLMProgress::Extent() const
{
    RECT r;
    ::GetClientRect(m_hWnd, &r);
    return m_bVertical ? r.bottom - r.top : r.right - r.left;
}

int CLMProgress::SetPos(int pos)
{
    if (!m_hWnd) return -1;
    int old = m_nPos;
    m_nPos = pos;
    int length = BarLength(pos, m_nLower, m_nUpper, Extent());
    if (length != m_nLastLength)
    {
        m_nLastLength = length;
        Invalidate(FALSE);
    }
    return old;
}

void CLMProgress::SetBarBitmap(UINT id)
{
    m_bBitmapMode = id != 0;
    m_bmpBar.DeleteObject();
    m_sizeBar = SIZE{0, 0};
    // Each bar measures its own bitmap: bars with different bitmaps live side by side.
    if (m_bBitmapMode && m_bmpBar.LoadBitmap(id)) m_bmpBar.GetSize(m_sizeBar);
    if (m_hWnd) Invalidate(FALSE);
}

void CLMProgress::SetCaptionFont(int height, const wchar_t* face, int weight)
{
    m_fontCaption.CreateFont(height, weight, FALSE, FALSE, FALSE, face);
}

void CLMProgress::Paint(HDC hDC)
{
    CDC dc(hDC);
    RECT client;
    GetClientRect(&client);
    int width = client.right - client.left, height = client.bottom - client.top;
    // An empty or reversed range has nothing to show: the whole bar is background.
    int length = BarLength(m_nPos, m_nLower, m_nUpper, m_bVertical ? height : width);
    RECT bar = client, rest = client;
    if (m_bVertical)
    {
        bar.top = client.bottom - length;
        rest.bottom = bar.top;
    }
    else
    {
        bar.right = client.left + length;
        rest.left = bar.right;
    }
    if (length > 0)
    {
        if (m_bBitmapMode && m_bmpBar && m_sizeBar.cx > 0)
        {
            int columns = BarLength(m_nPos, m_nLower, m_nUpper, m_sizeBar.cx);
            CMemDC mem(hDC);
            CSelectObject select(mem, m_bmpBar);
            ::SetStretchBltMode(hDC, COLORONCOLOR);
            dc.StretchBlt(bar.left, bar.top, bar.right - bar.left, bar.bottom - bar.top, mem, 0, 0,
                          std::max(columns, 1), m_sizeBar.cy, SRCCOPY);
        }
        else
        {
            dc.FillSolidRect(bar, m_crBar);
        }
    }
    if (rest.right > rest.left && rest.bottom > rest.top) dc.FillSolidRect(rest, m_crBack);

    if (!m_strCaption.IsEmpty())
    {
        RECT text = client;
        text.top += 5;
        text.bottom -= 5;
        text.right += 1;
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(m_crCaption);
        CSelectObject select(hDC, m_fontCaption ? static_cast<HGDIOBJ>(m_fontCaption) : nullptr);
        dc.DrawText(m_strCaption.c_str(), m_strCaption.GetLength(), &text,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
}

LRESULT CLMProgress::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
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
    case WM_SIZE:
        m_nLastLength = -1;
        break;
    case WM_SETTEXT:
    {
        LRESULT result = DefWindowProc(msg, wParam, lParam);
        const wchar_t* text = reinterpret_cast<const wchar_t*>(lParam);
        if (m_strCaption != (text ? text : L"")) m_strCaption = text ? text : L"";
        Invalidate(FALSE);
        return result;
    }
    case WM_GETTEXT:
    {
        // At most length - 1 characters and a terminator; the count copied.
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        size_t capacity = static_cast<size_t>(wParam);
        if (!buffer || capacity == 0) return 0;
        size_t count = std::min(capacity - 1, m_strCaption.size());
        std::wmemcpy(buffer, m_strCaption.c_str(), count);
        buffer[count] = L'\0';
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(m_strCaption.size());
    default:
        break;
    }
    return CProgressCtrl::WindowProc(msg, wParam, lParam);
}
