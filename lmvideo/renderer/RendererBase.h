// What the three renderers share: the window, the checks of every call, the last picture, the
// overlays and the composed frame; each renderer makes its device and presents the frame.
#pragma once
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMRenderer.h"
#include "lmvideo/renderer/FrameComposer.h"
#include "lmvideo/renderer/OverlayState.h"

#include <windows.h>

// Releases a device interface the renderer holds and forgets it.
template <class T> void ReleaseAndClear(T*& p)
{
    if (p) p->Release();
    p = nullptr;
}

class CLMRendererBase : public CLMObjectImpl, public ILMRenderer
{
public:
    int Init(HWND hWnd) override;
    int Redraw(int32_t nLeft, int32_t nTop, int32_t nRight, int32_t nBottom) override;
    int Draw(int32_t nBytes, const uint8_t* pData, int32_t nWidth, int32_t nHeight) override;
    int Resize(int32_t cx, int32_t cy) override;
    int Reset(int32_t nFlags) override;
    HWND GetWindow() override { return m_hWnd; }
    int16_t GetBitsPerPixel() override { return m_nBits; }
    int SetMemoryType(int32_t nMemoryType) override;
    int32_t GetMemoryType() override { return m_nMemoryType; }
    int SetName(const wchar_t* szName) override;
    int SetNameVisible(int bVisible) override;
    int SetPeakLevel(int16_t nLevel) override;
    int SetPeakMeterVisible(int bVisible) override;
    int SetFont(const wchar_t* szFace, int16_t nSize, int16_t nBigSize) override;
    int SetNameBigger(int bBigger) override;
    int SetPosition(int16_t nPosition) override;

protected:
    explicit CLMRendererBase(const wchar_t* szSource) : m_szSource(szSource) {}

    // Makes the device for the window; on failure records the error, frees all it made and
    // returns 0. m_nBits must hold the picture depth afterwards.
    virtual int CreateDevice(HWND hWnd) = 0;
    // Frees the device; called before another Init and at destruction by the derived class.
    virtual void FreeDevice() = 0;
    // Shows the composed frame's rectangle in the window.
    virtual int Present(const RECT& area) = 0;

    int Fail(int32_t nCode, int nLine, const wchar_t* szText);
    int Fail(HRESULT hr, int nLine);
    int ShowFrame(const RECT* pArea);

    const wchar_t* m_szSource;
    HWND m_hWnd = nullptr;
    int16_t m_nBits = 32;
    int32_t m_nMemoryType = 0;
    int m_cx = 0, m_cy = 0;
    CFrameComposer m_composer;
    COverlayState m_overlay;
};
