// CMenu: an owned menu handle with thin wrappers; owner-drawn menus override DrawItem and MeasureItem.
#pragma once
#include "winui/WString.h"
#include <windows.h>

class CMenu
{
public:
    CMenu() = default;
    // Destroys the menu it holds.
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }

    BOOL CreateMenu() { return Attach(::CreateMenu()); }
    BOOL CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
    // Takes ownership of a handle; false when one is held already or the handle is null.
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    BOOL DestroyMenu();

    // `pItem` is the text, or the item data with MF_OWNERDRAW, as the platform takes it.
    BOOL AppendMenu(UINT flags, UINT_PTR id, const wchar_t* pItem)
    {
        return ::AppendMenuW(m_hMenu, flags, id, pItem);
    }
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id, const wchar_t* pItem)
    {
        return ::ModifyMenuW(m_hMenu, position, flags, id, pItem);
    }
    BOOL RemoveMenu(UINT position, UINT flags) { return ::RemoveMenu(m_hMenu, position, flags); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    UINT GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }
    HMENU GetSubMenu(int position) const { return ::GetSubMenu(m_hMenu, position); }
    UINT CheckMenuItem(UINT id, UINT check) { return ::CheckMenuItem(m_hMenu, id, check); }
    BOOL EnableMenuItem(UINT id, UINT enable) { return ::EnableMenuItem(m_hMenu, id, enable); }
    // The item's text as the platform holds it (empty for an owner-drawn item).
    CString GetMenuString(UINT item, UINT flags) const;
    // Shows the menu as a popup at screen (x, y) for `hOwner`; with TPM_RETURNCMD the chosen id.
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND hOwner) const
    {
        return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, hOwner, nullptr);
    }

    // Owner drawing of the items, forwarded by the owner window's WM_DRAWITEM and WM_MEASUREITEM.
    virtual void DrawItem(DRAWITEMSTRUCT* pDIS) {}
    virtual void MeasureItem(MEASUREITEMSTRUCT* pMIS) {}
};
