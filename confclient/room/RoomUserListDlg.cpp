// CRoomUserListDlg: the list control is the rows' view; the header, find bar and their buttons
// are laid out and painted here; commands go to the rows (sort, find) or to the session.
#include "confclient/room/RoomUserListDlg.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "confclient/people/UserMenuRules.h"
#include "confclient/room/RoomHost.h"
#include "resources/ResourceIds.h"
#include "winui/Menu.h"
#include "winui/WideText.h"
#include "winui/WinApp.h"

namespace
{
// The find bar's height under the header.
constexpr int kFindBarHeight = 26;
// The name column's width while docked, and what floating leaves beside it.
constexpr int kPositionWidth = 125;
constexpr int kFloatingMargin = 80;

enum UserListColumn : int
{
    COL_NONE = 0,
    COL_BOARD = 1,
    COL_VOICE = 2,
    COL_SPACER = 3,
    COL_NAME = 4,
    COL_POSITION = 5,
    COL_CHANNEL = 6,
    COL_JOIN = 7,
};
} // namespace

CRoomUserListDlg::CRoomUserListDlg(IRoomHost* pHost)
    : CSidePanelDlg(IDD_ROOMUSERLIST, SIDEPANEL_USERLIST, kCollapseUserListCommand), m_pHost(pHost)
{
    // The find text is a rich edit: its library comes before the template.
    CRichEditCtrlGS::LoadControlLibrary();
}

CRoomUserListDlg::~CRoomUserListDlg() = default;

BOOL CRoomUserListDlg::OnInitDialog()
{
    // A picture that loads from neither the skin nor the resources leaves no panel to show.
    const wchar_t* search[] = {L"back_userlist_seach_left.gif", L"back_userlist_seach_middle.gif",
                               L"back_userlist_seach_right.gif"};
    if (!m_header.LoadPictures(m_pHost)) return FALSE;
    for (int i = 0; i < 3; ++i)
        if (!LoadPanelPicture(m_pHost, m_search[i], search[i], IDR_BACK_SEARCH_LEFT + i)) return FALSE;

    m_list.SubclassDlgItem(IDC_ROOMUSER_LIST, this);
    m_list.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    struct
    {
        const wchar_t* pszHeading;
        int nFormat;
        int nWidth;
    } columns[] = {{L"", LVCFMT_CENTER, 0},     {L"", LVCFMT_CENTER, 20},
                   {L"", LVCFMT_CENTER, 25},    {nullptr, LVCFMT_LEFT, 10},
                   {L"Name", LVCFMT_LEFT, 0},   {L"Position", LVCFMT_LEFT, kPositionWidth},
                   {L"CNum", LVCFMT_CENTER, 0}, {L"JoinTime", LVCFMT_CENTER, 0}};
    for (int i = 0; i < static_cast<int>(std::size(columns)); ++i)
        m_list.InsertColumn(i, columns[i].pszHeading, columns[i].nFormat, columns[i].nWidth);
    const std::pair<const wchar_t*, UINT> bitmaps[] = {
        {L"Blank_", IDB_USERLIST_BLANK},    {L"Voice_ON_", IDB_VOICE_ON},      {L"Voice_OFF_", IDB_VOICE_OFF},
        {L"Voice_SPEAK_", IDB_VOICE_SPEAK}, {L"Voice_ERR_", IDB_VOICE_ERR},    {L"Voice_DIS_", IDB_VOICE_DIS},
        {L"Board_true_", IDB_BOARD_TRUE},   {L"Board_false_", IDB_BOARD_FALSE}};
    for (const auto& [pszName, nId] : bitmaps)
        m_list.AddNamedBitmap(pszName, nId);

    m_findText.Attach(GetDlgItem(IDC_USERLIST_FINDTEXT));
    ::SendMessageW(m_findText.GetSafeHwnd(), EM_LIMITTEXT, 64, 0);
    m_header.Attach(*this, m_pHost, IDC_USERLIST_POPUP, IDC_USERLIST_FLOAT, IDC_USERLIST_ALPHA,
                    "IDMS_USERLIST_FLOATING");
    m_menu.SubclassDlgItem(IDC_USERLIST_MENU, this);
    m_findNext.SubclassDlgItem(IDC_USERLIST_FINDNEXT, this);
    m_findClose.SubclassDlgItem(IDC_USERLIST_FINDCLOSE, this);
    m_menu.LoadBitmapsAndSize(IDB_USERLIST_MENU, IDB_USERLIST_MENU + 1, IDB_USERLIST_MENU + 2, 0);
    m_findNext.LoadBitmapsAndSize(IDB_USERLIST_FINDNEXT, IDB_USERLIST_FINDNEXT + 1, 0,
                                  IDB_USERLIST_FINDNEXT + 3);
    m_findClose.LoadBitmapsAndSize(IDB_USERLIST_FINDCLOSE, IDB_USERLIST_FINDCLOSE + 1, 0,
                                   IDB_USERLIST_FINDCLOSE + 3);
    UpdatePopupButton();
    const bool bPlayer = m_pHost && m_pHost->UserMenuInputs(65535).bPlayerMode;
    if (bPlayer)
    {
        m_menu.EnableWindow(FALSE);
        m_header.FloatButton().ShowWindow(SW_HIDE);
    }
    if (m_pHost)
    {
        SetWindowText(m_pHost->RoomText("IDMS_USERLIST").c_str());
        if (IUserRowRoom* pRoom = m_pHost->UserRowRoom())
            m_pRows = std::make_unique<CParticipantRows>(*pRoom, static_cast<IUserRowView&>(*this));
    }
    UpdateTitle();
    return CSidePanelDlg::OnInitDialog();
}

void CRoomUserListDlg::ShowRows(const std::vector<SUserRow>& rows)
{
    const uint16_t wSelected = SelectedChannel();
    const int nRows = static_cast<int>(rows.size());
    for (int n = m_list.GetItemCount(); n > nRows; --n)
        m_list.DeleteRow(n - 1);
    int nReselect = -1;
    for (int i = 0; i < nRows; ++i)
    {
        const SUserRow& row = rows[static_cast<size_t>(i)];
        const std::wstring cells[] = {L"",
                                      WideOf(row.szBoard),
                                      WideOf(row.szVoice),
                                      L"",
                                      WideOf(row.szName),
                                      WideOf(row.szPosition),
                                      std::to_wstring(row.wChannel),
                                      std::to_wstring(row.wJoin)};
        if (i >= m_list.GetItemCount())
            m_list.AddItem(std::vector<std::wstring>(std::begin(cells), std::end(cells)));
        else
            for (int c = 1; c < static_cast<int>(std::size(cells)); ++c)
                if (m_list.GetItemText(i, c) != cells[c]) m_list.SetItemText(i, c, cells[c]);
        if (row.wChannel == wSelected && nReselect < 0) nReselect = i;
    }
    // Tips and the selection follow the users, not the row positions.
    m_list.ClearCellTips();
    for (int i = 0; i < nRows; ++i)
        m_list.SetCellTip(i, COL_POSITION, WideOf(rows[static_cast<size_t>(i)].szTip));
    if (wSelected != 65535 && nReselect != m_list.GetSelectionMark()) m_list.SelectRow(nReselect);
    UpdateTitle();
}

void CRoomUserListDlg::UpdateTitle()
{
    if (!m_hWnd || !m_pHost) return;
    HWND hTitle = GetDlgItem(IDC_USERLIST_TITLE);
    const auto [nUsers, nMax] = m_pHost->RoomUserCount();
    RECT title{}, menu{};
    ::GetWindowRect(hTitle, &title);
    ::GetWindowRect(m_menu, &menu);
    HDC hDC = ::GetDC(hTitle);
    HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HGDIOBJ>(::SendMessageW(hTitle, WM_GETFONT, 0, 0)));
    auto measure = [hDC](const std::u16string& s)
    {
        SIZE size{};
        const std::wstring w = WideOf(s);
        ::GetTextExtentPoint32W(hDC, w.c_str(), static_cast<int>(w.size()), &size);
        return static_cast<int>(size.cx);
    };
    const std::u16string szTitle = UserListTitle(U16Of(m_pHost->RoomText("IDMS_USERLIST")), nUsers, nMax,
                                                 !IsFloating(), measure, menu.left - title.left);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hTitle, hDC);
    ::SetWindowTextW(hTitle, WideOf(szTitle).c_str());
}

uint16_t CRoomUserListDlg::SelectedChannel() const
{
    const int nMark = m_list.GetSelectionMark();
    if (nMark < 0 || nMark >= m_list.GetItemCount() ||
        !m_list.SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(nMark), LVIS_SELECTED))
        return 65535;
    const std::wstring szChannel = m_list.GetItemText(nMark, COL_CHANNEL);
    return szChannel.empty() ? 65535 : static_cast<uint16_t>(std::wcstoul(szChannel.c_str(), nullptr, 10));
}

namespace
{
// Fills a menu from the rules' items: a sub-menu takes the items of depth 1 after it and goes
// with the menu.
void FillUserMenu(HMENU hMenu, const std::vector<SUserMenuItem>& items, IRoomHost& host)
{
    HMENU hTarget = hMenu;
    for (const SUserMenuItem& item : items)
    {
        if (item.nDepth == 0) hTarget = hMenu;
        UINT flags = item.nCommand == UMC_SEPARATOR ? MF_SEPARATOR : MF_STRING;
        if (!item.bEnabled) flags |= MF_GRAYED;
        if (item.bChecked) flags |= MF_CHECKED;
        const std::wstring szText = item.pszText ? host.RoomText(item.pszText) : std::wstring();
        if (item.nCommand == UMC_POPUP)
        {
            HMENU hSub = ::CreatePopupMenu();
            ::AppendMenuW(hMenu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(hSub), szText.c_str());
            hTarget = hSub;
            continue;
        }
        ::AppendMenuW(hTarget, flags, item.nCommand, szText.c_str());
    }
}
} // namespace

void CRoomUserListDlg::ShowUserMenu(POINT pt)
{
    uint16_t wChannel = SelectedChannel();
    if (!m_pHost || wChannel == 65535) return;
    const SUserMenuInputs in = m_pHost->UserMenuInputs(wChannel);
    if (in.bPlayerMode) return;
    CMenu menu;
    if (!menu.CreatePopupMenu()) return;
    FillUserMenu(menu, UserMenuItems(ContextMenuKind(in), in), *m_pHost);
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
}

void CRoomUserListDlg::ShowListMenu()
{
    if (!m_pHost) return;
    SUserMenuInputs in = m_pHost->UserMenuInputs(65535);
    in.bFindBar = m_bFindBar;
    in.nSortMode = m_pRows ? m_pRows->SortMode() : USERSORT_JOIN;
    CMenu menu;
    if (!menu.CreatePopupMenu()) return;
    FillUserMenu(menu, UserMenuItems(USERMENU_LIST, in), *m_pHost);
    RECT rc{};
    ::GetWindowRect(m_menu, &rc);
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, rc.left, rc.bottom, 0, m_hWnd, nullptr);
}

void CRoomUserListDlg::OnCellClick()
{
    if (!m_pHost) return;
    // The list reports a click only for a press released where it began: no drag left the list.
    m_pHost->SeatDrag().CancelDrag();
    const uint16_t wChannel = SelectedChannel();
    if (wChannel == 65535) return;
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_list, &pt);
    int nColumn = -1;
    const int nRow = m_list.HitTestEx(pt, &nColumn);
    if (nRow < 0 || nRow != m_list.GetSelectionMark()) return;
    const SUserMenuInputs in = m_pHost->UserMenuInputs(wChannel);
    const uint32_t nCommand =
        CellClickCommand(in, nColumn, m_list.GetItemText(nRow, COL_VOICE) == L"Voice_ERR_");
    if (nCommand) m_pHost->UserAction(nCommand, wChannel);
}

void CRoomUserListDlg::Find()
{
    const std::wstring szText = m_findText.GetTextRange(0, m_findText.GetTextLength());
    if (szText.empty() || !m_pRows) return;
    const int nRow = m_pRows->Find(U16Of(szText), m_list.GetSelectionMark());
    if (nRow < 0) return;
    m_list.SelectRow(nRow);
    ::SetFocus(m_list);
}

void CRoomUserListDlg::ToggleFindBar()
{
    m_bFindBar = !m_bFindBar;
    const int nShow = m_bFindBar ? SW_SHOW : SW_HIDE;
    if (!m_bFindBar) m_findText.Clear();
    ::ShowWindow(m_findText.GetSafeHwnd(), nShow);
    m_findNext.ShowWindow(nShow);
    m_findClose.ShowWindow(nShow);
    Layout();
    if (m_bFindBar) ::SetFocus(m_findText.GetSafeHwnd());
    Invalidate();
}

void CRoomUserListDlg::Sort(int nMode)
{
    if (!m_pRows || m_pRows->SortMode() == nMode) return;
    m_pRows->SortList(nMode);
}

void CRoomUserListDlg::UpdatePopupButton()
{
    m_header.UpdatePopup(IsExpanded());
}

BOOL CRoomUserListDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const uint32_t nCommand = LOWORD(wParam);
    switch (nCommand)
    {
    case UMC_GIVE_CHIEF:
    case UMC_PRESENTER:
    case UMC_AUDIO_REMOTE:
    case UMC_CAMERA:
    case UMC_REMOTECTRL:
    case UMC_BANISH:
    case UMC_TALK:
    case UMC_DRAW:
    case UMC_DS:
    case UMC_SHARE:
    case UMC_MEDIASHARE:
    case UMC_MESSAGE:
        // No selection: nothing happens.
        if (m_pHost && SelectedChannel() != 65535) m_pHost->UserAction(nCommand, SelectedChannel());
        return TRUE;
    case UMC_ALL_TALK:
    case UMC_ALL_DRAW:
    case UMC_ALL_SHARE:
    case UMC_ALL_MEDIASHARE:
    case UMC_INVITE:
    case UMC_CALL:
        if (m_pHost) m_pHost->UserAction(nCommand, 65535);
        return TRUE;
    case UMC_FIND:
    case IDC_USERLIST_FINDCLOSE:
        ToggleFindBar();
        return TRUE;
    case IDC_USERLIST_FINDNEXT:
    case IDC_USERLIST_FINDNEXT - 1:
        Find();
        return TRUE;
    case UMC_SORT_JOIN:
    case UMC_SORT_UP:
    case UMC_SORT_DOWN:
        Sort(static_cast<int>(nCommand - UMC_SORT_JOIN));
        return TRUE;
    case IDC_USERLIST_MENU:
        ShowListMenu();
        return TRUE;
    default:
        return CSidePanelDlg::OnCommand(wParam, lParam);
    }
}

BOOL CRoomUserListDlg::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
    if (pHdr->idFrom == IDC_ROOMUSER_LIST && pHdr->code == NM_CLICK)
    {
        OnCellClick();
        return TRUE;
    }
    if (pHdr->idFrom == IDC_ROOMUSER_LIST && pHdr->code == LVN_BEGINDRAG)
    {
        // The release goes to the window under the pointer: a seat takes the user there.
        if (::GetCapture() == m_list.m_hWnd) ::ReleaseCapture();
        return TRUE;
    }
    if (pHdr->idFrom == IDC_ROOMUSER_LIST && pHdr->code == NM_RCLICK)
    {
        POINT pt;
        ::GetCursorPos(&pt);
        ShowUserMenu(pt);
        *pResult = 1;
        return TRUE;
    }
    return CSidePanelDlg::OnNotify(wParam, lParam, pResult);
}

BOOL CRoomUserListDlg::PreTranslateMessage(MSG* pMsg)
{
    m_header.RelayEvent(pMsg);
    if (pMsg->hwnd == m_list.m_hWnd && TrackSeatDrag(*pMsg)) return TRUE;
    if (pMsg->message == WM_KEYDOWN && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
    {
        if (pMsg->wParam == VK_RETURN && m_findText.GetTextLength() > 0)
        {
            Find();
            return TRUE;
        }
        if (pMsg->wParam == 'F' && (::GetKeyState(VK_CONTROL) & 0x8000))
        {
            ToggleFindBar();
            m_list.Invalidate();
            return TRUE;
        }
    }
    return CSidePanelDlg::PreTranslateMessage(pMsg);
}

bool CRoomUserListDlg::TrackSeatDrag(const MSG& msg)
{
    if (!m_pHost) return false;
    CSeatDrag& drag = m_pHost->SeatDrag();
    switch (msg.message)
    {
    case WM_LBUTTONDOWN:
    {
        // The list's own press handling selects the row first; the drop takes that row's user.
        int nColumn = -1;
        if (m_list.HitTestEx({GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)}, &nColumn) >= 0)
            drag.PressOnList(nColumn);
        return false;
    }
    case WM_MOUSEMOVE:
        if (!drag.IsDragging()) return false;
        if (!drag.ShowsDragCursor()) return true;
        ::SetCursor(::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDC_CURSOR_DRAGUSER)));
        return false;
    case WM_LBUTTONUP:
        drag.ReleaseOnList();
        return false;
    default:
        return false;
    }
}

LRESULT CRoomUserListDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const bool bPanelCommand =
        msg == WM_COMMAND && (LOWORD(wParam) == kCollapseUserListCommand || LOWORD(wParam) == kFloatCommand);
    if (msg == CBitmapSlider::kMsgMoving && wParam == IDC_USERLIST_ALPHA)
    {
        if (IsFloating()) SetAlpha(static_cast<int>(lParam));
        return 0;
    }
    LRESULT lResult = CSidePanelDlg::WindowProc(msg, wParam, lParam);
    if (bPanelCommand)
    {
        UpdatePopupButton();
        Layout();
    }
    return lResult;
}

BOOL CRoomUserListDlg::OnEraseBkgnd(HDC hDC)
{
    RECT rc;
    GetClientRect(&rc);
    ::FillRect(hDC, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    m_header.Paint(hDC, rc.right);
    if (m_bFindBar) PaintPanelBand(hDC, m_search, m_header.Height(), rc.right);
    return TRUE;
}

HBRUSH CRoomUserListDlg::OnCtlColor(HDC hDC, HWND hChild, UINT ctlMsg)
{
    if (hChild != GetDlgItem(IDC_USERLIST_TITLE)) return CSidePanelDlg::OnCtlColor(hDC, hChild, ctlMsg);
    return m_header.TitleBrush(hDC);
}

void CRoomUserListDlg::OnSize(UINT, int, int)
{
    Layout();
}

void CRoomUserListDlg::Layout()
{
    if (!m_list.m_hWnd) return;
    RECT rc;
    GetClientRect(&rc);
    const int cx = rc.right, cy = rc.bottom;
    // The header's buttons from the right: show/hide, float/dock, the list menu; floating, the
    // transparency slider left of them.
    int x = m_header.PlaceButtons(cx, {&m_menu}) - 3;
    if (IsFloating()) x -= m_header.SliderWidth();
    m_header.PlaceSlider(IsFloating(), x, 2);
    if (IsFloating()) x -= 3;
    ::SetWindowPos(GetDlgItem(IDC_USERLIST_TITLE), nullptr, 4, 3, std::max(0, x - 4), 14,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    int y = m_header.Height() + 1;
    if (m_bFindBar)
    {
        const int xClose = cx - 6 - m_findClose.m_nWidth;
        const int xNext = xClose - 3 - m_findNext.m_nWidth;
        m_findClose.SetWindowPos(nullptr, xClose, y + 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_findNext.SetWindowPos(nullptr, xNext, y + 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::SetWindowPos(m_findText.GetSafeHwnd(), nullptr, 8, y + 6, std::max(0, xNext - 11), 14,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        y += kFindBarHeight;
    }
    const int nInset = IsFloating() ? 3 : 0;
    m_list.SetWindowPos(nullptr, nInset, y, std::max(0, cx - 2 * nInset), std::max(0, cy - y - nInset),
                        SWP_NOZORDER | SWP_NOACTIVATE);
    m_list.SendMessage(LVM_SETCOLUMNWIDTH, COL_POSITION,
                       IsFloating() ? std::max(20, cx - kFloatingMargin) : kPositionWidth);
    ::ShowWindow(m_list, IsExpanded() ? SW_SHOW : SW_HIDE);
    // Docked, the title may have to shorten to the count; floating it never does.
    UpdateTitle();
}
