// The memo pad under Wine: where it opens, the keys that change it, Tab and Esc, the save
// question's answers, and text files read in each encoding, a long one whole.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "ResourceIds.h"
#include "confclient/notices/NoticeBoxRules.h"
#include "confclient/room/MemoDlg.h"
#include "tests/notices/ModalSteps.h"
#include "tests/notices/TestNoticeHost.h"
#include "tests/winui/TestResources.h"

namespace
{
class FakeMemoHost : public IMemoHost
{
public:
    INoticeHost& MemoNotices() override { return notices; }
    void ShowMemo(bool bShow) override { shows.push_back(bShow); }
    bool SaveChatToFile(HWND hRichEdit, HWND) override
    {
        ++nSaves;
        CRichEditCtrlGS text;
        text.Attach(hRichEdit);
        return bSaveWorks && text.WriteTextFile(szSavePath);
    }
    std::wstring SaveFolder() const override { return L""; }
    RECT RoomAreaRect() const override { return {100, 80, 900, 700}; }
    bool RoomMainWindowExists() const override { return true; }

    CTestNoticeHost notices;
    std::vector<bool> shows;
    int nSaves = 0;
    bool bSaveWorks = true;
    std::wstring szSavePath;
};

std::wstring TempPath(const wchar_t* pszName)
{
    wchar_t szDir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szDir);
    return std::wstring(szDir) + pszName;
}

bool WriteBytes(const std::wstring& szPath, const std::string& bytes)
{
    std::ofstream f(szPath.c_str(), std::ios::binary | std::ios::trunc);
    return static_cast<bool>(f.write(bytes.data(), static_cast<std::streamsize>(bytes.size())));
}

class MemoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(LoadTestResources(), nullptr);
        host.szSavePath = TempPath(L"memo-saved.txt");
        ASSERT_TRUE(memo.Create(nullptr));
        memo.ShowWindow(SW_SHOW);
        PumpMessages(0);
    }
    void TearDown() override
    {
        memo.DestroyWindow();
        ::DeleteFileW(host.szSavePath.c_str());
    }
    HWND Text() const { return memo.GetDlgItem(IDC_MEMO_TEXT); }
    std::wstring Content() const
    {
        CRichEditCtrlGS text;
        text.Attach(Text());
        return text.GetText();
    }
    // A key pressed in the text area, through the memo's key filter as the message loop does;
    // true when the filter took it (the dialog's own key handling never sees it).
    bool Key(UINT nKey)
    {
        MSG msg{Text(), WM_KEYDOWN, nKey, 0, 0, {}};
        const bool bTaken = memo.PreTranslateMessage(&msg) != FALSE;
        if (!bTaken) ::DispatchMessageW(&msg);
        PumpMessages(0);
        return bTaken;
    }
    // Runs a command that may ask the save question; answers it with the button (0: expects none).
    // True when the question came exactly as expected.
    bool RunAnswering(void (CMemoDlg::*command)(), int nButton)
    {
        bool bAsked = false;
        StepDuringModal step(
            [&]
            {
                HWND hBox = ThreadWindowWith(IDC_INFO_MESSAGE);
                if (!hBox || bAsked) return;
                bAsked = true;
                ::PostMessageW(hBox, WM_COMMAND, nButton, 0);
            });
        (memo.*command)();
        return bAsked == (nButton != 0);
    }

    // First: the host reads its texts from the resources as it is made.
    struct Resources
    {
        Resources() { LoadTestResources(); }
    } resources;
    ComInit com;
    FakeMemoHost host;
    CMemoDlg memo{host};
};
} // namespace

TEST_F(MemoTest, OpensAtTheRoomsTopRightAndOnlyTypingCountsAsAChange)
{
    RECT rc{};
    ::GetWindowRect(memo.m_hWnd, &rc);
    EXPECT_EQ(900, rc.right);
    EXPECT_EQ(80 + 55, rc.top);
    EXPECT_EQ(300, rc.right - rc.left);
    EXPECT_EQ(220, rc.bottom - rc.top);
    EXPECT_EQ(L"Memo",
              [&]
              {
                  wchar_t title[64] = {};
                  ::GetWindowTextW(memo.m_hWnd, title, 63);
                  return std::wstring(title);
              }());

    for (UINT nKey : {VK_LEFT, VK_DOWN, VK_HOME, VK_NEXT, VK_F1, VK_F10, VK_SHIFT, VK_INSERT})
        Key(nKey);
    EXPECT_FALSE(memo.IsModified());

    // Tab writes a tab; the dialog never sees it, so the focus stays in the text.
    EXPECT_TRUE(Key(VK_TAB));
    EXPECT_TRUE(memo.IsModified());
    EXPECT_EQ(L"\t", Content());

    // Esc asks the owner to hide the memo.
    Key(VK_ESCAPE);
    EXPECT_EQ(std::vector<bool>{false}, host.shows);
}

TEST_F(MemoTest, TheSaveQuestionSavesDiscardsOrKeepsTheText)
{
    const struct
    {
        const char* pszCase;
        int nButton; // the box's button pressed (0: no question expected)
        bool bSaveWorks;
        bool bTyped;
        bool bCleared;
        int nSaves;
    } cases[] = {
        {"unchanged: cleared without a question", 0, true, false, true, 0},
        {"save", IDOK, true, true, true, 1},
        {"save that fails", IDOK, false, true, false, 1},
        {"discard", IDCANCEL, true, true, true, 0},
        {"cancel", IDC_INFO_THIRD, true, true, false, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        ::SetWindowTextW(Text(), L"first line\r\nsecond");
        if (c.bTyped) Key('X');
        host.nSaves = 0;
        host.bSaveWorks = c.bSaveWorks;
        EXPECT_TRUE(RunAnswering(&CMemoDlg::NewMemo, c.nButton));
        EXPECT_EQ(c.bCleared, Content().empty());
        EXPECT_EQ(c.nSaves, host.nSaves);
        EXPECT_EQ(!c.bCleared, memo.IsModified());
        if (c.nSaves && c.bSaveWorks)
        {
            std::ifstream f(host.szSavePath.c_str(), std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
            EXPECT_EQ("\xEF\xBB\xBF"
                      "first line\r\nsecond",
                      bytes);
        }
        // Leaves the memo unchanged for the next case.
        if (memo.IsModified()) RunAnswering(&CMemoDlg::NewMemo, IDCANCEL);
    }
}

TEST_F(MemoTest, TextFilesLoadInEachEncodingAndALongOneWhole)
{
    const std::string ansi = "caf\xE9 cr\xE8me";
    wchar_t szAnsi[32] = {};
    ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, szAnsi, 31);
    std::string longText;
    for (int i = 0; longText.size() < 100 * 1024; ++i)
        longText += "line " + std::to_string(i) + " of a memo longer than the control's usual limit\r\n";
    const struct
    {
        const char* pszCase;
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"UTF-16", std::string("\xFF\xFEs\0\xFC\0\r\0\n\0x\0", 12), L"s\u00FC\r\nx"},
        {"UTF-8 marked", "\xEF\xBB\xBF\xE2\x82\xAC 5", L"\u20AC 5"},
        {"UTF-8", "gr\xC3\xBC\xC3\x9F", L"gr\u00FC\u00DF"},
        {"ANSI", ansi, szAnsi},
        {"100 KB", longText, std::wstring(longText.begin(), longText.end())},
    };
    const std::wstring szPath = TempPath(L"memo-open.txt");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.pszCase);
        ASSERT_TRUE(WriteBytes(szPath, c.bytes));
        EXPECT_TRUE(memo.LoadMemoFile(szPath));
        EXPECT_EQ(c.text, Content());
    }

    // Past the memo's limit: refused with a notice, the text kept.
    ASSERT_TRUE(WriteBytes(szPath, std::string(static_cast<size_t>(kMemoTextLimit) + 1, 'a')));
    bool bTold = false;
    {
        StepDuringModal step(
            [&]
            {
                if (HWND hBox = ThreadWindowWith(IDC_INFO_MESSAGE); hBox && !bTold)
                {
                    bTold = true;
                    ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
                }
            });
        EXPECT_FALSE(memo.LoadMemoFile(szPath));
    }
    EXPECT_TRUE(bTold);
    EXPECT_EQ(cases[4].text, Content());
    ::DeleteFileW(szPath.c_str());
}
