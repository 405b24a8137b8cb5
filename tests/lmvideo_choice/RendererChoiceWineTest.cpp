// The receive control's renderer choice under Wine, with a logging stand-in of LMRendererU.dll
// beside the program. The Windows version the program runs as (Wine's per-program setting, read at
// start, so each version runs in a child process) decides whether Direct2D is tried; DirectDraw
// gets five tries 20 ms apart; GDI comes last. The last release through WM_USER+2 and a lost
// surface reach every top-level window; a re-choice or the control's end broadcast nothing.
#include "comkit/ControlHost.h"
#include "comkit/DispatchTable.h"
#include "lmvideo/module/LMVideoGuids.h"
#include "tests/comkit/Regsvr32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace
{
constexpr DISPID ID_INIT = 7, ID_GET_LAST_ERROR_CODE = 9, ID_GET_LOADER = 13;
const wchar_t kAppKey[] = L"Software\\Wine\\AppDefaults\\lmvideo_choice_tests.exe";
const wchar_t kChildVersion[] = L"QUILLON_CHOICE_VERSION";

using ScriptFn = void (*)(int, int, int, int32_t);
using LogFn = int (*)(wchar_t*, int);
using GapFn = double (*)();

// The registered messages with wParam and lParam 0 that a top-level window receives.
std::vector<UINT> g_heard;

LRESULT CALLBACK HearProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg >= 0xC000 && nMsg <= 0xFFFF && wParam == 0 && lParam == 0) g_heard.push_back(nMsg);
    return DefWindowProcW(hWnd, nMsg, wParam, lParam);
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

template <class F> bool PumpUntil(F condition)
{
    const ULONGLONG tEnd = GetTickCount64() + 10000;
    while (!condition())
    {
        if (GetTickCount64() > tEnd) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        Pump();
    }
    return true;
}

size_t Heard(const wchar_t* szName)
{
    const UINT nMsg = RegisterWindowMessageW(szName);
    size_t n = 0;
    for (UINT heard : g_heard)
        n += heard == nMsg;
    return n;
}

// Runs this program again as the given Windows version, only the child test; its exit code.
DWORD RunChild(const wchar_t* szVersion)
{
    HKEY hKey = nullptr;
    EXPECT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, kAppKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hKey, nullptr),
        ERROR_SUCCESS);
    RegSetValueExW(hKey, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(szVersion),
                   static_cast<DWORD>((wcslen(szVersion) + 1) * sizeof(wchar_t)));
    RegCloseKey(hKey);

    wchar_t szPath[MAX_PATH];
    GetModuleFileNameW(nullptr, szPath, MAX_PATH);
    std::wstring command =
        L"\"" + std::wstring(szPath) +
        L"\" --gtest_also_run_disabled_tests --gtest_filter=RendererChoice.DISABLED_AsChild";
    SetEnvironmentVariableW(kChildVersion, szVersion);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    DWORD dwExit = 99;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
    {
        if (WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &dwExit);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    SetEnvironmentVariableW(kChildVersion, nullptr);
    RegDeleteKeyW(HKEY_CURRENT_USER, kAppKey);
    return dwExit;
}

void RunRegistered(const wchar_t* szVersion)
{
    const std::wstring ocx = L"\"" + TestFolder() + L"\\LMVideoU.ocx\"";
    ASSERT_EQ(RunRegsvr32(L"/s " + ocx), 0);
    EXPECT_EQ(RunChild(szVersion), 0u) << "the child's failures are above";
    EXPECT_EQ(RunRegsvr32(L"/u /s " + ocx), 0);
}

std::wstring CallText(IDispatch* pDisp, DISPID dispid)
{
    CVar result;
    EXPECT_EQ(DispInvoke(pDisp, dispid, DISPATCH_METHOD, result.Ptr(), nullptr, 0), S_OK);
    std::wstring text;
    result.ToString(text);
    return text;
}

long CallInit(IDispatch* pDisp, short nMemoryType)
{
    CVar result, arg(nMemoryType);
    EXPECT_EQ(DispInvoke(pDisp, ID_INIT, DISPATCH_METHOD, result.Ptr(), arg.Ptr(), 1), S_OK);
    long n = 0;
    result.ToLong(n);
    return n;
}

std::string Narrow(const std::wstring& s)
{
    return std::string(s.begin(), s.end());
}
} // namespace

TEST(RendererChoice, AsWindows7)
{
    RunRegistered(L"win7");
}

TEST(RendererChoice, AsWindows10)
{
    RunRegistered(L"win10");
}

// In the child: the version it runs as came from Wine's per-program setting.
TEST(RendererChoice, DISABLED_AsChild)
{
    wchar_t szVersion[16] = {};
    GetEnvironmentVariableW(kChildVersion, szVersion, 16);
    const bool bDirect2D = std::wstring(szVersion) == L"win7";
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    HMODULE hRenderers = LoadLibraryW(L"LMRendererU.dll"); // the stand-in beside the program
    ASSERT_NE(hRenderers, nullptr);
    auto script =
        reinterpret_cast<ScriptFn>(reinterpret_cast<void (*)()>(GetProcAddress(hRenderers, "ChoiceScript")));
    auto log = reinterpret_cast<LogFn>(reinterpret_cast<void (*)()>(GetProcAddress(hRenderers, "ChoiceLog")));
    auto gap = reinterpret_cast<GapFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(hRenderers, "ChoiceShortestDDGap")));
    ASSERT_TRUE(script && log && gap);
    auto calls = [&]
    {
        wchar_t sz[1024];
        log(sz, 1024);
        return std::wstring(sz);
    };

    WNDCLASSW wc{};
    wc.lpfnWndProc = HearProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LMVideoChoiceWatcher";
    ASSERT_TRUE(RegisterClassW(&wc));
    HWND hWatcher = CreateWindowExW(0, wc.lpszClassName, L"watcher", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                    nullptr, wc.hInstance, nullptr);
    HWND hHost = CreateWindowExW(0, L"STATIC", L"host", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 176, 144, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_TRUE(hWatcher && hHost);
    {
        CControlHost host;
        ASSERT_EQ(host.Create(kRecvProgId, hHost, RECT{0, 0, 176, 144}), S_OK);
        IDispatch* pDisp = host.Dispatch();
        HWND hControl = host.ControlWindow();

        // Direct2D and DirectDraw cannot start: GDI is the last choice.
        script(-1, -1, 0, 0);
        EXPECT_EQ(CallInit(pDisp, 3), -1);
        EXPECT_EQ(calls(),
                  std::wstring(bDirect2D ? L"D2D.Init;D2D.Destroy;" : L"") +
                      L"DD.SetMemoryType 3;DD.Init;DD.Init;DD.Init;DD.Init;DD.Init;DD.Destroy;GDI.Init;");
        EXPECT_GE(gap(), 15.0) << "DirectDraw is tried again after a pause";
        EXPECT_EQ(CallText(pDisp, ID_GET_LOADER), L"GDI");

        // Chosen again on the container's message: the best one that starts now.
        script(0, 0, 0, 0);
        PostMessageW(hControl, kRecvChooseRenderer, 1, 0);
        ASSERT_TRUE(PumpUntil([&] { return CallText(pDisp, ID_GET_LOADER) != L"GDI"; }));
        EXPECT_EQ(CallText(pDisp, ID_GET_LOADER), bDirect2D ? L"D2D" : L"DDraw");
        EXPECT_EQ(Narrow(calls()),
                  Narrow(bDirect2D ? L"GDI.Destroy;D2D.Init;" : L"GDI.Destroy;DD.SetMemoryType 1;DD.Init;"));

        // The last release asks every window to set its video up again.
        PostMessageW(hControl, kRecvReleaseRenderer, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return Heard(L"REINIT ALL LMVIDEO") == 1; }));
        EXPECT_EQ(CallText(pDisp, ID_GET_LOADER), L"");

        // A lost surface found on a display change asks every window to clear its video.
        script(0, 0, 0, static_cast<int32_t>(0x8876017C));
        EXPECT_EQ(CallInit(pDisp, 0), -1);
        SendMessageW(hControl, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
        ASSERT_TRUE(PumpUntil([&] { return Heard(L"CLEAR ALL LMVIDEO") == 1; }));
        CVar code;
        ASSERT_EQ(DispInvoke(pDisp, ID_GET_LAST_ERROR_CODE, DISPATCH_METHOD, code.Ptr(), nullptr, 0), S_OK);
        EXPECT_EQ(static_cast<uint32_t>(code.Get().lVal), 0x8876017Cu);
        host.Destroy(); // releases without a broadcast
    }
    constexpr UINT kStop = WM_APP + 9;
    PostMessageW(hWatcher, kStop, 0, 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && !(msg.hwnd == hWatcher && msg.message == kStop))
        DispatchMessageW(&msg);
    EXPECT_EQ(Heard(L"REINIT ALL LMVIDEO"), 1u);
    EXPECT_EQ(Heard(L"CLEAR ALL LMVIDEO"), 1u);
    DestroyWindow(hHost);
    DestroyWindow(hWatcher);
    CoUninitialize();
}
