// CInviteNoticeDlg: fills its three lines and shows itself.
#include "confclient/room/InviteNoticeDlg.h"
#include "resources/ResourceIds.h"

CInviteNoticeDlg::CInviteNoticeDlg(const std::wstring& szInviter, const std::wstring& szRoomTitle,
                                   const std::wstring& szMessage)
    : CRoomDlg(IDD_INVITENOTICE), m_szInviter(szInviter), m_szRoomTitle(szRoomTitle), m_szMessage(szMessage)
{
}

BOOL CInviteNoticeDlg::OnInitDialog()
{
    ::SetDlgItemTextW(m_hWnd, IDC_INVITE_FROM, m_szInviter.c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_INVITE_ROOM, m_szRoomTitle.c_str());
    ::SetDlgItemTextW(m_hWnd, IDC_INVITE_TEXT, m_szMessage.c_str());
    ShowWindow(SW_SHOWNORMAL);
    return TRUE;
}
