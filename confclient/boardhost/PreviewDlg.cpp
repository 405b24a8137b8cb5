// The board preview window.
#include "confclient/boardhost/PreviewDlg.h"

#include <windowsx.h>

#include <algorithm>

namespace
{
constexpr COLORREF kPreviewBody = RGB(0xD8, 0xE8, 0xEA);  // 0xEAE8D8
constexpr COLORREF kPreviewFrame = RGB(0xA4, 0xB9, 0xD6); // 0xD6B9A4
constexpr COLORREF kPreviewTitleBand = RGB(0x56, 0x60, 0x7C);
constexpr int kPreviewInset = 4;

std::wstring PreviewPageText(const S_BOARD_FILEHDR& hdr)
{
    std::u16string caption = S_BOARD_FILEHDR::Text(hdr.szCaption);
    if (caption.empty()) caption = S_BOARD_FILEHDR::Text(hdr.szName);
    return std::wstring(caption.begin(), caption.end());
}

PreviewBox ScreenBox(const RECT& rc)
{
    return PreviewBox{rc.left, rc.top, rc.right, rc.bottom};
}
} // namespace

BOOL CPreviewDlg::Create(CWnd* pOwner)
{
    return CDialog::Create(IDD_PREVIEW, pOwner);
}

BOOL CPreviewDlg::OnInitDialog()
{
    ::EnableWindow(GetDlgItem(kNext), FALSE);
    ::EnableWindow(GetDlgItem(kPrevious), FALSE);
    ::ShowWindow(GetDlgItem(kRestore), SW_HIDE);
    // No platform caption: the title strip is drawn here; the window keeps the title's text.
    wchar_t title[128] = {};
    ::GetDlgItemTextW(m_hWnd, IDC_PREVIEW_TITLE, title, 128);
    ::SetWindowTextW(m_hWnd, title);
    return FALSE;
}

PreviewBox CPreviewDlg::WorkArea() const
{
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &mi))
        return ScreenBox(mi.rcWork);
    RECT rc{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0);
    return ScreenBox(rc);
}

void CPreviewDlg::RestorePosition(HWND hRoomView, const std::wstring& stored)
{
    if (!::IsWindow(hRoomView)) return;
    RECT rcView{};
    ::GetWindowRect(hRoomView, &rcView);
    std::string text(stored.begin(), stored.end());
    m_normal = PlacePreview(ParsePreviewPos(text), ScreenBox(rcView), WorkArea());
    SetWindowPos(HWND_TOP, m_normal.x, m_normal.y, m_normal.cx, m_normal.cy, SWP_NOACTIVATE);
    if (!m_bPreviewMade)
        m_bPreviewMade =
            m_board.CreatePreview(0, kPreviewInset, kTitleHeight, m_normal.cx - 2 * kPreviewInset,
                                  m_normal.cy - kTitleHeight - kPreviewInset, m_hWnd) != FALSE;
    ShowPage(std::max(CurrentPage(), 0));
    ShowWindow(SW_SHOW);
}

void CPreviewDlg::OnAddPage(int nKind, const S_BOARD_FILEHDR& hdr)
{
    HWND hCombo = Combo();
    if (nKind == 1) ::SendMessageW(hCombo, CB_RESETCONTENT, 0, 0);
    std::wstring text = PreviewPageText(hdr);
    ::SendMessageW(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (CurrentPage() < 0) ::SendMessageW(hCombo, CB_SETCURSEL, 0, 0);
    UpdatePageButtons();
}

void CPreviewDlg::OnDeletePage(int nIndex)
{
    int nCurrent = CurrentPage();
    if (::SendMessageW(Combo(), CB_DELETESTRING, nIndex, 0) == CB_ERR) return;
    if (nCurrent == nIndex) ShowPage(std::max(nIndex - 1, 0));
    UpdatePageButtons();
}

int CPreviewDlg::CurrentPage() const
{
    return static_cast<int>(::SendMessageW(Combo(), CB_GETCURSEL, 0, 0));
}

void CPreviewDlg::ShowPage(int nIndex)
{
    int nCount = static_cast<int>(::SendMessageW(Combo(), CB_GETCOUNT, 0, 0));
    if (nIndex < 0 || nIndex >= nCount) return;
    ::SendMessageW(Combo(), CB_SETCURSEL, nIndex, 0);
    m_board.SetPreviewPage(static_cast<short>(nIndex));
    UpdatePageButtons();
}

void CPreviewDlg::UpdatePageButtons()
{
    int nCount = static_cast<int>(::SendMessageW(Combo(), CB_GETCOUNT, 0, 0));
    PreviewPageButtons buttons = PreviewButtonState(nCount, CurrentPage());
    ::EnableWindow(GetDlgItem(kPrevious), buttons.bPrevious);
    ::EnableWindow(GetDlgItem(kNext), buttons.bNext);
}

BOOL CPreviewDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case kNext:
        ShowPage(CurrentPage() + 1);
        return TRUE;
    case kPrevious:
        ShowPage(CurrentPage() - 1);
        return TRUE;
    case kCombo:
        if (HIWORD(wParam) == CBN_SELCHANGE) ShowPage(CurrentPage());
        return TRUE;
    case kMinimize:
        ShowWindow(SW_MINIMIZE);
        return TRUE;
    case kMaximize:
        ToggleMaximize(true);
        return TRUE;
    case kRestore:
        ToggleMaximize(false);
        return TRUE;
    case kClose:
        Close();
        return TRUE;
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

BOOL CPreviewDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)))
        return CDialog::PreTranslateMessage(pMsg);
    std::optional<PreviewKey> key;
    switch (pMsg->wParam)
    {
    case VK_RETURN:
    case VK_SPACE:
    case VK_NEXT:
    case VK_RIGHT:
    case VK_DOWN:
        key = PreviewKey::Next;
        break;
    case VK_PRIOR:
    case VK_LEFT:
    case VK_UP:
        key = PreviewKey::Back;
        break;
    case VK_HOME:
        key = PreviewKey::First;
        break;
    case VK_END:
        key = PreviewKey::Last;
        break;
    case VK_ESCAPE:
    case VK_CANCEL:
        return TRUE;
    default:
        return CDialog::PreTranslateMessage(pMsg);
    }
    int nCount = static_cast<int>(::SendMessageW(Combo(), CB_GETCOUNT, 0, 0));
    ::SendMessageW(Combo(), CB_SHOWDROPDOWN, FALSE, 0);
    if (std::optional<int> page = PreviewKeyPage(*key, CurrentPage(), nCount)) ShowPage(*page);
    return TRUE;
}

void CPreviewDlg::OnSize(int cx, int cy)
{
    PreviewControlPlaces p = PreviewLayout(cx);
    struct Place
    {
        int nId, x, y, cx, cy;
    } places[] = {{kCombo, p.comboX, 2, p.comboWidth, 23},
                  {kNext, p.nextX, 1, 28, 24},
                  {kPrevious, p.previousX, 1, 28, 24},
                  {kMinimize, p.minimizeX, 6, 16, 16},
                  {kMaximize, p.maximizeX, 6, 16, 16},
                  {kRestore, p.maximizeX, 6, 16, 16},
                  {kClose, p.closeX, 6, 16, 16}};
    for (const Place& place : places)
        ::SetWindowPos(GetDlgItem(place.nId), nullptr, place.x, place.y, place.cx, place.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_bPreviewMade) m_board.SetPreviewSize(0, cx - 2 * kPreviewInset, cy - kTitleHeight - kPreviewInset);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CPreviewDlg::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    if (::IsIconic(m_hWnd))
    {
        HICON hIcon = reinterpret_cast<HICON>(::SendMessageW(m_hWnd, WM_GETICON, ICON_BIG, 0));
        if (hIcon) ::DrawIcon(hdc, (rc.right - 32) / 2, (rc.bottom - 32) / 2, hIcon);
        ::EndPaint(m_hWnd, &ps);
        return;
    }
    RECT band{rc.left, rc.top, rc.right, kTitleHeight};
    HBRUSH hBand = ::CreateSolidBrush(kPreviewTitleBand);
    ::FillRect(hdc, &band, hBand);
    ::DeleteObject(hBand);
    // The body around the board's preview area, which the board draws itself.
    HBRUSH hBody = ::CreateSolidBrush(kPreviewBody);
    RECT parts[] = {{0, kTitleHeight, kPreviewInset, rc.bottom},
                    {rc.right - kPreviewInset, kTitleHeight, rc.right, rc.bottom},
                    {kPreviewInset, rc.bottom - kPreviewInset, rc.right - kPreviewInset, rc.bottom}};
    for (const RECT& part : parts)
        ::FillRect(hdc, &part, hBody);
    ::DeleteObject(hBody);
    HBRUSH hFrame = ::CreateSolidBrush(kPreviewFrame);
    ::FrameRect(hdc, &rc, hFrame);
    ::DeleteObject(hFrame);
    ::EndPaint(m_hWnd, &ps);
}

bool CPreviewDlg::OnButtonDown(int x, int y)
{
    if (::IsZoomed(m_hWnd)) return false;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    m_nEdge = PreviewEdgeAt(x, y, rc.right, rc.bottom);
    if (m_nEdge)
    {
        ::SetCapture(m_hWnd);
        return true;
    }
    if (x >= 1 && x <= 1023 && y >= 1 && y <= 31)
    {
        ::ReleaseCapture();
        ::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return true;
    }
    return false;
}

void CPreviewDlg::SavePlacement()
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!::GetWindowPlacement(m_hWnd, &wp)) return;
    const RECT& rc = wp.rcNormalPosition;
    m_normal = PreviewPos{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
}

void CPreviewDlg::SetToWorkArea()
{
    PreviewBox work = WorkArea();
    SetWindowPos(nullptr, work.left, work.top, work.Width(), work.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void CPreviewDlg::ToggleMaximize(bool bMaximize)
{
    if (bMaximize)
    {
        SavePlacement();
        ShowWindow(SW_MAXIMIZE);
        SetToWorkArea();
    }
    else
        ShowWindow(SW_RESTORE);
    ::ShowWindow(GetDlgItem(kMaximize), bMaximize ? SW_HIDE : SW_SHOW);
    ::ShowWindow(GetDlgItem(kRestore), bMaximize ? SW_SHOW : SW_HIDE);
}

void CPreviewDlg::Close()
{
    if (!::IsZoomed(m_hWnd)) SavePlacement();
    ShowWindow(SW_HIDE);
}

LRESULT CPreviewDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
        if (OnButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) return 0;
        break;
    case WM_LBUTTONUP:
        if (m_nEdge)
        {
            m_nEdge = 0;
            ::ReleaseCapture();
            SavePlacement();
        }
        return 0;
    case WM_MOUSEMOVE:
        if (m_nEdge)
        {
            RECT rc;
            ::GetWindowRect(m_hWnd, &rc);
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ClientToScreen(m_hWnd, &pt);
            PreviewBox box = ResizePreview(ScreenBox(rc), m_nEdge, pt.x, pt.y, WorkArea());
            SetWindowPos(nullptr, box.left, box.top, box.Width(), box.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        break;
    case WM_SETCURSOR:
    {
        POINT pt;
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hWnd, &pt);
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        int nEdge =
            m_nEdge ? m_nEdge : (::IsZoomed(m_hWnd) ? 0 : PreviewEdgeAt(pt.x, pt.y, rc.right, rc.bottom));
        const wchar_t* cursor = nullptr;
        if (nEdge == EDGE_LEFT || nEdge == EDGE_RIGHT) cursor = IDC_SIZEWE;
        if (nEdge == EDGE_TOP || nEdge == EDGE_BOTTOM) cursor = IDC_SIZENS;
        if (nEdge == EDGE_TOP_LEFT || nEdge == EDGE_BOTTOM_RIGHT) cursor = IDC_SIZENWSE;
        if (nEdge == EDGE_TOP_RIGHT || nEdge == EDGE_BOTTOM_LEFT) cursor = IDC_SIZENESW;
        if (!cursor || reinterpret_cast<HWND>(wParam) != m_hWnd) break;
        ::SetCursor(::LoadCursorW(nullptr, cursor));
        return TRUE;
    }
    case WM_LBUTTONDBLCLK:
        if (GET_Y_LPARAM(lParam) >= 1 && GET_Y_LPARAM(lParam) <= 31)
        {
            ToggleMaximize(!::IsZoomed(m_hWnd));
            return 0;
        }
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
        {
            Close();
            return 0;
        }
        break;
    case WM_MOUSEWHEEL:
    {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        HWND hUnder = ::WindowFromPoint(pt);
        if (hUnder && hUnder != m_hWnd && !::IsChild(m_hWnd, hUnder))
            ::PostMessageW(hUnder, msg, wParam, lParam);
        return 0;
    }
    default:
        break;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}
