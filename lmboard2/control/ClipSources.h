// The Windows sources of the board's GIF export: a device bitmap, the clipboard (a bitmap, or an
// enhanced metafile played on white) and a bitmap file, each written as a GIF.
#pragma once
#include <windows.h>

#include <filesystem>
#include <optional>

#include "lmboard2/gif/BmpFile.h"

// The bitmap's pixels as 24-bit rows; nothing when they cannot be read.
std::optional<S_PICTURE24> BitmapPixels(HBITMAP hBitmap);
// SaveBitmap: the bitmap written as a GIF; 1 on success, 0 otherwise (a side above 65535 is
// refused before the file is opened).
int SaveBitmap(HBITMAP hBitmap, const std::filesystem::path& gif);
// SaveClipboard: a clipboard bitmap, or else a metafile played on white at least the given
// size, written as a GIF; the clipboard is emptied and closed afterwards. 0 when it cannot be
// opened or holds neither.
int SaveClipboard(HWND hOwner, const std::filesystem::path& gif, int nMinWidth, int nMinHeight);
// LoadBmpFile: a bitmap file (checked field by field) written as a GIF, deleted when asked.
int LoadBmpFile(const std::filesystem::path& bmp, const std::filesystem::path& gif, bool bDelete);
