// Device bitmaps, the clipboard and bitmap files turned into GIF files.
#include "lmboard2/control/ClipSources.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "lmboard2/gif/ClipToGif.h"

namespace
{
// A bitmap file larger than this is not read (its picture could not be kept either).
constexpr uintmax_t kMaxBmpFileBytes = kMaxBmpPictureBytes + (1u << 20);
} // namespace

std::optional<S_PICTURE24> BitmapPixels(HBITMAP hBitmap)
{
    BITMAP bm{};
    if (!hBitmap || !GetObjectW(hBitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return std::nullopt;
    if (bm.bmWidth > CClipToGif::kMaxSide || bm.bmHeight > CClipToGif::kMaxSide) return std::nullopt;
    const uint64_t nBytes = Dib24Stride(bm.bmWidth) * uint64_t(bm.bmHeight);
    if (nBytes > kMaxBmpPictureBytes) return std::nullopt;
    S_PICTURE24 pic;
    pic.nWidth = bm.bmWidth;
    pic.nHeight = bm.bmHeight;
    pic.bits.resize(static_cast<size_t>(nBytes));
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = bm.bmHeight; // bottom-up, as the writer takes it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC hdc = GetDC(nullptr);
    int nRows =
        GetDIBits(hdc, hBitmap, 0, static_cast<UINT>(bm.bmHeight), pic.bits.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, hdc);
    if (nRows != bm.bmHeight) return std::nullopt;
    return pic;
}

int SaveBitmap(HBITMAP hBitmap, const std::filesystem::path& gif)
{
    std::optional<S_PICTURE24> pic = BitmapPixels(hBitmap);
    if (!pic) return 0;
    return CClipToGif().SaveBits(pic->View(), gif);
}

namespace
{
int SaveMetafile(HENHMETAFILE hEmf, const std::filesystem::path& gif, int nMinWidth, int nMinHeight)
{
    ENHMETAHEADER head{};
    if (!GetEnhMetaFileHeader(hEmf, sizeof head, &head)) return 0;
    HDC hScreen = GetDC(nullptr);
    MetafileCanvas c = MetafileCanvasFor(head.rclFrame.left, head.rclFrame.top, head.rclFrame.right,
                                         head.rclFrame.bottom, GetDeviceCaps(hScreen, LOGPIXELSX),
                                         GetDeviceCaps(hScreen, LOGPIXELSY), nMinWidth, nMinHeight);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, c.nWidth, c.nHeight);
    HDC hdc = CreateCompatibleDC(hScreen);
    ReleaseDC(nullptr, hScreen);
    int nResult = 0;
    if (hBitmap && hdc)
    {
        HGDIOBJ hOld = SelectObject(hdc, hBitmap);
        RECT page{0, 0, c.nWidth, c.nHeight};
        FillRect(hdc, &page, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        RECT frame{c.left, c.top, c.right, c.bottom};
        bool bPlayed = PlayEnhMetaFile(hdc, hEmf, &frame) != FALSE;
        SelectObject(hdc, hOld);
        if (bPlayed) nResult = SaveBitmap(hBitmap, gif);
    }
    if (hdc) DeleteDC(hdc);
    if (hBitmap) DeleteObject(hBitmap);
    return nResult;
}
} // namespace

int SaveClipboard(HWND hOwner, const std::filesystem::path& gif, int nMinWidth, int nMinHeight)
{
    if (!OpenClipboard(hOwner)) return 0;
    int nResult = 0;
    if (IsClipboardFormatAvailable(CF_BITMAP))
        nResult = SaveBitmap(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)), gif);
    else if (IsClipboardFormatAvailable(CF_ENHMETAFILE))
        nResult = SaveMetafile(static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE)), gif, nMinWidth,
                               nMinHeight);
    EmptyClipboard();
    CloseClipboard();
    return nResult;
}

int LoadBmpFile(const std::filesystem::path& bmp, const std::filesystem::path& gif, bool bDelete)
{
    std::error_code ec;
    uintmax_t nSize = std::filesystem::file_size(bmp, ec);
    if (ec || nSize > kMaxBmpFileBytes) return 0;
    std::vector<uint8_t> bytes;
    {
        std::ifstream in(bmp, std::ios::binary);
        if (!in) return 0;
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::optional<S_PICTURE24> pic = DecodeBmpFile(bytes.data(), bytes.size());
    if (!pic) return 0;
    int nResult = CClipToGif().SaveBits(pic->View(), gif);
    if (nResult && bDelete) std::filesystem::remove(bmp, ec);
    return nResult;
}
