// The Direct2D renderer: the composed frame drawn as a bitmap on a window render target. Init
// fails, leaving nothing behind, where Direct2D cannot make the target.
#pragma once
#include "lmvideo/renderer/RendererBase.h"

#include <d2d1.h>

class CLMD2DRenderer : public CLMRendererBase
{
public:
    CLMD2DRenderer() : CLMRendererBase(L"LMD2DRenderer") {}
    ~CLMD2DRenderer() override;

    // Makes the render target again when the device was lost.
    int Check() override;

protected:
    int CreateDevice(HWND hWnd) override;
    void FreeDevice() override;
    int Present(const RECT& area) override;

private:
    HRESULT MakeTarget(HWND hWnd);

    HMODULE m_hLibrary = nullptr;
    ID2D1Factory* m_pFactory = nullptr;
    ID2D1HwndRenderTarget* m_pTarget = nullptr;
    ID2D1Bitmap* m_pBitmap = nullptr;
};
