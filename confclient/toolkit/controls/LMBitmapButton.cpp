// CLMBitmapButton: bitmap sets, caption placement and drawing, push and check behaviour, hover, tool tip.
#include "confclient/toolkit/controls/LMBitmapButton.h"
#include "resources/ResourceIds.h"
#include "winui/WinApp.h"

namespace
{
HBITMAP LoadResourceBitmap(UINT id)
{
    return static_cast<HBITMAP>(
        ::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight};
}
} // namespace

CLMBitmapButton::~CLMBitmapButton()
{
    FreeSet(m_set1);
    FreeSet(m_set2);
    if (m_hBrush && m_hBrush != ::GetStockObject(NULL_BRUSH)) ::DeleteObject(m_hBrush);
    m_ToolTip.DestroyWindow();
}

void CLMBitmapButton::FreeSet(BitmapSet& set)
{
    for (HBITMAP* bitmap : {&set.hNormal, &set.hPressed, &set.hDisabled, &set.hHover})
    {
        if (*bitmap) ::DeleteObject(*bitmap);
        *bitmap = nullptr;
    }
}

BOOL CLMBitmapButton::LoadSet(BitmapSet& set, UINT idNormal, UINT idPressed, UINT idHover, UINT idDisabled)
{
    FreeSet(set);
    set.hNormal = LoadResourceBitmap(idNormal);
    set.hPressed = LoadResourceBitmap(idPressed);
    bool ok = set.hNormal && set.hPressed;
    if (ok && idDisabled) ok = (set.hDisabled = LoadResourceBitmap(idDisabled)) != nullptr;
    if (ok && idHover) ok = (set.hHover = LoadResourceBitmap(idHover)) != nullptr;
    // A set with a missing piece is not kept half loaded.
    if (!ok) FreeSet(set);
    return ok;
}

BOOL CLMBitmapButton::LoadBitmaps(UINT idNormal, UINT idPressed, UINT idHover, UINT idDisabled)
{
    bool heldBefore = m_set1.hNormal || m_set1.hPressed || m_set1.hDisabled || m_set1.hHover;
    if (!LoadSet(m_set1, idNormal, idPressed, idHover, idDisabled)) return FALSE;
    if (!m_hWnd) return TRUE;
    DWORD style = GetStyle();
    if (!heldBefore)
    {
        m_bCheckStyle = (style & BS_TYPEMASK) != BS_OWNERDRAW && (style & BS_CHECKBOX) != 0;
        ModifyStyle(0, BS_OWNERDRAW);
    }
    m_bLoaded = TRUE;
    if (m_nWidth == 0)
    {
        SIZE size = BitmapSize(m_set1.hNormal);
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
        m_nWidth = size.cx;
        m_nHeight = size.cy;
    }
    Repaint();
    return TRUE;
}

BOOL CLMBitmapButton::LoadBitmaps2(UINT idNormal, UINT idPressed, UINT idHover, UINT idDisabled)
{
    BOOL ok = LoadSet(m_set2, idNormal, idPressed, idHover, idDisabled);
    Repaint();
    return ok;
}

void CLMBitmapButton::SelectBitmapSet(int set)
{
    m_nBitmapSet = set;
    Repaint();
}

SIZE CLMBitmapButton::MeasureCaption(const wchar_t* text)
{
    RECT r{0, 0, 0, 0};
    CClientDC dc(m_hWnd);
    HFONT font = m_font ? static_cast<HFONT>(m_font) : reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    CSelectObject select(dc, font);
    ::DrawTextW(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void CLMBitmapButton::SetText(const wchar_t* text)
{
    m_strCaption = text ? text : L"";
    if (!m_hWnd) return;
    int textWidth = MeasureCaption(m_strCaption.c_str()).cx;
    if (m_bAutoWidth)
    {
        if (textWidth > m_nWidth - 15)
        {
            m_nWidth = textWidth + 15;
            SetWindowPos(nullptr, 0, 0, m_nWidth, m_nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    else
    {
        m_nTextFlags = textWidth > m_nWidth - 24 ? kCaptionLeft : kCaptionCentred;
    }
    Repaint();
}

void CLMBitmapButton::SetTextAndPlace(const wchar_t* text, int x, int y, int maxWidth, int extra)
{
    if (m_hBrush && m_hBrush != ::GetStockObject(NULL_BRUSH)) ::DeleteObject(m_hBrush);
    m_hBrush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    m_strCaption = text ? text : L"";
    m_bIconCaption = TRUE;
    if (!m_hWnd) return;
    int width = MeasureCaption(m_strCaption.c_str()).cx + extra;
    if (width > maxWidth) width = maxWidth;
    m_nWidth = width;
    SetWindowPos(nullptr, x, y, width, m_nHeight, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    m_nTextFlags = kCaptionLeft;
    Repaint();
}

void CLMBitmapButton::SetTextFontWeight(int height, const wchar_t* face, int weight)
{
    m_font.CreateFont(height, weight, FALSE, FALSE, FALSE, face);
}

void CLMBitmapButton::SetTextMargins(int left, int top, int right, int bottom, BOOL autoWidth)
{
    m_nMarginLeft = left;
    m_nMarginTop = top;
    m_nMarginRight = right;
    m_nMarginBottom = bottom;
    m_bAutoWidth = autoWidth;
}

void CLMBitmapButton::SetCheck(BOOL state)
{
    m_bPressed = state;
    Repaint();
}

void CLMBitmapButton::EnableButton(BOOL enable)
{
    EnableWindow(enable);
    m_bCaptionEnabled = enable;
    Repaint();
}

int CLMBitmapButton::GetBitmapWidth() const
{
    return m_set1.hNormal ? BitmapSize(m_set1.hNormal).cx : 0;
}

BOOL CLMBitmapButton::GetBitmapSize(SIZE& size) const
{
    size = BitmapSize(m_set1.hNormal);
    return m_set1.hNormal != nullptr;
}

void CLMBitmapButton::SetToolTipText(const wchar_t* text)
{
    if (!m_hWnd) return;
    if (!m_ToolTip.m_hWnd)
    {
        if (!m_ToolTip.Create(this)) return;
        m_ToolTip.AddTool(this, text);
    }
    else
    {
        m_ToolTip.UpdateTipText(text, this);
    }
}

void CLMBitmapButton::DrawItem(DRAWITEMSTRUCT* pDIS)
{
    const BitmapSet& set = m_nBitmapSet ? m_set2 : m_set1;
    HBITMAP bitmap;
    if (set.hDisabled && !IsWindowEnabled())
        bitmap = set.hDisabled;
    else if (m_bPressed)
        bitmap = set.hPressed;
    else if (m_bHover)
        bitmap = set.hHover;
    else
        bitmap = set.hNormal;
    if (!bitmap) return;

    HDC hDC = pDIS->hDC;
    RECT client;
    GetClientRect(&client);
    SIZE size = BitmapSize(bitmap);
    {
        CMemDC mem(hDC);
        CSelectObject select(mem, bitmap);
        int buttonWidth = client.right - client.left;
        if (!m_bIconCaption && buttonWidth > size.cx)
        {
            ::SetStretchBltMode(hDC, COLORONCOLOR);
            ::StretchBlt(hDC, 0, 0, buttonWidth, size.cy, mem, 0, 0, size.cx, size.cy, SRCCOPY);
        }
        else
        {
            ::BitBlt(hDC, 0, 0, size.cx, size.cy, mem, 0, 0, SRCCOPY);
        }
    }

    if (m_strCaption.IsEmpty()) return;
    CDC dc(hDC);
    dc.SetBkMode(TRANSPARENT);
    CSelectObject select(hDC, m_font ? static_cast<HGDIOBJ>(m_font) : nullptr);
    RECT text = client;
    if (m_nMarginLeft >= 1 || m_nMarginTop >= 1 || m_nMarginRight >= 1 || m_nMarginBottom >= 1)
    {
        text.left += m_nMarginLeft;
        text.top += m_nMarginTop;
        text.right -= m_nMarginRight;
        text.bottom -= m_nMarginBottom;
        dc.SetTextColor(m_crText);
    }
    // A disabled caption is grey whatever colour the margins chose.
    if (!m_bCaptionEnabled) dc.SetTextColor(kDisabledCaption);
    if (m_bIconCaption) text.left += size.cx + 8;
    dc.DrawText(m_strCaption.c_str(), m_strCaption.GetLength(), &text, m_nTextFlags);
}

LRESULT CLMBitmapButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_ToolTip.m_hWnd)
    {
        MSG relay{m_hWnd, msg, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
        ::GetCursorPos(&relay.pt);
        m_ToolTip.RelayEvent(&relay);
    }
    switch (msg)
    {
    case WM_MOUSEMOVE:
        if (!m_bLoaded) return 0;
        if (!m_bHover && m_set1.hHover)
        {
            m_bHover = TRUE;
            TRACKMOUSEEVENT track{sizeof track, TME_HOVER | TME_LEAVE, m_hWnd, HOVER_DEFAULT};
            ::TrackMouseEvent(&track);
            Repaint();
        }
        break;
    case WM_MOUSELEAVE:
        m_bHover = FALSE;
        Repaint();
        break;
    case WM_LBUTTONDOWN:
        if (!m_bLoaded) return 0;
        m_bPressed = m_bCheckStyle ? !m_bPressed : TRUE;
        Repaint();
        break;
    case WM_LBUTTONUP:
    {
        LRESULT result = CButton::WindowProc(msg, wParam, lParam);
        if (m_bCheckStyle)
        {
            POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            ::ClientToScreen(m_hWnd, &pt);
            if (::WindowFromPoint(pt) != m_hWnd)
            {
                m_bPressed = !m_bPressed;
                Repaint();
            }
        }
        else
        {
            m_bPressed = FALSE;
            Repaint();
        }
        return result;
    }
    case WM_LBUTTONDBLCLK:
        if (!m_bLoaded) return 0;
        Repaint();
        break;
    case WM_SETCURSOR:
        if (!m_bLoaded) return TRUE;
        if (IsWindowEnabled() && m_bHandCursor)
        {
            if (HCURSOR hand = ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_CURSOR_HAND)))
            {
                ::SetCursor(hand);
                return TRUE;
            }
        }
        break;
    case WM_GETDLGCODE:
        return CButton::WindowProc(msg, wParam, lParam) | DLGC_BUTTON;
    default:
        break;
    }
    return CButton::WindowProc(msg, wParam, lParam);
}
