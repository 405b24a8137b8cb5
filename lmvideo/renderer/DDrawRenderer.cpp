// The DirectDraw renderer.
#include "lmvideo/renderer/DDrawRenderer.h"

#include "confclient/library/LMErrorCodes.h"

namespace
{
using DirectDrawCreateExFn = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);

// Memory type 1 asks for surfaces in system memory, 2 in video memory; others let DirectDraw choose.
DWORD MemoryCaps(int32_t nMemoryType)
{
    return nMemoryType == 1 ? DDSCAPS_SYSTEMMEMORY : nMemoryType == 2 ? DDSCAPS_VIDEOMEMORY : 0;
}
} // namespace

CLMDDRenderer::~CLMDDRenderer()
{
    FreeDevice();
}

void CLMDDRenderer::FreeDevice()
{
    ReleaseAndClear(m_pBack);
    if (m_pPrimary) m_pPrimary->SetClipper(nullptr);
    ReleaseAndClear(m_pClipper);
    ReleaseAndClear(m_pPrimary);
    ReleaseAndClear(m_pDirectDraw);
    if (m_hLibrary) FreeLibrary(m_hLibrary);
    m_hLibrary = nullptr;
    m_nBackCx = m_nBackCy = 0;
}

int CLMDDRenderer::CreateDevice(HWND hWnd)
{
    m_hLibrary = LoadLibraryW(L"ddraw.dll");
    if (!m_hLibrary) return Fail(HRESULT_FROM_WIN32(GetLastError()), 30);
    auto pCreate = reinterpret_cast<DirectDrawCreateExFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(m_hLibrary, "DirectDrawCreateEx")));
    HRESULT hr = pCreate
                     ? pCreate(nullptr, reinterpret_cast<void**>(&m_pDirectDraw), IID_IDirectDraw7, nullptr)
                     : HRESULT_FROM_WIN32(GetLastError());
    if (SUCCEEDED(hr)) hr = m_pDirectDraw->SetCooperativeLevel(hWnd, DDSCL_NORMAL);
    if (SUCCEEDED(hr))
    {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        hr = m_pDirectDraw->CreateSurface(&desc, &m_pPrimary, nullptr);
    }
    if (SUCCEEDED(hr)) hr = m_pDirectDraw->CreateClipper(0, &m_pClipper, nullptr);
    if (SUCCEEDED(hr)) hr = m_pClipper->SetHWnd(0, hWnd);
    if (SUCCEEDED(hr)) hr = m_pPrimary->SetClipper(m_pClipper);
    DDPIXELFORMAT format{};
    format.dwSize = sizeof format;
    if (SUCCEEDED(hr)) hr = m_pPrimary->GetPixelFormat(&format);
    if (SUCCEEDED(hr) && format.dwRGBBitCount != 32 && format.dwRGBBitCount != 24 &&
        format.dwRGBBitCount != 16)
        hr = DDERR_INVALIDPIXELFORMAT;
    if (FAILED(hr))
    {
        FreeDevice();
        return Fail(hr, 31);
    }
    m_nBits = static_cast<int16_t>(format.dwRGBBitCount);
    return 1;
}

bool CLMDDRenderer::MakeBackSurface(int cx, int cy, HRESULT& hr)
{
    hr = S_OK;
    if (m_pBack && cx == m_nBackCx && cy == m_nBackCy) return true;
    ReleaseAndClear(m_pBack);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = cx;
    desc.dwHeight = cy;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | MemoryCaps(m_nMemoryType);
    hr = m_pDirectDraw->CreateSurface(&desc, &m_pBack, nullptr);
    if (FAILED(hr)) return false;
    m_nBackCx = cx;
    m_nBackCy = cy;
    return true;
}

int CLMDDRenderer::Present(const RECT& area)
{
    HRESULT hr;
    if (!MakeBackSurface(m_composer.GetWidth(), m_composer.GetHeight(), hr)) return Fail(hr, 32);
    HDC hdc = nullptr;
    hr = m_pBack->GetDC(&hdc);
    if (FAILED(hr)) return Fail(hr, 33);
    BitBlt(hdc, area.left, area.top, area.right - area.left, area.bottom - area.top, m_composer.GetDC(),
           area.left, area.top, SRCCOPY);
    m_pBack->ReleaseDC(hdc);
    // The primary surface is the whole screen: the window's client area is found on it.
    POINT origin{0, 0};
    ClientToScreen(m_hWnd, &origin);
    RECT target{origin.x + area.left, origin.y + area.top, origin.x + area.right, origin.y + area.bottom};
    RECT source = area;
    hr = m_pPrimary->Blt(&target, m_pBack, &source, DDBLT_WAIT, nullptr);
    if (FAILED(hr)) return Fail(hr, 34);
    return SetError(0, m_szSource, 35, nullptr);
}

int CLMDDRenderer::Check()
{
    if (!m_pDirectDraw) return Fail(LM_E_NOTINITIALIZED, 36, L"The object is not initialized.");
    HRESULT hr = m_pPrimary->IsLost();
    if (hr == DDERR_SURFACELOST) hr = m_pDirectDraw->RestoreAllSurfaces();
    if (FAILED(hr)) return Fail(hr, 37);
    return SetError(0, m_szSource, 38, nullptr);
}
