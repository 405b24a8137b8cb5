// Two boards through the loopback server, as in a room: alice draws with the mouse, bob's board
// takes her messages and shows the same drawing and keeps the same page file; carol, who
// joins later, gets the same board from what the server kept.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "confclient/network/QNCommands.h"
#include "confclient/network/transport/QNInterface.h"
#include "lmboard2/control/LMView.h"
#include "loopserver/LoopServer.h"
#include "tests/network/QNTestOwner.h"
#include "tests/core/TestLogs.h"

namespace
{
constexpr uint32_t kTimedOut = 0xFFFFFFFF;

class CClientNet : public CQNInterface
{
public:
    using CQNInterface::CQNInterface;
    ~CClientNet() override { StopThreads(); }
};

// A participant: connection, board view and the events that send the board's messages.
struct Participant : IBoardEvents
{
    CTestOwner owner;
    std::unique_ptr<CClientNet> net = std::make_unique<CClientNet>(&owner, &owner);
    std::filesystem::path temp;
    std::unique_ptr<CLMView> view;
    int nSent = 0;
    int nRead = 0;

    explicit Participant(const char* pszName)
    {
        temp = std::filesystem::temp_directory_path() / (std::string("board-traffic-") + pszName);
        std::error_code ec;
        std::filesystem::remove_all(temp, ec);
        std::filesystem::create_directories(temp, ec);
        view = std::make_unique<CLMView>(*this, temp);
    }
    bool Login(uint16_t wPort, const std::u16string& id)
    {
        if (!net->Connect("127.0.0.1", wPort)) return false;
        if (owner.WaitFor(kMsgLobbyPacket, ACK_SEED_KEY).nMsg == kTimedOut) return false;
        net->SendLogin(id, u"", 0, false);
        return owner.WaitFor(kMsgLobbyPacket, ACK_LOBY_LOGIN).nMsg != kTimedOut;
    }
    // Reads the board messages that arrived, up to the nth in all.
    void ReadUpTo(int nTotal)
    {
        for (; nRead < nTotal; nRead++)
        {
            QNEvent e = owner.WaitFor(kMsgBoardPacket, DAT_BOARD_ROOM, nRead + 1);
            ASSERT_NE(e.nMsg, kTimedOut) << "board message " << nRead + 1;
            view->Read(e.payload.data(), e.payload.size());
        }
    }
    std::vector<char> PageFile() const
    {
        std::ifstream in(temp / "LMBoard" / "Agenda" / "E2E_000", std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), {});
    }

    void SendData(const uint8_t* p, size_t n) override
    {
        if (net->SendBoardData(DAT_BOARD_ROOM, p, n)) nSent++;
    }
    void ErrorMessage(int) override {}
    void CreateProgress(bool) override {}
    void DestroyProgress() override {}
    void SetTotalSize(uint32_t) override {}
    void SetFileCount(uint32_t, uint32_t) override {}
    void ProgressChange(uint32_t) override {}
    void AddPage(int, const S_BOARD_FILEHDR&) override {}
    void DeletePage(int) override {}
    void SetCurrentPage(int) override {}
    void ModeChange(const std::u16string&, int) override {}
    void DoChangeAgendaName(const uint8_t*) override {}
    void ResultZoom(bool, int, int) override {}
    void ResultDrawMode(int) override {}
    void SelectEBookCombo(const std::u16string&, uint32_t, uint32_t, uint32_t) override {}
    std::u16string GetIniString(const std::u16string&) override { return u""; }
};

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

TEST(BoardTraffic, AliceDrawsBobAndALateCarolSeeTheSameBoard)
{
    CNullLog log;
    CLoopServer server(DefaultLoopConfig(), &log);
    ASSERT_TRUE(server.Start(0));
    Participant alice("alice"), bob("bob"), carol("carol");
    ASSERT_TRUE(alice.Login(server.Port(), u"alice"));
    ASSERT_TRUE(bob.Login(server.Port(), u"bob"));
    ASSERT_TRUE(carol.Login(server.Port(), u"carol"));

    QNConfOpen open;
    open.wRoomType = 1;
    open.wMaxUser = 10;
    open.szTitle = u"Board";
    open.szConfCode = u"E2E";
    alice.net->SendConfOpen(open);
    QNEvent opened = alice.owner.WaitFor(kMsgRoomPacket, ACK_CONF_OPEN);
    QNRoomInfo room;
    ASSERT_TRUE(DecodeRoomInfo(opened.payload.data(), opened.payload.size(), room));
    bob.net->SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(bob.owner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN).nMsg, kTimedOut);

    HWND hParent =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1600, 1200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(alice.view->Create(hParent, RECT{0, 0, 1000, 800}));
    for (Participant* p : {&alice, &bob, &carol})
        p->view->SetConfCode(u"E2E");
    alice.view->SetZoomValue(100, false, true);
    alice.view->SetLock(false);
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

    bob.ReadUpTo(alice.nSent);
    EXPECT_GT(NonWhitePixels(alice.view->DrawingBitmap()), 200);
    EXPECT_EQ(DifferentPixels(alice.view->DrawingBitmap(), bob.view->DrawingBitmap()), 0);
    EXPECT_EQ(alice.PageFile(), bob.PageFile());

    // Carol comes later and gets the board from the server.
    carol.net->SendConfJoin(room.wRoomIndex, u"", u"");
    ASSERT_NE(carol.owner.WaitFor(kMsgRoomPacket, ACK_CONF_JOIN).nMsg, kTimedOut);
    carol.ReadUpTo(alice.nSent);
    EXPECT_EQ(DifferentPixels(alice.view->DrawingBitmap(), carol.view->DrawingBitmap()), 0);
    EXPECT_EQ(alice.PageFile(), carol.PageFile());

    // Alice clears: everyone's page is white again.
    alice.view->Clear(true);
    bob.ReadUpTo(alice.nSent);
    carol.ReadUpTo(alice.nSent);
    for (Participant* p : {&alice, &bob, &carol})
        EXPECT_EQ(NonWhitePixels(p->view->DrawingBitmap()), 0);
    EXPECT_EQ(alice.PageFile(), bob.PageFile());

    alice.view->Destroy();
    DestroyWindow(hParent);
    server.Stop();
}
} // namespace
