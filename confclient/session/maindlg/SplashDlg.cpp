// The splash window.
#include "confclient/session/maindlg/SplashDlg.h"

namespace
{
const wchar_t kSplashClass[] = L"QuillonSplash";

void RegisterSplashClass()
{
    WNDCLASSW wc{};
    if (GetClassInfoW(GetModuleHandleW(nullptr), kSplashClass, &wc)) return;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kSplashClass;
    RegisterClassW(&wc);
}
} // namespace

BOOL CSplashDlg::Show(HWND hOwner, HMODULE hModule, UINT nId)
{
    if (!m_picture.LoadFromResource(hModule, L"BACKIMAGE", nId)) return FALSE;
    RegisterSplashClass();
    int cx = m_picture.m_nWidth, cy = m_picture.m_nHeight;
    int x = (GetSystemMetrics(SM_CXSCREEN) - cx) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - cy) / 2;
    RECT rc{x, y, x + cx, y + cy};
    if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kSplashClass, L"", WS_POPUP, rc, hOwner, 0)) return FALSE;
    ShowWindow(SW_SHOWNOACTIVATE);
    UpdateWindow();
    return TRUE;
}

void CSplashDlg::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = BeginPaint(m_hWnd, &ps);
    RECT rc;
    GetClientRect(&rc);
    m_picture.Render(hDC, 0, 0, rc.right, rc.bottom, 0);
    EndPaint(m_hWnd, &ps);
}
