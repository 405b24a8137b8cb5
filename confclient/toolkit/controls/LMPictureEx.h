// CLMPictureEx: one still skin picture (GIF, JPEG or BMP) loaded from a file or a resource and drawn
// stretched.
#pragma once
#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

class CLMPictureEx
{
public:
    CLMPictureEx() = default;
    virtual ~CLMPictureEx();
    CLMPictureEx(const CLMPictureEx&) = delete;
    CLMPictureEx& operator=(const CLMPictureEx&) = delete;

    void UnLoad();
    // Loads a picture file; false (no picture) when the path is null or the file is not a picture.
    bool LoadFromFile(const wchar_t* path);
    // Loads a picture resource of `type` (callers pass "BACKIMAGE") by numeric id; false leaves no picture.
    bool LoadFromResource(HMODULE hModule, const wchar_t* type, UINT id);
    // Draws at (x, y); cx or cy -1 uses the last size, any other value becomes the new size.
    // A non-zero flip draws upside down. False when no picture is held.
    bool Render(HDC hDC, int x, int y, int cx, int cy, int flip);

    IPicture* m_pPicture = nullptr;
    IStream* m_pStream = nullptr;
    LONG m_nWidth = 0;
    LONG m_nHeight = 0;
    OLE_XSIZE_HIMETRIC m_nHimetricWidth = 0;
    OLE_YSIZE_HIMETRIC m_nHimetricHeight = 0;

private:
    bool ReadSizes();
    // Copies a resource into a stream over a movable memory block that the stream owns.
    bool StreamFromResource(HMODULE hModule, const wchar_t* type, UINT id, DWORD& size);
};
