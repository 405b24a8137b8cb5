// Slicing a command's image out of a toolbar bitmap, with its extra copies, into the shared list.
#include "confclient/toolkit/menu/ToolbarImage.h"
#include "confclient/toolkit/menu/BCMenuShared.h"
#include "confclient/toolkit/menurules/MenuResources.h"
#include "winui/WinApp.h"
#include <cstring>
#include <optional>

namespace
{
constexpr UINT kToolbarType = 241;

struct ResourceBytes
{
    HMODULE hModule = nullptr;
    const uint8_t* pData = nullptr;
    size_t nSize = 0;
};

// The resource from the resource module, else from the program.
ResourceBytes FindBytes(const wchar_t* type, UINT id)
{
    for (HMODULE hModule : {static_cast<HMODULE>(AfxGetResourceHandle()), ::GetModuleHandleW(nullptr)})
    {
        if (!hModule) continue;
        HRSRC hRes = ::FindResourceW(hModule, MAKEINTRESOURCEW(id), type);
        if (!hRes) continue;
        HGLOBAL hData = ::LoadResource(hModule, hRes);
        const void* p = hData ? ::LockResource(hData) : nullptr;
        if (p) return {hModule, static_cast<const uint8_t*>(p), ::SizeofResource(hModule, hRes)};
    }
    return {};
}

// The toolbar bitmap; a 16-colour one gets the system colours of buttons (black, greys, white).
HBITMAP LoadToolbarBitmap(HMODULE hModule, UINT id)
{
    HRSRC hRes = ::FindResourceW(hModule, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(2));
    HGLOBAL hData = hRes ? ::LoadResource(hModule, hRes) : nullptr;
    const auto* p = hData ? static_cast<const uint8_t*>(::LockResource(hData)) : nullptr;
    if (!p || ::SizeofResource(hModule, hRes) < sizeof(BITMAPINFOHEADER)) return nullptr;
    uint16_t nBits = 0;
    std::memcpy(&nBits, p + offsetof(BITMAPINFOHEADER, biBitCount), sizeof nBits);
    if (nBits == 4) return ::CreateMappedBitmap(hModule, id, 0, nullptr, 0);
    return static_cast<HBITMAP>(
        ::LoadImageW(hModule, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

struct Pixels
{
    int cx = 0, cy = 0;
    std::vector<MenuColour> data; // 0x00BBGGRR, top row first
    MenuColour At(int x, int y) const { return data[static_cast<size_t>(y) * cx + x]; }
};

std::optional<Pixels> ReadPixels(HBITMAP hBitmap)
{
    BITMAP bm{};
    if (!::GetObjectW(hBitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return std::nullopt;
    Pixels px;
    px.cx = bm.bmWidth;
    px.cy = bm.bmHeight;
    std::vector<uint32_t> bits(static_cast<size_t>(px.cx) * px.cy);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), px.cx, -px.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC hScreen = ::GetDC(nullptr);
    int nRows = ::GetDIBits(hScreen, hBitmap, 0, px.cy, bits.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hScreen);
    if (nRows != px.cy) return std::nullopt;
    px.data.reserve(bits.size());
    for (uint32_t v : bits)
        px.data.push_back((v & 0xff) << 16 | (v & 0xff00) | (v >> 16 & 0xff));
    return px;
}
} // namespace

int LoadToolbarImage(UINT nToolbar, UINT nCommand, const ToolbarImageOptions& options)
{
    ResourceBytes res = FindBytes(MAKEINTRESOURCEW(kToolbarType), nToolbar);
    if (!res.pData) return -1;
    std::optional<ToolbarResource> toolbar = ParseToolbarResource(res.pData, res.nSize);
    if (!toolbar || toolbar->nWidth == 0 || toolbar->nHeight == 0 || nCommand > 0xFFFF) return -1;
    int nSlot = toolbar->ImageOffsetOf(static_cast<uint16_t>(nCommand));
    if (nSlot < 0) return -1;

    HBITMAP hBitmap = LoadToolbarBitmap(res.hModule, nToolbar);
    if (!hBitmap) return -1;
    std::optional<Pixels> sheet = ReadPixels(hBitmap);
    ::DeleteObject(hBitmap);
    int nLeft = nSlot * toolbar->nWidth;
    if (!sheet || nLeft + toolbar->nWidth > sheet->cx || toolbar->nHeight > sheet->cy) return -1;

    // The sheet's corner pixel is the toolbar's background.
    MenuColour background = sheet->At(0, 0);
    MenuColour key = options.bUseButtonFace ? ::GetSysColor(COLOR_BTNFACE) : options.crBackground;
    MenuPixels image(static_cast<size_t>(kMenuIconWidth) * kMenuIconHeight, key);
    for (int y = 0; y < kMenuIconHeight && y < toolbar->nHeight; ++y)
        for (int x = 0; x < kMenuIconWidth && x < toolbar->nWidth; ++x)
        {
            MenuColour c = sheet->At(nLeft + x, y);
            image[static_cast<size_t>(y) * kMenuIconWidth + x] = c == background ? key : c;
        }

    std::vector<MenuPixels> images{image};
    if (options.bExtraImages)
    {
        MenuColour shadow = ::GetSysColor(COLOR_BTNSHADOW);
        if (!BCMenuThemedXP()) shadow = DarkenColour(shadow, 0.49);
        images.push_back(image);
        MakeWashedImage(images.back(), key);
        images.push_back(image);
        MakeShadowImage(images.back(), key, shadow);
        images.push_back(image);
        MakeGreyImage(images.back(), key, ::GetSysColor(COLOR_BTNFACE));
    }
    return BCMenuSharedImages().SetImages(nCommand, images, key, options.bIconMode);
}
