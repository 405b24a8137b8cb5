// CWnd: attaching objects to windows, the shared window procedure, routing and reflection.
#include "winui/Wnd.h"

#include <unordered_map>

thread_local CWnd* CWnd::t_pWndInit = nullptr;

namespace
{
// The windows of this layer, each with the object in its user data. Kept in the process, not as a
// window property: every message looks its window up, and reading a property asks the window
// server (a round trip each under Wine), where a map and the user data are read in the process.
class CWindowTable
{
public:
    void Add(HWND hWnd, CWnd* pWnd)
    {
        ::AcquireSRWLockExclusive(&m_lock);
        m_windows[hWnd] = pWnd;
        ::ReleaseSRWLockExclusive(&m_lock);
    }
    void Remove(HWND hWnd)
    {
        ::AcquireSRWLockExclusive(&m_lock);
        m_windows.erase(hWnd);
        ::ReleaseSRWLockExclusive(&m_lock);
    }
    CWnd* Find(HWND hWnd)
    {
        ::AcquireSRWLockShared(&m_lock);
        auto it = m_windows.find(hWnd);
        CWnd* pWnd = it == m_windows.end() ? nullptr : it->second;
        ::ReleaseSRWLockShared(&m_lock);
        return pWnd;
    }

private:
    SRWLOCK m_lock = SRWLOCK_INIT;
    std::unordered_map<HWND, CWnd*> m_windows;
};

// Never destroyed: windows may still go after the process's static objects.
CWindowTable& Windows()
{
    static auto* s_pTable = new CWindowTable;
    return *s_pTable;
}
} // namespace

CWnd::~CWnd()
{
    // A window outliving its object would call into freed memory: a window this object made goes
    // with it, a window it only took over gets its own procedure back.
    if (m_hWnd && ::IsWindow(m_hWnd))
    {
        if (m_bCreated)
            ::DestroyWindow(m_hWnd);
        else
            UnsubclassWindow();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd) return nullptr;
    CWnd* pWnd = Windows().Find(hWnd);
    if (!pWnd || reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA)) != pWnd) return nullptr;
    return pWnd;
}

BOOL CWnd::WalkPreTranslateTree(MSG* pMsg, std::vector<CWnd*>* pAsked)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd))
    {
        if (CWnd* pWnd = FromHandlePermanent(hWnd))
        {
            if (pAsked) pAsked->push_back(pWnd);
            if (pWnd->PreTranslateMessage(pMsg)) return TRUE;
        }
        if (!(::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD)) break;
    }
    return FALSE;
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Windows().Add(hWnd, this);
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                    const RECT& rect, HWND hParent, UINT_PTR idOrMenu)
{
    t_pWndInit = this;
    HWND hWnd = ::CreateWindowExW(exStyle, className, windowName, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, hParent,
                                  reinterpret_cast<HMENU>(idOrMenu), ::GetModuleHandleW(nullptr), nullptr);
    t_pWndInit = nullptr;
    if (!hWnd) return FALSE;
    // A window of a class with its own procedure (a common control) is taken over after creation.
    if (m_hWnd != hWnd && !SubclassWindow(hWnd))
    {
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    m_bCreated = true;
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    m_hWnd = hWnd;
    PreSubclassWindow();
    Attach(hWnd);
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWndProc)));
    return m_pfnSuper != nullptr;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* pParent)
{
    return pParent && SubclassWindow(::GetDlgItem(pParent->m_hWnd, id));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (!hWnd) return nullptr;
    if (m_pfnSuper) ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Windows().Remove(hWnd);
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    m_hWnd = nullptr;
    m_bCreated = false;
    return hWnd;
}

BOOL CWnd::DestroyWindow()
{
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

void CWnd::ModifyStyle(DWORD remove, DWORD add)
{
    DWORD style = (GetStyle() & ~remove) | add;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(style));
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd && t_pWndInit)
    {
        pWnd = t_pWndInit;
        t_pWndInit = nullptr;
        pWnd->Attach(hWnd);
    }
    if (!pWnd) return ::DefWindowProcW(hWnd, msg, wParam, lParam);

    LRESULT result = 0;
    Current saved = pWnd->m_current;
    pWnd->m_current = Current{msg, wParam, lParam};
    try
    {
        result = pWnd->WindowProc(msg, wParam, lParam);
    }
    catch (...)
    {
        // No exception may unwind through the system's code; the message counts as handled.
        result = 0;
    }
    // A handler may have destroyed the window and a PostNcDestroy deleted its object:
    // only a window that is still attached is touched again.
    if (msg != WM_NCDESTROY && FromHandlePermanent(hWnd) != pWnd) return result;
    pWnd->m_current = saved;

    if (msg == WM_NCDESTROY)
    {
        pWnd->UnsubclassWindow();
        pWnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, msg, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_current.msg, m_current.wParam, m_current.lParam);
}

BOOL CWnd::ReflectToChild(HWND hChild, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* pChild = FromHandlePermanent(hChild);
    return pChild && pChild != this && pChild->OnChildNotify(msg, wParam, lParam, pResult);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return FALSE;
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (msg)
    {
    case WM_COMMAND:
        if (lParam && ReflectToChild(reinterpret_cast<HWND>(lParam), msg, wParam, lParam, &result))
            return result;
        if (OnCommand(wParam, lParam)) return 0;
        break;
    case WM_NOTIFY:
    {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr && ReflectToChild(hdr->hwndFrom, msg, wParam, lParam, &result)) return result;
        if (OnNotify(wParam, lParam, &result)) return result;
        break;
    }
    case WM_DRAWITEM:
    {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (dis && dis->CtlType != ODT_MENU && ReflectToChild(dis->hwndItem, msg, wParam, lParam, &result))
            return TRUE;
        break;
    }
    case WM_MEASUREITEM:
    {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (mis && mis->CtlType != ODT_MENU &&
            ReflectToChild(::GetDlgItem(m_hWnd, static_cast<int>(mis->CtlID)), msg, wParam, lParam, &result))
            return TRUE;
        break;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
        if (ReflectToChild(reinterpret_cast<HWND>(lParam), msg, wParam, lParam, &result) && result)
            return result;
        return reinterpret_cast<LRESULT>(
            OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), msg));
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<COPYDATASTRUCT*>(lParam));
    default:
        break;
    }
    return DefWindowProc(msg, wParam, lParam);
}
