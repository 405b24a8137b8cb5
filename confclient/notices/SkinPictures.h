// The skin pictures of the notices: a skin file first, its "BACKIMAGE" resource when the file is
// missing, and the title band of left, stretched middle and right pieces.
#pragma once
#include <windows.h>

#include "confclient/notices/NoticeHost.h"
#include "confclient/toolkit/controls/LMPictureEx.h"

// False when neither the file nor the resource gives a picture.
bool LoadNoticePicture(INoticeHost& host, CLMPictureEx& picture, const wchar_t* pszFile, UINT nResource);

class CTitleBand
{
public:
    // The three pieces ("dlg_title2_L.gif", "dlg_title_M.gif", "dlg_title_R.gif"); false when one fails.
    bool Load(INoticeHost& host);
    // Three other pieces: skin files, each with its resource fallback.
    bool Load(INoticeHost& host, const wchar_t* const (&files)[3], const UINT (&resources)[3]);
    int Height() const { return m_left.m_nHeight; }
    // Left at the origin, right at the right edge, the middle stretched between them.
    void Paint(HDC hDC, int nWidth);

private:
    CLMPictureEx m_left;
    CLMPictureEx m_middle;
    CLMPictureEx m_right;
};

// Moves the window so that its centre is the centre of hOver when that is visible and not
// minimised, else of the screen; nExtraTop counts a title band above the window's own client.
void CentreNoticeWindow(HWND hWnd, HWND hOver, int nExtraTop = 0);

// A font height from a text such as IDS_DEFAULT_FONTSIZE, with a fallback for an empty one.
int NoticeFontHeight(const std::wstring& szSize);
