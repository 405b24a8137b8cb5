// CRoomUserListDlg: the list box and its rows kept side by side.
#include "confclient/room/RoomUserListDlg.h"
#include "resources/ResourceIds.h"
#include "winui/WString.h"

CRoomUserListDlg::CRoomUserListDlg()
    : CSidePanelDlg(IDD_ROOMUSERLIST, SIDEPANEL_USERLIST, kCollapseUserListCommand)
{
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
