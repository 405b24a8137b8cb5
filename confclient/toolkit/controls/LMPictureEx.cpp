// CLMPictureEx: picture loading through the system's picture loader and stretched, optionally flipped
// drawing.
#include "confclient/toolkit/controls/LMPictureEx.h"
#include <cstring>

namespace
{
// Skins are laid out at 96 pixels per inch whatever the display reports.
constexpr int kPixelsPerInch = 96;
constexpr int kHimetricPerInch = 2540;
} // namespace

CLMPictureEx::~CLMPictureEx()
{
    UnLoad();
}

void CLMPictureEx::UnLoad()
{
    if (m_pPicture)
    {
        m_pPicture->Release();
        m_pPicture = nullptr;
    }
    if (m_pStream)
    {
        m_pStream->Release();
        m_pStream = nullptr;
    }
}

bool CLMPictureEx::ReadSizes()
{
    if (FAILED(m_pPicture->get_Width(&m_nHimetricWidth)) ||
        FAILED(m_pPicture->get_Height(&m_nHimetricHeight)))
        return false;
    m_nWidth = MulDiv(m_nHimetricWidth, kPixelsPerInch, kHimetricPerInch);
    m_nHeight = MulDiv(m_nHimetricHeight, kPixelsPerInch, kHimetricPerInch);
    return true;
}

bool CLMPictureEx::LoadFromFile(const wchar_t* path)
{
    if (!path) return false;
    UnLoad();
    HRESULT hr = OleLoadPicturePath(const_cast<LPOLESTR>(path), nullptr, 0, 0, IID_IPicture,
                                    reinterpret_cast<void**>(&m_pPicture));
    if (FAILED(hr) || !m_pPicture || !ReadSizes())
    {
        UnLoad();
        return false;
    }
    return true;
}

bool CLMPictureEx::StreamFromResource(HMODULE hModule, const wchar_t* type, UINT id, DWORD& size)
{
    HRSRC found = FindResourceW(hModule, MAKEINTRESOURCEW(id), type);
    if (!found) return false;
    size = SizeofResource(hModule, found);
    HGLOBAL resource = LoadResource(hModule, found);
    if (!resource || size == 0) return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
    {
        FreeResource(resource);
        return false;
    }
    void* dst = GlobalLock(block);
    const void* src = LockResource(resource);
    if (!dst || !src)
    {
        if (dst) GlobalUnlock(block);
        GlobalFree(block);
        FreeResource(resource);
        return false;
    }
    std::memcpy(dst, src, size);
    GlobalUnlock(block);
    FreeResource(resource);
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &m_pStream)) || !m_pStream)
    {
        // The stream never took the block over: it is still ours to free.
        m_pStream = nullptr;
        GlobalFree(block);
        return false;
    }
    return true;
}

bool CLMPictureEx::LoadFromResource(HMODULE hModule, const wchar_t* type, UINT id)
{
    UnLoad();
    DWORD size = 0;
    if (!StreamFromResource(hModule, type, id, size)) return false;
    HRESULT hr = OleLoadPicture(m_pStream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                reinterpret_cast<void**>(&m_pPicture));
    if (FAILED(hr) || !m_pPicture || !ReadSizes())
    {
        UnLoad();
        return false;
    }
    return true;
}

bool CLMPictureEx::Render(HDC hDC, int x, int y, int cx, int cy, int flip)
{
    if (!m_pPicture) return false;
    HPALETTE hPal = nullptr, hOldPal = nullptr;
    OLE_HANDLE palette = 0;
    if (SUCCEEDED(m_pPicture->get_hPal(&palette)) && palette)
    {
        hPal = reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(palette));
        hOldPal = SelectPalette(hDC, hPal, FALSE);
        RealizePalette(hDC);
    }
    if (cx != -1) m_nWidth = cx;
    if (cy != -1) m_nHeight = cy;
    // Picture coordinates run bottom-up: a negative source height draws upright.
    OLE_YPOS_HIMETRIC ySrc = flip ? 0 : m_nHimetricHeight;
    OLE_YSIZE_HIMETRIC cySrc = flip ? m_nHimetricHeight : -m_nHimetricHeight;
    m_pPicture->Render(hDC, x, y, m_nWidth, m_nHeight, 0, ySrc, m_nHimetricWidth, cySrc, nullptr);
    if (hPal) SelectPalette(hDC, hOldPal, FALSE);
    return true;
}
