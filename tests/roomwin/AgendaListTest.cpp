// The agenda list under Wine: pages fed as the board tells them (player mode's single
// whiteboard), going to a page, deleting through the walk, the question and the board's answer,
// the rights, dropped files, folders and missing paths; its pictures docked, floating, collapsed
// and with a multi-selection.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "ResourceIds.h"
#include "confclient/room/RoomAgendaListDlg.h"
#include "tests/winui/ScreenPicture.h"
#include "tests/winui/TestResources.h"

namespace
{
class FakeAgendaHost : public IAgendaListHost
{
public:
    SAgendaRights AgendaListRights() const override { return rights; }
    int AgendaBoardMode() const override { return nBoardMode; }
    void ShowBoardPage(int nIndex) override { shown.push_back(nIndex); }
    Answer ConfirmPageDelete(int nCount) override
    {
        asked.push_back(nCount);
        return answer;
    }
    void DeletePageCheck() override { ++nChecks; }
    void SendDeletePage(bool bLastFile, const std::u16string& szName) override
    {
        deleted.push_back(std::string(szName.begin(), szName.end()) + (bLastFile ? "!" : ""));
    }
    void LoadDroppedFile(const std::wstring& szPath) override { loaded.push_back(szPath); }
    std::wstring AgendaText(const char* pszKey) const override
    {
        const std::string key = pszKey;
        if (key == "IDMS_WHITEBOARD") return L"Whiteboard";
        if (key == "IDMS_AGENDALIST") return L"Agenda";
        return std::wstring(key.begin(), key.end());
    }
    void AgendaNotice(const char* pszKey) override { notices.push_back(pszKey); }

    SAgendaRights rights{true, false, false, 1};
    int nBoardMode = 0;
    Answer answer = Answer::Delete;
    std::vector<int> shown, asked;
    int nChecks = 0;
    std::vector<std::string> deleted, notices;
    std::vector<std::wstring> loaded;
};

S_BOARD_FILEHDR Page(const char16_t* name, uint8_t byKind, uint8_t byPos, const char16_t* title,
                     const char16_t* caption = u"")
{
    S_BOARD_FILEHDR h;
    h.byKind = byKind;
    h.bySubPage = byPos;
    S_BOARD_FILEHDR::SetText(h.szName, name);
    S_BOARD_FILEHDR::SetText(h.szTitle, title);
    S_BOARD_FILEHDR::SetText(h.szCaption, caption);
    return h;
}

std::wstring TempPath(const wchar_t* pszName)
{
    wchar_t szDir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szDir);
    return std::wstring(szDir) + pszName;
}

class AgendaListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(LoadTestResources(), nullptr);
        ASSERT_TRUE(host.CreateEx(0, L"STATIC", L"panels", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                  RECT{60, 60, 300, 360}, nullptr, 0));
    }
    void TearDown() override
    {
        if (list.m_hWnd) list.DestroyWindow();
        host.DestroyWindow();
    }
    void Open()
    {
        ASSERT_TRUE(list.Create(&host));
        list.SetWindowPos(nullptr, 0, 0, 220, 280, SWP_NOZORDER | SWP_SHOWWINDOW);
    }
    // As the room's board tells the list: the list filters, the tree lists.
    void Add(int nMode, const S_BOARD_FILEHDR& hdr)
    {
        list.Tree().OnAddPage(nMode, hdr, list.ListsPage(nMode, hdr));
    }
    void Current(int nIndex)
    {
        list.OnCurrentPage(nIndex);
        list.Tree().OnSetCurrentPage(nIndex);
    }
    // Whiteboard #0; slide show "Deck" #1-#3; picture #4.
    void Fill()
    {
        Add(1, Page(u"w_000", PAGE_BLANK, 0, u"Whiteboard"));
        Add(0, Page(u"d_001", PAGE_DOCUMENT, 1, u"d1", u"Deck"));
        Add(0, Page(u"d_002", PAGE_DOCUMENT, 2, u"d2", u"Deck"));
        Add(0, Page(u"d_003", PAGE_DOCUMENT, 2, u"d3", u"Deck"));
        Add(2, Page(u"p_004", PAGE_PICTURE, 0, u"Sea"));
    }
    std::vector<std::wstring> TopTexts()
    {
        std::vector<std::wstring> out;
        HWND hTree = list.Tree().m_hWnd;
        for (HTREEITEM h = TreeView_GetRoot(hTree); h; h = TreeView_GetNextSibling(hTree, h))
            out.push_back(list.Tree().ItemText(h));
        return out;
    }
    void Picture(const char* pszName, HWND hWnd)
    {
        ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PumpMessages(100);
        SaveWindowPicture(hWnd, QUILLON_SCREENSHOT_DIR, pszName);
    }

    CWnd host;
    FakeAgendaHost agenda;
    CRoomAgendaListDlg list{nullptr, &agenda};
};
} // namespace

TEST_F(AgendaListTest, PagesTheCurrentPageAndGoingToOne)
{
    Open();
    Fill();
    EXPECT_EQ(TopTexts(), (std::vector<std::wstring>{L"Whiteboard", L"Deck", L"Sea"}));
    EXPECT_EQ(::GetWindowTextLengthW(list.GetDlgItem(IDC_AGENDA_TITLE)), 6);
    Current(2);
    EXPECT_EQ(list.CurrentPage(), 2);
    EXPECT_TRUE(list.IsPageKind15(-1));
    EXPECT_FALSE(list.IsPageKind15(4));

    // A full reload keeps the open document open and the current page selected.
    ASSERT_TRUE(list.Tree().Model().Nodes()[1].bExpanded);
    Fill();
    EXPECT_TRUE(list.Tree().Model().Nodes()[1].bExpanded);

    // 2030: the current page again does nothing unless forced or a web page shows.
    list.SendMessage(CRoomAgendaListDlg::kGoToPageMessage, 4, 0);
    list.SendMessage(CRoomAgendaListDlg::kGoToPageMessage, 2, 0);
    list.SendMessage(CRoomAgendaListDlg::kGoToPageMessage, 2, 1);
    agenda.nBoardMode = 1;
    list.SendMessage(CRoomAgendaListDlg::kGoToPageMessage, 2, 0);
    EXPECT_EQ(agenda.shown, (std::vector<int>{4, 2, 2}));

    Picture("agenda_docked", list.m_hWnd);
    list.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_AGENDA_FLOAT, BN_CLICKED), 0);
    ASSERT_TRUE(list.IsFloating());
    Picture("agenda_floating", list.m_hWnd);
    list.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_AGENDA_POPUP, BN_CLICKED), 0);
    EXPECT_FALSE(list.IsExpanded());
    EXPECT_FALSE(list.Tree().GetStyle() & WS_VISIBLE);
    Picture("agenda_collapsed", list.m_hWnd);
    list.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_AGENDA_POPUP, BN_CLICKED), 0);
    list.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_AGENDA_FLOAT, BN_CLICKED), 0);
    EXPECT_FALSE(list.IsFloating());
    EXPECT_EQ(list.GetParent(), host.m_hWnd);
}

TEST_F(AgendaListTest, DeleteAsksThenSendsOnTheBoardsAnswer)
{
    Open();
    Fill();
    // One page of the slide show takes the whole show; the tree shows what is asked.
    CAgendaModel& model = list.Tree().EditModel();
    model.Select({1, 1}, true);
    model.Select({2, -1}, false);
    list.SendMessage(CRoomAgendaListDlg::kDeleteMessage, 0, 0);
    EXPECT_EQ(agenda.asked, (std::vector<int>{4}));
    EXPECT_EQ(agenda.nChecks, 1);
    EXPECT_TRUE(model.IsSelected({1, 0}) && model.IsSelected({1, 2}));
    Picture("agenda_multiselect", list.m_hWnd);
    EXPECT_TRUE(agenda.deleted.empty()); // not before the board answers
    list.SendPendingDeletes();
    EXPECT_EQ(agenda.deleted, (std::vector<std::string>{"d_001.ppt", "d_001", "d_002", "d_003", "p_004!"}));
    EXPECT_TRUE(list.PendingDeletes().empty());

    // Kept: nothing waits for another user's answer.
    agenda.answer = IAgendaListHost::Answer::Keep;
    model.Select({2, -1}, true);
    list.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_AGENDA_DELETE, BN_CLICKED), 0);
    EXPECT_TRUE(list.PendingDeletes().empty());
    EXPECT_EQ(agenda.nChecks, 1);

    // The whiteboard is refused; the Delete key on the tree asks as the button does.
    model.Select({0, -1}, true);
    ::SendMessageW(list.Tree().m_hWnd, WM_KEYDOWN, VK_DELETE, 0);
    PumpMessages(20);
    EXPECT_EQ(agenda.notices, (std::vector<std::string>{"IDS_BOARD_DEL_WHITEBOARD"}));
}

TEST_F(AgendaListTest, WithoutRightsNothingReachesTheBoard)
{
    agenda.rights = {false, false, false, 1};
    Open();
    Fill();
    list.Tree().EditModel().Select({2, -1}, true);
    list.SendMessage(CRoomAgendaListDlg::kGoToPageMessage, 4, 0);
    list.SendMessage(CRoomAgendaListDlg::kDeleteMessage, 0, 0);
    EXPECT_TRUE(agenda.shown.empty());
    EXPECT_TRUE(agenda.asked.empty());
    // The Delete and F2 keys are not the list's.
    for (WPARAM nKey : {static_cast<WPARAM>(VK_DELETE), static_cast<WPARAM>(VK_F2)})
    {
        MSG msg{list.Tree().m_hWnd, WM_KEYDOWN, nKey, 0, 0, {}};
        EXPECT_TRUE(list.PreTranslateMessage(&msg)) << nKey;
    }
    PumpMessages(20);
    EXPECT_TRUE(agenda.asked.empty());
    // A grade-4 user with the drawing right takes the keys but changes nothing.
    agenda.rights = {false, true, false, 4};
    list.SendMessage(CRoomAgendaListDlg::kGoToPageMessage, 4, 0);
    list.SendMessage(CRoomAgendaListDlg::kDeleteMessage, 0, 0);
    EXPECT_TRUE(agenda.shown.empty());
    EXPECT_TRUE(agenda.asked.empty());
}

TEST_F(AgendaListTest, DroppedFilesFoldersAndMissingPaths)
{
    Open();
    const std::wstring szFile = TempPath(L"agenda-drop.bmp");
    const std::wstring szFolder = TempPath(L"agenda-drop-folder");
    HANDLE hFile = ::CreateFileW(szFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    ::CloseHandle(hFile);
    ::CreateDirectoryW(szFolder.c_str(), nullptr);
    ::SetFileAttributesW(szFolder.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);

    list.DropFile(L"  " + szFile + L" ");
    list.DropFile(szFolder);
    list.DropFile(TempPath(L"agenda-no-such-file.bmp"));
    EXPECT_EQ(agenda.loaded, (std::vector<std::wstring>{szFile}));
    EXPECT_EQ(agenda.notices,
              (std::vector<std::string>{"IDS_MSG_FILETRANS_OPENFAILED", "IDS_MSG_FILETRANS_OPENFAILED"}));
    EXPECT_TRUE(::GetWindowLongPtrW(list.m_hWnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    ::SetFileAttributesW(szFolder.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    ::RemoveDirectoryW(szFolder.c_str());
    ::DeleteFileW(szFile.c_str());
}

TEST_F(AgendaListTest, PlayerModeListsTheWhiteboardOnceAndTakesNoDrops)
{
    agenda.rights = {true, true, true, 1};
    Open();
    Add(1, Page(u"w_000", PAGE_BLANK, 0, u"Whiteboard"));
    Add(0, Page(u"w_100", PAGE_BLANK, 0, u"Whiteboard"));
    Add(2, Page(u"p_004", PAGE_PICTURE, 0, u"Sea"));
    EXPECT_EQ(TopTexts(), (std::vector<std::wstring>{L"Whiteboard", L"Sea"}));
    // A reload lists it once again.
    Add(1, Page(u"w_000", PAGE_BLANK, 0, u"Whiteboard"));
    Add(2, Page(u"p_004", PAGE_PICTURE, 0, u"Sea"));
    EXPECT_EQ(TopTexts(), (std::vector<std::wstring>{L"Whiteboard", L"Sea"}));

    EXPECT_FALSE(::IsWindowEnabled(list.GetDlgItem(IDC_AGENDA_DELETE)));
    EXPECT_FALSE(::GetWindowLongPtrW(list.GetDlgItem(IDC_AGENDA_FLOAT), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(::GetWindowLongPtrW(list.m_hWnd, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    list.DropFile(L"C:\\windows\\win.ini");
    EXPECT_TRUE(agenda.loaded.empty());
    list.SendMessage(CRoomAgendaListDlg::kGoToPageMessage, 1, 0);
    EXPECT_TRUE(agenda.shown.empty());
}
