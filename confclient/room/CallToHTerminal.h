// CCallToHTerminal: the room's dialer. A skinned pop-up owned by the room window with a number
// pad, the phone book kept on the server and the server's page of callable numbers; it shows what
// the calls feature decides and hands it the user's keys, clicks and entries. Created with new; the
// object deletes itself when its window goes, after telling its owner.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "confclient/notices/NoticeHost.h"
#include "confclient/notices/SkinPictures.h"
#include "confclient/people/CallFeature.h"
#include "confclient/toolkit/controls/BitmapCheckButton.h"
#include "confclient/toolkit/controls/HBitmapButton.h"
#include "confclient/toolkit/controls/LMPictureEx.h"
#include "confclient/toolkit/controls/LMStatic.h"
#include "confclient/toolkit/controls/LMToolTipCtrl.h"
#include "winui/Dialog.h"

#include <oaidl.h>

class CPhoneAddDlg;
class CWebBrowser2;
class CEventSink;

// The room window's message that opens (wParam 0) or closes (1) the dialer.
constexpr UINT kMsgCallTerminal = 0xFD3;

// What the dialer is given by the room window that opens it.
struct CallDialerSetup
{
    CCallFeature* pCall = nullptr;
    INoticeHost* pHost = nullptr;
    // The system's call options (bit 16 telephones, bit 17 terminals).
    uint32_t dwCallOptions = 0;
    // The server's page of callable numbers.
    std::wstring szPageUrl;
    // The session's centre option: with several monitors the dialer opens in the middle of the
    // room window's monitor instead of over the room window.
    bool bCentreOnScreen = false;
    // The registry key under the current user where the phone book's column widths are kept;
    // empty: not kept.
    std::wstring szSettingsKey;
    // Runs once the window is gone, before the object is deleted.
    std::function<void()> onGone;
};

class CCallToHTerminal : public CDialog, public ICallView
{
public:
    // The dialer's tabs.
    enum Tab
    {
        TAB_PAD,
        TAB_BOOK,
        TAB_WEB,
    };

    explicit CCallToHTerminal(CallDialerSetup setup);
    ~CCallToHTerminal() override;
    // Makes and shows the dialer owned by pOwner; null (and nothing left behind) when it fails.
    static CCallToHTerminal* Open(CallDialerSetup setup, CWnd* pOwner);

    // ICallView.
    void ShowNumber(const std::u16string& szDisplay) override;
    void ShowCallState(int nState) override;
    void ShowPhoneBook(const std::vector<PhoneBookEntry>& rows) override;

    // The entry form's entry ("0", "1" or "2" as the kind); true when it joined the book.
    bool AddPhoneEntry(const std::wstring& szKind, const std::wstring& szName, const std::wstring& szNumber);
    // The entry form went: the list takes its full height again.
    void OnEntryFormGone();
    // Hangs up the call being placed (the room window, when calls are no longer allowed).
    void HangUp();
    INoticeHost& Host() const { return *m_setup.pHost; }
    uint32_t CallOptions() const { return m_setup.dwCallOptions; }
    Tab CurrentTab() const { return m_nTab; }
    CPhoneAddDlg* EntryForm() const { return m_pEntryForm; }
    // Where the web page's browser delivers its events (DWebBrowserEvents2); null before the web
    // tab was first shown or when the browser could not be made.
    IDispatch* WebPageEvents() const;

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnEraseBkgnd(HDC hDC) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDestroy() override;
    void PostNcDestroy() override;

private:
    void LayOut();
    void PlaceWindow();
    void LoadButtons();
    void AddTips();
    void SetUpList();
    void SaveColumns();
    void PressTab(Tab tab);
    void ToggleEntryForm();
    void DestroyEntryForm();
    void OnNumberKey(int nId);
    // A keyboard key while the web page does not have the focus; true when the dialer took it.
    bool OnDialKey(const MSG& msg);
    void OnHangUpButton();
    void OnClose();
    void OnListClick(const NMITEMACTIVATE& item);
    void OnListMenu();
    void ShowWebPage();
    void OnBeforeNavigate(const std::wstring& szUrl, VARIANT* pCancel);
    std::wstring KindText(uint16_t wKind) const;

    CallDialerSetup m_setup;
    CTitleBand m_title;
    CLMPictureEx m_back;
    bool m_bBackLoaded = false;
    CLMStatic m_caption;
    CLMStatic m_display;
    std::array<CHBitmapButton, 12> m_keys;
    CHBitmapButton m_voice, m_video, m_hangUp, m_close, m_backspace, m_addNumber;
    CBitmapCheckButton m_tabPad, m_tabBook, m_tabWeb;
    CLMToolTipCtrl m_tips;
    HWND m_hList = nullptr;
    HIMAGELIST m_hKinds = nullptr;
    std::vector<std::wstring> m_rowTips;
    std::unique_ptr<CWebBrowser2> m_pWeb;
    CEventSink* m_pWebEvents = nullptr;
    bool m_bWebFocus = false;
    Tab m_nTab = TAB_PAD;
    CPhoneAddDlg* m_pEntryForm = nullptr;
};
