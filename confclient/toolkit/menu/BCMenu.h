// BCMenu: the owner-drawn popup menu. Items carry a text, a command id and an image from the image
// list all menus share; the owner forwards WM_MEASUREITEM and WM_DRAWITEM of its menus here.
#pragma once
#include "winui/Menu.h"
#include <memory>
#include <vector>

// One item's record, the item data of its owner-drawn platform item.
class BCMenuData
{
public:
    CString m_szMenuText;
    // Index in the shared image list; -1 for none.
    int m_nImageIndex = -1;
    // The flags of the append (always with owner-draw).
    UINT m_nFlags = 0;
    // The command id; for a popup item its menu handle.
    UINT_PTR m_nID = 0;
};

class BCMenu : public CMenu
{
public:
    // Colours given as this are derived from the system colours.
    static constexpr COLORREF kDerived = 0xFFFFFFFF;

    BCMenu() = default;
    // Frees the records and the child menus, then destroys the menu.
    ~BCMenu() override;

    void DrawItem(DRAWITEMSTRUCT* pDIS) override;
    void MeasureItem(MEASUREITEMSTRUCT* pMIS) override;
    // Builds the whole menu from a menu template of the resource module (else of the program);
    // false, with no items, when the template is missing or broken or the menu cannot be made.
    virtual BOOL LoadMenu(UINT nIDResource);
    virtual BOOL LoadMenu(const wchar_t* pszResourceName);
    virtual BOOL DestroyMenu();

    // Appends an owner-drawn item. Id 0 makes a separator. With `nImage` below 0 the item shows the
    // image its command id already has; else `nImage` names a toolbar resource holding the command's
    // image. With MF_POPUP the id is a menu handle. Creates the popup menu when none is held yet.
    BOOL AppendMenu(UINT nFlags, UINT_PTR nID = 0, const wchar_t* pszText = nullptr, int nImage = -1);
    BOOL AppendMenu(const wchar_t* pszText, UINT nFlags, UINT_PTR nID, int nImage = -1)
    {
        return AppendMenu(nFlags, nID, pszText, nImage);
    }
    // Appends a child menu, owned by this one, as a popup item; null when it cannot be made.
    BCMenu* AppendPopupMenu(const wchar_t* pszText);
    // Changes the text and image of the item with that command id, here or in a sub-menu.
    BOOL ModifyItem(const wchar_t* pszText, UINT nID, int nImage = -1);
    // Removes an item by command id (here or, depth first, in a sub-menu) or, with MF_BYPOSITION, by
    // position here; its record goes and, for a popup, its child menu.
    BOOL RemoveItem(UINT nItem, UINT nFlags = MF_BYCOMMAND);
    // True for a sub-menu made or appended through any BCMenu of the process.
    static BOOL IsOwnMenu(HMENU hMenu);
    // Makes every item of the platform menu owner-drawn with a record of its own, sub-menus too.
    void SynchronizeMenu();

    // The record of a command id here or in a sub-menu; null when none.
    BCMenuData* FindData(UINT nID);
    // The child menu holding a popup handle; null when it is not one of this menu's children.
    BCMenu* FindChild(HMENU hMenu) const;

    std::vector<std::unique_ptr<BCMenuData>> m_MenuList;
    std::vector<HMENU> m_SubMenus;
    std::vector<std::unique_ptr<BCMenu>> m_Children;
    COLORREF m_crBitmapBackground = 0xF5F5F5;
    BOOL m_bUseBackgroundColour = TRUE;
    BOOL m_bChild = FALSE;
    COLORREF m_crSelection = kDerived;
    COLORREF m_crDisabled = kDerived;
    BOOL m_bIconMode = FALSE;
    BOOL m_bAutoSynchronize = FALSE;

private:
    bool CreateIfNeeded();
    int ImageFor(UINT_PTR nID, int nImage) const;
    BCMenuData* OwnRecord(ULONG_PTR itemData) const;
    BCMenuData* FindRecord(ULONG_PTR itemData) const;
    BCMenu* MakeChild(HMENU hMenu);
    void RemoveAt(int nPos);
    void DrawFlat(HDC hDC, const DRAWITEMSTRUCT& dis, const BCMenuData& data);
    void DrawRaised(HDC hDC, const DRAWITEMSTRUCT& dis, const BCMenuData& data);
};
