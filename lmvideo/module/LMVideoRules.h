// The video control module's portable rules: the Windows version class, the codec factory table,
// the module-wide renderer count with its broadcast, and the engines' error reporter.
#pragma once
#include "confclient/library/LMObjectImpl.h"

#include <atomic>
#include <cstdint>

// The two registered window messages the module posts to every top-level window.
inline constexpr const wchar_t* LMVIDEO_MSG_CLEAR = L"CLEAR ALL LMVIDEO";
inline constexpr const wchar_t* LMVIDEO_MSG_REINIT = L"REINIT ALL LMVIDEO";

// Posts a registered message (wParam 0, lParam 0) to all top-level windows.
class ILMVideoBroadcaster
{
public:
    virtual void Broadcast(const wchar_t* szMessageName) = 0;

protected:
    ~ILMVideoBroadcaster() = default;
};

// The fields of the running system's extended version information that the class depends on.
struct S_LMOSVERSION
{
    uint32_t nMajor;
    uint32_t nMinor;
    uint16_t wServicePackMajor;
    uint16_t wSuiteMask;
    bool bWorkstation; // product type VER_NT_WORKSTATION
    bool bX64;         // the processor is x64
    int nServerR2;     // the SM_SERVERR2 system metric
};

// The class and the service pack it came with (0 when the version could not be read).
struct S_LMWINDOWSVERSION
{
    int32_t nClass;
    uint16_t wServicePackMajor;
};

// 0..9 for the known systems of versions 5.0 to 6.1; -1 for any other version, and for a
// system whose version could not be read (pass null).
S_LMWINDOWSVERSION LMClassifyWindowsVersion(const S_LMOSVERSION* pVersion);
// A Direct2D renderer is tried above class 6, or at class 6 with service pack 2 or later.
bool LMUseDirect2D(const S_LMWINDOWSVERSION& version);

// The factory of a codec type (taken as 16 bits); null for a type without one.
const wchar_t* LMCodecFactoryName(int32_t nType);

// Renderer objects initialised and not yet released, over all controls of the process.
class CLMRendererCount
{
public:
    explicit CLMRendererCount(ILMVideoBroadcaster& broadcaster) : m_broadcaster(broadcaster) {}
    void AddRenderer() { ++m_nRenderers; }
    // Releasing the last renderer with bBroadcast set posts "REINIT ALL LMVIDEO".
    void RemoveRenderer(int bBroadcast);
    // Posts "CLEAR ALL LMVIDEO".
    void BroadcastClear() { m_broadcaster.Broadcast(LMVIDEO_MSG_CLEAR); }
    int32_t GetCount() const { return m_nRenderers; }

private:
    ILMVideoBroadcaster& m_broadcaster;
    std::atomic<int32_t> m_nRenderers{0};
};

// The engines' error reporter: records nCode on the engine and returns SetError's result (1 for
// 0). A code without text gets "DShowERR" in the DirectX facility 0x876, else its system text;
// the lost-surface code 0x8876017C also asks every window to clear its video.
int LMReportEngineError(CLMObjectImpl& engine, CLMRendererCount& module, int32_t nCode, const wchar_t* szFile,
                        int nLine, const wchar_t* szText);
