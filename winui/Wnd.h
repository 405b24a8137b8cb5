// CWnd: the window wrapper. One virtual entry (WindowProc) routes messages to named handlers;
// notifications of owner-drawn children are reflected to the child's own object.
#pragma once
#include "winui/WString.h"
#include <vector>
#include <windows.h>

class CWnd
{
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object of a window this layer created or subclassed; null for any other window.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Offers a message to the windows it is aimed at, nearest first, up to the top-level window.
    static BOOL WalkPreTranslateTree(MSG* pMsg, std::vector<CWnd*>* pAsked);

    // Creates a window; `this` is attached before the first message arrives.
    BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                  const RECT& rect, HWND hParent, UINT_PTR idOrMenu);
    // Takes over an existing window (a dialog item): its messages go through WindowProc first.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* pParent);
    HWND UnsubclassWindow();
    BOOL DestroyWindow();

    virtual BOOL PreTranslateMessage(MSG* pMsg) { return FALSE; }

    // Thin wrappers.
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendMessageW(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::PostMessageW(m_hWnd, msg, wParam, lParam);
    }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    CString GetWindowText() const { return GetWindowTextString(m_hWnd); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    // Whether the mouse pointer is over the client area now (hover effects poll it).
    BOOL IsCursorInClient() const
    {
        POINT pt;
        RECT client;
        ::GetCursorPos(&pt);
        ::ScreenToClient(m_hWnd, &pt);
        ::GetClientRect(m_hWnd, &client);
        return ::PtInRect(&client, pt);
    }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags)
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    void MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE)
    {
        ::MoveWindow(m_hWnd, x, y, cx, cy, repaint);
    }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    void ModifyStyle(DWORD remove, DWORD add);
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    // Per-window timers: WM_TIMER reaches OnTimer.
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

protected:
    // The one entry of every message; the default routes to the named handlers and reflects
    // child notifications. Derived windows override it for messages of their own.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Default processing of the given message (the window's original procedure).
    virtual LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled now.
    LRESULT Default();

    // A notification of this window reflected from its parent (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
    // WM_MEASUREITEM, WM_CTLCOLOR*); true with *pResult set when handled here.
    virtual BOOL OnChildNotify(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) { return FALSE; }
    // Called before a window is subclassed (style changes belong here).
    virtual void PreSubclassWindow() {}
    // Called after the last message of the window (WM_NCDESTROY); the object may delete itself here.
    virtual void PostNcDestroy() {}

    // Named handlers; each default is the window's default processing.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void OnTimer(UINT_PTR nIDEvent) { Default(); }
    virtual void OnPaint() { Default(); }
    virtual BOOL OnEraseBkgnd(HDC hDC) { return static_cast<BOOL>(Default()); }
    virtual void OnSize(UINT type, int cx, int cy) { Default(); }
    virtual void OnDestroy() { Default(); }
    virtual BOOL OnCopyData(HWND hSender, COPYDATASTRUCT* pData) { return static_cast<BOOL>(Default()); }
    virtual HBRUSH OnCtlColor(HDC hDC, HWND hChild, UINT ctlMsg)
    {
        return reinterpret_cast<HBRUSH>(Default());
    }

    WNDPROC m_pfnSuper = nullptr;
    // Set for a window this object created (destroyed with it), clear for one it took over.
    bool m_bCreated = false;

private:
    friend class CDialog;
    static LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hWnd);
    BOOL ReflectToChild(HWND hChild, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    struct Current
    {
        UINT msg = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
    } m_current;

protected:
    // The window being created on this thread, attached by its first message.
    static thread_local CWnd* t_pWndInit;
};
