// What every owner-drawn menu of the process shares: the platform grade, the theme, the style
// switches, the image list keyed by command id and the list of sub-menus made by the menus.
#pragma once
#include "confclient/toolkit/menurules/MenuRules.h"
#include <vector>
#include <windows.h>
#include <commctrl.h>

// The platform's version code (see MenuVersionCode), computed at the first call.
int BCMenuVersionCode();
// True when the classic theme is in use, read from the registry at the first call.
bool BCMenuClassicTheme();
// Themed XP: version code 7 without the classic theme.
bool BCMenuThemedXP();
// Reads the default value of `pszSubKey` (at most 540 bytes) and tests it for the classic theme
// file; a missing, unreadable, longer or non-text value counts as not classic.
bool ReadClassicTheme(HKEY hRoot, const wchar_t* pszSubKey);
extern const wchar_t kThemeKey[];

// Style switches, process-wide: the flat style on themed XP and elsewhere, and in the flat style the
// three extra images of each toolbar image (washed, shadow, grey). All on by default.
struct BCMenuStyle
{
    bool bFlatOnThemedXP = true;
    bool bFlatElsewhere = true;
    bool bDisabledImages = true;
};
BCMenuStyle& BCMenuStyleFlags();
// The style the switches select for this system (a palette display still draws raised).
bool BCMenuFlatStyle();
// Whether the extra images are made and drawn.
bool BCMenuExtraImages();

// One 16 by 15 item image as 0x00BBGGRR pixels, rows top to bottom.
using MenuPixels = std::vector<MenuColour>;

// The shared image list; beside it, the command id of each image. An id with extra images holds
// four slots in a row: normal, washed, shadow, grey.
class BCMenuImages
{
public:
    BCMenuImages() = default;
    ~BCMenuImages();
    BCMenuImages(const BCMenuImages&) = delete;
    BCMenuImages& operator=(const BCMenuImages&) = delete;

    HIMAGELIST GetList();
    // The index of the id's first image, or -1.
    int IndexOf(UINT nID) const;
    // True when the id's image at `nIndex` is followed by its three extra images.
    bool HasExtraImages(int nIndex) const;
    // Puts the images of one command into the list, `key` marking transparent pixels; images the
    // id already holds are replaced in place, so that menus built again do not grow the list.
    // With `bAsIcon` they go in as icons. The index of the first image, or -1 on failure.
    int SetImages(UINT nID, const std::vector<MenuPixels>& images, MenuColour key, bool bAsIcon);
    int GetCount() const { return static_cast<int>(m_ids.size()); }

private:
    // The id of slots whose command took new images elsewhere (0 is never a command's id).
    static constexpr UINT kNoOwner = 0;
    bool Put(int nIndex, const MenuPixels& pixels, MenuColour key, bool bAsIcon);

    HIMAGELIST m_hList = nullptr;
    std::vector<UINT> m_ids;
};

// The one image list of the process.
BCMenuImages& BCMenuSharedImages();

// The sub-menus made or appended through the owner-drawn menus.
void BCMenuRegisterSubMenu(HMENU hMenu);
void BCMenuUnregisterSubMenu(HMENU hMenu);
bool BCMenuIsRegistered(HMENU hMenu);
