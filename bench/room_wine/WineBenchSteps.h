// What the room window's Wine benchmarks share: a clock in milliseconds, percentiles, the
// message pump, and a message hook counting each window's paints and erases.
#pragma once
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <vector>

using BenchClock = std::chrono::steady_clock;

inline double Ms(BenchClock::time_point t0, BenchClock::time_point t1)
{
    return std::chrono::duration<double, std::milli>(t1 - t0).count();
}

inline double Percentile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

inline void Pump()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Counts, per window, the WM_PAINT (sent or taken from the queue) and WM_ERASEBKGND messages of
// this thread while it lives.
class CPaintCounter
{
public:
    CPaintCounter()
    {
        s_pThis = this;
        m_hSent = ::SetWindowsHookExW(WH_CALLWNDPROC, &OnSent, nullptr, ::GetCurrentThreadId());
        m_hPosted = ::SetWindowsHookExW(WH_GETMESSAGE, &OnPosted, nullptr, ::GetCurrentThreadId());
    }
    ~CPaintCounter()
    {
        ::UnhookWindowsHookEx(m_hSent);
        ::UnhookWindowsHookEx(m_hPosted);
        s_pThis = nullptr;
    }
    void Clear()
    {
        paints.clear();
        erases.clear();
    }
    // The most paints or erases of one window other than hSkip since the last Clear.
    static int Most(const std::map<HWND, int>& counts, HWND hSkip)
    {
        int n = 0;
        for (const auto& [hWnd, c] : counts)
            if (hWnd != hSkip) n = std::max(n, c);
        return n;
    }
    std::map<HWND, int> paints, erases;

private:
    static LRESULT CALLBACK OnSent(int nCode, WPARAM wParam, LPARAM lParam)
    {
        const auto* p = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (nCode == HC_ACTION && p->message == WM_PAINT) ++s_pThis->paints[p->hwnd];
        if (nCode == HC_ACTION && p->message == WM_ERASEBKGND) ++s_pThis->erases[p->hwnd];
        return ::CallNextHookEx(s_pThis->m_hSent, nCode, wParam, lParam);
    }
    static LRESULT CALLBACK OnPosted(int nCode, WPARAM wParam, LPARAM lParam)
    {
        const auto* p = reinterpret_cast<const MSG*>(lParam);
        if (nCode == HC_ACTION && wParam == PM_REMOVE && p->message == WM_PAINT) ++s_pThis->paints[p->hwnd];
        return ::CallNextHookEx(s_pThis->m_hPosted, nCode, wParam, lParam);
    }
    static inline CPaintCounter* s_pThis = nullptr;
    HHOOK m_hSent = nullptr, m_hPosted = nullptr;
};
