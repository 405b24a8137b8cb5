// The GDI renderer: the composed frame copied into the window's DC; works on every system.
#pragma once
#include "lmvideo/renderer/RendererBase.h"

class CLMGDIRenderer : public CLMRendererBase
{
public:
    // nBits 0 takes the screen's depth at Init (32, 24, or 16 for 15 or 16 bits).
    explicit CLMGDIRenderer(int16_t nBits = 0);
    ~CLMGDIRenderer() override = default;

    int Check() override;

protected:
    int CreateDevice(HWND hWnd) override;
    void FreeDevice() override {}
    int Present(const RECT& area) override;

private:
    int16_t m_nFixedBits;
};
