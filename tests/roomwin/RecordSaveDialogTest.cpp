// The bar's record command under Wine with the real save dialog, answered as a user would: a name
// with each filter, and a cancel; the stored filter index after each, and what was recorded.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ResourceIds.h"
#include "confclient/media/RecordControl.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "tests/session/RecordedNotices.h"
#include "tests/winui/ScreenPicture.h"
#include "tests/winui/TestResources.h"

namespace
{
// The dialog's controls as the platform's template names them.
constexpr int kFilterCombo = 0x470; // cmb1
constexpr int kNameCombo = 0x47C;   // cmb13
constexpr int kNameEdit = 0x480;    // edt1

struct Engine : IRecordEngine
{
    std::vector<std::pair<std::u16string, int>> starts;
    int nState = 0;
    bool StartRecording(const std::u16string& szPath, int nKind) override
    {
        starts.emplace_back(szPath, nKind);
        if (nKind != RECORD_KIND_PLAYER) return false;
        nState = 1;
        return true;
    }
    bool StopRecording(int) override
    {
        nState = 0;
        return true;
    }
    int RecordState() const override { return nState; }
};

struct Host : IRecordHost
{
    S_RECORDROOM room;
    uint32_t nIndex = 0;
    S_RECORDROOM RecordRoom() const override { return room; }
    uint32_t ReadFilterIndex() override { return nIndex; }
    void WriteFilterIndex(uint32_t n) override { nIndex = n; }
    void SendRecordState(bool) override {}
    void SendListenerNotice() override {}
    S_LOCALMINUTE LocalMinute() override { return {2026, 12, 11, 9, 5}; }
    uint32_t TickCount() override { return 0; }
};

// The bar's window is the view: its toggle and its save dialog.
struct BarView : IRecordBarView
{
    CRoomCtrlDlg& bar;
    explicit BarView(CRoomCtrlDlg& b) : bar(b) {}
    void SetRecordCheck(bool b) override { bar.SetRecordCheck(b); }
    bool AskRecordPath(const S_RECORDNAME& name, const std::u16string& szFilter, std::u16string& szPath,
                       uint32_t& nIndex) override
    {
        std::wstring chosen;
        bool bOk = bar.AskRecordPath(std::wstring(name.szName.begin(), name.szName.end()),
                                     std::wstring(name.szFolder.begin(), name.szFolder.end()),
                                     std::wstring(szFilter.begin(), szFilter.end()), chosen, nIndex);
        szPath.assign(chosen.begin(), chosen.end());
        return bOk;
    }
    void SetRecordTimer(int nId, bool bOn) override { bar.SetRecordTimer(nId, bOn); }
    void SaveRoomPlacement() override {}
};

struct Files : IRecordFiles
{
    bool Exists(const std::u16string& s) override
    {
        return ::GetFileAttributesW(std::wstring(s.begin(), s.end()).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    bool MakeFolder(const std::u16string& s) override
    {
        return ::CreateDirectoryW(std::wstring(s.begin(), s.end()).c_str(), nullptr) != FALSE;
    }
};

// What the user saw when the dialog opened.
struct Seen
{
    int nFilter = -1; // 1-based
    int nFilters = 0;
    std::wstring szName;
};

// Waits for this process's save dialog, picks the filter (1-based; 0 keeps it), types the name
// and presses OK, or Cancel when the name is empty.
std::thread Answer(int nFilter, std::wstring szName, Seen& seen)
{
    return std::thread(
        [nFilter, szName, &seen]
        {
            for (int i = 0; i < 400; ++i, ::Sleep(50))
            {
                HWND hDlg = nullptr;
                for (HWND h = ::FindWindowExW(nullptr, nullptr, L"#32770", nullptr); h && !hDlg;
                     h = ::FindWindowExW(nullptr, h, L"#32770", nullptr))
                {
                    DWORD dwProcess = 0;
                    ::GetWindowThreadProcessId(h, &dwProcess);
                    if (dwProcess == ::GetCurrentProcessId() && ::GetDlgItem(h, kFilterCombo) &&
                        ::IsWindowVisible(h))
                        hDlg = h;
                }
                if (!hDlg) continue;
                HWND hFilter = ::GetDlgItem(hDlg, kFilterCombo);
                seen.nFilter = static_cast<int>(::SendMessageW(hFilter, CB_GETCURSEL, 0, 0)) + 1;
                seen.nFilters = static_cast<int>(::SendMessageW(hFilter, CB_GETCOUNT, 0, 0));
                int nNameId = ::GetDlgItem(hDlg, kNameCombo) ? kNameCombo : kNameEdit;
                wchar_t szShown[MAX_PATH] = {};
                ::GetDlgItemTextW(hDlg, nNameId, szShown, MAX_PATH);
                seen.szName = szShown;
                if (nFilter > 0)
                {
                    ::SendMessageW(hFilter, CB_SETCURSEL, static_cast<WPARAM>(nFilter - 1), 0);
                    ::SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(kFilterCombo, CBN_SELENDOK),
                                   reinterpret_cast<LPARAM>(hFilter));
                }
                if (szName.empty())
                {
                    ::PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0);
                    return;
                }
                ::SetDlgItemTextW(hDlg, nNameId, szName.c_str());
                ::PostMessageW(hDlg, WM_COMMAND, IDOK, 0);
                return;
            }
        });
}

std::u16string TempFolder()
{
    wchar_t szDir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szDir);
    std::wstring folder = std::wstring(szDir) + L"record-dialog-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return std::u16string(folder.begin(), folder.end());
}

bool EndsWith(const std::u16string& s, const std::u16string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}
} // namespace

TEST(RecordSaveDialog, NamesFiltersAndCancelAnsweredByTheUser)
{
    ASSERT_NE(LoadTestResources(), nullptr);
    CRoomMainViewDlg mainView;
    ASSERT_TRUE(mainView.Create(nullptr));
    CRoomCtrlDlg bar{nullptr};
    ASSERT_TRUE(bar.Create(&mainView));
    Engine engine;
    Host host;
    host.room.szProduct = u"Quillon";
    host.room.szRecordFolder = TempFolder();
    BarView view(bar);
    Files files;
    RecordedNotices notices;
    CRecordControl control{engine, host, view, files, notices, nullptr};

    struct Case
    {
        const char* pszWhat;
        uint32_t nStoredBefore;
        int nPick;              // the filter the user picks (0: as shown)
        const wchar_t* pszName; // empty: cancel
        uint32_t nStoredAfter;
        const char16_t* pszStartedTail; // null: nothing started
        int nKind;
        const char16_t* pszNotice; // the chat notice, null for none
    };
    const Case cases[] = {
        {"first use: the player file", 0, 0, L"talk", 1, u"\\talk.qn", RECORD_KIND_PLAYER,
         u"<IDS_RECORD_END_ST>"},
        {"wmv picked", 1, 2, L"talk2", 2, u"\\talk2.wmv", RECORD_KIND_WMV, u"<IDS_RECORD_END_FA>"},
        {"mp4 picked", 2, 3, L"talk3", 3, u"\\talk3.mp4", RECORD_KIND_MP4, u"<IDS_RECORD_END_FA>"},
        {"cancel after picking wmv", 3, 2, L"", 2, nullptr, 0, nullptr},
        {"cancel as shown", 2, 0, L"", 2, nullptr, 0, nullptr},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszWhat);
        host.nIndex = c.nStoredBefore;
        engine.starts.clear();
        notices.chatNotices.clear();
        Seen seen;
        std::thread user = Answer(c.nPick, c.pszName, seen);
        control.OnRecordCommand();
        user.join();
        // The dialog opened on the stored filter (the first before any) with the minute's name.
        EXPECT_EQ(seen.nFilter, c.nStoredBefore == 0 ? 1 : static_cast<int>(c.nStoredBefore));
        EXPECT_EQ(seen.nFilters, 3);
        EXPECT_EQ(seen.szName, L"202612110905");
        EXPECT_EQ(host.nIndex, c.nStoredAfter);
        if (c.pszStartedTail)
        {
            ASSERT_EQ(engine.starts.size(), 1u);
            EXPECT_TRUE(EndsWith(engine.starts[0].first, c.pszStartedTail))
                << std::string(engine.starts[0].first.begin(), engine.starts[0].first.end());
            EXPECT_EQ(engine.starts[0].second, c.nKind);
        }
        else
            EXPECT_TRUE(engine.starts.empty());
        if (c.pszNotice)
            EXPECT_EQ(notices.chatNotices, std::vector<std::u16string>{c.pszNotice});
        else
            EXPECT_TRUE(notices.chatNotices.empty());
        // Only the player file records; the toggle follows.
        EXPECT_EQ(bar.RecordChecked(), engine.nState == 1);
        EXPECT_EQ(::SendMessageW(bar.GetDlgItem(IDC_ROOMCTRL_RECORD), BM_GETCHECK, 0, 0) == BST_CHECKED,
                  engine.nState == 1);
        if (engine.nState == 1)
        {
            // The bar while recording, for a person to look at.
            mainView.ShowWindow(SW_SHOW);
            ::MoveWindow(bar.m_hWnd, 0, 0, 900, 70, TRUE);
            bar.ShowWindow(SW_SHOW);
            ::RedrawWindow(bar.m_hWnd, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            PumpMessages(100);
            SaveWindowPicture(bar.m_hWnd, QUILLON_SCREENSHOT_DIR, "record_bar_recording");
        }
        if (engine.nState == 1) control.StopRecord(RECORD_STOP_NORMAL);
    }
    mainView.DestroyWindow();
}
