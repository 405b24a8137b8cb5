// CBitmapCheckButton: bitmap choice, toggling with a cancellable release, hover polling, hand cursor.
#include "confclient/toolkit/controls/BitmapCheckButton.h"
#include "confclient/toolkit/controls/HandCursor.h"

CBitmapCheckButton::CBitmapCheckButton() : m_hCursor(CreateHandCursor()) {}

CBitmapCheckButton::~CBitmapCheckButton()
{
    if (m_hCursor) ::DestroyCursor(m_hCursor);
}

void CBitmapCheckButton::PreSubclassWindow()
{
    ModifyStyle(0, BS_OWNERDRAW);
}

BOOL CBitmapCheckButton::LoadBitmaps(UINT idUnchecked, UINT idChecked, UINT idHover, UINT idDisabled)
{
    BOOL ok = m_bmpChecked.LoadBitmap(idChecked);
    ok = m_bmpUnchecked.LoadBitmap(idUnchecked) && ok;
    m_bmpHover.DeleteObject();
    m_bmpDisabled.DeleteObject();
    if (idHover && !m_bmpHover.LoadBitmap(idHover)) ok = FALSE;
    if (idDisabled && !m_bmpDisabled.LoadBitmap(idDisabled)) ok = FALSE;
    m_nBitmapID = idUnchecked;
    SIZE size{0, 0};
    m_bmpChecked.GetSize(size);
    m_nWidth = size.cx;
    m_nHeight = size.cy;
    if (m_hWnd && size.cx > 0)
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Repaint();
    return ok;
}

void CBitmapCheckButton::SetCheck(int state)
{
    m_nCheck = state;
    Repaint();
}

void CBitmapCheckButton::EnableButton(BOOL enable)
{
    m_bEnabled = enable;
    Repaint();
    if (m_hWnd) EnableWindow(enable);
}

BOOL CBitmapCheckButton::GetBitmapSize(SIZE& size) const
{
    if (!m_bmpChecked && !m_bmpUnchecked)
    {
        size = SIZE{0, 0};
        return FALSE;
    }
    size = SIZE{m_nWidth, m_nHeight};
    return TRUE;
}

void CBitmapCheckButton::SetCaption(const wchar_t* text)
{
    m_strCaption = text ? text : L"";
    Repaint();
}

void CBitmapCheckButton::SetCaptionFont(int height, const wchar_t* face, int weight)
{
    m_font.CreateFont(height, weight, FALSE, FALSE, FALSE, face);
    Repaint();
}

HBITMAP CBitmapCheckButton::ChooseBitmap() const
{
    if (!m_bEnabled && m_bmpDisabled) return m_bmpDisabled;
    bool shown = m_bPushMode ? m_bPressed : m_nCheck != 0;
    if (shown) return m_bmpChecked;
    if (m_bmpHover && ::GetCursor() == m_hCursor) return m_bmpHover;
    return m_bmpUnchecked;
}

void CBitmapCheckButton::Draw(HDC hDC, HBITMAP bitmap)
{
    if (bitmap)
    {
        CMemDC mem(hDC);
        CSelectObject select(mem, bitmap);
        ::BitBlt(hDC, 0, 0, m_nWidth, m_nHeight, mem, 0, 0, SRCCOPY);
    }
    if (m_strCaption.IsEmpty()) return;
    RECT client;
    GetClientRect(&client);
    int oldMode = ::SetBkMode(hDC, TRANSPARENT);
    CSelectObject select(hDC, m_font ? static_cast<HGDIOBJ>(m_font) : nullptr);
    ::DrawTextW(hDC, m_strCaption.c_str(), m_strCaption.GetLength(), &client,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SetBkMode(hDC, oldMode);
}

void CBitmapCheckButton::DrawItem(DRAWITEMSTRUCT* pDIS)
{
    Draw(pDIS->hDC, ChooseBitmap());
}

LRESULT CBitmapCheckButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    // The check as a standard button keeps it: owner-drawn buttons keep none of their own.
    case BM_GETCHECK:
        return m_nCheck ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
        SetCheck(wParam == BST_CHECKED ? 1 : 0);
        return 0;
    case BM_CLICK:
        // A click by message toggles wherever the pointer is, and tells the parent.
        if (!IsWindowEnabled()) return 0;
        if (m_bAutoToggle) SetCheck(!m_nCheck);
        ::SendMessageW(GetParent(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                       reinterpret_cast<LPARAM>(m_hWnd));
        return 0;
    case WM_ENABLE:
        m_bEnabled = wParam != 0;
        Repaint();
        break;
    case WM_LBUTTONDOWN:
        if (m_bEnabled && m_bAutoToggle)
        {
            m_bPressed = TRUE;
            m_nCheck = !m_nCheck;
            Repaint();
        }
        break;
    case WM_LBUTTONUP:
        // Only a press that toggled can be cancelled by releasing outside the button.
        if (m_bPressed)
        {
            m_bPressed = FALSE;
            POINT pt;
            ::GetCursorPos(&pt);
            if (::WindowFromPoint(pt) != m_hWnd) m_nCheck = !m_nCheck;
            Repaint();
        }
        break;
    case WM_LBUTTONDBLCLK:
        if (m_bEnabled && m_bAutoToggle) Repaint();
        break;
    case WM_SETCURSOR:
        if (IsWindowEnabled() && m_bHandCursor && m_hCursor)
        {
            ::SetCursor(m_hCursor);
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        if (m_bmpHover && !(m_nCheck && !m_bPushMode))
        {
            CClientDC dc(m_hWnd);
            Draw(dc, m_bmpHover);
            SetTimer(kHoverTimer, 50);
        }
        break;
    case WM_TIMER:
        if (wParam == kHoverTimer)
        {
            if (!IsCursorInClient())
            {
                KillTimer(kHoverTimer);
                Repaint();
            }
            return 0;
        }
        break;
    default:
        break;
    }
    return CButton::WindowProc(msg, wParam, lParam);
}
