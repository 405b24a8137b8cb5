// CCallToHTerminal: layout and skin, the tabs and the entry form, keys and clicks handed to the
// calls feature, the phone-book list and its menu, the web page's links, and closing.
#include "confclient/room/CallToHTerminal.h"

#include <commctrl.h>
#include <exdisp.h>
#include <exdispid.h>

#include "ResourceIds.h"
#include "comkit/EventSink.h"
#include "confclient/network/registry/Registry.h"
#include "confclient/room/PhoneAddDlg.h"
#include "confclient/toolkit/browser/WebBrowser2.h"
#include "winui/Gdi.h"
#include "winui/WideText.h"
#include "winui/WinApp.h"

namespace
{
// The dialer's size: the background picture below the title band.
constexpr int kDialerWidth = 258;
constexpr int kBackHeight = 346;
constexpr int kKeyWidth = 76, kKeyHeight = 40, kKeyStepX = 82, kKeyStepY = 46;
// Where the list, the web page and the entry form go.
constexpr RECT kListFull{9, 116, 9 + 241, 116 + 219};
constexpr RECT kListAboveForm{9, 116, 9 + 241, 116 + 186};
constexpr RECT kWebPage{9, 116, 9 + 240, 116 + 210};
constexpr RECT kEntryForm{9, 305, 9 + 241, 305 + 30};
// The phone book's columns: their saved widths' value names and their widths until saved.
constexpr const wchar_t* kColumnValues[3] = {L"PhoneBookColumn0", L"PhoneBookColumn1", L"PhoneBookColumn2"};
constexpr int kColumnWidths[3] = {40, 90, 105};

// The keys in their places, row by row: 1 2 3 / 4 5 6 / 7 8 9 / * 0 #.
constexpr int kKeyAt[12] = {IDC_CALL_KEY_FIRST + 1, IDC_CALL_KEY_FIRST + 2, IDC_CALL_KEY_FIRST + 3,
                            IDC_CALL_KEY_FIRST + 4, IDC_CALL_KEY_FIRST + 5, IDC_CALL_KEY_FIRST + 6,
                            IDC_CALL_KEY_FIRST + 7, IDC_CALL_KEY_FIRST + 8, IDC_CALL_KEY_FIRST + 9,
                            kDialKeyStar,           IDC_CALL_KEY_FIRST,     kDialKeyHash};
static_assert(IDC_CALL_KEY_FIRST == kDialKeyFirst && IDC_CALL_KEY_LAST == kDialKeyHash,
              "the dialer's key ids are the feature's");

void Place(HWND h, const RECT& r)
{
    ::MoveWindow(h, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void ShowItem(HWND h, bool bShow)
{
    ::ShowWindow(h, bShow ? SW_SHOWNA : SW_HIDE);
}
} // namespace

CCallToHTerminal::CCallToHTerminal(CallDialerSetup setup)
    : CDialog(IDD_CALLTOHTERMINAL, nullptr), m_setup(std::move(setup))
{
}

CCallToHTerminal::~CCallToHTerminal()
{
    if (m_pWebEvents) m_pWebEvents->Release();
}

CCallToHTerminal* CCallToHTerminal::Open(CallDialerSetup setup, CWnd* pOwner)
{
    auto* pDialer = new CCallToHTerminal(std::move(setup));
    if (pDialer->Create(IDD_CALLTOHTERMINAL, pOwner) && pDialer->m_hWnd) return pDialer;
    if (!pDialer->m_hWnd) delete pDialer;
    return nullptr;
}

BOOL CCallToHTerminal::OnInitDialog()
{
    INoticeHost& host = Host();
    if (!m_title.Load(host))
        LogF(host.NoticeLog(), LOG_ERROR, "[CALL] the dialer's title pictures are missing");
    m_bBackLoaded = LoadNoticePicture(host, m_back, L"back_HTerminal.gif", IDR_BACK_HTERMINAL);
    if (!m_bBackLoaded) LogF(host.NoticeLog(), LOG_ERROR, "[CALL] the dialer's background is missing");

    m_caption.SubclassDlgItem(IDC_CALL_TITLE, this);
    m_display.SubclassDlgItem(IDC_CALL_DISPLAY, this);
    const std::wstring szFace = host.NoticeText("IDS_DEFAULT_FONT");
    m_caption.SetTextFont(NoticeFontHeight(host.NoticeText("IDS_MAM_FONTSIZE")), szFace.c_str(), FW_SEMIBOLD);
    m_caption.SetTextColor(RGB(86, 96, 124));
    m_caption.SetBkMode(TRANSPARENT);
    const bool bPhones = (m_setup.dwCallOptions & kUsePhoneCall) != 0;
    const bool bTerminals = (m_setup.dwCallOptions & kUseHwCall) != 0;
    const char* pszTitle = bPhones && bTerminals ? "IDMS_CALLTOPHONE"
                           : bPhones             ? "IDMS_CALLTO_PHONE"
                           : bTerminals          ? "IDMS_CALLTO_HW"
                                                 : nullptr;
    const std::wstring szTitle = pszTitle ? host.NoticeText(pszTitle) : std::wstring();
    m_caption.SetText(szTitle.c_str());
    SetWindowText(szTitle.c_str());
    m_display.SetTextFont(22, szFace.c_str(), FW_BOLD);
    m_display.SetColors(RGB(31, 58, 95), RGB(255, 255, 255), OPAQUE);

    LoadButtons();
    SetUpList();
    LayOut();
    AddTips();

    m_nTab = TAB_PAD;
    m_tabPad.SetCheck(1);
    m_setup.pCall->OpenDialer(*this);

    // The background picture and the title band make the window's size; it opens over the room.
    const int nTitle = m_title.Height() > 0 ? m_title.Height() : 34;
    const int nBack = m_bBackLoaded ? m_back.m_nHeight : kBackHeight;
    const int nWidth = m_bBackLoaded ? m_back.m_nWidth : kDialerWidth;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, nWidth, nTitle + nBack, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    PlaceWindow();
    ShowWindow(SW_SHOW);
    return TRUE;
}

void CCallToHTerminal::PlaceWindow()
{
    HWND hRoom = ::GetWindow(m_hWnd, GW_OWNER);
    const bool bRoomShown = hRoom && ::IsWindowVisible(hRoom) && !::IsIconic(hRoom);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    ::GetMonitorInfoW(::MonitorFromWindow(bRoomShown ? hRoom : m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
    RECT box{}, room{};
    ::GetWindowRect(m_hWnd, &box);
    if (bRoomShown) ::GetWindowRect(hRoom, &room);
    const bool bOnScreen = !bRoomShown || (m_setup.bCentreOnScreen && ::GetSystemMetrics(SM_CMONITORS) > 1);
    const DialerArea placed = DialerPlacement(
        box.right - box.left, box.bottom - box.top, {room.left, room.top, room.right, room.bottom},
        {mi.rcWork.left, mi.rcWork.top, mi.rcWork.right, mi.rcWork.bottom}, bOnScreen);
    ::SetWindowPos(m_hWnd, nullptr, placed.left, placed.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CCallToHTerminal::LoadButtons()
{
    for (int i = 0; i < 12; ++i)
    {
        const int nId = IDC_CALL_KEY_FIRST + i;
        const WORD wBitmap = static_cast<WORD>(IDB_DIAL_KEY_FIRST + 3 * i);
        m_keys[i].SubclassDlgItem(nId, this);
        m_keys[i].LoadBitmapsAndSize(wBitmap, wBitmap + 1, wBitmap + 2, wBitmap);
    }
    struct
    {
        CHBitmapButton& button;
        int nId;
        WORD wBitmap;
    } buttons[] = {
        {m_voice, IDC_CALL_VOICE, IDB_DIAL_VOICE},       {m_video, IDC_CALL_VIDEO, IDB_DIAL_VIDEO},
        {m_hangUp, IDC_CALL_HANGUP, IDB_DIAL_HANGUP},    {m_backspace, IDC_CALL_BACKSPACE, IDB_DIAL_BACK},
        {m_addNumber, IDC_CALL_ADDNUMBER, IDB_DIAL_ADD}, {m_close, IDC_CALL_CLOSE, IDB_CLOSE_N},
    };
    for (auto& b : buttons)
    {
        b.button.SubclassDlgItem(b.nId, this);
        if (b.nId == IDC_CALL_CLOSE)
            b.button.LoadBitmapsAndSize(IDB_CLOSE_N, IDB_CLOSE_P, IDB_CLOSE_F, IDB_CLOSE_N);
        else
            b.button.LoadBitmapsAndSize(b.wBitmap, b.wBitmap + 1, b.wBitmap + 2, b.wBitmap);
    }
    struct
    {
        CBitmapCheckButton& tab;
        int nId;
        UINT nBitmap;
    } tabs[] = {{m_tabPad, IDC_CALL_TAB_PAD, IDB_TAB_PAD},
                {m_tabBook, IDC_CALL_TAB_BOOK, IDB_TAB_BOOK},
                {m_tabWeb, IDC_CALL_TAB_WEB, IDB_TAB_WEB}};
    for (auto& t : tabs)
    {
        t.tab.SubclassDlgItem(t.nId, this);
        t.tab.LoadBitmaps(t.nBitmap, t.nBitmap + 1, t.nBitmap + 2, 0);
        // The dialer keeps exactly one tab checked itself.
        t.tab.m_bAutoToggle = FALSE;
        t.tab.SetHandCursor(TRUE);
    }
}

void CCallToHTerminal::LayOut()
{
    const int nTitle = m_title.Height() > 0 ? m_title.Height() : 34;
    const int nWidth = m_bBackLoaded ? m_back.m_nWidth : kDialerWidth;
    ::MoveWindow(m_caption, 10, 10, nWidth - 50, 16, FALSE);
    ::MoveWindow(m_close, nWidth - 26, 9, m_close.m_nWidth, m_close.m_nHeight, FALSE);
    ::MoveWindow(m_display, 9, nTitle + 10, 166, 28, FALSE);
    ::MoveWindow(m_addNumber, 181, nTitle + 11, m_addNumber.m_nWidth, m_addNumber.m_nHeight, FALSE);
    ::MoveWindow(m_backspace, 215, nTitle + 11, m_backspace.m_nWidth, m_backspace.m_nHeight, FALSE);
    CBitmapCheckButton* tabs[] = {&m_tabPad, &m_tabBook, &m_tabWeb};
    for (int i = 0; i < 3; ++i)
        ::MoveWindow(*tabs[i], 9 + 80 * i, 80, 80, 28, FALSE);
    for (int p = 0; p < 12; ++p)
        ::MoveWindow(m_keys[kKeyAt[p] - IDC_CALL_KEY_FIRST], 9 + (p % 3) * kKeyStepX,
                     116 + (p / 3) * kKeyStepY, kKeyWidth, kKeyHeight, FALSE);
    Place(m_hList, kListFull);
    ::MoveWindow(m_voice, 9, 342, m_voice.m_nWidth, m_voice.m_nHeight, FALSE);
    ::MoveWindow(m_video, 91, 342, m_video.m_nWidth, m_video.m_nHeight, FALSE);
    ::MoveWindow(m_hangUp, 173, 342, m_hangUp.m_nWidth, m_hangUp.m_nHeight, FALSE);
}

void CCallToHTerminal::AddTips()
{
    if (!m_tips.Create(this)) return;
    INoticeHost& host = Host();
    struct
    {
        CWnd& button;
        const char* pszKey;
    } tips[] = {{m_addNumber, "IDS_MENU_ADDNUMBER"}, {m_hangUp, "IDS_MSG_HANGUP"},
                {m_close, "IDCT_BTN_ROOMCLOSE"},     {m_backspace, "IDS_MSG_BACKSPACE"},
                {m_voice, "IDS_MENU_VOICECALL"},     {m_video, "IDS_MENU_VIDEOCALL"}};
    for (auto& t : tips)
        m_tips.AddTool(&t.button, host.NoticeText(t.pszKey).c_str());
}

void CCallToHTerminal::SetUpList()
{
    m_hList = GetDlgItem(IDC_CALL_LIST);
    ListView_SetExtendedListViewStyle(m_hList, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    m_hKinds = ImageList_LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_PHONE_KINDS), 16, 0,
                                    RGB(255, 255, 255), IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (m_hKinds) ListView_SetImageList(m_hList, m_hKinds, LVSIL_SMALL);
    const char* headers[] = {"IDS_COMMON_KIND", "IDS_COMMON_NAME", "IDS_COMMON_NUMBER"};
    for (int i = 0; i < 3; ++i)
    {
        std::wstring szHeader = Host().NoticeText(headers[i]);
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.pszText = szHeader.data();
        // A saved width the list could not show is not taken.
        DWORD dwWidth = kColumnWidths[i];
        if (!m_setup.szSettingsKey.empty())
            dwWidth =
                RegReadDword(HKEY_CURRENT_USER, m_setup.szSettingsKey.c_str(), kColumnValues[i], dwWidth);
        col.cx = dwWidth <= 1000 ? static_cast<int>(dwWidth) : kColumnWidths[i];
        col.iSubItem = i;
        ListView_InsertColumn(m_hList, i, &col);
    }
}

std::wstring CCallToHTerminal::KindText(uint16_t wKind) const
{
    static const char* const kKeys[] = {"IDS_MENU_VOICECALL", "IDS_MENU_VIDEOCALL", "IDS_MENU_HWCALL"};
    return wKind < 3 ? Host().NoticeText(kKeys[wKind]) : std::wstring();
}

void CCallToHTerminal::ShowNumber(const std::u16string& szDisplay)
{
    m_display.SetText(WideOf(szDisplay).c_str());
}

void CCallToHTerminal::ShowCallState(int nState)
{
    // The hang-up button stays: while idle it sends a member who joined by a call out.
    ShowItem(m_voice, nState == 0);
    ShowItem(m_video, nState == 0);
}

void CCallToHTerminal::ShowPhoneBook(const std::vector<PhoneBookEntry>& rows)
{
    ListView_DeleteAllItems(m_hList);
    m_rowTips.clear();
    for (const PhoneBookEntry& row : rows)
    {
        const int nRow = static_cast<int>(m_rowTips.size());
        std::wstring szKind = std::to_wstring(row.wKind);
        std::wstring szName = WideOf(row.szName);
        std::wstring szNumber = WideOf(row.szNumber);
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = nRow;
        item.iImage = row.wKind;
        item.pszText = szKind.data();
        ListView_InsertItem(m_hList, &item);
        ListView_SetItemText(m_hList, nRow, 1, szName.data());
        ListView_SetItemText(m_hList, nRow, 2, szNumber.data());
        m_rowTips.push_back(KindText(row.wKind) + L" / " + szName + L" / " + szNumber);
    }
}

bool CCallToHTerminal::AddPhoneEntry(const std::wstring& szKind, const std::wstring& szName,
                                     const std::wstring& szNumber)
{
    return m_setup.pCall->AddPhoneEntry(U16Of(szKind), U16Of(szName), U16Of(szNumber)) ==
           PhoneEntryResult::Added;
}

void CCallToHTerminal::OnEntryFormGone()
{
    m_pEntryForm = nullptr;
    if (m_hList) Place(m_hList, kListFull);
}

void CCallToHTerminal::HangUp()
{
    if (m_setup.pCall->IsCalling()) m_setup.pCall->HangUp();
}

BOOL CCallToHTerminal::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int nId = LOWORD(wParam);
    const int nCode = HIWORD(wParam);
    if (nId >= IDC_CALL_KEY_FIRST && nId <= IDC_CALL_KEY_LAST)
    {
        if (nCode == BN_CLICKED || nCode == BN_DOUBLECLICKED) OnNumberKey(nId);
        return TRUE;
    }
    switch (nId)
    {
    case IDC_CALL_BACKSPACE:
        if (nCode == BN_DOUBLECLICKED)
            m_setup.pCall->ClearNumber();
        else if (nCode == BN_CLICKED)
            m_setup.pCall->Backspace();
        return TRUE;
    case IDC_CALL_VOICE:
        m_setup.pCall->Dial(true);
        return TRUE;
    case IDC_CALL_VIDEO:
        m_setup.pCall->Dial(false);
        return TRUE;
    case IDC_CALL_HANGUP:
        OnHangUpButton();
        return TRUE;
    case IDC_CALL_CLOSE:
        OnClose();
        return TRUE;
    case IDC_CALL_TAB_PAD:
        PressTab(TAB_PAD);
        return TRUE;
    case IDC_CALL_TAB_BOOK:
        PressTab(TAB_BOOK);
        return TRUE;
    case IDC_CALL_TAB_WEB:
        PressTab(TAB_WEB);
        return TRUE;
    case IDC_CALL_ADDNUMBER:
        if (m_nTab != TAB_BOOK)
            PressTab(TAB_BOOK);
        else
            ToggleEntryForm();
        return TRUE;
    case IDOK:
    case IDCANCEL:
        return TRUE; // Enter and Escape never close the dialer
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

void CCallToHTerminal::OnNumberKey(int nId)
{
    m_setup.pCall->PressKey(nId, ::GetKeyState(VK_SHIFT) < 0);
}

void CCallToHTerminal::OnHangUpButton()
{
    m_setup.pCall->HangUpButton();
}

void CCallToHTerminal::OnClose()
{
    if (m_setup.pCall->IsCalling()) m_setup.pCall->HangUp();
    if (HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER))
        ::PostMessageW(hOwner, kMsgCallTerminal, 1, 0);
    else
        DestroyWindow();
}

void CCallToHTerminal::PressTab(Tab tab)
{
    if (tab == m_nTab) return;
    m_nTab = tab;
    m_tabPad.SetCheck(tab == TAB_PAD);
    m_tabBook.SetCheck(tab == TAB_BOOK);
    m_tabWeb.SetCheck(tab == TAB_WEB);
    for (CHBitmapButton& key : m_keys)
        ShowItem(key, tab == TAB_PAD);
    ShowItem(m_hList, tab == TAB_BOOK);
    if (tab != TAB_WEB && m_pWeb) m_pWeb->MoveWindow(RECT{0, 0, 0, 0});
    switch (tab)
    {
    case TAB_PAD:
        DestroyEntryForm();
        break;
    case TAB_WEB:
        DestroyEntryForm();
        ShowWebPage();
        break;
    case TAB_BOOK:
        ToggleEntryForm();
        break;
    }
}

void CCallToHTerminal::ToggleEntryForm()
{
    if (m_pEntryForm)
    {
        DestroyEntryForm();
        return;
    }
    auto* pForm = new CPhoneAddDlg(*this);
    if (!pForm->Create(IDD_PHONEADD, this) || !pForm->m_hWnd)
    {
        if (!pForm->m_hWnd) delete pForm;
        LogF(Host().NoticeLog(), LOG_ERROR, "[CALL] the entry form could not be made");
        return;
    }
    m_pEntryForm = pForm;
    Place(*pForm, kEntryForm);
    Place(m_hList, kListAboveForm);
    pForm->SetNumber(WideOf(m_setup.pCall->DisplayNumber()));
}

void CCallToHTerminal::DestroyEntryForm()
{
    // The form's destruction tells this window (OnEntryFormGone).
    if (m_pEntryForm) m_pEntryForm->DestroyWindow();
}

void CCallToHTerminal::ShowWebPage()
{
    if (!m_pWeb)
    {
        m_pWeb = std::make_unique<CWebBrowser2>();
        if (!m_pWeb->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 0, 0}, m_hWnd, IDC_CALL_WEB))
        {
            LogF(Host().NoticeLog(), LOG_ERROR, "[CALL] the web page control could not be made");
            m_pWeb.reset();
            return;
        }
        m_pWebEvents = new CEventSink(DIID_DWebBrowserEvents2);
        m_pWebEvents->On(DISPID_BEFORENAVIGATE2,
                         [this](const EventArgs& args)
                         {
                             const VARIANT& cancel = args.Raw(6);
                             OnBeforeNavigate(args.Str(1), cancel.vt == (VT_BYREF | VT_BOOL)
                                                               ? const_cast<VARIANT*>(&cancel)
                                                               : nullptr);
                         });
        if (!m_pWeb->AdviseEvents(m_pWebEvents))
            LogF(Host().NoticeLog(), LOG_ERROR, "[CALL] the web page's links are not followed");
    }
    m_pWeb->Navigate(m_setup.szPageUrl.c_str(), nullptr, nullptr, nullptr, nullptr);
    m_pWeb->MoveWindow(kWebPage);
}

IDispatch* CCallToHTerminal::WebPageEvents() const
{
    return m_pWebEvents;
}

void CCallToHTerminal::OnBeforeNavigate(const std::wstring& szUrl, VARIANT* pCancel)
{
    const LinkAction action = NavigationOf(U16Of(szUrl), U16Of(m_setup.szPageUrl));
    if (action.bCancel && pCancel) *pCancel->pboolVal = VARIANT_TRUE;
    if (action.number) m_setup.pCall->SetNumber(*action.number);
}

BOOL CCallToHTerminal::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
    if (!pHdr || pHdr->idFrom != IDC_CALL_LIST) return CDialog::OnNotify(wParam, lParam, pResult);
    switch (pHdr->code)
    {
    case NM_CLICK:
        OnListClick(*reinterpret_cast<const NMITEMACTIVATE*>(lParam));
        break;
    case NM_RCLICK:
        OnListMenu();
        break;
    case LVN_GETINFOTIPW:
    {
        auto* pTip = reinterpret_cast<NMLVGETINFOTIPW*>(lParam);
        if (pTip->iItem >= 0 && static_cast<size_t>(pTip->iItem) < m_rowTips.size() && pTip->cchTextMax > 0)
            lstrcpynW(pTip->pszText, m_rowTips[pTip->iItem].c_str(), pTip->cchTextMax);
        break;
    }
    default:
        return CDialog::OnNotify(wParam, lParam, pResult);
    }
    *pResult = 0;
    return TRUE;
}

void CCallToHTerminal::OnListClick(const NMITEMACTIVATE& item)
{
    // A click on a row's name or number makes its number the one to dial.
    if (item.iItem < 0 || (item.iSubItem != 1 && item.iSubItem != 2)) return;
    const std::vector<PhoneBookEntry>& rows = m_setup.pCall->PhoneBook();
    if (static_cast<size_t>(item.iItem) < rows.size()) m_setup.pCall->SetNumber(rows[item.iItem].szNumber);
}

void CCallToHTerminal::OnListMenu()
{
    const int nSelected = ListView_GetNextItem(m_hList, -1, LVNI_SELECTED);
    HMENU hMenu = ::CreatePopupMenu();
    if (!hMenu) return;
    ::AppendMenuW(hMenu, MF_STRING, ID_PHONEBOOK_ADD, Host().NoticeText("IDS_COMMON_ADD").c_str());
    ::AppendMenuW(hMenu, MF_STRING | (nSelected < 0 ? MF_GRAYED : 0), ID_PHONEBOOK_DELETE,
                  Host().NoticeText("IDS_BOARD_AGENDA_DELETE").c_str());
    POINT pt;
    ::GetCursorPos(&pt);
    const UINT nCommand =
        ::TrackPopupMenu(hMenu, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
    ::DestroyMenu(hMenu);
    if (nCommand == ID_PHONEBOOK_ADD)
        ToggleEntryForm();
    else if (nCommand == ID_PHONEBOOK_DELETE && nSelected >= 0)
        m_setup.pCall->DeletePhoneEntry(static_cast<size_t>(nSelected));
}

bool CCallToHTerminal::OnDialKey(const MSG& msg)
{
    const DialKeyAction action = DialKeyOf(static_cast<unsigned>(msg.wParam), ::GetKeyState(VK_SHIFT) < 0,
                                           ::GetKeyState(VK_CONTROL) < 0);
    CCallFeature& call = *m_setup.pCall;
    switch (action.input)
    {
    case DialInput::None:
        return false;
    case DialInput::Key:
        call.PressKey(action.nKeyId, ::GetKeyState(VK_SHIFT) < 0);
        return true;
    case DialInput::Separator:
        call.TypeSeparator(action.chChar);
        return true;
    case DialInput::Backspace:
        call.Backspace();
        return true;
    case DialInput::ClearNumber:
    case DialInput::Delete:
        call.ClearNumber();
        return true;
    case DialInput::Escape:
        if (call.IsCalling()) OnHangUpButton();
        return true;
    case DialInput::Swallow:
        return true;
    }
    return false;
}

BOOL CCallToHTerminal::PreTranslateMessage(MSG* pMsg)
{
    if (!m_hWnd || (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)))
        return CDialog::PreTranslateMessage(pMsg);
    if (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST)
    {
        if (m_tips.m_hWnd) m_tips.RelayEvent(pMsg);
        if (pMsg->message == WM_LBUTTONDOWN)
        {
            HWND hWeb = m_pWeb ? m_pWeb->GetSafeHwnd() : nullptr;
            m_bWebFocus = hWeb && (pMsg->hwnd == hWeb || ::IsChild(hWeb, pMsg->hwnd));
        }
    }
    // Keys typed into the entry form are the form's; the web page keeps its own while it has the focus.
    const bool bInForm =
        m_pEntryForm && (pMsg->hwnd == m_pEntryForm->m_hWnd || ::IsChild(*m_pEntryForm, pMsg->hwnd));
    if (pMsg->message == WM_KEYDOWN && !bInForm && !m_bWebFocus && OnDialKey(*pMsg)) return TRUE;
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CCallToHTerminal::OnEraseBkgnd(HDC hDC)
{
    RECT client;
    GetClientRect(&client);
    m_title.Paint(hDC, client.right);
    const int nTitle = m_title.Height() > 0 ? m_title.Height() : 34;
    if (m_bBackLoaded)
        m_back.Render(hDC, 0, nTitle, -1, -1, 0);
    else
    {
        RECT below = client;
        below.top = nTitle;
        CDC(hDC).FillSolidRect(below, RGB(233, 238, 243));
    }
    return TRUE;
}

LRESULT CCallToHTerminal::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_NCHITTEST:
    {
        // The title band moves the window.
        LRESULT hit = CDialog::WindowProc(msg, wParam, lParam);
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        ::ScreenToClient(m_hWnd, &pt);
        if (hit == HTCLIENT && pt.y < (m_title.Height() > 0 ? m_title.Height() : 34)) return HTCAPTION;
        return hit;
    }
    default:
        return CDialog::WindowProc(msg, wParam, lParam);
    }
}

void CCallToHTerminal::SaveColumns()
{
    if (m_setup.szSettingsKey.empty() || !m_hList) return;
    for (int i = 0; i < 3; ++i)
        RegWriteDword(HKEY_CURRENT_USER, m_setup.szSettingsKey.c_str(), kColumnValues[i],
                      static_cast<DWORD>(ListView_GetColumnWidth(m_hList, i)));
}

void CCallToHTerminal::OnDestroy()
{
    SaveColumns();
    DestroyEntryForm();
    m_setup.pCall->CloseDialer();
    if (m_pWeb)
    {
        m_pWeb->DestroyWindow();
        m_pWeb.reset();
    }
    if (m_hKinds)
    {
        ListView_SetImageList(m_hList, nullptr, LVSIL_SMALL);
        ImageList_Destroy(m_hKinds);
        m_hKinds = nullptr;
    }
    CDialog::OnDestroy();
}

void CCallToHTerminal::PostNcDestroy()
{
    if (m_setup.onGone) m_setup.onGone();
    delete this;
}
