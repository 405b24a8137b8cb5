// CRoomUserListDlg: the list box and its rows kept side by side.
#include "confclient/room/RoomUserListDlg.h"

#include <windowsx.h>

#include "confclient/people/UserMenuRules.h"
#include "confclient/room/RoomHost.h"
#include "resources/ResourceIds.h"
#include "winui/Menu.h"
#include "winui/WString.h"

CRoomUserListDlg::CRoomUserListDlg(IRoomHost* pHost)
    : CSidePanelDlg(IDD_ROOMUSERLIST, SIDEPANEL_USERLIST, kCollapseUserListCommand), m_pHost(pHost)
{
}

uint16_t CRoomUserListDlg::SelectedChannel() const
{
    LRESULT nSel = ::SendMessageW(GetDlgItem(IDC_ROOMUSER_LIST), LB_GETCURSEL, 0, 0);
    if (nSel < 0 || static_cast<size_t>(nSel) >= m_rows.size()) return 65535;
    return m_rows[static_cast<size_t>(nSel)].wChannel;
}

void CRoomUserListDlg::ShowUserMenu(POINT pt)
{
    uint16_t wChannel = SelectedChannel();
    if (!m_pHost || wChannel == 65535) return;
    const SUserMenuInputs in = m_pHost->UserMenuInputs(wChannel);
    CMenu menu;
    if (!menu.CreatePopupMenu()) return;
    for (const SUserMenuItem& item : UserMenuItems(ContextMenuKind(in), in))
    {
        UINT flags = item.nCommand == UMC_SEPARATOR ? MF_SEPARATOR : MF_STRING;
        if (!item.bEnabled) flags |= MF_GRAYED;
        if (item.bChecked) flags |= MF_CHECKED;
        std::wstring szText = item.pszText ? m_pHost->RoomText(item.pszText) : std::wstring();
        menu.AppendMenu(flags, item.nCommand, szText.c_str());
    }
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
}

BOOL CRoomUserListDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case UMC_GIVE_CHIEF:
    case UMC_BANISH:
    case UMC_TALK:
    case UMC_DRAW:
    case UMC_DS:
    case UMC_SHARE:
    case UMC_MEDIASHARE:
    case UMC_MESSAGE:
        // No selection: nothing happens.
        if (m_pHost && SelectedChannel() != 65535) m_pHost->UserAction(LOWORD(wParam), SelectedChannel());
        return TRUE;
    default:
        return CSidePanelDlg::OnCommand(wParam, lParam);
    }
}

LRESULT CRoomUserListDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CONTEXTMENU && reinterpret_cast<HWND>(wParam) == GetDlgItem(IDC_ROOMUSER_LIST))
    {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ShowUserMenu(pt);
        return 0;
    }
    return CSidePanelDlg::WindowProc(msg, wParam, lParam);
}

std::wstring CRoomUserListDlg::BaseText(const Row& row)
{
    return row.szName + L" (ch " + std::to_wstring(row.wChannel) + L")";
}

void CRoomUserListDlg::SetUsers(const std::vector<std::pair<uint16_t, std::wstring>>& chNames)
{
    HWND hList = GetDlgItem(IDC_ROOMUSER_LIST);
    ::SendMessageW(hList, LB_RESETCONTENT, 0, 0);
    m_rows.clear();
    for (const auto& [ch, szName] : chNames)
    {
        Row row{ch, szName};
        if (AppendListLine(hList, BaseText(row), ch) >= 0) m_rows.push_back(row);
    }
}

int CRoomUserListDlg::FindRow(uint16_t ch) const
{
    for (size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].wChannel == ch) return static_cast<int>(i);
    return -1;
}

void CRoomUserListDlg::RemoveRow(uint16_t ch)
{
    int nIndex = FindRow(ch);
    if (nIndex < 0) return;
    ::SendMessageW(GetDlgItem(IDC_ROOMUSER_LIST), LB_DELETESTRING, nIndex, 0);
    m_rows.erase(m_rows.begin() + nIndex);
}

void CRoomUserListDlg::UpdateUserRow(uint16_t ch, uint16_t wStatus, uint32_t dwFlags)
{
    int nIndex = FindRow(ch);
    if (nIndex < 0) return;
    CString szState;
    szState.Format(L" [%u 0x%08X]", wStatus, dwFlags);
    ReplaceListLine(GetDlgItem(IDC_ROOMUSER_LIST), nIndex, BaseText(m_rows[nIndex]) + szState);
}

int CRoomUserListDlg::RowCount() const
{
    return static_cast<int>(::SendMessageW(GetDlgItem(IDC_ROOMUSER_LIST), LB_GETCOUNT, 0, 0));
}

std::wstring CRoomUserListDlg::RowText(int nIndex) const
{
    return ListLineText(GetDlgItem(IDC_ROOMUSER_LIST), nIndex);
}

void CRoomUserListDlg::OnSize(UINT type, int cx, int cy)
{
    ::MoveWindow(GetDlgItem(IDC_ROOMUSER_LIST), 0, 0, cx, cy, TRUE);
}
