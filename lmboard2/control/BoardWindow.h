// The control's own windows: one class per kind, registered from this module, each window's
// object kept in its user data from creation and dropped at WM_NCDESTROY.
#pragma once
#include <windows.h>

class CBoardWindow
{
public:
    CBoardWindow() = default;
    CBoardWindow(const CBoardWindow&) = delete;
    CBoardWindow& operator=(const CBoardWindow&) = delete;
    virtual ~CBoardWindow();

    // Creates the window of the named class (registered on first use with this module).
    bool Create(const wchar_t* szClass, DWORD dwStyle, DWORD dwExStyle, const RECT& rc, HWND hParent,
                UINT nId, HCURSOR hCursor = nullptr);
    HWND Hwnd() const { return m_hWnd; }
    void Destroy();

protected:
    // Every message of the window; unhandled ones go to DefWindowProc.
    virtual LRESULT OnMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;

    HWND m_hWnd = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
};
