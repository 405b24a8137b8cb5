// The GDI renderer.
#include "lmvideo/renderer/GdiRenderer.h"

#include "confclient/library/LMErrorCodes.h"

CLMGDIRenderer::CLMGDIRenderer(int16_t nBits) : CLMRendererBase(L"LMGDIRenderer"), m_nFixedBits(nBits) {}

int CLMGDIRenderer::CreateDevice(HWND hWnd)
{
    if (m_nFixedBits)
    {
        m_nBits = m_nFixedBits;
        return 1;
    }
    HDC hdc = ::GetDC(hWnd);
    if (!hdc) return Fail(HRESULT_FROM_WIN32(GetLastError()), 20);
    int nScreenBits = GetDeviceCaps(hdc, BITSPIXEL);
    ReleaseDC(hWnd, hdc);
    m_nBits = nScreenBits == 24 ? 24 : (nScreenBits == 15 || nScreenBits == 16) ? 16 : 32;
    return 1;
}

int CLMGDIRenderer::Present(const RECT& area)
{
    HDC hdc = ::GetDC(m_hWnd);
    if (!hdc) return Fail(HRESULT_FROM_WIN32(GetLastError()), 21);
    BOOL bDone = BitBlt(hdc, area.left, area.top, area.right - area.left, area.bottom - area.top,
                        m_composer.GetDC(), area.left, area.top, SRCCOPY);
    ReleaseDC(m_hWnd, hdc);
    if (!bDone) return Fail(E_FAIL, 22, L"BitBlt failed");
    return SetError(0, m_szSource, 23, nullptr);
}

int CLMGDIRenderer::Check()
{
    if (!m_hWnd || !IsWindow(m_hWnd))
        return Fail(LMHResultFromWin32(ERROR_INVALID_WINDOW_HANDLE), 24, L"Invalid window");
    return SetError(0, m_szSource, 25, nullptr);
}
