// CCaptureWnd: the screen's pixels under the placed rectangle go to the clipboard.
#include "confclient/room/CaptureWnd.h"

namespace
{
const wchar_t kCaptureClass[] = L"QuillonCapture";
} // namespace

CCaptureWnd::~CCaptureWnd()
{
    if (m_hWnd) ::DestroyWindow(m_hWnd);
}

bool CCaptureWnd::Create(HWND hOwner, HWND hReceiver)
{
    WNDCLASSW wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &CCaptureWnd::WndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // the arrow
    wc.lpszClassName = kCaptureClass;
    ::RegisterClassW(&wc); // a second registration fails harmlessly
    m_hReceiver = hReceiver;
    m_hWnd = ::CreateWindowExW(0, kCaptureClass, L"Capture", WS_POPUP | WS_BORDER | WS_SYSMENU, 0, 0, 1, 1,
                               hOwner, nullptr, wc.hInstance, this);
    return m_hWnd != nullptr;
}

bool CCaptureWnd::CopyToClipboard() const
{
    int cx = m_rc.right - m_rc.left, cy = m_rc.bottom - m_rc.top;
    if (cx <= 0 || cy <= 0) return false;
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, cx, cy);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    ::BitBlt(hMem, 0, 0, cx, cy, hScreen, m_rc.left, m_rc.top, SRCCOPY);
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
    bool bDone = false;
    if (::OpenClipboard(m_hWnd))
    {
        ::EmptyClipboard();
        // The clipboard owns the bitmap once it took it.
        bDone = ::SetClipboardData(CF_BITMAP, hBitmap) != nullptr;
        ::CloseClipboard();
    }
    if (!bDone) ::DeleteObject(hBitmap);
    return bDone;
}

LRESULT CALLBACK CCaptureWnd::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
        ::SetWindowLongPtrW(
            hWnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<CCaptureWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self && msg == WM_CAPTURE_PLACE)
    {
        int x = static_cast<short>(LOWORD(wParam)), y = static_cast<short>(HIWORD(wParam));
        int cx = LOWORD(lParam), cy = HIWORD(lParam);
        self->m_rc = {x, y, x + cx, y + cy};
        return 0;
    }
    if (self && msg == WM_CAPTURE_NOW)
    {
        // The overlay only marks the place: it is out of the picture while the pixels are read.
        ::ShowWindow(hWnd, SW_HIDE);
        bool bCaptured = self->CopyToClipboard();
        ::PostMessageW(self->m_hReceiver, WM_CAPTURE_DONE, 0, bCaptured ? 1 : 0);
        return 0;
    }
    if (msg == WM_NCDESTROY && self)
    {
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}
