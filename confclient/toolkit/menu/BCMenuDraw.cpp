// BCMenu: measuring items and painting them in the flat or the raised style, off screen.
#include "confclient/toolkit/menu/BCMenu.h"
#include "confclient/toolkit/menu/BCMenuMemDC.h"
#include "confclient/toolkit/menu/BCMenuShared.h"
#include "confclient/toolkit/menu/MenuPaint.h"
#include <array>

namespace
{
COLORREF Sys(int index)
{
    return ::GetSysColor(index);
}

// The menu font of the system, owned.
class MenuFont
{
public:
    MenuFont()
    {
        NONCLIENTMETRICSW ncm{};
        ncm.cbSize = sizeof ncm;
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
            m_font.Attach(::CreateFontIndirectW(&ncm.lfMenuFont));
    }
    HFONT Get() const { return m_font; }

private:
    CGdiHandle<HFONT> m_font;
};

// Text left of a tab goes left in the rectangle, text right of it (the shortcut) right.
void DrawItemText(HDC hDC, const CString& text, RECT r, COLORREF colour, bool bHidePrefix)
{
    COLORREF oldColour = ::SetTextColor(hDC, colour);
    int oldMode = ::SetBkMode(hDC, TRANSPARENT);
    UINT format = DT_SINGLELINE | DT_VCENTER | (bHidePrefix ? DT_HIDEPREFIX : 0u);
    size_t tab = text.find(L'\t');
    ::DrawTextW(hDC, text.c_str(), static_cast<int>(tab == CString::npos ? text.size() : tab), &r,
                format | DT_LEFT);
    if (tab != CString::npos)
        ::DrawTextW(hDC, text.c_str() + tab + 1, static_cast<int>(text.size() - tab - 1), &r,
                    format | DT_RIGHT);
    ::SetBkMode(hDC, oldMode);
    ::SetTextColor(hDC, oldColour);
}

bool IsRadioItem(const DRAWITEMSTRUCT& dis)
{
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE;
    return ::GetMenuItemInfoW(reinterpret_cast<HMENU>(dis.hwndItem), dis.itemID, FALSE, &mii) &&
           (mii.fType & MFT_RADIOCHECK);
}

void DrawImage(HDC hDC, int nIndex, int x, int y)
{
    ::ImageList_Draw(BCMenuSharedImages().GetList(), nIndex, hDC, x, y, ILD_TRANSPARENT);
}

// The menu font goes into the measuring context except on the oldest 9x systems (version code 0);
// later NT systems (code 1) draw with it, so they measure with it too.
bool MeasureWithMenuFont()
{
    return BCMenuVersionCode() != 0;
}
} // namespace

void BCMenu::MeasureItem(MEASUREITEMSTRUCT* pMIS)
{
    if (!pMIS || pMIS->CtlType != ODT_MENU) return;
    const BCMenuData* pData = FindRecord(pMIS->itemData);
    if (!pData) return;
    bool bFlat = BCMenuFlatStyle();
    int nGap = MenuGap(bFlat, BCMenuStyleFlags().bDisabledImages);
    int nMenuHeight = ::GetSystemMetrics(SM_CYMENU);
    MenuItemSize size{0, 0};
    if (pData->m_nFlags & MF_SEPARATOR)
        size = MeasureSeparator(bFlat, nGap, nMenuHeight);
    else
    {
        MenuFont font;
        CClientDC screen(nullptr);
        CSelectObject select(screen, MeasureWithMenuFont() ? font.Get() : nullptr);
        RECT r{0, 0, 0, 0};
        ::DrawTextW(screen, pData->m_szMenuText.c_str(), pData->m_szMenuText.GetLength(), &r,
                    DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
        size = MeasureTextItem(bFlat, nGap, r.right - r.left, nMenuHeight);
    }
    pMIS->itemWidth = static_cast<UINT>(size.width);
    pMIS->itemHeight = static_cast<UINT>(size.height);
}

void BCMenu::DrawItem(DRAWITEMSTRUCT* pDIS)
{
    if (!pDIS || pDIS->CtlType != ODT_MENU) return;
    const BCMenuData* pData = FindRecord(pDIS->itemData);
    if (!pData) return;
    // A palette display cannot show the flat style's shades.
    bool bFlat = BCMenuFlatStyle() && !(::GetDeviceCaps(pDIS->hDC, RASTERCAPS) & RC_PALETTE);
    BCMenuMemDC mem(pDIS->hDC, pDIS->rcItem);
    HDC hDC = mem.GetDrawDC();
    MenuFont font;
    CSelectObject select(hDC, font.Get());
    if (bFlat)
        DrawFlat(hDC, *pDIS, *pData);
    else
        DrawRaised(hDC, *pDIS, *pData);
}

void BCMenu::DrawFlat(HDC hDC, const DRAWITEMSTRUCT& dis, const BCMenuData& data)
{
    const RECT& r = dis.rcItem;
    bool bSelected = dis.itemState & ODS_SELECTED;
    bool bDisabled = dis.itemState & (ODS_GRAYED | ODS_DISABLED);
    bool bChecked = dis.itemState & ODS_CHECKED;
    COLORREF highlight = m_crSelection != kDerived ? m_crSelection : Sys(COLOR_HIGHLIGHT);
    COLORREF face = Sys(COLOR_BTNFACE);
    int nGap = MenuGap(true, BCMenuStyleFlags().bDisabledImages);
    int nColumn = kMenuIconWidth + nGap + 1;

    FillSolid(hDC, r, DarkenColour(Sys(COLOR_WINDOW), 0.02));
    FillSolid(hDC, RECT{r.left, r.top, r.left + nColumn, r.bottom},
              BCMenuThemedXP() ? face : LightenColour(face, 0.25));
    if (data.m_nFlags & MF_SEPARATOR)
    {
        int y = (r.top + r.bottom) / 2;
        FillSolid(hDC, RECT{r.left + nColumn + nGap, y, r.right, y + 1},
                  LightenColour(Sys(COLOR_BTNSHADOW), 0.5));
        return;
    }
    if (bSelected)
    {
        if (!bDisabled) FillSolid(hDC, r, LightenColour(highlight, 0.7));
        FrameSolid(hDC, r, highlight);
    }

    int x = r.left + (nColumn - kMenuIconWidth) / 2;
    int y = r.top + (r.bottom - r.top - kMenuIconHeight) / 2;
    int nImage = data.m_nImageIndex;
    if (bChecked)
    {
        RECT frame{x - 2, y - 2, x + kMenuIconWidth + 2, y + kMenuIconHeight + 2};
        FillSolid(hDC, frame, LightenColour(highlight, bSelected ? 0.55 : 0.85));
        FrameSolid(hDC, frame, highlight);
        if (nImage < 0)
        {
            COLORREF mark = Sys(COLOR_MENUTEXT);
            if (IsRadioItem(dis))
                DrawRadioDot(hDC, frame.left + 5, frame.top + 4, mark);
            else
                DrawCheckMark(hDC, frame.left + 4, frame.top + 4, mark, bSelected);
        }
    }
    if (nImage >= 0)
    {
        bool bExtra = BCMenuSharedImages().HasExtraImages(nImage);
        if (bDisabled)
        {
            if (bExtra)
                DrawImage(hDC, nImage + 3, x, y);
            else
                DrawDisabledImage(hDC, BCMenuSharedImages().GetList(), nImage, x, y);
        }
        else if (bExtra && bSelected && !bChecked)
        {
            // Raised over its shadow while under the mouse.
            DrawImage(hDC, nImage + 2, x + 1, y + 1);
            DrawImage(hDC, nImage, x - 1, y - 1);
        }
        else
            DrawImage(hDC, bExtra && !bChecked ? nImage + 1 : nImage, x, y);
    }

    COLORREF text = Sys(COLOR_MENUTEXT);
    if (bDisabled) text = m_crDisabled != kDerived ? m_crDisabled : LightenColour(Sys(COLOR_GRAYTEXT), 0.4);
    DrawItemText(hDC, data.m_szMenuText, RECT{r.left + nColumn + nGap, r.top, r.right - 8, r.bottom}, text,
                 dis.itemState & ODS_NOACCEL);
}

void BCMenu::DrawRaised(HDC hDC, const DRAWITEMSTRUCT& dis, const BCMenuData& data)
{
    const RECT& r = dis.rcItem;
    bool bSelected = dis.itemState & ODS_SELECTED;
    bool bDisabled = dis.itemState & (ODS_GRAYED | ODS_DISABLED);
    bool bChecked = dis.itemState & ODS_CHECKED;
    COLORREF menu = Sys(COLOR_MENU);

    FillSolid(hDC, r, menu);
    if (data.m_nFlags & MF_SEPARATOR)
    {
        RECT line{r.left, (r.top + r.bottom) / 2 - 1, r.right, (r.top + r.bottom) / 2 + 1};
        ::DrawEdge(hDC, &line, EDGE_ETCHED, BF_TOP);
        return;
    }

    int x = r.left + 2;
    int y = r.top + (r.bottom - r.top - kMenuIconHeight) / 2;
    RECT frame{x - 1, y - 1, x + kMenuIconWidth + 1, y + kMenuIconHeight + 1};
    int nTextLeft = r.left + kMenuIconWidth + 8;
    int nImage = data.m_nImageIndex;
    if (bSelected)
        FillSolid(hDC, RECT{nTextLeft - 2, r.top, r.right, r.bottom},
                  m_crSelection != kDerived ? m_crSelection : Sys(COLOR_HIGHLIGHT));
    if (bChecked)
        DrawCheckedFrame(hDC, frame, menu, bSelected, BCMenuVersionCode() >= 2,
                         nImage < 0 ? (IsRadioItem(dis) ? CheckMark::Radio : CheckMark::Tick)
                                    : CheckMark::None);
    else if (bSelected && !bDisabled && nImage >= 0)
        ::DrawEdge(hDC, &frame, BDR_RAISEDINNER, BF_RECT);
    if (nImage >= 0)
    {
        if (bDisabled)
            DrawDisabledImage(hDC, BCMenuSharedImages().GetList(), nImage, x, y);
        else
            DrawImage(hDC, nImage, x, y);
    }

    RECT text{nTextLeft, r.top, r.right - 8, r.bottom};
    bool bHidePrefix = dis.itemState & ODS_NOACCEL;
    if (bDisabled)
    {
        COLORREF grey = m_crDisabled != kDerived ? m_crDisabled : Sys(COLOR_GRAYTEXT);
        if (!bSelected)
        {
            RECT lit = text;
            ::OffsetRect(&lit, 1, 1);
            DrawItemText(hDC, data.m_szMenuText, lit, Sys(COLOR_3DHILIGHT), bHidePrefix);
        }
        DrawItemText(hDC, data.m_szMenuText, text, grey, bHidePrefix);
    }
    else
        DrawItemText(hDC, data.m_szMenuText, text, Sys(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT),
                     bHidePrefix);
}
