// The owner-drawn menu under Wine: items in sub-menus, images shared by command id, measures, both
// drawing styles, the theme read, and a real popup shown over the sample page through its owner.
#include "confclient/toolkit/menu/BCMenu.h"
#include "confclient/toolkit/menu/BCMenuShared.h"
#include "tests/toolkit_controls/Pixels.h"
#include "tests/toolkit_slider/SliderSample.h"
#include "tests/winui/TestResources.h"
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace
{
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kToolbarNavy = RGB(0, 0, 128);

COLORREF Sys(int index)
{
    return ::GetSysColor(index);
}

struct Item
{
    UINT nType = 0, nState = 0;
    ULONG_PTR data = 0;
    HMENU hSubMenu = nullptr;
};

Item ItemAt(HMENU hMenu, int nPos)
{
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA | MIIM_SUBMENU;
    EXPECT_TRUE(::GetMenuItemInfoW(hMenu, static_cast<UINT>(nPos), TRUE, &mii));
    return Item{mii.fType, mii.fState, mii.dwItemData, mii.hSubMenu};
}

ULONG_PTR DataOf(const BCMenuData* pData)
{
    return reinterpret_cast<ULONG_PTR>(pData);
}

// The width of a text in the system's menu font, as the screen measures it.
int MenuTextWidth(const wchar_t* text)
{
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    EXPECT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    HFONT font = ::CreateFontIndirectW(&ncm.lfMenuFont);
    HDC screen = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(screen, font);
    RECT r{0, 0, 0, 0};
    ::DrawTextW(screen, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    ::SelectObject(screen, old);
    ::ReleaseDC(nullptr, screen);
    ::DeleteObject(font);
    return r.right - r.left;
}

class Menu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(LoadTestResources(), nullptr);
        BCMenuStyleFlags() = BCMenuStyle{};
    }
    void TearDown() override { BCMenuStyleFlags() = BCMenuStyle{}; }

    static void UseRaisedStyle()
    {
        BCMenuStyleFlags().bFlatOnThemedXP = BCMenuStyleFlags().bFlatElsewhere = false;
    }

    // One item drawn into a canvas of its own, as the owner's WM_DRAWITEM would.
    static MemoryCanvas Draw(BCMenu& menu, UINT nID, const BCMenuData* pData, UINT nState, int cy = 22)
    {
        MemoryCanvas canvas(160, cy);
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_MENU;
        dis.itemID = nID;
        dis.itemAction = ODA_DRAWENTIRE;
        dis.itemState = nState;
        dis.hwndItem = reinterpret_cast<HWND>(menu.m_hMenu);
        dis.hDC = canvas.hDC;
        dis.rcItem = RECT{0, 0, 160, cy};
        dis.itemData = DataOf(pData);
        menu.DrawItem(&dis);
        return canvas;
    }
    static SIZE Measure(BCMenu& menu, const BCMenuData* pData)
    {
        MEASUREITEMSTRUCT mis{ODT_MENU, 0, static_cast<UINT>(pData->m_nID), 0, 0, DataOf(pData)};
        menu.MeasureItem(&mis);
        return SIZE{static_cast<LONG>(mis.itemWidth), static_cast<LONG>(mis.itemHeight)};
    }
};
} // namespace

TEST_F(Menu, AppendsSeparatorsAndEditsItemsInSubMenus)
{
    HMENU hSub = nullptr;
    {
        BCMenu menu;
        ASSERT_TRUE(menu.AppendMenu(MF_STRING, 11, L"One"));
        // Id 0 is a separator whatever else was asked for.
        ASSERT_TRUE(menu.AppendMenu(MF_STRING | MF_CHECKED | MF_GRAYED, 0, L"ignored"));
        EXPECT_EQ(menu.m_MenuList[0]->m_nFlags, static_cast<UINT>(MF_OWNERDRAW));
        EXPECT_EQ(menu.m_MenuList[1]->m_nFlags, static_cast<UINT>(MF_SEPARATOR | MF_OWNERDRAW));
        Item sep = ItemAt(menu, 1);
        EXPECT_TRUE((sep.nType & MFT_SEPARATOR) && (sep.nType & MFT_OWNERDRAW));
        EXPECT_EQ(sep.data, DataOf(menu.m_MenuList[1].get()));

        BCMenu* pSub = menu.AppendPopupMenu(L"More");
        ASSERT_NE(pSub, nullptr);
        hSub = pSub->m_hMenu;
        EXPECT_TRUE(pSub->m_bChild);
        EXPECT_TRUE(BCMenu::IsOwnMenu(hSub));
        EXPECT_FALSE(BCMenu::IsOwnMenu(menu.m_hMenu));
        EXPECT_EQ(menu.m_SubMenus, std::vector<HMENU>{hSub});
        EXPECT_EQ(ItemAt(menu, 2).hSubMenu, hSub);
        pSub->AppendMenu(MF_STRING, 21, L"Seven");
        pSub->AppendMenu(MF_STRING, 22, L"Eight");
        // An item the platform menu got without a record.
        ::AppendMenuW(hSub, MF_STRING, 23, L"Nine");

        EXPECT_TRUE(menu.ModifyItem(L"Seven!", 21));
        EXPECT_EQ(menu.FindData(21)->m_szMenuText, L"Seven!");
        EXPECT_EQ(ItemAt(hSub, 0).data, DataOf(menu.FindData(21)));
        EXPECT_TRUE(menu.ModifyItem(L"Nine!", 23));
        ASSERT_NE(menu.FindData(23), nullptr);
        EXPECT_TRUE(ItemAt(hSub, 2).nType & MFT_OWNERDRAW);
        EXPECT_EQ(ItemAt(hSub, 2).data, DataOf(menu.FindData(23)));
        EXPECT_FALSE(menu.ModifyItem(L"x", 99));

        // Removing an id that only the sub-menu holds removes it there.
        EXPECT_TRUE(menu.RemoveItem(21));
        EXPECT_EQ(pSub->GetMenuItemCount(), 2);
        EXPECT_EQ(pSub->GetMenuItemID(0), 22u);
        EXPECT_EQ(menu.FindData(21), nullptr);
        EXPECT_EQ(pSub->m_MenuList.size(), 2u);
        EXPECT_FALSE(menu.RemoveItem(21));
        EXPECT_FALSE(menu.RemoveItem(7, MF_BYPOSITION));
        EXPECT_TRUE(menu.RemoveItem(0, MF_BYPOSITION));
        EXPECT_EQ(menu.GetMenuItemCount(), 2);
        EXPECT_EQ(menu.m_MenuList.size(), 2u);

        // Removing the popup frees its child menu.
        EXPECT_TRUE(menu.RemoveItem(1, MF_BYPOSITION));
        EXPECT_TRUE(menu.m_Children.empty());
        EXPECT_TRUE(menu.m_SubMenus.empty());
        EXPECT_FALSE(BCMenu::IsOwnMenu(hSub));
        EXPECT_FALSE(::IsMenu(hSub));

        hSub = menu.AppendPopupMenu(L"Again")->m_hMenu;
    }
    // The destructor takes the child menus with it.
    EXPECT_FALSE(::IsMenu(hSub));
    EXPECT_FALSE(BCMenu::IsOwnMenu(hSub));
}

TEST_F(Menu, ToolbarImagesAreSharedByCommandId)
{
    BCMenuImages& images = BCMenuSharedImages();
    BCMenu menu;
    int nBefore = images.GetCount();
    // The image and its washed, shadow and grey copies, unless an earlier menu put them there.
    int nNew = images.HasExtraImages(images.IndexOf(ID_SAMPLE_KICK)) ? 0 : 4;
    ASSERT_TRUE(menu.AppendMenu(MF_STRING, ID_SAMPLE_KICK, L"Send out", IDR_TOOLBAR_SAMPLE));
    int nKick = menu.FindData(ID_SAMPLE_KICK)->m_nImageIndex;
    ASSERT_GE(nKick, 0);
    EXPECT_EQ(images.GetCount(), nBefore + nNew);
    EXPECT_TRUE(images.HasExtraImages(nKick));

    // The same command shows the same image without naming the toolbar; naming it again reuses the slots.
    BCMenu other;
    other.AppendMenu(MF_STRING, ID_SAMPLE_KICK, L"Send out");
    other.AppendMenu(MF_STRING, ID_SAMPLE_KICK, L"Again", IDR_TOOLBAR_SAMPLE);
    EXPECT_EQ(other.m_MenuList[0]->m_nImageIndex, nKick);
    EXPECT_EQ(other.m_MenuList[1]->m_nImageIndex, nKick);
    EXPECT_EQ(images.GetCount(), nBefore + nNew);

    // No image, but the item is there: a command the toolbar lacks, a toolbar that does not exist.
    for (int nToolbar : {IDR_TOOLBAR_SAMPLE, 31999})
    {
        ASSERT_TRUE(other.AppendMenu(MF_STRING, ID_SAMPLE_FLOOR_GIVE, L"Give", nToolbar));
        EXPECT_EQ(other.m_MenuList.back()->m_nImageIndex, -1);
    }
    EXPECT_EQ(other.GetMenuItemCount(), 4);

    // The slice behind the separator: the red cross, on a transparent background, and its copies.
    COLORREF face = Sys(COLOR_BTNFACE);
    COLORREF shadow = BCMenuThemedXP() ? Sys(COLOR_BTNSHADOW) : DarkenColour(Sys(COLOR_BTNSHADOW), 0.49);
    struct Case
    {
        int nOffset;
        COLORREF expected;
    };
    for (Case c : {Case{0, kRed}, Case{1, LightenColour(kRed, 0.3)}, Case{2, shadow},
                   Case{3, LightenColour(face, 85 / 255.0)}})
    {
        MemoryCanvas canvas(16, 15);
        ::ImageList_Draw(images.GetList(), nKick + c.nOffset, canvas.hDC, 0, 0, ILD_TRANSPARENT);
        EXPECT_TRUE(Near(canvas.Pixel(2, 2), c.expected, 2)) << "image " << c.nOffset;
        EXPECT_EQ(canvas.Pixel(0, 0), MemoryCanvas::kBlank) << "image " << c.nOffset;
    }
    menu.AppendMenu(MF_STRING, ID_SAMPLE_VIDEO, L"Video", IDR_TOOLBAR_SAMPLE);
    MemoryCanvas video(16, 15);
    ::ImageList_Draw(images.GetList(), menu.FindData(ID_SAMPLE_VIDEO)->m_nImageIndex, video.hDC, 0, 0,
                     ILD_TRANSPARENT);
    EXPECT_TRUE(Near(video.Pixel(4, 6), kToolbarNavy, 2));

    // In icon mode the images go in as icons, with the same pixels.
    BCMenu icons;
    icons.m_bIconMode = TRUE;
    icons.AppendMenu(MF_STRING, ID_SAMPLE_KICK, L"Send out", IDR_TOOLBAR_SAMPLE);
    EXPECT_EQ(icons.m_MenuList[0]->m_nImageIndex, nKick);
    MemoryCanvas canvas(16, 15);
    ::ImageList_Draw(images.GetList(), nKick, canvas.hDC, 0, 0, ILD_TRANSPARENT);
    EXPECT_TRUE(Near(canvas.Pixel(2, 2), kRed, 2));
    EXPECT_EQ(canvas.Pixel(0, 0), MemoryCanvas::kBlank);
}

TEST_F(Menu, LoadsItsTemplateOwnerDrawn)
{
    BCMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MENU_SAMPLE));
    ASSERT_EQ(menu.GetMenuItemCount(), 1);
    BCMenu* pUser = menu.FindChild(menu.GetSubMenu(0));
    ASSERT_NE(pUser, nullptr);
    EXPECT_TRUE(BCMenu::IsOwnMenu(pUser->m_hMenu));
    ASSERT_EQ(pUser->GetMenuItemCount(), 6);
    for (int nPos = 0; nPos < 6; ++nPos)
        EXPECT_TRUE(ItemAt(*pUser, nPos).nType & MFT_OWNERDRAW) << nPos;
    EXPECT_EQ(pUser->m_MenuList[0]->m_szMenuText, L"&Whisper\tCtrl+W");
    EXPECT_TRUE(ItemAt(*pUser, 2).nType & MFT_SEPARATOR);
    EXPECT_TRUE(ItemAt(*pUser, 4).nState & MFS_CHECKED);
    BCMenu* pFloor = pUser->FindChild(pUser->GetSubMenu(3));
    ASSERT_NE(pFloor, nullptr);
    EXPECT_EQ(pFloor->GetMenuItemCount(), 2);
    EXPECT_TRUE(ItemAt(*pFloor, 1).nState & MFS_GRAYED);
    EXPECT_EQ(menu.FindData(ID_SAMPLE_FLOOR_TAKE)->m_szMenuText, L"&Take it back");

    // Loading again starts afresh.
    ASSERT_TRUE(menu.LoadMenu(MAKEINTRESOURCEW(IDR_MENU_SAMPLE)));
    EXPECT_EQ(menu.GetMenuItemCount(), 1);
    EXPECT_EQ(menu.m_Children.size(), 1u);

    BCMenu missing;
    EXPECT_FALSE(missing.LoadMenu(31999));
    EXPECT_FALSE(missing.LoadMenu(L"NOSUCHMENU"));
    EXPECT_EQ(missing.m_hMenu, nullptr);
}

TEST_F(Menu, SynchronizeTakesOverPlatformItems)
{
    HMENU hRaw = ::CreatePopupMenu();
    HMENU hRawSub = ::CreatePopupMenu();
    ::AppendMenuW(hRaw, MF_STRING, 31, L"Plain");
    ::AppendMenuW(hRaw, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(hRaw, MF_POPUP, reinterpret_cast<UINT_PTR>(hRawSub), L"Sub");
    ::AppendMenuW(hRawSub, MF_STRING | MF_CHECKED, 32, L"Deep");
    BCMenu menu;
    ASSERT_TRUE(menu.Attach(hRaw));
    menu.SynchronizeMenu();
    ASSERT_EQ(menu.m_MenuList.size(), 3u);
    for (int nPos = 0; nPos < 3; ++nPos)
    {
        Item item = ItemAt(hRaw, nPos);
        EXPECT_TRUE(item.nType & MFT_OWNERDRAW) << nPos;
        EXPECT_EQ(item.data, DataOf(menu.m_MenuList[nPos].get())) << nPos;
    }
    EXPECT_EQ(menu.m_MenuList[0]->m_szMenuText, L"Plain");
    EXPECT_EQ(menu.m_MenuList[2]->m_szMenuText, L"Sub");
    EXPECT_TRUE(BCMenu::IsOwnMenu(hRawSub));
    ASSERT_NE(menu.FindData(32), nullptr);
    EXPECT_EQ(menu.FindData(32)->m_szMenuText, L"Deep");
    EXPECT_TRUE(ItemAt(hRawSub, 0).nState & MFS_CHECKED) << "state kept";

    menu.SynchronizeMenu();
    EXPECT_EQ(menu.m_MenuList.size(), 3u) << "items with a record keep it";

    // With auto-synchronise an append also takes over what was added behind the menu's back.
    menu.m_bAutoSynchronize = TRUE;
    ::AppendMenuW(hRaw, MF_STRING, 33, L"Late");
    menu.AppendMenu(MF_STRING, 34, L"Own");
    EXPECT_EQ(menu.m_MenuList.size(), 5u);
    EXPECT_EQ(menu.FindData(33)->m_szMenuText, L"Late");
}

TEST_F(Menu, MeasuresItemsInBothStyles)
{
    const wchar_t* text = L"&Whisper\tCtrl+W";
    int nText = MenuTextWidth(text);
    int nMenu = ::GetSystemMetrics(SM_CYMENU);
    BCMenu menu;
    menu.AppendMenu(MF_STRING, 1, text);
    menu.AppendMenu(MF_SEPARATOR, 0);
    const BCMenuData* pText = menu.m_MenuList[0].get();
    const BCMenuData* pSeparator = menu.m_MenuList[1].get();

    struct Case
    {
        bool bFlat;
        SIZE text, separator;
    };
    for (Case c :
         {Case{true, {16 + nText + 7 + 8, std::max(nMenu, 15 + 7)}, {0, 3}},
          Case{false, {nText + 2 * 16 + 1, std::max(nMenu, 15 + 4)}, {0, std::max(nMenu / 2, (15 + 4) / 2)}}})
    {
        if (!c.bFlat) UseRaisedStyle();
        SIZE size = Measure(menu, pText);
        EXPECT_EQ(size.cx, c.text.cx) << c.bFlat;
        EXPECT_EQ(size.cy, c.text.cy) << c.bFlat;
        size = Measure(menu, pSeparator);
        EXPECT_EQ(size.cx, c.separator.cx) << c.bFlat;
        EXPECT_EQ(size.cy, c.separator.cy) << c.bFlat;
    }

    // Data that is not one of the menu's records is left alone.
    MEASUREITEMSTRUCT mis{ODT_MENU, 0, 1, 77, 66, 12345};
    menu.MeasureItem(&mis);
    EXPECT_EQ(mis.itemWidth, 77u);
    EXPECT_EQ(mis.itemHeight, 66u);
}

TEST_F(Menu, DrawsTheFlatStyle)
{
    BCMenu menu;
    menu.AppendMenu(MF_STRING, ID_SAMPLE_KICK, L"Send out", IDR_TOOLBAR_SAMPLE);
    menu.AppendMenu(MF_STRING, 42, L"Plain");
    menu.AppendMenu(MF_SEPARATOR, 0);
    const BCMenuData* pKick = menu.m_MenuList[0].get();
    const BCMenuData* pPlain = menu.m_MenuList[1].get();
    COLORREF highlight = Sys(COLOR_HIGHLIGHT);
    COLORREF face = Sys(COLOR_BTNFACE);
    COLORREF column = BCMenuThemedXP() ? face : LightenColour(face, 0.25);
    COLORREF back = DarkenColour(Sys(COLOR_WINDOW), 0.02);
    RECT textArea{31, 0, 152, 22};

    // The image column holds the image at (4, 3); unselected it shows the washed copy.
    MemoryCanvas normal = Draw(menu, ID_SAMPLE_KICK, pKick, 0);
    EXPECT_TRUE(Near(normal.Pixel(1, 1), column, 2));
    EXPECT_TRUE(Near(normal.Pixel(150, 1), back, 2));
    EXPECT_TRUE(Near(normal.Pixel(6, 5), LightenColour(kRed, 0.3), 2));
    EXPECT_TRUE(normal.Contains(textArea, Sys(COLOR_MENUTEXT)));

    // Selected: a light fill in a highlight frame, the image raised over its shadow.
    MemoryCanvas selected = Draw(menu, ID_SAMPLE_KICK, pKick, ODS_SELECTED);
    EXPECT_TRUE(Near(selected.Pixel(150, 5), LightenColour(highlight, 0.7), 2));
    EXPECT_TRUE(Near(selected.Pixel(0, 5), highlight, 2));
    EXPECT_TRUE(Near(selected.Pixel(159, 5), highlight, 2));
    EXPECT_TRUE(Near(selected.Pixel(5, 4), kRed, 2));

    // Disabled: the grey copy and a light text.
    MemoryCanvas disabled = Draw(menu, ID_SAMPLE_KICK, pKick, ODS_GRAYED);
    EXPECT_TRUE(Near(disabled.Pixel(6, 5), LightenColour(face, 85 / 255.0), 2));
    EXPECT_TRUE(disabled.Contains(textArea, LightenColour(Sys(COLOR_GRAYTEXT), 0.4)));
    EXPECT_FALSE(disabled.Contains(textArea, Sys(COLOR_MENUTEXT)));

    // Checked without an image: a tinted frame with a tick (its first stroke at column 6, rows 7-9).
    MemoryCanvas checked = Draw(menu, 42, pPlain, ODS_CHECKED);
    EXPECT_TRUE(Near(checked.Pixel(3, 2), LightenColour(highlight, 0.85), 2));
    EXPECT_TRUE(Near(checked.Pixel(2, 1), highlight, 2));
    EXPECT_EQ(checked.Pixel(6, 8), Sys(COLOR_MENUTEXT));
    EXPECT_EQ(checked.Pixel(6, 6), LightenColour(highlight, 0.85));

    // Under the mouse the tick sits one row higher; a radio item shows a dot instead.
    MemoryCanvas raised = Draw(menu, 42, pPlain, ODS_CHECKED | ODS_SELECTED);
    EXPECT_EQ(raised.Pixel(6, 6), Sys(COLOR_MENUTEXT));
    EXPECT_NE(raised.Pixel(6, 9), Sys(COLOR_MENUTEXT));
    menu.AppendMenu(MF_STRING, 43, L"Radio");
    ASSERT_TRUE(::CheckMenuRadioItem(menu, 43, 43, 43, MF_BYCOMMAND));
    MemoryCanvas radio = Draw(menu, 43, menu.FindData(43), ODS_CHECKED);
    EXPECT_EQ(radio.Pixel(10, 8), Sys(COLOR_MENUTEXT)) << "dot at (left + 5, top + 4) of the frame";
    EXPECT_NE(radio.Pixel(6, 8), Sys(COLOR_MENUTEXT)) << "no tick";

    // A separator: one line over the text part.
    MemoryCanvas separator = Draw(menu, 0, menu.m_MenuList[2].get(), 0, 3);
    EXPECT_TRUE(Near(separator.Pixel(100, 1), LightenColour(Sys(COLOR_BTNSHADOW), 0.5), 2));
    EXPECT_TRUE(Near(separator.Pixel(100, 0), back, 2));
    EXPECT_TRUE(Near(separator.Pixel(10, 1), column, 2));
}

TEST_F(Menu, DrawsTheRaisedStyle)
{
    UseRaisedStyle();
    BCMenu menu;
    menu.AppendMenu(MF_STRING, ID_SAMPLE_KICK, L"Send out", IDR_TOOLBAR_SAMPLE);
    menu.AppendMenu(MF_STRING, 42, L"Plain");
    const BCMenuData* pKick = menu.m_MenuList[0].get();
    COLORREF menuColour = Sys(COLOR_MENU);

    MemoryCanvas normal = Draw(menu, ID_SAMPLE_KICK, pKick, 0);
    EXPECT_TRUE(Near(normal.Pixel(150, 5), menuColour, 2));
    EXPECT_TRUE(Near(normal.Pixel(4, 5), kRed, 2)) << "the image itself at (2, 3)";

    MemoryCanvas selected = Draw(menu, ID_SAMPLE_KICK, pKick, ODS_SELECTED);
    EXPECT_TRUE(Near(selected.Pixel(150, 5), Sys(COLOR_HIGHLIGHT), 2));
    EXPECT_TRUE(Near(selected.Pixel(0, 5), menuColour, 2));
    EXPECT_TRUE(selected.Contains(RECT{24, 0, 152, 22}, Sys(COLOR_HIGHLIGHTTEXT)));

    // Disabled: the image as a flat shape in the shadow colour.
    MemoryCanvas disabled = Draw(menu, ID_SAMPLE_KICK, pKick, ODS_GRAYED);
    EXPECT_TRUE(disabled.Contains(RECT{2, 3, 18, 18}, Sys(COLOR_3DSHADOW)));
    EXPECT_FALSE(disabled.Contains(RECT{2, 3, 18, 18}, kRed));

    // Checked without an image: the menu colour lightened, a tick at (left + 4, top + 4) of the frame.
    MemoryCanvas checked = Draw(menu, 42, menu.m_MenuList[1].get(), ODS_CHECKED);
    EXPECT_TRUE(Near(checked.Pixel(3, 3), LightenColour(menuColour, 0.6), 2));
    EXPECT_EQ(checked.Pixel(5, 8), Sys(COLOR_MENUTEXT));
}

TEST_F(Menu, ClassicThemeReadIsBoundedAndTerminated)
{
    const wchar_t* key = L"Software\\QuillonTest\\MenuTheme";
    ::RegDeleteKeyW(HKEY_CURRENT_USER, key);
    EXPECT_FALSE(ReadClassicTheme(HKEY_CURRENT_USER, key)) << "no key";

    std::wstring classic = L"Windows Classic.theme";
    std::wstring bare(269 - classic.size(), L'x');
    bare += classic; // stored without its terminator
    struct Case
    {
        DWORD type;
        std::wstring value;
        DWORD cb; // 0: the text with its terminator
        bool expected;
    };
    for (const Case& c : {Case{REG_SZ, L"C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme", 0, true},
                          Case{REG_SZ, L"c:\\themes\\windows classic.THEME", 0, true},
                          Case{REG_SZ, L"C:\\WINDOWS\\Resources\\Themes\\Luna.theme", 0, false},
                          Case{REG_SZ, std::wstring(300, L'x') + classic, 0, false},
                          Case{REG_SZ, bare, 538, true}, Case{REG_BINARY, classic, 0, false}})
    {
        HKEY hKey = nullptr;
        ASSERT_EQ(
            ::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr),
            ERROR_SUCCESS);
        DWORD cb = c.cb ? c.cb : static_cast<DWORD>((c.value.size() + 1) * sizeof(wchar_t));
        ::RegSetValueExW(hKey, nullptr, 0, c.type, reinterpret_cast<const BYTE*>(c.value.c_str()), cb);
        ::RegCloseKey(hKey);
        EXPECT_EQ(ReadClassicTheme(HKEY_CURRENT_USER, key), c.expected) << c.value.size() << " units";
    }
    ::RegDeleteKeyW(HKEY_CURRENT_USER, key);
}

namespace
{
// The sample page as the owner of a popup menu: it forwards the menu's measuring and drawing.
class MenuOwner : public SliderSample
{
public:
    BCMenu* m_pMenu = nullptr;
    int m_nMeasured = 0;
    int m_nDrawn = 0;
    std::function<void(HWND)> m_onIdle;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_MEASUREITEM && reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlType == ODT_MENU)
        {
            m_pMenu->MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            ++m_nMeasured;
            return TRUE;
        }
        if (msg == WM_DRAWITEM && reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlType == ODT_MENU)
        {
            m_pMenu->DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            ++m_nDrawn;
            return TRUE;
        }
        if (msg == WM_ENTERIDLE && wParam == MSGF_MENU && m_onIdle)
        {
            m_onIdle(reinterpret_cast<HWND>(lParam));
            return 0;
        }
        return SliderSample::WindowProc(msg, wParam, lParam);
    }
};

void CALLBACK CloseMenu(HWND, UINT, UINT_PTR, DWORD)
{
    ::EndMenu();
}

// Copies a rectangle of the screen into a file.
bool SaveScreen(const RECT& r, const wchar_t* path)
{
    MemoryCanvas canvas(r.right - r.left, r.bottom - r.top);
    HDC screen = ::GetDC(nullptr);
    ::BitBlt(canvas.hDC, 0, 0, canvas.cx, canvas.cy, screen, r.left, r.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    return SaveBitmapFile(canvas.hDC, canvas.hBitmap, canvas.cx, canvas.cy, path);
}
} // namespace

TEST_F(Menu, PopupShowsThroughItsOwnerAndReturnsTheChosenCommand)
{
    MenuOwner owner;
    ASSERT_TRUE(owner.Create(IDD_MENU_SLIDER_SAMPLE));
    owner.SetWindowPos(HWND_TOPMOST, 320, 700, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    owner.UpdateWindow();
    PumpMessages(20);

    BCMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_MENU_SAMPLE));
    for (UINT id : {ID_SAMPLE_WHISPER, ID_SAMPLE_VIDEO, ID_SAMPLE_PRESENTER, ID_SAMPLE_KICK})
        ASSERT_TRUE(menu.ModifyItem(menu.FindData(id)->m_szMenuText.c_str(), id, IDR_TOOLBAR_SAMPLE));
    BCMenu* pUser = menu.FindChild(menu.GetSubMenu(0));
    ASSERT_NE(pUser, nullptr);
    owner.m_pMenu = &menu;

    // Down to the first item, a picture of the menu with it selected, then Enter chooses it.
    int nIdle = 0;
    RECT shown{0, 0, 0, 0};
    bool bSaved = false;
    owner.m_onIdle = [&](HWND hMenuWnd)
    {
        ++nIdle;
        if (nIdle == 1)
            ::PostMessageW(hMenuWnd, WM_KEYDOWN, VK_DOWN, 1);
        else if (nIdle == 2)
        {
            RECT page, popup;
            owner.GetWindowRect(&page);
            ::GetWindowRect(hMenuWnd, &popup);
            shown = popup;
            RECT both;
            ::UnionRect(&both, &page, &popup);
            bSaved = SaveScreen(both, QUILLON_SCREENSHOT);
            ::PostMessageW(hMenuWnd, WM_KEYDOWN, VK_RETURN, 1);
        }
        else if (nIdle > 50)
            ::EndMenu();
    };
    // Should the menu never go idle, it is closed all the same.
    UINT_PTR nTimer = ::SetTimer(nullptr, 0, 5000, CloseMenu);
    POINT at{40, 70};
    ::ClientToScreen(owner.m_hWnd, &at);
    UINT chosen =
        pUser->TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, at.x, at.y, owner.m_hWnd);
    ::KillTimer(nullptr, nTimer);
    EXPECT_EQ(chosen, static_cast<UINT>(ID_SAMPLE_WHISPER));
    EXPECT_GE(owner.m_nMeasured, 6);
    EXPECT_GE(owner.m_nDrawn, 6);
    EXPECT_GT(shown.right - shown.left, 16 + MenuTextWidth(L"&Whisper\tCtrl+W"));
    EXPECT_TRUE(bSaved);
    owner.DestroyWindow();
}
