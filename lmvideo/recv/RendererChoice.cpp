// The video engines' renderer choice, in the order of the best picture first.
#include "lmvideo/recv/RendererChoice.h"

namespace
{
bool TryRenderer(CLMObjectPtr<ILMRenderer>& renderer, const S_LMVIDEOMODULE& module,
                 ILMRendererChoiceHost& host, const wchar_t* szFactory, HWND__* hWnd, int32_t nMemoryType,
                 int nInits)
{
    if (!renderer.Create(LM_RENDERER_LIBRARY, szFactory))
    {
        host.OnRendererNotMade();
        return false;
    }
    // Only the DirectDraw renderer is told where to keep its surfaces, and tried more than once.
    if (nInits > 1) renderer->SetMemoryType(nMemoryType);
    for (int i = 0; i < nInits; ++i)
    {
        if (renderer->Init(hWnd))
        {
            module.pRenderers->AddRenderer();
            return true;
        }
        if (nInits > 1) host.WaitBeforeRetry(LM_DDRAW_RETRY_MS);
    }
    renderer.Release();
    return false;
}
} // namespace

ELMRendererChoice LMChooseRenderer(CLMObjectPtr<ILMRenderer>& renderer, const S_LMVIDEOMODULE& module,
                                   ILMRendererChoiceHost& host, HWND__* hWnd, int32_t nMemoryType)
{
    if (LMUseDirect2D(module.version) &&
        TryRenderer(renderer, module, host, LM_FACTORY_D2DRENDERER, hWnd, nMemoryType, 1))
        return ELMRendererChoice::Chosen;
    if (TryRenderer(renderer, module, host, LM_FACTORY_DDRENDERER, hWnd, nMemoryType, LM_DDRAW_INITS))
        return ELMRendererChoice::Chosen;
    if (!renderer.Create(LM_RENDERER_LIBRARY, LM_FACTORY_GDIRENDERER))
    {
        host.OnRendererNotMade();
        return ELMRendererChoice::NoLibrary;
    }
    if (!renderer->Init(hWnd)) return ELMRendererChoice::GdiInitFailed;
    module.pRenderers->AddRenderer();
    return ELMRendererChoice::Chosen;
}
