// The window layer under Wine: dialogs from the language library, the modal loop, routing and strings.
#include "confclient/session/texttable/TextTableResource.h"
#include "resources/ResourceIds.h"
#include "tests/winui/TestResources.h"
#include "winui/Controls.h"
#include "winui/Dialog.h"
#include "winui/WinApp.h"
#include <gtest/gtest.h>
#include <vector>

namespace
{
class RecordingDialog : public CDialog
{
public:
    using CDialog::CDialog;
    int nInit = 0;
    std::vector<UINT_PTR> timers;
    std::vector<UINT> commands;
    std::vector<UINT> preTranslated;
    CString copied;
    bool endOnTimer = false;
    bool escapeAtStart = false;

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        preTranslated.push_back(pMsg->message);
        return CDialog::PreTranslateMessage(pMsg);
    }

protected:
    BOOL OnInitDialog() override
    {
        ++nInit;
        if (escapeAtStart) ::PostMessageW(GetDlgItem(IDC_SAMPLE_LMBUTTON), WM_KEYDOWN, VK_ESCAPE, 0);
        // With the escape key the timer only keeps a broken loop from hanging the test.
        SetTimer(7, escapeAtStart ? 3000 : 10);
        return TRUE;
    }
    void OnTimer(UINT_PTR id) override
    {
        timers.push_back(id);
        if (endOnTimer)
        {
            KillTimer(id);
            EndDialog(42);
        }
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        commands.push_back(LOWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
    BOOL OnCopyData(HWND, COPYDATASTRUCT* pData) override
    {
        if (pData->dwData != 4041) return FALSE;
        copied = CString(static_cast<const wchar_t*>(pData->lpData), pData->cbData / sizeof(wchar_t));
        return TRUE;
    }
};

// A private message that a derived window handles by overriding the one entry.
const UINT kPrivateMsg = WM_APP + 0x52;
class PrivateMessageDialog : public RecordingDialog
{
public:
    WPARAM got = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == kPrivateMsg || msg == ::RegisterWindowMessageW(L"Quillon_Test_Message"))
        {
            got = wParam;
            return 77;
        }
        return RecordingDialog::WindowProc(msg, wParam, lParam);
    }
};
} // namespace

TEST(WindowLayer, ModalDialogFromLibraryRunsItsLoopUntilEndDialog)
{
    ASSERT_NE(LoadTestResources(), nullptr);
    RecordingDialog dlg(IDD_CONTROL_SAMPLE, nullptr);
    dlg.endOnTimer = true;
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_EQ(dlg.nInit, 1);
    ASSERT_EQ(dlg.timers.size(), 1u);
    EXPECT_EQ(dlg.timers[0], 7u);
    // The timer message went through the dialog's PreTranslateMessage on its way.
    EXPECT_NE(std::find(dlg.preTranslated.begin(), dlg.preTranslated.end(), WM_TIMER),
              dlg.preTranslated.end());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(WindowLayer, ModalLoopGivesKeysToTheDialogManager)
{
    ASSERT_NE(LoadTestResources(), nullptr);
    RecordingDialog dlg(IDD_CONTROL_SAMPLE, nullptr);
    dlg.escapeAtStart = true;
    dlg.endOnTimer = true;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.commands, std::vector<UINT>{IDCANCEL});
}

TEST(WindowLayer, MissingTemplateFailsCleanly)
{
    ASSERT_NE(LoadTestResources(), nullptr);
    RecordingDialog dlg(31999, nullptr);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.Create(31999));
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(WindowLayer, EveryTemplateOfTheLibraryLoads)
{
    ASSERT_NE(LoadTestResources(), nullptr);
    // The chat's log is a rich edit: its class comes with its library, as the chat panel loads it.
    ASSERT_NE(::LoadLibraryW(L"Msftedit.dll"), nullptr);
    CDialog parent;
    ASSERT_TRUE(parent.Create(IDD_ROOMMAINVIEW));
    for (UINT id : {IDD_CONFCLIENT_DIALOG, IDD_ROOMCTRL, IDD_ROOMTXTCHAT, IDD_ROOMUSERLIST, IDD_ROOMVIDEOVIEW,
                    IDD_PLAYER, IDD_ROOMAGENDALIST, IDD_MANAGETOOL, IDD_EBOOK, IDD_FLOATINGBOARDTOOL,
                    IDD_INVITENOTICE, IDD_QUESTION, IDD_ROOMMEDIASHAREVIEW})
    {
        CDialog dlg;
        EXPECT_TRUE(dlg.Create(id, &parent)) << id;
        EXPECT_TRUE(dlg.DestroyWindow()) << id;
    }
    parent.DestroyWindow();
}

TEST(WindowLayer, ModelessDialogRoutesCommandsCopyDataAndPrivateMessages)
{
    ASSERT_NE(LoadTestResources(), nullptr);
    PrivateMessageDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL_SAMPLE));
    EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_hWnd), &dlg);
    EXPECT_EQ(dlg.nInit, 1);

    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SAMPLE_LMBUTTON, BN_CLICKED), 0);
    EXPECT_EQ(dlg.commands, std::vector<UINT>{IDC_SAMPLE_LMBUTTON});

    std::wstring text = L"qnplayer";
    COPYDATASTRUCT cds{4041, static_cast<DWORD>(text.size() * sizeof(wchar_t)), text.data()};
    EXPECT_EQ(dlg.SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)), TRUE);
    EXPECT_EQ(dlg.copied, L"qnplayer");

    EXPECT_EQ(dlg.SendMessage(kPrivateMsg, 5, 0), 77);
    EXPECT_EQ(dlg.got, 5u);
    EXPECT_EQ(dlg.SendMessage(::RegisterWindowMessageW(L"Quillon_Test_Message"), 6, 0), 77);
    EXPECT_EQ(dlg.got, 6u);

    // Cancel hides a modeless dialog; destruction detaches the object.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_FALSE(dlg.IsWindowVisible());
    HWND hWnd = dlg.m_hWnd;
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(WindowLayer, RegisteredModelessWindowSeesMessagesOfTheModalLoop)
{
    ASSERT_NE(LoadTestResources(), nullptr);
    CWinApp app;
    RecordingDialog modeless;
    ASSERT_TRUE(modeless.Create(IDD_INVITENOTICE));
    app.AddModeless(&modeless);

    RecordingDialog modal(IDD_CONTROL_SAMPLE, nullptr);
    modal.endOnTimer = true;
    ::PostMessageW(modal.m_hWnd, WM_NULL, 0, 0);
    EXPECT_EQ(modal.DoModal(), 42);
    EXPECT_NE(std::find(modeless.preTranslated.begin(), modeless.preTranslated.end(), WM_TIMER),
              modeless.preTranslated.end());
    app.RemoveModeless(&modeless);
    modeless.DestroyWindow();
}

TEST(WindowLayer, OwnerDrawIsReflectedToTheControlObject)
{
    ASSERT_NE(LoadTestResources(), nullptr);
    struct DrawnButton : CButton
    {
        int nDrawn = 0;
        void PreSubclassWindow() override { ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW); }
        void DrawItem(DRAWITEMSTRUCT*) override { ++nDrawn; }
    } button;
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(IDD_CONTROL_SAMPLE));
    ASSERT_TRUE(button.SubclassDlgItem(IDC_SAMPLE_LMBUTTON, &dlg));
    dlg.ShowWindow(SW_SHOW);
    button.Invalidate();
    dlg.UpdateWindow();
    button.UpdateWindow();
    EXPECT_GE(button.nDrawn, 1);
    dlg.DestroyWindow();
    EXPECT_EQ(button.m_hWnd, nullptr);
}

TEST(WindowLayer, StringFormatAndReplace)
{
    CString s;
    s.Format(L"%s: %d%%", L"Loaded", 50);
    EXPECT_EQ(s, L"Loaded: 50%");
    std::wstring longText(1000, L'x');
    s.Format(L"[%s]", longText.c_str());
    EXPECT_EQ(s.GetLength(), 1002);
    CString amp = L"A&B&&C";
    EXPECT_EQ(amp.Replace(L"&", L"&&"), 3);
    EXPECT_EQ(amp, L"A&&B&&&&C");
}

TEST(WindowLayer, LanguageLibraryTablesAreUtf16WithMarkAndParse)
{
    HINSTANCE hRes = LoadTestResources();
    ASSERT_NE(hRes, nullptr);
    // Both tables are UTF-16LE with a byte-order mark.
    for (UINT id : {IDR_INI_TEXT, IDR_INI_LAYOUT})
    {
        HRSRC found = ::FindResourceW(hRes, MAKEINTRESOURCEW(id), L"INI");
        ASSERT_NE(found, nullptr) << id;
        auto* bytes = static_cast<const uint8_t*>(::LockResource(::LoadResource(hRes, found)));
        ASSERT_GE(::SizeofResource(hRes, found), 2u);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xFE);
    }
    CTextTable texts, layout;
    std::u16string layoutText;
    ASSERT_TRUE(LoadTextTableResource(hRes, IDR_INI_TEXT, texts));
    EXPECT_EQ(texts.GetText(u"IDMS_SINKMENU_PERSONAL"), u"Personal view");
    ASSERT_TRUE(LoadTextTableResource(hRes, IDR_INI_LAYOUT, layout, &layoutText));
    EXPECT_EQ(layout.GetText(u"VOICEPEKMETERBACK"), u"30,110,190");
    EXPECT_NE(layoutText.find(u"[34]"), std::u16string::npos);
    EXPECT_FALSE(LoadTextTableResource(hRes, 31999, texts));
    EXPECT_EQ(texts.GetText(u"IDMS_SINKMENU_PERSONAL"), u"Personal view") << "a failed load leaves the table";
    // Every language name carries the same resources until translated, and none of the tests'
    // sample pages.
    for (const wchar_t* name :
         {L"RoriVuz_Eng.dll", L"RoriVuz_Kor.dll", L"RoriVuz_Jpn.dll", L"RoriVuz_Ger.dll",
          L"RoriVuzRV_Eng.dll", L"RoriVuzRV_Kor.dll", L"RoriVuzRV_Jpn.dll"})
    {
        std::wstring path = std::wstring(QUILLON_LANGUAGE_DIR) + L"/" + name;
        HMODULE shipped = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(shipped, nullptr) << name;
        EXPECT_NE(::FindResourceW(shipped, MAKEINTRESOURCEW(IDR_INI_TEXT), L"INI"), nullptr);
        EXPECT_NE(::FindResourceW(shipped, MAKEINTRESOURCEW(IDD_CONFCLIENT_DIALOG), RT_DIALOG), nullptr);
        for (UINT nSample : {IDD_CONTROL_SAMPLE, IDD_MENU_SLIDER_SAMPLE})
            EXPECT_EQ(::FindResourceW(shipped, MAKEINTRESOURCEW(nSample), RT_DIALOG), nullptr) << name;
        EXPECT_EQ(::FindResourceW(shipped, MAKEINTRESOURCEW(IDR_MENU_SAMPLE), RT_MENU), nullptr) << name;
        ::FreeLibrary(shipped);
    }
}

TEST(WindowLayer, ObjectTakesItsOwnWindowDownAndGivesBackATakenOne)
{
    ASSERT_NE(LoadTestResources(), nullptr);
    CDialog parent;
    ASSERT_TRUE(parent.Create(IDD_CONTROL_SAMPLE));
    HWND item = parent.GetDlgItem(IDC_SAMPLE_LMBUTTON);
    WNDPROC original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(item, GWLP_WNDPROC));
    HWND made;
    {
        CButton taken;
        ASSERT_TRUE(taken.SubclassWindow(item));
        EXPECT_FALSE(CButton().SubclassWindow(item)) << "one object per window";
        CWnd own;
        RECT r{0, 0, 10, 10};
        ASSERT_TRUE(own.CreateEx(0, L"Button", L"", WS_CHILD, r, parent.m_hWnd, 1));
        made = own.m_hWnd;
    }
    EXPECT_TRUE(::IsWindow(item));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(item, GWLP_WNDPROC)), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(item), nullptr);
    EXPECT_FALSE(::IsWindow(made));
    parent.DestroyWindow();
}
