// The video control library under Wine: regsvr32 registers and unregisters its type library, both
// broadcasts reach a top-level window.
#include "lmvideo/module/LMVideoApp.h"
#include "tests/comkit/Regsvr32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace
{
const wchar_t kLibKey[] = L"TypeLib\\{4E542701-3154-4048-8960-68262FC58278}\\1.0";

bool KeyExists(const wchar_t* szKey)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, szKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
    RegCloseKey(hKey);
    return true;
}

// Remembers the registered messages a top-level window receives, up to a stop message.
std::vector<UINT> g_received;
constexpr UINT kStop = WM_APP + 7;

LRESULT CALLBACK RecordProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg >= 0xC000 && nMsg <= 0xFFFF && wParam == 0 && lParam == 0) g_received.push_back(nMsg);
    return DefWindowProcW(hWnd, nMsg, wParam, lParam);
}
} // namespace

TEST(LMVideoOcx, Regsvr32RoundTripOfTheTypeLibrary)
{
    std::wstring path = L"\"" + TestFolder() + L"\\LMVideoU.ocx\"";
    ASSERT_EQ(RunRegsvr32(L"/s " + path), 0);
    EXPECT_TRUE(KeyExists(kLibKey));
    for (const wchar_t* szInterface : {L"Interface\\{2F78B9C8-59B5-456B-BDB3-A691A339149F}",
                                       L"Interface\\{E6B85113-0BA7-4D2C-A4B4-D715167DE409}",
                                       L"Interface\\{F352A21F-B9E8-40AF-8204-CCF278ABEE30}",
                                       L"Interface\\{EB9F27B7-B91D-4F06-9E35-8C74DD94E335}"})
        EXPECT_TRUE(KeyExists(szInterface)) << szInterface;
    EXPECT_EQ(RunRegsvr32(L"/u /s " + path), 0);
    EXPECT_FALSE(KeyExists(kLibKey));
}

TEST(LMVideoOcx, BothBroadcastsReachATopLevelWindow)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LMVideoBroadcastWatcher";
    ASSERT_TRUE(RegisterClassW(&wc));
    HWND hWnd = CreateWindowExW(0, wc.lpszClassName, L"watcher", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(hWnd);

    CLMVideoApp& app = LMVideoApp();
    app.AddRenderer();
    app.RemoveRenderer(1);
    app.BroadcastClear();
    // Posted after the broadcasts from this thread, so it arrives after them.
    PostMessageW(hWnd, kStop, 0, 0);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0 && !(msg.hwnd == hWnd && msg.message == kStop))
        DispatchMessageW(&msg);

    std::vector<UINT> expected = {RegisterWindowMessageW(L"REINIT ALL LMVIDEO"),
                                  RegisterWindowMessageW(L"CLEAR ALL LMVIDEO")};
    EXPECT_EQ(g_received, expected);
    DestroyWindow(hWnd);
    UnregisterClassW(wc.lpszClassName, wc.hInstance);
}
