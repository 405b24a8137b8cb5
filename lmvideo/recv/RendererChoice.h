// The video engines' renderer choice: Direct2D where the system allows it, then DirectDraw with a
// few tries, then GDI, each an object of the renderer library made by name.
#pragma once
#include "confclient/library/LMObjectPtr.h"
#include "confclient/library/LMRenderer.h"
#include "lmvideo/module/LMVideoRules.h"

#include <cstdint>

inline constexpr const wchar_t* LM_RENDERER_LIBRARY = L"LMRendererU.dll";
inline constexpr const wchar_t* LM_FACTORY_D2DRENDERER = L"GetLMD2DRenderer";
inline constexpr const wchar_t* LM_FACTORY_DDRENDERER = L"GetLMDDRenderer";
inline constexpr const wchar_t* LM_FACTORY_GDIRENDERER = L"GetLMGDIRenderer";

// What an engine uses of its module: the renderer count with its broadcasts, the Windows version
// class, and the loader of every object (null for the platform's).
struct S_LMVIDEOMODULE
{
    CLMRendererCount* pRenderers;
    S_LMWINDOWSVERSION version;
    ILMLibraryLoader* pLoader;
};

// The engine's side of a choice.
class ILMRendererChoiceHost
{
public:
    // Waits before the next DirectDraw try.
    virtual void WaitBeforeRetry(uint32_t nMilliseconds) = 0;
    // A renderer could not be made; the thread's last error says why.
    virtual void OnRendererNotMade() = 0;

protected:
    ~ILMRendererChoiceHost() = default;
};

enum class ELMRendererChoice
{
    Chosen,        // the holder keeps an initialised renderer, counted in the module
    NoLibrary,     // the GDI renderer could not be made (reported to the host)
    GdiInitFailed, // the holder keeps the GDI renderer that could not start: its error says why
};

inline constexpr int LM_DDRAW_INITS = 5;
inline constexpr uint32_t LM_DDRAW_RETRY_MS = 20;

// Chooses into an empty holder.
ELMRendererChoice LMChooseRenderer(CLMObjectPtr<ILMRenderer>& renderer, const S_LMVIDEOMODULE& module,
                                   ILMRendererChoiceHost& host, HWND__* hWnd, int32_t nMemoryType);
