// The DirectDraw renderer: the composed frame blitted to the primary surface through a clipper
// on the window. Init fails, leaving nothing behind, where DirectDraw cannot be had.
#pragma once
#include "lmvideo/renderer/RendererBase.h"

#include <ddraw.h>

class CLMDDRenderer : public CLMRendererBase
{
public:
    CLMDDRenderer() : CLMRendererBase(L"LMDDRenderer") {}
    ~CLMDDRenderer() override;

    // Restores lost surfaces.
    int Check() override;

protected:
    int CreateDevice(HWND hWnd) override;
    void FreeDevice() override;
    int Present(const RECT& area) override;

private:
    bool MakeBackSurface(int cx, int cy, HRESULT& hr);

    HMODULE m_hLibrary = nullptr;
    IDirectDraw7* m_pDirectDraw = nullptr;
    IDirectDrawSurface7* m_pPrimary = nullptr;
    IDirectDrawClipper* m_pClipper = nullptr;
    IDirectDrawSurface7* m_pBack = nullptr;
    int m_nBackCx = 0, m_nBackCy = 0;
};
