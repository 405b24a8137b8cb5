// The control bar's board capture: the capture mode over the real system: the capture cursor,
// low-level keyboard and mouse hooks that only post, and the overlay that copies the picture.
#pragma once
#include <windows.h>

#include <memory>

#include "confclient/room/BoardCapture.h"
#include "confclient/room/CaptureWnd.h"

class IRoomHost;
class CWnd;

class CBarCapture : public ICaptureHost
{
public:
    static constexpr UINT_PTR kCaptureTimer = 1258;

    CBarCapture(HWND hBar, IRoomHost* pHost) : m_hBar(hBar), m_pHost(pHost) {}
    ~CBarCapture() override;

    bool Start(CWnd* pMainView);
    bool Running() const { return m_capture.Running(); }
    // The bar's 200-ms timer after a right click: the overlay captures now.
    void OnTimer();
    // The overlay's report, or the bar's own end request (lParam 0).
    void OnDone(LPARAM lParam) { m_capture.OnReport(lParam == 1); }
    void End() { m_capture.End(); }

    void SetCaptureCursor(bool bOn) override;
    bool InstallHooks() override;
    void RemoveHooks() override;
    bool CreateOverlay() override;
    void DestroyOverlay() override;
    S_CAPRECT WindowRect(uintptr_t hWindow) const override;
    void ShowOverlayAt(const S_CAPRECT& rc) override;
    void StartCaptureTimer() override;
    void PostEnd() override;
    void LoadCapturedPage() override;
    void ShowMainView() override;

private:
    static LRESULT CALLBACK KeyboardHook(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseHook(int nCode, WPARAM wParam, LPARAM lParam);
    HWND m_hBar;
    IRoomHost* m_pHost;
    CWnd* m_pMainView = nullptr;
    std::unique_ptr<CCaptureWnd> m_pOverlay;
    HHOOK m_hKeyboard = nullptr;
    HHOOK m_hMouse = nullptr;
    CBoardCapture m_capture{*this};
};
