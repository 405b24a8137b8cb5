// The Direct2D renderer.
#include "lmvideo/renderer/D2DRenderer.h"

#include "confclient/library/LMErrorCodes.h"

namespace
{
using D2D1CreateFactoryFn = HRESULT(WINAPI*)(D2D1_FACTORY_TYPE, REFIID, const D2D1_FACTORY_OPTIONS*, void**);
} // namespace

CLMD2DRenderer::~CLMD2DRenderer()
{
    FreeDevice();
}

void CLMD2DRenderer::FreeDevice()
{
    ReleaseAndClear(m_pBitmap);
    ReleaseAndClear(m_pTarget);
    ReleaseAndClear(m_pFactory);
    if (m_hLibrary) FreeLibrary(m_hLibrary);
    m_hLibrary = nullptr;
}

HRESULT CLMD2DRenderer::MakeTarget(HWND hWnd)
{
    RECT client{};
    GetClientRect(hWnd, &client);
    D2D1_RENDER_TARGET_PROPERTIES properties{};
    properties.type = D2D1_RENDER_TARGET_TYPE_DEFAULT;
    properties.pixelFormat = {DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE};
    D2D1_HWND_RENDER_TARGET_PROPERTIES window{};
    window.hwnd = hWnd;
    window.pixelSize = {static_cast<UINT32>(client.right), static_cast<UINT32>(client.bottom)};
    window.presentOptions = D2D1_PRESENT_OPTIONS_NONE;
    return m_pFactory->CreateHwndRenderTarget(&properties, &window, &m_pTarget);
}

int CLMD2DRenderer::CreateDevice(HWND hWnd)
{
    m_hLibrary = LoadLibraryW(L"d2d1.dll");
    if (!m_hLibrary) return Fail(HRESULT_FROM_WIN32(GetLastError()), 40);
    auto pCreate = reinterpret_cast<D2D1CreateFactoryFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(m_hLibrary, "D2D1CreateFactory")));
    HRESULT hr = pCreate ? pCreate(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), nullptr,
                                   reinterpret_cast<void**>(&m_pFactory))
                         : HRESULT_FROM_WIN32(GetLastError());
    if (SUCCEEDED(hr)) hr = MakeTarget(hWnd);
    if (FAILED(hr))
    {
        FreeDevice();
        return Fail(hr, 41);
    }
    m_nBits = 32;
    return 1;
}

int CLMD2DRenderer::Present(const RECT& area)
{
    if (!m_pTarget)
        return Fail(static_cast<int32_t>(D2DERR_RECREATE_TARGET), 42, L"The render target was lost");
    UINT32 cx = m_composer.GetWidth(), cy = m_composer.GetHeight();
    D2D1_SIZE_U size = {cx, cy};
    if (m_pTarget->GetPixelSize().width != cx || m_pTarget->GetPixelSize().height != cy)
    {
        ReleaseAndClear(m_pBitmap);
        HRESULT hr = m_pTarget->Resize(&size);
        if (FAILED(hr)) return Fail(hr, 43);
    }
    if (!m_pBitmap)
    {
        D2D1_BITMAP_PROPERTIES properties{{DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_IGNORE}, 96.0f, 96.0f};
        HRESULT hr = m_pTarget->CreateBitmap(size, nullptr, 0, &properties, &m_pBitmap);
        if (FAILED(hr)) return Fail(hr, 44);
    }
    HRESULT hr = m_pBitmap->CopyFromMemory(nullptr, m_composer.GetBits(), cx * 4);
    if (FAILED(hr)) return Fail(hr, 45);
    D2D1_RECT_F rect{static_cast<float>(area.left), static_cast<float>(area.top),
                     static_cast<float>(area.right), static_cast<float>(area.bottom)};
    m_pTarget->BeginDraw();
    m_pTarget->DrawBitmap(m_pBitmap, &rect, 1.0f, D2D1_BITMAP_INTERPOLATION_MODE_NEAREST_NEIGHBOR, &rect);
    hr = m_pTarget->EndDraw(nullptr, nullptr);
    if (hr == static_cast<HRESULT>(D2DERR_RECREATE_TARGET))
    {
        // The device went away: Check makes the target again.
        ReleaseAndClear(m_pBitmap);
        ReleaseAndClear(m_pTarget);
    }
    if (FAILED(hr)) return Fail(hr, 46);
    return SetError(0, m_szSource, 47, nullptr);
}

int CLMD2DRenderer::Check()
{
    if (!m_pFactory) return Fail(LM_E_NOTINITIALIZED, 48, L"The object is not initialized.");
    if (m_pTarget) return SetError(0, m_szSource, 49, nullptr);
    HRESULT hr = MakeTarget(m_hWnd);
    if (FAILED(hr)) return Fail(hr, 50);
    return SetError(0, m_szSource, 51, nullptr);
}
