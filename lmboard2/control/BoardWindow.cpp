// Window classes of the control and the procedure that routes to their objects.
#include "lmboard2/control/BoardWindow.h"

#include "comkit/ServerModule.h"

namespace
{
thread_local CBoardWindow* t_pCreating = nullptr;
}

CBoardWindow::~CBoardWindow()
{
    Destroy();
}

bool CBoardWindow::Create(const wchar_t* szClass, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
                          HWND hParent, UINT nId, HCURSOR hCursor)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(ServerModuleHandle(), szClass, &wc))
    {
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &CBoardWindow::WindowProc;
        wc.hInstance = ServerModuleHandle();
        wc.hCursor = hCursor ? hCursor : LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = szClass;
        if (!RegisterClassExW(&wc)) return false;
    }
    t_pCreating = this;
    HWND hWnd = CreateWindowExW(
        dwExStyle, szClass, L"", dwStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, hParent,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nId)), ServerModuleHandle(), nullptr);
    t_pCreating = nullptr;
    return hWnd != nullptr;
}

void CBoardWindow::Destroy()
{
    if (m_hWnd) DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CBoardWindow::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    auto* pThis = reinterpret_cast<CBoardWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (!pThis && t_pCreating)
    {
        pThis = t_pCreating;
        t_pCreating = nullptr;
        pThis->m_hWnd = hWnd;
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pThis));
    }
    if (!pThis) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    LRESULT lResult = 0;
    bool bHandled = false;
    try
    {
        lResult = pThis->OnMessage(uMsg, wParam, lParam, bHandled);
    }
    catch (...)
    {
        bHandled = false;
    }
    if (!bHandled) lResult = DefWindowProcW(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_NCDESTROY)
    {
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        pThis->m_hWnd = nullptr;
    }
    return lResult;
}
