// Two boards through the loopback server, as in a room: alice draws with the mouse, bob's board
// takes her messages and shows the same drawing and keeps the same page file; carol, who
// joins later, gets the same board from what the server kept.
#include <gtest/gtest.h>

#include "lmboard2/boardbase/BoardFolders.h"
#include "lmboard2/boardmsg/BoardMessage.h"
#include "loopserver/LoopServer.h"
#include "tests/core/TestLogs.h"
#include "tests/lmboard2_control/BoardRoomKit.h"

namespace
{
// Pixels that differ by more than antialiasing would, over a grid of the page.
int DifferentPixels(const CSurfaceBitmap& a, const CSurfaceBitmap& b)
{
    int n = 0;
    for (int y = 0; y < a.Height(); y += 3)
        for (int x = 0; x < a.Width(); x += 3)
        {
            COLORREF ca = a.Pixel(x, y), cb = b.Pixel(x, y);
            n += abs(GetRValue(ca) - GetRValue(cb)) + abs(GetGValue(ca) - GetGValue(cb)) +
                     abs(GetBValue(ca) - GetBValue(cb)) >
                 48;
        }
    return n;
}

int NonWhitePixels(const CSurfaceBitmap& a)
{
    int n = 0;
    for (int y = 0; y < a.Height(); y += 3)
        for (int x = 0; x < a.Width(); x += 3)
            n += a.Pixel(x, y) != RGB(255, 255, 255);
    return n;
}

void Drag(HWND hView, POINT a, POINT b)
{
    SendMessageW(hView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(a.x, a.y));
    for (int i = 1; i <= 4; i++)
        SendMessageW(hView, WM_MOUSEMOVE, MK_LBUTTON,
                     MAKELPARAM(a.x + (b.x - a.x) * i / 4, a.y + (b.y - a.y) * i / 4 + (i % 2) * 15));
    SendMessageW(hView, WM_LBUTTONUP, 0, MAKELPARAM(b.x, b.y));
}

void Click(HWND hView, POINT p)
{
    SendMessageW(hView, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(hView, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

// The drawer's board in a window of its own, at 100 % and open to drawing; the parent window.
HWND ShowDrawingBoard(Participant& p)
{
    HWND hParent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1600, 1200, nullptr, nullptr, nullptr, nullptr);
    if (!p.view->Create(hParent, RECT{0, 0, 1000, 800})) return nullptr;
    p.view->SetConfCode(u"E2E");
    p.view->SetZoomValue(100, false, true);
    p.view->SetLock(false);
    return hParent;
}

TEST(BoardTraffic, AliceDrawsBobAndALateCarolSeeTheSameBoard)
{
    CNullLog log;
    CLoopServer server(DefaultLoopConfig(), &log);
    ASSERT_TRUE(server.Start(0));
    Participant alice("alice"), bob("bob"), carol("carol");
    ASSERT_TRUE(alice.Login(server.Port(), u"alice"));
    ASSERT_TRUE(bob.Login(server.Port(), u"bob"));
    ASSERT_TRUE(carol.Login(server.Port(), u"carol"));

    QNRoomInfo room;
    ASSERT_TRUE(OpenRoom(alice, {&bob}, u"Board", room));
    HWND hParent = ShowDrawingBoard(alice);
    ASSERT_NE(hParent, nullptr);
    for (Participant* p : {&bob, &carol})
        p->view->SetConfCode(u"E2E");
    HWND hView = alice.view->Hwnd();

    // A red stroke, a blue rectangle, a text.
    alice.view->SetLineColor(RGB(220, 0, 0));
    alice.view->SetLineThick(6);
    alice.view->SetDrawMode(DRAW_PEN);
    Drag(hView, {100, 100}, {500, 160});
    alice.view->SetLineColor(RGB(0, 0, 200));
    alice.view->SetDrawMode(DRAW_RECT);
    Drag(hView, {200, 300}, {600, 500});
    alice.view->SetDrawMode(DRAW_TEXT);
    Click(hView, {650, 100});
    HWND hEdit = FindWindowExW(hView, nullptr, L"EDIT", nullptr);
    ASSERT_NE(hEdit, nullptr);
    SetWindowTextW(hEdit, L"Board test");
    Click(hView, {50, 700});
    ASSERT_GE(alice.nSent, 3);

    ASSERT_TRUE(bob.ReadUpTo(alice.nSent));
    EXPECT_GT(NonWhitePixels(alice.view->DrawingBitmap()), 200);
    EXPECT_EQ(DifferentPixels(alice.view->DrawingBitmap(), bob.view->DrawingBitmap()), 0);
    EXPECT_EQ(alice.PageFile(), bob.PageFile());

    // Carol comes later and gets the board from the server.
    carol.net->SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(carol.owner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN).nMsg, kTimedOut);
    ASSERT_TRUE(carol.ReadUpTo(alice.nSent));
    EXPECT_EQ(DifferentPixels(alice.view->DrawingBitmap(), carol.view->DrawingBitmap()), 0);
    EXPECT_EQ(alice.PageFile(), carol.PageFile());

    // Alice clears: everyone's page is white again.
    alice.view->Clear(true);
    ASSERT_TRUE(bob.ReadUpTo(alice.nSent));
    ASSERT_TRUE(carol.ReadUpTo(alice.nSent));
    for (Participant* p : {&alice, &bob, &carol})
        EXPECT_EQ(NonWhitePixels(p->view->DrawingBitmap()), 0);
    EXPECT_EQ(alice.PageFile(), bob.PageFile());

    alice.view->Destroy();
    DestroyWindow(hParent);
    server.Stop();
}

// A 24-bit picture file: the left half red, the right half blue.
void WriteTwoColourBmp(const std::filesystem::path& path, int cx, int cy)
{
    int nStride = (cx * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(nStride * cy);
    info.biSize = sizeof info;
    info.biWidth = cx;
    info.biHeight = cy;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<uint8_t> rows(static_cast<size_t>(nStride * cy));
    for (int y = 0; y < cy; y++)
        for (int x = 0; x < cx; x++)
        {
            uint8_t* p = &rows[static_cast<size_t>(y * nStride + x * 3)];
            p[0] = x < cx / 2 ? 0 : 255; // blue
            p[2] = x < cx / 2 ? 255 : 0; // red
        }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(rows.data()), static_cast<std::streamsize>(rows.size()));
}

TEST(BoardTraffic, PicturesAliceUploadsArriveAtBobPageForPage)
{
    CNullLog log;
    CLoopServer server(DefaultLoopConfig(), &log);
    ASSERT_TRUE(server.Start(0));
    Participant alice("alice-up"), bob("bob-up");
    ASSERT_TRUE(alice.Login(server.Port(), u"alice"));
    ASSERT_TRUE(bob.Login(server.Port(), u"bob"));
    QNRoomInfo room;
    ASSERT_TRUE(OpenRoom(alice, {&bob}, u"Upload", room));

    HWND hParent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1000, 800, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(alice.view->Create(hParent, RECT{0, 0, 1000, 800}));
    for (Participant* p : {&alice, &bob})
        p->view->SetConfCode(u"E2E");
    // A picture larger than a few chunks, a small one, and a file that is no picture.
    std::filesystem::path big = alice.temp / "wide sea.bmp", small = alice.temp / "dot.bmp",
                          text = alice.temp / "notes.txt";
    WriteTwoColourBmp(big, 200, 90);
    WriteTwoColourBmp(small, 3, 2);
    std::ofstream(text) << "not a picture";
    std::u16string files = big.u16string() + u"|" + text.u16string() + u"||" + small.u16string();
    ASSERT_TRUE(alice.view->UploadAgenda(u"E2E", files));
    EXPECT_EQ(alice.errors, std::vector<int>{1});
    ASSERT_TRUE(alice.PumpUntil([&] { return alice.nComplete == 1; }));
    EXPECT_EQ(alice.fileCounts, (std::vector<std::pair<uint32_t, uint32_t>>{{1, 2}, {2, 2}}));
    EXPECT_EQ(alice.view->PageCount(), 3u);
    EXPECT_EQ(alice.view->CurrentPageName(), u"E2E_001");
    EXPECT_GT(alice.nProgressBytes, 200 * 90 * 3);

    // Bob has both pages, byte for byte, and shows the first as alice does.
    ASSERT_TRUE(bob.ReadUpTo(alice.nSent));
    EXPECT_EQ(bob.view->PageCount(), 3u);
    for (const char* pszPage : {"E2E_001", "E2E_002"})
    {
        EXPECT_FALSE(bob.PageFile(pszPage).empty()) << pszPage;
        EXPECT_EQ(alice.PageFile(pszPage), bob.PageFile(pszPage)) << pszPage;
    }
    EXPECT_EQ(bob.view->CurrentPageName(), u"E2E_001");
    const CSurfaceBitmap& shown = bob.view->DrawingBitmap();
    ASSERT_EQ(shown.Width(), 200);
    ASSERT_EQ(shown.Height(), 90);
    EXPECT_EQ(shown.Pixel(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(shown.Pixel(190, 80), RGB(0, 0, 255));
    EXPECT_EQ(DifferentPixels(alice.view->DrawingBitmap(), shown), 0);

    // A cancelled upload leaves no files of the pages it did not send. Nobody reports the
    // frames sent, so the first page waits for its first chunk when the cancel comes.
    WriteTwoColourBmp(small, 5, 5);
    ASSERT_TRUE(alice.view->UploadAgenda(u"E2E", big.u16string() + u"|" + small.u16string()));
    alice.view->CancelUpload(true);
    EXPECT_FALSE(alice.view->IsUploading());
    for (const char* pszPage : {"E2E_003", "E2E_004"})
    {
        EXPECT_FALSE(std::filesystem::exists(alice.temp / "LMBoard" / "Agenda" / pszPage)) << pszPage;
        EXPECT_FALSE(std::filesystem::exists(alice.temp / "LMBoard" / "Temp" / pszPage)) << pszPage;
    }
    EXPECT_EQ(alice.view->PageCount(), 3u);
    alice.PumpUntil([] { return false; }, 300); // the worker's late end notice changes nothing
    EXPECT_EQ(alice.nComplete, 1);

    // The host grants a clipboard capture: the clipboard's bitmap becomes page "Capture 1",
    // kind 10, and reaches bob.
    HDC hScreen = GetDC(nullptr);
    HBITMAP hBitmap = CreateCompatibleBitmap(hScreen, 48, 32);
    ReleaseDC(nullptr, hScreen);
    ASSERT_TRUE(OpenClipboard(hParent));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, hBitmap);
    CloseClipboard();
    std::optional<std::vector<uint8_t>> grant = CBoardMessage(BMSG_HOST_MODE, u"ClipBoard").Finish();
    ASSERT_TRUE(grant);
    // A grant nobody asked for takes nothing from the clipboard.
    alice.view->Read(grant->data(), grant->size());
    alice.PumpUntil([] { return false; }, 300);
    EXPECT_EQ(alice.view->PageCount(), 3u);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    alice.view->Writer().SendModeName(u"ClipBoard"); // as Load in mode 5 asks
    alice.view->Read(grant->data(), grant->size());
    ASSERT_TRUE(alice.PumpUntil([&] { return alice.nComplete == 2; }));
    EXPECT_EQ(alice.view->BoardMode(), BOARD_PICTURE); // showing the captured page
    ASSERT_TRUE(bob.ReadUpTo(alice.nSent));
    std::optional<S_BOARD_FILEHDR> captured = bob.view->ListedHeader(u"E2E_003");
    ASSERT_TRUE(captured);
    EXPECT_EQ(captured->byKind, PAGE_CAPTURE);
    EXPECT_EQ(S_BOARD_FILEHDR::Text(captured->szCaption), u"Capture 1");
    EXPECT_EQ(alice.PageFile("E2E_003"), bob.PageFile("E2E_003"));
    EXPECT_EQ(bob.view->DrawingBitmap().Width(), 48);

    // Alice moves the capture before page 1: bob's list follows and is told again in order.
    uint8_t order[8 + 12] = {0, 0, 0, 0, 1, 0, 0, 0, '0', 0, '0', 0, '3', 0};
    bob.added.clear();
    alice.view->RequestAgendaOrder(u"E2E_001", order, sizeof order);
    ASSERT_TRUE(bob.ReadUpTo(alice.nSent));
    EXPECT_EQ(bob.added, (std::vector<std::u16string>{u"E2E_000", u"E2E_003", u"E2E_001", u"E2E_002"}));

    // An empty clipboard: the peers hear the transfer end, alice an error.
    alice.errors.clear();
    alice.view->Writer().SendModeName(u"ClipBoard");
    alice.view->Read(grant->data(), grant->size());
    alice.PumpUntil([&] { return !alice.errors.empty(); }, 5000);
    EXPECT_EQ(alice.errors, std::vector<int>{0});

    alice.view->Destroy();
    DestroyWindow(hParent);
    server.Stop();
}

// What the host does as a recording starts: the board's start state as one board message.
void RecordStartState(Participant& p)
{
    std::vector<uint8_t> start = p.view->RecordStartData();
    ASSERT_FALSE(start.empty());
    ASSERT_EQ(p.net->WriteRecord(start.data(), static_cast<int32_t>(start.size()), DAT_BOARD_ROOM, false),
              REC_SUCCESS);
}

TEST(BoardTraffic, ARecordedRoomReplaysItsBoardInThePlayer)
{
    CNullLog log;
    CLoopServer server(DefaultLoopConfig(), &log);
    ASSERT_TRUE(server.Start(0));
    Participant alice("rec-alice"), player("rec-player");
    // The recorder embeds the page files of the folder the board keeps them in, and the player
    // writes them out into its own.
    for (Participant* p : {&alice, &player})
    {
        p->owner.tempFolder = p->temp;
        p->owner.agendaSubFolder = kBoardAgendaSubFolder;
    }
    ASSERT_TRUE(alice.Login(server.Port(), u"alice"));
    QNRoomInfo room;
    ASSERT_TRUE(OpenRoom(alice, {}, u"Recorded", room));
    HWND hParent = ShowDrawingBoard(alice);
    ASSERT_NE(hParent, nullptr);
    HWND hView = alice.view->Hwnd();

    // A red stroke before the recording, a blue one while it runs.
    alice.view->SetLineColor(RGB(220, 0, 0));
    alice.view->SetLineThick(6);
    alice.view->SetDrawMode(DRAW_PEN);
    Drag(hView, {100, 100}, {500, 160});
    const std::filesystem::path path = alice.temp / "board.qn";
    const std::vector<char> pageAtStart = alice.PageFile();
    ASSERT_EQ(alice.net->StartRecord(path, 0), 1);
    RecordStartState(alice);
    const int nBefore = alice.nSent;
    alice.view->SetLineColor(RGB(0, 0, 200));
    Drag(hView, {100, 400}, {700, 600});
    const int nRecorded = 1 + alice.nSent - nBefore; // the start state and the blue stroke
    ASSERT_GT(nRecorded, 1);
    ASSERT_TRUE(alice.net->StopRecord(REC_SUCCESS));

    // The player: the pages come from the recording, then its board messages in their order.
    player.view->SetConfCode(u"E2E");
    player.view->SetZoomValue(100, false, true);
    ASSERT_EQ(player.net->OpenPlayback(path), 1);
    EXPECT_EQ(player.PageFile(), pageAtStart);
    // The player's board showed its own first blank page: the recording's replaces it.
    EXPECT_TRUE(player.view->PlayerLoadAgenda(true));
    EXPECT_GT(NonWhitePixels(player.view->DrawingBitmap()), 100); // the red stroke
    EXPECT_FALSE(player.view->PlayerIsModify());
    ASSERT_TRUE(player.ReadUpTo(nRecorded));
    EXPECT_GT(NonWhitePixels(player.view->DrawingBitmap()), 200);
    EXPECT_EQ(DifferentPixels(alice.view->DrawingBitmap(), player.view->DrawingBitmap()), 0);
    EXPECT_TRUE(player.view->PlayerIsModify());

    // Playback pauses: the board forgets its page and its changes.
    player.net->StopPlay(true);
    player.view->PlayerCleanup();
    EXPECT_FALSE(player.view->PlayerIsModify());
    EXPECT_TRUE(player.view->CurrentPageName().empty());

    alice.view->Destroy();
    DestroyWindow(hParent);
    server.Stop();
}
} // namespace
