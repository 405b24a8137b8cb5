// The application object and the current resource module.
#include "winui/WinApp.h"
#include "winui/Wnd.h"
#include <algorithm>

namespace
{
CWinApp* g_pApp = nullptr;
HINSTANCE g_hResource = nullptr;
} // namespace

CWinApp::CWinApp() : m_hInstance(::GetModuleHandleW(nullptr))
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
}

void CWinApp::AddModeless(CWnd* pWnd)
{
    if (pWnd && std::find(m_modeless.begin(), m_modeless.end(), pWnd) == m_modeless.end())
        m_modeless.push_back(pWnd);
}

void CWinApp::RemoveModeless(CWnd* pWnd)
{
    m_modeless.erase(std::remove(m_modeless.begin(), m_modeless.end(), pWnd), m_modeless.end());
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    std::vector<CWnd*> asked;
    if (CWnd::WalkPreTranslateTree(pMsg, &asked)) return TRUE;
    // A handler may unregister a window, so walk a copy.
    std::vector<CWnd*> modeless = m_modeless;
    for (CWnd* pWnd : modeless)
    {
        if (std::find(asked.begin(), asked.end(), pWnd) != asked.end()) continue;
        if (std::find(m_modeless.begin(), m_modeless.end(), pWnd) == m_modeless.end()) continue;
        if (pWnd->GetSafeHwnd() && pWnd->PreTranslateMessage(pMsg)) return TRUE;
    }
    return FALSE;
}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    return g_pApp ? g_pApp->PreTranslateMessage(pMsg) : CWnd::WalkPreTranslateTree(pMsg, nullptr);
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp ? g_pApp->m_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_hResource ? g_hResource : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hResource)
{
    g_hResource = hResource;
}
