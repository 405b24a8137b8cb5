// Saves a window as it shows now as a 24-bit BMP (FOLDER\NAME.bmp), for a person to look at.
#pragma once
#include <windows.h>

#include <cstring>
#include <string>

inline void SaveWindowPicture(HWND hWnd, const wchar_t* pszFolder, const char* pszName)
{
    RECT r;
    ::GetWindowRect(hWnd, &r);
    const int cx = r.right - r.left, cy = r.bottom - r.top;
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), cx, cy, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* pBits = nullptr;
    HBITMAP hBitmap = ::CreateDIBSection(hScreen, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    ::BitBlt(hMem, 0, 0, cx, cy, hScreen, r.left, r.top, SRCCOPY);
    ::SelectObject(hMem, hOld);
    const DWORD nStride = ((cx * 3 + 3) & ~3u), nSize = nStride * cy;
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + nSize), 0, 0,
                        static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
    ::CreateDirectoryW(pszFolder, nullptr);
    std::wstring path =
        std::wstring(pszFolder) + L"\\" + std::wstring(pszName, pszName + strlen(pszName)) + L".bmp";
    HANDLE hFile = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    ::WriteFile(hFile, &fh, sizeof fh, &n, nullptr);
    ::WriteFile(hFile, &bi.bmiHeader, sizeof bi.bmiHeader, &n, nullptr);
    ::WriteFile(hFile, pBits, nSize, &n, nullptr);
    ::CloseHandle(hFile);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
}
