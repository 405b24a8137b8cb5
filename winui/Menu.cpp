// CMenu: ownership of the menu handle and the text query.
#include "winui/Menu.h"

CMenu::~CMenu()
{
    DestroyMenu();
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (m_hMenu || !hMenu) return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    m_hMenu = nullptr;
    return hMenu;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu) return FALSE;
    BOOL ok = ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    return ok;
}

CString CMenu::GetMenuString(UINT item, UINT flags) const
{
    int n = ::GetMenuStringW(m_hMenu, item, nullptr, 0, flags);
    if (n <= 0) return CString();
    CString text;
    text.resize(static_cast<size_t>(n) + 1);
    n = ::GetMenuStringW(m_hMenu, item, text.data(), n + 1, flags);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}
