// The owner-drawn menus' process-wide state: version and theme, style, shared images, sub-menu list.
#include "confclient/toolkit/menu/BCMenuShared.h"
#include <algorithm>
#include <string>

const wchar_t kThemeKey[] = L"Software\\Microsoft\\Plus!\\Themes\\Current";

namespace
{
constexpr DWORD kThemeValueBytes = 540;

std::vector<HMENU>& SubMenus()
{
    static std::vector<HMENU> list;
    return list;
}

// The colour half of a masked image: a 32-bit top-down bitmap of the pixels, key pixels black.
HBITMAP MakeColourBitmap(const MenuPixels& pixels, MenuColour key)
{
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), kMenuIconWidth, -kMenuIconHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!hBitmap) return nullptr;
    auto* out = static_cast<uint32_t*>(pBits);
    for (size_t i = 0; i < pixels.size(); ++i)
    {
        MenuColour c = pixels[i] == key ? 0 : pixels[i];
        // 0x00BBGGRR to the bitmap's 0x00RRGGBB.
        out[i] = (c & 0xff) << 16 | (c & 0xff00) | (c >> 16 & 0xff);
    }
    ::GdiFlush();
    return hBitmap;
}

// A monochrome mask: 1 where the pixel is the key.
HBITMAP MakeMaskBitmap(const MenuPixels& pixels, MenuColour key)
{
    constexpr int kStride = ((kMenuIconWidth + 15) / 16) * 2;
    std::vector<uint8_t> bits(static_cast<size_t>(kStride) * kMenuIconHeight, 0);
    for (int y = 0; y < kMenuIconHeight; ++y)
        for (int x = 0; x < kMenuIconWidth; ++x)
            if (pixels[static_cast<size_t>(y) * kMenuIconWidth + x] == key)
                bits[static_cast<size_t>(y) * kStride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    return ::CreateBitmap(kMenuIconWidth, kMenuIconHeight, 1, 1, bits.data());
}
} // namespace

int BCMenuVersionCode()
{
    static const int code = []
    {
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (!::GetVersionExW(&info)) return 1;
        PlatformLine line =
            info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? PlatformLine::Win9x : PlatformLine::NT;
        return MenuVersionCode(line, info.dwMajorVersion, info.dwMinorVersion);
    }();
    return code;
}

bool ReadClassicTheme(HKEY hRoot, const wchar_t* pszSubKey)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(hRoot, pszSubKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return false;
    // One unit more than the value may fill, so that the text always ends inside the buffer.
    wchar_t buf[kThemeValueBytes / sizeof(wchar_t) + 1] = {};
    DWORD cb = kThemeValueBytes;
    DWORD type = 0;
    LONG rc = ::RegQueryValueExW(hKey, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buf), &cb);
    ::RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    size_t nUnits = std::min<size_t>(cb / sizeof(wchar_t), kThemeValueBytes / sizeof(wchar_t));
    size_t n = 0;
    while (n < nUnits && buf[n])
        ++n;
    return IsClassicThemeName(std::u16string_view(reinterpret_cast<const char16_t*>(buf), n));
}

bool BCMenuClassicTheme()
{
    static const bool classic = ReadClassicTheme(HKEY_CURRENT_USER, kThemeKey);
    return classic;
}

bool BCMenuThemedXP()
{
    return BCMenuVersionCode() == 7 && !BCMenuClassicTheme();
}

BCMenuStyle& BCMenuStyleFlags()
{
    static BCMenuStyle style;
    return style;
}

bool BCMenuFlatStyle()
{
    return BCMenuThemedXP() ? BCMenuStyleFlags().bFlatOnThemedXP : BCMenuStyleFlags().bFlatElsewhere;
}

bool BCMenuExtraImages()
{
    return BCMenuFlatStyle() && BCMenuStyleFlags().bDisabledImages;
}

BCMenuImages::~BCMenuImages()
{
    if (m_hList) ::ImageList_Destroy(m_hList);
}

HIMAGELIST BCMenuImages::GetList()
{
    if (!m_hList)
        m_hList = ::ImageList_Create(kMenuIconWidth, kMenuIconHeight, ILC_COLOR24 | ILC_MASK, 0, 16);
    return m_hList;
}

int BCMenuImages::IndexOf(UINT nID) const
{
    if (nID == kNoOwner) return -1;
    auto it = std::find(m_ids.begin(), m_ids.end(), nID);
    return it == m_ids.end() ? -1 : static_cast<int>(it - m_ids.begin());
}

bool BCMenuImages::HasExtraImages(int nIndex) const
{
    if (nIndex < 0 || static_cast<size_t>(nIndex) + 3 >= m_ids.size()) return false;
    UINT id = m_ids[static_cast<size_t>(nIndex)];
    return m_ids[nIndex + 1u] == id && m_ids[nIndex + 2u] == id && m_ids[nIndex + 3u] == id;
}

bool BCMenuImages::Put(int nIndex, const MenuPixels& pixels, MenuColour key, bool bAsIcon)
{
    if (pixels.size() != static_cast<size_t>(kMenuIconWidth) * kMenuIconHeight) return false;
    HBITMAP hMask = MakeMaskBitmap(pixels, key);
    HBITMAP hColour = MakeColourBitmap(pixels, key);
    bool ok = false;
    if (hMask && hColour)
    {
        if (bAsIcon)
        {
            ICONINFO ii{TRUE, 0, 0, hMask, hColour};
            HICON hIcon = ::CreateIconIndirect(&ii);
            ok = hIcon && ::ImageList_ReplaceIcon(m_hList, nIndex, hIcon) >= 0;
            if (hIcon) ::DestroyIcon(hIcon);
        }
        else if (nIndex < 0)
            ok = ::ImageList_Add(m_hList, hColour, hMask) >= 0;
        else
            ok = ::ImageList_Replace(m_hList, nIndex, hColour, hMask) != FALSE;
    }
    if (hMask) ::DeleteObject(hMask);
    if (hColour) ::DeleteObject(hColour);
    return ok;
}

int BCMenuImages::SetImages(UINT nID, const std::vector<MenuPixels>& images, MenuColour key, bool bAsIcon)
{
    if (images.empty() || !GetList()) return -1;
    int nFirst = IndexOf(nID);
    size_t nHeld = 0;
    if (nFirst >= 0)
        while (nFirst + nHeld < m_ids.size() && m_ids[nFirst + nHeld] == nID)
            ++nHeld;
    if (nFirst >= 0 && nHeld == images.size())
    {
        for (size_t i = 0; i < images.size(); ++i)
            if (!Put(nFirst + static_cast<int>(i), images[i], key, bAsIcon)) return -1;
        return nFirst;
    }
    // A different number of images: the old slots are given up and the new ones go to the end.
    for (size_t i = 0; nFirst >= 0 && i < nHeld; ++i)
        m_ids[nFirst + i] = kNoOwner;
    int nIndex = GetCount();
    for (const MenuPixels& pixels : images)
    {
        if (!Put(-1, pixels, key, bAsIcon)) break;
        m_ids.push_back(nID);
    }
    // Only a complete set counts; a partial one keeps its slots unowned.
    if (GetCount() - nIndex != static_cast<int>(images.size()))
    {
        std::fill(m_ids.begin() + nIndex, m_ids.end(), kNoOwner);
        return -1;
    }
    return nIndex;
}

BCMenuImages& BCMenuSharedImages()
{
    static BCMenuImages images;
    return images;
}

void BCMenuRegisterSubMenu(HMENU hMenu)
{
    if (hMenu && !BCMenuIsRegistered(hMenu)) SubMenus().push_back(hMenu);
}

void BCMenuUnregisterSubMenu(HMENU hMenu)
{
    auto& list = SubMenus();
    list.erase(std::remove(list.begin(), list.end(), hMenu), list.end());
}

bool BCMenuIsRegistered(HMENU hMenu)
{
    const auto& list = SubMenus();
    return hMenu && std::find(list.begin(), list.end(), hMenu) != list.end();
}
