// Driving a modal box under test: steps run from whatever modal loop is running, and the box
// found among the test thread's windows by a control it holds.
#pragma once
#include <windows.h>

#include <functional>

namespace modal_steps
{
inline std::function<void()> g_step;
inline void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_step) g_step();
}

struct FindWith
{
    int nChild;
    HWND hFound;
};
inline BOOL CALLBACK MatchWith(HWND h, LPARAM l)
{
    auto* p = reinterpret_cast<FindWith*>(l);
    if (!::IsWindowVisible(h) || !::GetDlgItem(h, p->nChild)) return TRUE;
    p->hFound = h;
    return FALSE;
}
} // namespace modal_steps

// Runs `step` from the message loop of whatever modal box is running, every 100 ms.
struct StepDuringModal
{
    explicit StepDuringModal(std::function<void()> step)
        : nTimer(::SetTimer(nullptr, 0, 100, &modal_steps::StepTimer))
    {
        modal_steps::g_step = std::move(step);
    }
    ~StepDuringModal()
    {
        ::KillTimer(nullptr, nTimer);
        modal_steps::g_step = nullptr;
    }
    UINT_PTR nTimer;
};

// The first visible window of this thread with a child of that id.
inline HWND ThreadWindowWith(int nChild)
{
    modal_steps::FindWith f{nChild, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), &modal_steps::MatchWith, reinterpret_cast<LPARAM>(&f));
    return f.hFound;
}
