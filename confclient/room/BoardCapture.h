// Board capture as a mode: the pointer picks a window, a right click captures its rectangle into
// a new board page, Escape gives up. The mode owns the capture cursor, the two hooks and the
// overlay, and gives all of them back on every way out.
#pragma once
#include <cstdint>

struct S_CAPRECT
{
    int x = 0, y = 0, cx = 0, cy = 0;
    bool operator==(const S_CAPRECT&) const = default;
};

// What the mode asks of the system, the overlay and the board.
class ICaptureHost
{
public:
    virtual ~ICaptureHost() = default;
    // The capture cursor replaces the system arrow (true), or the system cursors come back.
    virtual void SetCaptureCursor(bool bOn) = 0;
    // The low-level keyboard and mouse hooks; false when they cannot be installed.
    virtual bool InstallHooks() = 0;
    virtual void RemoveHooks() = 0;
    // The hidden overlay window that captures; false when it cannot be made.
    virtual bool CreateOverlay() = 0;
    virtual void DestroyOverlay() = 0;
    // The rectangle of a top-level window (screen coordinates).
    virtual S_CAPRECT WindowRect(uintptr_t hWindow) const = 0;
    // The overlay moves onto the rectangle and is shown there (message 0x40A).
    virtual void ShowOverlayAt(const S_CAPRECT& rc) = 0;
    // In 200 ms the overlay is told to capture (message 0x40B): never waited for inside a hook.
    virtual void StartCaptureTimer() = 0;
    // Tells the bar to end the mode (message 0x405, wParam 0), from inside a hook.
    virtual void PostEnd() = 0;
    // The captured picture becomes a new board page (Load with no path, mode 7, count 1).
    virtual void LoadCapturedPage() = 0;
    virtual void ShowMainView() = 0;
};

class CBoardCapture
{
public:
    explicit CBoardCapture(ICaptureHost& host) : m_host(host) {}
    // Ends a running capture: the cursor and the hooks never outlive the mode.
    ~CBoardCapture() { End(); }

    // Starts the mode; false without a room main view, while a capture runs, or when the hooks
    // or the overlay cannot be had (then nothing is left changed).
    bool Start(bool bHasMainView);
    bool Running() const { return m_bRunning; }

    // A key from the keyboard hook; true to swallow it. Escape pressed ends the mode.
    bool OnKey(bool bKeyDown, int nVirtualKey);
    enum MouseEvent : uint8_t
    {
        MOUSE_MOVE,
        MOUSE_RIGHT_DOWN,
        MOUSE_RIGHT_UP,
        MOUSE_OTHER,
    };
    // A mouse event from the mouse hook with the top-level window under the pointer; true to
    // swallow it. The first right button event captures that window's rectangle.
    bool OnMouse(MouseEvent ev, uintptr_t hTopWindowUnder, bool bLeftHeld);
    // The 200-ms timer after the overlay was placed: whether the overlay is to capture now.
    bool OnCaptureTimer();
    // The overlay's report (message 0x405): lParam 1 loads the picture; the mode ends either way.
    void OnReport(bool bCaptured);
    // Escape, the room closed, the bar gone: the mode ends without a page.
    void End();
    uintptr_t Target() const { return m_hTarget; }

private:
    ICaptureHost& m_host;
    bool m_bRunning = false;
    bool m_bCaptured = false;
    bool m_bTimerPending = false;
    uintptr_t m_hTarget = 0;
};
