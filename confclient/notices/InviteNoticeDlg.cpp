// CInviteNoticeDlg: text, placement and entrance, the two answers, keys and painting.
#include "confclient/notices/InviteNoticeDlg.h"

#include <mmsystem.h>

#include "ResourceIds.h"
#include "confclient/notices/InviteNotices.h"
#include "winui/Gdi.h"
#include "winui/WinApp.h"
#include "winui/WideText.h"

CInviteNoticeDlg::CInviteNoticeDlg(INoticeHost& host, uint16_t wInviter, uint16_t wRoomIndex,
                                   std::wstring szRoomName, int nSlot)
    : CDialog(IDD_INVITENOTICE, nullptr), m_host(host), m_wInviter(wInviter), m_wRoomIndex(wRoomIndex),
      m_szRoomName(std::move(szRoomName)), m_nSlot(nSlot)
{
}

bool CInviteNoticeDlg::Show(CInviteNoticeDlg* pNotice, CWnd* pParent)
{
    if (pNotice->Create(IDD_INVITENOTICE, pParent) && pNotice->m_hWnd) return true;
    if (!pNotice->m_hWnd) delete pNotice;
    return false;
}

BOOL CInviteNoticeDlg::OnInitDialog()
{
    if (!m_title.Load(m_host))
        LogF(m_host.NoticeLog(), LOG_ERROR, "[INVITE] the notice's title pictures are missing");
    m_message.SubclassDlgItem(IDC_INVITE_MESSAGE, this);
    m_caption.SubclassDlgItem(IDC_NOTICE_TITLE, this);
    m_accept.SubclassDlgItem(IDC_INVITE_ACCEPT, this);
    m_decline.SubclassDlgItem(IDC_INVITE_DECLINE, this);
    m_accept.LoadBitmapsAndSize(IDB_INVITE_ACCEPT, IDB_INVITE_ACCEPT + 1, IDB_INVITE_ACCEPT + 2,
                                IDB_INVITE_ACCEPT);
    m_decline.LoadBitmapsAndSize(IDB_INVITE_DECLINE, IDB_INVITE_DECLINE + 1, IDB_INVITE_DECLINE + 2,
                                 IDB_INVITE_ACCEPT);

    const std::wstring szFace = m_host.NoticeText("IDS_DEFAULT_FONT");
    m_caption.SetTextFont(NoticeFontHeight(m_host.NoticeText("IDS_MAM_FONTSIZE")), szFace.c_str(),
                          FW_SEMIBOLD);
    m_caption.SetTextColor(RGB(86, 96, 124));
    m_caption.SetBkMode(TRANSPARENT);
    m_caption.SetText(m_host.NoticeText("IDMS_MAIN_INVITE").c_str());
    m_message.SetTextFont(NoticeFontHeight(m_host.NoticeText("IDS_DEFAULT_FONTSIZE")), szFace.c_str(),
                          FW_SEMIBOLD);
    m_message.SetColors(RGB(82, 97, 123), RGB(246, 246, 246), OPAQUE); // the fill below the title
    std::optional<std::wstring> inviter = m_host.FindLobbyUser(m_wInviter);
    std::optional<std::u16string> inviter16;
    if (inviter) inviter16 = U16Of(*inviter);
    const std::u16string text = InviteNoticeText(U16Of(m_host.NoticeText("IDS_MSG_INVITENOTICE")),
                                                 U16Of(m_host.NoticeText("IDS_MSG_ANYONE_INVITENOTICE")),
                                                 inviter16, U16Of(m_szRoomName), m_host.NoticeLog());

    const int cx = kInviteNoticeWidth;
    ::MoveWindow(m_caption, 7, 6, 200, 14, FALSE);
    ::MoveWindow(m_message, cx / 2 - 90, 40, 180, 70, FALSE);
    m_message.SetWrapText(WideOf(text).c_str());
    ::MoveWindow(m_accept, cx / 2 - m_accept.m_nWidth - 10, 120, m_accept.m_nWidth, m_accept.m_nHeight,
                 FALSE);
    ::MoveWindow(m_decline, cx / 2 + 10, 120, m_decline.m_nWidth, m_decline.m_nHeight, FALSE);

    // In the work area's corner whichever edge the taskbar takes; later notices stack above.
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const NoticePoint at = InviteNoticeOrigin({work.left, work.top, work.right, work.bottom}, m_nSlot);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, at.x, at.y, kInviteNoticeWidth, kInviteNoticeHeight,
                   SWP_HIDEWINDOW | SWP_NOACTIVATE);
    if (!::AnimateWindow(m_hWnd, 300, AW_SLIDE | AW_VER_NEGATIVE)) ShowWindow(SW_SHOWNOACTIVATE);
    ::PlaySoundW(MAKEINTRESOURCEW(IDR_WAVE_INVITE), AfxGetResourceHandle(),
                 SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
    return FALSE;
}

BOOL CInviteNoticeDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam))
    {
    case IDC_INVITE_ACCEPT:
        OnAccept();
        return TRUE;
    case IDC_INVITE_DECLINE:
        OnDecline();
        return TRUE;
    case IDOK:
    case IDCANCEL:
        return TRUE; // only the two buttons close the notice
    default:
        return CDialog::OnCommand(wParam, lParam);
    }
}

void CInviteNoticeDlg::OnAccept()
{
    // The notice goes first: accepting may leave the room whose windows it sits among.
    const uint16_t wRoom = m_wRoomIndex;
    INoticeHost& host = m_host;
    DestroyWindow();
    host.AcceptInvitation(wRoom);
}

void CInviteNoticeDlg::OnDecline()
{
    m_host.DeclineInvitation(m_wInviter);
    DestroyWindow();
}

void CInviteNoticeDlg::OnDestroy()
{
    m_host.RemoveInviteNotice(m_wInviter, m_wRoomIndex);
    CDialog::OnDestroy();
}

BOOL CInviteNoticeDlg::PreTranslateMessage(MSG* pMsg)
{
    if ((pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN) &&
        (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
    {
        const WPARAM k = pMsg->wParam;
        if (k == VK_RETURN || k == VK_ESCAPE || k == VK_CANCEL ||
            (k == VK_F4 && pMsg->message == WM_SYSKEYDOWN))
            return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CInviteNoticeDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE) return 0; // Alt+F4 and the system menu do not close it either
    return CDialog::WindowProc(msg, wParam, lParam);
}

BOOL CInviteNoticeDlg::OnEraseBkgnd(HDC hDC)
{
    RECT client;
    GetClientRect(&client);
    m_title.Paint(hDC, client.right);
    RECT below = client;
    below.top = m_title.Height();
    CDC dc(hDC);
    dc.FillSolidRect(below, RGB(246, 246, 246));
    return TRUE;
}
