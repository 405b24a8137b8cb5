// A stand-in for LMRendererU.dll beside the renderer-choice test: the three factories make
// renderers that log their calls and whose Init and Check answer as the test scripts them.
#include "confclient/library/LMObjectImpl.h"
#include "confclient/library/LMRenderer.h"

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace
{
std::mutex g_lock;
std::wstring g_log;
std::vector<LONGLONG> g_ddInits; // when each DirectDraw Init was called, in counter ticks
int g_nFailures[3] = {};         // Init failures left for D2D, DD and GDI (-1: always)
int32_t g_nCheckCode = 0;

void Log(const std::wstring& line)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_log += line + L";";
}

LONGLONG Now()
{
    LARGE_INTEGER n;
    QueryPerformanceCounter(&n);
    return n.QuadPart;
}

class CChoiceRenderer : public CLMObjectImpl, public ILMRenderer
{
public:
    CChoiceRenderer(int nKind, const wchar_t* szName) : m_nKind(nKind), m_name(szName) {}
    ~CChoiceRenderer() override { Log(m_name + L".Destroy"); }
    int Init(HWND__*) override
    {
        Log(m_name + L".Init");
        if (m_nKind == 1)
        {
            std::lock_guard<std::mutex> guard(g_lock);
            g_ddInits.push_back(Now());
        }
        int& nFailures = g_nFailures[m_nKind];
        if (nFailures == 0) return 1;
        if (nFailures > 0) --nFailures;
        return SetError(static_cast<int32_t>(0x80004005), L"Choice", 1, L"scripted failure");
    }
    int Redraw(int32_t, int32_t, int32_t, int32_t) override { return 1; }
    int Draw(int32_t, const uint8_t*, int32_t, int32_t) override { return SetError(0, nullptr, 0, nullptr); }
    int Resize(int32_t, int32_t) override { return 1; }
    int Reset(int32_t) override { return 1; }
    HWND__* GetWindow() override { return nullptr; }
    int Check() override
    {
        Log(m_name + L".Check");
        return g_nCheckCode == 0 ? 1 : SetError(g_nCheckCode, L"Choice", 2, nullptr);
    }
    int16_t GetBitsPerPixel() override { return 32; }
    int SetMemoryType(int32_t nType) override
    {
        return Log(m_name + L".SetMemoryType " + std::to_wstring(nType)), 1;
    }
    int32_t GetMemoryType() override { return 0; }
    int SetName(const wchar_t*) override { return 1; }
    int SetNameVisible(int) override { return 1; }
    int SetPeakLevel(int16_t) override { return 1; }
    int SetPeakMeterVisible(int) override { return 1; }
    int SetFont(const wchar_t*, int16_t, int16_t) override { return 1; }
    int SetNameBigger(int) override { return 1; }
    int SetPosition(int16_t) override { return 1; }

private:
    int m_nKind;
    std::wstring m_name;
};
} // namespace

extern "C" __declspec(dllexport) ILMObject* GetLMD2DRenderer()
{
    return new CChoiceRenderer(0, L"D2D");
}

extern "C" __declspec(dllexport) ILMObject* GetLMDDRenderer()
{
    return new CChoiceRenderer(1, L"DD");
}

extern "C" __declspec(dllexport) ILMObject* GetLMGDIRenderer()
{
    return new CChoiceRenderer(2, L"GDI");
}

// Sets how many Init calls of each kind fail (-1: all) and what Check answers; clears the log.
extern "C" __declspec(dllexport) void ChoiceScript(int nD2D, int nDD, int nGDI, int32_t nCheckCode)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_nFailures[0] = nD2D;
    g_nFailures[1] = nDD;
    g_nFailures[2] = nGDI;
    g_nCheckCode = nCheckCode;
    g_log.clear();
    g_ddInits.clear();
}

// The calls since the last script, each ended by ';'.
extern "C" __declspec(dllexport) int ChoiceLog(wchar_t* szOut, int nMax)
{
    std::lock_guard<std::mutex> guard(g_lock);
    if (nMax <= 0) return 0;
    const int n = static_cast<int>(std::min<size_t>(g_log.size(), static_cast<size_t>(nMax - 1)));
    g_log.copy(szOut, static_cast<size_t>(n));
    szOut[n] = 0;
    return n;
}

// The shortest gap between two DirectDraw Init calls in milliseconds; -1 with fewer than two.
extern "C" __declspec(dllexport) double ChoiceShortestDDGap()
{
    std::lock_guard<std::mutex> guard(g_lock);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    double dShortest = -1;
    for (size_t i = 1; i < g_ddInits.size(); ++i)
    {
        const double d = static_cast<double>(g_ddInits[i] - g_ddInits[i - 1]) * 1000.0 / frequency.QuadPart;
        if (dShortest < 0 || d < dShortest) dShortest = d;
    }
    return dShortest;
}
