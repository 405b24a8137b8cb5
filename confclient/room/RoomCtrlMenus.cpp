// CRoomCtrlDlg's menus: each menu button drops an owner-drawn menu built from the room's state,
// and every choice, like the window buttons, goes where it belongs: the room window, the session,
// the property dialog.
#include <windows.h>

#include <commctrl.h>

#include <ctime>
#include <functional>

#include "confclient/room/ForEveryoneMenu.h"
#include "confclient/room/PropertyDlg.h"
#include "confclient/room/RoomCtrlCapture.h"
#include "confclient/room/RoomCtrlDlg.h"
#include "confclient/toolkit/menu/BCMenu.h"
#include "confclient/toolkit/menu/MenuCH.h"
#include "resources/ResourceIds.h"
#include "winui/WinApp.h"

namespace
{
// Messages the room main view handles for the bar: invitation, call, conference information.
constexpr UINT kMainViewInvite = 4052;
constexpr UINT kMainViewCall = 4051;
constexpr UINT kMainViewConfInfo = 4047;

std::wstring MenuItemText(const S_MENUITEM& m, const std::wstring& szKeyText)
{
    if (m.szFormat.empty()) return szKeyText;
    std::wstring text(m.szFormat.begin(), m.szFormat.end());
    size_t at = text.find(L"%s");
    if (at != std::wstring::npos) text.replace(at, 2, szKeyText);
    return text;
}
} // namespace

CRoomCtrlDlg::~CRoomCtrlDlg()
{
    // The owned dialogs first, then a running capture (it gives the cursor and hooks back), then
    // the tool tip; the members go after, in reverse order of declaration.
    if (m_pPropertyDlg && m_pPropertyDlg->m_hWnd) m_pPropertyDlg->DestroyWindow();
    m_pPropertyDlg.reset();
    if (m_pMemo && m_pMemo->m_hWnd) m_pMemo->DestroyWindow();
    m_pMemo.reset();
    m_pCapture.reset();
    if (m_pColourPopup && m_pColourPopup->m_hWnd) m_pColourPopup->DestroyWindow();
    m_pColourPopup.reset();
    if (m_toolTip.m_hWnd) m_toolTip.DestroyWindow();
    if (m_hTimeFont) ::DeleteObject(m_hTimeFont);
    if (m_hMenuRowBrush) ::DeleteObject(m_hMenuRowBrush);
}

bool CRoomCtrlDlg::MenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (msg == WM_MEASUREITEM && m_pOpenLayoutMenu &&
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlType == ODT_MENU)
    {
        m_pOpenLayoutMenu->MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        *pResult = TRUE;
        return true;
    }
    if (msg == WM_DRAWITEM && m_pOpenLayoutMenu &&
        reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlType == ODT_MENU)
    {
        m_pOpenLayoutMenu->DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        *pResult = TRUE;
        return true;
    }
    if (msg == WM_MEASUREITEM && m_pOpenMenu &&
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlType == ODT_MENU)
    {
        m_pOpenMenu->MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
        *pResult = TRUE;
        return true;
    }
    if (msg == WM_DRAWITEM && m_pOpenMenu && reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlType == ODT_MENU)
    {
        m_pOpenMenu->DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        *pResult = TRUE;
        return true;
    }
    if (msg == WM_MENUSELECT && m_pOpenLayoutMenu && m_pHost && m_pHost->HasControlRight() &&
        !m_barState.bFullScreen)
    {
        // Layouts 32826 to 32856 have their hints; the others hide the tip as a popup does.
        UINT nCommand = LOWORD(wParam), nFlags = HIWORD(wParam);
        bool bHinted = nCommand >= 32826 && nCommand <= 32856;
        std::string szKey = LayoutHintKey(static_cast<int>(nCommand));
        m_hintTip.OnMenuSelect(nCommand, bHinted ? nFlags : UINT(MF_POPUP), reinterpret_cast<HMENU>(lParam),
                               szKey.empty() ? std::wstring() : Text(szKey.c_str()));
        *pResult = 0;
        return true;
    }
    // The room closes mid-capture: the cursor and the hooks come back with the main view there.
    if (msg == WM_DESTROY && m_pCapture) m_pCapture->End();
    if (msg == CCaptureWnd::WM_CAPTURE_DONE)
    {
        if (m_pCapture) m_pCapture->OnDone(lParam);
        *pResult = 0;
        return true;
    }
    if (msg == WM_TIMER && wParam == CBarCapture::kCaptureTimer)
    {
        if (m_pCapture) m_pCapture->OnTimer();
        *pResult = 0;
        return true;
    }
    if (msg == WM_PROPERTY_CLOSED)
    {
        // Only a dialog whose window is gone: a new one may have opened since.
        if (m_pPropertyDlg && !m_pPropertyDlg->m_hWnd) m_pPropertyDlg.reset();
        *pResult = 0;
        return true;
    }
    return false;
}

namespace
{
void FillMenu(BCMenu& menu, const std::vector<S_MENUITEM>& items,
              const std::function<std::wstring(const S_MENUITEM&)>& text)
{
    for (const S_MENUITEM& m : items)
    {
        if (m.kind == MENU_SEPARATOR)
            menu.AppendMenu(MF_SEPARATOR, 0, nullptr);
        else if (m.kind == MENU_POPUP)
        {
            if (BCMenu* pSub = menu.AppendPopupMenu(text(m).c_str())) FillMenu(*pSub, m.sub, text);
        }
        else
            menu.AppendMenu(MF_STRING | (m.bEnabled ? 0u : MF_GRAYED) | (m.bChecked ? MF_CHECKED : 0u),
                            static_cast<UINT_PTR>(m.nId), text(m).c_str());
    }
}
} // namespace

namespace
{
// The bar whose menu is open on this thread, for the message filter of the menu loop.
thread_local CRoomCtrlDlg* t_pMenuBar = nullptr;
thread_local HHOOK t_hMenuFilter = nullptr;

bool IsMenuButton(int nId)
{
    return nId == IDC_ROOMCTRL_MENU_FILE || nId == IDC_ROOMCTRL_MENU_VIEW || nId == IDC_ROOMCTRL_MENU_DRAW ||
           nId == IDC_ROOMCTRL_MENU_TOOL || nId == IDC_ROOMCTRL_MENU_INVITE;
}
} // namespace

LRESULT CALLBACK CRoomCtrlDlg::MenuFilter(int nCode, WPARAM wParam, LPARAM lParam)
{
    // The five buttons act as a menu bar: the pointer on another one ends this menu and drops
    // that one. The menu is ended, not clicked away: a made-up click lands in whatever window is
    // under the pointer, another program's too.
    auto* pMsg = reinterpret_cast<MSG*>(lParam);
    CRoomCtrlDlg* pBar = t_pMenuBar;
    if (nCode == MSGF_MENU && pBar && pMsg && pMsg->message == WM_MOUSEMOVE && !pBar->m_nSlideTo)
    {
        HWND hUnder = ::WindowFromPoint(pMsg->pt);
        int nId = hUnder && ::GetParent(hUnder) == pBar->m_hWnd ? ::GetDlgCtrlID(hUnder) : 0;
        if (IsMenuButton(nId) && nId != pBar->m_nOpenMenuButton && ::IsWindowEnabled(hUnder) &&
            ::IsWindowVisible(hUnder))
        {
            pBar->m_nSlideTo = nId;
            ::EndMenu();
        }
    }
    return ::CallNextHookEx(t_hMenuFilter, nCode, wParam, lParam);
}

void CRoomCtrlDlg::DropMenu(int nButton)
{
    // A slide ends the open menu; the next one drops here, outside the ended menu's loop.
    for (int nNext = nButton; nNext; nNext = m_nSlideTo)
    {
        m_nSlideTo = 0;
        TrackOneMenu(nNext);
    }
}

void CRoomCtrlDlg::TrackOneMenu(int nButton)
{
    if (!m_pHost || m_pOpenMenu) return;

    S_MENUCONDITIONS c = m_pHost->MenuConditions();
    switch (nButton)
    {
    case IDC_ROOMCTRL_MENU_FILE:
        m_lastMenu = FileMenu(c);
        if (S_MENUITEM* pMemo = FindMenuItem(m_lastMenu, MENU_ID_MEMO))
            pMemo->bChecked = m_pMemo && ::IsWindowVisible(m_pMemo->m_hWnd);
        if (S_MENUITEM* pRecord = FindMenuItem(m_lastMenu, MENU_ID_RECORD))
            pRecord->bChecked = m_bRecordChecked;
        break;
    case IDC_ROOMCTRL_MENU_VIEW:
        m_lastMenu = ViewMenu(c);
        break;
    case IDC_ROOMCTRL_MENU_DRAW:
        m_lastMenu = DrawMenu();
        // The chosen tool, the width of the pen or highlighter and the zoom carry the checks.
        for (int nId = 32928; nId <= 33005; ++nId)
            if (S_MENUITEM* pItem = FindMenuItem(m_lastMenu, nId)) pItem->bChecked = false;
        for (int nId : {m_boardTools.Tool(), m_boardTools.CheckedWidthCommand(), m_boardTools.ZoomCommand()})
            if (S_MENUITEM* pItem = FindMenuItem(m_lastMenu, nId)) pItem->bChecked = true;
        break;
    case IDC_ROOMCTRL_MENU_TOOL:
        m_lastMenu = ToolMenu(c, m_pHost->LectureState());
        if (S_MENUITEM* pProperty = FindMenuItem(m_lastMenu, MENU_ID_PROPERTY))
            pProperty->bChecked = m_pPropertyDlg != nullptr;
        break;
    case IDC_ROOMCTRL_MENU_INVITE:
        m_lastMenu = InviteMenu(c);
        break;
    default:
        return;
    }
    BCMenu menu;
    FillMenu(menu, m_lastMenu,
             [this](const S_MENUITEM& m)
             { return MenuItemText(m, m.szKey.empty() ? L"" : Text(m.szKey.c_str())); });
    RECT rc{};
    ::GetWindowRect(GetDlgItem(nButton), &rc);
    ::SendMessageW(GetDlgItem(nButton), BM_SETSTATE, TRUE, 0);
    m_pOpenMenu = &menu;
    m_nOpenMenuButton = nButton;
    t_pMenuBar = this;
    t_hMenuFilter =
        ::SetWindowsHookExW(WH_MSGFILTER, &CRoomCtrlDlg::MenuFilter, nullptr, ::GetCurrentThreadId());
    int nChosen = ::TrackPopupMenu(menu.GetSafeHmenu(), TPM_RIGHTBUTTON | TPM_RETURNCMD, rc.left,
                                   rc.bottom - 2, 0, m_hWnd, nullptr);
    if (t_hMenuFilter) ::UnhookWindowsHookEx(t_hMenuFilter);
    t_hMenuFilter = nullptr;
    t_pMenuBar = nullptr;
    m_pOpenMenu = nullptr;
    m_nOpenMenuButton = 0;
    ::SendMessageW(GetDlgItem(nButton), BM_SETSTATE, FALSE, 0);
    if (nChosen != 0 && !m_nSlideTo) OnBarMenuCommand(nChosen);
}

bool CRoomCtrlDlg::OnBarMenuCommand(int nId)
{
    if (!m_pHost) return false;
    bool bChief = m_pHost->HasControlRight();
    switch (nId)
    {
    case IDC_ROOMCTRL_MENU_FILE:
    case IDC_ROOMCTRL_MENU_VIEW:
    case IDC_ROOMCTRL_MENU_DRAW:
    case IDC_ROOMCTRL_MENU_TOOL:
    case IDC_ROOMCTRL_MENU_INVITE:
        DropMenu(nId);
        return true;
    case IDC_ROOMCTRL_LAYOUT:
    case MENU_ID_LAYOUT:
        DropLayoutMenu();
        return true;
    case IDC_ROOMCTRL_MAXIMIZE:
    case IDC_ROOMCTRL_RESTORE:
    case IDC_ROOMCTRL_FULLSCREEN:
        RunWindowButton(nId, bChief);
        return true;
    case MENU_ID_ROOMCLOSE:
        LeaveRoom();
        return true;
    case MENU_ID_PROPERTY:
        TogglePropertyDlg();
        return true;
    case MENU_ID_PUSH:
        OnPushCommand();
        return true;
    case MENU_ID_MEMO:
        ShowMemo(!(m_pMemo && ::IsWindowVisible(m_pMemo->m_hWnd)));
        return true;
    case MENU_ID_RECORD:
        if (m_pRecording) m_pRecording->OnRecordCommand();
        return true;
    case MENU_ID_SERVERRECORD:
        if (m_pRecording) m_pRecording->OnServerRecordCommand();
        return true;
    case MENU_ID_FILE_OPEN:
        m_pHost->OpenBoardDocument();
        return true;
    case MENU_ID_PREVIEW:
        m_pHost->ToggleBoardPreview();
        return true;
    case MENU_ID_CAPTURE:
        if (!m_pCapture) m_pCapture = std::make_unique<CBarCapture>(m_hWnd, m_pHost);
        m_pCapture->Start(m_pMainView);
        return true;
    case MENU_ID_LECTURE_START:
        m_pHost->LectureCommand(1);
        return true;
    case MENU_ID_LECTURE_END:
        m_pHost->LectureCommand(100);
        return true;
    case MENU_ID_INVITE:
        if (m_pMainView) m_pMainView->PostMessage(kMainViewInvite);
        return true;
    case MENU_ID_CALL:
        if (m_pMainView) m_pMainView->PostMessage(kMainViewCall);
        return true;
    case MENU_ID_CONF_INFO:
        if (m_pMainView) m_pMainView->PostMessage(kMainViewConfInfo);
        return true;
    case MENU_ID_PEN_COLOUR:
        OpenColourPopup();
        return true;
    case MENU_ID_BOARD_WEB:
        ToggleBoardWeb();
        return true;
    case MENU_ID_BOARD_WEBDRAW:
        DrawOnWebPage();
        return true;
    default:
        break;
    }
    if (std::optional<S_BOARDACTIONS> actions = m_boardTools.OnCommand(nId))
    {
        m_pHost->ApplyBoardActions(*actions);
        return true;
    }
    if (RoomTypeOfCommand(nId))
    {
        m_pHost->RoomTypeCommand(nId);
        return true;
    }
    int nMode = ViewModeOfItem(nId);
    if (nMode >= 0)
    {
        if (nMode != m_barState.wViewMode) m_pHost->ViewModeRequested(static_cast<uint16_t>(nMode));
        return true;
    }
    return false;
}

void CRoomCtrlDlg::RunWindowButton(int nButton, bool bForEveryone)
{
    switch (nButton)
    {
    case IDC_ROOMCTRL_FULLSCREEN:
        m_pHost->FullScreenRequested(bForEveryone);
        break;
    case IDC_ROOMCTRL_MAXIMIZE:
        MaximizeRoomWindow();
        if (bForEveryone) m_pHost->MaximizeForEveryone(true);
        break;
    case IDC_ROOMCTRL_RESTORE:
        // In full screen restoring leaves it.
        if (m_barState.bFullScreen)
        {
            m_pHost->FullScreenRequested(bForEveryone);
            break;
        }
        RestoreRoomWindow();
        if (bForEveryone) m_pHost->MaximizeForEveryone(false);
        break;
    default:
        break;
    }
}

bool CRoomCtrlDlg::OnWindowButtonRightUp(HWND hButton)
{
    const int nButton = ::GetDlgCtrlID(hButton);
    if (!m_pHost || ::GetParent(hButton) != m_hWnd ||
        (nButton != IDC_ROOMCTRL_FULLSCREEN && nButton != IDC_ROOMCTRL_MAXIMIZE &&
         nButton != IDC_ROOMCTRL_RESTORE))
        return false;
    RECT rc{};
    ::GetWindowRect(hButton, &rc);
    const int nChosen = TrackForEveryoneMenu(*m_pHost, m_hWnd, {rc.left, rc.bottom});
    if (nChosen < 0) return false;
    if (nChosen != 0) RunWindowButton(nButton, nChosen == MENU_ID_FOR_EVERYONE);
    return true;
}

bool CRoomCtrlDlg::OnRoomHotKey(const S_HOTKEY& key)
{
    if (!m_pHost || !m_hWnd) return false;
    std::optional<S_HOTKEYRUN> run = HotKeyRun(key, m_pHost->GermanTexts(), m_pHost->MenuConditions());
    if (!run) return true;
    static const int menuButtons[] = {IDC_ROOMCTRL_MENU_FILE, IDC_ROOMCTRL_MENU_VIEW, IDC_ROOMCTRL_MENU_DRAW,
                                      IDC_ROOMCTRL_MENU_TOOL};
    // Run as the menu's own choice, once the key's message is done with.
    const int nCommand = run->menu == S_HOTKEYRUN::NO_MENU ? run->nCommand : menuButtons[run->menu];
    PostMessage(WM_COMMAND, static_cast<WPARAM>(nCommand), 0);
    return true;
}

void CRoomCtrlDlg::TogglePropertyDlg()
{
    if (m_pPropertyDlg && m_pPropertyDlg->m_hWnd)
    {
        m_pPropertyDlg->DestroyWindow();
        return;
    }
    m_pPropertyDlg.reset();
    if (!m_pHost) return;
    auto pDlg = std::make_unique<CPropertyDlg>(this, m_pHost);
    if (!pDlg->Create(IDD_ROOMPROPERTY, this)) return;
    m_pPropertyDlg = std::move(pDlg);
}

void CRoomCtrlDlg::UpdateRoomTexts(const std::u16string& szTitle, const std::u16string& szPassword)
{
    if (m_pHost) m_pHost->UpdateRoomTexts(szTitle, szPassword);
}

void CRoomCtrlDlg::OnPropertyDlgClosed()
{
    // The dialog is still on the stack of its own handler: it goes once that returned.
    PostMessage(WM_PROPERTY_CLOSED);
}

void CRoomCtrlDlg::OnElapsedTimeInfo(int64_t nSeconds)
{
    if (!m_pHost) return;
    ApplyClock(m_clock.Update(true, nSeconds, static_cast<int64_t>(::time(nullptr)), m_pHost->ClockRoom()));
}

void CRoomCtrlDlg::ApplyClock(const S_CLOCKUPDATE& u)
{
    if (u.szText)
        ::SetDlgItemTextW(m_hWnd, IDC_ROOMCTRL_TIME,
                          std::wstring(u.szText->begin(), u.szText->end()).c_str());
    // The time is up: the lecture ends once, for everyone.
    if (u.bEndLecture) m_pHost->LectureCommand(100);
    if (u.timer == CLOCK_TIMER_SET) ::SetTimer(m_hWnd, kClockTimer, 200, nullptr);
    if (u.timer == CLOCK_TIMER_KILL) ::KillTimer(m_hWnd, kClockTimer);
}

void CRoomCtrlDlg::OnNetworkState(int nState)
{
    auto shown = m_network.OnState(nState, static_cast<int64_t>(::time(nullptr)));
    if (shown) ShowNetworkState(*shown);
}

void CRoomCtrlDlg::OnTimer(UINT_PTR nId)
{
    if (OnRecordTimerTick(nId)) return;
    if (nId != kClockTimer || !m_pHost)
    {
        CRoomDlg::OnTimer(nId);
        return;
    }
    int64_t tNow = static_cast<int64_t>(::time(nullptr));
    ApplyClock(m_clock.Tick(tNow, m_pHost->ClockRoom()));
    // A state held back by the 20-second rule shows once its time has come.
    if (auto shown = m_network.OnTick(tNow)) ShowNetworkState(*shown);
}

void CRoomCtrlDlg::DropLayoutMenu()
{
    if (!m_pHost || m_pOpenMenu || m_pOpenLayoutMenu) return;
    std::vector<S_ROOMOPTION> options = m_pHost->RoomOptions();
    std::vector<S_CONFMENU> offered = OfferedLayouts(
        [&options](uint16_t wLayout)
        {
            for (const S_ROOMOPTION& o : options)
                if (o.wLayout == wLayout) return true;
            return false;
        });
    std::vector<S_LAYOUTITEM> layouts = LayoutMenuOrder(offered);
    if (layouts.size() < 2)
    {
        m_lastLayouts = std::move(layouts); // one layout leaves nothing to choose
        return;
    }
    // Loading the pictures is most of a drop: they are made again only for other layouts.
    if (!m_pLayoutMenu || layouts != m_lastLayouts)
    {
        m_pLayoutMenu = std::make_unique<CMenuCH>();
        for (const S_LAYOUTITEM& i : layouts)
            m_pLayoutMenu->AppendPicture(static_cast<UINT>(i.item.nCommand),
                                         static_cast<UINT>(i.item.nBitmap),
                                         static_cast<UINT>(i.item.nHotBitmap), i.bMenuBreak);
    }
    m_lastLayouts = std::move(layouts);
    RECT rc{};
    HWND hButton = GetDlgItem(IDC_ROOMCTRL_LAYOUT);
    ::GetWindowRect(hButton, &rc);
    if (!m_hintTip.Handle())
    {
        // The English and German texts are long: their tips stand further right of the item.
        wchar_t szLibrary[MAX_PATH] = {};
        ::GetModuleFileNameW(AfxGetResourceHandle(), szLibrary, MAX_PATH);
        bool bWide = wcsstr(szLibrary, L"_Eng") || wcsstr(szLibrary, L"_Ger");
        m_hintTip.Create(hButton, L"", bWide ? 100 : 0, TTS_NOPREFIX | TTS_BALLOON,
                         Text("IDMS_MENU_MAIN_LAYOUT"));
    }
    m_pOpenLayoutMenu = m_pLayoutMenu.get();
    int nChosen = ::TrackPopupMenu(m_pLayoutMenu->GetSafeHmenu(), TPM_RIGHTBUTTON | TPM_RETURNCMD, rc.left,
                                   rc.bottom - 2, 0, m_hWnd, nullptr);
    m_pOpenLayoutMenu = nullptr;
    m_hintTip.Hide();
    if (nChosen != 0) m_pHost->RoomTypeCommand(nChosen);
}

bool CRoomCtrlDlg::CaptureRunning() const
{
    return m_pCapture && m_pCapture->Running();
}

void CRoomCtrlDlg::RouteLayoutCommand(int nCommand, int)
{
    switch (nCommand)
    {
    case 1394:
    case 1399:
    case 1395:
    case 1398:
    case 32939:
    case 32940:
    case 32964:
    case 32928:
    case 32929:
    case 32930:
    case 33005:
        OnBarMenuCommand(nCommand);
        break;
    default:
        break;
    }
}
