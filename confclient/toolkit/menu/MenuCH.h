// CMenuCH: an owner-drawn popup menu of pictures: each item a normal and a hot bitmap of the
// resource module, all items of one size, optionally in columns (an item with MF_MENUBREAK
// starts a new one). The owner forwards WM_MEASUREITEM and WM_DRAWITEM of its items here.
#pragma once
#include "winui/Menu.h"
#include <vector>

class CMenuCH : public CMenu
{
public:
    CMenuCH() = default;
    ~CMenuCH() override;
    // Item size in pixels.
    void SetMenuItemSize(int cx, int cy)
    {
        m_cx = cx;
        m_cy = cy;
    }
    // Appends a picture item; false when the menu cannot be made or grown.
    BOOL AppendPicture(UINT nCommand, UINT nBitmap, UINT nHotBitmap, bool bMenuBreak);
    void MeasureItem(MEASUREITEMSTRUCT* pMIS);
    void DrawItem(DRAWITEMSTRUCT* pDIS);
    // Whether the owner-drawn item belongs to this menu.
    bool Owns(ULONG_PTR itemData) const;

private:
    struct Item
    {
        UINT nCommand;
        HBITMAP hNormal;
        HBITMAP hHot;
    };
    std::vector<Item> m_items;
    int m_cx = 70;
    int m_cy = 65;
};
