// Board capture: the mode's steps, each giving back what the previous ones took.
#include "confclient/room/BoardCapture.h"

namespace
{
constexpr int kVirtualKeyEscape = 27;
} // namespace

bool CBoardCapture::Start(bool bHasMainView)
{
    if (!bHasMainView || m_bRunning) return false;
    m_host.SetCaptureCursor(true);
    if (!m_host.CreateOverlay())
    {
        m_host.SetCaptureCursor(false);
        return false;
    }
    if (!m_host.InstallHooks())
    {
        m_host.DestroyOverlay();
        m_host.SetCaptureCursor(false);
        return false;
    }
    m_bRunning = true;
    m_bCaptured = false;
    m_bTimerPending = false;
    m_hTarget = 0;
    return true;
}

bool CBoardCapture::OnKey(bool bKeyDown, int nVirtualKey)
{
    if (!m_bRunning || nVirtualKey != kVirtualKeyEscape) return false;
    if (bKeyDown) m_host.PostEnd();
    return true;
}

bool CBoardCapture::OnMouse(MouseEvent ev, uintptr_t hTopWindowUnder, bool bLeftHeld)
{
    if (!m_bRunning) return false;
    if (ev == MOUSE_RIGHT_DOWN || ev == MOUSE_RIGHT_UP)
    {
        if (!m_bCaptured && m_hTarget)
        {
            m_bCaptured = true;
            m_host.ShowOverlayAt(m_host.WindowRect(m_hTarget));
            m_bTimerPending = true;
            m_host.StartCaptureTimer();
        }
        return true;
    }
    if (!bLeftHeld && hTopWindowUnder) m_hTarget = hTopWindowUnder;
    return false;
}

bool CBoardCapture::OnCaptureTimer()
{
    bool bCapture = m_bRunning && m_bTimerPending;
    m_bTimerPending = false;
    return bCapture;
}

void CBoardCapture::OnReport(bool bCaptured)
{
    if (!m_bRunning) return;
    if (bCaptured) m_host.LoadCapturedPage();
    End();
}

void CBoardCapture::End()
{
    if (!m_bRunning) return;
    m_bRunning = false;
    m_host.SetCaptureCursor(false);
    m_host.RemoveHooks();
    m_bCaptured = false;
    m_bTimerPending = false;
    m_hTarget = 0;
    m_host.DestroyOverlay();
    m_host.ShowMainView();
}
