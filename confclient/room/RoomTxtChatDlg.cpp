// CRoomTxtChatDlg: the list fills the panel above one row of edit line and Send button.
#include "confclient/room/RoomTxtChatDlg.h"
#include "resources/ResourceIds.h"

CRoomTxtChatDlg::CRoomTxtChatDlg(IRoomHost* pHost)
    : CSidePanelDlg(IDD_ROOMTXTCHAT, SIDEPANEL_CHAT, kCollapseChatCommand), m_pHost(pHost)
{
}

void CRoomTxtChatDlg::OnChatReceived(const std::wstring& szSender, const std::wstring& szText,
                                     uint32_t dwColour)
{
    AppendListLine(GetDlgItem(IDC_ROOMCHAT_LIST), szSender + L": " + szText, static_cast<LPARAM>(dwColour));
}

void CRoomTxtChatDlg::AddNotice(const std::wstring& szText, int nKind)
{
    AppendListLine(GetDlgItem(IDC_ROOMCHAT_LIST), szText, nKind);
}

int CRoomTxtChatDlg::LineCount() const
{
    return static_cast<int>(::SendMessageW(GetDlgItem(IDC_ROOMCHAT_LIST), LB_GETCOUNT, 0, 0));
}

BOOL CRoomTxtChatDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN &&
        pMsg->hwnd == GetDlgItem(IDC_ROOMCHAT_EDIT))
    {
        Send();
        return TRUE;
    }
    return CSidePanelDlg::PreTranslateMessage(pMsg);
}

BOOL CRoomTxtChatDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == IDC_ROOMCHAT_SEND && HIWORD(wParam) == BN_CLICKED)
    {
        Send();
        return TRUE;
    }
    return CSidePanelDlg::OnCommand(wParam, lParam);
}

void CRoomTxtChatDlg::Send()
{
    HWND hEdit = GetDlgItem(IDC_ROOMCHAT_EDIT);
    CString szText = GetWindowTextString(hEdit);
    if (szText.empty() || !m_pHost) return;
    m_pHost->SendRoomChat(szText);
    ::SetWindowTextW(hEdit, L"");
}

void CRoomTxtChatDlg::OnSize(UINT type, int cx, int cy)
{
    int nRow = DluToPixelsY(14);
    int nButton = DluToPixelsX(38);
    int nGap = 2;
    ::MoveWindow(GetDlgItem(IDC_ROOMCHAT_LIST), 0, 0, cx, cy - nRow - nGap, TRUE);
    ::MoveWindow(GetDlgItem(IDC_ROOMCHAT_EDIT), 0, cy - nRow, cx - nButton - nGap, nRow, TRUE);
    ::MoveWindow(GetDlgItem(IDC_ROOMCHAT_SEND), cx - nButton, cy - nRow, nButton, nRow, TRUE);
}
