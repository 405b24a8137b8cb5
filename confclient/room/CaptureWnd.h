// CCaptureWnd: the board capture's overlay. Placed on a rectangle (0x40A) it shows there; told
// to capture (0x40B) it copies that part of the screen to the clipboard as a bitmap and reports
// to its receiver (0x405, lParam 1 captured, 0 not).
#pragma once
#include <windows.h>

class CCaptureWnd
{
public:
    static constexpr UINT WM_CAPTURE_PLACE = 0x40A;
    static constexpr UINT WM_CAPTURE_NOW = 0x40B;
    static constexpr UINT WM_CAPTURE_DONE = 0x405;

    CCaptureWnd() = default;
    ~CCaptureWnd();
    CCaptureWnd(const CCaptureWnd&) = delete;
    CCaptureWnd& operator=(const CCaptureWnd&) = delete;

    // A hidden popup owned by hOwner, reporting to hReceiver.
    bool Create(HWND hOwner, HWND hReceiver);
    HWND Handle() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    bool CopyToClipboard() const;
    HWND m_hWnd = nullptr;
    HWND m_hReceiver = nullptr;
    RECT m_rc{};
};
