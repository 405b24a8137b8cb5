// CColourPopup: the grid's geometry, painting, mouse and keys, and the posting of the choice.
#include "confclient/toolkit/controls/ColourPopup.h"

#include <commdlg.h>

namespace
{
const wchar_t kColourPopupClass[] = L"QuillonColourPopup";
constexpr int kMargin = 4;
constexpr int kLine = 22;

void RegisterColourPopupClass()
{
    WNDCLASSW wc{};
    if (::GetClassInfoW(::GetModuleHandleW(nullptr), kColourPopupClass, &wc)) return;
    wc.style = CS_DROPSHADOW;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kColourPopupClass;
    ::RegisterClassW(&wc);
}
} // namespace

BOOL CColourPopup::Create(POINT pt, COLORREF crCurrent, COLORREF crDefault,
                          const std::vector<COLORREF>& colours, CWnd* pParent, UINT nId,
                          const std::wstring& szDefault, const std::wstring& szCustom)
{
    if (colours.empty() || !pParent) return FALSE;
    m_colours = colours;
    m_crCurrent = crCurrent & 0x00FFFFFF;
    m_crDefault = crDefault & 0x00FFFFFF;
    m_hParent = pParent->m_hWnd;
    m_nId = nId;
    m_szDefault = szDefault;
    m_szCustom = szCustom;
    RegisterColourPopupClass();
    int cx = 2 * kMargin + kColumns * kCell;
    int cy = 2 * kMargin + 2 * kLine + Rows() * kCell;
    // Kept on the monitor's work area.
    MONITORINFO mi{sizeof mi};
    ::GetMonitorInfoW(::MonitorFromPoint(pt, MONITOR_DEFAULTTONEAREST), &mi);
    if (pt.x + cx > mi.rcWork.right) pt.x = mi.rcWork.right - cx;
    if (pt.y + cy > mi.rcWork.bottom) pt.y = mi.rcWork.bottom - cy;
    if (pt.x < mi.rcWork.left) pt.x = mi.rcWork.left;
    if (pt.y < mi.rcWork.top) pt.y = mi.rcWork.top;
    RECT rc{pt.x, pt.y, pt.x + cx, pt.y + cy};
    HWND hOwner = ::GetAncestor(m_hParent, GA_ROOT);
    if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kColourPopupClass, L"", WS_POPUP | WS_BORDER, rc, hOwner,
                  0))
        return FALSE;
    for (size_t i = 0; i < m_colours.size(); ++i)
        if ((m_colours[i] & 0x00FFFFFF) == m_crCurrent) m_nHot = static_cast<int>(i);
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    ::SetFocus(m_hWnd);
    ::SetCapture(m_hWnd);
    return TRUE;
}

RECT CColourPopup::ItemRect(int nItem) const
{
    int cx = kColumns * kCell;
    if (nItem == kDefaultItem) return {kMargin, kMargin, kMargin + cx, kMargin + kLine};
    int nGridTop = kMargin + kLine;
    if (nItem == kCustomItem)
    {
        int y = nGridTop + Rows() * kCell;
        return {kMargin, y, kMargin + cx, y + kLine};
    }
    int x = kMargin + (nItem % kColumns) * kCell, y = nGridTop + (nItem / kColumns) * kCell;
    return {x, y, x + kCell, y + kCell};
}

int CColourPopup::ItemAt(POINT pt) const
{
    for (int nItem : {kDefaultItem, kCustomItem})
    {
        RECT rc = ItemRect(nItem);
        if (::PtInRect(&rc, pt)) return nItem;
    }
    for (int i = 0; i < static_cast<int>(m_colours.size()); ++i)
    {
        RECT rc = ItemRect(i);
        if (::PtInRect(&rc, pt)) return i;
    }
    return -1;
}

void CColourPopup::Paint(HDC hDC)
{
    RECT rc;
    GetClientRect(&rc);
    ::FillRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(hDC, TRANSPARENT);
    HGDIOBJ hOldFont = ::SelectObject(hDC, ::GetStockObject(DEFAULT_GUI_FONT));
    for (int nItem : {kDefaultItem, kCustomItem})
    {
        RECT r = ItemRect(nItem);
        if (nItem == m_nHot) ::FillRect(hDC, &r, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        ::SetTextColor(hDC, ::GetSysColor(nItem == m_nHot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        const std::wstring& szText = nItem == kDefaultItem ? m_szDefault : m_szCustom;
        ::DrawTextW(hDC, szText.c_str(), static_cast<int>(szText.size()), &r,
                    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    ::SelectObject(hDC, hOldFont);
    for (int i = 0; i < static_cast<int>(m_colours.size()); ++i)
    {
        RECT r = ItemRect(i);
        // The hot cell is framed dark, the current colour's light; the swatch sits inside.
        if (i == m_nHot || (m_colours[i] & 0x00FFFFFF) == m_crCurrent)
        {
            HBRUSH hFrame = ::CreateSolidBrush(i == m_nHot ? RGB(0, 0, 0) : RGB(0x80, 0x80, 0x80));
            ::FrameRect(hDC, &r, hFrame);
            ::DeleteObject(hFrame);
        }
        ::InflateRect(&r, -3, -3);
        HBRUSH hSwatch = ::CreateSolidBrush(m_colours[i]);
        ::FillRect(hDC, &r, hSwatch);
        ::DeleteObject(hSwatch);
    }
}

void CColourPopup::SetHot(int nItem)
{
    if (nItem == m_nHot) return;
    m_nHot = nItem;
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CColourPopup::MoveHot(int dx, int dy)
{
    int n = static_cast<int>(m_colours.size());
    if (m_nHot < 0)
    {
        SetHot(0);
        return;
    }
    int nNext = m_nHot + dx + dy * kColumns;
    if (nNext >= 0 && nNext < n) SetHot(nNext);
}

void CColourPopup::Choose(int nItem)
{
    COLORREF crChosen;
    if (nItem == kDefaultItem)
        crChosen = m_crDefault;
    else if (nItem == kCustomItem)
    {
        static COLORREF custom[16] = {};
        CHOOSECOLORW cc{};
        cc.lStructSize = sizeof cc;
        cc.hwndOwner = ::GetAncestor(m_hParent, GA_ROOT);
        cc.rgbResult = m_crCurrent;
        cc.lpCustColors = custom;
        cc.Flags = CC_RGBINIT | CC_FULLOPEN;
        ::ReleaseCapture();
        m_bInDialog = true;
        ShowWindow(SW_HIDE);
        BOOL bChosen = ::ChooseColorW(&cc);
        m_bInDialog = false;
        if (!bChosen)
        {
            Close();
            return;
        }
        crChosen = cc.rgbResult;
    }
    else if (nItem >= 0 && nItem < static_cast<int>(m_colours.size()))
        crChosen = m_colours[static_cast<size_t>(nItem)];
    else
        return;
    ::PostMessageW(m_hParent, kMsgColourChosen, static_cast<WPARAM>(crChosen & 0x00FFFFFF), m_nId);
    Close();
}

void CColourPopup::Close()
{
    if (m_bClosing || !m_hWnd) return;
    m_bClosing = true;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    DestroyWindow();
}

LRESULT CColourPopup::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_PAINT:
    {
        PAINTSTRUCT ps;
        HDC hDC = ::BeginPaint(m_hWnd, &ps);
        Paint(hDC);
        ::EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_MOUSEMOVE:
        SetHot(ItemAt(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}));
        return 0;
    case WM_LBUTTONUP:
    {
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT rc;
        GetClientRect(&rc);
        // A click outside the popup closes it without a choice.
        if (!::PtInRect(&rc, pt))
            Close();
        else
            Choose(ItemAt(pt));
        return 0;
    }
    case WM_KEYDOWN:
        switch (wParam)
        {
        case VK_ESCAPE:
            Close();
            return 0;
        case VK_RETURN:
            Choose(m_nHot);
            return 0;
        case VK_LEFT:
            MoveHot(-1, 0);
            return 0;
        case VK_RIGHT:
            MoveHot(1, 0);
            return 0;
        case VK_UP:
            MoveHot(0, -1);
            return 0;
        case VK_DOWN:
            MoveHot(0, 1);
            return 0;
        default:
            break;
        }
        break;
    case WM_CAPTURECHANGED:
        if (!m_bInDialog && reinterpret_cast<HWND>(lParam) != m_hWnd) Close();
        break;
    case WM_KILLFOCUS:
        if (!m_bInDialog) Close();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}
