// CInfoDlg2: set-up, buttons, time-out and countdown, keys and painting of the notice box.
#include "confclient/notices/InfoDlg2.h"

#include "ResourceIds.h"
#include "confclient/session/texttable/TextTable.h"
#include "winui/Gdi.h"
#include "winui/WinApp.h"

namespace
{
constexpr int kButtonY = 129;
constexpr int kMessageX = 20;
constexpr int kMessageY = 50;
constexpr int kMessageWidth = 245;
constexpr int kMessageHeight = 65;
// The button sets: the width of each button of two and of three, and the gap between them.
constexpr int kBoxWidth = 290;
constexpr int kBoxHeight = 170;
constexpr int kButtonWidth2 = 76;
constexpr int kButtonWidth3 = 70;
constexpr int kButtonGap = 10;
} // namespace

CInfoDlg2::CInfoDlg2(INoticeHost& host, int nMode, std::wstring szMessage, uint16_t wTimeout, uint16_t wValue,
                     CWnd* pParent)
    : CDialog(IDD_INFODLG2, pParent), m_host(host), m_nMode(nMode), m_szMessage(std::move(szMessage)),
      m_wTimeout(wTimeout), m_wValue(wValue)
{
}

void CInfoDlg2::SetOptions(int nCount, int x1, int x2, int x3)
{
    m_nButtons = nCount;
    m_buttonX = {x1, x2, x3};
}

int CInfoDlg2::RunModal()
{
    return NoticeBoxAnswerOf(static_cast<int>(DoModal()));
}

void CInfoDlg2::PlaceButtons(int nButtons)
{
    const int nWidth = nButtons >= 3 ? kButtonWidth3 : kButtonWidth2;
    const std::array<int, 3> x = NoticeButtonPlaces(nButtons, kBoxWidth, nWidth, kButtonGap, m_nMode);
    SetOptions(nButtons, x[0], x[1], x[2]);
}

int CInfoDlg2::Ask(INoticeHost& host, CWnd* pOwner, const std::wstring& szText, int nButtons,
                   uint16_t wTimeout, int nMode)
{
    CInfoDlg2 box(host, nMode, szText, wTimeout, 0xFFFF, pOwner);
    box.PlaceButtons(nButtons);
    return box.RunModal();
}

bool CInfoDlg2::Tell(INoticeHost& host, CWnd* pOwner, const std::wstring& szText, int nButtons, int nMode,
                     uint16_t wValue)
{
    auto* pBox = new CInfoDlg2(host, nMode, szText, 0, wValue, pOwner);
    pBox->PlaceButtons(nButtons);
    return ShowModeless(pBox);
}

bool CInfoDlg2::ShowModeless(CInfoDlg2* pBox)
{
    if (pBox->Create(IDD_INFODLG2, pBox->m_pParentWnd) && pBox->m_hWnd) return true;
    if (!pBox->m_hWnd) delete pBox; // a window that came and went has freed its object already
    return false;
}

BOOL CInfoDlg2::OnInitDialog()
{
    // Without its pictures the box still asks, on a plain face of the same size.
    if (!m_title.Load(m_host) || !LoadNoticePicture(m_host, m_body, L"back_infoBody.gif", IDR_BACK_INFOBODY))
        LogF(m_host.NoticeLog(), LOG_ERROR, "[NOTICE] the box's pictures are missing");
    m_ok.SubclassDlgItem(IDOK, this);
    m_cancel.SubclassDlgItem(IDCANCEL, this);
    m_third.SubclassDlgItem(IDC_INFO_THIRD, this);
    m_message.SubclassDlgItem(IDC_INFO_MESSAGE, this);
    m_caption.SubclassDlgItem(IDC_NOTICE_TITLE, this);
    if (m_nButtons >= 3)
    {
        m_ok.LoadBitmapsAndSize(IDB_BOX3_YES, IDB_BOX3_YES + 1, IDB_BOX3_YES + 2, 0);
        m_cancel.LoadBitmapsAndSize(IDB_BOX3_NO, IDB_BOX3_NO + 1, IDB_BOX3_NO + 2, 0);
        m_third.LoadBitmapsAndSize(IDB_BOX3_CANCEL, IDB_BOX3_CANCEL + 1, IDB_BOX3_CANCEL + 2, 0);
    }
    else
    {
        m_ok.LoadBitmapsAndSize(IDB_BOX2_OK, IDB_BOX2_OK + 1, IDB_BOX2_OK + 2, 0);
        m_cancel.LoadBitmapsAndSize(IDB_BOX2_CANCEL, IDB_BOX2_CANCEL + 1, IDB_BOX2_CANCEL + 2, 0);
    }
    const std::wstring szFace = m_host.NoticeText("IDS_DEFAULT_FONT");
    m_message.SetTextFont(NoticeFontHeight(m_host.NoticeText("IDS_DEFAULT_FONTSIZE")), szFace.c_str(),
                          FW_NORMAL);
    m_message.SetColors(RGB(0x33, 0x3D, 0x4F), RGB(0xF6, 0xF6, 0xF6), OPAQUE); // the body's colour
    m_caption.SetTextFont(NoticeFontHeight(m_host.NoticeText("IDS_MAM_FONTSIZE")), szFace.c_str(),
                          FW_SEMIBOLD);
    m_caption.SetTextColor(RGB(0x56, 0x60, 0x7C));
    m_caption.SetBkMode(TRANSPARENT);
    HWND hMain = m_host.MainDialog();
    std::wstring szTitle = hMain ? GetWindowTextString(hMain).c_str() : L"";
    m_caption.SetText(szTitle.c_str());

    if (m_nMode == NOTICEBOX_RECONNECT)
    {
        m_dwStart = ::GetTickCount();
        m_szMessage = Formatted(m_host.NoticeLog(), m_host.NoticeText("IDS_SOCK_RECONNECTION"),
                                ReconnectSecondsLeft(m_wTimeout, m_dwStart, m_dwStart));
    }
    ::MoveWindow(m_message, kMessageX, kMessageY, kMessageWidth, kMessageHeight, FALSE);
    PlaceControls(MessageGrowth());
    m_message.SetWrapText(m_szMessage.c_str());

    CentreNoticeWindow(m_hWnd, m_host.MainRoomWindow());
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(SW_SHOW);
    if (m_wTimeout > 0)
    {
        SetTimer(kTimerTimeOut, m_wTimeout * 1000u);
        if (m_nMode == NOTICEBOX_RECONNECT) SetTimer(kTimerCountdown, 500);
    }
    return TRUE;
}

int CInfoDlg2::MessageGrowth()
{
    CClientDC dc(m_message);
    HFONT hFont = reinterpret_cast<HFONT>(m_message.SendMessage(WM_GETFONT));
    HGDIOBJ hOld = hFont ? ::SelectObject(dc, hFont) : nullptr;
    RECT r{0, 0, kMessageWidth, 0};
    ::DrawTextW(dc, m_szMessage.c_str(), static_cast<int>(m_szMessage.size()), &r,
                DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    if (hOld) ::SelectObject(dc, hOld);
    return r.bottom > kMessageHeight ? r.bottom - kMessageHeight : 0;
}

void CInfoDlg2::PlaceControls(int nGrow)
{
    const int nWidth = m_body.m_nWidth ? m_body.m_nWidth : kBoxWidth;
    const int nHeight = (m_body.m_nHeight ? m_title.Height() + m_body.m_nHeight : kBoxHeight) + nGrow;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, nWidth, nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::MoveWindow(m_caption, 7, 8, 200, 14, FALSE);
    ::MoveWindow(m_message, kMessageX, kMessageY, kMessageWidth, kMessageHeight + nGrow, FALSE);
    CHBitmapButton* buttons[] = {&m_ok, &m_cancel, &m_third};
    for (int i = 0; i < 3; ++i)
    {
        const bool bShown = m_buttonX[i] != 0 && i < m_nButtons;
        if (bShown)
            ::MoveWindow(*buttons[i], m_buttonX[i], kButtonY + nGrow, buttons[i]->m_nWidth,
                         buttons[i]->m_nHeight, FALSE);
        buttons[i]->ShowWindow(bShown ? SW_SHOW : SW_HIDE);
    }
}

void CInfoDlg2::ShowCountdown()
{
    const int nLeft = ReconnectSecondsLeft(m_wTimeout, m_dwStart, ::GetTickCount());
    std::wstring text = Formatted(m_host.NoticeLog(), m_host.NoticeText("IDS_SOCK_RECONNECTION"), nLeft);
    if (text == m_szMessage) return;
    m_szMessage = text;
    m_message.SetWrapText(m_szMessage.c_str());
}

void CInfoDlg2::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kTimerCountdown)
    {
        ShowCountdown();
        return;
    }
    if (nIDEvent != kTimerTimeOut)
    {
        CDialog::OnTimer(nIDEvent);
        return;
    }
    KillTimer(kTimerTimeOut);
    KillTimer(kTimerCountdown);
    switch (NoticeTimeoutAction(m_nMode))
    {
    case NoticeTimeout::EndFirst:
        Finish(IDOK);
        break;
    case NoticeTimeout::Cancel:
        OnButton(IDCANCEL);
        break;
    case NoticeTimeout::Close:
        PostMessage(WM_CLOSE);
        break;
    }
}

BOOL CInfoDlg2::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const int nId = LOWORD(wParam);
    if (nId != IDOK && nId != IDCANCEL && nId != IDC_INFO_THIRD) return CDialog::OnCommand(wParam, lParam);
    if (HIWORD(wParam) != BN_CLICKED && lParam) return FALSE;
    OnButton(nId);
    return TRUE;
}

void CInfoDlg2::OnButton(int nId)
{
    if (HWND hRoom = m_host.MainRoomWindow()) ::SetForegroundWindow(hRoom);
    if (m_nMode == NOTICEBOX_SHARE_QUESTION && nId == IDOK)
    {
        const int nCode = ShareAcceptCode(m_host.SharingUser(), m_host.RequestedSharer());
        if (nCode == 0) m_host.SetSharingUser(m_host.MyUserIndex());
        m_host.SetDesktopShareState(m_wValue, nCode);
    }
    else if (m_nMode == NOTICEBOX_SHARE_QUESTION && nId == IDCANCEL)
        m_host.SetDesktopShareState(m_wValue, kShareDeclineCode);
    Finish(nId);
}

void CInfoDlg2::Finish(int nId)
{
    if (NoticeBoxWaits(m_nMode))
        EndDialog(nId);
    else
        DestroyWindow();
}

BOOL CInfoDlg2::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN && (pMsg->hwnd == m_hWnd || ::IsChild(m_hWnd, pMsg->hwnd)))
    {
        if (pMsg->wParam == VK_RETURN) return TRUE;
        if (pMsg->wParam == VK_ESCAPE)
        {
            if (EscapeIsThirdButton(m_nButtons)) OnButton(IDC_INFO_THIRD);
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}

LRESULT CInfoDlg2::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CLOSE)
    {
        // Closed from outside (the room went, or a time-out of a box that does not wait).
        Finish(0);
        return 0;
    }
    return CDialog::WindowProc(msg, wParam, lParam);
}

BOOL CInfoDlg2::OnEraseBkgnd(HDC hDC)
{
    RECT client;
    GetClientRect(&client);
    m_title.Paint(hDC, client.right);
    m_body.Render(hDC, 0, m_title.Height(), client.right, client.bottom - m_title.Height(), 0);
    return TRUE;
}

void CInfoDlg2::PostNcDestroy()
{
    if (NoticeBoxWaits(m_nMode)) return; // lives on the caller's stack
    if (m_nMode == NOTICEBOX_NOTICE) m_host.OnNoticeClosed();
    delete this;
}
