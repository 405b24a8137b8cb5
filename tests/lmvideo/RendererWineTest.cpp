// The renderers under Wine: the GDI renderer read back from its window at 32, 24 and 16 bits with
// its overlays; bad pictures and calls refused; the DirectDraw and Direct2D renderers either draw
// the same pixels or fail leaving no handle behind; the library's factories by name.
#include "confclient/library/LMErrorCodes.h"
#include "confclient/library/LMObjectPtr.h"
#include "lmvideo/renderer/GdiRenderer.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <vector>

namespace
{
constexpr int kClientCx = 160, kClientCy = 120;
constexpr int kPictureCx = 79, kPictureCy = 60; // odd: packed rows are not DIB rows at 16 and 24 bits

struct S_COLOUR
{
    uint8_t r, g, b;
};
// The picture's quadrants: top left, top right, bottom left, bottom right.
constexpr S_COLOUR kQuadrants[4] = {{0xFF, 0, 0}, {0, 0xFF, 0}, {0, 0, 0xFF}, {0x80, 0x80, 0x40}};

std::vector<uint8_t> QuadrantPicture(int nBits, int cx = kPictureCx, int cy = kPictureCy)
{
    std::vector<uint8_t> bytes;
    for (int y = 0; y < cy; y++)
        for (int x = 0; x < cx; x++)
        {
            S_COLOUR c = kQuadrants[(y >= cy / 2) * 2 + (x >= cx / 2)];
            if (nBits == 16)
            {
                uint16_t v = static_cast<uint16_t>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
                bytes.push_back(static_cast<uint8_t>(v));
                bytes.push_back(static_cast<uint8_t>(v >> 8));
                continue;
            }
            bytes.push_back(c.b);
            bytes.push_back(c.g);
            bytes.push_back(c.r);
            if (nBits == 32) bytes.push_back(0);
        }
    return bytes;
}

LRESULT CALLBACK QuietProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    // Painting is the renderer's alone: no background erase or paint over its pixels.
    if (nMsg == WM_ERASEBKGND) return 1;
    if (nMsg == WM_PAINT)
    {
        ValidateRect(hWnd, nullptr);
        return 0;
    }
    return DefWindowProcW(hWnd, nMsg, wParam, lParam);
}

class CVideoWindow
{
public:
    CVideoWindow()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = QuietProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"LMRendererTestWindow";
        RegisterClassW(&wc);
        RECT frame{0, 0, kClientCx, kClientCy};
        AdjustWindowRect(&frame, WS_POPUP, FALSE);
        hWnd = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"video", WS_POPUP, 40, 40,
                               frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                               wc.hInstance, nullptr);
        ShowWindow(hWnd, SW_SHOWNOACTIVATE);
        Pump();
    }
    ~CVideoWindow() { DestroyWindow(hWnd); }

    static void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }

    // The client area as 32-bit top-down pixels, read back through the window's DC.
    std::vector<uint32_t> ReadBack() const
    {
        std::vector<uint32_t> pixels(kClientCx * kClientCy);
        HDC hdc = GetDC(hWnd);
        HDC hMem = CreateCompatibleDC(hdc);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), kClientCx, -kClientCy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* pBits = nullptr;
        HBITMAP hBitmap = CreateDIBSection(hMem, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
        HGDIOBJ hOld = SelectObject(hMem, hBitmap);
        BitBlt(hMem, 0, 0, kClientCx, kClientCy, hdc, 0, 0, SRCCOPY);
        GdiFlush();
        memcpy(pixels.data(), pBits, pixels.size() * 4);
        SelectObject(hMem, hOld);
        DeleteObject(hBitmap);
        DeleteDC(hMem);
        ReleaseDC(hWnd, hdc);
        return pixels;
    }

    HWND hWnd = nullptr;
};

S_COLOUR At(const std::vector<uint32_t>& pixels, int x, int y)
{
    uint32_t v = pixels[y * kClientCx + x];
    return {static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
}

// 565 keeps 5 or 6 bits of a channel.
bool Near(S_COLOUR a, S_COLOUR b, int nTolerance = 8)
{
    return abs(a.r - b.r) <= nTolerance && abs(a.g - b.g) <= nTolerance && abs(a.b - b.b) <= nTolerance;
}

std::string Text(S_COLOUR c)
{
    char sz[32];
    snprintf(sz, sizeof sz, "(%d,%d,%d)", c.r, c.g, c.b);
    return sz;
}

// The picture's quadrant centres, stretched over the client area, away from name and meter.
void ExpectQuadrants(const std::vector<uint32_t>& pixels, const char* szWhat)
{
    const POINT centres[4] = {{40, 45}, {110, 45}, {40, 90}, {110, 90}};
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(Near(At(pixels, centres[i].x, centres[i].y), kQuadrants[i]))
            << szWhat << " quadrant " << i << " " << Text(At(pixels, centres[i].x, centres[i].y));
}

// Where the meter bar stands: 4 pixels from the right edge, 6 wide; its middle row.
constexpr int kMeterX = kClientCx - 4 - 3, kMeterMidY = kClientCy / 2;
constexpr S_COLOUR kMeterLevel{0, 0xE0, 0}, kMeterBack{0x20, 0x20, 0x20};

bool HasWhiteIn(const std::vector<uint32_t>& pixels, RECT area)
{
    for (int y = area.top; y < area.bottom; y++)
        for (int x = area.left; x < area.right; x++)
            if (Near(At(pixels, x, y), {0xFF, 0xFF, 0xFF}, 0)) return true;
    return false;
}

void SaveScreenshot(const std::vector<uint32_t>& pixels)
{
    BITMAPINFOHEADER info{sizeof info, kClientCx, -kClientCy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    BITMAPFILEHEADER file{0x4D42,
                          static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + pixels.size() * 4), 0,
                          0, sizeof(BITMAPFILEHEADER) + sizeof info};
    FILE* out = _wfopen(QUILLON_SCREENSHOT, L"wb");
    ASSERT_NE(out, nullptr);
    fwrite(&file, sizeof file, 1, out);
    fwrite(&info, sizeof info, 1, out);
    fwrite(pixels.data(), 4, pixels.size(), out);
    fclose(out);
}
} // namespace

TEST(LMGDIRenderer, DrawsEachDepthWithOverlaysAndRedrawsTheLastPicture)
{
    for (int16_t nBits : {32, 24, 16})
    {
        CVideoWindow window;
        auto* pRenderer = new CLMGDIRenderer(nBits);
        ILMRenderer* r = pRenderer;
        ASSERT_EQ(r->Init(window.hWnd), 1);
        EXPECT_EQ(r->GetBitsPerPixel(), nBits);
        EXPECT_EQ(r->GetWindow(), window.hWnd);
        r->SetName(L"Alice");
        r->SetNameVisible(1);
        r->SetFont(L"Tahoma", 12, 18);
        EXPECT_EQ(r->SetPosition(0), 1);
        r->SetPeakMeterVisible(1);
        r->SetPeakLevel(150); // clamped to 100: the whole bar

        std::vector<uint8_t> picture = QuadrantPicture(nBits);
        ASSERT_EQ(r->Draw(static_cast<int32_t>(picture.size()), picture.data(), kPictureCx, kPictureCy), 1)
            << r->GetLastErrorMessage();
        EXPECT_EQ(r->GetLastErrorCode(), 0);
        std::vector<uint32_t> pixels = window.ReadBack();
        ExpectQuadrants(pixels, "drawn");
        EXPECT_TRUE(Near(At(pixels, kMeterX, kMeterMidY), kMeterLevel))
            << Text(At(pixels, kMeterX, kMeterMidY));
        EXPECT_TRUE(HasWhiteIn(pixels, {4, 4, 60, 30})) << "the name at the top left, " << nBits << " bits";
        EXPECT_FALSE(HasWhiteIn(pixels, {4, 90, 60, 116})) << "nothing at the bottom left";
        if (nBits == 32) SaveScreenshot(pixels);

        // The name moves to the bottom right; the level drops to 0 (clamped); Redraw uses the
        // last picture.
        EXPECT_EQ(r->SetPosition(3), 1);
        r->SetPeakLevel(-20);
        ASSERT_EQ(r->Redraw(0, 0, kClientCx, kClientCy), 1);
        pixels = window.ReadBack();
        ExpectQuadrants(pixels, "redrawn");
        EXPECT_TRUE(Near(At(pixels, kMeterX, kMeterMidY), kMeterBack))
            << Text(At(pixels, kMeterX, kMeterMidY));
        EXPECT_FALSE(HasWhiteIn(pixels, {4, 4, 60, 30}));
        EXPECT_TRUE(HasWhiteIn(pixels, {80, 90, kClientCx - 12, 116}));

        // A picture of the window's size is shown as it came, the name over it only while it is
        // visible: hiding it again leaves no trace of it in the kept picture.
        const RECT all{0, 0, kClientCx, kClientCy}, nameArea{80, 90, kClientCx - 12, 116};
        r->SetPeakMeterVisible(0);
        r->SetNameVisible(0);
        std::vector<uint8_t> full = QuadrantPicture(nBits, kClientCx, kClientCy);
        ASSERT_EQ(r->Draw(static_cast<int32_t>(full.size()), full.data(), kClientCx, kClientCy), 1)
            << r->GetLastErrorMessage();
        pixels = window.ReadBack();
        ExpectQuadrants(pixels, "window's size");
        EXPECT_TRUE(Near(At(pixels, 0, 0), kQuadrants[0])) << Text(At(pixels, 0, 0));
        EXPECT_TRUE(Near(At(pixels, kClientCx - 1, kClientCy - 1), kQuadrants[3]))
            << Text(At(pixels, kClientCx - 1, kClientCy - 1));
        EXPECT_FALSE(HasWhiteIn(pixels, all)) << nBits << " bits";
        r->SetNameVisible(1);
        ASSERT_EQ(r->Redraw(0, 0, 0, 0), 1);
        pixels = window.ReadBack();
        EXPECT_TRUE(HasWhiteIn(pixels, nameArea)) << "the name over the picture, " << nBits << " bits";
        ExpectQuadrants(pixels, "under the name");
        r->SetNameVisible(0);
        ASSERT_EQ(r->Redraw(0, 0, 0, 0), 1);
        EXPECT_FALSE(HasWhiteIn(window.ReadBack(), all)) << "the name gone, " << nBits << " bits";

        // Reset forgets the picture.
        ASSERT_EQ(r->Reset(0), 1);
        pixels = window.ReadBack();
        EXPECT_TRUE(Near(At(pixels, 40, 45), {0, 0, 0}, 0));
        r->Destroy();
    }
}

TEST(LMGDIRenderer, RefusesShortPicturesAndBadCalls)
{
    CVideoWindow window;
    auto* pRenderer = new CLMGDIRenderer(24);
    ILMRenderer* r = pRenderer;
    std::vector<uint8_t> picture = QuadrantPicture(24);

    EXPECT_EQ(r->Draw(static_cast<int32_t>(picture.size()), picture.data(), kPictureCx, kPictureCy), 0);
    EXPECT_EQ(r->GetLastErrorCode(), LM_E_NOTINITIALIZED);
    EXPECT_EQ(r->Init(nullptr), 0);
    EXPECT_EQ(static_cast<uint32_t>(r->GetLastErrorCode()), 0x80070578u); // ERROR_INVALID_WINDOW_HANDLE
    ASSERT_EQ(r->Init(window.hWnd), 1);

    struct
    {
        int32_t nBytes;
        const uint8_t* pData;
        int32_t nWidth, nHeight;
    } rows[] = {
        {static_cast<int32_t>(picture.size()) - 1, picture.data(), kPictureCx, kPictureCy},
        {static_cast<int32_t>(picture.size()), nullptr, kPictureCx, kPictureCy},
        {static_cast<int32_t>(picture.size()), picture.data(), 0, kPictureCy},
        {static_cast<int32_t>(picture.size()), picture.data(), kPictureCx, -kPictureCy},
        {static_cast<int32_t>(picture.size()), picture.data(), 0x10000, 0x10000}, // no overflow into "enough"
    };
    for (auto row : rows)
    {
        EXPECT_EQ(r->Draw(row.nBytes, row.pData, row.nWidth, row.nHeight), 0)
            << row.nWidth << "x" << row.nHeight;
        EXPECT_EQ(r->GetLastErrorCode(), E_INVALIDARG);
    }
    EXPECT_EQ(r->SetPosition(4), 0);
    EXPECT_EQ(r->SetPosition(-1), 0);
    EXPECT_EQ(r->SetFont(L"", 9, 12), 0);
    EXPECT_EQ(r->SetFont(L"Tahoma", 0, 12), 0);
    EXPECT_EQ(r->Check(), 1);
    r->Destroy();
}

// Wine's Direct3D presents through OpenGL straight to the X window, where a read-back through the
// window's DC cannot see it; through GDI it draws into the window's pixels like any GDI program.
// Set for this program alone, before DirectDraw or Direct2D is first loaded.
class CWined3dThroughGdi : public testing::Environment
{
public:
    void SetUp() override
    {
        const wchar_t szValue[] = L"gdi";
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER,
                                  L"Software\\Wine\\AppDefaults\\lmvideo_renderer_tests.exe\\Direct3D",
                                  L"renderer", REG_SZ, szValue, sizeof szValue),
                  ERROR_SUCCESS);
    }
};
const testing::Environment* const g_wined3d = testing::AddGlobalTestEnvironment(new CWined3dThroughGdi);

TEST(LMRendererLibrary, FactoriesByNameDrawOrFallWithoutLeftovers)
{
    std::vector<uint8_t> picture;
    for (const wchar_t* szFactory : {L"GetLMGDIRenderer", L"GetLMDDRenderer", L"GetLMD2DRenderer"})
    {
        CVideoWindow window;
        CLMObjectPtr<ILMRenderer> holder(1, L"LMRendererU.dll", szFactory);
        ASSERT_TRUE(holder.Get()) << "factory " << szFactory << " error " << GetLastError();
        ILMRenderer* r = holder.Get();
        DWORD nHandles = 0, nHandlesAfter = 0;
        GetProcessHandleCount(GetCurrentProcess(), &nHandles);
        DWORD nGdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        r->SetMemoryType(1);
        if (!r->Init(window.hWnd))
        {
            // The choice falls to the next renderer: this one keeps nothing.
            EXPECT_LT(r->GetLastErrorCode(), 0) << szFactory;
            EXPECT_NE(r->GetLastErrorMessage(), nullptr);
            EXPECT_EQ(r->GetWindow(), nullptr);
            GetProcessHandleCount(GetCurrentProcess(), &nHandlesAfter);
            EXPECT_EQ(nHandlesAfter, nHandles) << szFactory;
            EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), nGdi) << szFactory;
            printf("%ls: Init failed, %ls\n", szFactory, r->GetLastErrorMessage());
            continue;
        }
        picture = QuadrantPicture(r->GetBitsPerPixel());
        ASSERT_EQ(r->Draw(static_cast<int32_t>(picture.size()), picture.data(), kPictureCx, kPictureCy), 1)
            << r->GetLastErrorMessage();
        ExpectQuadrants(window.ReadBack(), "drawn by the library");
        EXPECT_EQ(r->Check(), 1) << r->GetLastErrorMessage(); // nothing was lost
        printf("%ls: draws at %d bits\n", szFactory, r->GetBitsPerPixel());
    }
}
