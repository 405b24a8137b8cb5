// Times each of the bar's five menus and its layout picture menu from the button's press to the
// menu standing painted (the menu loop's first idle, WM_ENTERIDLE), beside a plain system-drawn
// menu of the same items built and tracked from the same window, in alternating rounds; then the
// slide from one open menu to the next button's; then counts, by a message hook, what a bar
// resize paints. Prints medians, 95th percentiles and ratios.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "resources/ResourceIds.h"
#include "bench/room_wine/WineBenchSteps.h"
#include "tests/roomwin/FakeRoomHost.h"
#include "winui/WinApp.h"

namespace
{
constexpr int kRounds = 60;
using Clock = BenchClock;

// The menu loop's first idle on this thread: its time; the open menu then ends, or, for a slide,
// the pointer moves onto the next button once.
Clock::time_point g_tIdle;
int g_nIdles = 0;
HWND g_hSlideTo = nullptr;
Clock::time_point g_tSlide;
HHOOK g_hHook = nullptr;

LRESULT CALLBACK OnSentMessage(int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto* p = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (nCode == HC_ACTION && p->message == WM_ENTERIDLE && p->wParam == MSGF_MENU)
    {
        g_tIdle = Clock::now();
        ++g_nIdles;
        if (g_hSlideTo && g_nIdles == 1)
        {
            RECT rc{};
            ::GetWindowRect(g_hSlideTo, &rc);
            ::SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
            g_tSlide = Clock::now();
            ::PostMessageW(reinterpret_cast<HWND>(p->lParam), WM_MOUSEMOVE, 0, 0);
        }
        else
            ::EndMenu();
    }
    return ::CallNextHookEx(g_hHook, nCode, wParam, lParam);
}

// The plain menu: the same ids and texts, system-drawn, sub-menus as plain pop-ups.
HMENU PlainMenu(const std::vector<S_MENUITEM>& items, const IRoomHost& host)
{
    HMENU hMenu = ::CreatePopupMenu();
    for (const S_MENUITEM& m : items)
    {
        const std::wstring szText = m.szKey.empty() ? L"" : host.RoomText(m.szKey.c_str());
        if (m.kind == MENU_SEPARATOR)
            ::AppendMenuW(hMenu, MF_SEPARATOR, 0, nullptr);
        else if (m.kind == MENU_POPUP)
            ::AppendMenuW(hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(PlainMenu(m.sub, host)),
                          szText.c_str());
        else
            ::AppendMenuW(hMenu, MF_STRING | (m.bEnabled ? 0u : MF_GRAYED), static_cast<UINT_PTR>(m.nId),
                          szText.c_str());
    }
    return hMenu;
}

// The layout menu's plain twin: one text item per layout, breaking where the picture menu does.
HMENU PlainLayoutMenu(const std::vector<S_LAYOUTITEM>& items)
{
    HMENU hMenu = ::CreatePopupMenu();
    for (const S_LAYOUTITEM& i : items)
        ::AppendMenuW(hMenu, MF_STRING | (i.bMenuBreak ? MF_MENUBREAK : 0u),
                      static_cast<UINT_PTR>(i.item.nCommand),
                      (L"Layout " + std::to_wstring(i.item.wLayout)).c_str());
    return hMenu;
}

struct Series
{
    const char* pszName;
    std::vector<double> bar, plain;
};

void Print(const Series& s)
{
    const double p50 = Percentile(s.bar, 0.5), p95 = Percentile(s.bar, 0.95);
    const double q50 = Percentile(s.plain, 0.5), q95 = Percentile(s.plain, 0.95);
    std::printf(
        "%-8s bar p50 %6.2f ms p95 %6.2f ms | plain p50 %6.2f ms p95 %6.2f ms | ratio p50 %.2f p95 %.2f\n",
        s.pszName, p50, p95, q50, q95, p50 / q50, p95 / q95);
}

} // namespace

int main()
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    HINSTANCE hResource = ::LoadLibraryW(QUILLON_RESOURCE_DLL);
    if (!hResource) return 1;
    AfxSetResourceHandle(hResource);

    FakeRoomHost host;
    host.conditions.bControlRight = host.conditions.bDrawRight = host.conditions.bMediaShareRight = true;
    host.conditions.szInviteAddress = u"http://invite.test";
    host.conditions.bInviteAllowed = host.conditions.bPhoneCalls = true;
    host.bControlRight = true;
    for (const S_CONFMENU& m : LayoutTable())
        host.options.push_back({m.wLayout, 49});
    CRoomMainViewDlg mainView;
    CRoomCtrlDlg bar(&host);
    if (!mainView.Create(nullptr) || !bar.Create(&mainView)) return 1;
    bar.SetMainView(&mainView);
    mainView.SetPane(PANE_CTRLBAR, &bar);
    mainView.MoveWindow(0, 0, 1280, 720);
    mainView.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(mainView.m_hWnd);
    Pump();

    const S_MENUCONDITIONS& c = host.conditions;
    struct Drop
    {
        const char* pszName;
        int nButton;
        std::vector<S_MENUITEM> items; // empty: the layout menu
    } drops[] = {
        {"File", IDC_ROOMCTRL_MENU_FILE, FileMenu(c)},       {"View", IDC_ROOMCTRL_MENU_VIEW, ViewMenu(c)},
        {"Draw", IDC_ROOMCTRL_MENU_DRAW, DrawMenu()},        {"Tool", IDC_ROOMCTRL_MENU_TOOL, ToolMenu(c)},
        {"Invite", IDC_ROOMCTRL_MENU_INVITE, InviteMenu(c)}, {"Layout", IDC_ROOMCTRL_LAYOUT, {}}};
    g_hHook = ::SetWindowsHookExW(WH_CALLWNDPROC, &OnSentMessage, nullptr, ::GetCurrentThreadId());
    // The pointer away from the bar, where no slide starts.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    std::vector<Series> results;
    for (const Drop& d : drops)
    {
        Series s{d.pszName, {}, {}};
        const std::vector<S_LAYOUTITEM> layouts =
            LayoutMenuOrder(OfferedLayouts([](uint16_t) { return true; }));
        RECT rc{};
        ::GetWindowRect(bar.GetDlgItem(d.nButton), &rc);
        for (int r = 0; r < kRounds; ++r)
        {
            g_nIdles = 0;
            Clock::time_point t0 = Clock::now();
            bar.SendMessage(WM_COMMAND, MAKEWPARAM(d.nButton, BN_CLICKED),
                            reinterpret_cast<LPARAM>(bar.GetDlgItem(d.nButton)));
            if (g_nIdles == 1) s.bar.push_back(Ms(t0, g_tIdle));
            Pump();

            g_nIdles = 0;
            t0 = Clock::now();
            HMENU hPlain = d.items.empty() ? PlainLayoutMenu(layouts) : PlainMenu(d.items, host);
            ::TrackPopupMenu(hPlain, TPM_RIGHTBUTTON | TPM_RETURNCMD, rc.left, rc.bottom - 2, 0, bar.m_hWnd,
                             nullptr);
            ::DestroyMenu(hPlain);
            if (g_nIdles == 1) s.plain.push_back(Ms(t0, g_tIdle));
            Pump();
        }
        if (s.bar.empty() || s.plain.empty())
        {
            std::printf("%s: the menu never stood open\n", d.pszName);
            return 2;
        }
        results.push_back(s);
    }
    for (const Series& s : results)
        Print(s);

    // The slide: File open, the pointer onto View; from the move to View's menu standing painted.
    std::vector<double> slides;
    g_hSlideTo = bar.GetDlgItem(IDC_ROOMCTRL_MENU_VIEW);
    for (int r = 0; r < kRounds; ++r)
    {
        ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
        g_nIdles = 0;
        bar.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_ROOMCTRL_MENU_FILE, BN_CLICKED),
                        reinterpret_cast<LPARAM>(bar.GetDlgItem(IDC_ROOMCTRL_MENU_FILE)));
        if (g_nIdles == 2) slides.push_back(Ms(g_tSlide, g_tIdle));
        Pump();
    }
    g_hSlideTo = nullptr;
    ::UnhookWindowsHookEx(g_hHook);
    if (slides.empty())
    {
        std::printf("slide: the next menu never dropped\n");
        return 2;
    }
    std::printf("slide    p50 %6.2f ms p95 %6.2f ms (%zu of %d)\n", Percentile(slides, 0.5),
                Percentile(slides, 0.95), slides.size(), kRounds);

    // A resize of the bar, step by step as a border drag gives it: per step, the most any one
    // control was painted and erased.
    CPaintCounter counter;
    int nMostPaints = 0, nMostErases = 0, nSteps = 0;
    std::vector<double> resizes;
    for (int cx = 1240; cx >= 800; cx -= 8, ++nSteps)
    {
        counter.Clear();
        Clock::time_point t0 = Clock::now();
        bar.SetWindowPos(nullptr, 0, 0, cx, 60, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
        Pump();
        resizes.push_back(Ms(t0, Clock::now()));
        nMostPaints = std::max(nMostPaints, CPaintCounter::Most(counter.paints, bar.m_hWnd));
        nMostErases = std::max(nMostErases, CPaintCounter::Most(counter.erases, bar.m_hWnd));
    }
    std::printf(
        "resize   %d steps, p50 %.2f ms p95 %.2f ms; most paints of one control in a step %d, erases %d\n",
        nSteps, Percentile(resizes, 0.5), Percentile(resizes, 0.95), nMostPaints, nMostErases);
    bar.DestroyWindow();
    mainView.DestroyWindow();
    return 0;
}
