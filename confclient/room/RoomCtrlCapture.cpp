// CBarCapture: the hooks run on the bar's thread and only read the event and post; the capture
// itself waits on the bar's timer.
#include "confclient/room/RoomCtrlCapture.h"

#include "confclient/room/RoomHost.h"
#include "winui/WinApp.h"
#include "winui/Wnd.h"

namespace
{
constexpr UINT kCaptureCursor = 11370;
// The capture of this thread, for its hooks.
thread_local CBarCapture* t_pCapture = nullptr;
thread_local CBoardCapture* t_pMode = nullptr;
} // namespace

CBarCapture::~CBarCapture()
{
    m_capture.End();
}

bool CBarCapture::Start(CWnd* pMainView)
{
    m_pMainView = pMainView;
    return m_capture.Start(pMainView && pMainView->m_hWnd);
}

void CBarCapture::SetCaptureCursor(bool bOn)
{
    if (!bOn)
    {
        ::SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, 0);
        return;
    }
    HCURSOR hCursor = ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(kCaptureCursor));
    // The system takes the copy and destroys it when it is replaced.
    if (hCursor) ::SetSystemCursor(static_cast<HCURSOR>(::CopyIcon(hCursor)), 32512 /* OCR_NORMAL */);
}

LRESULT CALLBACK CBarCapture::KeyboardHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && t_pMode)
    {
        auto* pKey = reinterpret_cast<KBDLLHOOKSTRUCT*>(lParam);
        if (t_pMode->OnKey(wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN, static_cast<int>(pKey->vkCode)))
            return 1;
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

LRESULT CALLBACK CBarCapture::MouseHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && t_pMode)
    {
        auto* pMouse = reinterpret_cast<MSLLHOOKSTRUCT*>(lParam);
        CBoardCapture::MouseEvent ev = wParam == WM_RBUTTONDOWN ? CBoardCapture::MOUSE_RIGHT_DOWN
                                       : wParam == WM_RBUTTONUP ? CBoardCapture::MOUSE_RIGHT_UP
                                       : wParam == WM_MOUSEMOVE ? CBoardCapture::MOUSE_MOVE
                                                                : CBoardCapture::MOUSE_OTHER;
        // The window under the point, climbed to its top-level ancestor through sized parents.
        HWND hUnder = ::WindowFromPoint(pMouse->pt);
        for (HWND hParent = hUnder ? ::GetParent(hUnder) : nullptr; hParent; hParent = ::GetParent(hParent))
        {
            RECT rc{};
            if (!::GetWindowRect(hParent, &rc) || rc.right <= rc.left || rc.bottom <= rc.top) break;
            hUnder = hParent;
        }
        bool bLeftHeld = (::GetAsyncKeyState(VK_LBUTTON) & 0x8000) != 0;
        if (t_pMode->OnMouse(ev, reinterpret_cast<uintptr_t>(hUnder), bLeftHeld)) return 1;
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

bool CBarCapture::InstallHooks()
{
    t_pCapture = this;
    t_pMode = &m_capture;
    HINSTANCE hModule = ::GetModuleHandleW(nullptr);
    m_hKeyboard = ::SetWindowsHookExW(WH_KEYBOARD_LL, &CBarCapture::KeyboardHook, hModule, 0);
    m_hMouse = ::SetWindowsHookExW(WH_MOUSE_LL, &CBarCapture::MouseHook, hModule, 0);
    if (m_hKeyboard && m_hMouse) return true;
    RemoveHooks();
    return false;
}

void CBarCapture::RemoveHooks()
{
    if (m_hKeyboard) ::UnhookWindowsHookEx(m_hKeyboard);
    if (m_hMouse) ::UnhookWindowsHookEx(m_hMouse);
    m_hKeyboard = m_hMouse = nullptr;
    t_pCapture = nullptr;
    t_pMode = nullptr;
}

bool CBarCapture::CreateOverlay()
{
    m_pOverlay = std::make_unique<CCaptureWnd>();
    if (m_pOverlay->Create(m_pMainView ? m_pMainView->m_hWnd : nullptr, m_hBar)) return true;
    m_pOverlay.reset();
    return false;
}

void CBarCapture::DestroyOverlay()
{
    m_pOverlay.reset();
}

S_CAPRECT CBarCapture::WindowRect(uintptr_t hWindow) const
{
    RECT rc{};
    ::GetWindowRect(reinterpret_cast<HWND>(hWindow), &rc);
    return {rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
}

void CBarCapture::ShowOverlayAt(const S_CAPRECT& rc)
{
    if (!m_pOverlay) return;
    HWND h = m_pOverlay->Handle();
    ::SetWindowPos(h, HWND_NOTOPMOST, rc.x, rc.y, rc.cx, rc.cy, SWP_NOZORDER);
    ::SetWindowPos(h, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::SendMessageW(h, CCaptureWnd::WM_CAPTURE_PLACE, MAKEWPARAM(rc.x, rc.y), MAKELPARAM(rc.cx, rc.cy));
}

void CBarCapture::StartCaptureTimer()
{
    // Never a wait inside the hook: the system drops a slow low-level hook.
    ::SetTimer(m_hBar, kCaptureTimer, 200, nullptr);
}

void CBarCapture::OnTimer()
{
    ::KillTimer(m_hBar, kCaptureTimer);
    if (m_capture.OnCaptureTimer() && m_pOverlay)
        ::SendMessageW(m_pOverlay->Handle(), CCaptureWnd::WM_CAPTURE_NOW, 0, 0);
}

void CBarCapture::PostEnd()
{
    ::PostMessageW(m_hBar, CCaptureWnd::WM_CAPTURE_DONE, 0, 0);
}

void CBarCapture::LoadCapturedPage()
{
    if (m_pHost) m_pHost->LoadCapturedPage();
}

void CBarCapture::ShowMainView()
{
    if (m_pMainView && m_pMainView->m_hWnd) ::ShowWindow(m_pMainView->m_hWnd, SW_SHOWNORMAL);
}
