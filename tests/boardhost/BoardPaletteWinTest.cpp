// The board palette and the agenda tree beside a real board control under Wine: each palette
// button picks the tool, colour and width the board then draws with, the pickers choose
// figures, the page buttons follow the pages, the palette floats and docks again; the tree
// follows the board's pages and its rename and reorder go through the board and come back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>

#include <shlobj.h>
#include <string>
#include <vector>

#include "confclient/boardhost/FloatingBoardToolDlg.h"
#include "confclient/boardhost/PreviewDlg.h"
#include "confclient/boardhost/RoomBoard.h"
#include "confclient/room/EBookDlg.h"
#include "confclient/room/RoomAgendaListDlg.h"
#include "lmboard2/boardbase/BoardRecord.h"
#include "lmboard2/boardmsg/BoardMessage.h"
#include "lmboard2/gif/BmpFile.h"
#include "resources/ResourceIds.h"
#include "tests/comkit/Regsvr32.h"
#include "tests/session/RecordedNotices.h"
#include "tests/winui/TestResources.h"

namespace
{
class CRegisteredBoardEnv : public testing::Environment
{
public:
    void SetUp() override
    {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        ASSERT_EQ(RunRegsvr32(L"/s \"" + std::wstring(LMBOARD_OCX) + L"\""), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(RunRegsvr32(L"/u /s \"" + std::wstring(LMBOARD_OCX) + L"\""), 0);
        CoUninitialize();
    }
};
const auto* g_env = testing::AddGlobalTestEnvironment(new CRegisteredBoardEnv);

// The session's side: the board's messages are kept.
struct FakeSession : IRoomBoardSession
{
    RecordedNotices notices;
    CBoardHostFeature host{notices, nullptr};
    std::vector<std::vector<uint8_t>> sent;
    std::vector<bool> docked;
    // An upload's worker sends too.
    std::mutex lock;
    bool SendRoomBoardData(const uint8_t* p, size_t n) override
    {
        std::lock_guard<std::mutex> g(lock);
        sent.emplace_back(p, p + n);
        return true;
    }
    CBoardHostFeature& BoardHost() override { return host; }
    void BoardPaletteDocked(bool bDocked) override { docked.push_back(bDocked); }
    AgendaRights BoardAgendaRights() const override { return {7, 3, true}; }
    std::vector<bool> strips; // each strip that came (true) or went (false)
    void BoardTransferStrip(CWnd* pStrip) override { strips.push_back(pStrip != nullptr); }
    std::vector<unsigned> zooms; // the zoom items the bar was told
    void BoardZoomShown(unsigned nZoomItem) override { zooms.push_back(nZoomItem); }
};

// The window as the screen shows it, saved for a person to look at (a 24-bit bitmap file in the
// build folder; the test run converts it to PNG). Without bPump, the window paints at once and
// nothing else runs meanwhile.
void SavePicture(HWND hWnd, const wchar_t* pszName, bool bPump = true)
{
    if (bPump) PumpMessages(100);
    RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rc;
    GetWindowRect(hWnd, &rc);
    S_PICTURE24 pic;
    pic.nWidth = rc.right - rc.left;
    pic.nHeight = rc.bottom - rc.top;
    pic.bits.resize(Dib24Stride(pic.nWidth) * pic.nHeight);
    HDC hWindow = GetWindowDC(hWnd);
    HDC hMem = CreateCompatibleDC(hWindow);
    HBITMAP hBitmap = CreateCompatibleBitmap(hWindow, pic.nWidth, pic.nHeight);
    HGDIOBJ hOld = SelectObject(hMem, hBitmap);
    BitBlt(hMem, 0, 0, pic.nWidth, pic.nHeight, hWindow, 0, 0, SRCCOPY);
    SelectObject(hMem, hOld);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), pic.nWidth, pic.nHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(hMem, hBitmap, 0, static_cast<UINT>(pic.nHeight), pic.bits.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(hBitmap);
    DeleteDC(hMem);
    ReleaseDC(hWnd, hWindow);
    std::ofstream out(std::filesystem::path(std::wstring(QUILLON_PICTURE_DIR) + L"/" + pszName),
                      std::ios::binary);
    EXPECT_TRUE(WriteBmpFile(pic.View(), out)) << pszName;
}

// The record of the last drawing message (code 60): type, fluorescent, colour, width, figure.
struct Stroke
{
    int nType = 0;
    int nFluorescent = -1;
    uint32_t colour = 0;
    int nWidth = 0;
    int nKind = 0;
};

struct PaletteFixture : testing::Test
{
    FakeSession session;
    CWnd room;
    std::unique_ptr<CRoomBoard> board;
    CFloatingBoardToolDlg palette;
    HWND hView = nullptr;

    void SetUp() override
    {
        LoadTestResources();
        RECT rc{40, 40, 1040, 760};
        ASSERT_TRUE(room.CreateEx(0, L"STATIC", L"room", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                  rc, nullptr, 0));
        RoomBoardSettings settings;
        settings.product = L"Quillon";
        settings.confCode = L"palette";
        board = std::make_unique<CRoomBoard>(session, room.m_hWnd, RECT{60, 0, 900, 700}, settings);
        ASSERT_TRUE(board->IsCreated());
        HWND hFrame = FindWindowExW(board->Board().Window(), nullptr, L"LMBoard2Frame", nullptr);
        hView = FindWindowExW(hFrame, nullptr, L"LMBoard2View", nullptr);
        ASSERT_NE(nullptr, hView);
        board->Board().SetLock(false); // the presider's board
        ASSERT_TRUE(palette.Create(&room));
        palette.Attach(*board, session);
        PaletteShowState show;
        show.bBoardShown = true;
        show.bControlRight = true;
        palette.SetRoomState(show, true, true);
        PumpMessages(50);
    }
    void TearDown() override
    {
        palette.DestroyWindow();
        board.reset();
        room.DestroyWindow();
    }
    void Click(unsigned nId)
    {
        HWND h = palette.ButtonWindow(nId);
        ASSERT_NE(nullptr, h) << nId;
        SendMessageW(h, BM_CLICK, 0, 0);
        PumpMessages();
    }
    bool Pressed(unsigned nId)
    {
        auto* p = static_cast<CPaletteButton*>(CWnd::FromHandlePermanent(palette.ButtonWindow(nId)));
        return p && p->IsPressed();
    }
    // Drags across the board and reads the drawing record it sent.
    Stroke Drag()
    {
        session.sent.clear();
        SendMessageW(hView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
        for (int i = 1; i <= 4; i++)
            SendMessageW(hView, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100 + 40 * i, 100 + 25 * i));
        SendMessageW(hView, WM_LBUTTONUP, 0, MAKELPARAM(260, 200));
        Stroke s;
        for (const auto& m : session.sent)
        {
            if (m.size() < 72 + 3 || m[0] != 60) continue;
            const uint8_t* r = m.data() + 72;
            s.nType = r[2];
            if (s.nType == REC_PEN || s.nType == REC_SHAPE)
            {
                s.nFluorescent = r[3];
                s.colour = r[4] | (r[5] << 8) | (r[6] << 16) | (static_cast<uint32_t>(r[7]) << 24);
                s.nWidth = r[8];
                if (s.nType == REC_SHAPE) s.nKind = r[9];
            }
        }
        return s;
    }
};

TEST_F(PaletteFixture, ButtonsPickToolColourAndWidthOfTheBoard)
{
    struct Row
    {
        std::vector<unsigned> clicks;
        int nType, nFluorescent;
        uint32_t colour;
        int nWidth;
        unsigned nPressed;
    };
    const Row rows[] = {
        // The palette starts with the pen.
        {{}, REC_PEN, 0, kDefaultPenColour, 5, PB_PEN},
        {{PB_RED}, REC_PEN, 0, 0x0000FF, 5, PB_PEN},
        // The highlighter keeps its own colour and width.
        {{PB_HIGHLIGHTER}, REC_PEN, 1, kDefaultPenColour, 10, PB_HIGHLIGHTER},
        {{PB_GREEN}, REC_PEN, 1, 0x00FF00, 10, PB_HIGHLIGHTER},
        {{PB_ERASER}, REC_ERASER, -1, 0, 0, PB_ERASER},
        {{PB_PEN}, REC_PEN, 0, 0x0000FF, 5, PB_PEN},
        // Clicking the pressed pen again changes nothing.
        {{PB_PEN, PB_PEN}, REC_PEN, 0, 0x0000FF, 5, PB_PEN},
    };
    for (const Row& r : rows)
    {
        for (unsigned id : r.clicks)
            Click(id);
        Stroke s = Drag();
        SCOPED_TRACE(r.clicks.empty() ? 0 : r.clicks.back());
        EXPECT_EQ(s.nType, r.nType);
        EXPECT_EQ(s.nFluorescent, r.nFluorescent);
        EXPECT_EQ(s.colour, r.colour);
        EXPECT_EQ(s.nWidth, r.nWidth);
        for (unsigned id = PB_SCROLL; id <= PB_FIGURE; ++id)
            EXPECT_EQ(Pressed(id), id == r.nPressed) << id;
    }
}

TEST_F(PaletteFixture, ZoomsTheBoardReportsReachThePaletteAndTheBar)
{
    session.zooms.clear();
    EXPECT_TRUE(board->Board().SetZoom(150));
    EXPECT_TRUE(board->Board().SetZoom(175));
    EXPECT_FALSE(board->Board().SetZoom(5));
    EXPECT_TRUE(board->Board().SetZoom(8192));
    // 175 is no preset: the user-set item; 5 is no zoom and is not told.
    EXPECT_EQ(session.zooms, (std::vector<unsigned>{32946, 32987, 32950}));
    EXPECT_EQ(board->Tools().ZoomItem(), 32950u);
}

TEST_F(PaletteFixture, PickersChooseFiguresAndLines)
{
    Click(PB_FIGURE);
    CDrawFigure* pFigures = palette.Picker(PICKER_FIGURES);
    ASSERT_NE(nullptr, pFigures);
    EXPECT_TRUE(pFigures->IsWindowVisible());
    // It opens 205 pixels left of the button, or at the palette's right edge off the work area.
    RECT rcButton{}, rcPicker{};
    GetWindowRect(palette.ButtonWindow(PB_FIGURE), &rcButton);
    GetWindowRect(pFigures->m_hWnd, &rcPicker);
    EXPECT_EQ(rcPicker.top, rcButton.top - 2);
    EXPECT_EQ(rcPicker.right - rcPicker.left, 200);

    SavePicture(pFigures->m_hWnd, L"board_palette_figures.bmp");
    SendMessageW(GetDlgItem(pFigures->m_hWnd, FIG_FILL_CIRCLE), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_FALSE(pFigures->IsWindowVisible());
    Stroke s = Drag();
    EXPECT_EQ(s.nType, REC_SHAPE);
    EXPECT_EQ(s.nKind, 11);
    EXPECT_TRUE(Pressed(PB_FIGURE));

    Click(PB_LINE);
    CDrawFigure* pLines = palette.Picker(PICKER_LINES);
    ASSERT_NE(nullptr, pLines);
    SendMessageW(GetDlgItem(pLines->m_hWnd, LINE_STRAIGHT), BM_CLICK, 0, 0);
    PumpMessages();
    s = Drag();
    EXPECT_EQ(s.nType, REC_PEN);
    EXPECT_TRUE(Pressed(PB_LINE));
    EXPECT_FALSE(Pressed(PB_FIGURE));

    // Escape closes a picker without a choice: the selected tool shows pressed again.
    Click(PB_FIGURE);
    EXPECT_TRUE(pFigures->IsWindowVisible());
    SendMessageW(pFigures->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(pFigures->IsWindowVisible());
    EXPECT_TRUE(Pressed(PB_LINE));
}

TEST_F(PaletteFixture, ClearAllPageButtonsAndFloating)
{
    Drag();
    session.sent.clear();
    Click(PB_CLEAR_ALL);
    ASSERT_FALSE(session.sent.empty());
    EXPECT_EQ(session.sent.back()[72 + 2], REC_CLEAR);
    // Without the right to clear, the button is disabled.
    PaletteShowState show;
    show.bBoardShown = true;
    show.bDrawRight = true;
    palette.SetRoomState(show, false, true);
    EXPECT_FALSE(IsWindowEnabled(palette.ButtonWindow(PB_CLEAR_ALL)));

    // One page: both page buttons are disabled.
    EXPECT_FALSE(IsWindowEnabled(palette.ButtonWindow(PB_BACK)));
    EXPECT_FALSE(IsWindowEnabled(palette.ButtonWindow(PB_FORWARD)));

    RECT docked{};
    palette.GetWindowRect(&docked);
    SavePicture(room.m_hWnd, L"board_palette_docked.bmp");
    Click(PB_MINIMIZE);
    SavePicture(palette.m_hWnd, L"board_palette_floating.bmp");
    EXPECT_TRUE(palette.IsFloating());
    EXPECT_FALSE(palette.GetStyle() & WS_CHILD);
    EXPECT_EQ(GetAncestor(palette.m_hWnd, GA_PARENT), GetDesktopWindow());
    RECT floating{};
    palette.GetWindowRect(&floating);
    EXPECT_EQ(floating.left, docked.left - 5);
    EXPECT_EQ(floating.top, docked.top + 5);
    Click(PB_MINIMIZE);
    EXPECT_FALSE(palette.IsFloating());
    EXPECT_EQ(room.m_hWnd, palette.GetParent());
    EXPECT_EQ(session.docked, (std::vector<bool>{false, true}));
}

// A page as a peer's board sends it: code 30 with the header, code 32.
void ReceivePage(CLMBoard2& board, const char16_t* name, const char16_t* title)
{
    S_BOARD_FILEHDR h;
    h.byKind = PAGE_PICTURE;
    S_BOARD_FILEHDR::SetText(h.szName, name);
    S_BOARD_FILEHDR::SetText(h.szTitle, title);
    S_BOARD_FILEHDR::SetText(h.szCaption, title);
    CBoardMessage head(30, name);
    uint8_t raw[kBoardFileHeaderSize];
    h.Write(raw);
    head.AppendBytes(raw, sizeof raw);
    for (CBoardMessage* m : {&head})
    {
        auto bytes = m->Finish();
        board.ProcessData(static_cast<long>(bytes->size()), bytes->data());
    }
    auto done = CBoardMessage(32, name).Finish();
    board.ProcessData(static_cast<long>(done->size()), done->data());
}

TEST_F(PaletteFixture, AgendaTreeRenamesAndReordersThroughTheBoard)
{
    CTreeCtrlFolder tree;
    ASSERT_TRUE(tree.Create(room.m_hWnd, RECT{900, 0, 1000, 300}, 20449));
    board->SetAgendaTree(&tree); // the first page is told at once
    ReceivePage(board->Board(), u"palette_001", u"One");
    ReceivePage(board->Board(), u"palette_002", u"Two");
    PumpMessages(50);
    auto texts = [&]
    {
        std::vector<std::wstring> out;
        for (HTREEITEM h = TreeView_GetRoot(tree.m_hWnd); h; h = TreeView_GetNextSibling(tree.m_hWnd, h))
            out.push_back(tree.ItemText(h));
        return out;
    };
    ASSERT_EQ(texts().size(), 3u);
    EXPECT_EQ(texts()[1], L"One");
    // Choosing a page in the tree selects it on the board.
    TreeView_SelectItem(tree.m_hWnd, tree.ItemOf({2, -1}));
    PumpMessages(20);
    EXPECT_TRUE(tree.Model().IsSelected({2, -1}));

    // Keys move the selection through the model: Down chooses the next page; Shift+Up extends.
    SendMessageW(tree.m_hWnd, WM_KEYDOWN, VK_UP, 0);
    EXPECT_TRUE(tree.Model().IsSelected({1, -1}));
    EXPECT_EQ(TreeView_GetSelection(tree.m_hWnd), tree.ItemOf({1, -1}));
    SendMessageW(tree.m_hWnd, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_TRUE(tree.Model().IsSelected({2, -1}));
    EXPECT_FALSE(tree.Model().IsSelected({1, -1}));

    // A rename goes out as code 56 and shows when the board's message comes back.
    session.sent.clear();
    tree.EndLabelEdit({2, -1}, u"Deux");
    ASSERT_EQ(session.sent.size(), 1u);
    std::vector<uint8_t> rename = session.sent[0];
    EXPECT_EQ(rename[0], 56);
    EXPECT_EQ(texts()[2], L"Two"); // not applied before it comes back
    board->Board().ProcessData(static_cast<long>(rename.size()), rename.data());
    PumpMessages(20);
    EXPECT_EQ(texts()[2], L"Deux");

    // Page 2 dropped on page 0: code 53; back from the board, the tree shows the new order.
    session.sent.clear();
    tree.DropOn({{2, -1}}, AgendaItemRef{0, -1});
    ASSERT_EQ(session.sent.size(), 1u);
    std::vector<uint8_t> order = session.sent[0];
    EXPECT_EQ(order[0], 53);
    board->Board().ProcessData(static_cast<long>(order.size()), order.data());
    PumpMessages(20);
    ASSERT_EQ(texts().size(), 3u);
    EXPECT_EQ(texts()[1], L"Deux");
    EXPECT_EQ(texts()[2], L"One");
    SavePicture(tree.m_hWnd, L"board_agenda_tree.bmp");

    // Moving the blank board page is refused with its notice and sends nothing.
    session.sent.clear();
    tree.DropOn({{0, -1}}, AgendaItemRef{2, -1});
    EXPECT_TRUE(session.sent.empty());
    ASSERT_FALSE(session.notices.boxes.empty());
    EXPECT_EQ(session.notices.boxes.back(), u"<IDMS_AGENDALIST_ERR_MOVEWHITEBOARD>");

    // A rubber band from the empty space below the items up into the second selects the last
    // two; with Ctrl, a band over the last takes it out again.
    RECT second{};
    ASSERT_TRUE(TreeView_GetItemRect(tree.m_hWnd, tree.ItemOf({1, -1}), &second, TRUE));
    const int yMiddle = (second.top + second.bottom) / 2;
    SendMessageW(tree.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 280));
    SendMessageW(tree.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 150));
    SendMessageW(tree.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, yMiddle));
    SendMessageW(tree.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, yMiddle));
    EXPECT_EQ(tree.Model().Selection(), (std::vector<AgendaItemRef>{{1, -1}, {2, -1}}));
    EXPECT_EQ(GetCapture(), nullptr);
    RECT third{};
    ASSERT_TRUE(TreeView_GetItemRect(tree.m_hWnd, tree.ItemOf({2, -1}), &third, TRUE));
    SendMessageW(tree.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(60, 280));
    SendMessageW(tree.m_hWnd, WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, MAKELPARAM(5, third.bottom - 2));
    SendMessageW(tree.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, third.bottom - 2));
    EXPECT_EQ(tree.Model().Selection(), (std::vector<AgendaItemRef>{{1, -1}}));
    board->SetAgendaTree(nullptr);
    tree.DestroyWindow();
}

int ComboCount(HWND hCombo)
{
    return static_cast<int>(SendMessageW(hCombo, CB_GETCOUNT, 0, 0));
}

TEST_F(PaletteFixture, EBookPanelFillsItsCombosAndSendsThePage)
{
    // The index beside the host program (this test program).
    wchar_t szExe[MAX_PATH];
    GetModuleFileNameW(nullptr, szExe, MAX_PATH);
    std::filesystem::path index = std::filesystem::path(szExe).parent_path() / L"ebook.txt";
    std::ofstream(index) << "[phys]\ntitle=Physics\n1:Motion/p1.gif/3\n1:Waves/p2.gif/2\n[chem]\n1/c.gif/1\n";
    CEBookDlg panel;
    ASSERT_TRUE(panel.Create(&room));
    board->SetEBookView(&panel);
    panel.Attach(board->Board());
    std::filesystem::remove(index);
    HWND hTitle = GetDlgItem(panel.m_hWnd, IDC_EBOOK_TITLE),
         hLevel = GetDlgItem(panel.m_hWnd, IDC_EBOOK_LEVEL), hStep = GetDlgItem(panel.m_hWnd, IDC_EBOOK_STEP),
         hPage = GetDlgItem(panel.m_hWnd, IDC_EBOOK_PAGE);
    ASSERT_EQ(ComboCount(hTitle), 2);

    auto choose = [&](HWND hCombo, int nIndex)
    {
        SendMessageW(hCombo, CB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
        SendMessageW(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hCombo), CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(hCombo));
    };
    choose(hTitle, 0);
    EXPECT_EQ(ComboCount(hLevel), 1);
    choose(hLevel, 0);
    EXPECT_EQ(ComboCount(hStep), 2);
    choose(hStep, 0);
    EXPECT_EQ(ComboCount(hPage), 3);

    // A page chosen goes out as code 90 with the whole selection; next moves on.
    auto lastEBookPage = [&]
    {
        for (auto it = session.sent.rbegin(); it != session.sent.rend(); ++it)
            if ((*it)[0] == 90) return static_cast<int>((*it)[80]);
        return -1;
    };
    session.sent.clear();
    choose(hPage, 1);
    EXPECT_EQ(lastEBookPage(), 2);
    SendMessageW(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_EBOOK_NEXT, BN_CLICKED), 0);
    EXPECT_EQ(lastEBookPage(), 3);
    // A typed page: Go is enabled by a page number of at least 1 (the word before it trimmed as
    // a set of characters) and goes to the entry of that page.
    HWND hGo = GetDlgItem(panel.m_hWnd, IDC_EBOOK_GO);
    EXPECT_FALSE(IsWindowEnabled(hGo));
    auto type = [&](const wchar_t* szText)
    {
        SetWindowTextW(hPage, szText);
        SendMessageW(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_EBOOK_PAGE, CBN_EDITCHANGE),
                     reinterpret_cast<LPARAM>(hPage));
        return IsWindowEnabled(hGo) != FALSE;
    };
    EXPECT_FALSE(type(L"page 0"));
    EXPECT_FALSE(type(L"page"));
    EXPECT_TRUE(type(L"pa 1"));
    SendMessageW(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_EBOOK_GO, BN_CLICKED), 0);
    EXPECT_EQ(lastEBookPage(), 1);
    EXPECT_EQ(SendMessageW(hPage, CB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(type(L"p 7"));
    session.sent.clear();
    SendMessageW(panel.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_EBOOK_GO, BN_CLICKED), 0);
    EXPECT_EQ(lastEBookPage(), -1); // the step has no page 7

    // A peer's selection (code 90) shows in the combos: the other book's level, step and page.
    choose(hTitle, 1);
    EXPECT_EQ(ComboCount(hStep), 0);
    CBoardMessage peer(90, u"Physics");
    for (uint32_t v : {1u, 2u, 2u, 0u})
        peer.AppendU32(v);
    auto bytes = peer.Finish();
    session.sent.clear();
    board->Board().ProcessData(static_cast<long>(bytes->size()), bytes->data());
    EXPECT_EQ(SendMessageW(hTitle, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(hStep, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(ComboCount(hPage), 2);
    EXPECT_EQ(SendMessageW(hPage, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(lastEBookPage(), -1); // shown, not sent again
    SavePicture(panel.m_hWnd, L"board_ebook_panel.bmp");
    board->SetEBookView(nullptr);
    panel.DestroyWindow();
}

TEST_F(PaletteFixture, PicturesDroppedOnTheBoardGoUp)
{
    std::filesystem::path dir = std::filesystem::temp_directory_path();
    std::filesystem::path picture = dir / L"dropped.bmp", text = dir / L"dropped.txt";
    S_PICTURE24 pic;
    pic.nWidth = 3;
    pic.nHeight = 2;
    pic.bits.assign(Dib24Stride(3) * 2, 0x80);
    {
        std::ofstream out(picture, std::ios::binary);
        ASSERT_TRUE(WriteBmpFile(pic.View(), out));
    }
    std::ofstream(text) << "notes";
    // The shell's drop: a DROPFILES block with the wide paths, NUL-separated, NUL-ended.
    std::wstring paths = text.wstring() + L'\0' + picture.wstring() + L'\0' + L'\0';
    HGLOBAL hDrop = GlobalAlloc(GHND, sizeof(DROPFILES) + paths.size() * sizeof(wchar_t));
    auto* pDrop = static_cast<DROPFILES*>(GlobalLock(hDrop));
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = TRUE;
    memcpy(pDrop + 1, paths.data(), paths.size() * sizeof(wchar_t));
    GlobalUnlock(hDrop);

    const int nPages = board->Tools().PageCount();
    session.sent.clear();
    HWND hFrame = FindWindowExW(board->Board().Window(), nullptr, L"LMBoard2Frame", nullptr);
    SendMessageW(hFrame, WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop), 0);
    // The text file is refused; the picture goes up while the host reports each frame sent.
    ASSERT_FALSE(session.notices.boxes.empty());
    EXPECT_EQ(session.notices.boxes.back(), u"<IDMS_BOARD_UNSUPPORT>");
    // The upload's state bar (template 453) shows along the way and goes when the upload is
    // complete: title, state, bar and cancel where its width puts them, the cancel shown.
    CFileUploadStateDlg* pBar = board->TransferStrip();
    ASSERT_NE(nullptr, pBar);
    EXPECT_EQ(session.strips, std::vector<bool>{true});
    ::MoveWindow(pBar->m_hWnd, 0, 0, 800, 26, TRUE);
    auto at = [&](UINT nId)
    {
        RECT rc{};
        HWND h = pBar->GetDlgItem(nId);
        ::GetWindowRect(h, &rc);
        ::MapWindowPoints(nullptr, pBar->m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    };
    EXPECT_EQ(at(IDC_UPLOADSTATE_TITLE).left, 5);
    EXPECT_EQ(at(IDC_UPLOADSTATE_STATE).left, 800 - 570);
    EXPECT_EQ(at(IDC_UPLOADSTATE_BAR).left, 800 - 215);
    EXPECT_EQ(at(IDC_UPLOADSTATE_BAR).right - at(IDC_UPLOADSTATE_BAR).left, 150);
    EXPECT_EQ(at(IDC_UPLOADSTATE_CANCEL).left, 800 - 57);
    // Shown within the bar, which the room shows only in the board's view.
    EXPECT_TRUE(::GetWindowLongW(pBar->GetDlgItem(IDC_UPLOADSTATE_CANCEL), GWL_STYLE) & WS_VISIBLE);
    int nPercentSeen = 0;
    std::vector<uint8_t> codes;
    size_t nTold = 0;
    bool bFileShown = false;
    for (DWORD t0 = GetTickCount(); GetTickCount() - t0 < 20000;)
    {
        PumpMessages(10);
        std::vector<std::vector<uint8_t>> fresh;
        {
            std::lock_guard<std::mutex> g(session.lock);
            fresh.assign(session.sent.begin() + static_cast<std::ptrdiff_t>(nTold), session.sent.end());
            nTold = session.sent.size();
        }
        for (const auto& frame : fresh)
        {
            codes.push_back(frame[0]);
            board->SucSendBoardData(frame.data(), frame.size());
        }
        if (CFileUploadStateDlg* pStrip = board->TransferStrip())
        {
            bFileShown = bFileShown || pStrip->TitleText() == L"<IDS_BOARD_STATE_FILEUP> (1/1)";
            if (bFileShown) EXPECT_TRUE(::IsWindowEnabled(pStrip->GetDlgItem(IDC_UPLOADSTATE_CANCEL)));
            if (nPercentSeen == 0 && pStrip->Percent() > 0)
            {
                // Taken at once: pumping messages would let the upload end and the bar go.
                pStrip->ShowWindow(SW_SHOW);
                SavePicture(pStrip->m_hWnd, L"board_upload_state.bmp", false);
            }
            nPercentSeen = std::max(nPercentSeen, pStrip->Percent());
        }
        if (!codes.empty() && codes.back() == 10) break;
    }
    EXPECT_EQ(board->Tools().PageCount(), nPages + 1);
    const std::vector<uint8_t> order = {20, 30, 31, 32, 50, 10};
    EXPECT_EQ(codes, order);
    PumpMessages(50);
    EXPECT_TRUE(bFileShown);
    EXPECT_GT(nPercentSeen, 0) << "the board's progress reaches the bar";
    EXPECT_EQ(nullptr, board->TransferStrip());
    EXPECT_EQ(session.strips, (std::vector<bool>{true, false}));
    std::filesystem::remove(picture);
    std::filesystem::remove(text);
}

// The agenda list's host over the real board: its calls go to the control.
struct BoardAgendaHost : IAgendaListHost
{
    CLMBoard2* pBoard = nullptr;
    std::vector<int> asked;
    std::vector<std::string> notices;
    SAgendaRights AgendaListRights() const override { return {true, false, false, 1}; }
    int AgendaBoardMode() const override { return 0; }
    void ShowBoardPage(int nIndex) override { pBoard->SetCurrentPage(nIndex); }
    Answer ConfirmPageDelete(int nCount) override
    {
        asked.push_back(nCount);
        return Answer::Delete;
    }
    void DeletePageCheck() override { pBoard->DeletePageCheck(); }
    void SendDeletePage(bool bLastFile, const std::u16string& szName) override
    {
        pBoard->SendDeletePage(bLastFile, std::wstring(szName.begin(), szName.end()));
    }
    void LoadDroppedFile(const std::wstring&) override {}
    std::wstring AgendaText(const char*) const override { return L""; }
    void AgendaNotice(const char* pszKey) override { notices.push_back(pszKey); }
};

TEST_F(PaletteFixture, AgendaListGoesToAndDeletesPagesThroughTheBoard)
{
    BoardAgendaHost agenda;
    agenda.pBoard = &board->Board();
    CRoomAgendaListDlg list(nullptr, &agenda);
    ASSERT_TRUE(list.Create(&room));
    list.SetWindowPos(nullptr, 900, 0, 100, 300, SWP_NOZORDER | SWP_SHOWWINDOW);
    board->SetAgendaList(&list);
    board->SetAgendaTree(&list.Tree());
    ReceivePage(board->Board(), u"palette_001", u"One");
    ReceivePage(board->Board(), u"palette_002", u"Two");
    PumpMessages(50);
    ASSERT_EQ(list.Tree().Model().PageCount(), 3);

    // Going to a page: the board shows it and tells the list it is current.
    list.SendMessage(CRoomAgendaListDlg::kGoToPageMessage, 2, 0);
    PumpMessages(20);
    EXPECT_EQ(list.CurrentPage(), 2);

    // F2 opens the label edit; the list hands Enter to the edit (the dialog would take it) and
    // the rename goes out (56). Without an edit, Enter and Esc are swallowed.
    session.sent.clear();
    MSG enter{list.Tree().m_hWnd, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(list.PreTranslateMessage(&enter));
    list.Tree().EditModel().SetCaret(AgendaItemRef{2, -1});
    SendMessageW(list.Tree().m_hWnd, WM_KEYDOWN, VK_F2, 0);
    HWND hEdit = TreeView_GetEditControl(list.Tree().m_hWnd);
    ASSERT_NE(nullptr, hEdit);
    SetWindowTextW(hEdit, L"Deux");
    enter.hwnd = hEdit;
    EXPECT_TRUE(list.PreTranslateMessage(&enter));
    PumpMessages(20);
    EXPECT_EQ(nullptr, TreeView_GetEditControl(list.Tree().m_hWnd));
    ASSERT_EQ(session.sent.size(), 1u);
    EXPECT_EQ(session.sent[0][0], 56);
    // A name of 32 characters is refused before anything is sent.
    session.sent.clear();
    list.Tree().EndLabelEdit({2, -1}, std::u16string(32, u'x'));
    EXPECT_TRUE(session.sent.empty());
    ASSERT_FALSE(session.notices.boxes.empty());
    EXPECT_EQ(session.notices.boxes.back(), u"<IDMS_AGENDALIST_ERR_RENAME>");

    // Delete: the question, the check out, nothing deleted before the answer comes back.
    session.sent.clear();
    list.Tree().EditModel().Select({1, -1}, true);
    list.SendMessage(CRoomAgendaListDlg::kDeleteMessage, 0, 0);
    EXPECT_EQ(agenda.asked, (std::vector<int>{1}));
    ASSERT_EQ(session.sent.size(), 1u);
    std::vector<uint8_t> check = session.sent[0];
    EXPECT_EQ(check[0], 1); // the mode request "Edit_Del"
    EXPECT_EQ(list.Tree().Model().PageCount(), 3);
    // The host grants it as a mode change (code 2): the board's DeletePage(0) sends the deletion
    // (40), the selected page's successor is shown (50, forced) and the transfer ends (10); the
    // whiteboard stays listed.
    check[0] = 2;
    session.sent.clear();
    board->Board().ProcessData(static_cast<long>(check.size()), check.data());
    PumpMessages(50);
    std::vector<uint8_t> codes;
    for (const auto& frame : session.sent)
        codes.push_back(frame[0]);
    EXPECT_EQ(codes, (std::vector<uint8_t>{40, 50, 10}));
    EXPECT_EQ(list.Tree().Model().PageCount(), 2);
    EXPECT_EQ(list.Tree().Model().ItemText({1, -1}), u"Two");
    EXPECT_TRUE(list.PendingDeletes().empty());
    EXPECT_TRUE(agenda.notices.empty());

    board->SetAgendaList(nullptr);
    board->SetAgendaTree(nullptr);
    list.DestroyWindow();
}
TEST_F(PaletteFixture, PreviewPagesThroughTheBoardsPages)
{
    ReceivePage(board->Board(), u"palette_001", u"One");
    ReceivePage(board->Board(), u"palette_002", u"Two");
    PumpMessages(50);
    CPreviewDlg preview(board->Board());
    ASSERT_TRUE(preview.Create(&room));
    board->SetPreview(&preview);
    HWND hPages = GetDlgItem(preview.m_hWnd, IDC_PREVIEW_PAGES);
    HWND hPrevious = GetDlgItem(preview.m_hWnd, IDC_PREVIEW_PREV),
         hNext = GetDlgItem(preview.m_hWnd, IDC_PREVIEW_NEXT);
    ASSERT_EQ(ComboCount(hPages), 3);

    // A stored width above the work area's falls back to the default; x, y and height are kept.
    preview.RestorePosition(room.m_hWnd, L"120,90,99999,400");
    ASSERT_TRUE(IsWindowVisible(preview.m_hWnd));
    RECT rc;
    GetWindowRect(preview.m_hWnd, &rc);
    RECT rcRoom;
    GetWindowRect(room.m_hWnd, &rcRoom);
    EXPECT_EQ(rc.left, 120);
    EXPECT_EQ(rc.top, 90);
    EXPECT_EQ(rc.bottom - rc.top, 400);
    EXPECT_EQ(rc.right - rc.left, (rcRoom.right - rcRoom.left / 2) / 2);

    // The board draws its preview into the window below the title strip.
    HWND hImage = GetDlgItem(preview.m_hWnd, 511);
    ASSERT_NE(nullptr, hImage);
    EXPECT_EQ(preview.CurrentPage(), 0);
    EXPECT_FALSE(IsWindowEnabled(hPrevious));
    EXPECT_TRUE(IsWindowEnabled(hNext));
    SendMessageW(preview.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_NEXT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(hNext));
    EXPECT_EQ(preview.CurrentPage(), 1);
    EXPECT_TRUE(IsWindowEnabled(hPrevious) && IsWindowEnabled(hNext));
    // End and Home go to the last and the first page.
    MSG key{hPages, WM_KEYDOWN, VK_END, 0, 0, {}};
    EXPECT_TRUE(preview.PreTranslateMessage(&key));
    EXPECT_EQ(preview.CurrentPage(), 2);
    EXPECT_FALSE(IsWindowEnabled(hNext));
    key.wParam = VK_HOME;
    EXPECT_TRUE(preview.PreTranslateMessage(&key));
    EXPECT_EQ(preview.CurrentPage(), 0);

    // A resize takes the board's preview along.
    preview.SetWindowPos(nullptr, 0, 0, 700, 420, SWP_NOMOVE | SWP_NOZORDER);
    RECT rcImage;
    GetClientRect(hImage, &rcImage);
    EXPECT_EQ(rcImage.right, 700 - 8);
    EXPECT_EQ(rcImage.bottom, 420 - 30 - 4);
    SavePicture(preview.m_hWnd, L"board_preview.bmp");

    // Closing hides it and keeps its place.
    SendMessageW(preview.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PREVIEW_CLOSE, BN_CLICKED), 0);
    EXPECT_FALSE(IsWindowVisible(preview.m_hWnd));
    EXPECT_EQ(preview.NormalPlace(), (PreviewPos{120, 90, 700, 420}));
    board->SetPreview(nullptr);
    preview.DestroyWindow();
}
} // namespace
