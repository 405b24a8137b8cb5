// The video control library's application object: the module-wide renderer count, the two
// broadcasts, the Windows version class and the codec factory names, for the engines of the
// controls in this library.
#pragma once
#include "lmvideo/module/LMVideoRules.h"

class CLMVideoApp : private ILMVideoBroadcaster
{
public:
    CLMVideoApp() : m_renderers(*this) {}

    void AddRenderer() { m_renderers.AddRenderer(); }
    void RemoveRenderer(int bBroadcast) { m_renderers.RemoveRenderer(bBroadcast); }
    void BroadcastClear() { m_renderers.BroadcastClear(); }
    CLMRendererCount& GetRendererCount() { return m_renderers; }

    // The running system's class; -1 and service pack 0 when its version cannot be read.
    static S_LMWINDOWSVERSION GetWindowsVersionClass();
    static const wchar_t* CodecFactoryName(int32_t nType) { return LMCodecFactoryName(nType); }

private:
    // Registers the message name now and posts it to every top-level window.
    void Broadcast(const wchar_t* szMessageName) override;

    CLMRendererCount m_renderers;
};

// The one application object of the library.
CLMVideoApp& LMVideoApp();
