// CPanelHeader: the shared title band of the side panels.
#include "confclient/room/PanelHeader.h"

#include "confclient/room/RoomDlg.h"
#include "confclient/room/RoomHost.h"
#include "confclient/room/SidePanelGeometry.h"
#include "resources/ResourceIds.h"
#include "winui/WinApp.h"

namespace
{
constexpr COLORREF kBandColour = RGB(0xDC, 0xE4, 0xEE);
}

bool LoadPanelPicture(IRoomHost* pHost, CLMPictureEx& picture, const wchar_t* pszFile, UINT nResource)
{
    if (pHost && pHost->LoadSkinImage(pszFile, picture)) return true;
    return picture.LoadFromResource(AfxGetResourceHandle(), L"BACKIMAGE", nResource);
}

void PaintPanelBand(HDC hDC, CLMPictureEx (&parts)[3], int y, int nWidth)
{
    const int nLeft = parts[0].m_nWidth;
    const int nRight = parts[2].m_nWidth;
    parts[0].Render(hDC, 0, y, -1, -1, 0);
    if (nWidth > nLeft + nRight)
        parts[1].Render(hDC, nLeft, y, nWidth - nLeft - nRight, parts[1].m_nHeight, 0);
    parts[2].Render(hDC, nWidth - nRight, y, -1, -1, 0);
}

CPanelHeader::~CPanelHeader()
{
    if (m_hBrush) ::DeleteObject(m_hBrush);
}

bool CPanelHeader::LoadPictures(IRoomHost* pHost)
{
    const wchar_t* files[] = {L"back_header_left.gif", L"back_header_middle.gif", L"back_header_right.gif"};
    for (int i = 0; i < 3; ++i)
        if (!LoadPanelPicture(pHost, m_parts[i], files[i], IDR_BACK_HEADER_LEFT + i)) return false;
    m_nHeight = m_parts[0].m_nHeight - 1;
    if (!m_hBrush) m_hBrush = ::CreateSolidBrush(kBandColour);
    return true;
}

void CPanelHeader::Attach(CDialog& panel, IRoomHost* pHost, int nPopupId, int nFloatId, int nAlphaId,
                          const char* pszFloatTip)
{
    m_pHost = pHost;
    m_popup.SubclassDlgItem(nPopupId, &panel);
    m_float.SubclassDlgItem(nFloatId, &panel);
    m_float.LoadBitmapsAndSize(IDB_PANEL_FLOAT, IDB_PANEL_FLOAT + 1, IDB_PANEL_FLOAT + 3,
                               IDB_PANEL_FLOAT + 2);
    m_alpha.SubclassDlgItem(nAlphaId, &panel);
    m_alpha.LoadChannelBitmaps(IDB_PANEL_ALPHA_CHANNEL, TRUE, 0, TRUE);
    m_alpha.LoadThumbBitmaps(IDB_PANEL_ALPHA_THUMB, 0, TRUE);
    m_alpha.SetRange(kPanelMinAlpha, kPanelMaxAlpha);
    m_alpha.SetPos(kPanelMaxAlpha);
    m_tips.Create(&panel);
    AddTip(m_popup, "IDMS_POPUP_HIDE");
    AddTip(m_float, pszFloatTip);
}

void CPanelHeader::AddTip(CWnd& button, const char* pszKey)
{
    if (m_tips.m_hWnd && m_pHost) m_tips.AddTool(&button, m_pHost->RoomText(pszKey).c_str());
}

void CPanelHeader::UpdatePopup(bool bExpanded)
{
    if (bExpanded)
        m_popup.LoadBitmapsAndSize(IDB_PANEL_HIDE, IDB_PANEL_HIDE + 1, IDB_PANEL_HIDE + 2, 0);
    else
        m_popup.LoadBitmapsAndSize(IDB_PANEL_SHOW, IDB_PANEL_SHOW + 2, IDB_PANEL_SHOW + 2, 0);
    m_popup.Invalidate();
    if (m_tips.m_hWnd && m_pHost)
        m_tips.UpdateTipText(m_pHost->RoomText(bExpanded ? "IDMS_POPUP_HIDE" : "IDMS_POPUP_SHOW").c_str(),
                             &m_popup);
}

int CPanelHeader::PlaceButtons(int cx, std::initializer_list<CHBitmapButton*> further)
{
    int x = cx;
    auto place = [&x](CHBitmapButton& button)
    {
        x -= 3 + button.m_nWidth;
        button.SetWindowPos(nullptr, x, 1, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(m_popup);
    if (HasVisibleStyle(m_float)) place(m_float); // hidden in playback
    for (CHBitmapButton* pButton : further)
        place(*pButton);
    return x;
}

void CPanelHeader::PlaceSlider(bool bFloating, int x, int y)
{
    if (bFloating) m_alpha.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_alpha.ShowWindow(bFloating ? SW_SHOW : SW_HIDE);
}

int CPanelHeader::SliderWidth() const
{
    RECT slider{};
    ::GetWindowRect(m_alpha, &slider);
    return slider.right - slider.left;
}

void CPanelHeader::Paint(HDC hDC, int cx)
{
    PaintPanelBand(hDC, m_parts, 0, cx);
}

HBRUSH CPanelHeader::TitleBrush(HDC hDC)
{
    ::SetBkColor(hDC, kBandColour);
    return m_hBrush;
}
