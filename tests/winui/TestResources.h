// Loads the tests' resource library (the English language library plus the sample pages) and
// makes it the resource module.
#pragma once
#include "tests/resources/SampleIds.h"
#include "winui/WinApp.h"
#include <objbase.h>
#include <windows.h>

inline HINSTANCE LoadTestResources()
{
    static HINSTANCE hResource = ::LoadLibraryW(QUILLON_RESOURCE_DLL);
    AfxSetResourceHandle(hResource);
    return hResource;
}

// Runs the messages that are waiting, including those that timers post within `ms`.
inline void PumpMessages(DWORD ms = 0)
{
    DWORD end = ::GetTickCount() + ms;
    for (;;)
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            if (!AfxPreTranslateMessage(&msg))
            {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (static_cast<LONG>(::GetTickCount() - end) >= 0) break;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// COM held initialised on the test's thread, for the system's picture loader and controls.
struct ComInit
{
    ComInit() { ::CoInitialize(nullptr); }
    ~ComInit() { ::CoUninitialize(); }
};
