// The dialer under Wine over the real calls feature with a recording sender: the room window opens
// and closes it on 0xFD3, keys by mouse and keyboard, calling and hanging up, the tabs, the entry
// form and the phone book list, closing; each state is saved as a picture for a look at it.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <exdispid.h>

#include <string>
#include <vector>

#include "ResourceIds.h"
#include "confclient/network/QNCommands.h"
#include "confclient/notices/NoticeHost.h"
#include "confclient/room/CallToHTerminal.h"
#include "confclient/room/PhoneAddDlg.h"
#include "confclient/room/RoomMainViewDlg.h"
#include "tests/people/RecordedCallSender.h"
#include "tests/session/RecordedNotices.h"
#include "tests/notices/TestNoticeHost.h"
#include "tests/winui/ScreenPicture.h"
#include "tests/winui/TestResources.h"

namespace
{
std::wstring TextOf(HWND h)
{
    wchar_t buf[256] = {};
    ::GetWindowTextW(h, buf, 255);
    return buf;
}

bool Shown(HWND hDialer, int nId)
{
    return ::IsWindowVisible(::GetDlgItem(hDialer, nId)) != FALSE;
}

void ClickButton(HWND hDialer, int nId)
{
    ::SendMessageW(::GetDlgItem(hDialer, nId), BM_CLICK, 0, 0);
    PumpMessages(0);
}

// A key pressed while the focus is in hTarget, as the message loop delivers it.
void PressKey(HWND hTarget, UINT nVk, bool bShift = false)
{
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = bShift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    ::PostMessageW(hTarget, WM_KEYDOWN, nVk, 1);
    ::PostMessageW(hTarget, WM_KEYUP, nVk, 0xC0000001);
    PumpMessages(0);
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
}

std::vector<std::wstring> ListRow(HWND hList, int nRow)
{
    std::vector<std::wstring> cells;
    for (int c = 0; c < 3; ++c)
    {
        wchar_t buf[128] = {};
        ListView_GetItemText(hList, nRow, c, buf, 127);
        cells.emplace_back(buf);
    }
    return cells;
}

// BeforeNavigate2 as the browser fires it: seven arguments in reverse order, the address and the
// other strings as variants by reference, the cancel flag by reference; the flag as it comes back.
bool FireBeforeNavigate(IDispatch* pEvents, const wchar_t* pszUrl)
{
    VARIANT url, flags, frame, postData, headers;
    for (VARIANT* v : {&url, &flags, &frame, &postData, &headers})
        ::VariantInit(v);
    url.vt = VT_BSTR;
    url.bstrVal = ::SysAllocString(pszUrl);
    flags.vt = VT_I4;
    frame.vt = VT_BSTR;
    frame.bstrVal = ::SysAllocString(L"");
    headers.vt = VT_BSTR;
    headers.bstrVal = ::SysAllocString(L"");
    VARIANT_BOOL bCancel = VARIANT_FALSE;
    VARIANT args[7];
    for (VARIANT& a : args)
        ::VariantInit(&a);
    args[6].vt = VT_DISPATCH; // the browser itself: not read by the dialer
    VARIANT* refs[] = {&url, &flags, &frame, &postData, &headers};
    for (int i = 0; i < 5; ++i)
    {
        args[5 - i].vt = VT_BYREF | VT_VARIANT;
        args[5 - i].pvarVal = refs[i];
    }
    args[0].vt = VT_BYREF | VT_BOOL;
    args[0].pboolVal = &bCancel;
    DISPPARAMS params{args, nullptr, 7, 0};
    pEvents->Invoke(DISPID_BEFORENAVIGATE2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    for (VARIANT* v : refs)
        ::VariantClear(v);
    return bCancel == VARIANT_TRUE;
}

void SaveDialerPicture(HWND hWnd, const char* pszName)
{
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(100);
    SaveWindowPicture(hWnd, QUILLON_SCREENSHOT_DIR, pszName);
}

class CallDialerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(LoadTestResources(), nullptr);
        host = std::make_unique<CTestNoticeHost>();
        room.info.wRoomIndex = 1;
        room.info.wRoomType = 1;
        ASSERT_TRUE(mainView.Create(nullptr));
        mainView.ShowWindow(SW_SHOW);
        CallDialerSetup setup;
        setup.pCall = &call;
        setup.pHost = host.get();
        setup.dwCallOptions = kUsePhoneCall | kUseHwCall;
        setup.szPageUrl = L"http://127.0.0.1/invite/invite_phone.asp";
        mainView.SetCallDialer(setup);
    }
    void TearDown() override { mainView.DestroyWindow(); }

    // Opens the dialer through the room window as the control bar's command does.
    HWND OpenDialer()
    {
        mainView.EnableCallTerminal(true);
        mainView.SendMessage(kMsgCallTerminal, 0);
        PumpMessages(0);
        return mainView.CallDialer() ? mainView.CallDialer()->m_hWnd : nullptr;
    }

    ComInit com;
    std::unique_ptr<CTestNoticeHost> host;
    CRoomState room;
    RecordedCallSender sender;
    RecordedNotices notices;
    CCallFeature call{room, sender, notices, nullptr};
    CRoomMainViewDlg mainView;
};
} // namespace

TEST_F(CallDialerTest, RoomWindowOpensOneDialerAndClosesIt)
{
    // Calls not allowed: nothing opens.
    mainView.SendMessage(kMsgCallTerminal, 0);
    EXPECT_EQ(nullptr, mainView.CallDialer());

    HWND hDialer = OpenDialer();
    ASSERT_NE(nullptr, hDialer);
    EXPECT_EQ(mainView.m_hWnd, ::GetWindow(hDialer, GW_OWNER));
    EXPECT_EQ(1, sender.nQueries) << "opening asks the server for the phone book";
    EXPECT_EQ(L"Call a phone or terminal", TextOf(::GetDlgItem(hDialer, IDC_CALL_TITLE)));
    mainView.SendMessage(kMsgCallTerminal, 0);
    EXPECT_EQ(hDialer, mainView.CallDialer()->m_hWnd) << "a second open shows the same dialer";

    // The close button asks the room window, which closes it; the pointer goes with it.
    ClickButton(hDialer, IDC_CALL_CLOSE);
    PumpMessages(50);
    EXPECT_FALSE(::IsWindow(hDialer));
    EXPECT_EQ(nullptr, mainView.CallDialer());
    EXPECT_FALSE(call.DialerOpen());

    // Calls disallowed while one is being placed: hung up, and the dialer closes.
    hDialer = OpenDialer();
    ASSERT_NE(nullptr, hDialer);
    call.SetNumber(u"0212345678");
    ClickButton(hDialer, IDC_CALL_VOICE);
    mainView.EnableCallTerminal(false);
    PumpMessages(50);
    EXPECT_EQ(1, sender.nHangUps);
    EXPECT_FALSE(::IsWindow(hDialer));
}

TEST_F(CallDialerTest, KeysDialAndHangUp)
{
    HWND hDialer = OpenDialer();
    ASSERT_NE(nullptr, hDialer);
    HWND hDisplay = ::GetDlgItem(hDialer, IDC_CALL_DISPLAY);
    SaveDialerPicture(hDialer, "dialer_keypad");

    // "02" by mouse, the rest by keyboard (top row and numeric pad), a stray letter ignored.
    ClickButton(hDialer, IDC_CALL_KEY_FIRST);
    ClickButton(hDialer, IDC_CALL_KEY_FIRST + 2);
    HWND hFocus = ::GetDlgItem(hDialer, IDC_CALL_KEY_FIRST + 5);
    for (UINT vk : {UINT('1'), UINT('2'), UINT('A'), UINT(VK_NUMPAD3), UINT(VK_NUMPAD4), UINT('5'), UINT('6'),
                    UINT('7'), UINT('8')})
        PressKey(hFocus, vk);
    EXPECT_EQ(L"02-1234-5678", TextOf(hDisplay));
    PressKey(hFocus, VK_BACK);
    EXPECT_EQ(L"02-123-4567", TextOf(hDisplay)) << "nine digits from 02";
    PressKey(hFocus, '8');

    ClickButton(hDialer, IDC_CALL_VOICE);
    ASSERT_EQ(1u, sender.calls.size());
    EXPECT_EQ(kCallTelephone | kCallVoice, sender.calls[0].dwFlags);
    EXPECT_EQ(u"0212345678", sender.calls[0].szNumber);
    EXPECT_TRUE(Shown(hDialer, IDC_CALL_HANGUP));
    EXPECT_FALSE(Shown(hDialer, IDC_CALL_VOICE));
    EXPECT_FALSE(Shown(hDialer, IDC_CALL_VIDEO));
    SaveDialerPicture(hDialer, "dialer_calling");

    // Escape hangs up while calling; then it is swallowed and the dialer stays.
    PressKey(hFocus, VK_ESCAPE);
    EXPECT_EQ(1, sender.nHangUps);
    EXPECT_TRUE(Shown(hDialer, IDC_CALL_VOICE));
    PressKey(hFocus, VK_ESCAPE);
    EXPECT_EQ(1, sender.nHangUps);
    EXPECT_TRUE(::IsWindow(hDialer));

    // A call that ends at the server returns the buttons; Shift+Backspace clears the number.
    ClickButton(hDialer, IDC_CALL_VIDEO);
    ASSERT_EQ(2u, sender.calls.size());
    EXPECT_EQ(kCallTelephone, sender.calls[1].dwFlags);
    call.OnCallEnded(INFO_CALL_END, QNPacketDesc{});
    EXPECT_TRUE(Shown(hDialer, IDC_CALL_VOICE));
    PressKey(hFocus, VK_BACK, true);
    EXPECT_EQ(L"", TextOf(hDisplay));
}

TEST_F(CallDialerTest, PhoneBookTabEntryFormAndList)
{
    room.szPrivateData = u"Office = 0;02-1234-5678\n";
    HWND hDialer = OpenDialer();
    ASSERT_NE(nullptr, hDialer);
    HWND hList = ::GetDlgItem(hDialer, IDC_CALL_LIST);
    EXPECT_FALSE(::IsWindowVisible(hList));

    ClickButton(hDialer, IDC_CALL_TAB_BOOK);
    EXPECT_TRUE(::IsWindowVisible(hList));
    EXPECT_FALSE(Shown(hDialer, IDC_CALL_KEY_FIRST));
    CPhoneAddDlg* pForm = mainView.CallDialer()->EntryForm();
    ASSERT_NE(nullptr, pForm);
    RECT rForm;
    ::GetWindowRect(*pForm, &rForm);
    ::MapWindowPoints(nullptr, hDialer, reinterpret_cast<POINT*>(&rForm), 2);
    EXPECT_EQ((std::vector<LONG>{9, 305, 250, 335}),
              (std::vector<LONG>{rForm.left, rForm.top, rForm.right, rForm.bottom}));
    RECT rAdd;
    ::GetWindowRect(::GetDlgItem(*pForm, IDC_PHONEADD_ADD), &rAdd);
    ::MapWindowPoints(nullptr, *pForm, reinterpret_cast<POINT*>(&rAdd), 2);
    EXPECT_TRUE(Shown(*pForm, IDC_PHONEADD_ADD));
    EXPECT_EQ((std::vector<LONG>{215, 3, 239, 25}),
              (std::vector<LONG>{rAdd.left, rAdd.top, rAdd.right, rAdd.bottom}));
    ASSERT_EQ(1, ListView_GetItemCount(hList));
    EXPECT_EQ((std::vector<std::wstring>{L"0", L"Office", L"02-1234-5678"}), ListRow(hList, 0));

    // Enter in the number field adds the entry; a letter in the number is refused with a box;
    // Escape leaves the form open.
    HWND hName = ::GetDlgItem(*pForm, IDC_PHONEADD_NAME);
    HWND hNumber = ::GetDlgItem(*pForm, IDC_PHONEADD_NUMBER);
    ::SetWindowTextW(hName, L"Hall");
    ::SetWindowTextW(hNumber, L"031-555-0100");
    SaveDialerPicture(hDialer, "dialer_entry_form");
    PressKey(hNumber, VK_RETURN);
    ASSERT_EQ(2, ListView_GetItemCount(hList));
    EXPECT_EQ((std::vector<std::wstring>{L"0", L"Hall", L"031-555-0100"}), ListRow(hList, 1));
    EXPECT_EQ(L"", TextOf(hName));
    EXPECT_EQ(L"", TextOf(hNumber));
    ::SetWindowTextW(hName, L"Desk");
    ::SetWindowTextW(hNumber, L"12x");
    ClickButton(*pForm, IDC_PHONEADD_ADD);
    EXPECT_EQ(std::vector<std::u16string>({u"[x] <IDS_CONF_NONCHARACTER>"}), notices.boxes);
    EXPECT_EQ(2, ListView_GetItemCount(hList));
    PressKey(hName, VK_ESCAPE);
    EXPECT_EQ(pForm, mainView.CallDialer()->EntryForm());
    SaveDialerPicture(hDialer, "dialer_phone_book");

    // A click on a row's number makes it the number to dial, without its dashes.
    RECT rCell{};
    ListView_GetSubItemRect(hList, 1, 2, LVIR_BOUNDS, &rCell);
    const LPARAM at = MAKELPARAM(rCell.left + 5, (rCell.top + rCell.bottom) / 2);
    ::SendMessageW(hList, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(hList, WM_LBUTTONUP, 0, at);
    PumpMessages(0);
    EXPECT_EQ(u"0315550100", call.Number());

    // The keypad tab takes the form away; the web tab and back leave the list hidden.
    ClickButton(hDialer, IDC_CALL_TAB_PAD);
    EXPECT_EQ(nullptr, mainView.CallDialer()->EntryForm());
    EXPECT_FALSE(::IsWindowVisible(hList));
    EXPECT_TRUE(Shown(hDialer, IDC_CALL_KEY_FIRST));

    // Closing stores the changed book once.
    mainView.SendMessage(kMsgCallTerminal, 1);
    PumpMessages(0);
    EXPECT_EQ(std::vector<std::u16string>({u"Office = 0;02-1234-5678\nHall = 0;031-555-0100\n"}),
              sender.stored);
}

TEST_F(CallDialerTest, WebTabLinksGiveNumbersAndOtherPagesAreCancelled)
{
    HWND hDialer = OpenDialer();
    ASSERT_NE(nullptr, hDialer);
    ClickButton(hDialer, IDC_CALL_TAB_WEB);
    CCallToHTerminal* pDialer = mainView.CallDialer();
    ASSERT_EQ(CCallToHTerminal::TAB_WEB, pDialer->CurrentTab());
    EXPECT_FALSE(Shown(hDialer, IDC_CALL_KEY_FIRST));
    IDispatch* pEvents = pDialer->WebPageEvents();
    ASSERT_NE(nullptr, pEvents) << "the web tab's browser was not made";
    SaveDialerPicture(hDialer, "dialer_web");

    struct
    {
        const wchar_t* pszUrl;
        bool bCancel;
        const char16_t* pszNumber; // the dialer's number afterwards
        const wchar_t* pszDisplay;
    } cases[] = {
        {L"http://127.0.0.1/invite/invite_phone.asp?page=2", false, u"", L""},
        {L"http://phone_0212345678/", true, u"0212345678", L"02-1234-5678"},
        {L"http://elsewhere.example/", true, u"0212345678", L"02-1234-5678"}, // the number stays
        {L"HTTP://Phone_host.example", true, u"host.example", L"host.example"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.bCancel, FireBeforeNavigate(pEvents, c.pszUrl)) << c.pszUrl;
        EXPECT_EQ(c.pszNumber, call.Number()) << c.pszUrl;
        EXPECT_EQ(c.pszDisplay, TextOf(::GetDlgItem(hDialer, IDC_CALL_DISPLAY))) << c.pszUrl;
    }
    // A link's number is dialled like a typed one.
    ClickButton(hDialer, IDC_CALL_VOICE);
    ASSERT_EQ(1u, sender.calls.size());
    EXPECT_EQ(u"host.example", sender.calls[0].szNumber);
}

TEST_F(CallDialerTest, PhoneBookColumnWidthsAreKept)
{
    const std::wstring szKey = L"Software\\QuillonTests\\Dialer";
    ::RegDeleteTreeW(HKEY_CURRENT_USER, szKey.c_str());
    CallDialerSetup setup;
    setup.pCall = &call;
    setup.pHost = host.get();
    setup.szSettingsKey = szKey;
    mainView.SetCallDialer(setup);
    HWND hDialer = OpenDialer();
    ASSERT_NE(nullptr, hDialer);
    HWND hList = ::GetDlgItem(hDialer, IDC_CALL_LIST);
    EXPECT_EQ(90, ListView_GetColumnWidth(hList, 1));
    ListView_SetColumnWidth(hList, 1, 120);
    mainView.SendMessage(kMsgCallTerminal, 1);
    PumpMessages(0);

    hDialer = OpenDialer();
    ASSERT_NE(nullptr, hDialer);
    EXPECT_EQ(120, ListView_GetColumnWidth(::GetDlgItem(hDialer, IDC_CALL_LIST), 1));
    EXPECT_EQ(40, ListView_GetColumnWidth(::GetDlgItem(hDialer, IDC_CALL_LIST), 0));
    mainView.SendMessage(kMsgCallTerminal, 1);
    PumpMessages(0);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, szKey.c_str());
}
