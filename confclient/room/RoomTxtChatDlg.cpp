// CRoomTxtChatDlg: the rich-edit log follows the chat log line by line; the edit line and Send
// button sit below it.
#include "confclient/room/RoomTxtChatDlg.h"

#include <richedit.h>
#include <commdlg.h>
#include <shellapi.h>

#include "confclient/people/ChatCommands.h"
#include "confclient/session/roomstate/RoomNotices.h"
#include "resources/ResourceIds.h"
#include "winui/WString.h"

namespace
{
CChatLog::SClock LocalClock()
{
    SYSTEMTIME st{};
    ::GetLocalTime(&st);
    return {st.wHour, st.wMinute, st.wSecond};
}

std::wstring WideFrom(const std::u16string& s)
{
    return std::wstring(s.begin(), s.end());
}

std::u16string U16From(const std::wstring& s)
{
    return std::u16string(s.begin(), s.end());
}
} // namespace

CRoomTxtChatDlg::CRoomTxtChatDlg(IRoomHost* pHost)
    : CSidePanelDlg(IDD_ROOMTXTCHAT, SIDEPANEL_CHAT, kCollapseChatCommand), m_pHost(pHost),
      m_model(*this, LocalClock)
{
    // The log's class is the rich edit's: its library comes before the template.
    CRichEditCtrlGS::LoadControlLibrary();
}

BOOL CRoomTxtChatDlg::OnInitDialog()
{
    m_log.Attach(GetDlgItem(IDC_ROOMCHAT_LIST));
    ::SendMessageW(m_log.GetSafeHwnd(), EM_SETEVENTMASK, 0, ENM_LINK);
    ::SendMessageW(GetDlgItem(IDC_ROOMCHAT_EDIT), EM_LIMITTEXT, kMaxChatInput, 0);
    m_colour.SubclassDlgItem(IDC_ROOMCHAT_COLOUR, this);
    m_colour.LoadBitmapsAndSize(IDB_CHAT_COLOUR, IDB_CHAT_COLOUR + 1, IDB_CHAT_COLOUR + 3,
                                IDB_CHAT_COLOUR + 2);
    return CSidePanelDlg::OnInitDialog();
}

void CRoomTxtChatDlg::AddMessage(int nKind, const std::wstring& szText, const std::wstring& szName,
                                 uint32_t dwColour)
{
    m_model.AddMessage(nKind, U16From(szText), U16From(szName), dwColour);
}

void CRoomTxtChatDlg::OnChatReceived(const std::wstring& szSender, const std::wstring& szText,
                                     uint32_t dwColour)
{
    AddMessage(CHATLINE_CHAT, szText, szSender, dwColour);
}

void CRoomTxtChatDlg::AddNotice(const std::wstring& szText, int nKind)
{
    AddMessage(nKind == NOTICE_KIND_JOINLEAVE ? CHATLINE_JOINLEAVE : CHATLINE_NOTICE, szText, std::wstring(),
               0);
}

void CRoomTxtChatDlg::AddPresenterRequest(const std::wstring& szText, uint16_t wChannel)
{
    if (!m_pHost) return;
    m_model.AddPresenterRequest(U16From(szText), U16From(m_pHost->RoomText("IDS_MSG_PERMIT")),
                                U16From(m_pHost->RoomText("IDS_MSG_DENY")), wChannel);
}

void CRoomTxtChatDlg::InsertText(uint32_t nPos, const std::u16string& szText, uint32_t dwColour)
{
    m_log.InsertText(static_cast<LONG>(nPos), WideFrom(szText), dwColour);
}

void CRoomTxtChatDlg::DeleteText(SChatRange range)
{
    m_log.DeleteRange(static_cast<LONG>(range.nStart), static_cast<LONG>(range.nEnd));
}

void CRoomTxtChatDlg::SetLink(SChatRange range, bool bLink)
{
    m_log.SetLink(static_cast<LONG>(range.nStart), static_cast<LONG>(range.nEnd), bLink);
}

void CRoomTxtChatDlg::SetPicture(uint32_t nPos, const SChatPicture&)
{
    // Pictures are not drawn in the log yet: one character holds the place of each.
    LONG nAt = static_cast<LONG>(nPos);
    if (nAt < m_log.GetTextLength()) m_log.DeleteRange(nAt, nAt + 1);
    m_log.InsertText(nAt, L"\x25AE", 0);
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
    if (LOWORD(wParam) == IDC_ROOMCHAT_COLOUR || LOWORD(wParam) == ID_CHAT_COLOUR)
    {
        ChooseChatColour();
        return TRUE;
    }
    return CSidePanelDlg::OnCommand(wParam, lParam);
}

LRESULT CRoomTxtChatDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NOTIFY)
    {
        const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
        if (pHdr && pHdr->idFrom == IDC_ROOMCHAT_LIST && pHdr->code == EN_LINK)
        {
            const ENLINK* pLink = reinterpret_cast<const ENLINK*>(lParam);
            if (pLink->msg == WM_LBUTTONDOWN) OnLinkClicked(pLink->chrg.cpMin);
            return 0;
        }
    }
    if (msg == WM_CHAT_PERMIT || msg == WM_CHAT_DENY)
    {
        Answer(static_cast<LONG>(wParam), msg == WM_CHAT_PERMIT);
        return 0;
    }
    return CSidePanelDlg::WindowProc(msg, wParam, lParam);
}

void CRoomTxtChatDlg::OnLinkClicked(LONG nStart)
{
    // Only a range the log remembers is a link: a peer's text never acts.
    SChatLinkHit hit = m_model.LinkAt(static_cast<uint32_t>(nStart));
    switch (hit.kind)
    {
    case SChatLinkHit::PERMIT:
    case SChatLinkHit::DENY:
        // The answer goes out after the click has returned.
        ::PostMessageW(m_hWnd, hit.kind == SChatLinkHit::PERMIT ? WM_CHAT_PERMIT : WM_CHAT_DENY,
                       static_cast<WPARAM>(nStart), 0);
        break;
    case SChatLinkHit::CANCEL:
        if (m_pHost) m_pHost->CancelFilePush();
        break;
    case SChatLinkHit::PATH:
    {
        std::wstring szPath = WideFrom(hit.szPath);
        size_t nSlash = szPath.rfind(L'\\');
        std::wstring szFolder = nSlash == std::wstring::npos ? std::wstring() : szPath.substr(0, nSlash);
        ::ShellExecuteW(m_hWnd, L"open", szPath.c_str(), nullptr, szFolder.c_str(), SW_SHOWNORMAL);
        break;
    }
    default:
        break;
    }
    ::SetFocus(GetDlgItem(IDC_ROOMCHAT_EDIT));
}

void CRoomTxtChatDlg::Answer(LONG nStart, bool bPermit)
{
    SChatLinkHit hit = m_model.LinkAt(static_cast<uint32_t>(nStart));
    if (hit.kind != (bPermit ? SChatLinkHit::PERMIT : SChatLinkHit::DENY)) return;
    m_model.RemovePresenterRequest(hit.wUser);
    if (m_pHost) m_pHost->AnswerPresenterRequest(hit.wUser, bPermit);
}

void CRoomTxtChatDlg::Send()
{
    HWND hEdit = GetDlgItem(IDC_ROOMCHAT_EDIT);
    CString szText = GetWindowTextString(hEdit);
    if (szText.empty() || !m_pHost) return;
    ::SetWindowTextW(hEdit, L"");
    SChatCommand cmd = ParseChatCommand(U16From(szText), m_pHost->MyLevel());
    if (cmd.id == SChatCommand::NONE)
    {
        m_pHost->SendRoomChat(szText);
        return;
    }
    // A local command: its output, if any, is the own red line; it never reaches the room.
    if (cmd.id == SChatCommand::TIME)
    {
        m_model.ToggleTimeStamps();
        return;
    }
    std::wstring szOutput = m_pHost->RunChatCommand(cmd);
    if (!szOutput.empty()) AddMessage(CHATLINE_COMMAND, szOutput, std::wstring(), 0);
}

void CRoomTxtChatDlg::ChooseChatColour()
{
    if (!m_pHost) return;
    static COLORREF s_custom[16] = {};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = m_hWnd;
    cc.rgbResult = m_pHost->ChatColour();
    cc.lpCustColors = s_custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (::ChooseColorW(&cc)) m_pHost->SetChatColour(cc.rgbResult);
    ::SetFocus(GetDlgItem(IDC_ROOMCHAT_EDIT));
}

void CRoomTxtChatDlg::OnSize(UINT type, int cx, int cy)
{
    int nRow = DluToPixelsY(14);
    int nButton = DluToPixelsX(38);
    int nGap = 2;
    // The colour button sits between the edit line and Send.
    int nColour = m_colour.m_nWidth ? m_colour.m_nWidth + nGap : 0;
    ::MoveWindow(GetDlgItem(IDC_ROOMCHAT_LIST), 0, 0, cx, cy - nRow - nGap, TRUE);
    ::MoveWindow(GetDlgItem(IDC_ROOMCHAT_EDIT), 0, cy - nRow, cx - nButton - nGap - nColour, nRow, TRUE);
    if (nColour)
        m_colour.SetWindowPos(nullptr, cx - nButton - nColour, cy - nRow + (nRow - m_colour.m_nHeight) / 2, 0,
                              0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::MoveWindow(GetDlgItem(IDC_ROOMCHAT_SEND), cx - nButton, cy - nRow, nButton, nRow, TRUE);
}

void CRoomTxtChatDlg::UpdatePushProgress(int nPercent, const std::wstring& szText)
{
    if (!m_pHost) return;
    // The status text: the remaining time, at 100 the end's own line.
    m_model.UpdatePushProgress(nPercent, U16From(szText), U16From(m_pHost->RoomText("IDS_MSG_PUSH_END")),
                               U16From(szText), U16From(m_pHost->RoomText("IDS_MSG_CANCEL")), true);
}

void CRoomTxtChatDlg::EndPushProgress()
{
    if (m_pHost) m_model.EndPushProgress(U16From(m_pHost->RoomText("IDS_MSG_PUSHSEND_CANCEL")));
}

void CRoomTxtChatDlg::AddReceivedFile(const std::wstring& szPath)
{
    const std::u16string szFile = U16From(szPath);
    m_model.AddReceivedFile(szFile, szFile, m_nReceivedFiles++);
}
