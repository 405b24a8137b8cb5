// Skin pictures with their resource fallback, the title band, and centring a notice.
#include "confclient/notices/SkinPictures.h"

#include <cwchar>

#include "ResourceIds.h"
#include "winui/WinApp.h"

bool LoadNoticePicture(INoticeHost& host, CLMPictureEx& picture, const wchar_t* pszFile, UINT nResource)
{
    if (host.LoadSkinImage(pszFile, picture)) return true;
    return picture.LoadFromResource(AfxGetResourceHandle(), L"BACKIMAGE", nResource);
}

bool CTitleBand::Load(INoticeHost& host)
{
    return Load(host, {L"dlg_title2_L.gif", L"dlg_title_M.gif", L"dlg_title_R.gif"},
                {IDR_BACK_TITLE_L, IDR_BACK_TITLE_M, IDR_BACK_TITLE_R});
}

bool CTitleBand::Load(INoticeHost& host, const wchar_t* const (&files)[3], const UINT (&resources)[3])
{
    return LoadNoticePicture(host, m_left, files[0], resources[0]) &&
           LoadNoticePicture(host, m_middle, files[1], resources[1]) &&
           LoadNoticePicture(host, m_right, files[2], resources[2]);
}

void CTitleBand::Paint(HDC hDC, int nWidth)
{
    const int nLeft = m_left.m_nWidth;
    const int nRight = m_right.m_nWidth;
    m_left.Render(hDC, 0, 0, -1, -1, 0);
    if (nWidth > nLeft + nRight)
        m_middle.Render(hDC, nLeft, 0, nWidth - nLeft - nRight, m_middle.m_nHeight, 0);
    m_right.Render(hDC, nWidth - nRight, 0, -1, -1, 0);
}

void CentreNoticeWindow(HWND hWnd, HWND hOver, int nExtraTop)
{
    RECT box;
    ::GetWindowRect(hWnd, &box);
    RECT area;
    if (hOver && ::IsWindowVisible(hOver) && !::IsIconic(hOver))
        ::GetWindowRect(hOver, &area);
    else
        area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const int cx = box.right - box.left;
    const int cy = box.bottom - box.top + nExtraTop;
    const int x = area.left + (area.right - area.left - cx) / 2;
    const int y = area.top + (area.bottom - area.top - cy) / 2 + nExtraTop;
    ::SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int NoticeFontHeight(const std::wstring& szSize)
{
    const int n = std::wcstol(szSize.c_str(), nullptr, 10);
    return n > 0 && n < 100 ? n : 12;
}
