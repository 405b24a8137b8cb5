// BCMenu: appending, changing and removing items, loading from templates, synchronising with the
// platform menu.
#include "confclient/toolkit/menu/BCMenu.h"
#include "confclient/toolkit/menu/BCMenuShared.h"
#include "confclient/toolkit/menu/ToolbarImage.h"
#include "confclient/toolkit/menurules/MenuResources.h"
#include "winui/WinApp.h"
#include <algorithm>

namespace
{
constexpr UINT kTemplateEnd = 0x80;

struct ItemInfo
{
    UINT nType = 0;
    UINT nState = 0;
    UINT nID = 0;
    HMENU hSubMenu = nullptr;
    ULONG_PTR data = 0;
};

bool GetItem(HMENU hMenu, int nPos, ItemInfo& item)
{
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    if (!::GetMenuItemInfoW(hMenu, static_cast<UINT>(nPos), TRUE, &mii)) return false;
    item = ItemInfo{mii.fType, mii.fState, mii.wID, mii.hSubMenu, mii.dwItemData};
    return true;
}

// Makes the item at `nPos` owner-drawn with `pData`, keeping its state and other type bits.
BOOL SetOwnerDrawn(HMENU hMenu, int nPos, UINT nType, BCMenuData* pData)
{
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    mii.fType = (nType & ~static_cast<UINT>(MFT_BITMAP)) | MFT_OWNERDRAW;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(pData);
    return ::SetMenuItemInfoW(hMenu, static_cast<UINT>(nPos), TRUE, &mii);
}

// The record flags of a platform item: its type and state as menu flags, owner-drawn.
UINT RecordFlags(const ItemInfo& item)
{
    UINT flags = MF_OWNERDRAW | (item.nState & (MF_CHECKED | MF_GRAYED | MF_DISABLED)) |
                 (item.nType & (MF_SEPARATOR | MF_MENUBREAK | MF_MENUBARBREAK));
    if (item.hSubMenu) flags |= MF_POPUP;
    return flags;
}

void AddTemplateItems(BCMenu& menu, const std::vector<MenuTemplateItem>& items)
{
    for (const MenuTemplateItem& item : items)
    {
        std::wstring text(item.text.begin(), item.text.end());
        if (item.nFlags & MF_POPUP)
        {
            if (BCMenu* pChild = menu.AppendPopupMenu(text.c_str())) AddTemplateItems(*pChild, item.children);
        }
        else
            menu.AppendMenu(item.nFlags & ~(kTemplateEnd | MF_POPUP), item.nId, text.c_str());
    }
}
} // namespace

BCMenu::~BCMenu()
{
    DestroyMenu();
}

BOOL BCMenu::DestroyMenu()
{
    // The children's popups are taken out first, so that the platform does not destroy them a second
    // time with this menu; each child then destroys its own.
    for (int nPos = m_hMenu ? GetMenuItemCount() - 1 : -1; nPos >= 0; --nPos)
        if (FindChild(GetSubMenu(nPos))) ::RemoveMenu(m_hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
    m_Children.clear();
    for (HMENU hSub : m_SubMenus)
        BCMenuUnregisterSubMenu(hSub);
    m_SubMenus.clear();
    m_MenuList.clear();
    if (!m_hMenu) return FALSE;
    BCMenuUnregisterSubMenu(m_hMenu);
    return CMenu::DestroyMenu();
}

bool BCMenu::CreateIfNeeded()
{
    return m_hMenu || CreatePopupMenu();
}

int BCMenu::ImageFor(UINT_PTR nID, int nImage) const
{
    UINT nCommand = static_cast<UINT>(nID);
    if (nImage < 0) return BCMenuSharedImages().IndexOf(nCommand);
    ToolbarImageOptions options;
    options.bUseButtonFace = m_bUseBackgroundColour;
    options.crBackground = m_crBitmapBackground;
    options.bExtraImages = BCMenuExtraImages();
    options.bIconMode = m_bIconMode;
    return LoadToolbarImage(static_cast<UINT>(nImage), nCommand, options);
}

BOOL BCMenu::AppendMenu(UINT nFlags, UINT_PTR nID, const wchar_t* pszText, int nImage)
{
    if (!CreateIfNeeded()) return FALSE;
    nFlags = AppendFlags(nFlags, nID);
    auto pData = std::make_unique<BCMenuData>();
    pData->m_szMenuText = pszText;
    if (!(nFlags & (MF_SEPARATOR | MF_POPUP))) pData->m_nImageIndex = ImageFor(nID, nImage);
    pData->m_nFlags = nFlags;
    pData->m_nID = nID;
    BOOL ok = CMenu::AppendMenu(nFlags, nID, reinterpret_cast<const wchar_t*>(pData.get()));
    if (ok)
    {
        m_MenuList.push_back(std::move(pData));
        if (nFlags & MF_POPUP)
        {
            HMENU hSub = reinterpret_cast<HMENU>(nID);
            BCMenuRegisterSubMenu(hSub);
            if (std::find(m_SubMenus.begin(), m_SubMenus.end(), hSub) == m_SubMenus.end())
                m_SubMenus.push_back(hSub);
        }
    }
    if (m_bAutoSynchronize) SynchronizeMenu();
    return ok;
}

BCMenu* BCMenu::MakeChild(HMENU hMenu)
{
    auto pChild = std::make_unique<BCMenu>();
    pChild->m_crSelection = m_crSelection;
    pChild->m_crDisabled = m_crDisabled;
    pChild->m_crBitmapBackground = m_crBitmapBackground;
    pChild->m_bChild = TRUE;
    if (hMenu ? !pChild->Attach(hMenu) : !pChild->CreatePopupMenu()) return nullptr;
    m_Children.push_back(std::move(pChild));
    return m_Children.back().get();
}

BCMenu* BCMenu::AppendPopupMenu(const wchar_t* pszText)
{
    if (!CreateIfNeeded()) return nullptr;
    BCMenu* pChild = MakeChild(nullptr);
    if (!pChild) return nullptr;
    if (!AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(pChild->m_hMenu), pszText))
    {
        m_Children.pop_back();
        return nullptr;
    }
    return pChild;
}

BCMenu* BCMenu::FindChild(HMENU hMenu) const
{
    if (!hMenu) return nullptr;
    for (const auto& pChild : m_Children)
        if (pChild->m_hMenu == hMenu) return pChild.get();
    return nullptr;
}

BCMenuData* BCMenu::OwnRecord(ULONG_PTR itemData) const
{
    for (const auto& pData : m_MenuList)
        if (reinterpret_cast<ULONG_PTR>(pData.get()) == itemData) return pData.get();
    return nullptr;
}

BCMenuData* BCMenu::FindRecord(ULONG_PTR itemData) const
{
    if (BCMenuData* pData = OwnRecord(itemData)) return pData;
    for (const auto& pChild : m_Children)
        if (BCMenuData* pData = pChild->FindRecord(itemData)) return pData;
    return nullptr;
}

BCMenuData* BCMenu::FindData(UINT nID)
{
    for (const auto& pData : m_MenuList)
        if (pData->m_nID == nID && !(pData->m_nFlags & (MF_POPUP | MF_SEPARATOR))) return pData.get();
    for (const auto& pChild : m_Children)
        if (BCMenuData* pData = pChild->FindData(nID)) return pData;
    return nullptr;
}

BOOL BCMenu::ModifyItem(const wchar_t* pszText, UINT nID, int nImage)
{
    if (!m_hMenu) return FALSE;
    int nCount = GetMenuItemCount();
    ItemInfo item;
    for (int nPos = 0; nPos < nCount; ++nPos)
    {
        if (!GetItem(m_hMenu, nPos, item) || item.hSubMenu || (item.nType & MFT_SEPARATOR) || item.nID != nID)
            continue;
        BCMenuData* pData = OwnRecord(item.data);
        if (!pData)
        {
            m_MenuList.push_back(std::make_unique<BCMenuData>());
            pData = m_MenuList.back().get();
            pData->m_nID = nID;
        }
        pData->m_szMenuText = pszText;
        pData->m_nImageIndex = ImageFor(nID, nImage);
        pData->m_nFlags = RecordFlags(item);
        return SetOwnerDrawn(m_hMenu, nPos, item.nType, pData);
    }
    for (int nPos = 0; nPos < nCount; ++nPos)
        if (BCMenu* pChild = FindChild(GetSubMenu(nPos)); pChild && pChild->ModifyItem(pszText, nID, nImage))
            return TRUE;
    return FALSE;
}

void BCMenu::RemoveAt(int nPos)
{
    ItemInfo item;
    if (!GetItem(m_hMenu, nPos, item)) return;
    ::RemoveMenu(m_hMenu, static_cast<UINT>(nPos), MF_BYPOSITION);
    std::erase_if(m_MenuList,
                  [&](const auto& p) { return reinterpret_cast<ULONG_PTR>(p.get()) == item.data; });
    if (!item.hSubMenu) return;
    std::erase(m_SubMenus, item.hSubMenu);
    BCMenuUnregisterSubMenu(item.hSubMenu);
    std::erase_if(m_Children, [&](const auto& p) { return p->m_hMenu == item.hSubMenu; });
}

BOOL BCMenu::RemoveItem(UINT nItem, UINT nFlags)
{
    if (!m_hMenu) return FALSE;
    int nCount = GetMenuItemCount();
    if (nFlags & MF_BYPOSITION)
    {
        if (nItem >= static_cast<UINT>(std::max(nCount, 0))) return FALSE;
        RemoveAt(static_cast<int>(nItem));
        return TRUE;
    }
    ItemInfo item;
    for (int nPos = 0; nPos < nCount; ++nPos)
        if (GetItem(m_hMenu, nPos, item) && !item.hSubMenu && item.nID == nItem)
        {
            RemoveAt(nPos);
            return TRUE;
        }
    for (int nPos = 0; nPos < nCount; ++nPos)
        if (BCMenu* pChild = FindChild(GetSubMenu(nPos)); pChild && pChild->RemoveItem(nItem, MF_BYCOMMAND))
            return TRUE;
    return FALSE;
}

BOOL BCMenu::IsOwnMenu(HMENU hMenu)
{
    return BCMenuIsRegistered(hMenu);
}

void BCMenu::SynchronizeMenu()
{
    if (!m_hMenu) return;
    int nCount = GetMenuItemCount();
    ItemInfo item;
    for (int nPos = 0; nPos < nCount; ++nPos)
    {
        if (!GetItem(m_hMenu, nPos, item)) continue;
        BCMenu* pChild = nullptr;
        if (item.hSubMenu)
        {
            pChild = FindChild(item.hSubMenu);
            if (!pChild && (pChild = MakeChild(item.hSubMenu)) != nullptr)
            {
                BCMenuRegisterSubMenu(item.hSubMenu);
                if (std::find(m_SubMenus.begin(), m_SubMenus.end(), item.hSubMenu) == m_SubMenus.end())
                    m_SubMenus.push_back(item.hSubMenu);
            }
        }
        if (!OwnRecord(item.data))
        {
            auto pData = std::make_unique<BCMenuData>();
            // An owner-drawn item's platform text is its data, not a text.
            if (!(item.nType & MFT_OWNERDRAW)) pData->m_szMenuText = GetMenuString(nPos, MF_BYPOSITION);
            pData->m_nID = item.hSubMenu ? reinterpret_cast<UINT_PTR>(item.hSubMenu) : item.nID;
            pData->m_nFlags = RecordFlags(item);
            if (!(pData->m_nFlags & (MF_POPUP | MF_SEPARATOR)))
                pData->m_nImageIndex = BCMenuSharedImages().IndexOf(item.nID);
            if (SetOwnerDrawn(m_hMenu, nPos, item.nType, pData.get())) m_MenuList.push_back(std::move(pData));
        }
        if (pChild) pChild->SynchronizeMenu();
    }
}

BOOL BCMenu::LoadMenu(UINT nIDResource)
{
    return LoadMenu(MAKEINTRESOURCEW(nIDResource));
}

BOOL BCMenu::LoadMenu(const wchar_t* pszResourceName)
{
    for (HMODULE hModule : {static_cast<HMODULE>(AfxGetResourceHandle()), ::GetModuleHandleW(nullptr)})
    {
        HRSRC hRes = hModule ? ::FindResourceW(hModule, pszResourceName, MAKEINTRESOURCEW(4)) : nullptr;
        HGLOBAL hData = hRes ? ::LoadResource(hModule, hRes) : nullptr;
        const void* p = hData ? ::LockResource(hData) : nullptr;
        if (!p) continue;
        auto items = ParseMenuTemplate(static_cast<const uint8_t*>(p), ::SizeofResource(hModule, hRes));
        if (!items) return FALSE;
        DestroyMenu();
        if (!CreatePopupMenu()) return FALSE;
        AddTemplateItems(*this, *items);
        return TRUE;
    }
    return FALSE;
}
