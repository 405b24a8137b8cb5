// The messenger window under Wine over a recording session: line kinds and their links, what is
// sent and what is not, the trim, the frame (hit test, maximise, restore, minimum size), the
// position kept in the registry, invitations from the lobby and from another room, the close
// question while a file comes in, and the table's 101st window. Pictures go to the screenshots.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ResourceIds.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/notices/NoticeHost.h"
#include "confclient/people/MessengerTable.h"
#include "confclient/room/FileSProgressDlg.h"
#include "confclient/room/MessangeDlg.h"
#include "confclient/session/texttable/TextTableResource.h"
#include "tests/winui/ScreenPicture.h"
#include "tests/winui/TestResources.h"

namespace
{
const wchar_t kKey[] = L"Software\\QuillonTests\\Messenger";

class Host : public INoticeHost, public IMessengerHost
{
public:
    Host() { LoadTextTableResource(LoadTestResources(), IDR_INI_TEXT, m_texts); }

    // INoticeHost.
    std::wstring NoticeText(const char* pszKey) const override
    {
        std::u16string text = m_texts.GetText(std::u16string(pszKey, pszKey + strlen(pszKey)));
        return std::wstring(text.begin(), text.end());
    }
    ILogSink* NoticeLog() override { return nullptr; }
    bool LoadSkinImage(const wchar_t*, CLMPictureEx&) override { return false; } // the resources stand in
    HWND MainRoomWindow() const override { return nullptr; }
    HWND MainDialog() const override { return nullptr; }
    uint16_t SharingUser() const override { return 0xFFFF; }
    uint16_t RequestedSharer() const override { return 0xFFFF; }
    uint16_t MyUserIndex() const override { return 1; }
    void SetSharingUser(uint16_t) override {}
    void SetDesktopShareState(uint16_t, int) override {}
    void OnNoticeClosed() override {}
    std::optional<std::wstring> FindLobbyUser(uint16_t) const override { return std::nullopt; }
    void AcceptInvitation(uint16_t) override {}
    void DeclineInvitation(uint16_t) override {}
    void RemoveInviteNotice(uint16_t, uint16_t) override {}
    std::wstring MyDisplayName() const override { return L"Alice"; }
    bool IsLocalSharer() const override { return false; }
    void StopLocalShare() override {}
    void EndRemoteShare(uint16_t) override {}

    // IMessengerHost: every request is recorded.
    std::wstring ProgramKey() const override { return kKey; }
    std::wstring StateFields() const override { return L"alice, 1, 7"; }
    bool SendMessengerText(uint16_t wPeer, const std::u16string& s) override
    {
        calls.push_back(L"610 to " + std::to_wstring(wPeer) + L": " + std::wstring(s.begin(), s.end()));
        return true;
    }
    bool SendInvite(uint16_t wRoom, uint16_t wPeer) override
    {
        calls.push_back(L"650 room " + std::to_wstring(wRoom) + L" to " + std::to_wstring(wPeer));
        return true;
    }
    bool SendInviteReply(uint16_t wPeer, bool bAccept) override
    {
        calls.push_back(L"660 to " + std::to_wstring(wPeer) + (bAccept ? L" accepted" : L" refused"));
        return true;
    }
    bool InRoom() const override { return bInRoom; }
    bool IsRoomUser(uint16_t, const std::wstring&) const override { return false; }
    bool LobbyHasRoom(uint16_t wRoom) const override { return wRoom == 5 || wRoom == 6; }
    void JoinRoomByIndex(uint16_t wRoom) override { calls.push_back(L"join " + std::to_wstring(wRoom)); }
    void LeaveRoomForInvitation() override
    {
        calls.push_back(L"leave room");
        bInRoom = false;
    }
    int StateValue() const override { return nState; }
    uint32_t FeatureWord() const override { return 0x10; }
    void TakeQueuedMessages(const std::wstring& szId, uint16_t wIndex) override
    {
        calls.push_back(L"taken " + szId + L" " + std::to_wstring(wIndex));
    }
    bool SaveChatToFile(HWND, HWND) override { return false; }
    int AskBox(const std::wstring& szText, int) override
    {
        calls.push_back(L"asked " + szText);
        return nAnswer;
    }
    bool SendFileOffer(uint16_t wPeer, const std::u16string& szName, uint32_t dwSize) override
    {
        calls.push_back(L"620 to " + std::to_wstring(wPeer) + L": " +
                        std::wstring(szName.begin(), szName.end()) + L" " + std::to_wstring(dwSize));
        return true;
    }
    bool SendFileReply(uint16_t wPeer, bool bAccept) override
    {
        calls.push_back(L"630 to " + std::to_wstring(wPeer) + (bAccept ? L" accepted" : L" refused"));
        return true;
    }
    bool SendFileData(uint16_t, const uint8_t*, size_t) override { return false; }
    std::wstring SaveFolder() const override { return szFolder; }
    uint32_t TransferPace() const override { return 131072; }

    std::vector<std::wstring> calls;
    std::wstring szFolder;
    bool bInRoom = false;
    int nState = 0;
    int nAnswer = 1;

private:
    CTextTable m_texts;
};

// A window made as the session makes it; the object frees itself when its user closes it.
// bShow: shown, as the session shows it (a shown window takes Wine two seconds to go without a
// window manager).
CMessangeDlg* OpenMessenger(Host& host, uint16_t wPeer = 9, const wchar_t* pszName = L"Bob",
                            bool bShow = true)
{
    auto* p = new CMessangeDlg(host, host);
    if (!p->Create() || !p->m_hWnd)
    {
        delete p;
        return nullptr;
    }
    p->SetPeer(wPeer);
    p->Open(L"bob", pszName, 0);
    if (bShow) p->ShowWindow(SW_SHOW);
    return p;
}

std::vector<LONG> Edges(const RECT& r)
{
    return {r.left, r.top, r.right, r.bottom};
}

std::wstring HistoryText(const CMessangeDlg& dlg)
{
    return dlg.History().GetTextRange(0, dlg.History().GetTextLength());
}

void Type(CMessangeDlg& dlg, const wchar_t* pszText)
{
    ::SetWindowTextW(dlg.GetDlgItem(IDC_MSG_INPUT), pszText);
    dlg.SendInput();
}

void SavePicture(HWND hWnd, const char* pszName)
{
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(100);
    SaveWindowPicture(hWnd, QUILLON_SCREENSHOT_DIR, pszName);
}

class MessengerWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(LoadTestResources(), nullptr);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        RegWriteDword(HKEY_CURRENT_USER, kKey, L"TxtChat_COLOR", RGB(0xFF, 0x80, 0));
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

    ComInit com;
    Host host;
};
} // namespace

TEST_F(MessengerWindowTest, KindsColoursLinksAndWhatIsSent)
{
    CMessangeDlg* pDlg = OpenMessenger(host);
    ASSERT_NE(nullptr, pDlg);
    CMessangeDlg& dlg = *pDlg;
    EXPECT_EQ(L"Messenger - Bob", dlg.GetWindowText());

    // The peer's line in the peer's colour; a colourless one in black, whole.
    dlg.ReceiveMessage(MSGKIND_TEXT, u"ff0000hello", u"Bob", 0);
    dlg.ReceiveMessage(MSGKIND_TEXT, u"hey", u"Bob", 0);
    // The own line: the own colour's digits go in front on the wire, and the line shows it.
    Type(dlg, L"hi there");
    // "/state" in any case is shown, never sent; an empty input does nothing.
    Type(dlg, L"/StAtE");
    Type(dlg, L"");
    EXPECT_EQ((std::vector<std::wstring>{L"610 to 9: ff8000hi there"}), host.calls);
    const std::wstring text = HistoryText(dlg);
    EXPECT_NE(std::wstring::npos, text.find(L"Bob > hello\r"));
    EXPECT_NE(std::wstring::npos, text.find(L"Bob > hey\r"));
    EXPECT_NE(std::wstring::npos, text.find(L"Alice > hi there\r"));
    EXPECT_NE(std::wstring::npos, text.find(L"*State\ralice, 1, 7\r"));
    EXPECT_EQ(RGB(255, 0, 0), dlg.History().ColourAt(static_cast<LONG>(text.find(L"hello"))));
    EXPECT_EQ(RGB(0, 0, 0), dlg.History().ColourAt(static_cast<LONG>(text.find(L"hey"))));
    EXPECT_EQ(RGB(0xFF, 0x80, 0), dlg.History().ColourAt(static_cast<LONG>(text.find(L"hi there"))));
    EXPECT_EQ(RGB(255, 0, 0), dlg.History().ColourAt(static_cast<LONG>(text.find(L"*State"))));

    // An invitation has its Yes and No links; a peer's "Yes" is never one.
    dlg.ReceiveMessage(MSGKIND_TEXT, u"000000Yes No", u"Bob", 0);
    dlg.ReceiveMessage(MSGKIND_INVITATION, u"%s invites you. Yes No", u"Bob", 6);
    EXPECT_EQ(6, dlg.InvitedRoom());
    const SChatRange yes = dlg.Log().Range(CMessengerLog::LINK_INVITE_YES);
    const SChatRange no = dlg.Log().Range(CMessengerLog::LINK_INVITE_NO);
    EXPECT_TRUE(dlg.History().IsLink(yes.nStart, yes.nEnd));
    EXPECT_TRUE(dlg.History().IsLink(no.nStart, no.nEnd));
    EXPECT_EQ(L"Yes", dlg.History().GetTextRange(yes.nStart, yes.nEnd));
    const LONG nPeerYes = static_cast<LONG>(HistoryText(dlg).find(L"Bob > Yes"));
    EXPECT_FALSE(dlg.History().IsLink(nPeerYes + 6, nPeerYes + 9));
    SavePicture(dlg.m_hWnd, "messenger_links");

    // No refuses (660) and takes the links off.
    host.calls.clear();
    dlg.OnLinkClicked(static_cast<LONG>(no.nStart));
    EXPECT_EQ((std::vector<std::wstring>{L"660 to 9 refused"}), host.calls);
    EXPECT_FALSE(dlg.History().IsLink(yes.nStart, yes.nEnd));
    dlg.OnLinkClicked(static_cast<LONG>(yes.nStart));
    EXPECT_EQ(1u, host.calls.size()) << "a link taken off does nothing";

    // More than 1000 lines: the oldest 200 go, and the links move with the rest.
    while (dlg.Log().LineCount() < 300)
        dlg.ReceiveMessage(MSGKIND_TEXT, u"000000line", u"Bob", 0);
    dlg.ReceiveMessage(MSGKIND_INVITATION, u"%s invites you. Yes No", u"Bob", 5);
    while (dlg.Log().LineCount() < 1000)
        dlg.ReceiveMessage(MSGKIND_TEXT, u"000000line", u"Bob", 0);
    dlg.ReceiveMessage(MSGKIND_TEXT, u"000000the last", u"Bob", 0);
    EXPECT_EQ(801u, dlg.Log().LineCount());
    EXPECT_EQ(HistoryText(dlg), std::wstring(dlg.Log().Text().begin(), dlg.Log().Text().end()));
    const SChatRange moved = dlg.Log().Range(CMessengerLog::LINK_INVITE_YES);
    EXPECT_EQ(L"Yes", dlg.History().GetTextRange(moved.nStart, moved.nEnd));
    EXPECT_TRUE(dlg.History().IsLink(moved.nStart, moved.nEnd));

    // Closed by its user: the position is kept and the session's entry goes.
    host.calls.clear();
    ::SendMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ((std::vector<std::wstring>{L"taken bob 9"}), host.calls);
    EXPECT_FALSE(RegReadString(HKEY_CURRENT_USER, kKey, L"MessageWindow_Pos", L"").empty());
}

TEST_F(MessengerWindowTest, FrameMovesResizesMaximisesAndKeepsItsPlace)
{
    CMessangeDlg* pDlg = OpenMessenger(host);
    ASSERT_NE(nullptr, pDlg);
    CMessangeDlg& dlg = *pDlg;
    // No position kept: the minimum width (the transfer panel's picture) and 345 high.
    RECT r;
    ::GetWindowRect(dlg.m_hWnd, &r);
    EXPECT_EQ(dlg.MinTrackSize().cx, r.right - r.left);
    EXPECT_EQ(345, r.bottom - r.top);
    EXPECT_EQ(245, dlg.MinTrackSize().cy);
    EXPECT_GT(dlg.MinTrackSize().cx, 0);

    const int cx = r.right - r.left, cy = r.bottom - r.top;
    struct
    {
        POINT pt;
        LRESULT code;
    } hits[] = {
        {{1, 1}, HTTOPLEFT},         {{cx - 1, 1}, HTTOPRIGHT},
        {{1, cy - 1}, HTBOTTOMLEFT}, {{cx - 2, cy - 2}, HTBOTTOMRIGHT},
        {{1, 100}, HTLEFT},          {{cx - 1, 100}, HTRIGHT},
        {{100, 2}, HTTOP},           {{100, cy - 1}, HTBOTTOM},
        {{100, 12}, HTCAPTION},      {{100, 200}, HTCLIENT},
    };
    for (const auto& h : hits)
        EXPECT_EQ(h.code, dlg.HitTest(h.pt)) << h.pt.x << "," << h.pt.y;

    // A drag on the border holds the size between the minimum and the work area.
    MINMAXINFO mmi{};
    ::SendMessageW(dlg.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(dlg.MinTrackSize().cx, mmi.ptMinTrackSize.x);
    EXPECT_EQ(245, mmi.ptMinTrackSize.y);
    EXPECT_GT(mmi.ptMaxTrackSize.x, 0);
    ::SetWindowPos(dlg.m_hWnd, nullptr, 40, 30, 400, 500, SWP_NOZORDER);

    // Maximise and restore: the buttons swap, the frame does not resize while maximised.
    ::SendMessageW(dlg.GetDlgItem(IDC_MSG_MAXIMIZE), BM_CLICK, 0, 0);
    EXPECT_TRUE(dlg.IsMaximised());
    EXPECT_TRUE(::IsWindowVisible(dlg.GetDlgItem(IDC_MSG_RESTORE)));
    EXPECT_FALSE(::IsWindowVisible(dlg.GetDlgItem(IDC_MSG_MAXIMIZE)));
    EXPECT_EQ(HTCLIENT, dlg.HitTest({1, 1}));
    ::SendMessageW(dlg.GetDlgItem(IDC_MSG_RESTORE), BM_CLICK, 0, 0);
    EXPECT_FALSE(dlg.IsMaximised());
    ::GetWindowRect(dlg.m_hWnd, &r);
    EXPECT_EQ(Edges({40, 30, 440, 530}), Edges(r));
    // History and input stretch with the window; the caption buttons keep to the right edge.
    RECT rcClose, rcHistory;
    ::GetWindowRect(dlg.GetDlgItem(IDC_MSG_CLOSE), &rcClose);
    ::GetWindowRect(dlg.GetDlgItem(IDC_MSG_HISTORY), &rcHistory);
    EXPECT_EQ(r.right - 3, rcClose.right);
    EXPECT_EQ(r.right - 10, rcHistory.right);

    // Maximised when closed: the restore rectangle is what is kept, and the next window takes it.
    ::SendMessageW(dlg.GetDlgItem(IDC_MSG_MAXIMIZE), BM_CLICK, 0, 0);
    ::SendMessageW(dlg.GetDlgItem(IDC_MSG_CLOSE), BM_CLICK, 0, 0);
    EXPECT_EQ(L"40,30,400,500", RegReadString(HKEY_CURRENT_USER, kKey, L"MessageWindow_Pos", L""));
    CMessangeDlg* pNext = OpenMessenger(host);
    ASSERT_NE(nullptr, pNext);
    ::GetWindowRect(pNext->m_hWnd, &r);
    EXPECT_EQ(Edges({40, 30, 440, 530}), Edges(r));
    // A kept size below the minimum takes the minimum (and the minimum + 100 for the height).
    ::SendMessageW(pNext->m_hWnd, WM_CLOSE, 0, 0);
    RegWriteString(HKEY_CURRENT_USER, kKey, L"MessageWindow_Pos", L"10,10,5,5");
    pNext = OpenMessenger(host);
    ASSERT_NE(nullptr, pNext);
    ::GetWindowRect(pNext->m_hWnd, &r);
    EXPECT_EQ(pNext->MinTrackSize().cx, r.right - r.left);
    EXPECT_EQ(345, r.bottom - r.top);
    ::SendMessageW(pNext->m_hWnd, WM_CLOSE, 0, 0);
}

TEST_F(MessengerWindowTest, InvitationsFromTheLobbyAndFromAnotherRoom)
{
    CMessangeDlg* pDlg = OpenMessenger(host);
    ASSERT_NE(nullptr, pDlg);
    CMessangeDlg& dlg = *pDlg;
    const std::u16string kInvite = u"%s invites you. Yes No";

    // In the lobby: Yes accepts (660) and joins; a room the lobby does not list fails.
    dlg.ReceiveMessage(MSGKIND_INVITATION, kInvite, u"Bob", 5);
    dlg.OnLinkClicked(static_cast<LONG>(dlg.Log().Range(CMessengerLog::LINK_INVITE_YES).nStart));
    PumpMessages();
    EXPECT_EQ((std::vector<std::wstring>{L"660 to 9 accepted", L"join 5"}), host.calls);
    host.calls.clear();
    dlg.ReceiveMessage(MSGKIND_INVITATION, kInvite, u"Bob", 7);
    dlg.OnLinkClicked(static_cast<LONG>(dlg.Log().Range(CMessengerLog::LINK_INVITE_YES).nStart));
    PumpMessages();
    ASSERT_EQ(1u, host.calls.size());
    EXPECT_EQ(0u, host.calls[0].find(L"asked ")) << "the accept-failed notice";

    // In another room: the first Yes warns, the second leaves and waits for the session.
    host.calls.clear();
    host.bInRoom = true;
    dlg.UpdateRoomState(true, 3);
    EXPECT_TRUE(::IsWindowEnabled(dlg.GetDlgItem(IDC_MSG_INVITE)));
    dlg.ReceiveMessage(MSGKIND_INVITATION, kInvite, u"Bob", 6);
    const LONG nYes = static_cast<LONG>(dlg.Log().Range(CMessengerLog::LINK_INVITE_YES).nStart);
    dlg.OnLinkClicked(nYes);
    EXPECT_TRUE(dlg.LeaveRoomWarned());
    EXPECT_TRUE(host.calls.empty());
    dlg.OnLinkClicked(static_cast<LONG>(dlg.Log().Range(CMessengerLog::LINK_INVITE_YES).nStart));
    EXPECT_EQ((std::vector<std::wstring>{L"leave room"}), host.calls);
    PumpMessages(1500);
    EXPECT_EQ(1u, host.calls.size()) << "the session is not ready yet";
    host.nState = 1;
    for (int i = 0; i < 50 && host.calls.size() < 3; ++i)
        PumpMessages(100);
    EXPECT_EQ((std::vector<std::wstring>{L"leave room", L"660 to 9 accepted", L"join 6"}), host.calls);

    // The invite button: 650 with the own room.
    host.calls.clear();
    dlg.UpdateRoomState(true, 4);
    ::SendMessageW(dlg.GetDlgItem(IDC_MSG_INVITE), BM_CLICK, 0, 0);
    EXPECT_EQ((std::vector<std::wstring>{L"650 room 4 to 9"}), host.calls);
    dlg.UpdateRoomState(false, CMessangeDlg::kNoRoom);
    EXPECT_FALSE(::IsWindowEnabled(dlg.GetDlgItem(IDC_MSG_INVITE)));
    ::SendMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
}

TEST_F(MessengerWindowTest, ClosingWhileAFileComesInAsksAndLogoutDoesNot)
{
    wchar_t szTemp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    host.szFolder = std::wstring(szTemp) + L"qmsgrecv" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(host.szFolder.c_str(), nullptr);
    const std::wstring szPartial = host.szFolder + L"\\notes.txt";

    CMessangeDlg* pDlg = OpenMessenger(host);
    ASSERT_NE(nullptr, pDlg);
    pDlg->OnFileOffer(u"..\\notes.txt", 100);
    pDlg->OnLinkClicked(static_cast<LONG>(pDlg->Log().Range(CMessengerLog::LINK_OFFER_YES).nStart));
    ASSERT_TRUE(pDlg->Transfer() && pDlg->Transfer()->Receiving());
    EXPECT_NE(nullptr, pDlg->Progress()) << "the panel lies over the buttons";
    const uint8_t block[10] = {};
    pDlg->OnFileData(block, sizeof block);
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(szPartial.c_str()));

    // The second button keeps the window and the transfer.
    host.nAnswer = 2;
    HWND hWnd = pDlg->m_hWnd;
    ::SendMessageW(hWnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(::IsWindow(hWnd));
    EXPECT_EQ(L"asked " + host.NoticeText("IDS_MSG_FILERECV_ING"), host.calls.back());
    // The first ends the transfer, deletes the partial file and closes.
    host.nAnswer = 1;
    ::SendMessageW(hWnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(szPartial.c_str()));
    EXPECT_EQ(L"taken bob 9", host.calls.back());
    EXPECT_NE(std::find(host.calls.begin(), host.calls.end(), L"630 to 9 refused"), host.calls.end());

    // Logout closes without a question and leaves the object to the session.
    host.calls.clear();
    CMessangeDlg* pOther = OpenMessenger(host);
    ASSERT_NE(nullptr, pOther);
    pOther->OnFileOffer(u"notes.txt", 100);
    pOther->OnLinkClicked(static_cast<LONG>(pOther->Log().Range(CMessengerLog::LINK_OFFER_YES).nStart));
    pOther->OnFileData(block, sizeof block);
    pOther->ForceClose();
    EXPECT_TRUE(std::none_of(host.calls.begin(), host.calls.end(),
                             [](const std::wstring& s) { return s.rfind(L"asked", 0) == 0; }));
    EXPECT_TRUE(pOther->IsForceClosed());
    EXPECT_EQ(nullptr, pOther->m_hWnd);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(szPartial.c_str()));
    delete pOther;
    ::RemoveDirectoryW(host.szFolder.c_str());
}

namespace
{
// Real windows, made and freed as the session does.
struct Windows : IMessengerWindows
{
    Host& host;
    explicit Windows(Host& h) : host(h) {}
    IMessengerWindow* CreateMessenger(const S_MESSAGEINFO& info) override
    {
        return OpenMessenger(host, info.wUserIndex, L"peer", false);
    }
    void DeleteMessenger(IMessengerWindow* p) override { delete static_cast<CMessangeDlg*>(p); }
};
} // namespace

TEST_F(MessengerWindowTest, AHundredWindowsAndNotOneMore)
{
    Windows windows(host);
    CMessengerTable table(windows);
    for (uint16_t i = 0; i < 100; ++i)
        ASSERT_NE(nullptr, table.FindOrCreate(i,
                                              u"user" + std::u16string(1, char16_t(u'0' + i / 10)) +
                                                  std::u16string(1, char16_t(u'0' + i % 10)),
                                              u"peer", false, 65535))
            << i;
    int nCode = 0;
    EXPECT_EQ(nullptr, table.FindOrCreate(100, u"late", u"peer", false, 65535, &nCode));
    EXPECT_EQ(101, nCode);
    table.ForceCloseAll();
    EXPECT_TRUE(table.Entries().empty());
}

TEST_F(MessengerWindowTest, TransferPanelScalesLargeFilesAndCutsLongNames)
{
    CMessangeDlg* pDlg = OpenMessenger(host);
    ASSERT_NE(nullptr, pDlg);
    CFileSProgressDlg panel(host);
    ASSERT_TRUE(panel.Create(pDlg));
    panel.SetLayout(12, L"Tahoma", 86, 14);
    // Before a start only the count is kept.
    panel.UpdateTransfer(100, 100);
    EXPECT_EQ(500, panel.BarPosition());

    // 3 GB: the range stays positive and the bar ends at its end.
    panel.BeginTransfer(3000000000u, L"holiday-video.mp4");
    EXPECT_EQ(L"holiday-vide...", panel.NameText());
    EXPECT_EQ(500, panel.BarLow());
    EXPECT_GT(panel.BarHigh(), 500);
    panel.UpdateTransfer(1500000000u, 1500000000u);
    const int nHalf = panel.BarPosition();
    EXPECT_NEAR(0.5, double(nHalf - 500) / (panel.BarHigh() - 500), 0.01);
    panel.UpdateTransfer(3000000000u, 1500000000u);
    EXPECT_EQ(panel.BarHigh(), panel.BarPosition());
    SavePicture(pDlg->m_hWnd, "messenger_transfer_panel");

    panel.BeginTransfer(0, L"fourteen-chars");
    EXPECT_EQ(L"fourteen-chars", panel.NameText());
    EXPECT_EQ(500 + 1366, panel.BarHigh());
    panel.DestroyWindow();
    ::SendMessageW(pDlg->m_hWnd, WM_CLOSE, 0, 0);
}

TEST_F(MessengerWindowTest, TheActivatingClickGoesOnlyWhereTheWindowShows)
{
    CMessangeDlg* pDlg = OpenMessenger(host);
    ASSERT_NE(nullptr, pDlg);
    ::SetWindowPos(pDlg->m_hWnd, HWND_TOP, 200, 150, 0, 0, SWP_NOSIZE);
    PumpMessages();
    POINT before;
    ::GetCursorPos(&before);
    EXPECT_TRUE(CMessangeDlg::ActivateByMiddleClick(pDlg->m_hWnd));
    POINT after;
    ::GetCursorPos(&after);
    EXPECT_EQ(std::vector<LONG>({before.x, before.y}), std::vector<LONG>({after.x, after.y}));

    // Another window over the point: no click.
    HWND hCover = ::CreateWindowExW(WS_EX_TOPMOST, L"BUTTON", L"", WS_POPUP | WS_VISIBLE | BS_PUSHBUTTON, 190,
                                    140, 60, 60, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hCover);
    PumpMessages();
    EXPECT_FALSE(CMessangeDlg::ActivateByMiddleClick(pDlg->m_hWnd));
    ::DestroyWindow(hCover);
    ::SendMessageW(pDlg->m_hWnd, WM_CLOSE, 0, 0);
}
