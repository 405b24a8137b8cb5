// The video control library's application object on Windows.
#include "lmvideo/module/LMVideoApp.h"

#include <windows.h>

void CLMVideoApp::Broadcast(const wchar_t* szMessageName)
{
    UINT nMessage = RegisterWindowMessageW(szMessageName);
    if (nMessage) PostMessageW(HWND_BROADCAST, nMessage, 0, 0);
}

S_LMWINDOWSVERSION CLMVideoApp::GetWindowsVersionClass()
{
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return LMClassifyWindowsVersion(nullptr);
    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    S_LMOSVERSION version{};
    version.nMajor = info.dwMajorVersion;
    version.nMinor = info.dwMinorVersion;
    version.wServicePackMajor = info.wServicePackMajor;
    version.wSuiteMask = info.wSuiteMask;
    version.bWorkstation = info.wProductType == VER_NT_WORKSTATION;
    version.bX64 = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
    version.nServerR2 = GetSystemMetrics(SM_SERVERR2);
    return LMClassifyWindowsVersion(&version);
}

CLMVideoApp& LMVideoApp()
{
    static CLMVideoApp app;
    return app;
}
