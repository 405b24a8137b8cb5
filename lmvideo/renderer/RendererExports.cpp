// The renderer library's three factories, exported undecorated by name.
#include "lmvideo/renderer/D2DRenderer.h"
#include "lmvideo/renderer/DDrawRenderer.h"
#include "lmvideo/renderer/GdiRenderer.h"

#include <new>

extern "C" __declspec(dllexport) ILMObject* GetLMGDIRenderer()
{
    return static_cast<CLMRendererBase*>(new (std::nothrow) CLMGDIRenderer);
}

extern "C" __declspec(dllexport) ILMObject* GetLMDDRenderer()
{
    return static_cast<CLMRendererBase*>(new (std::nothrow) CLMDDRenderer);
}

extern "C" __declspec(dllexport) ILMObject* GetLMD2DRenderer()
{
    return static_cast<CLMRendererBase*>(new (std::nothrow) CLMD2DRenderer);
}
