// Cursors by draw mode and the pointer window.
#include "lmboard2/control/BoardCursors.h"

#include <algorithm>
#include <vector>

#include "comkit/ServerModule.h"
#include "lmboard2/control/ControlResources.h"
#include "lmboard2/records/DrawRules.h"

namespace
{
// A hollow square cursor of the given size, hot spot at its top-left.
HCURSOR MakeSquareCursor(int nSize)
{
    nSize = std::clamp(nSize, 4, GetSystemMetrics(SM_CXCURSOR));
    const int cx = GetSystemMetrics(SM_CXCURSOR), cy = GetSystemMetrics(SM_CYCURSOR);
    const int nStride = ((cx + 15) / 16) * 2;
    std::vector<BYTE> andMask(static_cast<size_t>(nStride) * cy, 0xFF), xorMask(andMask.size(), 0);
    for (int y = 0; y < nSize; y++)
        for (int x = 0; x < nSize; x++)
        {
            if (x != 0 && y != 0 && x != nSize - 1 && y != nSize - 1) continue;
            size_t i = static_cast<size_t>(y) * nStride + x / 8;
            BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
            andMask[i] &= static_cast<BYTE>(~bit);
        }
    return CreateCursor(ServerModuleHandle(), 0, 0, cx, cy, andMask.data(), xorMask.data());
}

class CPointerWindow
{
public:
    static LRESULT CALLBACK Proc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        if (uMsg == WM_PAINT)
        {
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(hWnd, &ps);
            HBITMAP hBitmap = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
            BITMAP bm{};
            if (hBitmap && GetObjectW(hBitmap, sizeof bm, &bm))
            {
                HDC hdcMem = CreateCompatibleDC(hdc);
                HGDIOBJ hOld = SelectObject(hdcMem, hBitmap);
                BitBlt(hdc, 0, 0, bm.bmWidth, bm.bmHeight, hdcMem, 0, 0, SRCCOPY);
                SelectObject(hdcMem, hOld);
                DeleteDC(hdcMem);
            }
            EndPaint(hWnd, &ps);
            return 0;
        }
        if (uMsg == WM_NCHITTEST) return HTTRANSPARENT;
        if (uMsg == WM_NCDESTROY)
        {
            DeleteObject(reinterpret_cast<HBITMAP>(GetWindowLongPtrW(hWnd, GWLP_USERDATA)));
            SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        }
        return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }
};

// The picture's region: every pixel other than pure green; none for pictures of other depths.
HRGN RegionOf(HBITMAP hBitmap)
{
    DIBSECTION ds{};
    if (GetObjectW(hBitmap, sizeof ds, &ds) != sizeof ds ||
        (ds.dsBm.bmBitsPixel != 24 && ds.dsBm.bmBitsPixel != 32))
        return nullptr;
    HRGN hRegion = CreateRectRgn(0, 0, 0, 0);
    const int nBytes = ds.dsBm.bmBitsPixel / 8;
    const bool bBottomUp = ds.dsBmih.biHeight > 0;
    for (int y = 0; y < ds.dsBm.bmHeight; y++)
    {
        const BYTE* row =
            static_cast<const BYTE*>(ds.dsBm.bmBits) +
            static_cast<size_t>(bBottomUp ? ds.dsBm.bmHeight - 1 - y : y) * ds.dsBm.bmWidthBytes;
        for (int x = 0; x < ds.dsBm.bmWidth;)
        {
            auto isGreen = [&](int i)
            { return row[i * nBytes] == 0 && row[i * nBytes + 1] == 128 && row[i * nBytes + 2] == 0; };
            if (isGreen(x))
            {
                x++;
                continue;
            }
            int x0 = x;
            while (x < ds.dsBm.bmWidth && !isGreen(x))
                x++;
            HRGN hRun = CreateRectRgn(x0, y, x, y + 1);
            CombineRgn(hRegion, hRegion, hRun, RGN_OR);
            DeleteObject(hRun);
        }
    }
    return hRegion;
}

// The control's own cursor; the system's arrow should the resource be missing.
HCURSOR ControlCursor(int nId)
{
    HCURSOR hCursor = LoadCursorW(ServerModuleHandle(), MAKEINTRESOURCEW(nId));
    return hCursor ? hCursor : LoadCursorW(nullptr, IDC_ARROW);
}
} // namespace

HCURSOR CursorForMode(int nDrawMode, bool bDragging, double dScale)
{
    static HCURSOR s_hEraser = nullptr;
    static int s_nEraserSize = 0;
    switch (nDrawMode)
    {
    case DRAW_LINE:
    case DRAW_STRAIGHT:
        return LoadCursorW(nullptr, IDC_CROSS);
    case DRAW_ERASER:
    {
        int nSize = static_cast<int>(kEraserSize * dScale);
        if (!s_hEraser || nSize != s_nEraserSize)
        {
            if (s_hEraser) DestroyCursor(s_hEraser);
            s_hEraser = MakeSquareCursor(nSize);
            s_nEraserSize = nSize;
        }
        return s_hEraser;
    }
    case DRAW_TEXT:
        return ControlCursor(IDC_BOARD_TEXT);
    case DRAW_POINTER:
        return ControlCursor(IDC_BOARD_POINTER);
    case DRAW_STAMP:
        return ControlCursor(IDC_BOARD_STAMP);
    case DRAW_SCROLL:
        return ControlCursor(bDragging ? IDC_BOARD_HAND_GRAB : IDC_BOARD_HAND_OPEN);
    default: // the pen and the figures
        return ControlCursor(IDC_BOARD_PEN);
    }
}

HWND CreatePointerWindow(HWND hParent)
{
    HBITMAP hBitmap = static_cast<HBITMAP>(LoadImageW(
        ServerModuleHandle(), MAKEINTRESOURCEW(IDB_BOARD_POINTER), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP bm{};
    if (!hBitmap || !GetObjectW(hBitmap, sizeof bm, &bm)) return nullptr;
    WNDCLASSW wc{};
    wc.lpfnWndProc = &CPointerWindow::Proc;
    wc.hInstance = ServerModuleHandle();
    wc.lpszClassName = L"LMBoard2Pointer";
    RegisterClassW(&wc);
    HWND hWnd = CreateWindowExW(0, L"LMBoard2Pointer", L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, bm.bmWidth,
                                bm.bmHeight, hParent, nullptr, ServerModuleHandle(), nullptr);
    if (!hWnd)
    {
        DeleteObject(hBitmap);
        return nullptr;
    }
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hBitmap));
    if (HRGN hRegion = RegionOf(hBitmap)) SetWindowRgn(hWnd, hRegion, FALSE);
    return hWnd;
}
